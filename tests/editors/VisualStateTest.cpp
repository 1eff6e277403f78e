#include <gtest/gtest.h>

#include "EditorsFixture.h"
#include "editors/MouseTracking.h"
#include "editors/ViewInfo.h"

namespace orlit::editors_testing {
namespace {

class VisualStateTest : public EditorTest {
 protected:
  void SetUp() override {
    first_ = AddField(10, 10);
    second_ = AddField(10, 60);
    first_->SetTabOrder(0);
    second_->SetTabOrder(1);
    Show();
  }

  // The fill of the content area, away from the text.
  std::uint32_t Fill(TcxTextEdit* edit) { return PixelAt(edit, {110, 12}); }
  std::uint32_t Frame(TcxTextEdit* edit) { return PixelAt(edit, {0, 10}); }

  TcxTextEdit* first_ = nullptr;
  TcxTextEdit* second_ = nullptr;
};

TEST_F(VisualStateTest, FocusedFieldIsYellowAndStaysYellowUnderTheMouse) {
  ASSERT_TRUE(first_->Focused());
  EXPECT_EQ(first_->VisualState(), EditVisualState::kFocused);
  EXPECT_EQ(Fill(first_), Pixel(clYellow));
  EXPECT_EQ(first_->InnerEdit().Color(), clYellow);

  MoveMouse(first_, {30, 10});
  EXPECT_EQ(first_->VisualState(), EditVisualState::kFocused | EditVisualState::kHot);
  EXPECT_EQ(Fill(first_), Pixel(clYellow));
  MoveMouse(form_, {300, 150});
  Advance(10);
  EXPECT_EQ(first_->VisualState(), EditVisualState::kFocused);
  EXPECT_EQ(Fill(first_), Pixel(clYellow));
}

TEST_F(VisualStateTest, UnfocusedFieldTurnsLimeUnderTheMouseAndBackWithinOneTick) {
  EXPECT_EQ(Fill(second_), Pixel(clWindow));
  MoveMouse(second_, {60, 10});
  EXPECT_EQ(second_->VisualState(), EditVisualState::kNormal | EditVisualState::kHot);
  EXPECT_EQ(Fill(second_), Pixel(clLime));
  EXPECT_EQ(second_->InnerEdit().Color(), clLime);
  EXPECT_TRUE(second_->IsMouseTracking());

  MoveMouse(form_, {300, 150});
  Advance(10);
  EXPECT_EQ(second_->VisualState(), EditVisualState::kNormal);
  EXPECT_EQ(Fill(second_), Pixel(clWindow));
  EXPECT_FALSE(second_->IsMouseTracking());
  EXPECT_EQ(MouseTrackingCount(), 0);
}

TEST_F(VisualStateTest, ShadowStripIsNotHot) {
  MoveMouse(second_, {119, 10});
  EXPECT_FALSE(second_->VisualState().Contains(EditVisualState::kHot));
  MoveMouse(second_, {117, 10});
  EXPECT_TRUE(second_->VisualState().Contains(EditVisualState::kHot));
}

TEST_F(VisualStateTest, MouseEnterAndLeaveFireOnceAcrossBorderAndInnerEdit) {
  int enters = 0;
  int leaves = 0;
  second_->OnMouseEnter = [&](TObject*) { ++enters; };
  second_->OnMouseLeave = [&](TObject*) { ++leaves; };
  MoveMouse(second_, {0, 10});   // the border
  MoveMouse(second_, {40, 10});  // the inner edit
  MoveMouse(second_, {1, 1});    // the border again
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 0);
  EXPECT_TRUE(second_->VisualState().Contains(EditVisualState::kHot));
  MoveMouse(form_, {300, 150});
  Advance(10);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
}

TEST_F(VisualStateTest, DisabledFieldShowsButtonFaceWithShadowTextAndBorder) {
  second_->SetText("WWW");
  second_->SetEnabled(false);
  app_.ProcessMessages();
  EXPECT_EQ(second_->VisualState(), EditVisualState::kDisabled);
  MoveMouse(second_, {60, 10});
  EXPECT_EQ(second_->VisualState(), EditVisualState::kDisabled);
  EXPECT_EQ(Fill(second_), Pixel(clBtnFace));
  EXPECT_EQ(Frame(second_), Pixel(clBtnShadow));
  // The text is drawn in clBtnShadow, never in the native edit's grey.
  const PixelImage image = form_->RenderImage();
  int shadow_pixels = 0;
  int grey_pixels = 0;
  for (int y = 62; y < 80; ++y) {
    for (int x = 12; x < 50; ++x) {
      shadow_pixels += image.Pixel(x, y) == Pixel(clBtnShadow);
      grey_pixels += image.Pixel(x, y) == Pixel(clGrayText);
    }
  }
  EXPECT_GT(shadow_pixels, 10);
  EXPECT_EQ(grey_pixels, 0);

  second_->SetEnabled(true);
  app_.ProcessMessages();
  EXPECT_EQ(Fill(second_), Pixel(clWindow));
  EXPECT_TRUE(second_->InnerEdit().Visible());
  MoveMouse(second_, {61, 10});
  EXPECT_EQ(Fill(second_), Pixel(clLime));
}

TEST_F(VisualStateTest, FocusMovesTheYellow) {
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(Fill(second_), Pixel(clYellow));
  EXPECT_EQ(Fill(first_), Pixel(clWindow));
  Press(VK_TAB, ssShift);
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(Fill(first_), Pixel(clYellow));
}

TEST_F(VisualStateTest, HotTrackOffKeepsTheNormalLook) {
  second_->Style().SetHotTrack(false);
  MoveMouse(second_, {60, 10});
  EXPECT_EQ(second_->VisualState(), EditVisualState::kNormal);
  EXPECT_EQ(second_->ViewInfo().hot_state, 0);
  EXPECT_EQ(Fill(second_), Pixel(clWindow));
  EXPECT_FALSE(second_->IsMouseTracking());
}

TEST_F(VisualStateTest, HoverInvalidatesOnlyTheBorderArea) {
  // Without a hot colour only the frame changes: the inner edit is not repainted.
  second_->StyleHot().SetAssignedValues({});
  app_.ProcessMessages();
  ASSERT_TRUE(form_->Dirty().Empty());
  desktop_.MoveMouse(Screen(second_, {60, 10}));
  while (desktop_.QueuedEvents() > 0) app_.HandleMessage();
  ASSERT_TRUE(second_->VisualState().Contains(EditVisualState::kHot));
  const TRect inner = second_->InnerEdit().BoundsRect().Offset(second_->Left(), second_->Top());
  ASSERT_FALSE(form_->Dirty().Empty());
  for (const TRect& rect : form_->Dirty().Rects()) {
    EXPECT_TRUE(rect.Intersect(inner).IsEmpty())
        << rect.Left << "," << rect.Top << "," << rect.Right << "," << rect.Bottom;
  }
  // Moving on within the same state repaints nothing.
  form_->PaintDirty();
  desktop_.MoveMouse(Screen(second_, {1, 1}));
  while (desktop_.QueuedEvents() > 0) app_.HandleMessage();
  EXPECT_TRUE(form_->Dirty().Empty());
}

// Rows of one field 121 x 27 with shadow, one character a pixel: 'F' frame colour, 'f' fill,
// 's' shadow (clBtnShadow), '.' the form behind.
struct FrameCase {
  const char* name;
  TColor frame;
  TColor fill;
};

TEST_F(VisualStateTest, FrameFillAndShadowPixelsInEachState) {
  const FrameCase cases[] = {
      {"normal", clBtnShadow, clWindow},
      {"focused", clHighlight, clYellow},
      {"hot", clHighlight, clLime},
      {"disabled", clBtnShadow, clBtnFace},
  };
  for (const FrameCase& c : cases) {
    const std::string name = c.name;
    TcxTextEdit* field = name == "focused" ? first_ : second_;
    if (name == "hot") MoveMouse(second_, {60, 10});
    if (name == "disabled") {
      MoveMouse(form_, {300, 150});
      Advance(10);
      second_->SetEnabled(false);
    }
    const PixelImage image = form_->RenderImage();
    auto at = [&](int x, int y) { return image.Pixel(field->Left() + x, field->Top() + y); };
    const std::uint32_t frame = Pixel(c.frame);
    const std::uint32_t fill = Pixel(c.fill);
    const std::uint32_t shadow = Pixel(clBtnShadow);
    const std::uint32_t behind = Pixel(clBtnFace);
    ASSERT_EQ(field->Height(), 27) << name;
    // The one-pixel frame around (0, 0)-(118, 24).
    for (int x = 0; x < 118; ++x) {
      EXPECT_EQ(at(x, 0), frame) << name << " top " << x;
      EXPECT_EQ(at(x, 23), frame) << name << " bottom " << x;
    }
    for (int y = 0; y < 24; ++y) {
      EXPECT_EQ(at(0, y), frame) << name << " left " << y;
      EXPECT_EQ(at(117, y), frame) << name << " right " << y;
    }
    // The fill inside the frame, away from the text.
    EXPECT_EQ(at(1, 1), fill) << name;
    EXPECT_EQ(at(116, 22), fill) << name;
    EXPECT_EQ(at(100, 12), fill) << name;
    // The shadow strips and their notched corners.
    for (int x = 3; x < 121; ++x) EXPECT_EQ(at(x, 25), shadow) << name << " shadow " << x;
    for (int y = 3; y < 27; ++y) EXPECT_EQ(at(119, y), shadow) << name << " shadow " << y;
    EXPECT_EQ(at(1, 25), behind) << name;
    EXPECT_EQ(at(119, 1), behind) << name;
  }
}

// The tracker on its own: a caller that counts the leave messages.
class CountingCaller : public MouseTrackingCaller {
 public:
  explicit CountingCaller(TControl* control) : control_(control) {}
  TControl* TrackedControl() const override { return control_; }
  bool PtInCaller(TPoint /*screen*/) const override { return false; }
  void MouseLeave() override { ++leaves; }
  int leaves = 0;

