#pragma once

#include <memory>
#include <string>
#include <vector>

namespace orlit {

struct LaunchRequest {
  std::string program;            // found through PATH
  std::vector<std::string> args;  // argv[1..], never interpreted by a shell
  std::string directory;          // empty: the caller's working directory
  // The caller's show command (SW_SHOWMINIMIZED...); only a hint on Linux, where the opener and
  // the browser it picks choose their own window state, so it is passed along for recorders.
  int show_command = 0;
  friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

// Starts programs for the application. The process-wide instance is replaceable, so tests record
// launches instead of starting browsers and the terminal mode starts nothing.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // True when the program was started. Never blocks on the child and never throws.
  virtual bool Launch(const LaunchRequest& request) = 0;
};

// posix_spawn without a shell: standard input, output and error on /dev/null, the child reaped by
// a detached waiter so it never lingers as a zombie.
class SpawnProcessLauncher final : public ProcessLauncher {
 public:
  bool Launch(const LaunchRequest& request) override;
};

// Keeps every request and starts nothing.
class RecordingProcessLauncher final : public ProcessLauncher {
 public:
  bool Launch(const LaunchRequest& request) override {
    requests.push_back(request);
    return true;
  }
  std::vector<LaunchRequest> requests;
};

ProcessLauncher& CurrentProcessLauncher();
// Installs `launcher` and returns the previous one (nullptr restores the spawning launcher).
std::unique_ptr<ProcessLauncher> SetProcessLauncher(std::unique_ptr<ProcessLauncher> launcher);

}  // namespace orlit
