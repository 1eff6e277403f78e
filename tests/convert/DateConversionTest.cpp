#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"

namespace orlit {
namespace {

// The calculation's date settings and a clock in 2026; the process-wide values are given back.
class DateTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DateSep = '.';
    ShortDatePattern = "dd/mm/yy";
    SetClockYear(2026);
  }
  void TearDown() override {
    DateSep = saved_date_sep_;
    ShortDatePattern = saved_pattern_;
    CenturyWindow = 50;
    SetCurrentYearSource({});
  }
  static void SetClockYear(int year) {
    SetCurrentYearSource([year] { return year; });
  }
  static int ParsedYear(const std::string& text) { return DecodeDateValue(ParseDate(text)).Year; }
  // The message ParseDate raises, or "accepted".
  static std::string ParseFailure(const std::string& text) {
    try {
      ParseDate(text);
    } catch (const EConvertError& error) {
      return error.Message();
    }
    return "accepted";
  }

 private:
  char saved_date_sep_ = DateSep;
  std::string saved_pattern_ = ShortDatePattern;
};

TEST_F(DateTextTest, WorkedExamplesAndOtherAcceptedForms) {
  const struct {
    const char* text;
    double value;
    const char* formatted;
  } kRows[] = {
      {"31.10.83", 30620, "31.10.83"},    {"01.01.76", 27760, "01.01.76"},
      {"31.12.75", 64284, "31.12.75"},    {"29.02.76", 27819, "29.02.76"},
      {"29.02.00", 36585, "29.02.00"},    {"1.1.1", 36892, "01.01.01"},
      {" 1. 2.83", 30348, "01.02.83"},    {"31.10", 46326, "31.10.26"},
      {"31.10.83.", 30620, "31.10.83"},   {"31.10.1983", 30620, "31.10.83"},
      {"31.10.083", -663340, "31.10.83"}, {"31.10.0083", -663340, "31.10.83"},
      {" 1 . 2 . 83", 30348, "01.02.83"}, {"31.10.83 . ", 30620, "31.10.83"},
      {"31 .10 ", 46326, "31.10.26"},     {"0000000000031.0010.83", 30620, "31.10.83"},
      {"1.1.0001", -693593, "01.01.01"},  {"31.12.9999", 2958465, "31.12.99"},
      {"1.1.0", 36526, "01.01.00"},
  };
  for (const auto& row : kRows) {
    DateValue value = 0;
    EXPECT_TRUE(TryParseDate(row.text, value)) << "'" << row.text << "'";
    EXPECT_EQ(value, row.value) << "'" << row.text << "'";
    EXPECT_EQ(FormatDate(value), row.formatted) << "'" << row.text << "'";
  }
}

TEST_F(DateTextTest, RejectedTextsQuoteTheWholeInput) {
  // clang-format off
  std::vector<std::string> texts = {
      "", "   ", "31.10.", "31/10/83", "31-10-83", "31.10.83x", "31.10.12345", "3_.10.83",
      "31.10.8_", "32.10.83", "00.10.83", "31.13.83", "31.04.83", "29.02.75", "31.10.000",
      ".10.83", "31..83", "31.10.83..", "31 10 83", "31", "+31.10.83", "\t31.10.83",
      "31.10.83\r\n", "1.1.10000", "\xff\xfe\xfd", "31.10.83\xc3", "\u00a031.10.83"};
  // clang-format on
  texts.push_back(std::string("31.10.83\0", 9));
  texts.push_back(std::string(20000, '9'));
  texts.push_back("31.10.83" + std::string(20000, ' ') + "x");
  for (const std::string& text : texts) {
    DateValue value = 4242;
    EXPECT_FALSE(TryParseDate(text, value)) << "'" << text << "'";
    EXPECT_EQ(value, 4242);
    EXPECT_EQ(ParseFailure(text), "'" + text + "' is not a valid date");
  }
  // Blanks and leading zeros have no length limit.
  EXPECT_EQ(ParseDate(std::string(20000, '0') + "1.1.1" + std::string(20000, ' ')), 36892);
}

