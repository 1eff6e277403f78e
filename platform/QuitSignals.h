#pragma once

#include <csignal>

namespace orlit {

// SIGINT and SIGTERM as a request to quit that the event loop can wait for: while an object
// lives, each of them that nobody else handles or ignores writes a byte to a pipe, and the
// loop polls the pipe beside its display connection. The signals' earlier handling comes back
// when the object goes.
class QuitSignals {
 public:
  QuitSignals();
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // To poll for reading; -1 when the pipe could not be made.
  int FileDescriptor() const;
  // Whether a signal came since the last call.
  bool Take();

 private:
  bool claimed_[2] = {};
  struct sigaction previous_[2] = {};
};

}  // namespace orlit