 private:
  TControl* control_;
};

TEST_F(VisualStateTest, TrackerPollsEveryTenMillisecondsAndEndsAfterTheLeave) {
  CountingCaller caller(second_);
  const TRect rect = TRect::FromBounds(Screen(second_, {0, 0}).X, Screen(second_, {0, 0}).Y,
                                       second_->Width(), second_->Height());
  desktop_.MoveMouse(Screen(second_, {5, 5}));
  BeginMouseTracking(&caller, rect);
  BeginMouseTracking(&caller, rect);
  EXPECT_EQ(MouseTrackingCount(), 1);
  Advance(100);
  EXPECT_EQ(caller.leaves, 0);
  EXPECT_TRUE(IsMouseTracking(&caller));

  desktop_.MoveMouse(Screen(form_, {300, 150}));
  Advance(9);
  EXPECT_EQ(caller.leaves, 0);
  Advance(1);
  EXPECT_EQ(caller.leaves, 1);
  EXPECT_FALSE(IsMouseTracking(&caller));
  Advance(50);
  EXPECT_EQ(caller.leaves, 1);
}

TEST_F(VisualStateTest, FieldHiddenUnderTheMouseIsEnteredAgainWhenShown) {
  int enters = 0;
  second_->OnMouseEnter = [&](TObject*) { ++enters; };
  MoveMouse(second_, {40, 10});
  second_->SetVisible(false);
  MoveMouse(second_, {41, 10});  // now over the form, where the field was
  MoveMouse(form_, {300, 150});
  Advance(10);
  second_->SetVisible(true);
  MoveMouse(second_, {40, 10});
  EXPECT_EQ(enters, 2);
}

TEST_F(VisualStateTest, DisabledFieldDrawsTextSetAfterwards) {
  second_->SetEnabled(false);
  form_->RenderImage();  // the view info is made for this text
  second_->SetText("later");
  const auto& info = static_cast<const TcxCustomTextEditViewInfo&>(second_->ViewInfo());
  EXPECT_EQ(info.text, "later");
}

}  // namespace
}  // namespace orlit::editors_testing
