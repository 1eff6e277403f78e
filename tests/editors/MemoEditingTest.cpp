#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "EditorsFixture.h"
#include "editors/InnerMemo.h"
#include "editors/MemoEdit.h"
#include "framework/Control.h"

namespace orlit::editors_testing {
namespace {

// Rows of ten characters of a fixed-pitch font, three of them in view. The text used by most
// cases lays out as (positions in brackets):
//   row 0 "abc defgh " [0, 10)     the space hangs at the edge
//   row 1 "ijklmnopqr" [10, 20)    a word wider than the row breaks between characters
//   row 2 "stu"        [20, 23)    then CR LF
//   row 3 "xy"         [25, 27)    then CR LF
//   rows 4 to 6: "0123456789" [29, 39), "0123456789" [39, 49), "01234567" [49, 57)
constexpr int kRowChars = 10;
constexpr int kRowsInView = 3;
const char* const kText = "abc defgh ijklmnopqrstu\r\nxy\r\n0123456789012345678901234567";

class MemoEditingTest : public EditorTest {
 protected:
  MemoEditingTest() {
    memo_ = form_->Create<TcxMemo>();
    memo_->SetParent(form_);
    TFont& font = memo_->Style().Font();
    font.SetName("Liberation Mono");
    font.SetHeight(-13);
    memo_->SetBounds(10, 10, 200, 100);
    Show();
    TControl& inner = Inner();
    char_width_ = font.Handle()->TextWidth("x");
    row_height_ = font.Handle()->TextMetrics().tmHeight;
    // The text may run to the client's right edge less the caret's pixel.
    memo_->SetBounds(10, 10, memo_->Width() - inner.ClientWidth() + kRowChars * char_width_ + 1,
                     memo_->Height() - inner.ClientHeight() + kRowsInView * row_height_);
    app_.ProcessMessages();
    memo_->SetFocus();
    app_.ProcessMessages();
  }

  TControl& Inner() { return memo_->InnerMemo(); }

  void SetText(const std::string& text) { memo_->Lines().SetText(text); }

  void Select(int start, int length = 0) {
    memo_->SetSelStart(start);
    memo_->SetSelLength(length);
  }

  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < memo_->Lines().Count(); ++i) rows.push_back(memo_->Lines().Strings(i));
    return rows;
  }

  // A point inside the character cell at column `column` of the row `row` rows below the top of
  // the view, in screen coordinates.
  TPoint Cell(int column, int row) {
    return Screen(&Inner(), {column * char_width_ + 1, row * row_height_ + row_height_ / 2});
  }

  TcxMemo* memo_ = nullptr;
  int char_width_ = 0;
  int row_height_ = 0;
};

TEST_F(MemoEditingTest, WrappedLinesCountAsTheirRows) {
  struct Case {
    std::string text;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"", {}},
      {"abcdefghij", {"abcdefghij"}},
      {"abcdefghijk", {"abcdefghij", "k"}},
      {"abc defgh ijk", {"abc defgh ", "ijk"}},
      {"abcdefgh   xy", {"abcdefgh   ", "xy"}},
      {"aaaa bbbbbbbbbbbbbbbbbbbbbbbb", {"aaaa ", "bbbbbbbbbb", "bbbbbbbbbb", "bbbb"}},
      {"ab\r\n", {"ab"}},
      {"abcdefghij\r\n", {"abcdefghij"}},
      {"abcdefghijk\r\n\r\nx", {"abcdefghij", "k", "", "x"}},
      {kText, {"abc defgh ", "ijklmnopqr", "stu", "xy", "0123456789", "0123456789", "01234567"}},
  };
  for (const Case& c : cases) {
    SetText(c.text);
    EXPECT_EQ(Rows(), c.rows) << c.text;
    EXPECT_EQ(memo_->Lines().Count(), static_cast<int>(c.rows.size())) << c.text;
  }
}

TEST_F(MemoEditingTest, TextBeyondTheCapacityIsRefusedWhole) {
  SetText("kept");
  // One character short of the capacity, but the break counts two.
  std::string text(MemoText::kCapacity - 1, 'x');
  text += '\n';
  try {
    memo_->Lines().SetText(text);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Text exceeds memo capacity");
  }
  EXPECT_EQ(memo_->Lines().Text(), "kept");
}

struct Step {
  int key;
  ShiftState shift = 0;
};

// Keys from a caret position: where the selection then starts and how long it is.
struct KeyCase {
  const char* name;
  int from;
  std::vector<Step> steps;
  int sel_start;
  int sel_length = 0;
};

