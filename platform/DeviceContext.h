#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CairoPtr.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/ResolvedFont.h"
#include "platform/SystemColors.h"
#include "platform/TextLayout.h"

namespace orlit {

// ExtTextOut options.
inline constexpr unsigned ETO_OPAQUE = 0x2;
inline constexpr unsigned ETO_CLIPPED = 0x4;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Raster operation of BitBlt; source copy is the one there is.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;

// Region combination modes of SelectClipPath.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// What clipping calls report about the resulting clip region.
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// What fills: nothing (hollow), one colour, or a picture repeated from the logical origin. A
// transparent picture leaves its transparent pixels alone, as drawing the tiles one by one would.
struct Brush {
  enum class Style { kSolid, kHollow, kPattern };
  Style style = Style::kSolid;
  TColor color = clWhite;
  std::shared_ptr<const PixelImage> pattern;

  static Brush Solid(TColor color) { return {Style::kSolid, color, nullptr}; }
  static Brush Hollow() { return {Style::kHollow, clWhite, nullptr}; }
  static Brush Pattern(std::shared_ptr<const PixelImage> image) {
    return {Style::kPattern, clWhite, std::move(image)};
  }
};

struct Pen {
  TColor color = clBlack;
  int width = 1;
};

// A GDI-style device context over a 32-bit pixel surface (0x00RRGGBB, cairo's RGB24). Logical
// coordinates are 96-dpi surface coordinates less the viewport origin; rectangles exclude their
// right and bottom edges. The surface may hold more pixels than its 96-dpi size, at a device
// scale: every edge e maps to the pixel edge floor(e * scale + 0.5), so neighbouring rectangles
// tile without gaps at any scale, glyphs are rasterised at the device size, and pictures are
// drawn from their own pixels. At scale 1 logical and device pixels are the same. Fills, frames,
// blits and pictures are written pixel-exact; glyphs and paths go through cairo. Invalid input
// (negative or huge sizes, empty strings, malformed UTF-8) draws nothing or what is sensible, and
// never fails.
class DeviceContext {
 public:
  // A surface of its own of `width` x `height` 96-dpi pixels at `scale` (1 to 4), cleared to
  // black. Negative sizes count as 0; device sizes beyond 32767 throw Exception.
  DeviceContext(int width, int height, double scale = 1);
  // Draws into memory owned by the caller (e.g. a window's surface), which must outlive this.
  // `stride_bytes` must be at least width * 4 and a multiple of 4; throws Exception otherwise.
  DeviceContext(uint32_t* pixels, int width, int height, int stride_bytes);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  // A moved-from context may only be destroyed or assigned to.
  DeviceContext(DeviceContext&&) noexcept;
  DeviceContext& operator=(DeviceContext&&) noexcept;

  // The size in 96-dpi pixels.
  int Width() const { return logical_width_; }
  int Height() const { return logical_height_; }
  double Scale() const { return scale_; }
  // The size in device pixels.
  int PixelWidth() const { return width_; }
  int PixelHeight() const { return height_; }
  // The device pixels of a 96-dpi rectangle of the surface (viewport origin not applied).
  TRect ToPixels(const TRect& rect) const;
  // Row-major device pixels, Stride() 32-bit words apart, for presenting the surface. The top
  // byte of a pixel is unspecified (cairo's RGB24).
  const uint32_t* Bits() const;
  int Stride() const { return stride_; }
  // The colour at a logical point (the top-left device pixel of its square); CLR_INVALID outside
  // the surface.
  static constexpr TColor CLR_INVALID = 0xFFFFFFFF;
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
  // The device pixels.
  PixelImage ToPixelImage() const;
  // Throws Exception when the file cannot be written.
  void WritePng(const std::string& path) const;

  // Drawing state.
  // Until a font is selected, text uses the window font ("MS Sans Serif", height -11).
  void SelectFont(std::shared_ptr<const ResolvedFont> font);
  std::shared_ptr<const ResolvedFont> SelectedFont() const;
  void SelectBrush(Brush brush) { state_.brush = std::move(brush); }
  const Brush& SelectedBrush() const { return state_.brush; }
  void SelectPen(Pen pen) { state_.pen = pen; }
  const Pen& SelectedPen() const { return state_.pen; }
  TColor SetTextColor(TColor color);
  TColor GetTextColor() const { return state_.text_color; }
  TColor SetBkColor(TColor color);
  TColor GetBkColor() const { return state_.bk_color; }
  int SetBkMode(int mode);
  int GetBkMode() const { return state_.bk_mode; }
  TPoint SetViewportOrgEx(int x, int y);
  TPoint OffsetViewportOrgEx(int dx, int dy);
  TPoint GetViewportOrgEx() const { return state_.origin; }

  // Saves the whole drawing state (font, brush, pen, colours, modes, clip, origin) and returns
  // its level, from 1. RestoreDC(-1) restores the last one, RestoreDC(n) the one SaveDC returned
  // n for, dropping the later ones; false for a level that is not saved.
  int SaveDC();
  bool RestoreDC(int level);

  // Clipping; each returns the kind of region that results (NULLREGION, SIMPLEREGION, ...).
  int ExcludeClipRect(const TRect& rect);
  int IntersectClipRect(const TRect& rect);
  // Removes the clip: SelectClipRgn with no region.
  int SelectClipRgn(std::nullptr_t);
  // Makes the closed path the clip (RGN_COPY) or intersects the clip with it (RGN_AND); the path
  // is used up. RGN_ERROR without a closed path or for the other modes.
  int SelectClipPath(int mode);
  // Smallest logical rectangle around what may be drawn on; the clip box of the whole surface
  // when there is no clip.
  int GetClipBox(TRect& rect) const;

