#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "convert/DateConversion.h"
#include "convert/FormatSettings.h"

namespace orlit {
namespace {

TEST(DateSettingsFromStrftimeTest, UsableFormats) {
  const struct {
    const char* format;
    char sep;
    const char* pattern;
  } kRows[] = {
      {"%d.%m.%Y", '.', "dd/mm/yyyy"},   {"%m/%d/%y", '/', "mm/dd/yy"},
      {"%D", '/', "mm/dd/yy"},           {"%F", '-', "yyyy/mm/dd"},
      {"%d.%m.%Y.", '.', "dd/mm/yyyy/"}, {"%e/%m/%y", '/', "d/mm/yy"},
      {"%0e/%-m/%y", '/', "dd/m/yy"},    {"%Od.%_m.%EY", '.', "dd/m/yyyy"},
      {"%d%%%m%%%y", '%', "dd/mm/yy"},   {"%2d'%2m'%4Y", '\'', "dd/mm/yyyy"},
  };
  for (const auto& row : kRows) {
    char sep = 0;
    std::string pattern;
    EXPECT_TRUE(DateSettingsFromStrftime(row.format, sep, pattern)) << row.format;
    EXPECT_EQ(sep, row.sep) << row.format;
    EXPECT_EQ(pattern, row.pattern) << row.format;
  }
}

// Anything the scanner could not read back, or that is not a plain day-month-year date, leaves
// the defaults in place.
TEST(DateSettingsFromStrftimeTest, UnusableFormatsLeaveTheOutputsAlone) {
  const char* const kFormats[] = {
      "",          "%",        "%d.%m",    "%x",       "%d.%m.%Y %H:%M", "%Y. %m. %d.",
      "%d.%m-%Y",  "%d %m %Y", "%dx%mx%Y", "%d0%m0%Y", "%d.%d.%Y",       "%d.%m.%Y..",
      ".%d.%m.%Y", "%d.%b.%Y", "%d.%m.%-", "%D.%d",    "%d\t%m\t%y",     "%Y\u5e74%m\u6708%d\u65e5",
  };
  for (const char* format : kFormats) {
    char sep = '#';
    std::string pattern = "unchanged";
    EXPECT_FALSE(DateSettingsFromStrftime(format, sep, pattern)) << "'" << format << "'";
    EXPECT_EQ(sep, '#');
    EXPECT_EQ(pattern, "unchanged");
  }
}

// Loads locales into the whole process; the settings and the locale are put back afterwards.
class LoadFormatSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* locale = std::setlocale(LC_ALL, nullptr);
    saved_locale_ = locale != nullptr ? locale : "C";
    SetCurrentYearSource([] { return 2026; });
  }
  void TearDown() override {
    std::setlocale(LC_ALL, saved_locale_.c_str());
    DecimalSep = saved_decimal_sep_;
    ThousandSep = saved_thousand_sep_;
    DateSep = saved_date_sep_;
    ShortDatePattern = saved_pattern_;
    SetCurrentYearSource({});
  }
  static void Scramble() {
    DecimalSep = ThousandSep = DateSep = '#';
    ShortDatePattern = "scrambled";
  }

 private:
  std::string saved_locale_;
  char saved_decimal_sep_ = DecimalSep;
  char saved_thousand_sep_ = ThousandSep;
  char saved_date_sep_ = DateSep;
  std::string saved_pattern_ = ShortDatePattern;
};

struct LocaleRow {
  const char* locale;
  char decimal_sep;
  char thousand_sep;
  char date_sep;
  const char* pattern;
  const char* formatted;  // 31 October 1983 under the loaded settings
};

class LoadFormatSettingsFromLocaleTest : public LoadFormatSettingsTest,
                                         public ::testing::WithParamInterface<LocaleRow> {};

TEST_P(LoadFormatSettingsFromLocaleTest, ReadsTheSeparatorsAndDateFormat) {
  const LocaleRow& row = GetParam();
  if (std::setlocale(LC_ALL, row.locale) == nullptr) {
    GTEST_SKIP() << "locale " << row.locale << " is not installed (scripts/setup generates it)";
  }
  Scramble();
  LoadFormatSettings();
  EXPECT_EQ(DecimalSep, row.decimal_sep);
  EXPECT_EQ(ThousandSep, row.thousand_sep);
  EXPECT_EQ(DateSep, row.date_sep);
  EXPECT_EQ(ShortDatePattern, row.pattern);
  EXPECT_EQ(FormatDate(30620), row.formatted);
  EXPECT_EQ(ParseDate(row.formatted), 30620);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LoadFormatSettingsFromLocaleTest,
    ::testing::Values(LocaleRow{"C", '.', ',', '/', "mm/dd/yy", "10/31/83"},
                      LocaleRow{"en_US.UTF-8", '.', ',', '/', "mm/dd/yyyy", "10/31/1983"},
                      LocaleRow{"de_DE.UTF-8", ',', '.', '.', "dd/mm/yyyy", "31.10.1983"},
                      LocaleRow{"ro_RO.UTF-8", ',', '.', '.', "dd/mm/yyyy", "31.10.1983"}),
    [](const ::testing::TestParamInfo<LocaleRow>& info) {
      std::string name;
      for (const char* c = info.param.locale; *c != '\0' && *c != '.'; ++c) name += *c;
      return name;
    });

TEST_F(LoadFormatSettingsTest, CategoriesAreReadSeparately) {
  if (std::setlocale(LC_ALL, "C") == nullptr ||
      std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
  }
  Scramble();
  LoadFormatSettings();
  EXPECT_EQ(DecimalSep, ',');
  EXPECT_EQ(ThousandSep, '.');
  EXPECT_EQ(DateSep, '/');
  EXPECT_EQ(ShortDatePattern, "mm/dd/yy");
}

}  // namespace
}  // namespace orlit
