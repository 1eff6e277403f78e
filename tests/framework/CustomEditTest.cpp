#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MarkedText.h"
#include "framework/Application.h"
#include "framework/CustomEdit.h"
#include "framework/Form.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// A key with its modifiers, or a text typed as the keyboard would.
struct Step {
  int key = 0;
  TShiftState shift = 0;
  const char* text = nullptr;
};
Step K(int key, TShiftState shift = 0) { return {key, shift, nullptr}; }
Step T(const char* text) { return {0, 0, text}; }

// The edit's state as its text with "|" at the caret and "^" at the anchor when they differ.
std::string Marked(const TCustomEdit& edit) {
  const EditText& model = edit.Model();
  std::string out;
  for (int i = 0; i <= model.Length(); ++i) {
    if (i == model.Anchor() && model.HasSelection()) out += "^";
    if (i == model.Caret()) out += "|";
    if (i < model.Length()) out += ToUtf8(model.Chars().substr(static_cast<std::size_t>(i), 1));
  }
  return out;
}

std::uint32_t Rgb(TColor color) {
  const TColor bgr = ColorToRGB(color);
  return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

class CustomEditTest : public ::testing::Test {
 protected:
  static constexpr TPoint kEditAt{10, 10};

  CustomEditTest() : app_(desktop_, "/opt/orlit/orlit_cfs") {
    app_.CreateForm(form_);
    form_->SetBounds(100, 100, 300, 80);
    other_ = NewEdit({10, 40}, 120);
    form_->Show();
    Settle();
  }

  TEdit* NewEdit(TPoint at, int width) {
    auto* edit = form_->Create<TEdit>();
    edit->SetParent(form_);
    edit->SetBounds(at.X, at.Y, width, 21);
    return edit;
  }
  // A new focused edit holding `marked` ("ab^cd|" as Marked writes it).
  TEdit* Start(const std::string& marked, int width = 120) {
    if (edit_ != nullptr) form_->RemoveComponent(edit_);
    edit_ = NewEdit(kEditAt, width);
    edit_->SetTabOrder(0);
    edit_->SetFocus();
    Settle();
    const MarkedText state = ParseMarkedText(marked);
    edit_->SetText(ToUtf8(state.text));
    edit_->SetSelection(state.anchor, state.caret);
    Settle();
    return edit_;
  }
  void Settle() { app_.ProcessMessages(); }
  // Each step is painted before the next, as when a person types.
  void Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      if (step.text != nullptr) {
        desktop_.TypeText(step.text);
      } else {
        desktop_.PressKey(step.key, step.shift);
      }
      Settle();
    }
  }
  TPoint ScreenAt(int x, int y = 5) { return edit_->ClientToScreen({x, y}); }
  int X(int index) { return edit_->PosFromChar(index).X; }
  // What the window shows, painted piece by piece as the edit invalidated it.
  const PixelImage& Shown() { return desktop_.Window(form_->Window()->Id())->pixels; }
  std::uint32_t ShownAt(int x, int y) { return Shown().Pixel(kEditAt.X + x, kEditAt.Y + y); }

  HeadlessWindowSystem desktop_;
  TApplication app_;
  TForm* form_ = nullptr;
  TEdit* other_ = nullptr;
  TEdit* edit_ = nullptr;
};

struct KeyCase {
  const char* before;
  std::vector<Step> steps;
  const char* after;
  const char* clipboard_before = "";
  const char* clipboard_after = "";
};

