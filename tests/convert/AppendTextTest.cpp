// The append forms write exactly the texts of the Format functions after what is already there,
// and dates take the whole-day shortcut without changing a text or a flag.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "convert/DateConversion.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace orlit {
namespace {

class AppendTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFpu(); }
  void TearDown() override {
    ResetFpu();
    DecimalSep = saved_decimal_sep_;
    DateSep = saved_date_sep_;
    ShortDatePattern = saved_pattern_;
  }

 private:
  char saved_decimal_sep_ = DecimalSep;
  char saved_date_sep_ = DateSep;
  std::string saved_pattern_ = ShortDatePattern;
};

TEST_F(AppendTextTest, FloatTextsFollowWhatIsThere) {
  const Extended kValues[] = {
      Extended::FromInt32(65),
      Extended::FromDouble(24.5),
      Extended::FromDouble(1 / 21.75),
      Extended::FromInt32(-7),
      Extended::FromDouble(1e15),
      Extended::FromDouble(-2.5e-7),
      Extended(),
      Extended::Infinity(true),
      Extended::Infinity(),
      Extended::Indefinite(),
      Extended::FromDouble(0.00012345),
      Extended::FromParts(true, 0x7FFE, ~uint64_t{0}),  // the longest exponent text
      Extended::FromParts(true, 0x0001, Extended::kIntegerBit | 1),
  };
  for (const char separator : {'.', ','}) {
    DecimalSep = separator;
    for (const Extended& value : kValues) {
      std::string line = "65 / ";
      AppendFloatGeneral(line, value);
      EXPECT_EQ(line, "65 / " + FormatFloatGeneral(value));
    }
  }
  DecimalSep = '.';
  std::string longest;
  AppendFloatGeneral(longest, Extended::FromParts(true, 0x0001, 0xFFFFFFFFFFFFFFFF));
  EXPECT_EQ(longest, "-6.72420628622419E-4932");
}

// Past 25 pattern characters the text no longer fits the fixed buffer and takes its own.
TEST_F(AppendTextTest, DateTextsFollowWhatIsThereForShortAndLongPatterns) {
  const double kEarly = 30348 + (3600 + 2 * 60 + 3) / 86400.0;  // 1 February 1983 01:02:03
  const struct {
    const char* pattern;
    const char* text;
  } kRows[] = {
      {"dd/mm/yy", "01.02.83"},
      {"yyyy/mm/dd hh:nn:ss yyyyy", "1983.02.01 01:02:03 1983"},   // 25
      {"yyyy/mm/dd hh:nn:ss yyyyyy", "1983.02.01 01:02:03 1983"},  // 26
      {"dddddddddddddddddddddddddddddddddddddddd", "01"},          // one run of 40
      {"d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/d/y", "1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.1.83"},
  };
  DateSep = '.';
  for (const auto& row : kRows) {
    ShortDatePattern = row.pattern;
    std::string line = "x ";
    AppendDate(line, kEarly);
    EXPECT_EQ(line, std::string("x ") + row.text) << row.pattern;
    EXPECT_EQ(FormatDate(kEarly), row.text) << row.pattern;
  }
}

// Whole days below 2^36 skip the extended product; on both sides of that limit the texts and the
// flags are those of the product, which is exact for every whole day up to 2^37.
TEST_F(AppendTextTest, WholeDaysAroundTheShortcutLimit) {
  const double kLimit = std::ldexp(1.0, 36);
  const struct {
    double value;
    const char* text;
    uint16_t flags;
  } kRows[] = {
      {0.0, "30.12.1899 00:00:00", 0},
      {-0.0, "30.12.1899 00:00:00", 0},
      {30620, "31.10.1983 00:00:00", 0},
      {-693593, "01.01.0001 00:00:00", 0},
      {-693594, "00.00.0000 00:00:00", 0},
      {kLimit - 1, "00.00.0000 00:00:00", 0},
      {kLimit, "00.00.0000 00:00:00", 0},
      {-kLimit, "00.00.0000 00:00:00", 0},
      {std::ldexp(1.0, 40), "00.00.0000 00:00:00", 0},                  // beyond int64
      {std::ldexp(1.0, 53) + 2, "00.00.0000 00:00:00", kFpuPrecision},  // product inexact
      {30620.1, "31.10.1983 02:24:00", kFpuPrecision},
      {-1.5, "29.12.1899 12:00:00", 0},
  };
  ShortDatePattern = "dd/mm/yyyy hh:nn:ss";
  DateSep = '.';
  for (const auto& row : kRows) {
    ResetFpu();
    EXPECT_EQ(FormatDate(row.value), row.text) << row.value;
    EXPECT_EQ(GetFpuStatusFlags(), row.flags) << row.value;
  }
}

}  // namespace
}  // namespace orlit
