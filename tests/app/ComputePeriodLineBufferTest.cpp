// The log lines are built in a buffer kept per thread; a sink that runs a calculation of its own
// while holding a line must still see that line as it was handed over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PeriodCalculation.h"
#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

const std::vector<std::string> kDefaultLog = {"65 / 24.5 = 2.6530612244898",
                                              "2 luni si 16 zile ",
                                              "==================",
                                              "31.10.83 - ",
                                              "16.2 = ",
                                              "15.08.83",
                                              "____________________________"};

class ComputePeriodLineBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFpu();
    DecimalSep = '.';
    SetCurrentYearSource([] { return 2026; });
  }
  void TearDown() override {
    SetCalculationLog(nullptr);
    SetCurrentYearSource(nullptr);
    DateSep = '/';
    ShortDatePattern = "m/d/yy";
  }
};

TEST_F(ComputePeriodLineBufferTest, NestedRunLeavesTheHandedLineIntact) {
  std::vector<std::string> outer;
  std::vector<std::string> inner;
  std::string inner_result;
  bool nested = false;
  SetCalculationLog([&](const std::string& line) {
    if (nested) {
      inner.push_back(line);
      return;
    }
    const std::string before = line;
    if (outer.empty()) {
      nested = true;
      ComputePeriod("15.03.24", "1", "21.75", inner_result);
      nested = false;
    }
    EXPECT_EQ(line, before);
    outer.push_back(line);
  });
  std::string result;
  ComputePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(result, "15.08.83");
  EXPECT_EQ(outer, kDefaultLog);
  ASSERT_EQ(inner.size(), 7u);
  EXPECT_EQ(inner[0], "1 / 21.75 = 0.0459770114942529");
  EXPECT_EQ(inner_result, "13.03.24");
}

// A run that fails half-way gives the buffer back: the next run starts from an empty line.
TEST_F(ComputePeriodLineBufferTest, FailedRunDoesNotLeakIntoTheNextOne) {
  std::vector<std::string> log;
  SetCalculationLog([&](const std::string& line) { log.push_back(line); });
  std::string result;
  EXPECT_THROW(ComputePeriod("32.10.83", "65", "24.5", result), EConvertError);
  log.clear();
  ComputePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(log, kDefaultLog);
}

}  // namespace
}  // namespace orlit