TEST_F(CustomEditTest, KeysThroughTheWindowSystem) {
  const KeyCase cases[] = {
      {"ăș|â", {K(VK_LEFT)}, "ă|șâ"},
      {"ăș|â", {K(VK_LEFT, ssShift), K(VK_LEFT, ssShift)}, "|ăș^â"},
      {"ăla bală|", {K(VK_LEFT, ssCtrl)}, "ăla |bală"},
      {"|ăla bală", {K(VK_RIGHT, ssCtrl | ssShift)}, "^ăla| bală"},
      {"ăș|â", {K(VK_HOME, ssShift)}, "|ăș^â"},
      {"|ășâ", {K(VK_END)}, "ășâ|"},
      {"a^bc|d", {K(VK_RIGHT)}, "abc|d"},
      {"ăș|â", {K(VK_BACK)}, "ă|â"},
      {"ăș|â", {K(VK_DELETE)}, "ăș|"},
      {"ăla bală|", {K(VK_BACK, ssCtrl)}, "ăla |"},
      {"ăla| bală", {K(VK_DELETE, ssCtrl)}, "ăla|"},
      {"a^bc|d", {T("ș")}, "aș|d"},
      {"ab|", {K('A', ssCtrl)}, "^ab|"},
      {"ab|", {T("ăș"), K('Z', ssCtrl)}, "ab|"},
      {"ab|", {T("x"), K('Z', ssCtrl), K('Z', ssCtrl)}, "abx|"},
      {"ab|", {T("\r"), K(VK_ESCAPE), K(VK_RETURN, ssCtrl)}, "ab|"},
      {"a|b", {K(VK_UP), K(VK_DOWN), K(VK_LEFT, ssAlt)}, "a|b"},
      {"a^bc|d", {K('C', ssCtrl)}, "a^bc|d", "", "bc"},
      {"a^bc|d", {K(VK_INSERT, ssCtrl)}, "a^bc|d", "", "bc"},
      {"a^bc|d", {K('X', ssCtrl)}, "a|d", "", "bc"},
      {"a^bc|d", {K(VK_DELETE, ssShift)}, "a|d", "", "bc"},
      {"a|d", {K('V', ssCtrl)}, "aăș|d", "ăș", "ăș"},
      {"a|d", {K(VK_INSERT, ssShift)}, "axy|d", "xy\nz", "xy\nz"},
      {"a|d", {K('C', ssCtrl), K('X', ssCtrl)}, "a|d", "keep", "keep"},
  };
  for (const KeyCase& c : cases) {
    desktop_.SetClipboardText(c.clipboard_before);
    Start(c.before);
    Run(c.steps);
    EXPECT_EQ(Marked(*edit_), c.after) << c.before;
    EXPECT_EQ(desktop_.ClipboardText(), c.clipboard_after) << c.before;
  }
}

TEST_F(CustomEditTest, APasteTakesAtMostItsCapAndDropsTheRest) {
  std::string huge;
  for (std::size_t i = 0; i < kMaxPastedChars + 10; ++i) huge += "ă";
  desktop_.SetClipboardText(huge);
  Start("a|b");
  Run({K('V', ssCtrl)});
  EXPECT_EQ(edit_->Text(), "a" + huge.substr(0, 2 * kMaxPastedChars) + "b");
  EXPECT_EQ(edit_->SelStart(), static_cast<int>(kMaxPastedChars) + 1);
}

TEST_F(CustomEditTest, ReadOnlyKeepsCaretSelectionAndCopy) {
  const KeyCase cases[] = {
      {"a^bc|d", {K('X', ssCtrl), K(VK_DELETE, ssShift), T("q")}, "a^bc|d", "", ""},
      {"a^bc|d", {K('C', ssCtrl)}, "a^bc|d", "", "bc"},
      {"a|d", {K('V', ssCtrl), K(VK_BACK), K(VK_DELETE), K('Z', ssCtrl)}, "a|d", "xy", "xy"},
      {"a|d", {K(VK_LEFT), K(VK_END, ssShift)}, "^ad|", "", ""},
  };
  for (const KeyCase& c : cases) {
    desktop_.SetClipboardText(c.clipboard_before);
    Start(c.before)->SetReadOnly(true);
    Run(c.steps);
    EXPECT_EQ(Marked(*edit_), c.after) << c.before;
    EXPECT_EQ(desktop_.ClipboardText(), c.clipboard_after) << c.before;
  }
}

