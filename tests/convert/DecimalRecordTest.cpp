// MakeDecimalRecord takes shortcuts (comparisons on the bits, the integer read off the
// significand, rounding on the integer rather than the characters). Here it is held against the
// plain algorithm written with the public operations only, for digits, exponent, sign, flags and
// faults, under every rounding mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "convert/BigInteger.h"
#include "convert/Exceptions.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

constexpr int kRawDigits = 18;

// floor(e2 * log10(2)) + 1 from 19728 / 65536, made exact below 1 where it can run one ahead.
int EstimatedExponent(Extended magnitude) {
  const int e2 = magnitude.BiasedExponent() - Extended::kExponentBias;
  const int scaled = e2 * 19728;
  int estimate = (scaled >> 16) + 1;
  if (e2 < 0 && (scaled & 0xFFFF) * 1000 <= -e2 * 302 + 1000) {
    const int j = 1 - estimate;  // is magnitude < 10^(estimate - 1) = 10^-j?
    const int bits = -(magnitude.BiasedExponent() - Extended::kExponentBias - 63) - j;
    if (bits > 0) {
      BigInteger product(magnitude.Significand());
      product.MultiplyByPowerOfFive(j);
      if (product.BitLength() <= bits) --estimate;
    }
  }
  return estimate;
}

DecimalRecord PlainRecord(Extended value, int precision) {
  precision = std::clamp(precision, 1, kRawDigits);
  DecimalRecord record;
  const uint16_t biased = value.BiasedExponent();
  if (biased == Extended::kMaxExponent || (biased != 0 && !(value.Significand() >> 63))) {
    record.Exponent =
        value.IsInfinity() ? DecimalRecord::kInfinityExponent : DecimalRecord::kNaNExponent;
    record.Negative = value.IsInfinity() && value.IsNegative();
    return record;
  }
  if (biased == 0) return record;
  const Extended magnitude = value.Abs();
  int exponent = EstimatedExponent(magnitude);
  Extended scaled = ScaleByPowerOfTen(magnitude, kRawDigits - exponent).RoundToIntegral();
  if (!(scaled < Extended::FromUInt64(1000000000000000000ULL))) {
    scaled = scaled / Extended::FromUInt16(10);
    ++exponent;
  }
  scaled = scaled.RoundToIntegral();
  const auto raw = static_cast<uint64_t>(scaled.ToInt64());
  char digits[kRawDigits + 1];
  std::snprintf(digits, sizeof digits, "%09u%09u",
                static_cast<unsigned>(raw / 1000000000 % 1000000000),
                static_cast<unsigned>(raw % 1000000000));
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
  std::memcpy(record.Digits, digits, static_cast<size_t>(kept));
  record.Digits[kept] = '\0';
  record.Exponent = static_cast<int16_t>(exponent);
  record.Negative = value.IsNegative();
  return record;
}

// What one run leaves behind: the record or the fault, and the flags.
struct Outcome {
  std::string text;
  uint16_t flags = 0;
  bool operator==(const Outcome&) const = default;
};

template <typename MakeRecord>
Outcome RunUnder(uint16_t control, MakeRecord make) {
  ResetFpu();
  SetFpuControlWord(control);
  Outcome outcome;
  try {
    const DecimalRecord r = make();
    outcome.text = std::to_string(r.Exponent) + (r.Negative ? " - " : " + ") + r.Digits;
  } catch (const Exception& e) {
    outcome.text = e.ClassName();
  }
  outcome.flags = GetFpuStatusFlags();
  ResetFpu();
  return outcome;
}

class ValueSource {
 public:
  uint64_t Below(uint64_t n) { return random_() % n; }

