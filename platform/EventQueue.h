#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>

#include "platform/Geometry.h"
#include "platform/WindowSystem.h"

namespace orlit {

// What every backend does alike with the events it has translated, so that the program cannot
// tell the backends apart: the queue, timers firing into it, presses counted into double clicks,
// and dropping the events of windows that are gone and the input of disabled ones. The backend
// owns the clock and passes the time in.
class EventQueue {
 public:
  static constexpr std::uint32_t kDoubleClickTimeMs = 500;
  // How far apart, in window pixels, the presses of a double click may be in each direction.
  static constexpr int kDoubleClickDistance = 4;

  // Windows whose events are delivered. Events still queued for a window that is removed are
  // dropped when they come up.
  void AddWindow(WindowId window);
  void RemoveWindow(WindowId window);
  // A disabled window's input (IsInputEvent) is dropped when it comes up, so input queued before
  // the window was disabled is lost too: this is what makes a message box modal.
  void SetEnabled(WindowId window, bool enabled);
  bool Enabled(WindowId window) const;

  void Push(Event event, std::uint64_t now);
  // An event that names only its type and window.
  void PushWindowEvent(EventType type, WindowId window, std::uint64_t now);
  void PushQuit(int exit_code, std::uint64_t now);
  // The next event to deliver, if any.
  bool Take(Event* event);
  bool Empty() const { return queue_.empty(); }
  // Whether a quit, or a request to close a window, waits in the queue: what ends a wait on
  // another program.
  bool QuitOrCloseQueued() const;
  std::size_t Size() const { return queue_.size(); }

  // A repeating timer first due `interval_ms` (0 taken as 1) after `now`.
  TimerId SetTimer(std::uint32_t interval_ms, std::uint64_t now);
  void KillTimer(TimerId timer);
  // Queues a firing of each timer due by `now`. A timer whose firing still waits in the queue
  // queues no other, and one that fell behind starts afresh instead of firing to catch up, so a
  // slow handler makes a timer lag instead of piling up firings.
  void FireDueTimers(std::uint64_t now);
  // When the next timer falls due; none without timers.
  std::optional<std::uint64_t> NextTimerDue() const;

  // Blocks until one of `fds` has something to read or the next timer is due (`now` on the
  // timers' clock). Negative descriptors are ignored; a signal ends the wait early.
  void WaitForInput(std::span<const int> fds, std::uint64_t now) const;

  // Counts a press of `button` at `screen` (window pixels) at `time_ms`; true when it makes a
  // double click: the second, fourth... press of one button, each within the double-click time
  // and distance of the one before.
  bool CountPress(MouseButton button, TPoint screen, std::uint64_t time_ms);

 private:
  struct Timer {
    std::uint32_t interval_ms = 1;
    std::uint64_t due_ms = 0;
    bool firing_queued = false;
  };
  struct ClickRun {
    MouseButton button = MouseButton::kLeft;
    std::uint64_t time_ms = 0;
    TPoint position;
    int count = 0;
  };

  std::deque<Event> queue_;
  std::map<WindowId, bool> windows_;  // enabled
  std::map<TimerId, Timer> timers_;
  TimerId next_timer_ = 1;
  ClickRun clicks_;
};

}  // namespace orlit
