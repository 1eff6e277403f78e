#pragma once

#include "framework/Alignment.h"
#include "framework/GraphicControl.h"

namespace orlit {

// One or more lines of text in the control's font. An automatically sized label (the default)
// is as wide and high as its text; with WordWrap it keeps its width and its height follows. An
// "&" underlines the next character unless ShowAccelChar is off ("&&" is a plain "&").
class TLabel : public TGraphicControl {
 public:
  TLabel();

  // A transparent label leaves its background unpainted.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool word_wrap);
  bool ShowAccelChar() const { return show_accel_char_; }
  void SetShowAccelChar(bool show);

 protected:
  void Paint(TCanvas& canvas) override;
  bool CanAutoSize(int& new_width, int& new_height) override;

 private:
  unsigned TextFlags() const;

  bool transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool word_wrap_ = false;
  bool show_accel_char_ = true;
};

}  // namespace orlit
