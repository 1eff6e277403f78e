#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorsFixture.h"
#include "editors/MaskEdit.h"
#include "platform/VirtualKeys.h"

namespace orlit::editors_testing {
namespace {

constexpr const char* kDateMask = "!99.99.00;1;_";

class MaskEditTest : public EditorTest {
 protected:
  void SetUp() override {
    date_ = form_->Create<TcxMaskEdit>();
    date_->SetParent(form_);
    date_->SetBounds(10, 10, 113, 27);
    UseWindowFont(date_, -13);
    date_->SetTabOrder(0);
    date_->Properties().SetEditMask(kDateMask);
    other_ = AddField(10, 60);
    other_->SetTabOrder(1);
    AnswerBoxes();
    Show();
    ASSERT_TRUE(date_->Focused());
  }

  // Keys written as characters to type, or in braces: {BS}, {DEL}, {S-DEL}, {LEFT}, {RIGHT},
  // {C-LEFT}, {UP}, {HOME}, {END}, {C-V}, {C-X}, {C-C}, {S-RIGHT}, {S-LEFT}, {S-END}.
  void Play(const std::string& keys) {
    const std::pair<const char*, std::pair<int, ShiftState>> named[] = {
        {"BS", {VK_BACK, 0}},
        {"DEL", {VK_DELETE, 0}},
        {"S-DEL", {VK_DELETE, ssShift}},
        {"LEFT", {VK_LEFT, 0}},
        {"RIGHT", {VK_RIGHT, 0}},
        {"C-LEFT", {VK_LEFT, ssCtrl}},
        {"UP", {VK_UP, 0}},
        {"HOME", {VK_HOME, 0}},
        {"END", {VK_END, 0}},
        {"C-V", {'V', ssCtrl}},
        {"C-X", {'X', ssCtrl}},
        {"S-RIGHT", {VK_RIGHT, ssShift}},
        {"S-LEFT", {VK_LEFT, ssShift}},
        {"S-END", {VK_END, ssShift}},
        {"C-C", {'C', ssCtrl}},
    };
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] != '{') {
        Type(keys.substr(i, 1));
        continue;
      }
      const std::size_t close = keys.find('}', i);
      const std::string name = keys.substr(i + 1, close - i - 1);
      for (const auto& [key_name, key] : named) {
        if (name == key_name) Press(key.first, key.second);
      }
      i = close;
    }
  }

  TcxMaskEdit* date_ = nullptr;
  TcxTextEdit* other_ = nullptr;
};

