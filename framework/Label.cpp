#include "framework/Label.h"

#include "framework/Canvas.h"

namespace orlit {

namespace {

constexpr int kDefaultWidth = 65;
constexpr int kDefaultHeight = 17;

}  // namespace

TLabel::TLabel() {
  SetBounds(0, 0, kDefaultWidth, kDefaultHeight);
  SetAutoSize(true);
}

void TLabel::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TLabel::SetWordWrap(bool word_wrap) {
  if (word_wrap == word_wrap_) return;
  word_wrap_ = word_wrap;
  AdjustSize();
  Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
  if (show == show_accel_char_) return;
  show_accel_char_ = show;
  AdjustSize();
  Invalidate();
}

unsigned TLabel::TextFlags() const {
  static constexpr unsigned kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0u) | kAlignments[alignment_] |
         (show_accel_char_ ? 0u : DT_NOPREFIX);
}

bool TLabel::CanAutoSize(int& new_width, int& new_height) {
  DeviceContext& measure = MeasuringContext();
  measure.SelectFont(Font().Handle());
  // An empty caption still measures one line high.
  const bool blank = Caption().empty() || (show_accel_char_ && Caption() == "&");
  const std::string text = blank ? Caption() + " " : Caption();
  TRect rect = ClientRect();
  measure.DrawText(text, rect, TextFlags() | DT_CALCRECT);
  new_width = rect.Right;
  new_height = rect.Bottom;
  return true;
}

void TLabel::Paint(TCanvas& canvas) {
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  TRect rect = ClientRect();
  if (!EffectivelyEnabled()) {
    // Embossed, as disabled text has always looked.
    const TColor color = canvas.Font().Color();
    TRect shifted = rect.Offset(1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(Caption(), shifted, TextFlags());
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(Caption(), rect, TextFlags());
    canvas.Font().SetColor(color);
    return;
  }
  canvas.DrawText(Caption(), rect, TextFlags());
}

}  // namespace orlit
