#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "convert/Exceptions.h"
#include "platform/PictureFile.h"
#include "platform/PixelGrid.h"

namespace orlit {
namespace {

// cairo's limit for image surfaces.
constexpr int kMaxSurfaceSide = 32767;

int ClampInt(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool IsEmpty(const cairo_rectangle_int_t& r) { return r.width <= 0 || r.height <= 0; }

void SetSource(cairo_t* cr, TColor color) {
  TColor rgb = ColorToRGB(color);
  cairo_set_source_rgb(cr, GetRValue(rgb) / 255.0, GetGValue(rgb) / 255.0, GetBValue(rgb) / 255.0);
}

TColor PixelToColor(uint32_t pixel) {
  return RGB(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
             static_cast<uint8_t>(pixel));
}

}  // namespace

class DeviceContext::FontMeasure : public TextMeasure {
 public:
  FontMeasure(const ResolvedFont& font, bool external_leading) : font_(font) {
    const TEXTMETRIC& tm = font.TextMetrics();
    line_height_ = tm.tmHeight + (external_leading ? tm.tmExternalLeading : 0);
  }
  int TextWidth(std::string_view text) const override { return font_.TextWidth(text); }
  int LineHeight() const override { return line_height_; }
  int AveCharWidth() const override { return font_.TextMetrics().tmAveCharWidth; }

 private:
  const ResolvedFont& font_;
  int line_height_;
};

DeviceContext::DeviceContext(int width, int height, double scale) {
  logical_width_ = std::max(0, width);
  logical_height_ = std::max(0, height);
  scale_ = std::isfinite(scale) ? std::clamp(scale, 1.0, 4.0) : 1.0;
  const int64_t pixel_width = ToPixel(logical_width_);
  const int64_t pixel_height = ToPixel(logical_height_);
  if (pixel_width > kMaxSurfaceSide || pixel_height > kMaxSurfaceSide) {
    throw Exception("Invalid bitmap size " + std::to_string(width) + " x " +
                    std::to_string(height));
  }
  width_ = static_cast<int>(pixel_width);
  height_ = static_cast<int>(pixel_height);
  surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_));
  Init();
}

DeviceContext::DeviceContext(uint32_t* pixels, int width, int height, int stride_bytes) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  if (width_ > kMaxSurfaceSide || height_ > kMaxSurfaceSide ||
      (pixels == nullptr && width_ > 0 && height_ > 0) ||
      static_cast<int64_t>(stride_bytes) < static_cast<int64_t>(width_) * 4 ||
      stride_bytes % 4 != 0) {
    throw Exception("Invalid pixel buffer for a device context");
  }
  logical_width_ = width_;
  logical_height_ = height_;
  surface_.reset(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_RGB24, width_, height_, stride_bytes));
  Init();
}

DeviceContext::~DeviceContext() = default;
DeviceContext::DeviceContext(DeviceContext&&) noexcept = default;
DeviceContext& DeviceContext::operator=(DeviceContext&&) noexcept = default;

void DeviceContext::Init() {
  if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS) {
    throw Exception("Cannot create a drawing surface");
  }
  stride_ = cairo_image_surface_get_stride(surface_.get()) / 4;
  cr_.reset(cairo_create(surface_.get()));
  if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
    throw Exception("Cannot create a drawing context");
  }
  // Shapes are aliased so that they stay on whole pixels as the rest of the drawing does.
  cairo_set_antialias(cr_.get(), CAIRO_ANTIALIAS_NONE);
}

int64_t DeviceContext::ToPixel(int64_t edge) const { return DeviceEdge(edge, scale_); }

int64_t DeviceContext::FromPixel(int64_t pixel) const { return LogicalPixel(pixel, scale_); }

TRect DeviceContext::ToPixels(const TRect& rect) const {
  return {ClampInt(ToPixel(rect.Left)), ClampInt(ToPixel(rect.Top)), ClampInt(ToPixel(rect.Right)),
          ClampInt(ToPixel(rect.Bottom))};
}

const uint32_t* DeviceContext::Bits() const {
  BeginPixelAccess();
  return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface_.get()));
}

uint32_t* DeviceContext::Row(int y) const {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_.get())) +
         static_cast<std::ptrdiff_t>(y) * stride_;
}

void DeviceContext::BeginPixelAccess() const { cairo_surface_flush(surface_.get()); }
void DeviceContext::EndPixelAccess() const { cairo_surface_mark_dirty(surface_.get()); }