TEST_F(MaskEditTest, KeysPlaceCharactersAndTheCaretBlock) {
  struct Case {
    const char* mask;
    const char* text;  // assigned before the keys
    int sel_start;
    int sel_length;  // -1: as the caret block leaves it
    const char* clipboard;
    const char* keys;
    const char* shown;
    int caret;
    int block;
  };
  const Case cases[] = {
      {kDateMask, "", 0, 8, "", "3", "3_.__.__", 1, 1},
      {kDateMask, "", 0, 8, "", "31", "31.__.__", 3, 1},
      {kDateMask, "", 0, 8, "", "3110", "31.10.__", 6, 1},
      {kDateMask, "", 0, 8, "", "3110834", "31.10.83", 8, 0},
      {kDateMask, "311", 3, -1, "", "{BS}", "3_.1_.__", 1, 1},
      {kDateMask, "", 0, -1, "311083", "{C-V}", "31.10.83", 6, 1},
      {kDateMask, "311083", 0, -1, "2", "{C-V}", "21.10.83", 1, 1},
      {kDateMask, "3", 1, -1, "", "a.", "3_.__.__", 1, 1},
      {kDateMask, "31", 2, -1, "", "5", "31.5_.__", 4, 1},
      {kDateMask, "311083", 4, -1, "", "{DEL}", "31.1_.83", 4, 1},
      {kDateMask, "311083", 8, -1, "", "{S-DEL}", "31.10.8_", 7, 1},
      {kDateMask, "311083", 0, -1, "", "{BS}", "_1.10.83", 0, 1},
      {kDateMask, "311083", 4, -1, "", "{UP}", "31.10.83", 4, 1},
      {kDateMask, "311083", 4, -1, "", "{RIGHT}", "31.10.83", 6, 1},
      {kDateMask, "311083", 3, -1, "", "{LEFT}", "31.10.83", 1, 1},
      {kDateMask, "311083", 1, 5, "", "{RIGHT}", "31.10.83", 4, 1},
      {kDateMask, "311083", 2, 4, "", "{LEFT}", "31.10.83", 3, 1},
      {kDateMask, "311083", 4, -1, "", "{END}", "31.10.83", 8, 0},
      {kDateMask, "311083", 4, -1, "", "{C-LEFT}", "31.10.83", 0, 1},
      // A paste that ends on a literal leaves the caret block on the next fillable position;
      // one that runs past the end stops on the last position.
      {kDateMask, "", 3, -1, "10", "{C-V}", "__.10.__", 6, 1},
      {kDateMask, "", 0, -1, "31", "{C-V}", "31.__.__", 3, 1},
      {kDateMask, "311083", 6, -1, "9999", "{C-V}", "31.10.99", 7, 1},
      // Shift extends from the caret block's far edge: rightwards from its left one, leftwards
      // from its right one; a typed character then lands on the selection's first position.
      {kDateMask, "311083", 0, -1, "", "{S-RIGHT}", "31.10.83", 0, 2},
      {kDateMask, "311083", 0, -1, "", "{S-RIGHT}{S-RIGHT}{S-RIGHT}", "31.10.83", 0, 4},
      {kDateMask, "311083", 4, -1, "", "{S-LEFT}{S-LEFT}", "31.10.83", 2, 3},
      {kDateMask, "311083", 0, -1, "", "{S-END}", "31.10.83", 0, 8},
      {kDateMask, "311083", 3, -1, "", "{S-RIGHT}{S-RIGHT}5", "31.50.83", 4, 1},
      {kDateMask, "311083", 1, 4, "", "{C-X}", "3_.__.83", 1, 1},
      {"(999)", "12", 3, -1, "", "{HOME}", "(12_)", 1, 1},
      {">LL", "", 0, -1, "", "ab", "AB", 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " " + c.text + " " + c.keys);
    date_->Properties().SetEditMask(c.mask);
    date_->SetText(c.text);
    date_->SetSelStart(c.sel_start);
    if (c.sel_length >= 0) date_->SetSelLength(c.sel_length);
    if (*c.clipboard != '\0') desktop_.SetClipboardText(c.clipboard);
    Play(c.keys);
    EXPECT_EQ(date_->DisplayText(), c.shown);
    EXPECT_EQ(date_->SelStart(), c.caret);
    EXPECT_EQ(date_->SelLength(), c.block);
  }
  EXPECT_EQ(desktop_.ClipboardText(), "1.10");
}

// Read-only refuses cut, as it refuses every change; copying still works.
TEST_F(MaskEditTest, CutInAReadOnlyFieldChangesNothing) {
  date_->SetText("311083");
  date_->Properties().SetReadOnly(true);
  for (const char* keys : {"{C-X}", "{S-DEL}", "{DEL}", "{BS}", "5", "{C-C}"}) {
    desktop_.SetClipboardText("before");
    date_->SetSelStart(1);
    date_->SetSelLength(4);
    Play(keys);
    EXPECT_EQ(date_->DisplayText(), "31.10.83") << keys;
    EXPECT_EQ(desktop_.ClipboardText(), std::string(keys) == "{C-C}" ? "1.10" : "before") << keys;
  }
}

// However many layers handle a keystroke, its first change asks OnEditing once.
TEST_F(MaskEditTest, OnEditingIsAskedOncePerFirstChange) {
  int asked = 0;
  date_->OnEditing = [&asked](TObject*, bool&) { ++asked; };
  for (const char* mask : {kDateMask, ""}) {
    for (const int key : {VK_BACK, VK_DELETE, VK_INSERT}) {  // with Shift: cut and paste
      date_->Properties().SetEditMask(mask);
      date_->SetText("311083");
      date_->SelectAll();
      desktop_.SetClipboardText("12");
      asked = 0;
      Press(key, key == VK_BACK ? 0 : ssShift);
      EXPECT_EQ(std::pair(asked, date_->ModifiedSinceEntry()), std::pair(1, true)) << mask << key;
      Press(VK_ESCAPE);
    }
  }
}

