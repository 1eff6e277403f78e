#include "convert/DateConversion.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <utility>

#include "convert/DecimalDigits.h"
#include "convert/Exceptions.h"
#include "convert/Extended.h"
#include "convert/FormatSettings.h"
#include "convert/NumberConversion.h"

namespace orlit {

namespace {

constexpr int64_t kMillisecondsPerDay = 86400000;
// Day number (1 January 0001 = 1) of 30 December 1899.
constexpr int64_t kDateDelta = 693594;
constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kDaysPer100Years = 36524;
constexpr int64_t kDaysPer4Years = 1461;
constexpr int64_t kMaxDecodedYear = 65535;  // the widest year a 16-bit field holds

constexpr uint16_t kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

std::function<int()>& YearSource() {
  static std::function<int()> source;
  return source;
}

// The whole day number counted from 1 January 0001 = 1, and the milliseconds into that day.
// False when the value cannot be carried as a 64-bit millisecond count (NaN, infinities and
// magnitudes beyond about 292 million years); callers treat such values as lying before
// 1 January 0001, since no calendar date can be made of them.
bool SplitDateValue(DateValue value, int64_t& day_number, int64_t& time_ms) {
  // Checked on the double first: a signalling NaN must never reach the extended arithmetic,
  // where it would raise an unmasked invalid operation.
  if (!std::isfinite(value)) return false;
  if (std::abs(value) < 0x1p36 && value == std::trunc(value)) {
    // A whole day number below 2^36: its product with 86400000 is below 2^63, so the extended
    // multiplication is exact and raises nothing, as do the comparison and the rounding, and the
    // milliseconds make whole days.
    day_number = static_cast<int64_t>(value) + kDateDelta;
    time_ms = 0;
    return true;
  }
  const Extended product = Extended::FromDouble(value) * Extended::FromInt64(kMillisecondsPerDay);
  // 2^63: every extended value below it rounds to at most INT64_MAX.
  constexpr Extended kInt64Limit =
      Extended::FromParts(false, Extended::kExponentBias + 63, Extended::kIntegerBit);
  if (!(product.Abs() < kInt64Limit)) return false;
  const int64_t milliseconds = RoundToInt64(product);
  const int64_t magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
  const int64_t days = magnitude / kMillisecondsPerDay;
  day_number = (milliseconds < 0 ? -days : days) + kDateDelta;
  time_ms = magnitude % kMillisecondsPerDay;
  return true;
}

DateParts DayNumberToDate(int64_t day_number) {
  if (day_number <= 0) return {};
  int64_t t = day_number - 1;
  int64_t year = 1 + t / kDaysPer400Years * 400;
  t %= kDaysPer400Years;
  int64_t periods = t / kDaysPer100Years;
  // The fourth century of a cycle ends on its extra leap day, which belongs to the last one.
  if (periods == 4) periods = 3;
  year += periods * 100;
  t -= periods * kDaysPer100Years;
  periods = t / kDaysPer4Years;
  year += periods * 4;
  t -= periods * kDaysPer4Years;
  int64_t years = t / 365;
  if (years == 4) years = 3;  // 31 December of the leap year
  year += years;
  t -= years * 365;
  if (year > kMaxDecodedYear) return {};
  const uint16_t* month_days = kMonthDays[IsLeapYear(static_cast<int>(year)) ? 1 : 0];
  int month = 0;
  while (t >= month_days[month]) {
    t -= month_days[month];
    ++month;
  }
  return {static_cast<uint16_t>(year), static_cast<uint16_t>(month + 1),
          static_cast<uint16_t>(t + 1)};
}

enum class FieldOrder { kMonthDayYear, kDayMonthYear, kYearMonthDay };

FieldOrder FieldOrderOf(std::string_view pattern) {
  for (char c : pattern) {
    switch (c) {
      case 'D':
      case 'd':
        return FieldOrder::kDayMonthYear;
      case 'M':
      case 'm':
        return FieldOrder::kMonthDayYear;
      case 'Y':
      case 'y':
      case 'E':
      case 'e':
        return FieldOrder::kYearMonthDay;
      default:
        break;
    }
  }
  return FieldOrder::kMonthDayYear;
}

class DateScanner {
 public:
  explicit DateScanner(std::string_view text) : text_(text) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  // At most four significant digits are taken, so a longer number leaves digits behind and the
  // scan fails on them; leading zeros are read without limit and counted.
  bool ReadNumber(int& value, size_t& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos_ < text_.size() && value < 1000 && text_[pos_] >= '0' && text_[pos_] <= '9') {
      value = value * 10 + (text_[pos_] - '0');
      ++digits;
      ++pos_;
    }
    return digits > 0;
  }