TColor DeviceContext::GetPixel(int x, int y) const {
  const int64_t dx = ToPixel(static_cast<int64_t>(x) + state_.origin.X);
  const int64_t dy = ToPixel(static_cast<int64_t>(y) + state_.origin.Y);
  if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) return CLR_INVALID;
  BeginPixelAccess();
  return PixelToColor(Row(static_cast<int>(dy))[dx]);
}

void DeviceContext::SetPixel(int x, int y, TColor color) {
  FillRect(
      TRect{x, y, ClampInt(static_cast<int64_t>(x) + 1), ClampInt(static_cast<int64_t>(y) + 1)},
      Brush::Solid(color));
}

PixelImage DeviceContext::ToPixelImage() const {
  PixelImage image(width_, height_);
  BeginPixelAccess();
  for (int y = 0; y < height_; ++y) {
    const uint32_t* src = Row(y);
    std::span<uint32_t> dst = image.Row(y);
    for (int x = 0; x < width_; ++x) dst[static_cast<std::size_t>(x)] = src[x] & 0xFFFFFFu;
  }
  return image;
}

void DeviceContext::WritePng(const std::string& path) const { WritePngFile(path, ToPixelImage()); }

// --- state ---------------------------------------------------------------------------------

void DeviceContext::SelectFont(std::shared_ptr<const ResolvedFont> font) {
  state_.font = std::move(font);
}

std::shared_ptr<const ResolvedFont> DeviceContext::SelectedFont() const {
  if (state_.font) return state_.font;
  if (!default_font_) {
    LOGFONT window_font;
    window_font.lfFaceName = "MS Sans Serif";
    window_font.lfHeight = -11;
    default_font_ = ResolvedFont::Create(window_font);
  }
  return default_font_;
}

const ResolvedFont& DeviceContext::CurrentFont() const {
  if (state_.font) return *state_.font;
  return *SelectedFont();
}

TColor DeviceContext::SetTextColor(TColor color) { return std::exchange(state_.text_color, color); }
TColor DeviceContext::SetBkColor(TColor color) { return std::exchange(state_.bk_color, color); }

int DeviceContext::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(state_.bk_mode, mode);
}

TPoint DeviceContext::SetViewportOrgEx(int x, int y) {
  return std::exchange(state_.origin, TPoint{x, y});
}

TPoint DeviceContext::OffsetViewportOrgEx(int dx, int dy) {
  return SetViewportOrgEx(ClampInt(static_cast<int64_t>(state_.origin.X) + dx),
                          ClampInt(static_cast<int64_t>(state_.origin.Y) + dy));
}

int DeviceContext::SaveDC() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

bool DeviceContext::RestoreDC(int level) {
  const int64_t count = static_cast<int64_t>(saved_.size());
  // Negative levels count back from the last save.
  int64_t target = level < 0 ? count + level + 1 : level;
  if (level == 0 || target < 1 || target > count) return false;
  state_ = std::move(saved_[static_cast<std::size_t>(target - 1)]);
  saved_.resize(static_cast<std::size_t>(target - 1));
  return true;
}

// --- clipping ------------------------------------------------------------------------------

cairo_rectangle_int_t DeviceContext::ToDevice(const TRect& rect) const {
  return DeviceRect(static_cast<int64_t>(rect.Left) + state_.origin.X,
                    static_cast<int64_t>(rect.Top) + state_.origin.Y,
                    static_cast<int64_t>(rect.Right) + state_.origin.X,
                    static_cast<int64_t>(rect.Bottom) + state_.origin.Y, nullptr);
}

