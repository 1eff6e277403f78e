#include "convert/NumberConversion.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ScanInteger(std::string_view text, int32_t& result) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  uint32_t value = 0;
  const char first = text[i];
  const bool hexadecimal =
      first == '$' || first == 'x' || first == 'X' ||
      (first == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X'));
  if (hexadecimal) {
    i += first == '0' ? 2 : 1;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
      const int digit = HexDigit(text[i]);
      if (digit < 0 || value > 0x0FFFFFFF) return false;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
  } else {
    for (; i < text.size(); ++i) {
      if (!IsDigit(text[i]) || value > 214748364) return false;
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    }
    if (value > (negative ? 2147483648u : 2147483647u)) return false;
  }
  // Hexadecimal text is the 32-bit pattern itself, so "$FFFFFFFF" is -1 and "-" wraps.
  result = static_cast<int32_t>(negative ? 0u - value : value);
  return true;
}

// Digits accumulate exactly in an integer as long as v * 10 + d stays below 2^64, where the
// extended steps would be exact too; from there on each step is rounded in extended.
class DigitAccumulator {
 public:
  void Add(int digit) {
    if (!extended_) {
      constexpr uint64_t kLimit = (UINT64_MAX - 9) / 10;
      if (integer_ <= kLimit) {
        integer_ = integer_ * 10 + static_cast<uint64_t>(digit);
        return;
      }
      extended_ = true;
      value_ = Extended::FromUInt64(integer_);
    }
    value_ = value_ * Extended::FromUInt16(10) + Extended::FromUInt16(static_cast<uint16_t>(digit));
  }
  // Eight digits at once, while the result surely stays below 2^64.
  bool CanTakeEight() const { return !extended_ && integer_ < 100000000000ULL; }
  void AddEight(uint64_t eight_digits) { integer_ = integer_ * 100000000 + eight_digits; }
  Extended Value() const { return extended_ ? value_ : Extended::FromUInt64(integer_); }

 private:
  uint64_t integer_ = 0;
  bool extended_ = false;
  Extended value_;
};

// Eight ASCII digits read as one little-endian word: test and convert them without a loop.
bool AreEightDigits(uint64_t chunk) {
  return ((chunk & 0xF0F0F0F0F0F0F0F0) |
          (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) == 0x3333333333333333;
}

uint64_t EightDigitsValue(uint64_t chunk) {
  chunk -= 0x3030303030303030;
  chunk = chunk * 10 + (chunk >> 8);  // pairs
  return (((chunk & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
          (((chunk >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
         32;
}

// Reads the digits from position i on into `digits`; returns the position after them.
size_t ReadDigits(std::string_view text, size_t i, DigitAccumulator& digits) {
  if constexpr (std::endian::native == std::endian::little) {
    while (i + 8 <= text.size() && digits.CanTakeEight()) {
      uint64_t chunk = 0;
      std::memcpy(&chunk, text.data() + i, 8);
      if (!AreEightDigits(chunk)) break;
      digits.AddEight(EightDigitsValue(chunk));
      i += 8;
    }
  }
  for (; i < text.size() && IsDigit(text[i]); ++i) digits.Add(text[i] - '0');
  return i;
}

bool ScanFloat(std::string_view text, Extended& result) {
  size_t i = 0;
  const size_t size = text.size();
  while (i < size && text[i] == ' ') ++i;
  bool negative = false;
  if (i < size && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  DigitAccumulator digits;
  i = ReadDigits(text, i, digits);
  int64_t fraction_digits = 0;
  if (i < size && text[i] == DecimalSep) {
    const size_t fraction_start = i + 1;
    i = ReadDigits(text, fraction_start, digits);
    fraction_digits = static_cast<int64_t>(i - fraction_start);
  }
  if (i == start) return false;
  int64_t exponent = 0;
  if (i < size && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool negative_exponent = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) negative_exponent = text[i++] == '-';
    for (; i < size && IsDigit(text[i]) && exponent < 500; ++i) {
      exponent = exponent * 10 + (text[i] - '0');
    }
    if (negative_exponent) exponent = -exponent;
  }
  while (i < size && text[i] == ' ') ++i;
  if (i != size) return false;
  // Past +-5120 the scaling ignores the exponent's size, so a clamp changes nothing.
  int64_t scale = exponent - fraction_digits;
  if (scale < -100000) scale = -100000;
  Extended value = ScaleByPowerOfTen(digits.Value(), static_cast<int>(scale));
  if (negative) value = -value;
  if ((GetFpuStatusFlags() & (kFpuInvalid | kFpuOverflow)) != 0) return false;
  result = value;
  return true;
}

}  // namespace

int32_t ParseInteger(std::string_view text) {
  int32_t value = 0;
  if (!ScanInteger(text, value)) {
    throw EConvertError(SourceText(N_("'%s' is not a valid integer value"), {std::string(text)}));
  }
  return value;
}

bool TryParseFloat(std::string_view text, Extended& value) {
  // The scan masks every exception and judges the flags at the end.
  ScopedFpuControl all_masked(kFpuAllMasked);
  return ScanFloat(text, value);
}

Extended ParseFloat(std::string_view text) {
  Extended value;
  if (!TryParseFloat(text, value)) {
    throw EConvertError(
        SourceText(N_("'%s' is not a valid floating point value"), {std::string(text)}));
  }
  return value;
}

std::string FormatInteger(int32_t value) {
  char text[16];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

void AppendInteger(std::string& out, int64_t value) {
  char text[24];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  out.append(text, static_cast<size_t>(end - text));
}

int64_t TruncToInt64(Extended value) {
  constexpr uint16_t kTowardZero = 0x0C00;
  const uint16_t saved = GetFpuControlWord();
  SetFpuControlWord(saved | kTowardZero);
  // A fault throws from here with the environment reset, which is what must remain.
  const int64_t result = value.ToInt64();
  SetFpuControlWord(saved);
  return result;
}

int64_t RoundToInt64(Extended value) { return value.ToInt64(); }

}  // namespace orlit