  bool ReadSeparator() {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == DateSep) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool AtEnd() const { return pos_ == text_.size(); }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Puts a year written with one or two digits into the window of years around the current one.
int64_t CompleteCentury(int64_t year) {
  const int64_t base = static_cast<int64_t>(CurrentYear()) - CenturyWindow;
  year += base / 100 * 100;
  if (CenturyWindow != 0 && year < base) year += 100;
  return year;
}

// Writes `value` with at least `min_digits` digits, zeros in front; returns the end.
char* PutNumber(char* out, uint32_t value, int min_digits) {
  if (value < 100 && min_digits <= 2) {
    if (value < 10 && min_digits < 2) {
      *out = static_cast<char>('0' + value);
      return out + 1;
    }
    WriteTwoDigits(value, out);
    return out + 2;
  }
  char digits[16];
  const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto count = static_cast<int>(end - digits);
  if (count < min_digits) {
    std::memset(out, '0', static_cast<size_t>(min_digits - count));
    out += min_digits - count;
  }
  std::memcpy(out, digits, static_cast<size_t>(count));
  return out + count;
}

// Writes `run` copies of `c`; returns the end. Mostly one, a separator.
char* PutRun(char* out, char c, size_t run) {
  if (run == 1) {
    *out = c;
    return out + 1;
  }
  std::memset(out, c, run);
  return out + run;
}

bool IsHourLetter(char c) { return c == 'h' || c == 'H'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool EncodeDateValue(uint16_t year, uint16_t month, uint16_t day, DateValue& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const uint16_t* month_days = kMonthDays[IsLeapYear(year) ? 1 : 0];
  if (day > month_days[month - 1]) return false;
  int64_t day_of_year = day;
  for (int i = 0; i < month - 1; ++i) day_of_year += month_days[i];
  const int64_t y = year - 1;
  value = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + day_of_year - kDateDelta);
  return true;
}

DateParts DecodeDateValue(DateValue value) {
  int64_t day_number = 0;
  int64_t time_ms = 0;
  if (!SplitDateValue(value, day_number, time_ms)) return {};
  return DayNumberToDate(day_number);
}

int CurrentYear() {
  if (const auto& source = YearSource()) return source();
  // The local year only changes when the clock leaves it, and asking the time-zone rules costs
  // more than the rest of a date scan, so the year is kept with the span of time it covers.
  struct CachedYear {
    int year = 0;
    std::time_t starts = 0;
    std::time_t ends = 0;  // start of the next year
  };
  static CachedYear cached;
  const std::time_t now = std::time(nullptr);
  if (cached.year != 0 && now >= cached.starts && now < cached.ends) return cached.year;

  std::tm local{};
  if (localtime_r(&now, &local) == nullptr && gmtime_r(&now, &local) == nullptr) {
    return 1970;  // the clock's own origin, the only year left to assume
  }
  const int year = local.tm_year + 1900;
  auto year_start = [](int tm_year) {
    std::tm first{};
    first.tm_year = tm_year;
    first.tm_mday = 1;
    first.tm_isdst = -1;
    return std::mktime(&first);
  };
  const std::time_t starts = year_start(local.tm_year);
  const std::time_t ends = year_start(local.tm_year + 1);
  if (starts != static_cast<std::time_t>(-1) && ends != static_cast<std::time_t>(-1) &&
      starts <= now && now < ends) {
    cached = {year, starts, ends};
  }
  return year;
}

void SetCurrentYearSource(std::function<int()> source) { YearSource() = std::move(source); }

bool TryParseDate(std::string_view text, DateValue& value) {
  DateScanner scanner(text);
  int n1 = 0;
  int n2 = 0;
  int n3 = 0;
  size_t digits1 = 0;
  size_t digits2 = 0;
  size_t digits3 = 0;
  if (!scanner.ReadNumber(n1, digits1) || !scanner.ReadSeparator() ||
      !scanner.ReadNumber(n2, digits2)) {
    return false;
  }
  const FieldOrder order = FieldOrderOf(ShortDatePattern);
  int64_t year = 0;
  int64_t month = 0;
  int64_t day = 0;
  if (scanner.ReadSeparator()) {
    if (!scanner.ReadNumber(n3, digits3)) return false;
    size_t year_digits = digits3;
    switch (order) {
      case FieldOrder::kDayMonthYear:
        day = n1, month = n2, year = n3;
        break;
      case FieldOrder::kMonthDayYear:
        month = n1, day = n2, year = n3;
        break;
      case FieldOrder::kYearMonthDay:
        year = n1, month = n2, day = n3;
        year_digits = digits1;
        break;
    }
    if (year_digits <= 2) year = CompleteCentury(year);
  } else {
    year = CurrentYear();
    if (order == FieldOrder::kDayMonthYear) {
      day = n1, month = n2;
    } else {
      month = n1, day = n2;
    }
  }
  scanner.ReadSeparator();
  scanner.SkipBlanks();
  if (!scanner.AtEnd()) return false;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  return EncodeDateValue(static_cast<uint16_t>(year), static_cast<uint16_t>(month),
                         static_cast<uint16_t>(day), value);
}

DateValue ParseDate(std::string_view text) {
  DateValue value = 0;
  if (!TryParseDate(text, value)) {
    throw EConvertError(SourceText(N_("'%s' is not a valid date"), {std::string(text)}));
  }
  return value;
}

void AppendDate(std::string& out, DateValue value) {
  int64_t day_number = 0;
  int64_t time_ms = 0;
  DateParts date;
  if (SplitDateValue(value, day_number, time_ms)) {
    date = DayNumberToDate(day_number);
  } else {
    time_ms = 0;
  }

  const std::string& pattern = ShortDatePattern;
  // A run of pattern characters writes its own length or at most five characters (a year), so
  // the text is built in place; only an unusually long pattern needs a buffer of its own.
  const size_t bound = 5 * pattern.size();
  char local[128];
  std::string long_pattern_buffer;
  if (bound > sizeof local) long_pattern_buffer.resize(bound);
  char* const begin = bound > sizeof local ? long_pattern_buffer.data() : local;
  char* cursor = begin;
  char last_letter = 0;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    char token = Upper(c);
    if (token == 'M' && IsHourLetter(last_letter)) token = 'N';
    if (IsAsciiLetter(c)) last_letter = c;
    // Day and month names are not loaded, so runs longer than two still write digits.
    const int width = run >= 2 ? 2 : 1;
    switch (token) {
      case 'D':
        cursor = PutNumber(cursor, date.Day, width);
        break;
      case 'M':
        cursor = PutNumber(cursor, date.Month, width);
        break;
      case 'Y':
        if (run <= 2) {
          cursor = PutNumber(cursor, date.Year % 100, 2);
        } else {
          cursor = PutNumber(cursor, date.Year, 4);
        }
        break;
      case 'H':
        cursor = PutNumber(cursor, static_cast<uint32_t>(time_ms / 3600000), width);
        break;
      case 'N':
        cursor = PutNumber(cursor, static_cast<uint32_t>(time_ms / 60000 % 60), width);
        break;
      case 'S':
        cursor = PutNumber(cursor, static_cast<uint32_t>(time_ms / 1000 % 60), width);
        break;
      case '/':
        if (DateSep != '\0') cursor = PutRun(cursor, DateSep, run);
        break;
      default:
        cursor = PutRun(cursor, c, run);
        break;
    }
    i += run;
  }
  out.append(begin, cursor);
}

std::string FormatDate(DateValue value) {
  std::string text;  // the usual date fits the string's own buffer, without an allocation
  AppendDate(text, value);
  return text;
}

}  // namespace orlit
