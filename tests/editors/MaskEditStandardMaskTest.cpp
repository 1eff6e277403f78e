#include <gtest/gtest.h>

#include <string>

#include "convert/FormatSettings.h"
#include "editors/StandardMask.h"
#include "framework/EditText.h"

namespace orlit {
namespace {

std::string Utf8(const std::u32string& text) { return ToUtf8(text); }

TEST(StandardMaskTest, ParsesPatternAndSections) {
  struct Case {
    const char* mask;
    const char* empty_display;
    const char* empty_value;
    bool save_literals;
    char32_t blank;
  };
  const Case cases[] = {
      {"!99.99.00;1;_", "__.__.__", "  .  .  ", true, U'_'},
      {"99;1;", "__;1;", "  ;1;", true, U'_'},  // neither ";" has a section shape
      {"0-0;0", "_-_", "  ", false, U'_'},
      {"00;0;*", "**", "  ", false, U'*'},
      {"0\\", "_", " ", true, U'_'},  // a backslash at the end is ignored
      {"\\0#\\\\", "0_\\", "0 \\", true, U'_'},
      {"<>LaC<c>l", "_____", "     ", true, U'_'},
      {"", "", "", true, U'_'},
      {"x;1;_;1", "x;1;_", "x;1;_", true, U'_'},  // only the last ";1" is a section
      {"ă9", "ă_", "ă ", true, U'_'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    const TcxStandardMask mask(c.mask);
    EXPECT_EQ(Utf8(mask.EmptyDisplayText()), c.empty_display);
    EXPECT_EQ(Utf8(mask.EmptyValue()), c.empty_value);
    EXPECT_EQ(mask.SaveLiterals(), c.save_literals);
    EXPECT_EQ(mask.BlankChar(), c.blank);
  }
}

TEST(StandardMaskTest, SeparatorsAreTakenWhenParsed) {
  const char saved = DateSep;
  DateSep = '.';
  TcxStandardMask mask("99/99:99");
  DateSep = '-';
  EXPECT_EQ(Utf8(mask.EmptyDisplayText()), "__.__:__");
  mask.Parse("9/9");
  EXPECT_EQ(Utf8(mask.EmptyDisplayText()), "_-_");
  DateSep = saved;
}

TEST(StandardMaskTest, PlacesExtractsAndCompletes) {
  struct Case {
    const char* mask;
    const char* text;
    const char* placed;  // converted case
    const char* value;   // of the placed text
    bool complete;       // of the placed text
    bool complete_ignoring_blank;
  };
  const Case cases[] = {
      {"!99.99.00;1;_", "31.10.83", "31.10.83", "31.10.83", true, true},
      {"!99.99.00;1;_", "311083", "31.10.83", "31.10.83", true, true},
      {"!99.99.00;1;_", "31.10.", "31.10.__", "31.10.  ", false, false},
      {"!99.99.00;1;_", " 1.10.83", "_1.10.83", " 1.10.83", true, true},
      {"!99.99.00;1;_", "", "__.__.__", "  .  .  ", false, true},
      {"!99.99.00;1;_", "3", "3_.__.__", "3 .  .  ", false, false},
      {"!99.99.00;1;_", "31.10.83999", "31.10.83", "31.10.83", true, true},
      {"0L", "a3", "3a", "3a", true, true},
      {">LL", "ab", "AB", "AB", true, true},
      {">L<>L", "ab", "Ab", "Ab", true, true},
      {"<LL", "AB", "ab", "ab", true, true},
      {"0-0;0", "1-2", "1-2", "12", true, true},
      {"#a", "-x", "-x", "-x", true, true},
      {"00;1;*", "1*", "1*", "1 ", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " / " + c.text);
    const TcxStandardMask mask(c.mask);
    std::u32string text = ToCodePoints(c.text);
    mask.PlaceText(text, true);
    EXPECT_EQ(Utf8(text), c.placed);
    std::u32string checked = text;
    EXPECT_EQ(mask.IsComplete(checked), c.complete);
    checked = text;
    EXPECT_EQ(mask.IsComplete(checked, true), c.complete_ignoring_blank);
    mask.ExtractValue(text);
    EXPECT_EQ(Utf8(text), c.value);
  }
}

TEST(StandardMaskTest, UnconvertedPlacingKeepsTheTypedCaseAndLengthDecidesCompleteness) {
  const TcxStandardMask mask(">LL");
  std::u32string text = U"ab";
  mask.PlaceText(text, false);
  EXPECT_EQ(text, U"ab");
  std::u32string longer = U"ABC";
  EXPECT_FALSE(mask.IsComplete(longer));
}

}  // namespace
}  // namespace orlit
