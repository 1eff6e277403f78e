#include "framework/ClickCount.h"

#include <cstdlib>

#include "platform/WindowSystem.h"

namespace orlit {

int ClickCount::Press(const WindowSystem* desktop, TShiftState shift, int x, int y) {
  const std::uint64_t now = desktop != nullptr ? desktop->TickCount() : 0;
  const bool triple = after_double_click_ && desktop != nullptr &&
                      now - double_click_ms_ < desktop->DoubleClickTime() &&
                      std::abs(x - double_click_pos_.X) <= kTripleClickDistance &&
                      std::abs(y - double_click_pos_.Y) <= kTripleClickDistance;
  after_double_click_ = false;
  if (shift & ssDouble) {
    after_double_click_ = true;
    double_click_ms_ = now;
    double_click_pos_ = {x, y};
    return 2;
  }
  return triple ? 3 : 1;
}

}  // namespace orlit
