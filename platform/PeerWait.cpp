#include "platform/PeerWait.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace orlit {

PeerWaitResult PollForPeer(int fd, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd ready{fd, POLLIN, 0};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int result = poll(&ready, 1, left > 0 ? static_cast<int>(left) : 0);
    if (result > 0) return PeerWaitResult::kReady;
    if (result == 0) return PeerWaitResult::kTimedOut;
    if (errno != EINTR) return PeerWaitResult::kReady;  // the read that follows says what is wrong
  }
}

}  // namespace orlit
