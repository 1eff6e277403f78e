#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/Program.h"
#include "convert/FpuEnvironment.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

namespace fs = std::filesystem;

TEST(ProgramTest, AScreenshotOrStateThatCannotBeWrittenEndsWithStatusTwo) {
  ResetFpu();
  const fs::path folder = fs::temp_directory_path() / ("orlit_program_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string good_png = (folder / "shot.png").string();
  const std::string good_json = (folder / "state.json").string();
  const std::string nowhere = (folder / "missing" / "file").string();
  const struct {
    std::string screenshot, state;
    int status;
  } cases[] = {{good_png, good_json, 0}, {nowhere, good_json, 2}, {good_png, nowhere, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screenshot + " " + c.state);
    fs::remove(good_png);
    fs::remove(good_json);
    // In a process of its own: the program starts process-wide objects that other tests start
    // again.
    const pid_t child = fork();
    if (child == 0) {
      HeadlessWindowSystem desktop;
      _exit(RunProgram(desktop, {"orlit_cfs", c.screenshot, c.state, {}}));
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    // What could be written still is.
    EXPECT_EQ(fs::exists(good_png), c.screenshot == good_png);
    EXPECT_EQ(fs::exists(good_json), c.state == good_json);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace orlit
