#include <gtest/gtest.h>

#include <random>
#include <string>

#include "framework/MemoText.h"

namespace orlit {
namespace {

struct ReplaceCase {
  std::string start_text;
  int start;
  int length;
  std::string insert;
  std::string text;
  int lines;
};

TEST(MemoTextTest, ReplaceNormalisesBreaksAndKeepsPairsWhole) {
  const ReplaceCase cases[] = {
      {"", 0, 0, "a", "a", 1},
      {"", 0, 0, "a\r\n", "a\r\n", 2},
      {"a", 0, 0, "x\ry\nz", "x\r\ny\r\nza", 3},
      {"a\r\nb", 2, 0, "x", "ax\r\nb", 2},  // inside the pair: at the line's end
      {"a\r\nb", 1, 1, "", "a\r\nb", 2},    // a cut ending inside the pair keeps it
      {"a\r\nb", 1, 2, "", "ab", 1},
      {"ab\r\ncd\r\nef", 1, 8, "-", "a-f", 1},
      {"\xC3\xA4\xC3\xA2", 1, 1, "\xFF", "\xC3\xA4\xEF\xBF\xBD", 1},  // characters, not bytes
      {"a", 5, 3, "b", "ab", 1},
      {"a", 0, 0, std::string("\0", 1), std::string("\0a", 2), 1},
  };
  for (const ReplaceCase& c : cases) {
    MemoText text;
    text.Replace(0, 0, c.start_text);
    text.Replace(c.start, c.length, c.insert);
    EXPECT_EQ(text.Text(), c.text) << c.start_text << " @" << c.start;
    EXPECT_EQ(text.LineCount(), c.lines) << c.start_text;
  }
}

// Against a plain string with the same rules, across many blocks.
TEST(MemoTextTest, RandomEditsMatchAPlainString) {
  std::mt19937 random(7);
  MemoText text;
  std::string plain;
  const char* pieces[] = {"", "x", "\xC8\x99", "\r\n", "ab\r\ncd", "\r\n\r\n\r\n"};
  for (int step = 0; step < 1500; ++step) {
    std::string insert;
    const int parts = static_cast<int>(random() % 40);
    for (int i = 0; i < parts; ++i) insert += pieces[random() % 6];
    const int length = text.Length();
    int start = length == 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(length + 1));
    int count = static_cast<int>(random() % 30);
    if (step % 5 != 0) count = 0;
    start = text.Snap(start);
    const int end = text.Snap(std::min(length, start + count));
    // The plain text counts characters the same way: one code point per position.
    auto byte_of = [&](int position) {
      std::size_t i = 0;
      for (int p = 0; p < position; ++p) {
        ++i;
        while (i < plain.size() && (static_cast<unsigned char>(plain[i]) & 0xC0) == 0x80) ++i;
      }
      return i;
    };
    const std::size_t b0 = byte_of(start);
    plain.replace(b0, byte_of(end) - b0, insert);
    ASSERT_TRUE(text.Replace(start, end - start, insert));
    if (step % 100 == 0) {
      ASSERT_EQ(text.Text(), plain) << step;
    }
  }
  ASSERT_EQ(text.Text(), plain);
  int lines = 1;
  int position = 0;
  for (std::size_t i = 0; i + 1 < plain.size(); ++i) {
    if (plain[i] == '\r') {
      EXPECT_EQ(text.LineOfPosition(position), lines - 1);
      ++lines;
    }
    if ((static_cast<unsigned char>(plain[i]) & 0xC0) != 0x80) ++position;
  }
  EXPECT_EQ(text.LineCount(), lines);
  EXPECT_GT(text.LineCount(), 1000);
}

}  // namespace
}  // namespace orlit
