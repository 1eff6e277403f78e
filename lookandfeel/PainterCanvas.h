#pragma once

#include <string_view>
#include <vector>

#include "framework/Canvas.h"
#include "lookandfeel/BorderStyles.h"
#include "lookandfeel/TextAlignment.h"
#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/SystemColors.h"

namespace orlit {

// The canvas's own text flags.
inline constexpr int cxAlignLeft = 1;
inline constexpr int cxAlignRight = 2;
inline constexpr int cxAlignHCenter = 4;
inline constexpr int cxAlignTop = 8;
inline constexpr int cxAlignBottom = 16;
inline constexpr int cxAlignVCenter = 32;
inline constexpr int cxSingleLine = 64;
inline constexpr int cxDontClip = 128;
inline constexpr int cxExpandTabs = 256;
inline constexpr int cxShowPrefix = 512;
inline constexpr int cxWordBreak = 1024;
inline constexpr int cxShowEndEllipsis = 2048;
inline constexpr int cxDontPrint = 4096;
inline constexpr int cxShowPathEllipsis = 8192;

// The colour that leaves the brush as it is.
inline constexpr TColor clKeepBrushColor = 0x20000000;

// The platform's DrawText flags for canvas text flags.
unsigned cxFlagsToDTFlags(int flags);

// Canvas text flags for an editor's text settings.
int cxEditTextFlags(TAlignment horz, TcxEditVertAlignment vert, bool show_prefix, bool word_break,
                    bool end_ellipsis);
// The same settings as the platform's DrawText flags, for measuring.
unsigned cxEditDrawTextFlags(TAlignment horz, TcxEditVertAlignment vert, bool show_prefix,
                             bool word_break, bool end_ellipsis);

// The drawing surface of the editor controls: a framework canvas (not owned) with the frames,
// edges, fills, text and clipping the controls draw with. Clip changes live in the device
// context; SaveClipRegion and RestoreClipRegion bracket them.
class TcxCanvas {
 public:
  explicit TcxCanvas(TCanvas& canvas) : canvas_(canvas) {}
  ~TcxCanvas();
  TcxCanvas(const TcxCanvas&) = delete;
  TcxCanvas& operator=(const TcxCanvas&) = delete;

  TCanvas& Canvas() const { return canvas_; }
  DeviceContext& Handle() const { return canvas_.Handle(); }
  TBrush& Brush() const { return canvas_.Brush(); }
  TFont& Font() const { return canvas_.Font(); }
  TPen& Pen() const { return canvas_.Pen(); }

  // Bands of `line_width` along the chosen sides, in the order left, right, top, bottom, each
  // cut to the rectangle. Sets the brush to `color` unless it is clKeepBrushColor.
  void FrameRect(const TRect& rect, TColor color = clKeepBrushColor, int line_width = 1,
                 TcxBorders borders = cxBordersAll);
  // Full-length bands along the chosen sides in the order left, top, right, bottom: left and
  // top in the first colour, right and bottom in the second, which therefore owns the top-right
  // and bottom-left corners.
  void DrawComplexFrame(const TRect& rect, TColor left_top_color, TColor right_bottom_color,
                        TcxBorders borders = cxBordersAll, int line_width = 1);
  // One ring of a three-dimensional edge: the outer or the inner one, sunken or raised.
  void DrawEdge(const TRect& rect, bool sunken, bool outer, TcxBorders borders = cxBordersAll);

  // Fills with `color`, which becomes the brush's.
  void FillRect(const TRect& rect, TColor color);
  // Fills with the brush, or, given a picture, tiles it from the canvas's origin over the
  // rectangle (only the rectangle is drawn on).
  void FillRect(const TRect& rect, const PixelImage* bitmap = nullptr);

  // Text in the font and, unless the brush is clear, on the brush's colour. Disabled text is
  // drawn engraved: in clBtnHighlight one pixel right and down, then in clBtnShadow. With
  // cxDontPrint nothing is drawn and `rect` receives the size the text needs.
  void DrawText(std::string_view text, TRect& rect, int flags, bool enabled = true);
  int TextWidth(std::string_view text) const;
  int TextHeight(std::string_view text) const;

  void SaveClipRegion();
  // Puts back the clip of the matching SaveClipRegion; the other drawing state stays as it is.
  void RestoreClipRegion();
  void ExcludeClipRect(const TRect& rect);
  void IntersectClipRect(const TRect& rect);

  // Copies `source_rect` of `source` into `dest`, scaled when the sizes differ.
  void CopyRect(const TRect& dest, const TcxCanvas& source, const TRect& source_rect);

 private:
  void SelectFontAndBackground();
  void DrawTextOnce(std::string_view text, const TRect& rect, int flags, int d);

  TCanvas& canvas_;
  std::vector<int> saved_clips_;
};

}  // namespace orlit