  // Fills with the selected brush; a hollow brush fills nothing.
  void FillRect(const TRect& rect);
  void FillRect(const TRect& rect, const Brush& brush);
  // A one-pixel frame drawn as four fills with the brush.
  void FrameRect(const TRect& rect, const Brush& brush);

  // Copies a w x h block from `source` (which may be this context) at (sx, sy) to (x, y). Parts
  // outside the source are left alone. Only SRCCOPY is known; false for anything else.
  bool BitBlt(int x, int y, int w, int h, const DeviceContext& source, int sx, int sy,
              uint32_t rop = SRCCOPY);
  // Draws a picture at its own size, or scaled into `rect`: nearest neighbour at scale 1 and
  // wherever the picture is enlarged by a whole factor, else each device pixel is the average of
  // the picture's pixels under it (a transparent picture stays nearest neighbour).
  void Draw(int x, int y, const PixelImage& image);
  void StretchDraw(const TRect& rect, const PixelImage& image);

  // One line of text with its cell's top-left at (x, y), in the text colour; the cell is filled
  // with the background colour in OPAQUE mode. ETO_OPAQUE fills `rect` with the background
  // colour first, ETO_CLIPPED clips to it; both need a rectangle. Rotated by the font's
  // escapement about (x, y). While a path is open, the glyph outlines go into it instead.
  bool ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::string_view text);
  // Formatted text in a rectangle (see LayoutText for the flags); returns the text height. With
  // DT_CALCRECT nothing is drawn and `rect` receives the rectangle the text needs.
  int DrawText(std::string_view text, TRect& rect, unsigned format);
  TSize GetTextExtentPoint32(std::string_view text) const;
  TEXTMETRIC GetTextMetrics() const;

  // Paths: text drawn between BeginPath and EndPath is recorded, not drawn.
  void BeginPath();
  void EndPath();
  void AbortPath();
  // Strokes the closed path with the pen (colour and width, round joins) and uses it up.
  bool StrokePath();

 private:
  struct Clip {
    std::optional<CairoRegion> region;      // device pixels; none: the whole surface
    std::shared_ptr<cairo_surface_t> mask;  // A8 coverage from a clip path, or none
  };
  struct State {
    std::shared_ptr<const ResolvedFont> font;
    Brush brush;
    Pen pen;
    TColor text_color = clBlack;
    TColor bk_color = clWhite;
    int bk_mode = OPAQUE;
    TPoint origin;
    Clip clip;
  };
  class FontMeasure;

  void Init();
  // A 96-dpi surface coordinate's device pixel edge, and the 96-dpi coordinate of a device pixel.
  int64_t ToPixel(int64_t edge) const;
  int64_t FromPixel(int64_t pixel) const;
  void StretchFiltered(const cairo_rectangle_int_t& device, int64_t left, int64_t top, int64_t dw,
                       int64_t dh, const PixelImage& image);
  const ResolvedFont& CurrentFont() const;
  uint32_t* Row(int y) const;
  // The device rectangle of a logical one, cut to the surface.
  cairo_rectangle_int_t ToDevice(const TRect& rect) const;
  // The device rectangle of a 96-dpi surface rectangle, cut to the surface and to `limit` (in
  // device pixels) when given.
  cairo_rectangle_int_t DeviceRect(int64_t left, int64_t top, int64_t right, int64_t bottom,
                                   const cairo_rectangle_int_t* limit) const;
  CairoRegion EffectiveRegion() const;
  int RegionKind() const;
  // Calls fn(y, x0, x1) for every span of `device` that the clip lets through.
  template <typename Fn>
  void ForEachSpan(const cairo_rectangle_int_t& device, Fn&& fn);
  void FillDevice(const cairo_rectangle_int_t& device, const Brush& brush);
  // Draws (or records into the open path) one run of text whose cell's top-left is the 96-dpi
  // surface point (x, y).
  void DrawLine(const ResolvedFont& font, int x, int y, std::string_view text,
                const cairo_rectangle_int_t* clip);
  // A band along the text's baseline direction: `offset` below the baseline, `thickness` high.
  void FillTextBand(const ResolvedFont& font, int x, int y, int from, int to, int offset,
                    int thickness, const cairo_rectangle_int_t* clip);
  // Runs `paint` on the cairo context, in 96-dpi surface coordinates, under the clip (and an
  // extra device rectangle).
  void PaintCairo(const std::function<void(cairo_t*)>& paint, const cairo_rectangle_int_t* clip);
  void BeginPixelAccess() const;
  void EndPixelAccess() const;

  int width_ = 0;  // device pixels
  int height_ = 0;
  int logical_width_ = 0;
  int logical_height_ = 0;
  double scale_ = 1;
  int stride_ = 0;  // in 32-bit words
  CairoSurfacePtr surface_;
  CairoContextPtr cr_;
  State state_;
  std::vector<State> saved_;
  bool path_open_ = false;
  CairoPathPtr path_;  // 96-dpi surface coordinates; null when there is no path
  mutable std::shared_ptr<const ResolvedFont> default_font_;
  std::vector<cairo_glyph_t> glyphs_;
};

// Restores the device context's drawing state (SaveDC/RestoreDC) however the scope ends.
class SavedDc {
 public:
  explicit SavedDc(DeviceContext& dc) : dc_(dc), level_(dc.SaveDC()) {}
  ~SavedDc() { dc_.RestoreDC(level_); }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  DeviceContext& dc_;
  int level_;
};

}  // namespace orlit