TEST_F(MaskEditTest, UnfocusedTextAndReadBack) {
  struct Case {
    const char* mask;
    const char* text;
    bool always_show;
    const char* focused;
    const char* unfocused;
    const char* read;
  };
  const Case cases[] = {
      {kDateMask, "31.10.83", false, "31.10.83", "31.10.83", "31.10.83"},
      {kDateMask, "", false, "__.__.__", "  .  .  ", "  .  .  "},
      {kDateMask, "", true, "__.__.__", "__.__.__", "  .  .  "},
      {kDateMask, " 1.10.83", false, "_1.10.83", " 1.10.83", " 1.10.83"},
      {"0-0;0", "1-2", false, "1-2", "12", "12"},
      {"  \t", "any text", false, "any text", "any text", "any text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " " + c.text);
    date_->SetFocus();
    app_.ProcessMessages();
    date_->Properties().SetEditMask(c.mask);
    date_->Properties().SetAlwaysShowBlanksAndLiterals(c.always_show);
    date_->SetText(c.text);
    EXPECT_EQ(date_->DisplayText(), c.focused);
    EXPECT_EQ(date_->Text(), c.read);
    Press(VK_TAB);
    ASSERT_TRUE(other_->Focused());
    EXPECT_EQ(date_->DisplayText(), c.unfocused);
    EXPECT_EQ(date_->Text(), c.read);
  }
}

TEST_F(MaskEditTest, IncompleteDateKeepsTheUserUntilEscape) {
  struct Case {
    int key;
    const char* mask_blank_text;  // typed after blanking everything
    bool ignore_mask_blank;
    bool stays;
  };
  const Case cases[] = {
      {VK_RETURN, "3110", false, true},
      {VK_TAB, "3110", false, true},
      {VK_TAB, "", true, false},
      {VK_TAB, "3", true, true},
      {VK_RETURN, "{RIGHT}11083", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask_blank_text) + " " + std::to_string(c.key));
    other_->SetFocus();
    date_->SetText("31.10.83");
    date_->SetFocus();
    app_.ProcessMessages();
    box_texts_.clear();
    date_->Properties().SetIgnoreMaskBlank(c.ignore_mask_blank);
    date_->SelectAll();
    Play("{DEL}");
    Play(c.mask_blank_text);
    const std::string typed = date_->DisplayText();
    Press(c.key);
    if (!c.stays) {
      EXPECT_TRUE(box_texts_.empty());
      continue;
    }
    EXPECT_EQ(box_texts_, std::vector<std::string>{"The edit value is invalid."});
    EXPECT_TRUE(date_->Focused());
    EXPECT_EQ(date_->DisplayText(), typed);
    EXPECT_EQ(date_->SelLength(), 8);
    Press(VK_ESCAPE);
    EXPECT_EQ(date_->Text(), "31.10.83");
    Press(VK_TAB);
    EXPECT_TRUE(other_->Focused());
  }
}

TEST_F(MaskEditTest, MaskSettingsRules) {
  TcxCustomMaskEditProperties& properties = date_->Properties();
  EXPECT_TRUE(properties.ValidateOnEnter());
  properties.SetMaxLength(3);
  EXPECT_EQ(properties.MaxLength(), 0);
  properties.SetEditMask("");
  properties.SetMaxLength(3);
  EXPECT_EQ(properties.MaxLength(), 3);
  date_->SetText("");
  Type("abcd");
  EXPECT_EQ(date_->Text(), "abc");

  properties.SetMaskKind(emkRegExpr);
  EXPECT_THROW(properties.SetEditMask("[0-9"), EcxMaskEditError);
  properties.SetEditMask("[0-9]+");
  EXPECT_EQ(properties.EditMask(), "[0-9]+");
  EXPECT_TRUE(properties.Mode().IsComplete(U"123", false));
  EXPECT_FALSE(properties.Mode().IsComplete(U"12a", false));
  properties.SetMaskKind(emkStandard);
  EXPECT_EQ(properties.EditMask(), "");
  properties.SetEditMask("(99");
  EXPECT_THROW(properties.SetMaskKind(emkRegExprEx), EcxMaskEditError);
  EXPECT_EQ(properties.MaskKind(), emkStandard);
}

}  // namespace
}  // namespace orlit::editors_testing
