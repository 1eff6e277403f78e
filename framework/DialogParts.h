#pragma once

#include <string>

#include "framework/Canvas.h"
#include "framework/CustomControl.h"

// The parts our own dialogs are drawn with.
namespace orlit {

// A push button of our own dialogs: a raised edge, a dark frame and a dotted focus frame while
// focused. It carries the answer its dialog gives when it is pressed; OnClick says so.
class TDialogButton : public TCustomControl {
 public:
  explicit TDialogButton(int result);
  int Result() const { return result_; }

 protected:
  void FocusChanged() override { Invalidate(); }
  void PaintBackground(TCanvas& /*canvas*/) override {}
  void Paint(TCanvas& canvas) override;

 private:
  int result_;
};

// The dialog's frame and its title strip, kDialogTitleHeight high, with the caption in bold.
inline constexpr int kDialogTitleHeight = 20;
void PaintDialogChrome(TCanvas& canvas, const TRect& client, const TFont& font,
                       const std::string& caption);

// The desktop's dotted focus frame: every other pixel along the rectangle's edge.
void DrawFocusRect(TCanvas& canvas, const TRect& rect);

}  // namespace orlit
