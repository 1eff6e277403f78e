#pragma once

#include <memory>

#include "framework/Object.h"
#include "framework/Timer.h"
#include "platform/Geometry.h"

namespace orlit {

class TcxContainer;
class TControl;

// What the mouse-leave tracker watches: a control, and whether a screen point still counts as
// over it.
class MouseTrackingCaller {
 public:
  virtual TControl* TrackedControl() const = 0;
  // Inside the object's own hot area, beyond the tracked rectangle.
  virtual bool PtInCaller(TPoint screen) const = 0;
  // The framework's mouse-leave message (0xB014) for the tracked control.
  virtual void MouseLeave() = 0;

 protected:
  ~MouseTrackingCaller() = default;
};

// Polls the cursor every 10 ms while a control is hot. When the cursor is outside the tracked
// rectangle and the caller's hot area, the control (if it still has a window and the cursor is
// outside its client rectangle) gets the mouse-leave message; then the timer is stopped,
// unregistered and freed.
class TMouseTrackingTimer : public TTimer {
 public:
  static constexpr std::uint32_t kIntervalMs = 10;

  TMouseTrackingTimer(MouseTrackingCaller* caller, const TRect& screen_rect);
  MouseTrackingCaller* Caller() const { return caller_; }

 protected:
  void Timer() override;

 private:
  MouseTrackingCaller* caller_;
  TRect screen_rect_;
};

// Starts tracking `caller` over `screen_rect` unless it is tracked already; needs the
// application's timers.
void BeginMouseTracking(MouseTrackingCaller* caller, const TRect& screen_rect);
// Stops and frees its timer, if any.
void EndMouseTracking(MouseTrackingCaller* caller);
bool IsMouseTracking(const MouseTrackingCaller* caller);
int MouseTrackingCount();

// Connects a container to the tracker.
class TcxContainerMouseTrackingHelper : public TObject, public MouseTrackingCaller {
 public:
  explicit TcxContainerMouseTrackingHelper(TcxContainer* container) : container_(container) {}
  ~TcxContainerMouseTrackingHelper() override { EndMouseTracking(this); }

  TControl* TrackedControl() const override;
  bool PtInCaller(TPoint screen) const override;
  void MouseLeave() override;

 private:
  TcxContainer* container_;
};

}  // namespace orlit
