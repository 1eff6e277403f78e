#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <string>

#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"

namespace orlit {
namespace {

// The calculation's date settings and a clock in 2026 for each test; the process-wide values
// are given back afterwards, whatever the test changed.
class DateTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DateSep = '.';
    ShortDatePattern = "dd/mm/yy";
    CenturyWindow = 50;
    SetClockYear(2026);
  }
  void TearDown() override {
    DateSep = saved_date_sep_;
    ShortDatePattern = saved_pattern_;
    CenturyWindow = saved_century_window_;
    SetCurrentYearSource({});
  }
  static void SetClockYear(int year) {
    SetCurrentYearSource([year] { return year; });
  }

  // The message ParseDate raises for `text`, or "accepted" when it raises nothing.
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
  uint16_t saved_century_window_ = CenturyWindow;
};

TEST_F(DateTextTest, WorkedExamples) {
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
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.text);
    DateValue value = 0;
    ASSERT_TRUE(TryParseDate(row.text, value));
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(ParseDate(row.text), row.value);
    EXPECT_EQ(FormatDate(value), row.formatted);
  }
}

TEST_F(DateTextTest, AcceptedForms) {
  const struct {
    const char* text;
    double value;
  } kRows[] = {
      {" 1 . 2 . 83", 30348},
      {"31.10.83 ", 30620},
      {"31.10.83 .", 30620},
      {"31.10.83 . ", 30620},
      {"   31   .   10   .   83   .   ", 30620},
      {"31 .10", 46326},
      {"31.10 ", 46326},
      {"0031.0010.1983", 30620},
      {"000000000000000000000000000031.10.83", 30620},
      {"1.1.0001", -693593},
      {"31.12.9999", 2958465},
      {"1.1.0", 36526},  // a one-digit year is completed too: 2000
      {"29.2.2000", 36585},
  };
  for (const auto& row : kRows) {
    DateValue value = 0;
    EXPECT_TRUE(TryParseDate(row.text, value)) << "'" << row.text << "'";
    EXPECT_EQ(value, row.value) << "'" << row.text << "'";
  }
}

TEST_F(DateTextTest, RejectedTextsQuoteTheWholeInput) {
  const std::string kTexts[] = {
      "",
      "   ",
      "31.10.",
      "31.10. ",
      "31/10/83",
      "31-10-83",
      "31.10.83x",
      "31.10.12345",
      "3_.10.83",
      "31.1_.83",
      "31.10.8_",
      "32.10.83",
      "00.10.83",
      "31.13.83",
      "31.00.83",
      "31.04.83",
      "29.02.75",
      "31.10.000",
      "31.10.0000",
      ".10.83",
      "31..83",
      "31.10.83..",
      "31 10 83",
      "31",
      "31.",
      "+31.10.83",
      "-1.10.83",
      "31,10,83",
      "\t31.10.83",
      "31.10.83\n",
      "31.10.83\r\n",
      std::string("31.10.83\0", 9),
      std::string("31\0.10.83", 9),
      "31.10.10000",
      "1.1.10000",
      "\xff\xfe\xfd",
      "31.10.83\xc3",
      "\xc2\xa0"
      "31.10.83",
      "\xe2\x80\x8b"
      "31.10.83",
      "３１.10.83",  // fullwidth digits are not digits here
  };
  for (const std::string& text : kTexts) {
    DateValue value = 4242;
    EXPECT_FALSE(TryParseDate(text, value)) << "'" << text << "'";
    EXPECT_EQ(value, 4242) << "'" << text << "'";
    EXPECT_EQ(ParseFailure(text), "'" + text + "' is not a valid date");
  }
}

TEST_F(DateTextTest, HugeInputsFailQuotingEverything) {
  const std::string kTexts[] = {
      std::string(20000, '9'),
      std::string(20000, ' '),
      std::string(20000, '.'),
      "31.10.83" + std::string(20000, ' ') + "x",
      std::string(20000, '0') + "1.1.1x",
  };
  for (const std::string& text : kTexts) {
    EXPECT_EQ(ParseFailure(text), "'" + text + "' is not a valid date") << text.size();
  }
  // Blanks and leading zeros have no length limit.
  EXPECT_EQ(ParseDate("31.10.83" + std::string(20000, ' ')), 30620);
  EXPECT_EQ(ParseDate(std::string(20000, '0') + "1.1.1"), 36892);
}

