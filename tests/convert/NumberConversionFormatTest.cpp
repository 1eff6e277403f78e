#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

__extension__ typedef unsigned __int128 Uint128;

// A minimal exact integer (least significant word first), independent of the one the tables
// are computed with.
using Words = std::vector<uint32_t>;

Words Shifted(Uint128 value, int shift) {
  Words words(static_cast<size_t>(shift / 32) + 5, 0);
  for (int i = 0; i < 128; ++i) {
    if (((value >> i) & 1) == 0) continue;
    const int bit = i + shift;
    words[static_cast<size_t>(bit / 32)] |= uint32_t{1} << (bit % 32);
  }
  return words;
}

void TimesTen(Words& words) {
  uint64_t carry = 0;
  for (uint32_t& word : words) {
    const uint64_t product = uint64_t{word} * 10 + carry;
    word = static_cast<uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) words.push_back(static_cast<uint32_t>(carry));
}

int Compare(const Words& a, const Words& b) {
  for (size_t i = std::max(a.size(), b.size()); i > 0; --i) {
    const uint32_t x = i <= a.size() ? a[i - 1] : 0;
    const uint32_t y = i <= b.size() ? b[i - 1] : 0;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// Checks that factor = sig * 2^q is the extended value nearest 10^n, ties to even, and exactly
// 10^n up to 10^27. Everything is scaled by 2^s to stay integral.
void ExpectNearestPowerOfTen(Extended factor, int n) {
  SCOPED_TRACE(n);
  const uint64_t sig = factor.Significand();
  ASSERT_TRUE(sig & Extended::kIntegerBit);
  const int q = factor.BiasedExponent() - Extended::kExponentBias - 63;
  const int s = q < 1 ? 1 - q : 0;
  Words power = Shifted(1, s);
  for (int i = 0; i < n; ++i) TimesTen(power);
  const Words low = Shifted(Uint128{sig} * 2 - 1, q - 1 + s);
  const Words high = Shifted(Uint128{sig} * 2 + 1, q - 1 + s);
  const int below = Compare(low, power);
  const int above = Compare(power, high);
  EXPECT_LE(below, 0);
  EXPECT_LE(above, 0);
  if (below == 0 || above == 0) {
    EXPECT_EQ(sig & 1, 0u);
  }
  if (n <= 27) {
    EXPECT_EQ(Compare(Shifted(sig, q + s), power), 0);
  }
}

TEST(PowerOfTenTablesTest, EachFactorIsTheNearestExtendedValue) {
  const PowerOfTenTables& tables = PowersOfTen();
  for (int i = 0; i < 32; ++i) ExpectNearestPowerOfTen(tables.small[i], i);
  for (int i = 0; i < 15; ++i) ExpectNearestPowerOfTen(tables.medium[i], 32 * (i + 1));
  for (int i = 0; i < 9; ++i) ExpectNearestPowerOfTen(tables.large[i], 512 * (i + 1));
  EXPECT_EQ(tables.large[8].SignExponent(), 0x7BCA);  // 10^4608 ~ 2^15307.4
}

#if defined(__x86_64__)
// The compiler reads decimal literals correctly rounded: a second, independent source.
TEST(PowerOfTenTablesTest, FactorsAgreeWithTheCompilersLiterals) {
  static_assert(__LDBL_MANT_DIG__ == 64);
  const struct {
    int n;
    long double literal;
  } cases[] = {{28, 1e28L},     {29, 1e29L},     {30, 1e30L},     {31, 1e31L},     {32, 1e32L},
               {64, 1e64L},     {96, 1e96L},     {128, 1e128L},   {160, 1e160L},   {192, 1e192L},
               {224, 1e224L},   {256, 1e256L},   {288, 1e288L},   {320, 1e320L},   {352, 1e352L},
               {384, 1e384L},   {416, 1e416L},   {448, 1e448L},   {480, 1e480L},   {512, 1e512L},
               {1024, 1e1024L}, {1536, 1e1536L}, {2048, 1e2048L}, {2560, 1e2560L}, {3072, 1e3072L},
               {3584, 1e3584L}, {4096, 1e4096L}, {4608, 1e4608L}};
  for (const auto& c : cases) {
    const Extended factor = NearestPowerOfTen(c.n);
    uint64_t significand = 0;
    uint16_t sign_exponent = 0;
    std::memcpy(&significand, &c.literal, 8);
    std::memcpy(&sign_exponent, reinterpret_cast<const char*>(&c.literal) + 8, 2);
    EXPECT_EQ(factor.Significand(), significand) << c.n;
    EXPECT_EQ(factor.SignExponent(), sign_exponent) << c.n;
  }
}
#endif

class FormatFloatGeneralTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFpu();
    saved_ = DecimalSep;
  }
  void TearDown() override {
    DecimalSep = saved_;
    ResetFpu();
  }
  char saved_ = '.';
};

