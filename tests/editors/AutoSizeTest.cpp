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

// A window that builds its fields in its constructor, as the calculator's does: everything is
// laid out when loading ends.
class FieldsForm : public TForm {
 public:
  FieldsForm() {
    SetBounds(0, 0, 567, 501);
    small = Place(243, 52, -13, 2);
    large = Place(387, 132, -19, 6);
    small->SetText("65");
  }
  TcxTextEdit* small = nullptr;
  TcxTextEdit* large = nullptr;

 private:
  TcxTextEdit* Place(int left, int top, int font_height, int tab_order) {
    auto* edit = Create<TcxTextEdit>();
    edit->SetParent(this);
    edit->SetBounds(left, top, 121, font_height == -13 ? 27 : 35);
    UseWindowFont(edit, font_height);
    edit->Style().SetShadow(true);
    edit->StyleFocused().SetColor(clYellow);
    edit->SetTabOrder(tab_order);
    return edit;
  }
};

TEST_F(AutoSizeTest, FieldsBuiltWhileTheFormLoads) {
  FieldsForm* form = nullptr;
  app_.CreateForm(form);
  EXPECT_EQ(form->small->BoundsRect(), (TRect{243, 52, 364, 79}));
  EXPECT_EQ(form->large->BoundsRect(), (TRect{387, 132, 508, 167}));
  EXPECT_EQ(form->large->InnerEdit().BoundsRect(), (TRect{2, 2, 116, 28}));
  EXPECT_EQ(form->small->InnerEdit().Text(), "65");
  form->Show();
  app_.ProcessMessages();
  EXPECT_TRUE(form->small->Focused());
  EXPECT_EQ(form->small->SelLength(), 2);
  EXPECT_EQ(form->small->InnerEdit().Color(), clYellow);
  Press(VK_TAB);
  EXPECT_TRUE(form->large->Focused());
}

}  // namespace
}  // namespace orlit::editors_testing