cairo_rectangle_int_t DeviceContext::DeviceRect(int64_t left, int64_t top, int64_t right,
                                                int64_t bottom,
                                                const cairo_rectangle_int_t* limit) const {
  left = std::max<int64_t>(ToPixel(left), 0);
  top = std::max<int64_t>(ToPixel(top), 0);
  right = std::min<int64_t>(ToPixel(right), width_);
  bottom = std::min<int64_t>(ToPixel(bottom), height_);
  if (limit != nullptr) {
    left = std::max<int64_t>(left, limit->x);
    top = std::max<int64_t>(top, limit->y);
    right = std::min<int64_t>(right, static_cast<int64_t>(limit->x) + limit->width);
    bottom = std::min<int64_t>(bottom, static_cast<int64_t>(limit->y) + limit->height);
  }
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

CairoRegion DeviceContext::EffectiveRegion() const {
  if (state_.clip.region) return *state_.clip.region;
  return CairoRegion(cairo_rectangle_int_t{0, 0, width_, height_});
}

int DeviceContext::RegionKind() const {
  CairoRegion region = EffectiveRegion();
  int count = cairo_region_num_rectangles(region.get());
  if (count == 0) return NULLREGION;
  return count == 1 && !state_.clip.mask ? SIMPLEREGION : COMPLEXREGION;
}

int DeviceContext::ExcludeClipRect(const TRect& rect) {
  CairoRegion region = EffectiveRegion();
  cairo_rectangle_int_t device = ToDevice(rect);
  if (!IsEmpty(device)) cairo_region_subtract_rectangle(region.get(), &device);
  state_.clip.region = std::move(region);
  return RegionKind();
}

int DeviceContext::IntersectClipRect(const TRect& rect) {
  CairoRegion region = EffectiveRegion();
  cairo_rectangle_int_t device = ToDevice(rect);
  cairo_region_intersect_rectangle(region.get(), &device);
  state_.clip.region = std::move(region);
  return RegionKind();
}

int DeviceContext::SelectClipRgn(std::nullptr_t) {
  state_.clip = Clip{};
  return SIMPLEREGION;
}

int DeviceContext::SelectClipPath(int mode) {
  if (path_open_ || !path_ || (mode != RGN_COPY && mode != RGN_AND)) return RGN_ERROR;
  std::shared_ptr<cairo_surface_t> mask(
      cairo_image_surface_create(CAIRO_FORMAT_A8, width_, height_), cairo_surface_destroy);
  CairoContextPtr mask_cr(cairo_create(mask.get()));
  cairo_set_antialias(mask_cr.get(), CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(mask_cr.get(), CAIRO_FILL_RULE_WINDING);
  cairo_scale(mask_cr.get(), scale_, scale_);
  cairo_append_path(mask_cr.get(), path_.get());
  cairo_identity_matrix(mask_cr.get());
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_fill_extents(mask_cr.get(), &x1, &y1, &x2, &y2);
  if (mode == RGN_AND && state_.clip.mask) {
    // Only what both paths cover stays.
    cairo_clip(mask_cr.get());
    cairo_set_source_surface(mask_cr.get(), state_.clip.mask.get(), 0, 0);
    cairo_paint(mask_cr.get());
  } else {
    cairo_fill(mask_cr.get());
  }
  mask_cr.reset();
  cairo_surface_flush(mask.get());
  path_.reset();

  // The region keeps the path's bounding box, so rectangle clipping can still narrow it.
  int64_t left = std::max<int64_t>(0, static_cast<int64_t>(std::floor(x1)));
  int64_t top = std::max<int64_t>(0, static_cast<int64_t>(std::floor(y1)));
  int64_t right = std::min<int64_t>(width_, static_cast<int64_t>(std::ceil(x2)));
  int64_t bottom = std::min<int64_t>(height_, static_cast<int64_t>(std::ceil(y2)));
  cairo_rectangle_int_t box{0, 0, 0, 0};
  if (right > left && bottom > top) {
    box = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
           static_cast<int>(bottom - top)};
  }
  CairoRegion region = mode == RGN_AND ? EffectiveRegion() : CairoRegion(box);
  if (mode == RGN_AND) cairo_region_intersect_rectangle(region.get(), &box);
  state_.clip.region = std::move(region);
  state_.clip.mask = std::move(mask);
  return RegionKind();
}

int DeviceContext::GetClipBox(TRect& rect) const {
  CairoRegion region = EffectiveRegion();
  if (cairo_region_is_empty(region.get())) {
    rect = {};
    return NULLREGION;
  }
  cairo_rectangle_int_t box;
  cairo_region_get_extents(region.get(), &box);
  // The 96-dpi pixels the device box touches.
  rect = {ClampInt(FromPixel(box.x) - state_.origin.X),
          ClampInt(FromPixel(box.y) - state_.origin.Y),
          ClampInt(FromPixel(static_cast<int64_t>(box.x) + box.width - 1) + 1 - state_.origin.X),
          ClampInt(FromPixel(static_cast<int64_t>(box.y) + box.height - 1) + 1 - state_.origin.Y)};
  return RegionKind();
}

template <typename Fn>
void DeviceContext::ForEachSpan(const cairo_rectangle_int_t& device, Fn&& fn) {
  if (IsEmpty(device)) return;
  const unsigned char* mask = nullptr;
  int mask_stride = 0;
  if (state_.clip.mask) {
    mask = cairo_image_surface_get_data(state_.clip.mask.get());
    mask_stride = cairo_image_surface_get_stride(state_.clip.mask.get());
  }
  auto spans_of = [&](const cairo_rectangle_int_t& r) {
    for (int y = r.y; y < r.y + r.height; ++y) {
      if (mask == nullptr) {
        fn(y, r.x, r.x + r.width);
        continue;
      }
      const unsigned char* row = mask + static_cast<std::ptrdiff_t>(y) * mask_stride;
      int x = r.x;
      const int end = r.x + r.width;
      while (x < end) {
        while (x < end && row[x] < 128) ++x;
        int start = x;
        while (x < end && row[x] >= 128) ++x;
        if (x > start) fn(y, start, x);
      }
    }
  };
  if (!state_.clip.region && !state_.clip.mask) {
    spans_of(device);
    return;
  }
  CairoRegion region = EffectiveRegion();
  cairo_region_intersect_rectangle(region.get(), &device);
  const int count = cairo_region_num_rectangles(region.get());
  for (int i = 0; i < count; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region.get(), i, &r);
    spans_of(r);
  }
}

