#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

constexpr uint64_t kTop = Extended::kIntegerBit;

// Sets DecimalSep for one test and puts the previous one back.
class DecimalSeparator {
 public:
  explicit DecimalSeparator(char separator) : saved_(DecimalSep) { DecimalSep = separator; }
  ~DecimalSeparator() { DecimalSep = saved_; }

 private:
  char saved_;
};

class NumberConversionTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFpu(); }
  void TearDown() override { ResetFpu(); }
  DecimalSeparator point_{'.'};
};

std::string ParseIntegerMessage(std::string_view text) {
  try {
    ParseInteger(text);
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "accepted";
}

std::string ParseFloatMessage(std::string_view text) {
  try {
    ParseFloat(text);
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "accepted";
}

TEST_F(NumberConversionTest, ParseIntegerAccepts) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"65", 65},
      {" 65", 65},
      {"+65", 65},
      {"$41", 65},
      {"0x41", 65},
      {"x41", 65},
      {"X41", 65},
      {"0X41", 65},
      {"-1", -1},
      {"$FFFFFFFF", -1},
      {"$ffffffff", -1},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", INT32_MIN},
      {"-$80000000", INT32_MIN},
      {"$000000001", 1},
      {"-$1", -1},
      {"0", 0},
      {"-0", 0},
      {"007", 7},
      {"   -12", -12},
      {"0x0000000000FF", 255},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST_F(NumberConversionTest, ParseIntegerRejectsWithTheWholeTextInTheMessage) {
  const std::string rejected[] = {
      "",
      "   ",
      "65 ",
      "6 5",
      "65.0",
      "1e3",
      "2147483648",
      "-",
      "+",
      "-2147483649",
      "$100000000",
      "0x",
      "$",
      "- 5",
      "\t5",
      "1,000",
      "x",
      "0xG",
      "--1",
      "+-1",
      "99999999999",
      "$-1",
      "0x-1",
      "5\n",
      "\xEF\xBC\x95",
      "\xFF\xFE",
      std::string("1\0002", 3),
      std::string(5000, '9'),
  };
  for (const std::string& text : rejected) {
    EXPECT_EQ(ParseIntegerMessage(text), "'" + text + "' is not a valid integer value") << text;
  }
  EXPECT_EQ(ParseIntegerMessage(""), "'' is not a valid integer value");
}

// Extended bits the scanner must deliver, from the digits scaled by a power of ten.
struct FloatCase {
  const char* text;
  uint16_t sign_exponent;
  uint64_t significand;
};

TEST_F(NumberConversionTest, TryParseFloatAccepts) {
  const FloatCase cases[] = {
      {"24.5", 0x4003, 0xC400000000000000},
      {" 24.5 ", 0x4003, 0xC400000000000000},
      {"+24.5", 0x4003, 0xC400000000000000},
      {"-24.5", 0xC003, 0xC400000000000000},
      {".5", 0x3FFE, kTop},
      {"5.", 0x4001, 0xA000000000000000},
      {"1e3", 0x4008, 0xFA00000000000000},
      {"1E-2", 0x3FF8, 0xA3D70A3D70A3D70A},
      {".", 0x0000, 0},
      {"-.", 0x8000, 0},
      {"-0", 0x8000, 0},
      {".e1", 0x0000, 0},
      {"1e", 0x3FFF, kTop},
      {"1e+", 0x3FFF, kTop},
      {"1e0000000000001", 0x4002, 0xA000000000000000},  // zeros leave the exponent at 0
      {"0.1", 0x3FFB, 0xCCCCCCCCCCCCCCCD},
      {"18446744073709551615", 0x403E, ~uint64_t{0}},  // the last exact accumulation
      {"18446744073709551616", 0x403F, kTop},
      {"1e4000", 0x73E6, 0xD1BA8323FE558C62},
      {"1e-4950", 0x0000, 0x0000000000000003},  // a denormal (2.75 units) is accepted
  };
  for (const FloatCase& c : cases) {
    SCOPED_TRACE(c.text);
    Extended value = Extended::FromInt32(99);
    ASSERT_TRUE(TryParseFloat(c.text, value));
    EXPECT_EQ(value.SignExponent(), c.sign_exponent);
    EXPECT_EQ(value.Significand(), c.significand);
  }
}

TEST_F(NumberConversionTest, TryParseFloatRejects) {
  const std::string rejected[] = {
      "",
      "   ",
      "24,5",
      "2 4",
      "1.2.3",
      "e3",
      "+",
      "0x10",
      "$10",
      "INF",
      "NAN",
      "1e5000",
      "1e4999",
      "1e-5000",
      "-",
      "\t1",
      "1 e3",
      "1e3.",
      "1e+-3",
      std::string("1\0002", 3),
      "\xC3\x28",
      "\x01",
      std::string(5000, '9'),
      "1" + std::string(4935, '0'),
  };
  for (const std::string& text : rejected) {
    Extended value = Extended::FromInt32(99);
    EXPECT_FALSE(TryParseFloat(text, value)) << text;
    EXPECT_TRUE(value.IdenticalTo(Extended::FromInt32(99))) << text;
    EXPECT_EQ(ParseFloatMessage(text), "'" + text + "' is not a valid floating point value");
  }
  EXPECT_EQ(ParseFloatMessage("   "), "'   ' is not a valid floating point value");
}

TEST_F(NumberConversionTest, LongTextsScanWithoutTrouble) {
  Extended value;
  EXPECT_TRUE(TryParseFloat("0." + std::string(6000, '0') + "1", value));  // beyond 10^-5120
  EXPECT_TRUE(value.IdenticalTo(Extended()));
  EXPECT_TRUE(TryParseFloat(std::string(10000, '0') + "7", value));
  EXPECT_TRUE(value.IdenticalTo(Extended::FromInt32(7)));
  EXPECT_TRUE(TryParseFloat("1" + std::string(4000, '0') + "e-3990", value));
  EXPECT_EQ(FormatFloatGeneral(value), "10000000000");
}

TEST_F(NumberConversionTest, TryParseFloatUsesTheDecimalSeparator) {
  DecimalSeparator comma(',');
  Extended value;
  EXPECT_TRUE(TryParseFloat("24,5", value));
  EXPECT_EQ(value.ToDouble(), 24.5);
  EXPECT_FALSE(TryParseFloat("24.5", value));
}

TEST_F(NumberConversionTest, ScannerLeavesTheEnvironmentAsItFoundIt) {
  SetFpuControlWord(0x1F32);
  RaiseFpuExceptions(kFpuPrecision);
  Extended value;
  EXPECT_FALSE(TryParseFloat("1e4999", value));
  EXPECT_EQ(GetFpuControlWord(), 0x1F32);
  EXPECT_EQ(GetFpuStatusFlags(), 0);
}

TEST_F(NumberConversionTest, ExtendedBeyondTheDoubleRangeOverflowsWhenStored) {
  const Extended value = ParseFloat("1e4000");
  EXPECT_THROW(value.ToDouble(), EOverflow);
  EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
}

TEST_F(NumberConversionTest, FormatInteger) {
  EXPECT_EQ(FormatInteger(0), "0");
  EXPECT_EQ(FormatInteger(65), "65");
  EXPECT_EQ(FormatInteger(-1), "-1");
  EXPECT_EQ(FormatInteger(INT32_MAX), "2147483647");
  EXPECT_EQ(FormatInteger(INT32_MIN), "-2147483648");
}

TEST_F(NumberConversionTest, RoundToInt64IsNearestEvenAndTruncIsTowardZero) {
  const struct {
    double value;
    int64_t rounded;
    int64_t truncated;
  } cases[] = {
      {0.5, 0, 0},     {1.5, 2, 1},    {2.5, 2, 2},
      {3.5, 4, 3},     {-2.5, -2, -2}, {-0.5, 0, 0},
      {-2.99, -3, -2}, {2.99, 3, 2},   {-9223372036854775808.0, INT64_MIN, INT64_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundToInt64(Extended::FromDouble(c.value)), c.rounded) << c.value;
    EXPECT_EQ(TruncToInt64(Extended::FromDouble(c.value)), c.truncated) << c.value;
    EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
  }
  // 2^63 - 0.5: truncation fits, rounding goes to the even 2^63, which does not.
  const Extended below_limit = Extended::FromParts(false, 0x403D, ~uint64_t{0});
  EXPECT_EQ(TruncToInt64(below_limit), INT64_MAX);
  EXPECT_THROW(RoundToInt64(below_limit), EInvalidOp);
}

TEST_F(NumberConversionTest, OutOfRangeConversionsFaultAndResetTheUnit) {
  const Extended values[] = {Extended::FromDouble(1e19), Extended::FromDouble(-1e19),
                             Extended::Indefinite(), Extended::Infinity()};
  for (const Extended& value : values) {
    SetFpuControlWord(DefaultFpuControl | 0x0400);
    try {
      TruncToInt64(value);
      ADD_FAILURE() << "no fault";
    } catch (const EInvalidOp& e) {
      EXPECT_EQ(e.Message(), "Invalid floating point operation");
    }
    EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
    EXPECT_THROW(RoundToInt64(value), EInvalidOp);
  }
}

// The remaining days of the period calculation: (q - m) * wd in extended, rounded to nearest.
TEST_F(NumberConversionTest, ExtendedProductDecidesTheRemainingDays) {
  const struct {
    int32_t days;
    int64_t months;
    int64_t remaining;
  } cases[] = {{34, 1, 9}, {35, 1, 11}, {65, 2, 16}, {49, 2, 0}, {70000 & 0xFFFF, 182, 5}};
  const double wd = ParseFloat("24.5").ToDouble();
  for (const auto& c : cases) {
    const double q = (Extended::FromInt32(c.days) / Extended::FromDouble(wd)).ToDouble();
    const int64_t m = TruncToInt64(Extended::FromDouble(q));
    EXPECT_EQ(m, c.months) << c.days;
    const Extended product =
        (Extended::FromDouble(q) - Extended::FromInt64(m)) * Extended::FromDouble(wd);
    EXPECT_EQ(RoundToInt64(product), c.remaining) << c.days;
  }
}

TEST_F(NumberConversionTest, DivisionFaultsOfTheCalculation) {
  EXPECT_THROW(Extended::FromInt32(65) / ParseFloat("0"), EZeroDivide);
  EXPECT_THROW(Extended::FromInt32(0) / ParseFloat("-0"), EInvalidOp);
  EXPECT_THROW((Extended::FromInt32(65) / ParseFloat("1e-4000")).ToDouble(), EOverflow);
  // After a fault the next calculation runs as if nothing had happened.
  EXPECT_EQ(FormatFloatGeneral(
                Extended::FromDouble((Extended::FromInt32(65) / ParseFloat("24.5")).ToDouble())),
            "2.6530612244898");
  EXPECT_EQ(GetFpuStatusFlags(), kFpuPrecision);
}

}  // namespace
}  // namespace orlit