TEST_F(FormatFloatGeneralTest, WorkedExamplesWithPointAndComma) {
  const struct {
    Extended value;
    const char* point;
    const char* comma;
  } cases[] = {
      {Extended::FromInt32(65), "65", "65"},
      {Extended::FromDouble(24.5), "24.5", "24,5"},
      {Extended::FromDouble(65 / 24.5), "2.6530612244898", "2,6530612244898"},
      {Extended::FromDouble(1 / 24.5), "0.0408163265306122", "0,0408163265306122"},
      {Extended::FromDouble(2.0 / 3), "0.666666666666667", "0,666666666666667"},
      {Extended::FromDouble(999999999999999.0), "999999999999999", "999999999999999"},
      {Extended::FromDouble(1e15), "1E15", "1E15"},
      {Extended::FromDouble(1234567890123456.0), "1.23456789012346E15", "1,23456789012346E15"},
      {Extended::FromDouble(1234567890123445.0), "1.23456789012345E15", "1,23456789012345E15"},
      {Extended::FromDouble(0.0001), "0.0001", "0,0001"},
      {Extended::FromDouble(0.00001), "1E-5", "1E-5"},
      {Extended::FromDouble(-2.5e-7), "-2.5E-7", "-2,5E-7"},
      {Extended::FromDouble(0.9999999999999999), "1", "1"},
      {Extended::FromDouble(1e100), "1E100", "1E100"},
      {Extended(), "0", "0"},
      {-Extended(), "0", "0"},
      {Extended::FromDouble(1.229294942982475e-11), "1.22929494298248E-11", "1,22929494298248E-11"},
      // Around the layout switches and the special values.
      {Extended::FromDouble(123456789012345.6), "123456789012346", "123456789012346"},
      {Extended::FromDouble(0.00012345), "0.00012345", "0,00012345"},
      {Extended::FromDouble(-0.001), "-0.001", "-0,001"},
      {Extended::FromInt32(-1000), "-1000", "-1000"},
      {Extended::FromDouble(1.5e300), "1.5E300", "1,5E300"},
      {Extended::FromDouble(4464 / 24.5), "182.204081632653", "182,204081632653"},
      {Extended::FromParts(false, 0x7FFE, ~uint64_t{0}), "1.18973149535723E4932",
       "1,18973149535723E4932"},
      {Extended::FromParts(false, 0x0001, Extended::kIntegerBit), "3.36210314311209E-4932",
       "3,36210314311209E-4932"},
      {Extended::FromParts(true, 0x0000, 0x7FFFFFFFFFFFFFFF), "0", "0"},  // below the normals
      {Extended::Infinity(), "INF", "INF"},
      {Extended::Infinity(true), "-INF", "-INF"},
      {Extended::Indefinite(), "NAN", "NAN"},
  };
  for (const auto& c : cases) {
    DecimalSep = '.';
    EXPECT_EQ(FormatFloatGeneral(c.value), c.point);
    DecimalSep = ',';
    EXPECT_EQ(FormatFloatGeneral(c.value), c.comma);
  }
}

