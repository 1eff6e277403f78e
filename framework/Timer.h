#pragma once

#include <cstdint>

#include "framework/Component.h"
#include "platform/WindowSystem.h"

namespace orlit {

// Fires OnTimer every Interval milliseconds while Enabled, from the application's loop.
class TTimer : public TComponent {
 public:
  TTimer();
  ~TTimer() override;

  std::uint32_t Interval() const { return interval_; }
  // 0 stops the timer.
  void SetInterval(std::uint32_t interval_ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Running on the window system now.
  bool Active() const { return id_ != 0; }

  TNotifyEvent OnTimer;

 protected:
  friend class TApplication;
  virtual void Timer();

 private:
  void UpdateTimer();
  void Stop();

  std::uint32_t interval_ = 1000;
  bool enabled_ = true;
  TimerId id_ = 0;
};

}  // namespace orlit
