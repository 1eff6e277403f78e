#include <gtest/gtest.h>

#include <string>

#include "framework/MemoEditText.h"

namespace orlit {
namespace {

// The user's edits at the ends of lines and against the limits, where the break (two positions)
// must stay whole.
TEST(MemoEditTextTest, UserEditsKeepBreaksWholeAndHonourTheLimits) {
  enum class Edit { kInsert, kBackspace, kCtrlBackspace, kCtrlDelete };
  struct Case {
    const char* name;
    const char* text;
    int caret;
    Edit edit;
    std::u32string inserted;
    int max_length;
    TEditCharCase char_case;
    const char* result;
    int result_caret;
  };
  const Case cases[] = {
      {"break_cut_whole", "ab", 2, Edit::kInsert, U"x\ny", 4, ecNormal, "abx", 3},
      {"break_fits", "ab", 2, Edit::kInsert, U"\r\ny", 4, ecNormal, "ab\r\n", 4},
      {"controls_dropped", "", 0, Edit::kInsert, U"a\x01\tb\x85", 0, ecNormal, "a\tb", 3},
      {"case_applies", "", 0, Edit::kInsert, U"a\u00e4", 0, ecUpperCase, "A\u00c4", 2},
      {"backspace_at_line_start", "ab\r\ncd", 4, Edit::kBackspace, U"", 0, ecNormal, "abcd", 2},
      {"word_back_at_line_start", "ab\r\ncd", 4, Edit::kCtrlBackspace, U"", 0, ecNormal, "abcd", 2},
      {"word_back_in_line", "ab\r\ncd ef", 9, Edit::kCtrlBackspace, U"", 0, ecNormal, "ab\r\ncd ",
       7},
      {"word_delete_at_line_end", "ab\r\ncd", 2, Edit::kCtrlDelete, U"", 0, ecNormal, "abcd", 2},
  };
  for (const Case& c : cases) {
    MemoEditText text;
    text.Replace(0, 0, c.text);
    text.SetSelection(c.caret, c.caret);
    text.SetMaxLength(c.max_length);
    text.SetCharCase(c.char_case);
    switch (c.edit) {
      case Edit::kInsert:
        text.Insert(c.inserted);
        break;
      case Edit::kBackspace:
      case Edit::kCtrlBackspace:
        text.DeleteBackward(c.edit == Edit::kCtrlBackspace);
        break;
      case Edit::kCtrlDelete:
        text.DeleteForward(true);
        break;
    }
    EXPECT_EQ(text.Text(), c.result) << c.name;
    EXPECT_EQ(text.Caret(), c.result_caret) << c.name;
  }
}

}  // namespace
}  // namespace orlit
