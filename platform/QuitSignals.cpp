#include "platform/QuitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace orlit {

namespace {

constexpr int kSignals[2] = {SIGINT, SIGTERM};

// A handler may do no more than write to the pipe.
int pipe_write_end = -1;

void WriteQuitByte(int) {
  const int saved_errno = errno;
  const char byte = 'q';
  [[maybe_unused]] const ssize_t written = write(pipe_write_end, &byte, 1);
  errno = saved_errno;
}

// The pipe's read end, made on first use and never closed: a signal may come at any moment
// until the process ends.
int PipeReadEnd() {
  static const int read_end = [] {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    pipe_write_end = ends[1];
    return ends[0];
  }();
  return read_end;
}

}  // namespace

QuitSignals::QuitSignals() {
  if (PipeReadEnd() < 0) return;
  for (int i = 0; i < 2; ++i) {
    struct sigaction current {};
    sigaction(kSignals[i], nullptr, &current);
    // A signal somebody else handles or ignores stays theirs.
    if (current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = WriteQuitByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    claimed_[i] = sigaction(kSignals[i], &action, &previous_[i]) == 0;
  }
}

QuitSignals::~QuitSignals() {
  for (int i = 0; i < 2; ++i) {
    if (claimed_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
  }
}

int QuitSignals::FileDescriptor() const { return PipeReadEnd(); }

bool QuitSignals::Take() {
  const int fd = PipeReadEnd();
  if (fd < 0) return false;
  char bytes[16];
  bool taken = false;
  while (read(fd, bytes, sizeof bytes) > 0) taken = true;
  return taken;
}

}  // namespace orlit
