#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "convert/Exceptions.h"
#include "convert/Extended.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

constexpr uint64_t kTop = Extended::kIntegerBit;

Extended Bits(uint16_t sign_exponent, uint64_t significand) {
  return Extended::FromBits(sign_exponent, significand);
}

Extended One() { return Bits(0x3FFF, kTop); }

::testing::AssertionResult Identical(Extended expected, Extended actual) {
  if (expected.IdenticalTo(actual)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::hex << "expected " << expected.SignExponent() << ":" << expected.Significand()
         << " got " << actual.SignExponent() << ":" << actual.Significand();
}

class ExtendedTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFpu(); }
  void TearDown() override { ResetFpu(); }
};

TEST_F(ExtendedTest, WideningIsExact) {
  EXPECT_TRUE(Identical(Extended(), Extended::FromInt64(0)));
  EXPECT_TRUE(Identical(Bits(0xC03E, kTop), Extended::FromInt64(INT64_MIN)));
  EXPECT_TRUE(Identical(Bits(0x403E, ~uint64_t{0}), Extended::FromUInt64(UINT64_MAX)));
  EXPECT_TRUE(Identical(Bits(0x400E, 0xFFFF000000000000), Extended::FromUInt16(65535)));
  EXPECT_TRUE(Identical(Bits(0xC01D, 0xFFFFFFFE00000000), Extended::FromInt32(-2147483647)));
  EXPECT_TRUE(Identical(Bits(0x4003, 0xC400000000000000), Extended::FromDouble(24.5)));
  EXPECT_TRUE(Identical(Bits(0x8000, 0), Extended::FromDouble(-0.0)));
  // The smallest double denormal is a normal extended value; reading it reports a denormal.
  EXPECT_TRUE(Identical(Bits(0x3BCD, kTop),
                        Extended::FromDouble(std::numeric_limits<double>::denorm_min())));
  EXPECT_EQ(GetFpuStatusFlags(), kFpuDenormal);
  EXPECT_TRUE(Identical(Bits(0x43FE, 0xFFFFFFFFFFFFF800),
                        Extended::FromDouble(std::numeric_limits<double>::max())));
}

TEST_F(ExtendedTest, SignallingNaNOperandsFaultUnderTheDefaultControlWord) {
  const Extended signalling = Bits(0x7FFF, 0x8000000000000001);
  EXPECT_THROW(signalling + One(), EInvalidOp);
  EXPECT_THROW((void)(signalling < One()), EInvalidOp);
  EXPECT_THROW(Extended::FromDouble(std::numeric_limits<double>::signaling_NaN()), EInvalidOp);
  // A quiet NaN passes through arithmetic and compares unordered without a fault.
  const Extended quiet = Bits(0x7FFF, 0xC000000000000123);
  EXPECT_TRUE(Identical(quiet, quiet * One()));
  EXPECT_FALSE(quiet == quiet);
  EXPECT_EQ(GetFpuStatusFlags(), 0);
}

struct FaultCase {
  const char* what;
  std::function<void()> operation;
  const char* class_name;
  const char* message;
};