// --- fills and pictures --------------------------------------------------------------------

void DeviceContext::FillDevice(const cairo_rectangle_int_t& device, const Brush& brush) {
  if (IsEmpty(device) || brush.style == Brush::Style::kHollow) return;
  BeginPixelAccess();
  if (brush.style == Brush::Style::kSolid || !brush.pattern || brush.pattern->IsEmpty()) {
    // A pattern brush without a picture fills like a solid one.
    const uint32_t pixel = ColorToPixel(brush.color);
    ForEachSpan(device, [&](int y, int x0, int x1) { std::fill(Row(y) + x0, Row(y) + x1, pixel); });
  } else {
    const PixelImage& tile = *brush.pattern;
    const int64_t tw = tile.Width();
    const int64_t th = tile.Height();
    const bool transparent = tile.Transparent();
    const uint32_t key = tile.TransparentColor();
    // Tiles sit at whole multiples of the picture's size from the logical origin.
    auto wrap = [](int64_t v, int64_t n) { return static_cast<int>(((v % n) + n) % n); };
    if (scale_ == 1) {
      ForEachSpan(device, [&](int y, int x0, int x1) {
        std::span<const uint32_t> src =
            tile.Row(wrap(static_cast<int64_t>(y) - state_.origin.Y, th));
        uint32_t* dst = Row(y);
        int tx = wrap(static_cast<int64_t>(x0) - state_.origin.X, tw);
        for (int x = x0; x < x1; ++x) {
          uint32_t pixel = src[static_cast<std::size_t>(tx)];
          if (!transparent || pixel != key) dst[x] = pixel;
          if (++tx == tw) tx = 0;
        }
      });
    } else {
      // Each device pixel takes the tile's pixel under its centre.
      ForEachSpan(device, [&](int y, int x0, int x1) {
        std::span<const uint32_t> src = tile.Row(wrap(FromPixel(y) - state_.origin.Y, th));
        uint32_t* dst = Row(y);
        for (int x = x0; x < x1; ++x) {
          uint32_t pixel = src[static_cast<std::size_t>(wrap(FromPixel(x) - state_.origin.X, tw))];
          if (!transparent || pixel != key) dst[x] = pixel;
        }
      });
    }
  }
  EndPixelAccess();
}

void DeviceContext::FillRect(const TRect& rect) { FillRect(rect, state_.brush); }

void DeviceContext::FillRect(const TRect& rect, const Brush& brush) {
  FillDevice(ToDevice(rect), brush);
}

void DeviceContext::FrameRect(const TRect& rect, const Brush& brush) {
  if (rect.IsEmpty()) return;
  const int top_in = ClampInt(static_cast<int64_t>(rect.Top) + 1);
  const int bottom_in = ClampInt(static_cast<int64_t>(rect.Bottom) - 1);
  FillRect({rect.Left, rect.Top, rect.Right, top_in}, brush);
  FillRect({rect.Left, std::max(bottom_in, top_in), rect.Right, rect.Bottom}, brush);
  FillRect({rect.Left, top_in, ClampInt(static_cast<int64_t>(rect.Left) + 1), bottom_in}, brush);
  FillRect({ClampInt(static_cast<int64_t>(rect.Right) - 1), top_in, rect.Right, bottom_in}, brush);
}

