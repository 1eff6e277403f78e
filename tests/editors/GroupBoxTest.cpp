#include <gtest/gtest.h>

#include "EditorsFixture.h"
#include "editors/GroupBox.h"
#include "framework/Panel.h"

namespace orlit::editors_testing {
namespace {

TEST(GroupBoxGeometryTest, CaptionRectangleOfEveryPlacement) {
  // Text height 13, width 50, in a 200 x 100 box; the shadow (c = 3) moves the centre and
  // right placements and the bottom-left vertical one, but not the right-side vertical ones.
  struct Case {
    TcxCaptionAlignment alignment;
    bool shadow;
    TRect expected;
  };
  const Case cases[] = {
      {alTopLeft, true, {8, 0, 58, 13}},         {alTopCenter, true, {73, 0, 123, 13}},
      {alTopRight, true, {139, 0, 189, 13}},     {alTopRight, false, {142, 0, 192, 13}},
      {alBottomLeft, true, {8, 85, 58, 98}},     {alBottomCenter, false, {75, 85, 125, 98}},
      {alBottomRight, true, {139, 85, 189, 98}}, {alLeftTop, true, {-1, 8, 12, 58}},
      {alLeftCenter, true, {-1, 24, 12, 74}},    {alLeftBottom, true, {-1, 39, 12, 89}},
      {alRightTop, true, {188, 8, 201, 58}},     {alRightCenter, true, {188, 25, 201, 75}},
      {alRightBottom, true, {188, 42, 201, 92}}, {alCenterCenter, true, {73, 42, 123, 55}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TcxGroupBoxViewData::CaptionRect(c.alignment, 13, 50, c.shadow, 200, 100), c.expected)
        << c.alignment << " " << c.shadow;
  }
}

class GroupBoxTest : public EditorTest {
 protected:
  // The window's promotion panel: bottom-aligned 567 x 169, caption "Promovare", shadow, and a
  // top-aligned child.
  TcxGroupBox* AddPanel(const std::string& caption = "Promovare") {
    form_->SetBounds(100, 100, 567, 400);
    auto* box = form_->Create<TcxGroupBox>();
    box->SetParent(form_);
    box->SetBounds(0, 231, 567, 169);
    box->SetAlign(alBottom);
    box->SetCaption(caption);
    box->Style().SetShadow(true);
    child_ = form_->Create<TPanel>();
    child_->SetParent(box);
    child_->SetBounds(0, 0, 100, 30);
    child_->SetAlign(alTop);
    return box;
  }
  TPanel* child_ = nullptr;
};

TEST_F(GroupBoxTest, WindowPanelFrameCaptionAndChildren) {
  TcxGroupBox* box = AddPanel();
  Show();
  EXPECT_EQ(box->Width(), 567);
  EXPECT_EQ(box->Height(), 169);
  EXPECT_EQ(box->TabStop(), false);
  EXPECT_EQ(child_->Left(), 2);
  EXPECT_EQ(child_->Top(), 16);
  EXPECT_EQ(child_->Width(), 560);
  const std::uint32_t face = Pixel(clBtnFace);
  const std::uint32_t frame = Pixel(clHighlight);
  struct Case {
    TPoint at;
    std::uint32_t color;
  };
  const Case cases[] = {
      {{3, 6}, frame},
      {{3, 5}, face},
      {{3, 7}, face},
      {{0, 60}, frame},
      {{563, 60}, frame},
      {{300, 165}, frame},  // the frame's other sides
      {{7, 6}, frame},
      {{8, 6}, face},  // the caption starts at 8
      {{565, 100}, Pixel(clBtnShadow)},
      {{300, 167}, Pixel(clBtnShadow)},
      {{565, 4}, face},
      {{1, 167}, face},  // the shadow's notches
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PixelAt(box, c.at), c.color) << c.at.X << ", " << c.at.Y;
  }
}

TEST_F(GroupBoxTest, CaptionPlacementDecidesTheChildrensRoom) {
  struct Case {
    std::string caption;
    TcxCaptionAlignment alignment;
    TRect child;  // left, top, right of the top-aligned child
    TPoint frame_pixel;
  };
  const Case cases[] = {
      // An empty caption draws nothing, but the line and the room stay.
      {"", alTopLeft, {2, 16, 562, 0}, {30, 6}},
      // In the middle the caption takes no room.
      {"Promovare", alCenterCenter, {2, 2, 562, 0}, {30, 0}},
      // On the left the caption is a vertical strip.
      {"Promovare", alLeftTop, {16, 2, 562, 0}, {5, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    TcxGroupBox* box = AddPanel(c.caption);
    box->SetAlignment(c.alignment);
    Show();
    EXPECT_EQ(child_->Left(), c.child.Left);
    EXPECT_EQ(child_->Top(), c.child.Top);
    EXPECT_EQ(child_->Left() + child_->Width(), c.child.Right);
    EXPECT_EQ(PixelAt(box, c.frame_pixel), Pixel(clHighlight));
    box->SetParent(nullptr);
  }
}

TEST_F(GroupBoxTest, VerticalCaptionTurnsARasterFontIntoArial) {
  TcxGroupBox* box = AddPanel("&Promo");
  EXPECT_EQ(box->CaptionLogFont().lfEscapement, 0);
  EXPECT_EQ(box->CaptionText(), "&Promo");
  box->SetAlignment(alRightCenter);
  EXPECT_EQ(box->CaptionLogFont().lfFaceName, "Arial");
  EXPECT_EQ(box->CaptionLogFont().lfEscapement, 2700);
  EXPECT_EQ(box->CaptionText(), "Promo");
  box->SetAlignment(alLeftBottom);
  EXPECT_EQ(box->CaptionLogFont().lfEscapement, 900);
}

TEST_F(GroupBoxTest, AcceleratorFocusesTheFirstChild) {
  TcxGroupBox* box = AddPanel("Pro&movare && co");
  child_->SetVisible(false);  // a first child that cannot take the focus is passed over
  TcxTextEdit* field = form_->Create<TcxTextEdit>();
  field->SetParent(box);
  TcxTextEdit* outside = AddField(10, 10);
  Show();
  outside->SetFocus();
  struct Case {
    char32_t key;
    bool used;
  };
  const Case cases[] = {{U'x', false}, {U'c', false}, {U'M', true}};
  for (const Case& c : cases) {
    EXPECT_EQ(box->DialogChar(c.key), c.used) << static_cast<char>(c.key);
    EXPECT_EQ(field->Focused(), c.used) << static_cast<char>(c.key);
  }
}

TEST_F(GroupBoxTest, FramesOfTheBorderStyles) {
  // Left column of the frame, halfway down, and one pixel further in.
  struct Case {
    TcxContainerBorderStyle style;
    std::uint32_t outer, inner;
  };
  const Case cases[] = {
      {cbsSingle, Pixel(clWindowFrame), Pixel(clBtnFace)},
      {cbsFlat, Pixel(clBtnShadow), Pixel(clBtnHighlight)},
      {cbs3D, Pixel(clBtnShadow), Pixel(clBtnHighlight)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    TcxGroupBox* box = AddPanel();
    box->Style().SetBorderStyle(c.style);
    Show();
    EXPECT_EQ(PixelAt(box, {0, 80}), c.outer);
    EXPECT_EQ(PixelAt(box, {1, 80}), c.inner);
    box->SetParent(nullptr);
  }
}

}  // namespace
}  // namespace orlit::editors_testing