TEST_F(CustomEditTest, APasswordCharacterHidesTheTextFromClipboardAndWordMoves) {
  desktop_.SetClipboardText("keep");
  Start("il ^ab|")->SetPasswordChar(U'*');
  Run({K('C', ssCtrl), K('X', ssCtrl), K(VK_INSERT, ssCtrl), K(VK_DELETE, ssShift)});
  EXPECT_EQ(desktop_.ClipboardText(), "keep");
  EXPECT_EQ(Marked(*edit_), "il ^ab|");
  Run({K(VK_LEFT, ssCtrl)});
  EXPECT_EQ(Marked(*edit_), "|il ab");
  // Every character takes the width of the password character, so nothing of the text shows.
  EXPECT_EQ(X(1) - X(0), X(2) - X(1));
  EXPECT_EQ(X(5) - X(4), X(1) - X(0));
}

TEST_F(CustomEditTest, AnEnterThatReachesTheEditBeepsOnce) {
  Start("ab|");
  Run({T("\r"), K(VK_ESCAPE), K(VK_RETURN, ssCtrl), T("x")});
  EXPECT_EQ(desktop_.BeepCount(), 1);
  edit_->SetReadOnly(true);
  Run({T("\r")});
  EXPECT_EQ(desktop_.BeepCount(), 2);
  edit_->OnKeyPress = [](TObject*, char32_t& key) {
    if (key == U'\r') key = 0;
  };
  Run({T("\r")});
  EXPECT_EQ(desktop_.BeepCount(), 2);
}

TEST_F(CustomEditTest, HandlersSeeKeysFirstAndChangesAfter) {
  Start("ab|");
  std::vector<std::string> log;
  edit_->OnKeyDown = [](TObject*, int& key, TShiftState) {
    if (key == VK_LEFT) key = 0;
  };
  edit_->OnKeyPress = [](TObject*, char32_t& key) {
    if (key == U'a') key = U'b';
    if (key == U'q') key = 0;
  };
  edit_->OnChange = [&](TObject* sender) {
    auto* edit = static_cast<TCustomEdit*>(sender);
    log.push_back(edit->Text() + (edit->ChangingByUser() ? " user" : " code"));
  };
  Run({K(VK_LEFT), T("aq"), K(VK_HOME), K(VK_BACK), K(VK_DELETE)});
  EXPECT_EQ(Marked(*edit_), "|bb");
  EXPECT_TRUE(edit_->Modified());
  edit_->SetText("bb");  // the same text: nothing happens
  edit_->SetText("x");
  EXPECT_FALSE(edit_->Modified());
  EXPECT_FALSE(edit_->CanUndo());
  Run({K('A', ssCtrl), T("y"), K('Z', ssCtrl)});
  EXPECT_EQ(log, (std::vector<std::string>{"abb user", "bb user", "x code", "y user", "x user"}));
}