bool DeviceContext::BitBlt(int x, int y, int w, int h, const DeviceContext& source, int sx, int sy,
                           uint32_t rop) {
  if (rop != SRCCOPY) return false;
  if (w <= 0 || h <= 0) return true;
  // Source block in source device pixels, cut to the source surface; the destination moves
  // along with the cut.
  // At a device scale the block's size is the destination's device size; the source is taken
  // from its own device position (both contexts share the scale).
  int64_t src_left = source.ToPixel(static_cast<int64_t>(sx) + source.state_.origin.X);
  int64_t src_top = source.ToPixel(static_cast<int64_t>(sy) + source.state_.origin.Y);
  int64_t dst_left = ToPixel(static_cast<int64_t>(x) + state_.origin.X);
  int64_t dst_top = ToPixel(static_cast<int64_t>(y) + state_.origin.Y);
  const int64_t block_width = ToPixel(static_cast<int64_t>(x) + state_.origin.X + w) - dst_left;
  const int64_t block_height = ToPixel(static_cast<int64_t>(y) + state_.origin.Y + h) - dst_top;
  int64_t cut_left = std::max<int64_t>(0, -src_left);
  int64_t cut_top = std::max<int64_t>(0, -src_top);
  int64_t width = std::min<int64_t>(block_width, source.width_ - src_left) - cut_left;
  int64_t height = std::min<int64_t>(block_height, source.height_ - src_top) - cut_top;
  if (width <= 0 || height <= 0) return true;
  src_left += cut_left;
  src_top += cut_top;
  dst_left += cut_left;
  dst_top += cut_top;

  int64_t d_left = std::max<int64_t>(0, dst_left);
  int64_t d_top = std::max<int64_t>(0, dst_top);
  int64_t d_right = std::min<int64_t>(width_, dst_left + width);
  int64_t d_bottom = std::min<int64_t>(height_, dst_top + height);
  if (d_right <= d_left || d_bottom <= d_top) return true;
  const cairo_rectangle_int_t device{static_cast<int>(d_left), static_cast<int>(d_top),
                                     static_cast<int>(d_right - d_left),
                                     static_cast<int>(d_bottom - d_top)};
  const int64_t shift_x = src_left - dst_left;
  const int64_t shift_y = src_top - dst_top;

  source.BeginPixelAccess();
  BeginPixelAccess();
  // Copying within one surface reads from a snapshot, so overlapping blocks come out whole.
  std::vector<uint32_t> snapshot;
  const uint32_t* src_base =
      reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(source.surface_.get()));
  int64_t src_stride = source.stride_;
  int64_t snap_x = 0, snap_y = 0;
  if (&source == this) {
    snap_x = device.x + shift_x;
    snap_y = device.y + shift_y;
    snapshot.resize(static_cast<std::size_t>(device.width) *
                    static_cast<std::size_t>(device.height));
    for (int row = 0; row < device.height; ++row) {
      const uint32_t* from = Row(static_cast<int>(snap_y + row)) + snap_x;
      std::copy(from, from + device.width,
                snapshot.begin() + static_cast<std::ptrdiff_t>(row) * device.width);
    }
    src_base = snapshot.data();
    src_stride = device.width;
  }
  ForEachSpan(device, [&](int row, int x0, int x1) {
    int64_t src_y = row + shift_y - snap_y;
    int64_t src_x = x0 + shift_x - snap_x;
    const uint32_t* from = src_base + src_y * src_stride + src_x;
    std::copy(from, from + (x1 - x0), Row(row) + x0);
  });
  EndPixelAccess();
  return true;
}

void DeviceContext::Draw(int x, int y, const PixelImage& image) {
  StretchDraw(TRect{x, y, ClampInt(static_cast<int64_t>(x) + image.Width()),
                    ClampInt(static_cast<int64_t>(y) + image.Height())},
              image);
}

