#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "EditorsFixture.h"
#include "editors/GroupBox.h"
#include "editors/LabelEdit.h"

namespace orlit::editors_testing {
namespace {

using Log = std::vector<std::string>;

// Records the editor kind's hooks beside the application's events.
class LoggingEdit : public TcxTextEdit {
 public:
  explicit LoggingEdit(Log* log) : log_(log) {}

 protected:
  void EditorKeyDown(int& key, TShiftState shift) override {
    log_->push_back("EditorKeyDown " + std::to_string(key));
    TcxTextEdit::EditorKeyDown(key, shift);
  }
  void EditorKeyPress(char32_t& key) override {
    log_->push_back("EditorKeyPress " + std::to_string(static_cast<unsigned>(key)));
    TcxTextEdit::EditorKeyPress(key);
  }

 private:
  Log* log_;
};

class KeyPathTest : public EditorTest {
 protected:
  void SetUp() override {
    edit_ = form_->Create<LoggingEdit>(&log_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 10, 121, 21);
    edit_->SetTabOrder(0);
    edit_->SetText("abc");
    next_ = AddField(10, 60);
    next_->SetTabOrder(1);
    edit_->OnKeyDown = [this](TObject* sender, int& key, TShiftState) {
      EXPECT_EQ(sender, edit_);
      log_.push_back("OnKeyDown " + std::to_string(key));
      if (key == zero_key_down_) key = 0;
    };
    edit_->OnKeyPress = [this](TObject* sender, char32_t& key) {
      EXPECT_EQ(sender, edit_);
      log_.push_back("OnKeyPress " + std::to_string(static_cast<unsigned>(key)));
      if (key == replace_from_) key = replace_to_;
    };
    edit_->Properties().OnValidate = [this](TObject*, Variant&, std::string&, bool&) {
      log_.push_back("OnValidate");
    };
    Show();
    ASSERT_TRUE(edit_->Focused());
    log_.clear();
  }

  LoggingEdit* edit_ = nullptr;
  TcxTextEdit* next_ = nullptr;
  Log log_;
  int zero_key_down_ = -1;
  char32_t replace_from_ = 0xFFFF;
  char32_t replace_to_ = 0;
};

TEST_F(KeyPathTest, ApplicationEventsComeBeforeTheEditorKindsHooks) {
  Type("x");
  EXPECT_EQ(log_,
            (Log{"OnKeyDown 88", "EditorKeyDown 88", "OnKeyPress 120", "EditorKeyPress 120"}));
  EXPECT_EQ(edit_->Text(), "x");
  EXPECT_TRUE(edit_->ModifiedSinceEntry());
}

TEST_F(KeyPathTest, KeyZeroedByOnKeyDownGoesNoFurther) {
  edit_->SetSelStart(0);
  zero_key_down_ = VK_DELETE;
  Press(VK_DELETE);
  EXPECT_EQ(log_, (Log{"OnKeyDown 46"}));
  EXPECT_EQ(edit_->Text(), "abc");
}

TEST_F(KeyPathTest, OnKeyPressReplacesOrSwallowsTheCharacter) {
  replace_from_ = U'a';
  replace_to_ = U'q';
  Type("a");
  EXPECT_EQ(edit_->Text(), "q");
  replace_from_ = U'b';
  replace_to_ = 0;
  log_.clear();
  Type("b");
  EXPECT_EQ(edit_->Text(), "q");
  EXPECT_EQ(log_, (Log{"OnKeyDown 66", "EditorKeyDown 66", "OnKeyPress 98"}));
}

TEST_F(KeyPathTest, EnterValidatesAtKeyDownBeforeOnKeyPressWhenAsked) {
  edit_->Properties().SetValidateOnEnter(true);
  Type("x");
  log_.clear();
  Press(VK_RETURN);
  EXPECT_EQ(log_, (Log{"OnKeyDown 13", "EditorKeyDown 13", "OnValidate", "OnKeyPress 13",
                       "EditorKeyPress 13"}));
  EXPECT_TRUE(edit_->InputValidated());
  EXPECT_EQ(desktop_.BeepCount(), 1);  // nobody took the Enter character
}

TEST_F(KeyPathTest, EnterWithoutValidateOnEnterReachesOnKeyPressAndBeeps) {
  Type("x");
  log_.clear();
  Press(VK_RETURN);
  EXPECT_EQ(log_, (Log{"OnKeyDown 13", "EditorKeyDown 13", "OnKeyPress 13", "EditorKeyPress 13"}));
  EXPECT_EQ(desktop_.BeepCount(), 1);
  EXPECT_FALSE(edit_->InputValidated());

  replace_from_ = 13;
  replace_to_ = 0;
  Press(VK_RETURN);
  EXPECT_EQ(desktop_.BeepCount(), 1);

  replace_from_ = 0xFFFF;
  edit_->SetBeepOnEnter(false);
  Press(VK_RETURN);
  EXPECT_EQ(desktop_.BeepCount(), 1);
  EXPECT_EQ(edit_->Text(), "x");
}

TEST_F(KeyPathTest, EscapeAfterAChangeRestoresTheEntryValueAndIsSwallowed) {
  int changes = 0;
  edit_->Properties().OnChange = [&](TObject*) { ++changes; };
  Type("xyz");
  EXPECT_EQ(edit_->Text(), "xyz");
  EXPECT_EQ(edit_->EnterValue(), Variant("abc"));
  changes = 0;
  log_.clear();
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_->Text(), "abc");
  EXPECT_EQ(edit_->EditValue(), Variant("abc"));
  EXPECT_EQ(edit_->SelStart(), 0);
  EXPECT_EQ(edit_->SelLength(), 3);
  EXPECT_FALSE(edit_->ModifiedSinceEntry());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(log_, (Log{"OnKeyDown 27", "EditorKeyDown 27"}));
  EXPECT_FALSE(edit_->EscapeConsumed());

