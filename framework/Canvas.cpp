#include "framework/Canvas.h"

#include "framework/Graphic.h"

namespace orlit {

void TBrush::SetColor(TColor color) {
  color_ = color;
  style_ = bsSolid;
}

void TBrush::Assign(const TPersistent& source) {
  if (const auto* brush = dynamic_cast<const TBrush*>(&source)) {
    color_ = brush->color_;
    style_ = brush->style_;
    return;
  }
  TPersistent::Assign(source);
}

void TPen::Assign(const TPersistent& source) {
  if (const auto* pen = dynamic_cast<const TPen*>(&source)) {
    color_ = pen->color_;
    width_ = pen->width_;
    return;
  }
  TPersistent::Assign(source);
}

void TCanvas::FillRect(const TRect& rect) {
  if (brush_.Style() == bsClear) return;
  dc_.FillRect(rect, orlit::Brush::Solid(brush_.Color()));
}

void TCanvas::FrameRect(const TRect& rect) {
  if (brush_.Style() == bsClear) return;
  dc_.FrameRect(rect, orlit::Brush::Solid(brush_.Color()));
}

void TCanvas::Frame3D(TRect& rect, TColor top_left, TColor bottom_right, int width) {
  const orlit::Brush light = orlit::Brush::Solid(top_left);
  const orlit::Brush dark = orlit::Brush::Solid(bottom_right);
  for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
    dc_.FillRect({rect.Left, rect.Top, rect.Right - 1, rect.Top + 1}, light);
    dc_.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1}, light);
    dc_.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, dark);
    dc_.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, dark);
    rect = rect.Inflate(-1, -1);
  }
}

void TCanvas::SelectFont() {
  dc_.SelectFont(font_.Handle());
  dc_.SetTextColor(font_.Color());
}

void TCanvas::SelectTextBackground() {
  if (brush_.Style() == bsClear) {
    dc_.SetBkMode(TRANSPARENT);
  } else {
    dc_.SetBkMode(OPAQUE);
    dc_.SetBkColor(brush_.Color());
  }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  SelectFont();
  SelectTextBackground();
  dc_.ExtTextOut(x, y, 0, nullptr, text);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  SelectFont();
  SelectTextBackground();
  const unsigned options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0u : ETO_OPAQUE);
  dc_.ExtTextOut(x, y, options, &rect, text);
}

int TCanvas::DrawText(std::string_view text, TRect& rect, unsigned format) {
  SelectFont();
  dc_.SetBkMode(TRANSPARENT);
  return dc_.DrawText(text, rect, format);
}

TSize TCanvas::TextExtent(std::string_view text) {
  SelectFont();
  return dc_.GetTextExtentPoint32(text);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  graphic.Draw(*this, TRect::FromBounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) { graphic.Draw(*this, rect); }

DeviceContext& MeasuringContext() {
  static DeviceContext& context = *new DeviceContext(1, 1);
  return context;
}

}  // namespace orlit
