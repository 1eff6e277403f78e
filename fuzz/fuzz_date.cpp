// Date scanning and writing on arbitrary settings, texts and values: the scanner either accepts
// a valid date or reports the whole text, and any double at all, NaN and infinities included, is
// decoded and written without a fault.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckDateParts(const orlit::DateParts& date) {
  if (date == orlit::DateParts{}) return;
  Check(date.Year >= 1 && date.Month >= 1 && date.Month <= 12 && date.Day >= 1 && date.Day <= 31);
}

void CheckScan(std::string_view text) {
  orlit::DateValue value = 0;
  const bool accepted = orlit::TryParseDate(text, value);
  try {
    const orlit::DateValue parsed = orlit::ParseDate(text);
    Check(accepted && parsed == value);
  } catch (const orlit::EConvertError& error) {
    Check(!accepted && error.Message() == "'" + std::string(text) + "' is not a valid date");
  }
  if (!accepted) return;
  Check(value >= -693593 && value <= 2958465 && value == std::floor(value));
  const orlit::DateParts date = orlit::DecodeDateValue(value);
  orlit::DateValue encoded = 0;
  Check(orlit::EncodeDateValue(date.Year, date.Month, date.Day, encoded) && encoded == value);
}

void CheckValue(double value) {
  const orlit::DateParts date = orlit::DecodeDateValue(value);
  CheckDateParts(date);
  if (date.Year >= 1 && date.Year <= 9999) {
    orlit::DateValue encoded = 0;
    Check(orlit::EncodeDateValue(date.Year, date.Month, date.Day, encoded));
    // The time of day is cut off toward zero; the millisecond rounding may add a day.
    Check(std::fabs(encoded - value) <= 1.0);
  }
  const std::string text = orlit::FormatDate(value);
  if (orlit::ShortDatePattern == "dd/mm/yy" && orlit::DateSep == '.') {
    Check(text.size() == 8);
  }
}

}  // namespace

// Layout: the date separator, the pattern's length (low four bits) and the pattern, the clock's
// year offset from 2026, eight bytes of a double, then the text to scan.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t pos = 0;
  auto take = [&](size_t count) {
    std::string_view bytes(reinterpret_cast<const char*>(data) + pos, std::min(count, size - pos));
    pos += bytes.size();
    return bytes;
  };
  const std::string_view sep = take(1);
  orlit::DateSep = sep.empty() ? '.' : sep[0];
  const std::string_view length = take(1);
  orlit::ShortDatePattern =
      length.empty() || (length[0] & 0x10) == 0 ? "dd/mm/yy" : std::string(take(length[0] & 0x0F));
  const std::string_view clock = take(1);
  const int clock_year = 2026 + (clock.empty() ? 0 : static_cast<int8_t>(clock[0]) * 64);
  orlit::SetCurrentYearSource([clock_year] { return clock_year; });

  const std::string_view bits = take(8);
  double value = 0;
  std::memcpy(&value, bits.data(), bits.size());
  CheckValue(value);
  CheckScan(take(size));
  CheckScan(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(orlit::GetFpuControlWord() == orlit::DefaultFpuControl);
  return 0;
}
