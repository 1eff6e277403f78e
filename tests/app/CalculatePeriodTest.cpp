#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PeriodCalculation.h"
#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "platform/ProcessLauncher.h"

namespace orlit {
namespace {

// Runs calculations against a recorded log and launcher, with the settings of a point-decimal
// locale and the clock in 2026.
class CalculatePeriodTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFpu();
    saved_decimal_sep_ = DecimalSep;
    DecimalSep = '.';
    SetCurrentYearSource([] { return 2026; });
    SetCalculationLog([this](const std::string& line) { log_.push_back(line); });
    auto recorder = std::make_unique<RecordingProcessLauncher>();
    launches_ = recorder.get();
    previous_launcher_ = SetProcessLauncher(std::move(recorder));
  }
  void TearDown() override {
    SetProcessLauncher(std::move(previous_launcher_));
    SetCalculationLog(nullptr);
    SetCurrentYearSource(nullptr);
    DecimalSep = saved_decimal_sep_;
    DateSep = '/';
    ShortDatePattern = "m/d/yy";
  }

  std::vector<std::string> log_;
  RecordingProcessLauncher* launches_ = nullptr;

 private:
  char saved_decimal_sep_ = '.';
  std::unique_ptr<ProcessLauncher> previous_launcher_;
};

TEST_F(CalculatePeriodTest, DefaultCaseWritesSevenLinesAndTheResult) {
  std::string result = "unchanged";
  CalculatePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(result, "15.08.83");
  EXPECT_EQ(log_, (std::vector<std::string>{"65 / 24.5 = 2.6530612244898", "2 luni si 16 zile ",
                                            "==================", "31.10.83 - ", "16.2 = ",
                                            "15.08.83", "____________________________"}));
}

struct LeaveCase {
  const char* leave_days;
  const char* line1;
  const char* line2;
  const char* result;
};

class LeaveDaysTest : public CalculatePeriodTest,
                      public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveDaysTest, SplitsLeaveIntoMonthsAndDays) {
  const LeaveCase& c = GetParam();
  std::string result;
  CalculatePeriod("31.10.83", c.leave_days, "24.5", result);
  ASSERT_EQ(log_.size(), 7u);
  EXPECT_EQ(log_[0], c.line1);
  EXPECT_EQ(log_[1], c.line2);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(log_[5], c.result);
}

INSTANTIATE_TEST_SUITE_P(
    WorkingDays24_5, LeaveDaysTest,
    ::testing::Values(
        LeaveCase{"0", "0 / 24.5 = 0", "0 luni si 0 zile ", "30.10.83"},
        LeaveCase{"1", "1 / 24.5 = 0.0408163265306122", "0 luni si 1 zile ", "29.10.83"},
        LeaveCase{"25", "25 / 24.5 = 1.02040816326531", "1 luni si 1 zile ", "29.09.83"},
        // The product (q - m) * wd lies just below 9.5 in extended precision (double: 9.5 -> 10).
        LeaveCase{"34", "34 / 24.5 = 1.38775510204082", "1 luni si 9 zile ", "21.09.83"},
        // ... and just above 10.5 (double: 10.5 -> 10).
        LeaveCase{"35", "35 / 24.5 = 1.42857142857143", "1 luni si 11 zile ", "19.09.83"},
        LeaveCase{"49", "49 / 24.5 = 2", "2 luni si 0 zile ", "31.08.83"},
        // The most leave there is: the year 1764 still has a calendar day.
        LeaveCase{"65535", "65535 / 24.5 = 2674.89795918367", "2674 luni si 22 zile ",
                  "18.02.64"}));

// Months beyond 16 bits are counted whole, and the adjusted end date may reach 1 January 0001.
TEST_F(CalculatePeriodTest, MonthsAreCountedWholeDownToTheFirstDay) {
  std::string result;
  EXPECT_THROW(CalculatePeriod("31.10.83", "65535", "0.5", result), EConvertError);
  EXPECT_EQ(log_[1], "131070 luni si 0 zile ");
  log_.clear();
  CalculatePeriod("17.01.01", "24350", "1", result);  // 24350 months of 30 days and one day
  EXPECT_EQ(result, "01.01.01");
}

