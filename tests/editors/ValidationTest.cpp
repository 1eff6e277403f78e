#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "EditorsFixture.h"

namespace orlit::editors_testing {
namespace {

class ValidationTest : public EditorTest {
 protected:
  void SetUp() override {
    first_ = AddField(10, 10);
    first_->SetTabOrder(0);
    first_->SetText("12");
    second_ = AddField(10, 60);
    second_->SetTabOrder(1);
    first_->OnExit = [this](TObject*) { ++exits_; };
    AnswerBoxes();
    Show();
    ASSERT_TRUE(first_->Focused());
  }

  // Refuses every text but "ok", with `error_text` (empty: the default; "-": cleared).
  void RefuseAllBut(const std::string& good, const std::string& error_text) {
    first_->Properties().OnValidate = [this, good, error_text](TObject* sender, Variant& value,
                                                               std::string& text, bool& error) {
      EXPECT_EQ(sender, first_);
      ++validations_;
      if (VarToStr(value) == good) return;
      error = true;
      if (error_text == "-") {
        text.clear();
      } else if (!error_text.empty()) {
        text = error_text;
      }
    };
  }

  TcxTextEdit* first_ = nullptr;
  TcxTextEdit* second_ = nullptr;
  int exits_ = 0;
  int validations_ = 0;
};

TEST_F(ValidationTest, FailingValidationKeepsTheFocusWithOneMessage) {
  RefuseAllBut("ok", "Bad value");
  Type("xx");
  Press(VK_TAB);
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(first_->Text(), "xx");
  EXPECT_EQ(first_->SelLength(), 2);
  EXPECT_EQ(box_texts_, (std::vector<std::string>{"Bad value."}));
  EXPECT_EQ(exits_, 0);
  EXPECT_TRUE(first_->ModifiedSinceEntry());
  EXPECT_EQ(first_->EditValue(), Variant("xx"));

  // A second attempt, by the mouse this time, validates again.
  Click(second_);
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(box_texts_.size(), 2u);
  EXPECT_EQ(validations_, 2);

  Type("ok");
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(exits_, 1);
  EXPECT_EQ(box_texts_.size(), 2u);
  EXPECT_EQ(first_->EditValue(), Variant("ok"));
}

TEST_F(ValidationTest, EnterValidationFailureShowsOneMessageAndKeepsTheText) {
  first_->Properties().SetValidateOnEnter(true);
  RefuseAllBut("ok", "");
  int presses = 0;
  first_->OnKeyPress = [&](TObject*, char32_t& key) {
    if (key == 13) ++presses;
  };
  Type("no");
  Press(VK_RETURN);
  EXPECT_EQ(box_texts_,
            (std::vector<std::string>{"Invalid input value. Use escape key to abandon changes."}));
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(first_->SelLength(), 2);
  EXPECT_EQ(presses, 0);
  Press(VK_RETURN);
  EXPECT_EQ(box_texts_.size(), 2u);
}

TEST_F(ValidationTest, ClearedErrorTextKeepsTheUserSilently) {
  RefuseAllBut("ok", "-");
  first_->Properties().SetBeepOnError(true);
  Type("no");
  Press(VK_TAB);
  EXPECT_TRUE(first_->Focused());
  EXPECT_TRUE(box_texts_.empty());
  EXPECT_EQ(desktop_.BeepCount(), 1);
  EXPECT_EQ(exits_, 0);
  EXPECT_EQ(first_->SelLength(), 2);
}

TEST_F(ValidationTest, EscapeAfterAFailureLetsTheUserLeave) {
  RefuseAllBut("ok", "Bad value");
  Type("no");
  Press(VK_TAB);
  ASSERT_EQ(box_texts_.size(), 1u);
  Press(VK_ESCAPE);
  EXPECT_EQ(first_->Text(), "12");
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(box_texts_.size(), 1u);
  EXPECT_EQ(exits_, 1);
}

TEST_F(ValidationTest, OnValidateMayCorrectTheText) {
  first_->Properties().OnValidate = [](TObject*, Variant& value, std::string&, bool&) {
    value = Variant(VarToStr(value) + "!");
  };
  Type("hey");
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(first_->Text(), "hey!");
  EXPECT_EQ(first_->EditValue(), Variant("hey!"));
}

TEST_F(ValidationTest, CorrectionWithAnErrorIsShownSelected) {
  first_->Properties().OnValidate = [](TObject*, Variant& value, std::string& text, bool& error) {
    value = Variant("fixed");
    text.clear();
    error = true;
  };
  Type("bad");
  Press(VK_TAB);
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(first_->Text(), "fixed");
  EXPECT_EQ(first_->SelLength(), 5);
}

TEST_F(ValidationTest, PlainEditorAcceptsEveryText) {
  first_->Properties().SetValidateOnEnter(true);
  Type("anything at all");
  Press(VK_RETURN);
  EXPECT_TRUE(first_->InputValidated());
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_TRUE(box_texts_.empty());
}

TEST_F(ValidationTest, TextFromCodeIsNotValidatedOnLeaving) {
  RefuseAllBut("ok", "Bad value");
  first_->SetText("would fail");
  EXPECT_FALSE(first_->ModifiedSinceEntry());
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(validations_, 0);
}

TEST_F(ValidationTest, ValidatedTextIsNotValidatedAgain) {
  first_->Properties().SetValidateOnEnter(true);
  RefuseAllBut("ok", "Bad value");
  Type("ok");
  Press(VK_RETURN);
  Press(VK_RETURN);
  Press(VK_TAB);
  EXPECT_EQ(validations_, 1);
  EXPECT_TRUE(second_->Focused());
}

TEST_F(ValidationTest, ChangeEventsAndModifiedFlags) {
  int changes = 0;
  int value_changes = 0;
  first_->Properties().OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, first_);
    ++changes;
  };
  first_->Properties().OnEditValueChanged = [&](TObject*) { ++value_changes; };
  EXPECT_FALSE(first_->ModifiedSinceEntry());
  Type("ab");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(value_changes, 2);
  EXPECT_TRUE(first_->ModifiedSinceEntry());

