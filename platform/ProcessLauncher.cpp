#include "platform/ProcessLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace orlit {

namespace {

std::unique_ptr<ProcessLauncher>& LauncherSlot() {
  static auto& launcher =
      *new std::unique_ptr<ProcessLauncher>(std::make_unique<SpawnProcessLauncher>());
  return launcher;
}

class SpawnFileActions {
 public:
  SpawnFileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
  ~SpawnFileActions() {
    if (ok_) posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnFileActions(const SpawnFileActions&) = delete;
  SpawnFileActions& operator=(const SpawnFileActions&) = delete;

  bool RedirectToDevNull(int fd) {
    return ok_ && posix_spawn_file_actions_addopen(
                      &actions_, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0) == 0;
  }
  bool ChangeDirectory(const std::string& directory) {
    return ok_ && posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()) == 0;
  }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

// What the desktop gave us to activate our own window (a start-up notification id, an
// activation token) is ours: a browser that inherits it may use it to take the keyboard from the
// calculator.
std::vector<char*> ChildEnvironment() {
  std::vector<char*> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (text.starts_with("DESKTOP_STARTUP_ID=") || text.starts_with("XDG_ACTIVATION_TOKEN=")) {
      continue;
    }
    environment.push_back(*entry);
  }
  environment.push_back(nullptr);
  return environment;
}

}  // namespace

bool SpawnProcessLauncher::Launch(const LaunchRequest& request) {
  if (request.program.empty()) return false;
  SpawnFileActions actions;
  if (!actions.RedirectToDevNull(STDIN_FILENO) || !actions.RedirectToDevNull(STDOUT_FILENO) ||
      !actions.RedirectToDevNull(STDERR_FILENO)) {
    return false;
  }
  if (!request.directory.empty() && !actions.ChangeDirectory(request.directory)) return false;

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(request.program.c_str()));
  for (const std::string& arg : request.args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  std::vector<char*> environment = ChildEnvironment();
  pid_t pid = 0;
  if (posix_spawnp(&pid, request.program.c_str(), actions.get(), nullptr, argv.data(),
                   environment.data()) != 0) {
    return false;
  }
  // The browser may run for hours; a waiter thread collects its exit status whenever it comes.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

ProcessLauncher& CurrentProcessLauncher() { return *LauncherSlot(); }

std::unique_ptr<ProcessLauncher> SetProcessLauncher(std::unique_ptr<ProcessLauncher> launcher) {
  if (!launcher) launcher = std::make_unique<SpawnProcessLauncher>();
  LauncherSlot().swap(launcher);
  return launcher;
}

}  // namespace orlit