void DeviceContext::StretchDraw(const TRect& rect, const PixelImage& image) {
  if (rect.IsEmpty() || image.IsEmpty()) return;
  const int64_t left = ToPixel(static_cast<int64_t>(rect.Left) + state_.origin.X);
  const int64_t top = ToPixel(static_cast<int64_t>(rect.Top) + state_.origin.Y);
  const int64_t dw = ToPixel(static_cast<int64_t>(rect.Right) + state_.origin.X) - left;
  const int64_t dh = ToPixel(static_cast<int64_t>(rect.Bottom) + state_.origin.Y) - top;
  const int64_t iw = image.Width();
  const int64_t ih = image.Height();
  const cairo_rectangle_int_t device = ToDevice(rect);
  if (IsEmpty(device) || dw <= 0 || dh <= 0) return;
  const bool whole_factor = dw % iw == 0 && dh % ih == 0;
  if (scale_ != 1 && !whole_factor && !image.Transparent()) {
    StretchFiltered(device, left, top, dw, dh, image);
    return;
  }
  // Each destination pixel takes the source pixel under its centre.
  std::vector<int> columns(static_cast<std::size_t>(device.width));
  for (int i = 0; i < device.width; ++i) {
    int64_t dx = device.x + i - left;
    columns[static_cast<std::size_t>(i)] = static_cast<int>((2 * dx + 1) * iw / (2 * dw));
  }
  const bool transparent = image.Transparent();
  const uint32_t key = image.TransparentColor();
  BeginPixelAccess();
  ForEachSpan(device, [&](int y, int x0, int x1) {
    int64_t dy = y - top;
    std::span<const uint32_t> src = image.Row(static_cast<int>((2 * dy + 1) * ih / (2 * dh)));
    uint32_t* dst = Row(y);
    for (int x = x0; x < x1; ++x) {
      uint32_t pixel =
          src[static_cast<std::size_t>(columns[static_cast<std::size_t>(x - device.x)])];
      if (!transparent || pixel != key) dst[x] = pixel;
    }
  });
  EndPixelAccess();
}

namespace {

// The source pixels under each destination pixel along one axis, with the share of the
// destination pixel each covers.
struct Coverage {
  int first = 0;
  std::vector<double> weights;
};

std::vector<Coverage> AxisCoverage(int64_t from, int64_t count, int64_t destination,
                                   int64_t source) {
  std::vector<Coverage> result(static_cast<std::size_t>(count));
  const double ratio = static_cast<double>(source) / static_cast<double>(destination);
  for (int64_t i = 0; i < count; ++i) {
    const double start = static_cast<double>(from + i) * ratio;
    const double end = start + ratio;
    Coverage& c = result[static_cast<std::size_t>(i)];
    c.first = static_cast<int>(std::floor(start));
    for (int s = c.first; s < end && s < source; ++s) {
      const double overlap = std::min<double>(end, s + 1) - std::max<double>(start, s);
      c.weights.push_back(overlap / ratio);
    }
  }
  return result;
}

}  // namespace

void DeviceContext::StretchFiltered(const cairo_rectangle_int_t& device, int64_t left, int64_t top,
                                    int64_t dw, int64_t dh, const PixelImage& image) {
  const std::vector<Coverage> columns =
      AxisCoverage(device.x - left, device.width, dw, image.Width());
  const std::vector<Coverage> rows =
      AxisCoverage(device.y - top, device.height, dh, image.Height());
  BeginPixelAccess();
  ForEachSpan(device, [&](int y, int x0, int x1) {
    const Coverage& row = rows[static_cast<std::size_t>(y - device.y)];
    uint32_t* dst = Row(y);
    for (int x = x0; x < x1; ++x) {
      const Coverage& column = columns[static_cast<std::size_t>(x - device.x)];
      double sum[3] = {0, 0, 0};
      for (std::size_t j = 0; j < row.weights.size(); ++j) {
        std::span<const uint32_t> src = image.Row(row.first + static_cast<int>(j));
        for (std::size_t i = 0; i < column.weights.size(); ++i) {
          const uint32_t pixel = src[static_cast<std::size_t>(column.first) + i];
          const double weight = row.weights[j] * column.weights[i];
          sum[0] += weight * static_cast<double>((pixel >> 16) & 0xFF);
          sum[1] += weight * static_cast<double>((pixel >> 8) & 0xFF);
          sum[2] += weight * static_cast<double>(pixel & 0xFF);
        }
      }
      auto channel = [](double v) {
        return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
      };
      dst[x] = channel(sum[0]) << 16 | channel(sum[1]) << 8 | channel(sum[2]);
    }
  });
  EndPixelAccess();
}

// --- text ----------------------------------------------------------------------------------

