#include <gtest/gtest.h>

#include <string>

#include "convert/Utf8.h"

namespace orlit {
namespace {

// Each maximal piece of a sequence that cannot be completed gives one U+FFFD.
TEST(Utf8Test, DecodesAndReplacesEachBrokenPieceOnce) {
  const struct {
    std::string bytes;
    std::u32string code_points;
  } cases[] = {
      {"", U""},
      {"aZ", U"aZ"},
      {"\xC4\x83\xC8\x99", {0x103, 0x219}},
      {"\xE2\x82\xAC", {0x20AC}},
      {"\xF0\x9F\x98\x80", {0x1F600}},
      {"\xF4\x8F\xBF\xBF", {0x10FFFF}},
      {"\xC3", {0xFFFD}},             // truncated at the end
      {"\xE2\x82(", {0xFFFD, U'('}},  // truncated before another character
      {"\x80"
       "b",
       {0xFFFD, U'b'}},                                        // stray continuation byte
      {"\xFF", {0xFFFD}},                                      // never a lead byte
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},                          // overlong two-byte form
      {"\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}},              // overlong three-byte form
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},              // surrogate
      {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},  // beyond U+10FFFF
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToCodePoints(c.bytes), c.code_points) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(CodePointCount(c.bytes), c.code_points.size()) << ::testing::PrintToString(c.bytes);
    // Every code point is found again where ByteOfCodePoint says it starts.
    for (std::size_t k = 0; k <= c.code_points.size(); ++k) {
      std::size_t pos = ByteOfCodePoint(c.bytes, k);
      EXPECT_EQ(NextCodePoint(c.bytes, pos), k < c.code_points.size() ? c.code_points[k] : 0)
          << ::testing::PrintToString(c.bytes) << " at " << k;
    }
    if (c.code_points.find(kReplacementCharacter) == std::u32string::npos) {
      EXPECT_EQ(ToUtf8(c.code_points), c.bytes);
    }
  }
  // What UTF-8 cannot carry is written as U+FFFD.
  EXPECT_EQ(ToUtf8(std::u32string{0xD800, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8Test, CutsOnlyBetweenCodePoints) {
  const struct {
    std::string bytes;
    std::size_t max_bytes;
    std::size_t cut;
  } cases[] = {
      {"abc", 2, 2},          {"a\xC4\x83", 2, 1},  {"a\xC4\x83", 3, 3},
      {"\xE2\x82\xAC", 2, 0}, {"a\xE2\x82(", 2, 1}, {"a\xE2\x82(", 3, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WholeCodePointsWithin(c.bytes, c.max_bytes), c.cut)
        << ::testing::PrintToString(c.bytes) << " in " << c.max_bytes;
  }
}

}  // namespace
}  // namespace orlit
