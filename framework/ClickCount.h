#pragma once

#include <cstdint>

#include "framework/Control.h"

namespace orlit {

class WindowSystem;

// Counts the presses of the left button in an edit: the desktop marks the second press of a
// double click, and a press soon after a double click, close to it, is a triple click.
class ClickCount {
 public:
  static constexpr int kTripleClickDistance = 4;

  // 1, 2 or 3 for the press at (x, y); without a desktop there is no triple click.
  int Press(const WindowSystem* desktop, TShiftState shift, int x, int y);

 private:
  bool after_double_click_ = false;
  std::uint64_t double_click_ms_ = 0;
  TPoint double_click_pos_;
};

}  // namespace orlit
