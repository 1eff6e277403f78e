#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>

#include "convert/BigInteger.h"
#include "convert/DecimalDigits.h"
#include "convert/FormatSettings.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

constexpr int kRawDigits = 18;
constexpr size_t kFloatTextSize = 32;
constexpr uint64_t kTenToThe18 = 1000000000000000000ULL;
constexpr Extended kTenToThe18Extended = Extended::FromParts(
    false, static_cast<uint16_t>(Extended::kExponentBias + 63 - std::countl_zero(kTenToThe18)),
    kTenToThe18 << std::countl_zero(kTenToThe18));

// Whether the normal magnitude x lies below 10^exponent, exponent <= 0, decided exactly:
// m * 2^q < 10^-j holds when m * 5^j < 2^(-q-j).
bool IsBelowPowerOfTen(Extended x, int exponent) {
  const int j = -exponent;
  const int q = x.BiasedExponent() - Extended::kExponentBias - 63;
  const int bits = -q - j;
  if (bits <= 0) return false;
  BigInteger product(x.Significand());
  product.MultiplyByPowerOfFive(j);
  return product.BitLength() <= bits;
}

// The decimal exponent E with 10^(E-1) <= |x| < 10^E, from the estimate
// floor(e2 * 19728 / 65536) + 1. The estimate is never too large for e2 >= 0 and at most one too
// small; below 1 it can also be one too large, which the exact test catches.
int EstimateDecimalExponent(Extended magnitude) {
  const int binary_exponent = magnitude.BiasedExponent() - Extended::kExponentBias;
  const int scaled = binary_exponent * 19728;
  int estimate = (scaled >> 16) + 1;  // arithmetic shift: floor
  if (binary_exponent < 0) {
    // The estimate runs ahead of e2 * log10(2) by under |e2| * 0.302 / 65536, so only a
    // fractional part below that can hide a power of ten between them.
    const int fraction = scaled & 0xFFFF;
    if (fraction * 1000 <= -binary_exponent * 302 + 1000 &&
        IsBelowPowerOfTen(magnitude, estimate - 1)) {
      --estimate;
    }
  }
  return estimate;
}

// The nine decimal digits of `value` < 10^9, with leading zeros.
void WriteNineDigits(uint32_t value, char* out) {
  out[0] = static_cast<char>('0' + value / 100000000);
  value %= 100000000;
  for (int i = 7; i >= 1; i -= 2) {
    WriteTwoDigits(value % 100, out + i);
    value /= 100;
  }
}

// Rounds the eighteen digits of `raw` to `precision` in characters: only the first dropped digit
// decides, nines carry, a carry out of the first digit leaves "1", trailing zeros go. Writes the
// digits, zero-terminated, and returns their number. Kept for what RoundDigits does not take:
// a directed rounding mode can leave 99999999999999999, whose first character is a zero.
int RoundDigitCharacters(uint64_t raw, int precision, int& exponent, char* out) {
  char digits[kRawDigits];
  // Two independent halves of nine digits keep the divisions short and parallel.
  WriteNineDigits(static_cast<uint32_t>(raw / 1000000000), digits);
  WriteNineDigits(static_cast<uint32_t>(raw % 1000000000), digits + 9);
  int kept = precision;
  if (kept < kRawDigits && digits[kept] >= '5') {
    while (kept > 0 && digits[kept - 1] == '9') --kept;
    if (kept == 0) {
      digits[0] = '1';
      kept = 1;
      ++exponent;
    } else {
      ++digits[kept - 1];
    }
  } else {
    while (kept > 0 && digits[kept - 1] == '0') --kept;
  }
  std::memcpy(out, digits, static_cast<size_t>(kept));
  out[kept] = '\0';
  return kept;
}

constexpr auto kIntegerPowersOfTen = [] {
  struct {
    uint64_t value[kRawDigits + 1];
  } powers{};
  powers.value[0] = 1;
  for (int i = 1; i <= kRawDigits; ++i) powers.value[i] = powers.value[i - 1] * 10;
  return powers;
}();

// RoundDigitCharacters for 10^17 <= raw < 10^18, on the integer: the first dropped digit is at
// least 5 exactly when the dropped part is at least half the divisor, and the nines carry by
// themselves. Same digits, fewer steps.
inline int RoundDigits(uint64_t raw, int precision, int& exponent, char* out) {
  uint64_t kept = raw;
  if (precision < kRawDigits) {
    const uint64_t divisor = kIntegerPowersOfTen.value[kRawDigits - precision];
    kept = raw / divisor;
    if (raw % divisor >= divisor / 2) ++kept;
    if (kept == kIntegerPowersOfTen.value[precision]) {
      out[0] = '1';
      out[1] = '\0';
      ++exponent;
      return 1;
    }
  }
  // `kept` has `precision` digits, the first non-zero; the trailing zeros go.
  int count = precision;
  while (kept % 100000000 == 0) {
    kept /= 100000000;
    count -= 8;
  }
  for (int digits = 4; digits >= 1; digits /= 2) {
    const uint64_t power = kIntegerPowersOfTen.value[digits];
    if (kept % power == 0) {
      kept /= power;
      count -= digits;
    }
  }
  out[count] = '\0';
  int end = count;
  for (; end >= 2; end -= 2) {
    WriteTwoDigits(static_cast<uint32_t>(kept % 100), out + end - 2);
    kept /= 100;
  }
  if (end == 1) out[0] = static_cast<char>('0' + kept);
  return count;
}

