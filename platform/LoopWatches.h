#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace orlit {

// File descriptors and deadlines that the window system's loop waits on beside its own
// connection, for libraries that bring their own sockets and timeouts (the bus library). There is
// one per process, as there is one loop: the window systems' PollEvent and WaitEvent run the
// callbacks of whatever is ready from inside their own wait, so nothing needs a thread of its own.
// The real desktop waits on the descriptors; the headless one looks at them without waiting, and
// deadlines follow its virtual clock (deadlines are on the running window system's TickCount).
//
// Callbacks must not start a nested event loop (a modal box): they run in the middle of the
// window system's wait. Work that may do so is handed to the framework's loop instead. A
// callback may add and remove watches, its own included.
class LoopWatches {
 public:
  static LoopWatches& Instance();

  using WatchId = std::uint32_t;  // 0 names none
  using ReadyCallback = std::function<void(short revents)>;
  using DueCallback = std::function<void()>;

  // Calls `on_ready` with poll's revents whenever `fd` is ready for `events` (POLLIN, POLLOUT);
  // errors and hang-ups are reported whatever the events. Events 0 pauses the watch.
  WatchId WatchFd(int fd, short events, ReadyCallback on_ready);
  void SetEvents(WatchId watch, short events);
  // Calls `on_due` once when the clock reaches `due_ms` (on the window system's TickCount clock).
  WatchId CallAt(std::uint64_t due_ms, DueCallback on_due);
  // Removing an unknown or already fired watch does nothing.
  void Remove(WatchId watch);

  // For the loop. Appends the descriptors to wait on to `fds` and answers the watch of each, in
  // the same order, for Run.
  std::vector<WatchId> AppendPollFds(std::vector<pollfd>* fds) const;
  // -1 when no deadline is set, else how long the wait may last (0 when one is already due).
  int MillisecondsToDeadline(std::uint64_t now_ms) const;
  // Runs the callbacks of the descriptors poll marked ready (`fds` starting with the first one
  // AppendPollFds added, `watches` as it answered) and of the deadlines that have come; true when
  // any ran.
  bool Run(const pollfd* fds, const std::vector<WatchId>& watches, std::uint64_t now_ms);
  bool Empty() const { return fds_.empty() && deadlines_.empty(); }

 private:
  struct FdWatch {
    int fd = -1;
    short events = 0;
    ReadyCallback on_ready;
  };
  struct Deadline {
    std::uint64_t due_ms = 0;
    DueCallback on_due;
  };

  std::map<WatchId, FdWatch> fds_;
  std::map<WatchId, Deadline> deadlines_;
  WatchId next_ = 1;
};

}  // namespace orlit
