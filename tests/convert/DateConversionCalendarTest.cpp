#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "convert/DateConversion.h"

namespace orlit {
namespace {

struct CalendarRow {
  DateParts date;
  double value;
};

// Day 0 and the ends of the valid range, the dates the calculation meets, and the last day of
// a 400-year cycle, a 100-year period, a 4-year period and a leap year.
const CalendarRow kCalendar[] = {
    {{1899, 12, 30}, 0},      {{1, 1, 1}, -693593},      {{1983, 10, 31}, 30620},
    {{1983, 8, 15}, 30543},   {{9999, 12, 31}, 2958465}, {{1899, 12, 31}, 1},
    {{1899, 12, 29}, -1},     {{1900, 1, 1}, 2},         {{1900, 2, 28}, 60},
    {{1900, 3, 1}, 61},       {{2000, 2, 29}, 36585},    {{2000, 12, 31}, 36891},
    {{2001, 1, 1}, 36892},    {{1600, 12, 31}, -109206}, {{1601, 1, 1}, -109205},
    {{1700, 12, 31}, -72682}, {{1996, 12, 31}, 35430},   {{83, 10, 31}, -663340},
    {{400, 12, 31}, -547497}, {{4, 12, 31}, -692133},    {{1, 12, 31}, -693229},
};

TEST(DateCalendarTest, EncodeAndDecodeTheDateValueTable) {
  for (const CalendarRow& row : kCalendar) {
    SCOPED_TRACE(testing::Message()
                 << row.date.Year << "-" << row.date.Month << "-" << row.date.Day);
    DateValue value = 12345;
    ASSERT_TRUE(EncodeDateValue(row.date.Year, row.date.Month, row.date.Day, value));
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(DecodeDateValue(row.value), row.date);
  }
}

TEST(DateCalendarTest, LeapYears) {
  const struct {
    int year;
    bool leap;
  } kRows[] = {{1, false},    {4, true},    {100, false}, {400, true},   {1900, false},
               {1983, false}, {1996, true}, {2000, true}, {2075, false}, {2076, true},
               {2100, false}, {9996, true}, {9999, false}};
  for (const auto& row : kRows) EXPECT_EQ(IsLeapYear(row.year), row.leap) << row.year;
}

TEST(DateCalendarTest, EncodeRejectsDatesThatDoNotExist) {
  const DateParts kInvalid[] = {{0, 1, 1},      {10000, 1, 1}, {65535, 1, 1}, {2000, 0, 1},
                                {2000, 13, 1},  {2000, 1, 0},  {2000, 1, 32}, {1900, 2, 29},
                                {2075, 2, 29},  {1983, 4, 31}, {1983, 6, 31}, {1983, 9, 31},
                                {1983, 11, 31}, {2000, 2, 30}, {1, 1, 0},     {9999, 12, 32}};
  for (const DateParts& date : kInvalid) {
    DateValue value = 777;
    EXPECT_FALSE(EncodeDateValue(date.Year, date.Month, date.Day, value))
        << date.Year << "-" << date.Month << "-" << date.Day;
    EXPECT_EQ(value, 777);
  }
}

TEST(DateCalendarTest, DecodeTruncatesTheTimeOfDayTowardZero) {
  const struct {
    double value;
    DateParts date;
  } kRows[] = {
      {30620.5, {1983, 10, 31}},
      {30620.999, {1983, 10, 31}},
      // 86399999.6 ms into the day rounds to the next midnight.
      {30620 + 86399999.6 / 86400000.0, {1983, 11, 1}},
      {-0.5, {1899, 12, 30}},
      {-0.999, {1899, 12, 30}},
      {-1.25, {1899, 12, 29}},
      {-693593.5, {1, 1, 1}},
      {-693593.9999, {1, 1, 1}},
      {2958465.9999, {9999, 12, 31}},
      {std::numeric_limits<double>::denorm_min(), {1899, 12, 30}},
      {-std::numeric_limits<double>::denorm_min(), {1899, 12, 30}},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(DecodeDateValue(row.value), row.date) << row.value;
  }
}

TEST(DateCalendarTest, DecodeGivesZeroFieldsWhenNoDateCanBeFormed) {
  const double kValues[] = {
      -693594,
      -693594.5,
      30620 - (65535.0 * 30 + 1),
      -1e9,
      -1e300,
      23242573,  // 1 January 65536: the year no longer fits its 16-bit field
      1e11,
      1.0675e11,  // milliseconds just below 2^63
      1.0676e11,  // just above
      1e300,
      std::numeric_limits<double>::max(),
      std::numeric_limits<double>::lowest(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
      -std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::signaling_NaN(),
  };
  for (double value : kValues) {
    EXPECT_EQ(DecodeDateValue(value), DateParts{}) << value;
  }
}

TEST(DateCalendarTest, DecodeGoesOnPastTheYear9999WhileTheYearFits) {
  EXPECT_EQ(DecodeDateValue(2958466), (DateParts{10000, 1, 1}));
  EXPECT_EQ(DecodeDateValue(23242572), (DateParts{65535, 12, 31}));
}

// Every valid day, in order: encoding counts up by one and decoding gives the date back.
TEST(DateCalendarTest, RoundTripsEveryDayOfTheValidRange) {
  DateValue expected = -693593;
  int64_t failures = 0;
  for (int year = 1; year <= 9999; ++year) {
    const int month_days[] = {31, IsLeapYear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30,
                              31};
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= month_days[month - 1]; ++day) {
        const DateParts date{static_cast<uint16_t>(year), static_cast<uint16_t>(month),
                             static_cast<uint16_t>(day)};
        DateValue value = 0;
        const bool encoded = EncodeDateValue(date.Year, date.Month, date.Day, value);
        if (!encoded || value != expected || DecodeDateValue(value) != date) {
          if (++failures <= 5) {
            ADD_FAILURE() << year << "-" << month << "-" << day << " encoded " << encoded << " as "
                          << value << ", expected " << expected;
          }
        }
        expected += 1;
      }
    }
  }
  EXPECT_EQ(expected, 2958466);
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace orlit
