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
      {"%d.%m.%Y", '.', "dd/mm/yyyy"},
      {"%m/%d/%y", '/', "mm/dd/yy"},
      {"%m/%d/%Y", '/', "mm/dd/yyyy"},
      {"%Y-%m-%d", '-', "yyyy/mm/dd"},
      {"%D", '/', "mm/dd/yy"},
      {"%F", '-', "yyyy/mm/dd"},
      {"%d.%m.%Y.", '.', "dd/mm/yyyy/"},
      {"%e/%m/%y", '/', "d/mm/yy"},
      {"%0e/%m/%y", '/', "dd/mm/yy"},
      {"%-d.%-m.%Y", '.', "d/m/yyyy"},
      {"%_d.%_m.%y", '.', "d/m/yy"},
      {"%Od.%Om.%Ey", '.', "dd/mm/yy"},
      {"%EY/%m/%d", '/', "yyyy/mm/dd"},
      {"%d%%%m%%%y", '%', "dd/mm/yy"},
      {"%2d'%2m'%4Y", '\'', "dd/mm/yyyy"},
      {"%d_%m_%y", '_', "dd/mm/yy"},
  };
  for (const auto& row : kRows) {
    char sep = 0;
    std::string pattern;
    ASSERT_TRUE(DateSettingsFromStrftime(row.format, sep, pattern)) << row.format;
    EXPECT_EQ(sep, row.sep) << row.format;
    EXPECT_EQ(pattern, row.pattern) << row.format;
  }
}

TEST(DateSettingsFromStrftimeTest, UnusableFormatsLeaveTheOutputsAlone) {
  const char* const kFormats[] = {
      "",
      "%",
      "%d",
      "%d.%m",
      "%x",
      "%c",
      "%d.%m.%Y %H:%M",
      "%d. %m. %Y",  // two-character separator
      "%Y. %m. %d.",
      "%Y\xe5\xb9\xb4%m\xe6\x9c\x88%d\xe6\x97\xa5",  // multi-byte separators
      "%d\xc2\xb7%m\xc2\xb7%Y",
      "%d.%m-%Y",  // two different separators
      "%d %m %Y",  // blanks are skipped by the scanner
      "%dx%mx%Y",  // a letter would be a pattern letter
      "%d0%m0%Y",  // a digit would be read into the number
      "%d.%d.%Y",  // a field twice
      "%d.%m.%Y.%d",
      "%d.%m.%Y..",
      ".%d.%m.%Y",
      "%a %d.%m.%Y",
      "%d.%b.%Y",
      "%d.%m.%C",
      "%d.%m.%",
      "%d.%m.%-",
      "%D.%d",
      "%d\t%m\t%y",
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

TEST_F(LoadFormatSettingsTest, ReloadOverwritesTheCalculationsDateSettings) {
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  DateSep = '.';
  ShortDatePattern = "dd/mm/yy";
  LoadFormatSettings();
  EXPECT_EQ(DateSep, '/');
  EXPECT_EQ(ShortDatePattern, "mm/dd/yy");
}

}  // namespace
}  // namespace orlit
