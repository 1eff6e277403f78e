#include "FrameworkFixture.h"
#include "framework/Timer.h"

namespace orlit {
namespace {

class MouseTest : public FrameworkTest {
 protected:
  void SetUp() override {
    form_ = NewForm<TForm>();
    form_->SetBounds(100, 100, 200, 100);
    back_ = Place<Area>(form_, {0, 0, 100, 100}, "back");
    front_ = Place<Area>(form_, {50, 0, 150, 100}, "front");
    ShowAndSettle(form_);
    log_.clear();
  }

  void Move(TPoint local) {
    desktop_.MoveMouse(form_->ClientToScreen(local));
    app_.ProcessMessages();
  }
  void Down() {
    desktop_.MouseDown();
    app_.ProcessMessages();
  }
  void Up() {
    desktop_.MouseUp();
    app_.ProcessMessages();
  }

  TForm* form_ = nullptr;
  Area* back_ = nullptr;
  Area* front_ = nullptr;
};

TEST_F(MouseTest, ClickNeedsPressAndReleaseOnTheSameControl) {
  struct Case {
    TPoint press;
    TPoint release;
    Log expected;
  };
  const Case cases[] = {
      {{10, 10}, {12, 14}, {"back down 0 10,10", "back click", "back up 0 12,14"}},
      // The control in front wins where both lie; released over another control: no click, and
      // the control under the pointer hears of it once the capture ends.
      {{60, 10},
       {10, 10},
       {"front down 0 10,10", "front leave", "front up 0 -40,10", "back enter"}},
      // Leaving and coming back before the release still clicks.
      {{10, 10}, {11, 10}, {"back down 0 10,10", "back click", "back up 0 11,10"}},
  };
  for (const Case& c : cases) {
    desktop_.AdvanceTime(1000);  // no double click with the previous case
    Move(c.press);
    log_.clear();
    Down();
    Move(c.release);
    Up();
    EXPECT_EQ(log_, c.expected) << c.press.X;
    Move({199, 99});
  }
}

TEST_F(MouseTest, CaptureKeepsTheMouseWithThePressedControl) {
  Move({10, 10});
  Down();
  log_.clear();
  Move({70, 10});  // over the front control, button held
  Move({120, 50});
  Up();
  EXPECT_EQ(log_, (Log{"back leave", "back up 0 120,50", "front enter"}));
  EXPECT_EQ(desktop_.Capture(), 0u);
}

TEST_F(MouseTest, DoubleClickGivesOneClickThenDblClick) {
  desktop_.DoubleClick(form_->ClientToScreen({20, 20}));
  app_.ProcessMessages();
  EXPECT_EQ(log_, (Log{"back enter", "back down 0 20,20", "back click", "back up 0 20,20",
                       "back dblclick", "back down 0 double 20,20", "back up 0 20,20"}));
}

TEST_F(MouseTest, EnterAndLeaveFollowThePointerAndTheWindowsEdge) {
  Move({10, 10});
  Move({60, 10});
  Move({60, 20});
  desktop_.MoveMouse({0, 0});  // off the window
  app_.ProcessMessages();
  EXPECT_EQ(log_, (Log{"back enter", "back leave", "front enter", "front leave"}));
}

TEST_F(MouseTest, CursorIsTheInnermostOneSet) {
  back_->SetCursor(crHandPoint);
  Move({10, 10});
  EXPECT_EQ(desktop_.CurrentCursor(), CursorShape::kHandPoint);
  Move({60, 10});
  EXPECT_EQ(desktop_.CurrentCursor(), CursorShape::kArrow);
  form_->SetCursor(crIBeam);
  Move({61, 10});
  EXPECT_EQ(desktop_.CurrentCursor(), CursorShape::kIBeam);
  front_->SetCursor(crHandPoint);
  EXPECT_EQ(desktop_.CurrentCursor(), CursorShape::kHandPoint);
}

TEST_F(MouseTest, HiddenAndDisabledControlsLetTheMouseThrough) {
  front_->SetVisible(false);
  Move({60, 10});
  front_->SetVisible(true);
  front_->SetEnabled(false);
  Move({61, 10});
  Down();
  Up();
  EXPECT_EQ(log_, (Log{"back enter", "back down 0 61,10", "back click", "back up 0 61,10"}));
}

// Goes away when clicked, as a control whose click closes a part of the window may.
class Vanishing : public Area {
 public:
  using Area::Area;

 protected:
  void Click() override {
    Area::Click();
    delete this;
  }
};

TEST_F(MouseTest, AControlMayGoAwayWhileItsClickIsHandled) {
  auto* vanishing = Place<Vanishing>(form_, {0, 50, 40, 100}, "vanishing");
  Move({10, 60});
  Down();
  Up();
  EXPECT_EQ(form_->ControlAtPos({10, 60}, false), back_);
  EXPECT_EQ(log_,
            (Log{"vanishing enter", "vanishing down 0 10,10", "vanishing click", "back enter"}));
  (void)vanishing;
}

// What the editors' hot tracking does: while the mouse is over a control, a 10 ms timer polls
// the pointer, because the control may never hear of the mouse leaving it.
TEST_F(MouseTest, AControlCanPollThePointerWithATenMillisecondTimer) {
  auto* timer = form_->Create<TTimer>();
  timer->SetEnabled(false);
  timer->SetInterval(10);
  bool hot = false;
  int polls = 0;
  back_->OnMouseEnter = [&](TObject*) {
    hot = true;
    timer->SetEnabled(true);
  };
  timer->OnTimer = [&](TObject*) {
    ++polls;
    if (app_.FindControl(app_.CursorPos()) != back_) {
      hot = false;
      timer->SetEnabled(false);
    }
  };
  Move({10, 10});
  EXPECT_TRUE(hot);
  desktop_.AdvanceTime(25);
  app_.ProcessMessages();
  EXPECT_EQ(polls, 1);
  EXPECT_TRUE(hot);
  // The form never hears of this move (as when another window takes the pointer over).
  desktop_.MoveMouse({0, 0});
  Event lost;
  while (desktop_.PollEvent(&lost)) {
  }
  desktop_.AdvanceTime(10);
  app_.ProcessMessages();
  EXPECT_FALSE(hot);
  EXPECT_FALSE(timer->Active());
}

// A focusable control that records the wheel turns it is given.
class WheelField : public Field {
 public:
  using Field::Field;

 protected:
  bool DoMouseWheel(TShiftState, int wheel_delta, TPoint) override {
    Add("wheel " + std::to_string(wheel_delta));
    return true;
  }
};

TEST_F(MouseTest, WheelTurnsTheControlUnderThePointer) {
  auto* left = Place<WheelField>(form_, {0, 0, 90, 100}, "left");
  auto* right = Place<WheelField>(form_, {110, 0, 200, 50}, "right");
  // A control without a window of its own passes the turn to its parent.
  Place<Area>(left, {10, 10, 40, 40}, "label");
  struct Case {
    WheelField* focused;
    TPoint pointer;
    Log expected;
  };
  const Case cases[] = {
      {right, {5, 5}, {"left wheel -120"}},
      {left, {150, 10}, {"right wheel -120"}},
      {right, {20, 20}, {"left wheel -120"}},
      {left, {150, 80}, {}},  // the form itself
  };
  for (const Case& c : cases) {
    c.focused->SetFocus();
    Move(c.pointer);
    log_.clear();
    desktop_.Wheel(-1);
    app_.ProcessMessages();
    EXPECT_EQ(log_, c.expected) << c.pointer.X << "," << c.pointer.Y;
    EXPECT_TRUE(c.focused->Focused());
  }
}

}  // namespace
}  // namespace orlit
