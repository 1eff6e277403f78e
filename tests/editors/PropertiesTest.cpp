#include <gtest/gtest.h>

#include "EditorsFixture.h"

namespace orlit::editors_testing {
namespace {

// Counts the change notifications of a properties object.
class CountingListener : public EditPropertiesListener {
 public:
  void PropertiesChanged(TcxCustomEditProperties*) override { ++count; }
  int count = 0;
};

TEST(TextEditProperties, DisplaySettingsNotifyOnlyOnChange) {
  TcxTextEditProperties properties;
  CountingListener listener;
  properties.AddListener(&listener);
  properties.SetCharCase(ecUpperCase);
  properties.SetCharCase(ecUpperCase);
  properties.SetHideSelection(true);
  properties.Alignment().SetHorz(taRightJustify);
  properties.Alignment().SetHorz(taRightJustify);
  EXPECT_EQ(listener.count, 2);
  // Plain stored values tell nobody.
  properties.SetBeepOnError(true);
  properties.SetValidateOnEnter(true);
  EXPECT_EQ(listener.count, 2);
  properties.RemoveListener(&listener);
  properties.SetCharCase(ecNormal);
  EXPECT_EQ(listener.count, 2);
}

TEST(TextEditProperties, AssignedOnlySettings) {
  TcxTextEditProperties properties;
  CountingListener listener;
  properties.AddListener(&listener);
  properties.SetMaxLength(0);  // the default, but now assigned
  EXPECT_TRUE(properties.AssignedValues().MaxLength());
  EXPECT_EQ(listener.count, 1);
  properties.SetMaxLength(5);
  EXPECT_EQ(properties.MaxLength(), 5);
  properties.SetReadOnly(true);
  EXPECT_TRUE(properties.ReadOnly());
  EXPECT_EQ(listener.count, 3);
  properties.AssignedValues().SetMaxLength(false);
  EXPECT_EQ(properties.MaxLength(), 0);
  properties.AssignedValues().RestoreDefaults();
  EXPECT_FALSE(properties.ReadOnly());
  EXPECT_EQ(listener.count, 5);
}

TEST(TextEditProperties, UpdatesGatherIntoOneNotification) {
  TcxTextEditProperties properties;
  CountingListener listener;
  properties.AddListener(&listener);
  properties.BeginUpdate();
  properties.SetCharCase(ecLowerCase);
  properties.SetPasswordChar(U'#');
  properties.BeginUpdate();
  properties.SetMaxLength(3);
  properties.EndUpdate();
  EXPECT_EQ(listener.count, 0);
  properties.EndUpdate();
  EXPECT_EQ(listener.count, 1);
  properties.BeginUpdate();
  properties.EndUpdate();
  EXPECT_EQ(listener.count, 1);
}

TEST(TextEditProperties, ConversionsAndErrorTexts) {
  TcxTextEditProperties properties;
  EXPECT_EQ(properties.MakeDisplayText(Variant::Null(), true), "");
  EXPECT_EQ(properties.MakeDisplayText(Variant("ăș"), false), "ăș");
  EXPECT_EQ(properties.MakeEditValue("x", true), Variant("x"));
  EXPECT_EQ(properties.GetValidateErrorText(0),
            "Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(properties.GetValidateErrorText(1), "Value out of bounds");
  EXPECT_EQ(properties.EffectivePasswordChar(), U'\0');
  properties.SetEchoMode(eemPassword);
  EXPECT_EQ(properties.EffectivePasswordChar(), U'*');
  properties.SetPasswordChar(U'•');
  EXPECT_EQ(properties.EffectivePasswordChar(), U'•');
}

TEST(TextEditProperties, AssignCopiesSettingsAndEvents) {
  TcxTextEditProperties source;
  source.SetMaxLength(4);
  source.SetReadOnly(true);
  source.SetValidateOnEnter(true);
  source.Alignment().SetHorz(taCenter);
  int validated = 0;
  source.OnValidate = [&](TObject*, Variant&, std::string&, bool&) { ++validated; };
  TcxTextEditProperties target;
  target.Assign(source);
  EXPECT_EQ(target.MaxLength(), 4);
  EXPECT_TRUE(target.ReadOnly());
  EXPECT_TRUE(target.ValidateOnEnter());
  EXPECT_EQ(target.Alignment().Horz(), taCenter);
  Variant value;
  std::string text;
  bool error = false;
  target.CheckDisplayValue(value, text, error, nullptr);
  EXPECT_EQ(validated, 1);
  EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
}

class EditorPropertiesTest : public EditorTest {};

TEST_F(EditorPropertiesTest, EditorAppliesItsPropertiesToTheInnerEdit) {
  TcxTextEdit* edit = AddField(10, 10);
  edit->SetText("Abc");
  Show();
  edit->Properties().SetCharCase(ecUpperCase);
  EXPECT_EQ(edit->InnerEdit().CharCase(), ecUpperCase);
  edit->Properties().SetMaxLength(5);
  EXPECT_EQ(edit->InnerEdit().MaxLength(), 5);
  edit->Properties().SetEchoMode(eemPassword);
  EXPECT_EQ(edit->InnerEdit().PasswordChar(), U'*');
  edit->Properties().SetHideSelection(false);
  EXPECT_FALSE(edit->InnerEdit().HideSelection());
  edit->Properties().SetReadOnly(true);
  EXPECT_TRUE(edit->InnerEdit().ReadOnly());
  Type("xyzzy");
  EXPECT_EQ(edit->Text(), "ABC");

  TcxTextEditProperties other;
  other.SetMaxLength(2);
  edit->SetProperties(other);
  EXPECT_EQ(edit->InnerEdit().MaxLength(), 2);
  EXPECT_FALSE(edit->InnerEdit().ReadOnly());
  Type("xyz");
  EXPECT_EQ(edit->Text(), "xy");
}

TEST(Variant, NullIsNotTheEmptyString) {
  EXPECT_TRUE(Variant().IsNull());
  EXPECT_FALSE(Variant("").IsNull());
  EXPECT_NE(Variant(), Variant(""));
  EXPECT_EQ(Variant("a"), Variant(std::string("a")));
  EXPECT_EQ(VarToStr(Variant()), "");
  EXPECT_EQ(VarToStr(Variant("ș")), "ș");
  EXPECT_EQ(Variant("x").GetType(), Variant::Type::kString);
}

}  // namespace
}  // namespace orlit::editors_testing