// Every one- and two-digit year lands in current year - 50 .. current year + 49, and the window
// follows the clock.
TEST_F(DateTextTest, TwoDigitYearsFollowTheClock) {
  for (int clock_year : {2026, 2027, 1970, 1999, 2000, 2049, 2050, 2099, 2100, 9949}) {
    SetClockYear(clock_year);
    for (int yy = 0; yy < 100; ++yy) {
      for (const std::string& year_text :
           {std::to_string(yy), (yy < 10 ? "0" : "") + std::to_string(yy)}) {
        const std::string text = "1.1." + year_text;
        SCOPED_TRACE(testing::Message() << "clock " << clock_year << ", '" << text << "'");
        DateValue value = 0;
        ASSERT_TRUE(TryParseDate(text, value));
        const int year = DecodeDateValue(value).Year;
        EXPECT_GE(year, clock_year - 50);
        EXPECT_LE(year, clock_year + 49);
        EXPECT_EQ(year % 100, yy);
      }
    }
  }
  SetClockYear(2026);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.75")).Year, 2075);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.76")).Year, 1976);
  SetClockYear(2027);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.76")).Year, 2076);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.77")).Year, 1977);
  EXPECT_EQ(DecodeDateValue(ParseDate("31.10")).Year, 2027);
}

TEST_F(DateTextTest, CompletedYearsBeyond9999Fail) {
  SetClockYear(9990);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.40")).Year, 9940);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.99")).Year, 9999);
  EXPECT_EQ(ParseFailure("1.1.39"), "'1.1.39' is not a valid date");  // 10039
  SetClockYear(10000);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.50")).Year, 9950);
  EXPECT_EQ(ParseFailure("1.1.49"), "'1.1.49' is not a valid date");  // 10049
  EXPECT_EQ(ParseFailure("1.1"), "'1.1' is not a valid date");        // current year 10000
  SetClockYear(std::numeric_limits<int>::max());
  EXPECT_EQ(ParseFailure("1.1.83"), "'1.1.83' is not a valid date");
  SetClockYear(std::numeric_limits<int>::min());
  EXPECT_EQ(ParseFailure("1.1.83"), "'1.1.83' is not a valid date");
}

TEST_F(DateTextTest, ZeroCenturyWindowKeepsTheClocksCentury) {
  CenturyWindow = 0;
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.83")).Year, 2083);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.00")).Year, 2000);
  EXPECT_EQ(DecodeDateValue(ParseDate("1.1.99")).Year, 2099);
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
      {"yyyy/mm/dd", '-', "1983-10-31", 30620},
      {"yyyy/mm/dd", '-', "83-10-31", 30620},     // the year's digits count in front
      {"yyyy/mm/dd", '-', "083-10-31", -663340},  // three digits: taken as written
      {"yyyy/mm/dd", '-', "10-31", 46326},        // two numbers: month, day
      {"Ee/mm/dd", '.', "83.10.31", 30620},
      {"x/dd/mm/yy", '.', "31.10.83", 30620},  // letters other than d, m, y, e are passed over
      {"", '/', "10/31/83", 30620},            // no field letter: month first
      {"--", '/', "10/31/83", 30620},
      {"dd/mm/yy", '\0',
       "31\0"
       "10\0"
       "83",
       30620},
  };
  for (const auto& row : kRows) {
    ShortDatePattern = row.pattern;
    DateSep = row.sep;
    const std::string text = row.sep == '\0' ? std::string(
                                                   "31\0"
                                                   "10\0"
                                                   "83",
                                                   8)
                                             : row.text;
    SCOPED_TRACE(testing::Message() << row.pattern << " '" << text << "'");
    DateValue value = 0;
    ASSERT_TRUE(TryParseDate(text, value));
    EXPECT_EQ(value, row.value);
  }
  ShortDatePattern = "m/d/yy";
  DateSep = '/';
  EXPECT_EQ(ParseFailure("31/10/83"), "'31/10/83' is not a valid date");
}

