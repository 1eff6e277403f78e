#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TextLayout.h"

namespace orlit {
namespace {

// Every code point 6 pixels wide, lines 13 high, tab stops every 32 pixels.
class FixedMeasure : public TextMeasure {
 public:
  int TextWidth(std::string_view text) const override {
    int width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
      NextCodePoint(text, pos);
      width += 6;
    }
    return width;
  }
  int LineHeight() const override { return 13; }
  int AveCharWidth() const override { return 4; }
};

struct ExpectedLine {
  std::string text;
  int x;
  int y;
};

struct LayoutCase {
  const char* name;
  std::string text;
  TRect rect;
  unsigned format;
  std::vector<ExpectedLine> lines;
  int height;
  friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

class LayoutTextTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTextTest, PlacesLines) {
  const LayoutCase& c = GetParam();
  TextLayout layout = LayoutText(c.text, c.rect, c.format, FixedMeasure());
  ASSERT_EQ(layout.lines.size(), c.lines.size());
  for (std::size_t i = 0; i < c.lines.size(); ++i) {
    EXPECT_EQ(layout.lines[i].Text(), c.lines[i].text) << "line " << i;
    EXPECT_EQ(layout.lines[i].origin, (TPoint{c.lines[i].x, c.lines[i].y})) << "line " << i;
  }
  EXPECT_EQ(layout.height, c.height);
}

const TRect kBox{10, 20, 110, 40};  // 100 x 20

INSTANTIATE_TEST_SUITE_P(
    DrawTextFlags, LayoutTextTest,
    ::testing::Values(
        LayoutCase{"Left", "abc", kBox, DT_SINGLELINE, {{"abc", 10, 20}}, 13},
        LayoutCase{"Centre", "abc", kBox, DT_SINGLELINE | DT_CENTER, {{"abc", 51, 20}}, 13},
        LayoutCase{"Right", "abc", kBox, DT_SINGLELINE | DT_RIGHT, {{"abc", 92, 20}}, 13},
        LayoutCase{"VCentre", "abc", kBox, DT_SINGLELINE | DT_VCENTER, {{"abc", 10, 23}}, 16},
        LayoutCase{"Bottom", "abc", kBox, DT_SINGLELINE | DT_BOTTOM, {{"abc", 10, 27}}, 20},
        LayoutCase{
            "VCentreNeedsSingleLine", "abc", kBox, DT_VCENTER | DT_BOTTOM, {{"abc", 10, 20}}, 13},
        LayoutCase{"CentreWiderThanBox",
                   std::string(20, 'x'),
                   {0, 0, 100, 13},
                   DT_SINGLELINE | DT_CENTER,
                   {{std::string(20, 'x'), -10, 0}},
                   13},
        LayoutCase{"LineBreaks",
                   "ab\ncd\r\nef\rgh",
                   kBox,
                   0,
                   {{"ab", 10, 20}, {"cd", 10, 33}, {"ef", 10, 46}, {"gh", 10, 59}},
                   52},
        LayoutCase{"FinalBreakAddsNoLine", "ab\n", kBox, 0, {{"ab", 10, 20}}, 13},
        LayoutCase{"EmptyLinesCount",
                   "ab\n\ncd",
                   kBox,
                   0,
                   {{"ab", 10, 20}, {"", 10, 33}, {"cd", 10, 46}},
                   39},
        LayoutCase{
            "SingleLineKeepsBreaks", "ab\ncd", kBox, DT_SINGLELINE, {{"ab\ncd", 10, 20}}, 13},
        LayoutCase{"EachLineAligned",
                   "a\nabc",
                   {0, 0, 30, 13},
                   DT_RIGHT,
                   {{"a", 24, 0}, {"abc", 12, 13}},
                   26},
        LayoutCase{"WordBreakExactFit",
                   "aaa bbb ccc",
                   {0, 0, 42, 99},
                   DT_WORDBREAK,
                   {{"aaa bbb", 0, 0}, {"ccc", 0, 13}},
                   26},
        LayoutCase{"WordBreakOnePixelShort",
                   "aaa bbb ccc",
                   {0, 0, 41, 99},
                   DT_WORDBREAK,
                   {{"aaa", 0, 0}, {"bbb", 0, 13}, {"ccc", 0, 26}},
                   39},
        LayoutCase{"LongWordOverflows",
                   "abcdefghij xy",
                   {0, 0, 30, 99},
                   DT_WORDBREAK,
                   {{"abcdefghij", 0, 0}, {"xy", 0, 13}},
                   26},
        LayoutCase{"EditControlBreaksLongWord",
                   "abcdefghij xy",
                   {0, 0, 30, 99},
                   DT_WORDBREAK | DT_EDITCONTROL,
                   {{"abcde", 0, 0}, {"fghij", 0, 13}, {"xy", 0, 26}},
                   39},
        LayoutCase{"EditControlBreaksWholeCodePoints",
                   "\xC4\x83\xC4\x83\xC4\x83",
                   {0, 0, 12, 99},
                   DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT,
                   {{"\xC4\x83\xC4\x83", 0, 0}, {"\xC4\x83", 0, 13}},
                   26},
        LayoutCase{"EditControlZeroWidthStillProgresses",
                   "ab",
                   {0, 0, 0, 99},
                   DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT,
                   {{"a", 0, 0}, {"b", 0, 13}},
                   26},
        LayoutCase{"SpacesAtBreakAreDropped",
                   "a   b",
                   {0, 0, 12, 99},
                   DT_WORDBREAK,
                   {{"a", 0, 0}, {"b", 0, 13}},
                   26},
        LayoutCase{"LeadingSpacesStay",
                   "  ab cd",
                   {0, 0, 30, 99},
                   DT_WORDBREAK,
                   {{"  ab", 0, 0}, {"cd", 0, 13}},
                   26},
        LayoutCase{"OnlySpaces", "   ", {0, 0, 6, 99}, DT_WORDBREAK, {{"   ", 0, 0}}, 13},
        LayoutCase{"WordBreakKeepsParagraphs",
                   "ab cd\nef",
                   {0, 0, 12, 99},
                   DT_WORDBREAK,
                   {{"ab", 0, 0}, {"cd", 0, 13}, {"ef", 0, 26}},
                   39},
        LayoutCase{"EditControlHidesPartialLastLine",
                   "a b c",
                   {0, 0, 6, 30},
                   DT_WORDBREAK | DT_EDITCONTROL,
                   {{"a", 0, 0}, {"b", 0, 13}},
                   39},
        LayoutCase{"EditControlAlwaysShowsFirstLine",
                   "a b",
                   {0, 0, 6, 5},
                   DT_WORDBREAK | DT_EDITCONTROL,
                   {{"a", 0, 0}},
                   26},
        LayoutCase{"EndEllipsis",
                   "abcdefghij",
                   {0, 0, 40, 13},
                   DT_SINGLELINE | DT_END_ELLIPSIS,
                   {{"abc...", 0, 0}},
                   13},
        LayoutCase{"EndEllipsisNotNeeded",
                   "abcdef",
                   {0, 0, 36, 13},
                   DT_SINGLELINE | DT_END_ELLIPSIS,
                   {{"abcdef", 0, 0}},
                   13},
        LayoutCase{"EndEllipsisOnlyDots",
                   "abcdef",
                   {0, 0, 5, 13},
                   DT_SINGLELINE | DT_END_ELLIPSIS,
                   {{"...", 0, 0}},
                   13},
        LayoutCase{"EndEllipsisPerLine",
                   "abcdefgh\nab",
                   {0, 0, 36, 99},
                   DT_END_ELLIPSIS,
                   {{"abc...", 0, 0}, {"ab", 0, 13}},
                   26},
        LayoutCase{"PathEllipsis",
                   "C:\\dir\\sub\\file.txt",
                   {0, 0, 90, 13},
                   DT_SINGLELINE | DT_PATH_ELLIPSIS,
                   {{"C:\\...\\file.txt", 0, 0}},
                   13},
        LayoutCase{"PathEllipsisSlashes",
                   "/usr/share/fonts/a.ttf",
                   {0, 0, 72, 13},
                   DT_SINGLELINE | DT_PATH_ELLIPSIS,
                   {{"/us.../a.ttf", 0, 0}},
                   13},
        LayoutCase{"PathEllipsisThenEnd",
                   "dir\\averyverylongname",
                   {0, 0, 60, 13},
                   DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS,
                   {{"...\\ave...", 0, 0}},
                   13},
        LayoutCase{"PrefixRemoved", "&File", kBox, DT_SINGLELINE, {{"File", 10, 20}}, 13},
        LayoutCase{"DoubledPrefix", "a&&b", kBox, DT_SINGLELINE, {{"a&b", 10, 20}}, 13},
        LayoutCase{"LonePrefixAtEnd", "ab&", kBox, DT_SINGLELINE, {{"ab", 10, 20}}, 13},
        LayoutCase{"NoPrefix", "&File", kBox, DT_SINGLELINE | DT_NOPREFIX, {{"&File", 10, 20}}, 13},
        LayoutCase{
            "ExpandTabs", "a\tb", kBox, DT_SINGLELINE | DT_EXPANDTABS, {{"a\tb", 10, 20}}, 13},
        LayoutCase{"Empty", "", kBox, DT_SINGLELINE, {}, 0}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(TextLayoutTest, CalcRectBoundsTheWidestLineAndAllLines) {
  TextLayout layout = LayoutText("ab\nabcd\nabc", {5, 7, 6, 8}, DT_CALCRECT, FixedMeasure());
  EXPECT_EQ(layout.calc_rect, (TRect{5, 7, 29, 46}));
  EXPECT_EQ(layout.height, 39);
}

TEST(TextLayoutTest, CalcRectOfWrappedTextKeepsItsLines) {
  TextLayout layout = LayoutText("a b c", {0, 0, 6, 30},
                                 DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT, FixedMeasure());
  EXPECT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(layout.calc_rect, (TRect{0, 0, 6, 39}));
}

TEST(TextLayoutTest, CalcRectOfEmptyTextIsEmpty) {
  TextLayout layout = LayoutText("", {3, 4, 50, 60}, DT_CALCRECT, FixedMeasure());
  EXPECT_EQ(layout.calc_rect, (TRect{3, 4, 3, 4}));
  EXPECT_EQ(layout.height, 0);
}

TEST(TextLayoutTest, PrefixUnderlinesTheFollowingCharacter) {
  struct Case {
    std::string text;
    std::vector<TextUnderline> underlines;
  };
  const Case cases[] = {
      {"&File", {{0, 6}}}, {"Fi&le", {{12, 18}}},    {"&&&x", {{6, 12}}},
      {"a&&b", {}},        {"&\xC8\x99x", {{0, 6}}}, {"&a&b", {{0, 6}, {6, 12}}},
  };
  for (const Case& c : cases) {
    TextLayout layout = LayoutText(c.text, {0, 0, 100, 13}, DT_SINGLELINE, FixedMeasure());
    ASSERT_EQ(layout.lines.size(), 1u) << c.text;
    EXPECT_EQ(layout.lines[0].underlines, c.underlines) << c.text;
  }
}

TEST(TextLayoutTest, UnderlineFollowsItsCharacterAcrossLinesAndEllipsis) {
  TextLayout wrapped = LayoutText("ab c&d", {0, 0, 12, 99}, DT_WORDBREAK, FixedMeasure());
  ASSERT_EQ(wrapped.lines.size(), 2u);
  EXPECT_TRUE(wrapped.lines[0].underlines.empty());
  EXPECT_EQ(wrapped.lines[1].underlines, (std::vector<TextUnderline>{{6, 12}}));

  TextLayout cut =
      LayoutText("a&bcdefgh", {0, 0, 36, 13}, DT_SINGLELINE | DT_END_ELLIPSIS, FixedMeasure());
  EXPECT_EQ(cut.lines[0].Text(), "abc...");
  EXPECT_EQ(cut.lines[0].underlines, (std::vector<TextUnderline>{{6, 12}}));

  TextLayout gone =
      LayoutText("abcdefg&h", {0, 0, 36, 13}, DT_SINGLELINE | DT_END_ELLIPSIS, FixedMeasure());
  EXPECT_TRUE(gone.lines[0].underlines.empty());
}

TEST(TextLayoutTest, TabsMoveToStopsEightAverageCharactersApart) {
  TextLayout layout =
      LayoutText("a\tbcdef\tg", {0, 0, 200, 13}, DT_SINGLELINE | DT_EXPANDTABS, FixedMeasure());
  const std::vector<TextRun> expected = {{"a", 0}, {"bcdef", 32}, {"g", 64}};
  EXPECT_EQ(layout.lines[0].runs, expected);
  EXPECT_EQ(layout.lines[0].width, 70);

  TextLayout raw = LayoutText("a\tb", {0, 0, 200, 13}, DT_SINGLELINE, FixedMeasure());
  ASSERT_EQ(raw.lines[0].runs.size(), 1u);
  EXPECT_EQ(raw.lines[0].width, 18);
}

TEST(TextLayoutTest, ExtremeRectanglesDoNotOverflow) {
  const TRect huge{-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647};
  TextLayout layout = LayoutText("abc\ndef", huge, DT_CENTER | DT_CALCRECT, FixedMeasure());
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].origin.X, -10);  // (2^32 - 1 - 18) / 2 from the left
  EXPECT_EQ(layout.calc_rect.Left, huge.Left);

  TextLayout bottom = LayoutText("abc", huge, DT_SINGLELINE | DT_BOTTOM, FixedMeasure());
  EXPECT_EQ(bottom.lines[0].origin.Y, 2147483647 - 13);
  EXPECT_EQ(bottom.height, 2147483647);
}

TEST(TextLayoutTest, MalformedUtf8IsLaidOutByteByByte) {
  TextLayout layout = LayoutText("\xFF\xFE\xC3", {0, 0, 12, 99},
                                 DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT, FixedMeasure());
  ASSERT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.lines[0].Text(), "\xFF\xFE");
  EXPECT_EQ(layout.lines[1].Text(), "\xC3");
}

}  // namespace
}  // namespace orlit
