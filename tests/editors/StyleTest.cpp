#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EditorsFixture.h"
#include "editors/StyleController.h"
#include "lookandfeel/LookAndFeel.h"

namespace orlit::editors_testing {
namespace {

class StyleTest : public EditorTest {
 protected:
  void SetUp() override { edit_ = AddField(10, 10); }
  TcxTextEdit* edit_ = nullptr;
};

TEST_F(StyleTest, ValueNamesInBitOrder) {
  const char* const names[] = {"BorderColor",
                               "BorderStyle",
                               "Color",
                               "Edges",
                               "Font",
                               "HotTrack",
                               "Shadow",
                               "TextColor",
                               "TextStyle",
                               "TransparentBorder",
                               "ButtonStyle",
                               "ButtonTransparency",
                               "PopupBorderStyle"};
  ASSERT_EQ(edit_->Style().GetStyleValueCount(), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(edit_->Style().GetStyleValueName(i), names[i]) << i;
  EXPECT_EQ(edit_->Style().GetStyleValueName(13), "");
  auto controller = MakeComponent<TcxStyleController>();
  EXPECT_EQ(controller->Style().GetStyleValueCount(), 10);
  EXPECT_EQ(controller->Style().GetStyleValueName(9), "TransparentBorder");
  EXPECT_EQ(controller->Style().GetStyleValueName(10), "");
}

TEST_F(StyleTest, DefaultsByState) {
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->SetParent(form_);
  struct Case {
    const char* name;
    TcxCustomContainerStyle* style;
    TColor color;
    TColor border_color;
    TColor text_color;
    TcxContainerBorderStyle border_style;
  };
  const Case cases[] = {
      {"normal", &plain->Style(), clWindow, clWindowFrame, clWindowText, cbsUltraFlat},
      {"focused", &plain->StyleFocused(), clWindow, clWindowFrame, clWindowText, cbsUltraFlat},
      {"disabled", &plain->StyleDisabled(), clBtnFace, clBtnShadow, clBtnShadow, cbsUltraFlat},
      {"hot", &plain->StyleHot(), clWindow, clWindowFrame, clWindowText, cbsUltraFlat},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.style->Color(), c.color) << c.name;
    EXPECT_EQ(c.style->BorderColor(), c.border_color) << c.name;
    EXPECT_EQ(c.style->TextColor(), c.text_color) << c.name;
    EXPECT_EQ(c.style->BorderStyle(), c.border_style) << c.name;
    EXPECT_EQ(c.style->Edges(), cxBordersAll) << c.name;
    EXPECT_TRUE(c.style->HotTrack()) << c.name;
    EXPECT_FALSE(c.style->Shadow()) << c.name;
    EXPECT_TRUE(c.style->TransparentBorder()) << c.name;
    EXPECT_TRUE(c.style->AssignedValues().Empty()) << c.name;
  }
}

TEST_F(StyleTest, StateStylesFollowTheNormalStyleUnlessAssigned) {
  edit_->Style().SetColor(clRed);
  edit_->Style().SetTextColor(clBlue);
  EXPECT_EQ(edit_->StyleHot().Color(), clLime);
  edit_->StyleHot().SetAssignedValues({});
  EXPECT_EQ(edit_->StyleHot().Color(), clRed);
  EXPECT_EQ(edit_->StyleFocused().Color(), clYellow);
  EXPECT_EQ(edit_->StyleFocused().TextColor(), clBlue);
  EXPECT_EQ(edit_->StyleDisabled().Color(), clBtnFace);
  EXPECT_EQ(edit_->StyleDisabled().TextColor(), clBtnShadow);
  EXPECT_EQ(edit_->Style().Color(), clRed);
}

TEST_F(StyleTest, NormalOnlyAttributesLandOnTheNormalStyle) {
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->StyleHot().SetShadow(true);
  EXPECT_TRUE(plain->Style().Shadow());
  EXPECT_TRUE(plain->Style().AssignedValues().Contains(csvShadow));
  EXPECT_FALSE(plain->StyleHot().AssignedValues().Contains(csvShadow));
  plain->StyleFocused().Font().SetHeight(-19);
  EXPECT_EQ(plain->Style().Font().Height(), -19);
  EXPECT_TRUE(plain->Style().AssignedValues().Contains(csvFont));
  plain->StyleDisabled().SetEdges(BorderBit(bLeft));
  EXPECT_EQ(plain->Style().Edges(), BorderBit(bLeft));
  plain->StyleFocused().SetHotTrack(false);
  EXPECT_FALSE(plain->Style().HotTrack());
  plain->StyleHot().SetTransparentBorder(false);
  EXPECT_FALSE(plain->Style().TransparentBorder());
  // Colour belongs to each state.
  plain->StyleFocused().SetColor(clYellow);
  EXPECT_EQ(plain->Style().Color(), clWindow);
  EXPECT_EQ(plain->StyleHot().Color(), clWindow);
}

TEST_F(StyleTest, SettingTheSameValueAgainChangesNothing) {
  Show();
  edit_->Style().SetColor(clRed);
  app_.ProcessMessages();
  ASSERT_TRUE(form_->Dirty().Empty());
  const TcxContainerStyleValues before = edit_->Style().AssignedValues();
  edit_->Style().SetColor(clRed);
  edit_->StyleFocused().SetColor(clYellow);
  EXPECT_EQ(edit_->Style().AssignedValues(), before);
  EXPECT_TRUE(form_->Dirty().Empty());
  edit_->Style().SetColor(clBlue);
  EXPECT_FALSE(form_->Dirty().Empty());
  // Setting the default explicitly still assigns it.
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->Style().SetColor(clWindow);
  EXPECT_TRUE(plain->Style().AssignedValues().Contains(csvColor));
}

TEST_F(StyleTest, BorderStyleMapsForFocusedAndHotWhileHotTracking) {
  const TcxContainerBorderStyle normal[] = {cbsNone, cbsSingle,    cbsThick,   cbsFlat,
                                            cbs3D,   cbsUltraFlat, cbsOffice11};
  const TcxContainerBorderStyle mapped[] = {cbsFlat, cbsThick,     cbsThick,   cbs3D,
                                            cbs3D,   cbsUltraFlat, cbsOffice11};
  for (int i = 0; i < 7; ++i) {
    edit_->Style().SetHotTrack(true);
    edit_->Style().SetBorderStyle(normal[i]);
    EXPECT_EQ(edit_->StyleFocused().BorderStyle(), mapped[i]) << i;
    EXPECT_EQ(edit_->StyleHot().BorderStyle(), mapped[i]) << i;
    EXPECT_EQ(edit_->StyleDisabled().BorderStyle(), normal[i]) << i;
    edit_->Style().SetHotTrack(false);
    EXPECT_EQ(edit_->StyleHot().BorderStyle(), normal[i]) << i;
  }
  edit_->StyleHot().SetBorderStyle(cbsNone);
  EXPECT_EQ(edit_->StyleHot().BorderStyle(), cbsNone);
}

TEST_F(StyleTest, NormalBorderStyleFollowsTheLookAndFeelKind) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  const TcxContainerBorderStyle styles[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
  for (int i = 0; i < 4; ++i) {
    edit_->Style().LookAndFeel().SetKind(kinds[i]);
    EXPECT_EQ(edit_->Style().BorderStyle(), styles[i]) << i;
    EXPECT_EQ(&edit_->StyleHot().LookAndFeel(), &edit_->Style().LookAndFeel());
  }
}

TEST_F(StyleTest, ParentColorComesBeforeTheAssignedColour) {
  edit_->Style().SetColor(clRed);
  form_->SetColor(clBlue);
  edit_->SetParentColor(true);
  EXPECT_EQ(edit_->Style().Color(), clBlue);
  EXPECT_EQ(edit_->StyleHot().Color(), clLime);
  form_->SetColor(clGreen);
  EXPECT_EQ(edit_->Style().Color(), clGreen);
  edit_->SetParentColor(false);
  EXPECT_EQ(edit_->Style().Color(), clRed);
}

TEST_F(StyleTest, FontFollowsTheControlUntilTheApplicationChangesIt) {
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->SetParent(form_);
  form_->Font().SetHeight(-17);
  EXPECT_EQ(plain->Style().Font().Height(), -17);
  EXPECT_FALSE(plain->Style().AssignedValues().Contains(csvFont));
  plain->Style().Font().SetName("Arial");
  EXPECT_TRUE(plain->Style().AssignedValues().Contains(csvFont));
  form_->Font().SetHeight(-21);
  EXPECT_EQ(plain->Style().Font().Height(), -17);
  plain->Style().RestoreDefaults();
  EXPECT_TRUE(plain->Style().AssignedValues().Empty());
  EXPECT_TRUE(plain->ParentFont());
  EXPECT_EQ(plain->Style().Font().Height(), -21);
  EXPECT_EQ(plain->Style().Font().Name(), "MS Sans Serif");
}

TEST_F(StyleTest, VisibleFontTakesTextColourAndStyle) {
  edit_->StyleFocused().SetTextColor(clRed);
  edit_->StyleFocused().SetTextStyle(fsItalic);
  TFont visible;
  edit_->StyleFocused().GetVisibleFont(visible);
  EXPECT_EQ(visible.Color(), clRed);
  EXPECT_EQ(visible.Style(), fsItalic);
  EXPECT_EQ(visible.Height(), -13);
  edit_->Style().GetVisibleFont(visible);
  EXPECT_EQ(visible.Color(), clWindowText);
  EXPECT_EQ(visible.Style(), fsBold);
}

TEST_F(StyleTest, ControllerValuesApplyUnlessTheStyleAssignsItsOwn) {
  auto controller = MakeComponent<TcxEditStyleController>();
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->Style().SetStyleController(controller.get());
  controller->Style().SetColor(clAqua);
  controller->StyleHot().SetBorderColor(clRed);
  controller->Style().SetShadow(true);
  EXPECT_EQ(plain->Style().Color(), clAqua);
  EXPECT_EQ(plain->StyleFocused().Color(), clAqua);
  EXPECT_EQ(plain->StyleHot().BorderColor(), clRed);
  EXPECT_EQ(plain->StyleFocused().BorderColor(), clWindowFrame);
  EXPECT_TRUE(plain->Style().Shadow());
  EXPECT_TRUE(plain->Style().IsValueAssigned(csvColor));
  EXPECT_FALSE(plain->Style().AssignedValues().Contains(csvColor));
  plain->Style().SetColor(clRed);
  EXPECT_EQ(plain->Style().Color(), clRed);
  EXPECT_EQ(controller->ListenerCount(), 1);
}

TEST_F(StyleTest, ControllerChangeRepaintsEveryEditorUsingIt) {
  auto controller = MakeComponent<TcxEditStyleController>();
  TcxTextEdit* other = AddField(10, 60);
  edit_->Style().SetStyleController(controller.get());
  other->Style().SetStyleController(controller.get());
  other->StyleHot().SetAssignedValues({});
  Show();
  EXPECT_EQ(PixelAt(other, {100, 12}), Pixel(clWindow));
  controller->Style().SetColor(clAqua);
  app_.ProcessMessages();
  EXPECT_EQ(PixelAt(other, {100, 12}), Pixel(clAqua));
  EXPECT_EQ(other->InnerEdit().Color(), clAqua);
}

TEST_F(StyleTest, ControllerDestroyedFirstIsDroppedByItsStyles) {
  auto controller = MakeComponent<TcxEditStyleController>();
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  plain->Style().SetStyleController(controller.get());
  controller->Style().SetColor(clAqua);
  controller->Style().LookAndFeel().SetKind(lfStandard);
  EXPECT_EQ(plain->Style().BorderStyle(), cbs3D);
  controller.reset();
  EXPECT_EQ(plain->Style().StyleController(), nullptr);
  EXPECT_EQ(plain->Style().Color(), clWindow);
  EXPECT_EQ(plain->Style().BorderStyle(), cbsUltraFlat);
  EXPECT_EQ(plain->Style().ActiveStyleController(), &DefaultEditStyleController());
}

TEST_F(StyleTest, EditorDestroyedFirstLeavesTheController) {
  auto controller = MakeComponent<TcxEditStyleController>();
  auto editor = MakeComponent<TcxTextEdit>();
  editor->Style().SetStyleController(controller.get());
  EXPECT_EQ(controller->ListenerCount(), 1);
  editor.reset();
  EXPECT_EQ(controller->ListenerCount(), 0);
  controller->Style().SetColor(clAqua);  // tells nobody, touches nothing freed
}

TEST_F(StyleTest, DefaultControllerAppliesToEditorsWithoutOne) {
  TcxTextEdit* plain = form_->Create<TcxTextEdit>();
  TcxEditStyleController& defaults = DefaultEditStyleController();
  ASSERT_TRUE(defaults.Style().AssignedValues().Empty());
  defaults.StyleDisabled().SetColor(clSilver);
  EXPECT_EQ(plain->StyleDisabled().Color(), clSilver);
  defaults.StyleDisabled().SetAssignedValues({});
  EXPECT_EQ(plain->StyleDisabled().Color(), clBtnFace);
  // A plain container's styles never consult the editors' defaults.
  auto controller = MakeComponent<TcxStyleController>();
  EXPECT_EQ(controller->Style().ActiveStyleController(), nullptr);
}

TEST_F(StyleTest, AssignCopiesValuesAndAssignedBits) {
  TcxTextEdit* source = form_->Create<TcxTextEdit>();
  source->Style().SetColor(clRed);
  source->Style().SetBorderStyle(cbsSingle);
  source->Style().SetButtonStyle(btsFlat);
  TcxTextEdit* target = form_->Create<TcxTextEdit>();
  target->SetStyle(source->Style());
  EXPECT_EQ(target->Style().Color(), clRed);
  EXPECT_EQ(target->Style().BorderStyle(), cbsSingle);
  EXPECT_EQ(target->Style().ButtonStyle(), btsFlat);
  EXPECT_EQ(target->Style().AssignedValues(), source->Style().AssignedValues());
  source->Style().SetColor(clBlue);
  EXPECT_EQ(target->Style().Color(), clRed);
}

}  // namespace
}  // namespace orlit::editors_testing
