#pragma once

#include <string_view>

#include "framework/Font.h"
#include "framework/Persistent.h"
#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/SystemColors.h"

namespace orlit {

class TGraphic;

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style) { style_ = style; }
  void Assign(const TPersistent& source) override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

class TPen : public TPersistent {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width < 1 ? 1 : width; }
  void Assign(const TPersistent& source) override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
};

// Drawing with a font, a brush and a pen on a device context, as controls paint. The canvas
// hands its tools to the device context before each operation, so they may be changed freely
// in between; the device context's own state is the caller's to save and restore.
class TCanvas : public TPersistent {
 public:
  explicit TCanvas(DeviceContext& dc) : dc_(dc) {}

  DeviceContext& Handle() const { return dc_; }
  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }

  // With the brush; a clear brush fills nothing.
  void FillRect(const TRect& rect);
  // A one-pixel frame in the brush's colour.
  void FrameRect(const TRect& rect);
  // The lines of a raised (or sunk, with the colours swapped) edge, `width` pixels deep.
  void Frame3D(TRect& rect, TColor top_left, TColor bottom_right, int width);
  // Text with its cell at (x, y): on the brush's colour unless the brush is clear.
  void TextOut(int x, int y, std::string_view text);
  // TextOut clipped to `rect`, which is filled with the brush first unless it is clear.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  // DrawText with the canvas's font, in the font's colour on a transparent background.
  int DrawText(std::string_view text, TRect& rect, unsigned format);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const TRect& rect, const TGraphic& graphic);

 private:
  void SelectFont();
  void SelectTextBackground();

  DeviceContext& dc_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
};

// A one-pixel device context for measuring text outside painting.
DeviceContext& MeasuringContext();

}  // namespace orlit
