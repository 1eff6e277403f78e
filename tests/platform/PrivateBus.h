#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace orlit {

// A private session bus for the test, ended with it.
class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    char line[512] = {};
    FILE* reader = fdopen(out[0], "r");
    if (reader != nullptr && std::fgets(line, sizeof line, reader) != nullptr) {
      address_ = line;
      while (!address_.empty() && address_.back() == '\n') address_.pop_back();
    }
    if (reader != nullptr) std::fclose(reader);
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace orlit
