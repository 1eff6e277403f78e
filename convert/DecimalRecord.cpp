#include <algorithm>
#include <cstring>

#include "convert/BigInteger.h"
#include "convert/FormatSettings.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

constexpr int kRawDigits = 18;
constexpr uint64_t kTenToThe18 = 1000000000000000000ULL;

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

}  // namespace

DecimalRecord MakeDecimalRecord(Extended value, int precision) {
  precision = std::clamp(precision, 1, kRawDigits);
  DecimalRecord record;
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

  const Extended magnitude = value.Abs();
  int exponent = EstimateDecimalExponent(magnitude);
  Extended scaled = ScaleByPowerOfTen(magnitude, kRawDigits - exponent).RoundToIntegral();
  if (!(scaled < Extended::FromUInt64(kTenToThe18))) {
    scaled = scaled / Extended::FromUInt16(10);
    ++exponent;
  }
  scaled = scaled.RoundToIntegral();
  const auto raw = static_cast<uint64_t>(scaled.ToInt64());

  char digits[kRawDigits];
  // Two independent halves of nine digits keep the divisions by ten short and parallel.
  auto nine_digits = [](uint32_t half, char* out) {
    for (int i = 8; i >= 0; --i) {
      out[i] = static_cast<char>('0' + half % 10);
      half /= 10;
    }
  };
  nine_digits(static_cast<uint32_t>(raw / 1000000000), digits);
  nine_digits(static_cast<uint32_t>(raw % 1000000000), digits + 9);
  int kept = precision;
  if (kept < kRawDigits && digits[kept] >= '5') {
    // Round up: nines turn into dropped digits, and a carry out of the first digit leaves "1".
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
  std::memcpy(record.Digits, digits, static_cast<size_t>(kept));
  record.Digits[kept] = '\0';
  record.Exponent = static_cast<int16_t>(exponent);
  record.Negative = value.IsNegative();
  return record;
}

std::string FormatFloatGeneral(Extended value) {
  constexpr int kPrecision = 15;
  const DecimalRecord record = MakeDecimalRecord(value, kPrecision);
  if (record.Exponent == DecimalRecord::kNaNExponent) return "NAN";
  if (record.Exponent == DecimalRecord::kInfinityExponent) return record.Negative ? "-INF" : "INF";
  std::string text = record.Negative ? "-" : "";
  const std::string_view digits = record.Digits;
  const int exponent = record.Exponent;
  if (digits.empty()) {
    text += '0';
  } else if (exponent > kPrecision || exponent < -3) {
    text += digits[0];
    if (digits.size() > 1) {
      text += DecimalSep;
      text += digits.substr(1);
    }
    text += 'E';
    text += std::to_string(exponent - 1);
  } else if (exponent >= 1) {
    const auto integer_digits = static_cast<size_t>(exponent);
    text += digits.substr(0, integer_digits);
    if (digits.size() < integer_digits) text.append(integer_digits - digits.size(), '0');
    if (digits.size() > integer_digits) {
      text += DecimalSep;
      text += digits.substr(integer_digits);
    }
  } else {
    text += '0';
    text += DecimalSep;
    text.append(static_cast<size_t>(-exponent), '0');
    text += digits;
  }
  return text;
}

}  // namespace orlit
