#include "platform/LoopWatches.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace orlit {

LoopWatches& LoopWatches::Instance() {
  static LoopWatches& watches = *new LoopWatches;
  return watches;
}

LoopWatches::WatchId LoopWatches::WatchFd(int fd, short events, ReadyCallback on_ready) {
  const WatchId id = next_++;
  fds_[id] = {fd, events, std::move(on_ready)};
  return id;
}

void LoopWatches::SetEvents(WatchId watch, short events) {
  if (auto it = fds_.find(watch); it != fds_.end()) it->second.events = events;
}

LoopWatches::WatchId LoopWatches::CallAt(std::uint64_t due_ms, DueCallback on_due) {
  const WatchId id = next_++;
  deadlines_[id] = {due_ms, std::move(on_due)};
  return id;
}

void LoopWatches::Remove(WatchId watch) {
  fds_.erase(watch);
  deadlines_.erase(watch);
}

std::vector<LoopWatches::WatchId> LoopWatches::AppendPollFds(std::vector<pollfd>* fds) const {
  std::vector<WatchId> watches;
  for (const auto& [id, watch] : fds_) {
    if (watch.events == 0 || watch.fd < 0) continue;
    fds->push_back({watch.fd, watch.events, 0});
    watches.push_back(id);
  }
  return watches;
}

int LoopWatches::MillisecondsToDeadline(std::uint64_t now_ms) const {
  if (deadlines_.empty()) return -1;
  std::uint64_t next = UINT64_MAX;
  for (const auto& [id, deadline] : deadlines_) next = std::min(next, deadline.due_ms);
  return next <= now_ms ? 0 : static_cast<int>(std::min<std::uint64_t>(next - now_ms, INT_MAX));
}

bool LoopWatches::Run(const pollfd* fds, const std::vector<WatchId>& watches,
                      std::uint64_t now_ms) {
  // Ids first, callbacks after: a callback may add or remove watches, and each is looked up
  // again before it runs.
  std::vector<std::pair<WatchId, short>> ready;
  for (std::size_t i = 0; i < watches.size(); ++i) {
    if (fds[i].revents != 0) ready.emplace_back(watches[i], fds[i].revents);
  }
  std::vector<WatchId> due;
  for (const auto& [id, deadline] : deadlines_) {
    if (deadline.due_ms <= now_ms) due.push_back(id);
  }
  bool ran = false;
  for (const auto& [id, revents] : ready) {
    auto it = fds_.find(id);
    if (it == fds_.end()) continue;
    const ReadyCallback callback = it->second.on_ready;  // the watch may go while it runs
    callback(revents);
    ran = true;
  }
  for (WatchId id : due) {
    auto it = deadlines_.find(id);
    if (it == deadlines_.end()) continue;
    const DueCallback callback = std::move(it->second.on_due);
    deadlines_.erase(it);
    callback();
    ran = true;
  }
  return ran;
}

}  // namespace orlit