struct FailureCase {
  const char* name;
  const char* end_date;
  const char* leave_days;
  const char* working_days;
  const char* class_name;
  const char* message;
  size_t lines_written;
};

class FailureTest : public CalculatePeriodTest,
                    public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, StopsAtTheFailingStep) {
  const FailureCase& c = GetParam();
  std::string result = "old";
  try {
    CalculatePeriod(c.end_date, c.leave_days, c.working_days, result);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), c.class_name);
    EXPECT_EQ(e.Message(), c.message);
  }
  EXPECT_EQ(log_.size(), c.lines_written);
  EXPECT_EQ(result, "old");
  EXPECT_TRUE(launches_->requests.empty());
  // The date settings are in force even after a failure.
  EXPECT_EQ(DateSep, '.');
  EXPECT_EQ(ShortDatePattern, "dd/mm/yy");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailureTest,
    ::testing::Values(FailureCase{"CommaWorkingDays", "31.10.83", "65", "24,5", "EConvertError",
                                  "'24,5' is not a valid floating point value", 0},
                      FailureCase{"EmptyWorkingDays", "31.10.83", "65", "", "EConvertError",
                                  "'' is not a valid floating point value", 0},
                      FailureCase{"WorkingDaysBeyondDouble", "31.10.83", "65", "1e400", "EOverflow",
                                  "Floating point overflow", 0},
                      FailureCase{"LettersAsLeave", "31.10.83", "abc", "24.5", "EConvertError",
                                  "'abc' is not a valid integer value", 0},
                      FailureCase{"LeaveOutOfInt32", "31.10.83", "2147483648", "24.5",
                                  "EConvertError", "'2147483648' is not a valid integer value", 0},
                      FailureCase{"NegativeLeave", "31.10.83", "-1", "24.5", "EConvertError",
                                  "'-1' is not a valid number of leave days", 0},
                      FailureCase{"LeaveBeyond16Bits", "31.10.83", "65536", "24.5", "EConvertError",
                                  "'65536' is not a valid number of leave days", 0},
                      FailureCase{"NegativeWorkingDays", "31.10.83", "-1", " -24.5",
                                  "EConvertError", "' -24.5' is not a valid number of working days",
                                  0},
                      FailureCase{"ZeroWorkingDays", "31.10.83", "65", "0", "EZeroDivide",
                                  "Floating point division by zero", 0},
                      FailureCase{"ZeroByZero", "31.10.83", "0", "0", "EInvalidOp",
                                  "Invalid floating point operation", 0},
                      FailureCase{"QuotientBeyondDouble", "31.10.83", "65", "4.9e-324", "EOverflow",
                                  "Floating point overflow", 0},
                      FailureCase{"MonthsBeyondInt64", "31.10.83", "65", "1e-300", "EInvalidOp",
                                  "Invalid floating point operation", 1},
                      FailureCase{"DayThirtyTwo", "32.10.83", "65", "24.5", "EConvertError",
                                  "'32.10.83' is not a valid date", 3},
                      FailureCase{"MonthThirteen", "31.13.83", "65", "24.5", "EConvertError",
                                  "'31.13.83' is not a valid date", 3},
                      FailureCase{"DayBeforeTheFirstDate", "16.01.01", "24350", "1",
                                  "EConvertError", "The adjusted end date is out of range", 3},
                      FailureCase{"CenturiesOfMonths", "31.10.83", "65535", "0.01", "EConvertError",
                                  "The adjusted end date is out of range", 3},
                      FailureCase{"MonthDaysBeyondInt64", "31.10.83", "65535", "1e-14",
                                  "EConvertError", "The adjusted end date is out of range", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatePeriodTest, RepeatedFailureAppendsThreeLinesEachTime) {
  std::string result;
  for (int attempt = 1; attempt <= 2; ++attempt) {
    EXPECT_THROW(CalculatePeriod("32.10.83", "65", "24.5", result), EConvertError);
    EXPECT_EQ(log_.size(), 3u * attempt);
  }
  EXPECT_EQ(log_[3], "65 / 24.5 = 2.6530612244898");
}

TEST_F(CalculatePeriodTest, FaultLeavesTheEnvironmentCleanForTheNextRun) {
  std::string result;
  EXPECT_THROW(CalculatePeriod("31.10.83", "65", "0", result), EZeroDivide);
  log_.clear();
  CalculatePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(result, "15.08.83");
  EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
}

TEST_F(CalculatePeriodTest, SetsTheDateSettingsOnEveryRun) {
  std::string result;
  DateSep = '-';
  ShortDatePattern = "yyyy/mm/dd";  // as a settings reload would leave them
  CalculatePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(result, "15.08.83");
}

TEST_F(CalculatePeriodTest, SuccessOpensBothSitesMinimisedInOrder) {
  std::string result;
  CalculatePeriod("31.10.83", "65", "24.5", result);
  ASSERT_EQ(launches_->requests.size(), 2u);
  EXPECT_EQ(launches_->requests[0].program, kBrowserProgram);
  EXPECT_EQ(launches_->requests[0].args, std::vector<std::string>{kFirstPromotionSite});
  EXPECT_EQ(launches_->requests[1].args, std::vector<std::string>{kSecondPromotionSite});
  for (const LaunchRequest& r : launches_->requests) {
    EXPECT_EQ(r.show_command, 2);
    EXPECT_EQ(r.directory, "");
  }
}

TEST_F(CalculatePeriodTest, LauncherModesPassTheirShowCommand) {
  OpenPromotionSites(true);
  OpenPromotionSites(false);
  ASSERT_EQ(launches_->requests.size(), 4u);
  EXPECT_EQ(launches_->requests[0].show_command, 3);
  EXPECT_EQ(launches_->requests[1].show_command, 3);
  EXPECT_EQ(launches_->requests[2].show_command, 2);
  EXPECT_EQ(launches_->requests[3].show_command, 2);
}

#if defined(__x86_64__) && __LDBL_MANT_DIG__ == 64
// The hardware's extended format is the reference for months and remaining days: for leave days
// and quarter-day working-day figures (exact in decimal and binary), line 2 must match what the
// x87 computes.
TEST_F(CalculatePeriodTest, MonthsAndDaysMatchTheHardwareExtendedFormat) {
  const int leave_samples[] = {0,  1,  2,  7,   24,  25,   33,   34,   35,    36,    49,   50,
                               64, 65, 97, 100, 365, 1000, 4464, 9999, 12345, 30000, 65535};
  std::string result;
  for (int quarters = 1; quarters <= 124; ++quarters) {
    const double wd = quarters / 4.0;
    char wd_text[32];
    std::snprintf(wd_text, sizeof wd_text, "%.2f", wd);
    for (int leave : leave_samples) {
      volatile long double q_ext = static_cast<long double>(leave) / static_cast<long double>(wd);
      const double q = static_cast<double>(q_ext);
      const auto m = static_cast<int64_t>(q);
      volatile long double product = (static_cast<long double>(q) - static_cast<long double>(m)) *
                                     static_cast<long double>(wd);
      const auto r = static_cast<uint16_t>(__builtin_llrintl(product));
      log_.clear();
      try {
        CalculatePeriod("31.10.83", std::to_string(leave), wd_text, result);
      } catch (const EConvertError&) {  // an adjusted end date before the first calendar day
      }
      ASSERT_GE(log_.size(), 2u);
      EXPECT_EQ(log_[1], std::to_string(m) + " luni si " + std::to_string(r) + " zile ")
          << leave << " / " << wd_text;
    }
  }
}
#endif

}  // namespace
}  // namespace orlit