// MakeDecimalRecord's work; also gives the number of digits. Inline, so that the general text
// divides by constants.
inline DecimalRecord MakeRecord(Extended value, int precision, int& digit_count) {
  precision = std::clamp(precision, 1, kRawDigits);
  DecimalRecord record;
  digit_count = 0;
  const uint16_t biased = value.BiasedExponent();
  if (biased == Extended::kMaxExponent || (biased != 0 && !(value.Significand() >> 63))) {
    if (value.IsInfinity()) {
      record.Exponent = DecimalRecord::kInfinityExponent;
      record.Negative = value.IsNegative();
    } else {
      record.Exponent = DecimalRecord::kNaNExponent;
    }
    return record;
  }
  if (biased == 0) return record;  // zero, and everything below the smallest normal

  const int binary_exponent = biased - Extended::kExponentBias;
  if (binary_exponent >= 0 && binary_exponent < 60 &&
      (value.Significand() << (binary_exponent + 1)) == 0) {
    // An integer of at most `precision` digits: the scaling multiplies it by an exact power of
    // ten to below 10^19, so that product, its rounding, the division by ten and the conversion
    // are all exact and raise nothing. The eighteen digits are the integer's own, followed by
    // zeros.
    const uint64_t integer = value.Significand() >> (63 - binary_exponent);
    if (integer < kIntegerPowersOfTen.value[precision]) {
      int exponent = 1;
      while (integer >= kIntegerPowersOfTen.value[exponent]) ++exponent;
      const uint64_t raw = integer * kIntegerPowersOfTen.value[kRawDigits - exponent];
      digit_count = RoundDigits(raw, precision, exponent, record.Digits);
      record.Exponent = static_cast<int16_t>(exponent);
      record.Negative = value.IsNegative();
      return record;
    }
  }

  const Extended magnitude = value.Abs();
  int exponent = EstimateDecimalExponent(magnitude);
  Extended scaled = ScaleByPowerOfTen(magnitude, kRawDigits - exponent).RoundToIntegral();
  if (!(scaled < kTenToThe18Extended)) {
    // Rounding again is only needed after the division: on an integral value it changes no bit
    // and raises nothing.
    scaled = (scaled / Extended::FromUInt16(10)).RoundToIntegral();
    ++exponent;
  }
  const auto raw = static_cast<uint64_t>(scaled.ToInt64());
  digit_count = raw >= kTenToThe18 / 10 && raw < kTenToThe18
                    ? RoundDigits(raw, precision, exponent, record.Digits)
                    : RoundDigitCharacters(raw, precision, exponent, record.Digits);
  record.Exponent = static_cast<int16_t>(exponent);
  record.Negative = value.IsNegative();
  return record;
}

}  // namespace

DecimalRecord MakeDecimalRecord(Extended value, int precision) {
  int digit_count = 0;
  return MakeRecord(value, precision, digit_count);
}

namespace {

// The general text of `value` into `text`, which holds kFloatTextSize characters; returns its
// end.
char* WriteFloatGeneral(Extended value, char* const text) {
  constexpr int kPrecision = 15;
  int count = 0;
  const DecimalRecord record = MakeRecord(value, kPrecision, count);
  char* out = text;
  auto put = [&out](const char* from, size_t size) {
    std::memcpy(out, from, size);
    out += size;
  };
  if (record.Exponent == DecimalRecord::kNaNExponent) {
    put("NAN", 3);
    return out;
  }
  if (record.Exponent == DecimalRecord::kInfinityExponent) {
    if (record.Negative) *out++ = '-';
    put("INF", 3);
    return out;
  }
  // The longest text, "-0.000" and 15 digits, or "-", 15 digits, point and "E-4951", fits.
  if (record.Negative) *out++ = '-';
  const char* digits = record.Digits;
  const auto digit_count = static_cast<size_t>(count);
  const int exponent = record.Exponent;
  if (digit_count == 0) {
    *out++ = '0';
  } else if (exponent > kPrecision || exponent < -3) {
    *out++ = digits[0];
    if (digit_count > 1) {
      *out++ = DecimalSep;
      put(digits + 1, digit_count - 1);
    }
    *out++ = 'E';
    out = std::to_chars(out, text + kFloatTextSize, exponent - 1).ptr;
  } else if (exponent >= 1) {
    const auto integer_digits = static_cast<size_t>(exponent);
    put(digits, std::min(digit_count, integer_digits));
    if (digit_count < integer_digits) {
      std::memset(out, '0', integer_digits - digit_count);
      out += integer_digits - digit_count;
    }
    if (digit_count > integer_digits) {
      *out++ = DecimalSep;
      put(digits + integer_digits, digit_count - integer_digits);
    }
  } else {
    *out++ = '0';
    *out++ = DecimalSep;
    std::memset(out, '0', static_cast<size_t>(-exponent));
    out += -exponent;
    put(digits, digit_count);
  }
  return out;
}

}  // namespace

std::string FormatFloatGeneral(Extended value) {
  char text[kFloatTextSize];
  return std::string(text, WriteFloatGeneral(value, text));
}

void AppendFloatGeneral(std::string& out, Extended value) {
  char text[kFloatTextSize];
  out.append(text, WriteFloatGeneral(value, text));
}

}  // namespace orlit