TEST_F(CustomEditTest, MouseClickDragShiftClickDoubleAndTripleClick) {
  Start("ăla bală|");
  // Presses further apart than the double-click time, except where a double click is meant.
  desktop_.Click(ScreenAt((X(1) + X(2)) / 2 + 1));
  Settle();
  EXPECT_EQ(Marked(*edit_), "ăl|a bală");
  desktop_.AdvanceTime(1000);
  desktop_.MoveMouse(ScreenAt(X(1)));
  desktop_.MouseDown();
  desktop_.MoveMouse(ScreenAt(X(6)));
  desktop_.MouseUp();
  desktop_.MoveMouse(ScreenAt(X(7)));  // released: no longer selecting
  Settle();
  EXPECT_EQ(Marked(*edit_), "ă^la ba|lă");
  desktop_.AdvanceTime(1000);
  desktop_.KeyDown(VK_SHIFT);
  desktop_.Click(ScreenAt(X(8)));
  desktop_.KeyUp(VK_SHIFT);
  Settle();
  EXPECT_EQ(Marked(*edit_), "ă^la bală|");
  desktop_.AdvanceTime(1000);
  desktop_.DoubleClick(ScreenAt(X(5)));
  Settle();
  EXPECT_EQ(Marked(*edit_), "ăla ^bală|");
  desktop_.Click(ScreenAt(X(5) + 1));
  Settle();
  EXPECT_EQ(Marked(*edit_), "^ăla bală|");
  // A third press after the double-click time is a plain click.
  desktop_.AdvanceTime(1000);
  desktop_.DoubleClick(ScreenAt(X(1)));
  Settle();
  desktop_.AdvanceTime(HeadlessWindowSystem::kDoubleClickTimeMs);
  desktop_.Click(ScreenAt(X(1)));
  Settle();
  EXPECT_EQ(Marked(*edit_), "ă|la bală");
  EXPECT_EQ(desktop_.CurrentCursor(), CursorShape::kIBeam);
}

TEST_F(CustomEditTest, TheCaretBlinksUnderVirtualTimeAndStaysOnWhileTyping) {
  Start("ab |");
  const int caret_x = X(3);
  const std::uint32_t ink = Rgb(clWindowText);
  const std::uint32_t paper = Rgb(clWindow);
  auto caret_pixel = [&] { return ShownAt(caret_x, 5); };
  EXPECT_TRUE(edit_->CaretShown());
  EXPECT_EQ(caret_pixel(), ink);
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs - 1);
  Settle();
  EXPECT_EQ(caret_pixel(), ink);
  desktop_.AdvanceTime(1);
  Settle();
  EXPECT_FALSE(edit_->CaretShown());
  EXPECT_EQ(caret_pixel(), paper);
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs);
  Settle();
  EXPECT_EQ(caret_pixel(), ink);
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs);
  Run({K(VK_LEFT), K(VK_RIGHT)});
  EXPECT_EQ(caret_pixel(), ink);
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs - 1);
  Settle();
  EXPECT_EQ(caret_pixel(), ink);
  other_->SetFocus();
  desktop_.AdvanceTime(5 * TCustomEdit::kCaretBlinkMs);
  Settle();
  EXPECT_FALSE(edit_->CaretShown());
  EXPECT_EQ(caret_pixel(), paper);
}

TEST_F(CustomEditTest, SelectionPixelsAndHideSelection) {
  Start("a^aa|a");
  // The bottom row lies below the letters: only the selection band colours it.
  const int row = edit_->CaretRect().Bottom - 1;
  const std::uint32_t band = Rgb(clHighlight);
  const std::uint32_t paper = Rgb(clWindow);
  auto expect_band = [&](std::uint32_t inside) {
    EXPECT_EQ(ShownAt(X(1) - 1, row), paper);
    EXPECT_EQ(ShownAt(X(1), row), inside);
    EXPECT_EQ(ShownAt(X(3) - 1, row), inside);
    EXPECT_EQ(ShownAt(X(3), row), paper);
  };
  expect_band(band);
  other_->SetFocus();
  Settle();
  expect_band(paper);
  edit_->SetHideSelection(false);
  Settle();
  expect_band(band);
}

TEST_F(CustomEditTest, FocusByTabSelectsAllUnlessAutoSelectIsOff) {
  Start("ab|");
  other_->SetText("xy");
  other_->SetTabOrder(1);
  Run({K(VK_TAB)});
  ASSERT_TRUE(other_->Focused());
  EXPECT_EQ(Marked(*other_), "^xy|");
  other_->SetSelStart(1);
  other_->SetAutoSelect(false);
  Run({K(VK_TAB, ssShift), K(VK_TAB)});
  EXPECT_EQ(Marked(*other_), "x|y");
}