  first_->SetText("ab");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(value_changes, 2);
  EXPECT_FALSE(first_->ModifiedSinceEntry());
  first_->SetText("");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(value_changes, 3);
  // Null and the empty string are different values with the same text.
  first_->SetEditValue(Variant::Null());
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(value_changes, 4);
  EXPECT_TRUE(first_->EditValue().IsNull());
  EXPECT_EQ(first_->Text(), "");
}

TEST_F(ValidationTest, ReadOnlyRefusesChangesButCopies) {
  first_->Properties().SetReadOnly(true);
  int editing_asked = 0;
  first_->OnEditing = [&](TObject*, bool&) { ++editing_asked; };
  first_->SelectAll();
  desktop_.SetClipboardText("pasted");
  struct Case {
    const char* name;
    int key;
    ShiftState shift;
  };
  const Case refused[] = {{"typing", 'X', 0},
                          {"backspace", VK_BACK, 0},
                          {"delete", VK_DELETE, 0},
                          {"ctrl+v", 'V', ssCtrl},
                          {"ctrl+x", 'X', ssCtrl},
                          {"shift+insert", VK_INSERT, ssShift},
                          {"shift+delete", VK_DELETE, ssShift}};
  for (const Case& c : refused) {
    first_->SelectAll();
    Press(c.key, c.shift);
    EXPECT_EQ(first_->Text(), "12") << c.name;
    EXPECT_FALSE(first_->ModifiedSinceEntry()) << c.name;
  }
  EXPECT_EQ(desktop_.ClipboardText(), "pasted");
  first_->SelectAll();
  Press('C', ssCtrl);
  EXPECT_EQ(desktop_.ClipboardText(), "12");
  Press(VK_END);
  EXPECT_EQ(first_->SelStart(), 2);
  EXPECT_EQ(editing_asked, 0);
  Press(VK_ESCAPE);
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_TRUE(first_->InnerEdit().ReadOnly());
}

TEST_F(ValidationTest, OnEditingIsAskedBeforeTheFirstChangeOnly) {
  int asked = 0;
  bool allow = false;
  first_->OnEditing = [&](TObject* sender, bool& can_edit) {
    EXPECT_EQ(sender, first_);
    EXPECT_TRUE(can_edit);
    ++asked;
    can_edit = allow;
  };
  Type("a");
  EXPECT_EQ(first_->Text(), "12");
  EXPECT_EQ(asked, 1);
  allow = true;
  Type("bc");
  EXPECT_EQ(first_->Text(), "bc");
  EXPECT_EQ(asked, 2);
}

// Its data refuses every value, as a data-bound editor's field might.
class RefusingEdit : public TcxTextEdit {
 protected:
  void StoreEditValue(const Variant&) override { throw Exception("Field is read-only"); }
};

TEST_F(ValidationTest, CommitFailureReportsAndPropagates) {
  auto* edit = form_->Create<RefusingEdit>();
  edit->SetParent(form_);
  edit->SetBounds(10, 110, 121, 21);
  edit->Properties().SetBeepOnError(true);
  edit->SetTabOrder(2);
  edit->SetFocus();
  app_.ProcessMessages();
  Type("v");
  Press(VK_TAB);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelLength(), 1);
  EXPECT_EQ(box_texts_, (std::vector<std::string>{"Field is read-only."}));
  EXPECT_EQ(desktop_.BeepCount(), 1);
}

TEST_F(ValidationTest, ReportInvalidInputPutsTheFocusBack) {
  Press(VK_TAB);
  ASSERT_TRUE(second_->Focused());
  first_->SetText("abc");
  EXPECT_THROW(first_->ReportInvalidInput("Wrong"), Exception);
  EXPECT_TRUE(first_->Focused());
  EXPECT_EQ(first_->SelLength(), 3);
  // The guarded entry kept the editor's state: no new entry value, no validation on the way.
  first_->ReportInvalidInput("");
  EXPECT_TRUE(first_->Focused());
}

TEST_F(ValidationTest, LeavingAfterAValidChangeClearsTheModifiedFlag) {
  RefuseAllBut("ok", "Bad value");
  Type("ok");
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_FALSE(first_->ModifiedSinceEntry());
  EXPECT_EQ(validations_, 1);
}

TEST_F(ValidationTest, TakingTheValidatedTextAsksRequestEditing) {
  int asked = 0;
  bool allow = true;
  first_->OnEditing = [&](TObject*, bool& can_edit) {
    ++asked;
    can_edit = allow;
  };
  first_->Properties().OnValidate = [](TObject*, Variant& value, std::string&, bool&) {
    value = Variant(VarToStr(value) + "!");
  };
  first_->Properties().SetValidateOnEnter(true);
  Type("a");
  allow = false;
  Press(VK_RETURN);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(first_->Text(), "a");
  EXPECT_EQ(first_->EditValue(), Variant("a"));
}

TEST_F(ValidationTest, CharCaseFromCodeIsNoChangeOfTheUsers) {
  RefuseAllBut("ok", "Bad value");
  first_->SetText("ab");
  first_->Properties().SetCharCase(ecUpperCase);
  EXPECT_EQ(first_->Text(), "AB");
  Press(VK_TAB);
  EXPECT_TRUE(second_->Focused());
  EXPECT_EQ(validations_, 0);
}

}  // namespace
}  // namespace orlit::editors_testing