// Every one- and two-digit year lands in current year - 50 .. current year + 49.
TEST_F(DateTextTest, TwoDigitYearsFollowTheClock) {
  for (int clock_year : {2026, 2027, 1970, 2000, 2049, 2050, 2100, 9949}) {
    SetClockYear(clock_year);
    for (int yy = 0; yy < 100; ++yy) {
      for (const char* pad : {"", "0"}) {
        if (yy >= 10 && *pad != '\0') continue;
        const int year = ParsedYear("1.1." + (pad + std::to_string(yy)));
        EXPECT_TRUE(year >= clock_year - 50 && year <= clock_year + 49 && year % 100 == yy)
            << "clock " << clock_year << ": " << yy << " gave " << year;
      }
    }
  }
  SetClockYear(2027);
  EXPECT_EQ(ParsedYear("1.1.76"), 2076);
  EXPECT_EQ(ParsedYear("1.1.77"), 1977);
  EXPECT_EQ(ParsedYear("31.10"), 2027);
  SetClockYear(9990);  // the window runs past 9999
  EXPECT_EQ(ParsedYear("1.1.40"), 9940);
  EXPECT_EQ(ParseFailure("1.1.39"), "'1.1.39' is not a valid date");
  SetClockYear(std::numeric_limits<int>::min());
  EXPECT_EQ(ParseFailure("1.1.83"), "'1.1.83' is not a valid date");
  SetClockYear(2026);
  CenturyWindow = 0;
  EXPECT_EQ(ParsedYear("1.1.83"), 2083);
  EXPECT_EQ(ParsedYear("1.1.25"), 2025);
}

TEST_F(DateTextTest, FieldOrderComesFromTheFirstPatternLetter) {
  const struct {
    const char* pattern;
    char sep;
    const char* text;
    double value;
  } kRows[] = {
      {"m/d/yy", '/', "10/31/83", 30620},
      {"m/d/yy", '/', "10/31", 46326},
      {"MM/DD/YYYY", '/', "10/31/1983", 30620},
      {"yyyy/mm/dd", '-', "83-10-31", 30620},
      {"yyyy/mm/dd", '-', "083-10-31", -663340},
      {"yyyy/mm/dd", '-', "10-31", 46326},
      {"Ee/mm/dd", '.', "83.10.31", 30620},
      {"x/dd/mm/yy", '.', "31.10.83", 30620},
      {"--", '/', "10/31/83", 30620},
  };
  for (const auto& row : kRows) {
    ShortDatePattern = row.pattern;
    DateSep = row.sep;
    DateValue value = 0;
    EXPECT_TRUE(TryParseDate(row.text, value)) << row.pattern << " " << row.text;
    EXPECT_EQ(value, row.value) << row.pattern << " " << row.text;
  }
  ShortDatePattern = "dd/mm/yy";
  DateSep = '\0';
  EXPECT_EQ(ParseDate(std::string{'3', '1', '\0', '1', '0', '\0', '8', '3'}), 30620);
}

TEST_F(DateTextTest, FormatThePatternElements) {
  const double kDate = 30620;                                   // 31 October 1983
  const double kEarly = 30348 + (3600 + 2 * 60 + 3) / 86400.0;  // 1 February 1983 01:02:03
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* pattern;
    char sep;
    double value;
    const char* text;
  } kRows[] = {
      {"dd/mm/yy", '.', kEarly, "01.02.83"},
      {"d/m/yy", '.', kEarly, "1.2.83"},
      {"m/d/yy", '/', kDate, "10/31/83"},
      {"yyyy/mm/dd", '-', kEarly, "1983-02-01"},
      {"DD/MM/Y", '.', kDate, "31.10.83"},
      {"yyyyyy", '.', kDate, "1983"},
      {"yyy", '.', -663340, "0083"},
      {"yYyY", '.', kDate, "83838383"},
      {"ddd", '.', kEarly, "01"},
      {"dd/mm/yy", '\0', kDate, "311083"},
      {"hh:mm", '.', kEarly, "01:02"},
      {"h:m:s", '.', kEarly, "1:2:3"},
      {"hh:nn:ss", '.', kEarly, "01:02:03"},
      {"h d.m", '.', kEarly, "1 1.2"},
      {"hh:mm", '.', -1.25, "06:00"},
      {"dd x\xc4\x83", '.', kDate, "31 x\xc4\x83"},
      {"dd/mm/yy", '.', 30620 - 77, "15.08.83"},
      {"dd/mm/yy", '.', 30620 - (65535.0 * 30 + 1), "00.00.00"},
      {"dd/mm/yy", '.', kNaN, "00.00.00"},
      {"yyyy/m/d hh:nn", '.', -1e300, "0000.0.0 00:00"},
  };
  for (const auto& row : kRows) {
    ShortDatePattern = row.pattern;
    DateSep = row.sep;
    EXPECT_EQ(FormatDate(row.value), row.text) << "'" << row.pattern << "' " << row.value;
  }
}

TEST(CurrentYearTest, ComesFromTheLocalClockUnlessASourceIsSet) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ASSERT_NE(localtime_r(&now, &local), nullptr);
  SetCurrentYearSource([] { return 1234; });
  EXPECT_EQ(CurrentYear(), 1234);
  SetCurrentYearSource({});
  EXPECT_EQ(CurrentYear(), local.tm_year + 1900);
}

}  // namespace
}  // namespace orlit