TEST_F(ExtendedTest, FaultsUnderDefaultControlWord) {
  const Extended zero;
  const Extended infinity = Extended::Infinity();
  const Extended largest = Bits(0x7FFE, ~uint64_t{0});
  const FaultCase cases[] = {
      {"1 / 0", [&] { (void)(One() / zero); }, "EZeroDivide", "Floating point division by zero"},
      {"-1 / -0", [&] { (void)(-One() / -zero); }, "EZeroDivide",
       "Floating point division by zero"},
      {"0 / 0", [&] { (void)(zero / zero); }, "EInvalidOp", "Invalid floating point operation"},
      {"inf - inf", [&] { (void)(infinity - infinity); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"inf + -inf", [&] { (void)(infinity + -infinity); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"0 * inf", [&] { (void)(zero * infinity); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"inf / inf", [&] { (void)(infinity / infinity); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"max * 2", [&] { (void)(largest * (One() + One())); }, "EOverflow",
       "Floating point overflow"},
      {"max + max", [&] { (void)(largest + largest); }, "EOverflow", "Floating point overflow"},
      {"1e4000 to double", [&] { (void)Bits(0x73E6, 0xD1BA8323FE558C62).ToDouble(); }, "EOverflow",
       "Floating point overflow"},
      {"2^63 to int64", [&] { (void)Bits(0x403E, kTop).ToInt64(); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"NaN to int64", [&] { (void)Bits(0x7FFF, 0xC000000000000000).ToInt64(); }, "EInvalidOp",
       "Invalid floating point operation"},
      {"unnormal operand", [&] { (void)(Bits(0x3FFF, 0x4000000000000000) + One()); }, "EInvalidOp",
       "Invalid floating point operation"},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetFpuControlWord(DefaultFpuControl | 0x0C00);  // the fault must put back the default
    try {
      c.operation();
      ADD_FAILURE() << "no fault";
    } catch (const EMathError& e) {
      EXPECT_STREQ(e.ClassName(), c.class_name);
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
    EXPECT_EQ(GetFpuStatusFlags(), 0);
  }
}

TEST_F(ExtendedTest, MaskedFaultsDeliverTheDefaultResults) {
  SetFpuControlWord(kFpuAllMasked);
  EXPECT_TRUE(Identical(Extended::Indefinite(), Extended() / Extended()));
  EXPECT_TRUE(Identical(Extended::Infinity(true), -One() / Extended()));
  EXPECT_EQ(Extended::Infinity().ToInt64(), INT64_MIN);
  EXPECT_TRUE(std::isinf(Bits(0x43FF, kTop).ToDouble()));
  EXPECT_EQ(GetFpuStatusFlags(), kFpuInvalid | kFpuZeroDivide | kFpuOverflow | kFpuPrecision);
}

TEST_F(ExtendedTest, TinyResultsUnderflowSilentlyUnlessUnmasked) {
  const Extended smallest_normal = Bits(0x0001, kTop);
  const Extended half = Bits(0x3FFE, kTop);
  // Exactly representable as a denormal: no underflow flag while masked.
  EXPECT_TRUE(Identical(Bits(0x0000, 0x4000000000000000), smallest_normal * half));
  EXPECT_EQ(GetFpuStatusFlags(), 0);
  // Inexact: rounds to zero with underflow and precision.
  EXPECT_TRUE(Identical(Extended(), Bits(0x0000, 1) * half));
  EXPECT_EQ(GetFpuStatusFlags(), kFpuDenormal | kFpuUnderflow | kFpuPrecision);
  // The smallest double denormal and below.
  ClearFpuExceptions();
  EXPECT_EQ(Bits(0x3BCD, kTop).ToDouble(), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(Bits(0x3BCC, kTop).ToDouble(), 0.0);  // a tie, to even
  EXPECT_EQ(GetFpuStatusFlags(), kFpuUnderflow | kFpuPrecision);

  SetFpuControlWord(DefaultFpuControl & ~kFpuUnderflow);
  EXPECT_THROW(smallest_normal * half, EUnderflow);
  SetFpuControlWord(DefaultFpuControl & ~kFpuDenormal);
  EXPECT_THROW(Bits(0x0000, 1) + One(), EUnderflow);
  SetFpuControlWord(DefaultFpuControl & ~kFpuPrecision);
  EXPECT_THROW(One() / Extended::FromInt32(3), EInvalidOp);
}

struct RoundingCase {
  FpuRounding mode;
  Extended sum;         // 1 + 2^-64: a tie
  Extended negative;    // -1 - 2^-64
  Extended above_half;  // 1 + 3 * 2^-65 (above the tie)
  int64_t to_int;       // of -2.5
};

TEST_F(ExtendedTest, AllFourRoundingModes) {
  const Extended tie = Bits(0x3FBF, kTop);                  // 2^-64
  const Extended above = Bits(0x3FBF, 0xC000000000000000);  // 3 * 2^-65
  const Extended minus_two_and_a_half = Extended::FromDouble(-2.5);
  const RoundingCase cases[] = {
      {FpuRounding::kNearest, One(), -One(), Bits(0x3FFF, kTop | 1), -2},
      {FpuRounding::kDown, One(), Bits(0xBFFF, kTop | 1), One(), -3},
      {FpuRounding::kUp, Bits(0x3FFF, kTop | 1), -One(), Bits(0x3FFF, kTop | 1), -2},
      {FpuRounding::kTowardZero, One(), -One(), One(), -2},
  };
  for (const RoundingCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    SetFpuControlWord(
        static_cast<uint16_t>(DefaultFpuControl | static_cast<unsigned>(c.mode) << 10));
    EXPECT_TRUE(Identical(c.sum, One() + tie));
    EXPECT_TRUE(Identical(c.negative, -One() - tie));
    EXPECT_TRUE(Identical(c.above_half, One() + above));
    EXPECT_EQ(minus_two_and_a_half.ToInt64(), c.to_int);
    EXPECT_TRUE(Identical(Extended::FromInt64(c.to_int), minus_two_and_a_half.RoundToIntegral()));
    // x - x is +0 except when rounding down.
    EXPECT_EQ((One() - One()).IsNegative(), c.mode == FpuRounding::kDown);
  }
}

TEST_F(ExtendedTest, ComparisonsAreNumeric) {
  const Extended denormal = Bits(0x0000, 1);
  const Extended ordered[] = {
      Extended::Infinity(true), -One(), -denormal, Extended(), denormal, One(),
      Extended::Infinity()};
  for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
    EXPECT_TRUE(ordered[i] < ordered[i + 1]) << i;
    EXPECT_FALSE(ordered[i + 1] <= ordered[i]) << i;
  }
  EXPECT_TRUE(Extended() == -Extended());
  EXPECT_TRUE(Bits(0x0000, kTop) == Bits(0x0001, kTop));  // a pseudo-denormal's value
  const Extended nan = Bits(0x7FFF, 0xC000000000000000);
  EXPECT_EQ(nan <=> One(), std::partial_ordering::unordered);
  EXPECT_FALSE(nan == nan);
}

TEST_F(ExtendedTest, NarrowingToDoubleRoundsToNearestEven) {
  // Significands with the dropped 11 bits exactly half: the even neighbour wins.
  EXPECT_EQ(Bits(0x3FFF, kTop | 0x400).ToDouble(), 1.0);
  EXPECT_EQ(Bits(0x3FFF, kTop | 0xC00).ToDouble(), 1.0 + 0x1p-51);
  EXPECT_EQ(Bits(0x3FFF, kTop | 0x401).ToDouble(), 1.0 + 0x1p-52);
  EXPECT_EQ(Bits(0x43FE, 0xFFFFFFFFFFFFFBFF).ToDouble(), std::numeric_limits<double>::max());
  EXPECT_EQ(std::bit_cast<uint64_t>(Bits(0xFFFF, 0xC000000000000800).ToDouble()),
            0xFFF8000000000001);  // NaN payload kept, truncated
}

}  // namespace
}  // namespace orlit
