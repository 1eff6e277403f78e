#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orlit {

// Days since 30 December 1899; the fraction is the time of day.
using DateValue = double;

struct DateParts {
  uint16_t Year = 0;
  uint16_t Month = 0;
  uint16_t Day = 0;
  friend bool operator==(const DateParts&, const DateParts&) = default;
};

bool IsLeapYear(int year);
// False for a date outside 1 January 0001 .. 31 December 9999.
bool EncodeDateValue(uint16_t year, uint16_t month, uint16_t day, DateValue& value);
// 0, 0, 0 for a value before 1 January 0001, and likewise for any value no calendar date can be
// made of: NaN, infinities, values too large for a millisecond count and years beyond 65535.
DateParts DecodeDateValue(DateValue value);

// Text under DateSep and ShortDatePattern to a date. Never throws. Era years are not read: an
// "e" in the pattern only selects the year-first field order.
bool TryParseDate(std::string_view text, DateValue& value);
// Throws EConvertError "'<text>' is not a valid date".
DateValue ParseDate(std::string_view text);
// The date laid out by ShortDatePattern and DateSep ("h", "n", "s" and an "m" after an "h" give
// the time of day).
std::string FormatDate(DateValue value);
// The same text appended to `out`.
void AppendDate(std::string& out, DateValue value);

// The local clock's current year, used to complete two-digit years. Tests set their own source;
// an empty function restores the local clock.
int CurrentYear();
void SetCurrentYearSource(std::function<int()> source);

}  // namespace orlit
