#include "framework/Panel.h"

#include <algorithm>

#include "framework/Canvas.h"

namespace orlit {

namespace {

constexpr int kDefaultWidth = 185;
constexpr int kDefaultHeight = 41;

void Bevel(TCanvas& canvas, TRect& rect, TBevelCut cut, TColor face, int width) {
  switch (cut) {
    case bvNone:
      return;
    case bvLowered:
      canvas.Frame3D(rect, clBtnShadow, clBtnHighlight, width);
      return;
    case bvRaised:
      canvas.Frame3D(rect, clBtnHighlight, clBtnShadow, width);
      return;
    case bvSpace:
      canvas.Frame3D(rect, face, face, width);
      return;
  }
}

}  // namespace

TPanel::TPanel() {
  SetBounds(0, 0, kDefaultWidth, kDefaultHeight);
  SetColor(clBtnFace);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevel == bevel_outer_) return;
  bevel_outer_ = bevel;
  EdgeChanged();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
  if (bevel == bevel_inner_) return;
  bevel_inner_ = bevel;
  EdgeChanged();
}

void TPanel::SetBevelWidth(int width) {
  width = std::max(width, 1);
  if (width == bevel_width_) return;
  bevel_width_ = width;
  EdgeChanged();
}

void TPanel::SetBorderWidth(int width) {
  width = std::max(width, 0);
  if (width == border_width_) return;
  border_width_ = width;
  EdgeChanged();
}

void TPanel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TPanel::EdgeChanged() {
  Realign();
  Invalidate();
}

void TPanel::AdjustClientRect(TRect& rect) const {
  int inset = border_width_;
  if (bevel_outer_ != bvNone) inset += bevel_width_;
  if (bevel_inner_ != bvNone) inset += bevel_width_;
  rect = rect.Inflate(-inset, -inset);
}

void TPanel::PaintBackground(TCanvas& /*canvas*/) {}

void TPanel::Paint(TCanvas& canvas) {
  TRect rect = ClientRect();
  Bevel(canvas, rect, bevel_outer_, Color(), bevel_width_);
  canvas.Frame3D(rect, Color(), Color(), border_width_);
  Bevel(canvas, rect, bevel_inner_, Color(), bevel_width_);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(rect);
  const int font_height = canvas.TextHeight("W");
  rect.Top = (rect.Top + rect.Bottom - font_height) / 2;
  rect.Bottom = rect.Top + font_height;
  static constexpr unsigned kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas.DrawText(Caption(), rect, DT_EXPANDTABS | DT_VCENTER | kAlignments[alignment_]);
}

}  // namespace orlit