void DeviceContext::PaintCairo(const std::function<void(cairo_t*)>& paint,
                               const cairo_rectangle_int_t* clip) {
  CairoRegion region = EffectiveRegion();
  if (clip != nullptr) cairo_region_intersect_rectangle(region.get(), clip);
  const int count = cairo_region_num_rectangles(region.get());
  if (count == 0) return;
  cairo_t* cr = cr_.get();
  cairo_save(cr);
  cairo_reset_clip(cr);
  cairo_new_path(cr);
  for (int i = 0; i < count; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region.get(), i, &r);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
  }
  cairo_clip(cr);
  // Drawn in 96-dpi coordinates; glyphs are rasterised at the device size.
  auto scaled_paint = [&] {
    cairo_save(cr);
    cairo_scale(cr, scale_, scale_);
    paint(cr);
    cairo_restore(cr);
  };
  if (state_.clip.mask) {
    cairo_push_group(cr);
    scaled_paint();
    cairo_pop_group_to_source(cr);
    cairo_mask_surface(cr, state_.clip.mask.get(), 0, 0);
  } else {
    scaled_paint();
  }
  cairo_restore(cr);
  cairo_surface_flush(surface_.get());
}

void DeviceContext::FillTextBand(const ResolvedFont& font, int x, int y, int from, int to,
                                 int offset, int thickness, const cairo_rectangle_int_t* clip) {
  if (to <= from || thickness <= 0) return;
  const double angle = font.EscapementDegrees() * std::numbers::pi / 180.0;
  const int top = font.TextMetrics().tmAscent + offset;
  if (angle == 0) {
    const int64_t band_top = static_cast<int64_t>(y) + top;
    FillDevice(DeviceRect(static_cast<int64_t>(x) + from, band_top, static_cast<int64_t>(x) + to,
                          band_top + thickness, clip),
               Brush::Solid(state_.text_color));
    return;
  }
  const double ux = std::cos(angle), uy = -std::sin(angle);  // along the baseline
  const double vx = std::sin(angle), vy = std::cos(angle);   // down the cell
  PaintCairo(
      [&](cairo_t* cr) {
        auto corner = [&](double u, double v) {
          cairo_line_to(cr, x + u * ux + v * vx, y + u * uy + v * vy);
        };
        cairo_new_path(cr);
        corner(from, top);
        corner(to, top);
        corner(to, top + thickness);
        corner(from, top + thickness);
        cairo_close_path(cr);
        SetSource(cr, state_.text_color);
        cairo_fill(cr);
      },
      clip);
}

void DeviceContext::DrawLine(const ResolvedFont& font, int x, int y, std::string_view text,
                             const cairo_rectangle_int_t* clip) {
  if (text.empty()) return;
  const TEXTMETRIC& tm = font.TextMetrics();
  const double angle = font.EscapementDegrees() * std::numbers::pi / 180.0;
  const double ux = std::cos(angle), uy = -std::sin(angle);
  const double vx = std::sin(angle), vy = std::cos(angle);
  const double base_x = x + tm.tmAscent * vx;
  const double base_y = y + tm.tmAscent * vy;
  font.Glyphs(text, glyphs_);
  for (cairo_glyph_t& g : glyphs_) {
    const double along = g.x;
    g.x = base_x + along * ux;
    g.y = base_y + along * uy;
  }

  if (path_open_) {
    cairo_t* cr = cr_.get();
    cairo_new_path(cr);
    if (path_) cairo_append_path(cr, path_.get());
    cairo_set_scaled_font(cr, font.DrawingFont());
    cairo_glyph_path(cr, glyphs_.data(), static_cast<int>(glyphs_.size()));
    path_.reset(cairo_copy_path(cr));
    cairo_new_path(cr);
    return;
  }

  const int width = font.TextWidth(text);
  if (state_.bk_mode == OPAQUE) {
    if (angle == 0) {
      FillDevice(DeviceRect(x, y, static_cast<int64_t>(x) + width,
                            static_cast<int64_t>(y) + tm.tmHeight, clip),
                 Brush::Solid(state_.bk_color));
    } else {
      PaintCairo(
          [&](cairo_t* cr) {
            cairo_new_path(cr);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + width * ux, y + width * uy);
            cairo_line_to(cr, x + width * ux + tm.tmHeight * vx, y + width * uy + tm.tmHeight * vy);
            cairo_line_to(cr, x + tm.tmHeight * vx, y + tm.tmHeight * vy);
            cairo_close_path(cr);
            SetSource(cr, state_.bk_color);
            cairo_fill(cr);
          },
          clip);
    }
  }
  // A raster font never paints outside its cell; the stand-in's accents and commas would by a
  // pixel, so its glyphs are cut to the cell's rows.
  cairo_rectangle_int_t cell_rows{0, 0, 0, 0};
  const cairo_rectangle_int_t* glyph_clip = clip;
  if (!font.IsTrueType()) {
    cell_rows = DeviceRect(0, y, width_, static_cast<int64_t>(y) + tm.tmHeight, clip);
    glyph_clip = &cell_rows;
  }
  PaintCairo(
      [&](cairo_t* cr) {
        cairo_set_scaled_font(cr, font.DrawingFont());
        SetSource(cr, state_.text_color);
        cairo_show_glyphs(cr, glyphs_.data(), static_cast<int>(glyphs_.size()));
      },
      glyph_clip);
  if (font.LogFont().lfUnderline) {
    FillTextBand(font, x, y, 0, width, font.UnderlineOffset(), font.UnderlineThickness(), clip);
  }
  if (font.LogFont().lfStrikeOut) {
    FillTextBand(font, x, y, 0, width, font.StrikeOutOffset(), font.StrikeOutThickness(), clip);
  }
}

