#include <gtest/gtest.h>

#include <limits>

#include "convert/DateConversion.h"

namespace orlit {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Day 0, the ends of the valid range, and the last days of a 400-year cycle, a century, a
// 4-year period and a leap year, where the decoding walk has to count back.
TEST(DateCalendarTest, EncodeAndDecodeTheDateValueTable) {
  const struct {
    DateParts date;
    double value;
  } kRows[] = {{{1899, 12, 30}, 0},      {{1, 1, 1}, -693593},      {{1983, 10, 31}, 30620},
               {{1983, 8, 15}, 30543},   {{9999, 12, 31}, 2958465}, {{1900, 3, 1}, 61},
               {{2000, 2, 29}, 36585},   {{2000, 12, 31}, 36891},   {{1600, 12, 31}, -109206},
               {{1700, 12, 31}, -72682}, {{1996, 12, 31}, 35430},   {{83, 10, 31}, -663340}};
  for (const auto& row : kRows) {
    DateValue value = 0;
    EXPECT_TRUE(EncodeDateValue(row.date.Year, row.date.Month, row.date.Day, value));
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(DecodeDateValue(row.value), row.date) << row.value;
  }
}

TEST(DateCalendarTest, EncodeRejectsDatesThatDoNotExist) {
  const DateParts kInvalid[] = {{0, 1, 1},     {10000, 1, 1}, {2000, 0, 1},  {2000, 13, 1},
                                {2000, 1, 0},  {2000, 1, 32}, {1900, 2, 29}, {2075, 2, 29},
                                {1983, 4, 31}, {1983, 11, 31}};
  for (const DateParts& date : kInvalid) {
    DateValue value = 777;
    EXPECT_FALSE(EncodeDateValue(date.Year, date.Month, date.Day, value)) << date.Year;
    EXPECT_EQ(value, 777);
  }
}

// The time of day is cut off toward zero after rounding to whole milliseconds; values that
// give no calendar date (before 0001, beyond the 16-bit year, not finite) decode to zeros.
TEST(DateCalendarTest, DecodeFractionsAndValuesWithoutADate) {
  const struct {
    double value;
    DateParts date;
  } kRows[] = {{30620.999, {1983, 10, 31}},
               {30620 + 86399999.6 / 86400000.0, {1983, 11, 1}},
               {-0.999, {1899, 12, 30}},
               {-1.25, {1899, 12, 29}},
               {-693593.9999, {1, 1, 1}},
               {std::numeric_limits<double>::denorm_min(), {1899, 12, 30}},
               {2958466, {10000, 1, 1}},
               {23242572, {65535, 12, 31}},
               {23242573, {}},
               {-693594, {}},
               {30620 - (65535.0 * 30 + 1), {}},
               {1.0675e11, {}},  // milliseconds just below 2^63
               {1.0676e11, {}},  // and just above
               {-1e300, {}},
               {kInf, {}},
               {-kInf, {}},
               {std::numeric_limits<double>::quiet_NaN(), {}},
               {std::numeric_limits<double>::signaling_NaN(), {}}};
  for (const auto& row : kRows) EXPECT_EQ(DecodeDateValue(row.value), row.date) << row.value;
}

TEST(DateCalendarTest, RoundTripsEveryDayOfTheValidRange) {
  DateValue expected = -693593;
  int failures = 0;
  for (int year = 1; year <= 9999; ++year) {
    const int month_days[] = {31, IsLeapYear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30,
                              31};
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= month_days[month - 1]; ++day, expected += 1) {
        const DateParts date{static_cast<uint16_t>(year), static_cast<uint16_t>(month),
                             static_cast<uint16_t>(day)};
        DateValue value = 0;
        if ((!EncodeDateValue(date.Year, date.Month, date.Day, value) || value != expected ||
             DecodeDateValue(value) != date) &&
            ++failures <= 5) {
          ADD_FAILURE() << year << "-" << month << "-" << day << " gave " << value;
        }
      }
    }
  }
  EXPECT_EQ(expected, 2958466);
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace orlit