TEST_F(CustomEditTest, ScrollingKeepsTheCaretInView) {
  Start("|", 60);
  const std::string text = "ăla bală portocală, o mie de lei";
  for (char32_t c : ToCodePoints(text)) {
    Run({T(ToUtf8(std::u32string(1, c)).c_str())});
    const TRect caret = edit_->CaretRect();
    ASSERT_GE(caret.Left, 0) << edit_->Text();
    ASSERT_LE(caret.Right, edit_->ClientWidth()) << edit_->Text();
  }
  EXPECT_GT(edit_->ScrollOffset(), 0);
  Run({K(VK_HOME)});
  EXPECT_EQ(edit_->ScrollOffset(), 0);
  EXPECT_EQ(edit_->CaretRect().Left, 0);
  for (int i = 0; i < 40; ++i) {
    Run({K(VK_RIGHT, ssCtrl)});
    ASSERT_LE(edit_->CaretRect().Right, edit_->ClientWidth());
    ASSERT_GE(edit_->CaretRect().Left, 0);
  }
  Run({K('A', ssCtrl), K(VK_DELETE)});
  EXPECT_EQ(edit_->ScrollOffset(), 0);
}

TEST_F(CustomEditTest, ANarrowTextSitsByItsAlignment) {
  Start("ab|", 60);
  const int width = X(2) - X(0);
  const int view = 60 - TCustomEdit::kCaretWidth;
  edit_->SetAlignment(taRightJustify);
  EXPECT_EQ(X(0), view - width);
  edit_->SetAlignment(taCenter);
  EXPECT_EQ(X(0), (view - width) / 2);
}

TEST_F(CustomEditTest, AKeystrokeInvalidatesOnlyWhatItChanges) {
  Start("abc|");
  const WindowId window = form_->Window()->Id();
  auto dirty_after = [&](Event event) {
    event.window = window;
    form_->HandleEvent(event);
    const TRect bounds = form_->Dirty().Bounds();
    Settle();
    return bounds.Offset(-kEditAt.X, -kEditAt.Y);
  };
  Event typed;
  typed.type = EventType::kCharacter;
  typed.character = U'd';
  const int old_caret = X(3);
  EXPECT_EQ(dirty_after(typed), (TRect{old_caret, 0, edit_->ClientWidth(), 21}));
  Event left;
  left.type = EventType::kKeyDown;
  left.key = VK_LEFT;
  EXPECT_EQ(dirty_after(left), (TRect{X(3), 0, X(4) + 1, 21}));
  // A blink presents the caret's column and nothing else.
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs);
  Settle();
  EXPECT_FALSE(edit_->CaretShown());
  EXPECT_EQ(desktop_.Window(window)->last_dirty,
            (TRect{X(3), 0, X(3) + 1, 21}.Offset(kEditAt.X, kEditAt.Y)));
}

TEST_F(CustomEditTest, PiecewisePaintingMatchesAFullRepaint) {
  Start("|", 70);
  // Scrolled while typing; then edits near the start, which leave the scroll alone.
  Run({T("ăla bală portocală"), K(VK_END, ssShift), K(VK_HOME), K(VK_RIGHT, ssShift), K(VK_BACK),
       T("x"), K(VK_RIGHT, ssCtrl), K(VK_RIGHT, ssCtrl | ssShift), K(VK_DELETE), K('Z', ssCtrl),
       K(VK_BACK, ssCtrl), K(VK_RIGHT, ssShift), K(VK_RIGHT, ssShift), K(VK_RIGHT, ssShift),
       K(VK_LEFT, ssShift)});
  desktop_.AdvanceTime(TCustomEdit::kCaretBlinkMs);
  Settle();
  const PixelImage piecewise = Shown();
  const PixelImage whole = form_->RenderImage();
  ASSERT_EQ(piecewise.Width(), whole.Width());
  EXPECT_TRUE(
      std::equal(piecewise.Pixels().begin(), piecewise.Pixels().end(), whole.Pixels().begin()));
}

}  // namespace
}  // namespace orlit
