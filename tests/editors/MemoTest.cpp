#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "EditorsFixture.h"
#include "editors/InnerMemo.h"
#include "editors/MemoEdit.h"
#include "editors/MemoScrollBars.h"

namespace orlit::editors_testing {
namespace {

class MemoTest : public EditorTest {
 protected:
  TcxMemo* AddMemo(int left, int top, int width, int height) {
    auto* memo = form_->Create<TcxMemo>();
    memo->SetParent(form_);
    memo->SetBounds(left, top, width, height);
    UseWindowFont(memo, -13);
    memo->Style().SetShadow(true);
    return memo;
  }
};

// Each step: "add X", "insert I X", "put I X", "delete I", "text X" (whole text, \n as written).
void Apply(TStrings& lines, const std::string& step) {
  const std::size_t space = step.find(' ');
  const std::string verb = step.substr(0, space);
  std::string rest = space == std::string::npos ? "" : step.substr(space + 1);
  if (verb == "add") return static_cast<void>(lines.Add(rest));
  if (verb == "text") return lines.SetText(rest);
  const int index = std::stoi(rest);
  rest = rest.find(' ') == std::string::npos ? "" : rest.substr(rest.find(' ') + 1);
  if (verb == "insert") return lines.Insert(index, rest);
  if (verb == "put") return lines.SetStrings(index, rest);
  if (verb == "delete") return lines.Delete(index);
  FAIL() << step;
}

TEST_F(MemoTest, LinesFollowTheLineListRules) {
  struct Case {
    std::vector<std::string> steps;
    std::string text;
    int count;
  };
  const Case cases[] = {
      {{"add a"}, "a\r\n", 1},
      {{"add a", "add b"}, "a\r\nb\r\n", 2},
      {{"text one", "add two"}, "one\r\ntwo", 2},
      {{"text one", "add two", "add three"}, "one\r\ntwo\r\nthree", 3},
      {{"text a\r\nb\r\n"}, "a\r\nb\r\n", 2},
      {{"text a\rb\nc\r\n\n"}, "a\r\nb\r\nc\r\n\r\n", 4},
      {{"add a", "insert 5 x", "insert -1 x"}, "a\r\n", 1},
      {{"add a", "insert 0 z"}, "z\r\na\r\n", 2},
      {{"add a", "add b", "put 1 B", "put 7 x"}, "a\r\nB\r\n", 2},
      {{"add a", "add b", "add c", "delete 1", "delete 9"}, "a\r\nc\r\n", 2},
      {{"text a\r\nb", "delete 1"}, "a\r\n", 1},
      {{"add a", "text "}, "", 0},
  };
  TcxMemo* memo = AddMemo(10, 10, 300, 150);
  for (const Case& c : cases) {
    memo->Lines().Clear();
    for (const std::string& step : c.steps) Apply(memo->Lines(), step);
    EXPECT_EQ(memo->Lines().Text(), c.text) << c.steps.back();
    EXPECT_EQ(memo->Lines().Count(), c.count) << c.steps.back();
    EXPECT_EQ(VarToStr(memo->EditValue()), c.text) << c.steps.back();
  }
}

TEST_F(MemoTest, AppendsScrollToTheCaretLineBelowTheNewest) {
  TcxMemo* memo = AddMemo(10, 10, 200, 60);
  memo->Properties().SetReadOnly(true);
  Show();
  for (int i = 1; i <= 7; ++i) memo->Lines().Add("line " + std::to_string(i));
  TcxCustomInnerMemo& inner = memo->InnerMemo();
  EXPECT_EQ(inner.CaretIndex(), inner.GetTextLen());
  const int rows = inner.VisibleRows();
  ASSERT_LT(rows, 7);
  EXPECT_EQ(inner.TopRow(), 8 - rows);
  EXPECT_EQ(inner.RowOfPosition(inner.CaretIndex()), inner.TopRow() + rows - 1);
  EXPECT_EQ(memo->Lines().Strings(inner.TopRow() + rows - 2), "line 7");
}

TEST_F(MemoTest, ReadOnlyRefusesTheUserButSelectsAndCopies) {
  TcxMemo* memo = AddMemo(10, 10, 200, 80);
  memo->Properties().SetReadOnly(true);
  memo->Lines().Add("alpha");
  memo->Lines().Add("beta");
  Show();
  memo->SetFocus();
  const std::string text = memo->Lines().Text();
  desktop_.SetClipboardText("pasted");
  for (const char* keys : {"x", "\r", "\b"}) Type(keys);
  Press(VK_DELETE);
  Press('V', ssCtrl);
  EXPECT_EQ(memo->Lines().Text(), text);
  Press(VK_HOME, ssCtrl);
  Press(VK_DOWN, ssShift);
  Press('X', ssCtrl);
  EXPECT_EQ(desktop_.ClipboardText(), "alpha\n");
  EXPECT_EQ(memo->Lines().Text(), text);
  Press('A', ssCtrl);
  EXPECT_EQ(memo->SelLength(), static_cast<int>(text.size()));
}

TEST_F(MemoTest, CtrlAOnAnEmptyMemoIsLeftAlone) {
  TcxMemo* memo = AddMemo(10, 10, 200, 80);
  std::vector<int> keys_after;
  Show();
  memo->SetFocus();
  // The key reaches the native edit, which has no use for it: nothing is selected.
  Press('A', ssCtrl);
  EXPECT_EQ(memo->SelLength(), 0);
  memo->Lines().Add("x");
  memo->SetFocus();
  Press('A', ssCtrl);
  EXPECT_EQ(memo->SelLength(), 3);
}

TEST_F(MemoTest, ClicksOnTextAndBorderRaiseOnClickOnce) {
  TcxMemo* memo = AddMemo(10, 10, 200, 80);
  std::vector<std::string> order;
  memo->InnerMemo().OnClick = [&](TObject*) { order.push_back("inner"); };
  memo->OnClick = [&](TObject*) { order.push_back("memo"); };
  Show();
  Click(memo, {50, 30});
  EXPECT_EQ(order, (std::vector<std::string>{"inner", "memo"}));
  order.clear();
  Click(memo, {0, 0});
  EXPECT_EQ(order, (std::vector<std::string>{"memo"}));
}

TEST_F(MemoTest, DraggedThumbScrollsInProportionUntilReleased) {
  TcxMemo* memo = AddMemo(10, 10, 220, 170);
  memo->Properties().SetScrollBars(ssBoth);
  memo->Properties().SetWordWrap(false);
  // So long and so many that both thumbs are their shortest.
  std::string text(2000, 'x');
  for (int i = 1; i < 1000; ++i) text += "\ny";
  memo->Lines().SetText(text);
  Show();
  TcxCustomInnerMemo& inner = memo->InnerMemo();
  struct Case {
    bool horizontal;
    double share;  // of the thumb's travel, that the pointer moves along the bar
  };
  for (const Case c :
       {Case{false, 0.5}, {false, 1}, {false, 1.5}, {true, 0.5}, {true, 1}, {true, 3}}) {
    const TRect bar = c.horizontal ? memo->HorzScrollBarRect() : memo->VertScrollBarRect();
    auto position = [&] { return c.horizontal ? inner.ScrollX() : inner.TopRow(); };
    auto scroll = [&](int to) { c.horizontal ? inner.SetScrollX(to) : inner.SetTopRow(to); };
    scroll(INT_MAX);
    const int last = position();
    scroll(0);
    const int button = c.horizontal ? bar.Height() : bar.Width();
    const int travel = (c.horizontal ? bar.Width() : bar.Height()) - 2 * button -
                       TcxCustomMemoScrollBars::kMinThumb;
    // Scrolling leaves the caret (at the start) out of view.
    ASSERT_GT(last, travel) << c.share;
    const int moved = static_cast<int>(std::lround(c.share * travel));
    const TPoint grab = c.horizontal ? TPoint{bar.Left + button + 2, bar.Top + button / 2}
                                     : TPoint{bar.Left + button / 2, bar.Top + button + 2};
    const TPoint to =
        c.horizontal ? TPoint{grab.X + moved, grab.Y} : TPoint{grab.X, grab.Y + moved};
    MoveMouse(memo, grab);
    desktop_.MouseDown();
    MoveMouse(memo, to);
    const int dragged = position();
    EXPECT_NEAR(dragged, std::min(1.0, 1.0 * moved / travel) * last, 0.5) << c.share;
    desktop_.MouseUp();
    MoveMouse(memo, grab);
    EXPECT_EQ(position(), dragged) << c.share;
  }
}

}  // namespace
}  // namespace orlit::editors_testing
