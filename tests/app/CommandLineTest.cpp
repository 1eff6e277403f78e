#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/CommandLine.h"
#include "convert/DateConversion.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

using Mode = CommandLine::Mode;

TEST(ParseCommandLineTest, Modes) {
  struct Case {
    std::vector<std::string> args;
    Mode mode;
  };
  const Case cases[] = {
      {{}, Mode::kWindow},
      {{"--calc", "31.10.83", "65", "24.5"}, Mode::kCalc},
      {{"--calc", "31.10.83", "-1", "-24.5"}, Mode::kCalc},
      {{"--calc", "", "", ""}, Mode::kCalc},
      {{"--calc", "--help", "--version", "--calc"}, Mode::kCalc},
      {{"--calc", "31.10.83", "65"}, Mode::kUsageError},
      {{"--calc", "a", "b", "c", "d"}, Mode::kUsageError},
      {{"--batch", "rows.csv"}, Mode::kBatch},
      {{"--batch"}, Mode::kUsageError},
      {{"--batch", "a.csv", "b.csv"}, Mode::kUsageError},
      {{"--help"}, Mode::kHelp},
      {{"--version"}, Mode::kVersion},
      {{"--bogus"}, Mode::kUsageError},
      {{"--help", "extra"}, Mode::kUsageError},
      {{"31.10.83"}, Mode::kUsageError},
      {{"--screenshot", "a.png"}, Mode::kScreenshot},
      {{"--dump-state", "s.json", "--screenshot", "a.png"}, Mode::kScreenshot},
      {{"--dump-state", "s.json"}, Mode::kWindow},
      {{"--screenshot"}, Mode::kUsageError},
      {{"--screenshot", ""}, Mode::kUsageError},
      {{"--screenshot", "a.png", "--screenshot", "b.png"}, Mode::kUsageError},
      {{"--dump-state", "s.json", "--calc", "1", "2", "3"}, Mode::kUsageError},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.args).mode, c.mode) << ::testing::PrintToString(c.args);
  }
  EXPECT_EQ(ParseCommandLine({"--calc", "", "-1", " x "}).calc_texts,
            (std::vector<std::string>{"", "-1", " x "}));
  const CommandLine both = ParseCommandLine({"--screenshot", "a.png", "--dump-state", "s.json"});
  EXPECT_EQ(both.screenshot_path, "a.png");
  EXPECT_EQ(both.dump_state_path, "s.json");
}

class TerminalCalculationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFpu();
    DecimalSep = '.';
    SetCurrentYearSource([] { return 2026; });
  }
  void TearDown() override { SetCurrentYearSource(nullptr); }

  int Run(const char* end, const char* leave, const char* work) {
    return RunCalculationInTerminal(end, leave, work, out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(TerminalCalculationTest, SuccessPrintsLinesThenResult) {
  EXPECT_EQ(Run("31.10.83", "65", "24.5"), 0);
  EXPECT_EQ(out_.str(),
            "65 / 24.5 = 2.6530612244898\n2 luni si 16 zile \n==================\n31.10.83 - \n"
            "16.2 = \n15.08.83\n____________________________\n15.08.83\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(TerminalCalculationTest, FailurePrintsLinesSoFarAndTheBoxText) {
  EXPECT_EQ(Run("32.10.83", "65", "24.5"), 1);
  EXPECT_EQ(out_.str(), "65 / 24.5 = 2.6530612244898\n2 luni si 16 zile \n==================\n");
  EXPECT_EQ(err_.str(), "EConvertError: '32.10.83' is not a valid date.\n");
}

TEST_F(TerminalCalculationTest, MessagesGetTheFinalPeriodRule) {
  struct Case {
    const char* leave;
    const char* work;
    const char* err;
    std::size_t lines;
  };
  const Case cases[] = {
      {"65", "0", "EZeroDivide: Floating point division by zero.\n", 0},
      {"65535", "0.01", "EConvertError: The adjusted end date is out of range.\n", 3},
  };
  for (const Case& c : cases) {
    out_.str("");
    err_.str("");
    EXPECT_EQ(Run("31.10.83", c.leave, c.work), 1) << c.err;
    EXPECT_EQ(err_.str(), c.err);
    const std::string out = out_.str();
    EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')), c.lines) << c.err;
  }
}

TEST_F(TerminalCalculationTest, AnOutputThatCannotBeWrittenIsNoSuccess) {
  out_.setstate(std::ios::badbit);
  EXPECT_EQ(Run("31.10.83", "65", "24.5"), 2);
  EXPECT_EQ(err_.str(), "orlit_cfs: the output cannot be written\n");
}

}  // namespace
}  // namespace orlit
