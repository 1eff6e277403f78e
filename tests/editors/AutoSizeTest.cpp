#include <gtest/gtest.h>

#include "EditorsFixture.h"

namespace orlit::editors_testing {
namespace {

class AutoSizeTest : public EditorTest {};

TEST_F(AutoSizeTest, WindowFieldHeightsComeOutOfTheFont) {
  struct Case {
    int font_height;
    bool shadow;
    int expected;
  };
  // Font A gives 27 and font B 35 with the window's shadow; without it 3 less.
  const Case cases[] = {{-13, true, 27}, {-19, true, 35}, {-13, false, 24}, {-19, false, 32}};
  for (const Case& c : cases) {
    TcxTextEdit* edit = AddField(10, 10, 121, c.font_height);
    edit->Style().SetShadow(c.shadow);
    EXPECT_EQ(edit->Height(), c.expected) << c.font_height << " " << c.shadow;
    EXPECT_EQ(edit->Width(), 121);
    edit->SetBounds(5, 6, 73, 100);
    EXPECT_EQ(edit->Height(), c.expected) << "a requested height is answered with the content's";
    EXPECT_EQ(edit->Width(), 73);
  }
}

TEST_F(AutoSizeTest, ThickerBorderAddsToTheHeight) {
  TcxTextEdit* edit = AddField(10, 10);
  edit->Style().SetBorderStyle(cbs3D);
  EXPECT_EQ(edit->Height(), 29);
  edit->Style().SetBorderStyle(cbsNone);
  EXPECT_EQ(edit->Height(), 25);
}

TEST_F(AutoSizeTest, OffKeepsTheGivenHeight) {
  TcxTextEdit* edit = AddField(10, 10);
  edit->SetAutoSize(false);
  edit->SetHeight(40);
  EXPECT_EQ(edit->Height(), 40);
  edit->SetAutoSize(true);
  EXPECT_EQ(edit->Height(), 27);
}

TEST_F(AutoSizeTest, TopAlignedEditorStillSizesItsHeight) {
  TcxTextEdit* edit = AddField(10, 10);
  edit->SetAlign(alTop);
  form_->Realign();
  EXPECT_EQ(edit->Height(), 27);
  EXPECT_EQ(edit->Width(), form_->ClientWidth());
}

TEST_F(AutoSizeTest, InnerEditSitsInsideBorderAndMargins) {
  struct Case {
    TAlignment alignment;
    TRect inner;
  };
  // 121 x 27 with shadow: border rectangle (1, 1)-(117, 23), margins 1, 1, 1 (2 right
  // aligned), 3.
  const Case cases[] = {{taLeftJustify, {2, 2, 116, 20}},
                        {taRightJustify, {2, 2, 115, 20}},
                        {taCenter, {2, 2, 116, 20}}};
  for (const Case& c : cases) {
    TcxTextEdit* edit = AddField(10, 10);
    edit->Properties().Alignment().SetHorz(c.alignment);
    EXPECT_EQ(edit->InnerEdit().BoundsRect(), c.inner) << c.alignment;
    EXPECT_EQ(edit->InnerEdit().Alignment(), c.alignment);
  }
  TcxTextEdit* plain = AddField(10, 10);
  plain->Style().SetShadow(false);
  EXPECT_EQ(plain->InnerEdit().BoundsRect(), (TRect{2, 2, 119, 20}));
}

TEST_F(AutoSizeTest, InnerEditTakesTheVisibleFont) {
  TcxTextEdit* edit = AddField(10, 10, 121, -19);
  EXPECT_EQ(edit->InnerEdit().Font().Height(), -19);
  EXPECT_EQ(edit->InnerEdit().Font().Style(), fsBold);
  edit->Style().SetTextColor(clRed);
  EXPECT_EQ(edit->InnerEdit().Font().Color(), clRed);
}

}  // namespace
}  // namespace orlit::editors_testing
