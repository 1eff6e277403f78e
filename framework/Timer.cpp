#include "framework/Timer.h"

#include "framework/Application.h"

namespace orlit {

TTimer::TTimer() { UpdateTimer(); }

TTimer::~TTimer() { Stop(); }

void TTimer::SetInterval(std::uint32_t interval_ms) {
  if (interval_ms == interval_) return;
  interval_ = interval_ms;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  Stop();
  if (!enabled_ || interval_ == 0 || Application == nullptr) return;
  id_ = Application->Desktop().SetTimer(interval_);
  Application->RegisterTimer(id_, this);
}

void TTimer::Stop() {
  if (id_ == 0) return;
  if (Application != nullptr) {
    Application->Desktop().KillTimer(id_);
    Application->UnregisterTimer(id_);
  }
  id_ = 0;
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

}  // namespace orlit
