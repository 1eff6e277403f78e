#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/FmxUtils.h"
#include "app/PeriodCalculation.h"
#include "platform/ProcessLauncher.h"

namespace orlit {
namespace {

class RecordedLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<RecordingProcessLauncher>();
    launches_ = recorder.get();
    previous_ = SetProcessLauncher(std::move(recorder));
  }
  void TearDown() override { SetProcessLauncher(std::move(previous_)); }
  RecordingProcessLauncher* launches_ = nullptr;

 private:
  std::unique_ptr<ProcessLauncher> previous_;
};

struct ParamsCase {
  const char* params;
  std::vector<std::string> args;
};

TEST_F(RecordedLaunchTest, ParametersSplitOnBlanksWithoutAShell) {
  const ParamsCase cases[] = {
      {" https://a.example", {"https://a.example"}},
      {"", {}},
      {"   ", {}},
      {"a  b c ", {"a", "b", "c"}},
      {"$(rm -rf /) ; `x` | y", {"$(rm", "-rf", "/)", ";", "`x`", "|", "y"}},
  };
  for (const ParamsCase& c : cases) {
    launches_->requests.clear();
    EXPECT_GT(LaunchFile("prog", c.params, "", SW_SHOWMINIMIZED), 32);
    ASSERT_EQ(launches_->requests.size(), 1u);
    EXPECT_EQ(launches_->requests[0].args, c.args) << c.params;
  }
}

TEST_F(RecordedLaunchTest, TextsAreCutAt79BytesOnACharacterBoundary) {
  const std::string long_text(200, 'a');
  LaunchFile(long_text, long_text, "", SW_SHOWMAXIMIZED);
  // 78 ASCII bytes and then a two-byte letter that would straddle the limit.
  LaunchFile(std::string(78, 'b') + "\xC8\x99" + "tail", "", "", SW_SHOWMAXIMIZED);
  ASSERT_EQ(launches_->requests.size(), 2u);
  EXPECT_EQ(launches_->requests[0].program, std::string(79, 'a'));
  EXPECT_EQ(launches_->requests[0].args, std::vector<std::string>{std::string(79, 'a')});
  EXPECT_EQ(launches_->requests[1].program, std::string(78, 'b'));
}

TEST_F(RecordedLaunchTest, EmbeddedZeroEndsTheText) {
  LaunchFile(std::string("prog\0evil", 9), "", "", SW_SHOWMAXIMIZED);
  ASSERT_EQ(launches_->requests.size(), 1u);
  EXPECT_EQ(launches_->requests[0].program, "prog");
}

// Puts a fake opener first on PATH that appends its arguments and what it inherited of the
// desktop's activation variables to a file, and checks that the real launcher starts it twice
// and reaps both children.
class SpawnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("orlit-launch-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    record_ = dir_ / "calls.txt";
    const auto script = dir_ / kBrowserProgram;
    std::ofstream(script) << "#!/bin/sh\nprintf '%s|%s|%s|%s|%s\\n' \"$#\" \"$*\" "
                             "\"${DESKTOP_STARTUP_ID-unset}\" \"${XDG_ACTIVATION_TOKEN-unset}\" "
                             "\"${ORLIT_PASSED-unset}\" >> '"
                          << record_.string() << "'\necho noise\necho noise >&2\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", (dir_.string() + ":" + saved_path_).c_str(), 1);
    // As the desktop starts the calculator: the opener must not take these over.
    setenv("DESKTOP_STARTUP_ID", "orlit_cfs-1-host_TIME42", 1);
    setenv("XDG_ACTIVATION_TOKEN", "token42", 1);
    setenv("ORLIT_PASSED", "passed", 1);
    previous_ = SetProcessLauncher(std::make_unique<SpawnProcessLauncher>());
  }
  void TearDown() override {
    SetProcessLauncher(std::move(previous_));
    setenv("PATH", saved_path_.c_str(), 1);
    for (const char* name : {"DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN", "ORLIT_PASSED"}) {
      unsetenv(name);
    }
    std::filesystem::remove_all(dir_);
  }

  std::string ReadRecord() {
    std::ifstream in(record_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static int ZombieChildren() {
    int zombies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      std::ifstream stat(entry.path() / "stat");
      std::string line;
      if (!std::getline(stat, line)) continue;
      // pid (comm) state ppid ...: comm may hold blanks, so read after the last ')'.
      std::istringstream rest(line.substr(line.rfind(')') + 2));
      char state = 0;
      int ppid = 0;
      rest >> state >> ppid;
      if (ppid == getpid() && state == 'Z') ++zombies;
    }
    return zombies;
  }

  std::filesystem::path dir_;
  std::filesystem::path record_;
  std::string saved_path_;
  std::unique_ptr<ProcessLauncher> previous_;
};

TEST_F(SpawnTest, StartsTheOpenerTwiceAndLeavesNoZombie) {
  OpenPromotionSites(true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string record;
  while ((record = ReadRecord()).size() < 2 || std::count(record.begin(), record.end(), '\n') < 2) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "opener not started: " << record;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Both calls carry one argument each and the rest of the environment, without the desktop's
  // activation variables; the order of two separate processes writing is not guaranteed, so
  // compare as a set.
  const std::string first = std::string("1|") + kFirstPromotionSite + "|unset|unset|passed\n";
  const std::string second = std::string("1|") + kSecondPromotionSite + "|unset|unset|passed\n";
  EXPECT_TRUE(record == first + second || record == second + first) << record;

  while (ZombieChildren() > 0) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "a child was not reaped";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST_F(SpawnTest, MissingProgramReportsFileNotFound) {
  EXPECT_EQ(LaunchFile("orlit-no-such-program", " x", "", SW_SHOWMINIMIZED), 2);
}

}  // namespace
}  // namespace orlit