TEST_F(DateTextTest, FormatThePatternElements) {
  const double kDate = 30620;                                   // 31 October 1983
  const double kEarly = 30348 + (3600 + 2 * 60 + 3) / 86400.0;  // 1 February 1983 01:02:03
  const double kYear83 = -663340;                               // 31 October 83
  const struct {
    const char* pattern;
    char sep;
    double value;
    const char* text;
  } kRows[] = {
      {"dd/mm/yy", '.', kDate, "31.10.83"},
      {"dd/mm/yy", '.', kEarly, "01.02.83"},
      {"d/m/yy", '.', kEarly, "1.2.83"},
      {"m/d/yy", '/', kDate, "10/31/83"},
      {"mm/dd/yyyy", '/', kEarly, "02/01/1983"},
      {"yyyy/mm/dd", '-', kDate, "1983-10-31"},
      {"DD/MM/YY", '.', kDate, "31.10.83"},
      {"y", '.', kDate, "83"},
      {"yyy", '.', kDate, "1983"},
      {"yyyyyy", '.', kDate, "1983"},
      {"yyyy", '.', kYear83, "0083"},
      {"yy", '.', kYear83, "83"},
      {"yy", '.', 36526, "00"},
      {"yYyY", '.', kDate, "83838383"},  // runs are counted over the identical letter
      {"dD", '.', kEarly, "11"},
      {"ddd", '.', kEarly, "01"},
      {"dd/mm/yy", '\0', kDate, "311083"},
      {"dd//mm", '-', kDate, "31--10"},
      {"dd mm", '.', kDate, "31 10"},
      {"hh:mm", '.', kEarly, "01:02"},
      {"h:m:s", '.', kEarly, "1:2:3"},
      {"hh:nn:ss", '.', kEarly, "01:02:03"},
      {"h dd.mm", '.', kEarly, "1 01.02"},  // a letter between them turns minutes back to months
      {"mm h", '.', kEarly, "02 1"},
      {"hh", '.', 30620.75, "18"},
      {"hh:mm", '.', -1.25, "06:00"},  // the time of a negative value counts from its midnight
      {"dd.mm.yy", '/', kDate, "31.10.83"},
      {"dd x mm", '.', kDate, "31 x 10"},
      {"dd\xc4\x83mm", '.', kDate,
       "31\xc4\x83"
       "10"},
      {"", '.', kDate, ""},
  };
  for (const auto& row : kRows) {
    ShortDatePattern = row.pattern;
    DateSep = row.sep;
    EXPECT_EQ(FormatDate(row.value), row.text) << "'" << row.pattern << "'";
  }
}

TEST_F(DateTextTest, FormatDatesWithoutACalendarDateAsZeros) {
  const double kValues[] = {
      30620 - (65535.0 * 30 + 1),
      -693594,
      -1e300,
      23242573,
      1e300,
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::signaling_NaN(),
  };
  for (double value : kValues) {
    ShortDatePattern = "dd/mm/yy";
    EXPECT_EQ(FormatDate(value), "00.00.00") << value;
    ShortDatePattern = "yyyy/m/d hh:nn";
    EXPECT_EQ(FormatDate(value), "0000.0.0 00:00") << value;
  }
  ShortDatePattern = "dd/mm/yy";
  EXPECT_EQ(FormatDate(30620 - 77), "15.08.83");
  EXPECT_EQ(FormatDate(-693593), "01.01.01");
}

TEST_F(DateTextTest, FormatThenParseGivesTheSameDay) {
  for (double value = 27760; value <= 64284; value += 1) {  // every day of the window
    DateValue back = 0;
    ASSERT_TRUE(TryParseDate(FormatDate(value), back)) << value;
    ASSERT_EQ(back, value);
  }
}

TEST(CurrentYearTest, ComesFromTheLocalClockUnlessASourceIsSet) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ASSERT_NE(localtime_r(&now, &local), nullptr);
  EXPECT_EQ(CurrentYear(), local.tm_year + 1900);
  SetCurrentYearSource([] { return 1234; });
  EXPECT_EQ(CurrentYear(), 1234);
  SetCurrentYearSource({});
  EXPECT_EQ(CurrentYear(), local.tm_year + 1900);
}

}  // namespace
}  // namespace orlit
