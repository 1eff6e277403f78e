#include "platform/xcb/XcbSurface.h"

#include <algorithm>
#include <vector>

namespace orlit {

namespace {

// Enough rows per request to keep the request count low without holding a
// frame-sized buffer.
constexpr std::size_t kMaxRequestBytes = 256 * 1024;

}  // namespace

XcbSurface::XcbSurface(XcbConnection& connection, xcb_window_t window, TSize size)
    : connection_(connection),
      window_(window),
      size_(size),
      depth_(connection.Screen().root_depth) {
  if (depth_ != 24 && depth_ != 32) {
    throw EWindowSystemError("The display must show 24-bit colour");
  }
  xcb_connection_t* c = connection_.Get();
  pixmap_ = xcb_generate_id(c);
  xcb_create_pixmap(c, depth_, pixmap_, window_, static_cast<std::uint16_t>(size_.cx),
                    static_cast<std::uint16_t>(size_.cy));
  gc_ = xcb_generate_id(c);
  const std::uint32_t black[] = {0};
  xcb_create_gc(c, gc_, pixmap_, XCB_GC_FOREGROUND, black);
  const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(size_.cx),
                            static_cast<std::uint16_t>(size_.cy)};
  xcb_poly_fill_rectangle(c, pixmap_, gc_, 1, &all);
  const std::uint32_t background[] = {pixmap_};
  xcb_change_window_attributes(c, window_, XCB_CW_BACK_PIXMAP, background);
}

XcbSurface::~XcbSurface() {
  xcb_connection_t* c = connection_.Get();
  const std::uint32_t none[] = {XCB_BACK_PIXMAP_NONE};
  xcb_change_window_attributes(c, window_, XCB_CW_BACK_PIXMAP, none);
  xcb_free_gc(c, gc_);
  xcb_free_pixmap(c, pixmap_);
}

void XcbSurface::Show(const FrameView& frame, const TRect& area) {
  if (area.IsEmpty()) return;
  xcb_connection_t* c = connection_.Get();
  const int width = area.Width();
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 4;
  const std::size_t request_bytes = std::min(kMaxRequestBytes, connection_.MaxRequestBytes() - 64);
  // Whole rows per request, at least one.
  const int rows_per_request = std::max(1, static_cast<int>(request_bytes / row_bytes));
  // Rows that lie back to back in the frame (the whole width of it) go out as
  // they are; others are gathered a request's worth at a time, in a buffer that
  // lives only for this call.
  const bool back_to_back = static_cast<std::size_t>(frame.stride_bytes) == row_bytes;
  std::vector<std::uint32_t> gathered;
  if (!back_to_back) {
    gathered.resize(static_cast<std::size_t>(width) * std::min(rows_per_request, area.Height()));
  }
  for (int top = area.Top; top < area.Bottom; top += rows_per_request) {
    const int count = std::min(rows_per_request, area.Bottom - top);
    const auto* first_row = reinterpret_cast<const unsigned char*>(frame.pixels) +
                            static_cast<std::ptrdiff_t>(top) * frame.stride_bytes;
    const std::uint8_t* data = first_row + static_cast<std::ptrdiff_t>(area.Left) * 4;
    if (!back_to_back) {
      for (int row = 0; row < count; ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(
                               first_row + static_cast<std::ptrdiff_t>(row) * frame.stride_bytes) +
                           area.Left;
        std::copy_n(from, width, gathered.begin() + static_cast<std::ptrdiff_t>(row) * width);
      }
      data = reinterpret_cast<const std::uint8_t*>(gathered.data());
    }
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_, static_cast<std::uint16_t>(width),
                  static_cast<std::uint16_t>(count), static_cast<std::int16_t>(area.Left),
                  static_cast<std::int16_t>(top), 0, depth_,
                  static_cast<std::uint32_t>(row_bytes * count), data);
  }
  unrevealed_.push_back(area);
}

void XcbSurface::Reveal() {
  for (const TRect& area : unrevealed_) {
    xcb_clear_area(connection_.Get(), 0, window_, static_cast<std::int16_t>(area.Left),
                   static_cast<std::int16_t>(area.Top), static_cast<std::uint16_t>(area.Width()),
                   static_cast<std::uint16_t>(area.Height()));
  }
  unrevealed_.clear();
}

}  // namespace orlit
