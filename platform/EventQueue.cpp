#include "platform/EventQueue.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/LoopWatches.h"

namespace orlit {

void EventQueue::AddWindow(WindowId window) { windows_[window] = true; }

void EventQueue::RemoveWindow(WindowId window) { windows_.erase(window); }

void EventQueue::SetEnabled(WindowId window, bool enabled) {
  if (auto it = windows_.find(window); it != windows_.end()) it->second = enabled;
}

bool EventQueue::Enabled(WindowId window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second;
}

void EventQueue::Push(Event event, std::uint64_t now) {
  event.time_ms = now;
  queue_.push_back(event);
}

void EventQueue::PushWindowEvent(EventType type, WindowId window, std::uint64_t now) {
  Event event;
  event.type = type;
  event.window = window;
  Push(event, now);
}

void EventQueue::PushQuit(int exit_code, std::uint64_t now) {
  Event event;
  event.type = EventType::kQuit;
  event.exit_code = exit_code;
  Push(event, now);
}

bool EventQueue::QuitOrCloseQueued() const {
  return std::any_of(queue_.begin(), queue_.end(), [](const Event& e) {
    return e.type == EventType::kQuit || e.type == EventType::kCloseRequest;
  });
}

bool EventQueue::Take(Event* event) {
  while (!queue_.empty()) {
    const Event next = queue_.front();
    queue_.pop_front();
    if (next.type == EventType::kTimer) {
      auto timer = timers_.find(next.timer);
      if (timer == timers_.end()) continue;
      timer->second.firing_queued = false;
    }
    if (next.window != 0) {
      auto window = windows_.find(next.window);
      if (window == windows_.end()) continue;
      if (!window->second && IsInputEvent(next.type)) continue;
    }
    *event = next;
    return true;
  }
  return false;
}

TimerId EventQueue::SetTimer(std::uint32_t interval_ms, std::uint64_t now) {
  const TimerId id = next_timer_++;
  Timer& timer = timers_[id];
  timer.interval_ms = std::max<std::uint32_t>(interval_ms, 1);
  timer.due_ms = now + timer.interval_ms;
  return id;
}

void EventQueue::KillTimer(TimerId timer) { timers_.erase(timer); }

void EventQueue::FireDueTimers(std::uint64_t now) {
  for (auto& [id, timer] : timers_) {
    if (timer.due_ms > now) continue;
    timer.due_ms = std::max(timer.due_ms + timer.interval_ms, now + 1);
    if (timer.firing_queued) continue;
    timer.firing_queued = true;
    Event event;
    event.type = EventType::kTimer;
    event.timer = id;
    Push(event, now);
  }
}

std::optional<std::uint64_t> EventQueue::NextTimerDue() const {
  std::optional<std::uint64_t> next;
  for (const auto& [id, timer] : timers_) {
    if (!next || timer.due_ms < *next) next = timer.due_ms;
  }
  return next;
}

// The descriptors and deadlines of LoopWatches are waited on too, and those ready are run.
void EventQueue::WaitForInput(std::span<const int> fds, std::uint64_t now) const {
  std::vector<pollfd> watched;
  for (const int fd : fds) watched.push_back({fd, POLLIN, 0});
  const std::size_t own = watched.size();
  LoopWatches& watches = LoopWatches::Instance();
  const std::vector<LoopWatches::WatchId> others = watches.AppendPollFds(&watched);
  int timeout_ms = watches.MillisecondsToDeadline(now);
  if (const auto due = NextTimerDue()) {
    const int timer_ms =
        *due <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(*due - now, INT_MAX));
    if (timeout_ms < 0 || timer_ms < timeout_ms) timeout_ms = timer_ms;
  }
  if (poll(watched.data(), watched.size(), timeout_ms) < 0) {
    if (errno != EINTR) throw EWindowSystemError("Cannot wait for events");
    return;
  }
  // A deadline reached during the wait runs on the next one, which then does not wait.
  watches.Run(watched.data() + own, others, now);
}

bool EventQueue::CountPress(MouseButton button, TPoint screen, std::uint64_t time_ms) {
  // The difference in 32 bits: the X server's timestamps wrap around every 49 days.
  const auto elapsed = static_cast<std::uint32_t>(time_ms - clicks_.time_ms);
  const bool in_run = clicks_.count > 0 && clicks_.button == button &&
                      elapsed <= kDoubleClickTimeMs &&
                      std::abs(screen.X - clicks_.position.X) <= kDoubleClickDistance &&
                      std::abs(screen.Y - clicks_.position.Y) <= kDoubleClickDistance;
  clicks_ = {button, time_ms, screen, in_run ? clicks_.count + 1 : 1};
  return clicks_.count % 2 == 0;
}

}  // namespace orlit
