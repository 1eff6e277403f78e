#include "framework/CaretBlink.h"

namespace orlit {

void CaretBlink::Start() {
  on_ = true;
  if (timer_ == nullptr) {
    timer_ = MakeComponent<TTimer>();
    timer_->OnTimer = [this](TObject*) {
      on_ = !on_;
      toggled_();
    };
  }
  // Restarted, so that the caret stays on for a whole phase after each move.
  timer_->SetEnabled(false);
  timer_->SetInterval(kIntervalMs);
  timer_->SetEnabled(true);
}

void CaretBlink::Stop() {
  timer_.reset();
  on_ = true;
}

}  // namespace orlit