TEST_F(MemoEditingTest, CaretKeysFollowTheWrappedRows) {
  const KeyCase cases[] = {
      {"home_in_a_broken_word", 14, {{VK_HOME}}, 10},
      {"end_stays_before_the_next_row", 12, {{VK_END}}, 19},
      {"end_stays_before_the_hanging_space", 2, {{VK_END}}, 9},
      {"end_of_the_last_row_of_a_line", 21, {{VK_END}}, 23},
      {"home_from_the_line_end", 23, {{VK_HOME}}, 20},
      {"down_to_the_next_row", 2, {{VK_DOWN}}, 12},
      {"down_into_a_short_row", 12, {{VK_DOWN}}, 22},
      {"down_into_the_next_line", 22, {{VK_DOWN}}, 27},
      {"down_from_the_edge", 9, {{VK_DOWN}}, 19},
      {"up_into_a_wrapped_row", 27, {{VK_UP}}, 22},
      {"up_on_the_first_row", 0, {{VK_UP}}, 0},
      {"column_kept_over_short_rows", 8, {{VK_DOWN}, {VK_DOWN}, {VK_DOWN}, {VK_DOWN}}, 37},
      {"down_on_the_last_row", 52, {{VK_DOWN}}, 52},
      {"right_over_the_line_break", 23, {{VK_RIGHT}}, 25},
      {"left_over_the_line_break", 25, {{VK_LEFT}}, 23},
      {"ctrl_end", 3, {{VK_END, ssCtrl}}, 57},
      {"ctrl_home", 40, {{VK_HOME, ssCtrl}}, 0},
      {"page_down", 0, {{VK_NEXT}}, 25},
      {"page_down_twice", 0, {{VK_NEXT}, {VK_NEXT}}, 49},
      {"page_up_keeps_the_column", 57, {{VK_PRIOR}}, 27},
  };
  SetText(kText);
  for (const KeyCase& c : cases) {
    Select(0);
    Select(c.from);
    for (const Step& step : c.steps) Press(step.key, step.shift);
    EXPECT_EQ(memo_->SelStart(), c.sel_start) << c.name;
    EXPECT_EQ(memo_->SelLength(), c.sel_length) << c.name;
  }
}

TEST_F(MemoEditingTest, ShiftKeysExtendTheSelectionFromItsAnchor) {
  const KeyCase cases[] = {
      {"right", 2, {{VK_RIGHT, ssShift}, {VK_RIGHT, ssShift}, {VK_RIGHT, ssShift}}, 2, 3},
      {"down_a_row", 2, {{VK_DOWN, ssShift}}, 2, 10},
      {"up_then_right_moves_the_caret_end", 12, {{VK_UP, ssShift}, {VK_RIGHT, ssShift}}, 3, 9},
      {"back_over_the_anchor",
       5,
       {{VK_RIGHT, ssShift}, {VK_LEFT, ssShift}, {VK_LEFT, ssShift}},
       4,
       1},
      {"end_of_a_wrapped_row", 14, {{VK_END, ssShift}}, 14, 5},
      {"home_of_a_wrapped_row", 14, {{VK_HOME, ssShift}}, 10, 4},
      {"over_a_line_break", 23, {{VK_RIGHT, ssShift}}, 23, 2},
      {"to_the_end", 0, {{VK_END, ssCtrl | ssShift}}, 0, 57},
      {"page_down", 2, {{VK_NEXT, ssShift}}, 2, 25},
      {"right_without_shift_collapses_to_the_end",
       2,
       {{VK_RIGHT, ssShift}, {VK_RIGHT, ssShift}, {VK_RIGHT}},
       4},
      {"left_without_shift_collapses_to_the_start", 12, {{VK_DOWN, ssShift}, {VK_LEFT}}, 12},
  };
  SetText(kText);
  for (const KeyCase& c : cases) {
    Select(0);
    Select(c.from);
    for (const Step& step : c.steps) Press(step.key, step.shift);
    EXPECT_EQ(memo_->SelStart(), c.sel_start) << c.name;
    EXPECT_EQ(memo_->SelLength(), c.sel_length) << c.name;
  }
}