bool DeviceContext::ExtTextOut(int x, int y, unsigned options, const TRect* rect,
                               std::string_view text) {
  const ResolvedFont& font = CurrentFont();
  const int dx = ClampInt(static_cast<int64_t>(x) + state_.origin.X);
  const int dy = ClampInt(static_cast<int64_t>(y) + state_.origin.Y);
  cairo_rectangle_int_t clip_rect{0, 0, 0, 0};
  const cairo_rectangle_int_t* clip = nullptr;
  if (rect != nullptr && !path_open_) {
    if ((options & ETO_OPAQUE) != 0) FillRect(*rect, Brush::Solid(state_.bk_color));
    if ((options & ETO_CLIPPED) != 0) {
      clip_rect = ToDevice(*rect);
      clip = &clip_rect;
      if (IsEmpty(clip_rect)) return true;
    }
  }
  DrawLine(font, dx, dy, text, clip);
  return true;
}

int DeviceContext::DrawText(std::string_view text, TRect& rect, unsigned format) {
  const ResolvedFont& font = CurrentFont();
  FontMeasure measure(font, (format & DT_EXTERNALLEADING) != 0);
  TextLayout layout = LayoutText(text, rect, format, measure);
  if ((format & DT_CALCRECT) != 0) {
    rect = layout.calc_rect;
    return layout.height;
  }
  cairo_rectangle_int_t clip_rect{0, 0, 0, 0};
  const cairo_rectangle_int_t* clip = nullptr;
  if ((format & DT_NOCLIP) == 0) {
    clip_rect = ToDevice(rect);
    clip = &clip_rect;
    if (IsEmpty(clip_rect)) return layout.height;
  }
  for (const TextLine& line : layout.lines) {
    const int64_t x = static_cast<int64_t>(line.origin.X) + state_.origin.X;
    const int64_t y = static_cast<int64_t>(line.origin.Y) + state_.origin.Y;
    for (const TextRun& run : line.runs) {
      DrawLine(font, ClampInt(x + run.x), ClampInt(y), run.text, clip);
    }
    if (!path_open_) {
      for (const TextUnderline& u : line.underlines) {
        FillTextBand(font, ClampInt(x), ClampInt(y), u.from, u.to, font.UnderlineOffset(),
                     font.UnderlineThickness(), clip);
      }
    }
  }
  return layout.height;
}

TSize DeviceContext::GetTextExtentPoint32(std::string_view text) const {
  const ResolvedFont& font = CurrentFont();
  return {font.TextWidth(text), font.TextMetrics().tmHeight};
}

TEXTMETRIC DeviceContext::GetTextMetrics() const { return CurrentFont().TextMetrics(); }

// --- paths ---------------------------------------------------------------------------------

void DeviceContext::BeginPath() {
  path_.reset();
  path_open_ = true;
}

void DeviceContext::EndPath() { path_open_ = false; }

void DeviceContext::AbortPath() {
  path_.reset();
  path_open_ = false;
}

bool DeviceContext::StrokePath() {
  if (path_open_ || !path_) return false;
  PaintCairo(
      [&](cairo_t* cr) {
        cairo_new_path(cr);
        cairo_append_path(cr, path_.get());
        SetSource(cr, state_.pen.color);
        cairo_set_line_width(cr, std::max(1, state_.pen.width));
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
      },
      nullptr);
  path_.reset();
  return true;
}

}  // namespace orlit