  Extended Any() {
    const bool negative = Below(2) != 0;
    switch (Below(10)) {
      case 0: {  // a few units in the last place around a power of ten, or a binary scaling
        const Extended ten_to_the_n = NearestPowerOfTen(static_cast<int>(Below(600)));
        const Extended power = Below(2) ? ten_to_the_n : Extended::FromUInt16(1) / ten_to_the_n;
        const uint64_t significand = power.Significand() + Below(9) - 4;
        if ((significand & Extended::kIntegerBit) == 0) return power;
        const int shift = static_cast<int>(Below(2)) * static_cast<int>(Below(9000));
        const int biased = power.BiasedExponent() - shift;
        return Extended::FromParts(negative, static_cast<uint16_t>(std::max(biased, 1)),
                                   significand);
      }
      case 1:  // integers, with and without trailing zeros
        return Extended::FromUInt64(random_() >> Below(64));
      case 2:  // what the calculation writes: quotients of small numbers
        return Extended::FromDouble(static_cast<double>(Below(70000)) /
                                    (static_cast<double>(Below(400)) / 4 + 0.25));
      case 3:  // runs of nines and zeros in the digits
        return Extended::FromUInt64((Below(2) ? 999999999999999999ULL : 100000000000000000ULL) +
                                    Below(2000) - 1000) *
               NearestPowerOfTen(static_cast<int>(Below(20)));
      case 4:
        return Extended::FromParts(negative, static_cast<uint16_t>(16383 - 64 + Below(128)),
                                   Extended::kIntegerBit | random_());
      case 5:  // not normal: zero, denormals, pseudo-denormals, unnormals, NaNs, infinities
        switch (Below(6)) {
          case 0:
            return Extended::FromParts(negative, 0, random_() >> 1);
          case 1:
            return Extended::FromParts(negative, 0, Extended::kIntegerBit | random_());
          case 2:
            return Extended::FromParts(negative, static_cast<uint16_t>(1 + Below(0x7FFE)),
                                       random_() >> 1);
          case 3:
            return Extended::Infinity(negative);
          case 4:
            return Extended::FromParts(negative, Extended::kMaxExponent, random_() | (1ULL << 62));
          default:
            return Extended::FromParts(negative, 0, 0);
        }
      default:
        return Extended::FromParts(negative, static_cast<uint16_t>(1 + Below(0x7FFE)),
                                   Extended::kIntegerBit | random_());
    }
  }

 private:
  std::mt19937_64 random_{0xDEC1AA1};
};

TEST(DecimalRecordTest, SameAsThePlainAlgorithmUnderEveryRoundingMode) {
  ValueSource source;
  int failures = 0;
  for (int i = 0; i < 400000 && failures < 10; ++i) {
    const Extended value = source.Any();
    const int precision = source.Below(4) == 0 ? 15 : static_cast<int>(source.Below(21)) - 1;
    // Mostly everything masked; now and then a fault on precision or on a denormal operand.
    const uint16_t masks = source.Below(8) == 0 ? 0x1F : source.Below(8) == 0 ? 0x3D : 0x3F;
    const auto control = static_cast<uint16_t>(0x1300 | masks | (source.Below(4) << 10));
    const Outcome expected = RunUnder(control, [&] { return PlainRecord(value, precision); });
    const Outcome actual = RunUnder(control, [&] { return MakeDecimalRecord(value, precision); });
    if (!(expected == actual)) {
      ++failures;
      ADD_FAILURE() << std::hex << value.SignExponent() << ":" << value.Significand() << std::dec
                    << " precision " << precision << " control " << control << "\n  plain "
                    << expected.text << " flags " << expected.flags << "\n  made  " << actual.text
                    << " flags " << actual.flags;
    }
  }
}

// Rounding on the integer at every precision: the first dropped digit alone decides, nines
// carry into a shorter text, a carry out of the first digit gives "1" one place up.
TEST(DecimalRecordTest, RoundingAtEachPrecision) {
  const struct {
    uint64_t value;
    int precision;
    const char* digits;
    int exponent;
  } kRows[] = {
      {123456789012345678, 18, "123456789012345678", 18},
      {123456789012345678, 17, "12345678901234568", 18},
      {123456789012345678, 1, "1", 18},
      {153456789012345678, 1, "2", 18},
      {949999999999999999, 1, "9", 18},
      {950000000000000000, 1, "1", 19},
      {999999999999999999, 17, "1", 19},
      {129999999999999999, 3, "13", 18},
      {100000000000000000, 18, "1", 18},
      {100000000000000050, 17, "10000000000000005", 18},  // keeps its inner zeros
      {100000000000000050, 16, "1000000000000001", 18},
      {109500000000000000, 3, "11", 18},
      {120000000000000001, 18, "120000000000000001", 18},
      {120000000000000001, 17, "12", 18},
  };
  for (const auto& row : kRows) {
    ResetFpu();
    const DecimalRecord record = MakeDecimalRecord(Extended::FromUInt64(row.value), row.precision);
    EXPECT_STREQ(record.Digits, row.digits) << row.value << " " << row.precision;
    EXPECT_EQ(record.Exponent, row.exponent) << row.value << " " << row.precision;
    EXPECT_EQ(GetFpuStatusFlags(), 0) << row.value;
  }
}

}  // namespace
}  // namespace orlit
