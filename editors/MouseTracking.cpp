#include "editors/MouseTracking.h"

#include <algorithm>
#include <vector>

#include "editors/Container.h"
#include "framework/Application.h"
#include "framework/Form.h"

namespace orlit {

namespace {

std::vector<std::unique_ptr<TMouseTrackingTimer>>& Timers() {
  static auto& timers = *new std::vector<std::unique_ptr<TMouseTrackingTimer>>;
  return timers;
}

auto FindTimer(const MouseTrackingCaller* caller) {
  auto& timers = Timers();
  return std::find_if(timers.begin(), timers.end(),
                      [caller](const auto& timer) { return timer->Caller() == caller; });
}

}  // namespace

TMouseTrackingTimer::TMouseTrackingTimer(MouseTrackingCaller* caller, const TRect& screen_rect)
    : caller_(caller), screen_rect_(screen_rect) {
  SetInterval(kIntervalMs);
}

void TMouseTrackingTimer::Timer() {
  if (Application == nullptr) return;
  const TPoint cursor = Application->CursorPos();
  if (screen_rect_.Contains(cursor) || caller_->PtInCaller(cursor)) return;
  MouseTrackingCaller* caller = caller_;
  auto found = FindTimer(caller);
  if (found == Timers().end()) return;
  // This timer is freed when `self` goes at the end of this function; nothing below touches it.
  std::unique_ptr<TMouseTrackingTimer> self = std::move(*found);
  Timers().erase(found);
  self->SetEnabled(false);

  TControl* control = caller->TrackedControl();
  const TCustomForm* form = GetParentForm(control);
  // A control no longer on the screen has been left too, or its next entry would go unseen.
  if (form == nullptr || form->Window() == nullptr || !control->Showing()) {
    caller->MouseLeave();
    return;
  }
  const TRect client = TRect::FromBounds(control->ClientOrigin().X, control->ClientOrigin().Y,
                                         control->ClientWidth(), control->ClientHeight());
  if (!client.Contains(cursor)) caller->MouseLeave();
}

void BeginMouseTracking(MouseTrackingCaller* caller, const TRect& screen_rect) {
  if (Application == nullptr || IsMouseTracking(caller)) return;
  auto timer = std::make_unique<TMouseTrackingTimer>(caller, screen_rect);
  timer->AfterConstruction();
  Timers().push_back(std::move(timer));
}

void EndMouseTracking(MouseTrackingCaller* caller) {
  auto found = FindTimer(caller);
  if (found == Timers().end()) return;
  std::unique_ptr<TMouseTrackingTimer> timer = std::move(*found);
  Timers().erase(found);
}

bool IsMouseTracking(const MouseTrackingCaller* caller) {
  return FindTimer(caller) != Timers().end();
}

int MouseTrackingCount() { return static_cast<int>(Timers().size()); }

TControl* TcxContainerMouseTrackingHelper::TrackedControl() const { return container_; }

bool TcxContainerMouseTrackingHelper::PtInCaller(TPoint screen) const {
  return container_->HotArea().Contains(container_->ScreenToClient(screen));
}

void TcxContainerMouseTrackingHelper::MouseLeave() { container_->MouseTrackingLeave(); }

}  // namespace orlit
