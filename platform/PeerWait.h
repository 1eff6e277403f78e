#pragma once

#include <functional>

#include "platform/WindowSystem.h"

namespace orlit {

// How a wait on another program passes its time: WindowSystem::WaitForPeer when there is a
// window to keep, PollForPeer when there is none.
using PeerWaiter = std::function<PeerWaitResult(int fd, int timeout_ms)>;

// Waits for `fd` to have something to read, with nothing else to look after.
PeerWaitResult PollForPeer(int fd, int timeout_ms);

}  // namespace orlit