  log_.clear();
  Press(VK_ESCAPE);
  EXPECT_EQ(log_, (Log{"OnKeyDown 27", "EditorKeyDown 27", "OnKeyPress 27", "EditorKeyPress 27"}));
}

TEST_F(KeyPathTest, TabMovesThroughTheEditorsAndNeverReachesOnKeyPress) {
  Press(VK_TAB);
  EXPECT_TRUE(next_->Focused());
  EXPECT_EQ(log_, (Log{"OnKeyDown 9", "EditorKeyDown 9"}));
  Press(VK_TAB, ssShift);
  EXPECT_TRUE(edit_->Focused());
  EXPECT_EQ(edit_->SelLength(), 3);  // AutoSelect
  Press(VK_TAB, ssCtrl);
  EXPECT_TRUE(edit_->Focused());
}

TEST_F(KeyPathTest, LeftAndRightCollapseASelection) {
  struct Case {
    int key;
    ShiftState shift;
    int sel_start;
    int sel_length;
  };
  const Case cases[] = {
      {VK_RIGHT, 0, 3, 0}, {VK_LEFT, 0, 0, 0}, {VK_LEFT, ssCtrl, 0, 0}, {VK_LEFT, ssShift, 0, 2}};
  for (const Case& c : cases) {
    edit_->SelectAll();
    Press(c.key, c.shift);
    EXPECT_EQ(edit_->SelStart(), c.sel_start) << c.key << " " << c.shift;
    EXPECT_EQ(edit_->SelLength(), c.sel_length) << c.key << " " << c.shift;
  }
}

// An editor kind that takes letters only, as a masked editor takes what its mask allows.
class LettersEdit : public TcxTextEdit {
 protected:
  bool IsValidChar(char32_t key) const override { return key < U'0' || key > U'9'; }
};

TEST_F(KeyPathTest, CharactersTheEditorKindRefusesAreDroppedWithABeepWhenAsked) {
  auto* letters = form_->Create<LettersEdit>();
  letters->SetParent(form_);
  letters->SetBounds(10, 110, 121, 21);
  letters->SetFocus();
  Type("a1");
  EXPECT_EQ(letters->Text(), "a");
  EXPECT_EQ(desktop_.BeepCount(), 0);
  letters->Properties().SetBeepOnError(true);
  Type("2b");
  EXPECT_EQ(letters->Text(), "ab");
  EXPECT_EQ(desktop_.BeepCount(), 1);
  Press(VK_BACK);  // commands below #32 are not the kind's to refuse
  EXPECT_EQ(letters->Text(), "a");
}

class AcceleratorTest : public EditorTest {};

TEST_F(AcceleratorTest, AltAndUntypedCharactersAreOfferedToTheAccelerators) {
  TcxTextEdit* field = AddField(10, 10);
  auto* box = form_->Create<TcxGroupBox>();  // takes the focus, types nothing
  box->SetParent(form_);
  box->SetCaption("&Promovare");
  TcxTextEdit* inside = AddField(10, 30);
  inside->SetParent(box);
  auto* label = form_->Create<TcxLabel>();
  label->SetParent(form_);
  label->SetCaption("&Data");
  label->SetFocusControl(inside);
  std::u32string reached;  // by the key paths
  field->OnKeyPress = box->OnKeyPress =
      inside->OnKeyPress = [&](TObject*, char32_t& key) { reached += key; };
  Show();
  const std::tuple<TcxCustomEdit*, int, ShiftState, TcxCustomEdit*, std::u32string> cases[] = {
      {field, 'D', kShiftStateAlt, inside, U""},
      {field, 'P', kShiftStateAlt, inside, U""},
      {field, 'D', 0, field, U"d"},
      {field, 'X', kShiftStateAlt, field, U""},  // an unmatched Alt+letter types nothing
      {box, 'D', 0, inside, U""},
      {box, 'X', 0, box, U"x"}};
  for (const auto& [start, key, shift, focused, passed_on] : cases) {
    start->SetFocus();
    reached.clear();
    Press(key, shift);
    EXPECT_TRUE(focused->Focused()) << static_cast<char>(key) << +shift;
    EXPECT_EQ(reached, passed_on);
  }
}

}  // namespace
}  // namespace orlit::editors_testing