TEST_F(MemoEditingTest, DraggingSelectsFromThePressToThePointer) {
  struct Case {
    const char* name;
    TPoint press;  // column, row in view
    std::vector<TPoint> moves;
    int sel_start;
    int sel_length;
  };
  const Case cases[] = {
      {"forward_over_rows", {1, 0}, {{4, 1}, {2, 2}}, 1, 21},
      {"backward_past_a_row_end", {5, 2}, {{1, 0}}, 1, 22},
      {"back_to_the_press", {3, 1}, {{6, 2}, {3, 1}}, 13, 0},
      {"below_the_view_reaches_the_next_row", {1, 0}, {{1, kRowsInView}}, 1, 25},
  };
  SetText(kText);
  for (const Case& c : cases) {
    Select(0);
    desktop_.MoveMouse(Cell(c.press.X, c.press.Y));
    desktop_.MouseDown();
    app_.ProcessMessages();
    for (const TPoint& to : c.moves) {
      desktop_.MoveMouse(Cell(to.X, to.Y));
      app_.ProcessMessages();
    }
    desktop_.MouseUp();
    app_.ProcessMessages();
    EXPECT_EQ(memo_->SelStart(), c.sel_start) << c.name;
    EXPECT_EQ(memo_->SelLength(), c.sel_length) << c.name;
    // Pointer moves after the release select nothing more.
    desktop_.MoveMouse(Cell(0, 0));
    app_.ProcessMessages();
    EXPECT_EQ(memo_->SelLength(), c.sel_length) << c.name;
    Advance(1000);  // no double click with the next case's press
  }
}

TEST_F(MemoEditingTest, CopyTakesTheSelectedCharactersAndBreaks) {
  struct Case {
    int start;
    int length;
    std::string clipboard;
  };
  const Case cases[] = {
      {8, 4, "h ij"},       // a wrap adds no break
      {21, 8, "tu\nxy\n"},  // LF, as other programs here expect
      {2, 25, "c defgh ijklmnopqrstu\nxy"},
      {30, 0, "before"},  // nothing selected: the clipboard keeps what it held
  };
  SetText(kText);
  for (const Case& c : cases) {
    desktop_.SetClipboardText("before");
    Select(c.start, c.length);
    Press('C', ssCtrl);
    EXPECT_EQ(desktop_.ClipboardText(), c.clipboard) << c.start;
    EXPECT_EQ(memo_->Lines().Text(), kText);
  }
}

TEST_F(MemoEditingTest, UndoTakesBackTheLastEditAndThenRedoesIt) {
  // Each step: text typed, or a key; "^Z" presses Ctrl+Z, "paste:T" pastes T, "add:T" appends a
  // line from code.
  struct Case {
    const char* name;
    std::vector<std::string> steps;
    std::string text;
  };
  const Case cases[] = {
      {"typing_is_one_step", {"abc", "^Z"}, ""},
      {"undo_twice_redoes", {"abc", "^Z", "^Z"}, "abc"},
      {"typing_elsewhere_is_a_new_step", {"ab", "LEFT", "x", "^Z"}, "ab"},
      {"typing_after_enter_is_a_new_step", {"ab", "ENTER", "c", "^Z"}, "ab\r\n"},
      {"enter_is_a_step", {"ab", "ENTER", "^Z"}, "ab"},
      {"backspace", {"abc", "BACK", "^Z"}, "abc"},
      {"delete_of_a_selection", {"abc", "SHIFT+HOME", "DEL", "^Z"}, "abc"},
      {"paste_accepts_every_break", {"ab", "LEFT", "paste:x\ny\rz\r\nw"}, "ax\r\ny\r\nz\r\nwb"},
      {"paste_is_one_step", {"ab", "LEFT", "paste:x\ny\rz", "^Z"}, "ab"},
      {"typing_over_a_selection", {"abc", "SHIFT+LEFT", "SHIFT+LEFT", "x", "^Z"}, "abc"},
      {"changes_from_code_are_not_undone", {"a", "add:b", "^Z"}, "a\r\nb"},
  };
  for (const Case& c : cases) {
    SetText("");
    for (const std::string& step : c.steps) {
      if (step == "^Z") {
        Press('Z', ssCtrl);
      } else if (step == "LEFT") {
        Press(VK_LEFT);
      } else if (step == "ENTER") {
        Press(VK_RETURN);
      } else if (step == "BACK") {
        Press(VK_BACK);
      } else if (step == "DEL") {
        Press(VK_DELETE);
      } else if (step == "SHIFT+HOME") {
        Press(VK_HOME, ssShift);
      } else if (step == "SHIFT+LEFT") {
        Press(VK_LEFT, ssShift);
      } else if (step.starts_with("paste:")) {
        desktop_.SetClipboardText(step.substr(6));
        Press('V', ssCtrl);
      } else if (step.starts_with("add:")) {
        memo_->Lines().Add(step.substr(4));
      } else {
        Type(step);
      }
    }
    EXPECT_EQ(memo_->Lines().Text(), c.text) << c.name;
  }
}

}  // namespace
}  // namespace orlit::editors_testing