TEST_F(FormatFloatGeneralTest, WalkThroughs) {
  // 1.229294942982475e-11: the estimate E = -11 is one too small; the scaled product is
  // 1229294942982474994.625, its tenth rounds to the even ...500 and E becomes -10.
  const Extended small = Extended::FromDouble(1.229294942982475e-11);
  const Extended product = ScaleByPowerOfTen(small, 29);
  EXPECT_TRUE(
      product.IdenticalTo(Extended::FromUInt64(1229294942982474994) + Extended::FromDouble(0.625)));
  DecimalRecord record = MakeDecimalRecord(small, 18);
  EXPECT_STREQ(record.Digits, "1229294942982475");
  EXPECT_EQ(record.Exponent, -10);
  record = MakeDecimalRecord(small);
  EXPECT_STREQ(record.Digits, "122929494298248");

  // 65 / 24.5: the scaled product 265306122448979575.515625 rounds to ...576.
  const Extended quotient = Extended::FromDouble(65 / 24.5);
  EXPECT_TRUE(
      ScaleByPowerOfTen(quotient, 17)
          .IdenticalTo(Extended::FromUInt64(265306122448979575) + Extended::FromDouble(0.515625)));
  record = MakeDecimalRecord(quotient, 18);
  EXPECT_STREQ(record.Digits, "265306122448979576");
  EXPECT_EQ(record.Exponent, 1);
  record = MakeDecimalRecord(quotient);
  EXPECT_STREQ(record.Digits, "26530612244898");
  EXPECT_FALSE(record.Negative);
}

TEST_F(FormatFloatGeneralTest, OnlyTheSixteenthDigitDecidesTheRounding) {
  const struct {
    uint64_t value;
    const char* digits;
    int exponent;
  } cases[] = {
      {123456789012345499, "123456789012345", 18},  // a 4 rounds down before the 9s
      {123456789012345500, "123456789012346", 18},  // a 5 followed by zeros rounds up
      {999999999999999500, "1", 19},                // carry out of the first digit
      {100000000000000000, "1", 18},
      {120000000000000000, "12", 18},
  };
  for (const auto& c : cases) {
    const DecimalRecord record = MakeDecimalRecord(Extended::FromUInt64(c.value));
    EXPECT_STREQ(record.Digits, c.digits) << c.value;
    EXPECT_EQ(record.Exponent, c.exponent) << c.value;
  }
  const DecimalRecord negative = MakeDecimalRecord(Extended::FromInt32(-7));
  EXPECT_TRUE(negative.Negative);
  EXPECT_EQ(MakeDecimalRecord(Extended::Infinity(true)).Exponent, DecimalRecord::kInfinityExponent);
  EXPECT_TRUE(MakeDecimalRecord(Extended::Infinity(true)).Negative);
  EXPECT_EQ(MakeDecimalRecord(Extended::Indefinite()).Exponent, DecimalRecord::kNaNExponent);
  EXPECT_FALSE(MakeDecimalRecord(Extended::Indefinite()).Negative);
}

// Every normal binade from 2^-16382 to 2^16383, at both ends and in the middle: the first digit
// is non-zero and the exponent is the true one, also where the estimate runs ahead or behind.
TEST_F(FormatFloatGeneralTest, DecimalExponentIsExactAcrossTheWholeRange) {
  for (int biased = 1; biased < 0x7FFF; ++biased) {
    for (uint64_t significand : {Extended::kIntegerBit, ~uint64_t{0}, 0xB504F333F9DE6484}) {
      const Extended value = Extended::FromParts(false, static_cast<uint16_t>(biased), significand);
      const DecimalRecord record = MakeDecimalRecord(value, 18);
      ASSERT_NE(record.Digits[0], '0') << biased;
      ASSERT_NE(record.Digits[0], '\0') << biased;
      // log10 of the value in long double arithmetic is good to far better than the margin.
      const long double log10 =
          (biased - 16383 - 63) * 0.30102999566398119521L + std::log10((long double)significand);
      const long double fraction = log10 - std::floor(log10);
      if (fraction > 1e-9L && fraction < 1 - 1e-9L) {
        ASSERT_EQ(record.Exponent, static_cast<int>(std::floor(log10)) + 1) << biased;
      }
    }
  }
}

}  // namespace
}  // namespace orlit
