#include "FrameworkFixture.h"

namespace orlit {
namespace {

// Two fields in a container and two on the form, with tab orders given out of order while the
// layout loads: the form's tab order is c, p1 (b, a), d.
class FieldsForm : public TForm {
 public:
  explicit FieldsForm(Log* log) {
    SetBounds(300, 300, 300, 200);
    p1 = Add(this, "p1", {0, 0, 100, 100}, 1, log);
    p1->SetTabStop(false);
    a = Add(p1, "a", {0, 0, 50, 20}, 1, log);
    b = Add(p1, "b", {0, 30, 50, 50}, 0, log);
    d = Add(this, "d", {200, 0, 250, 20}, 2, log);
    d->SetTabStop(false);
    c = Add(this, "c", {120, 0, 170, 20}, 0, log);
  }
  Field* p1;
  Field* a;
  Field* b;
  Field* c;
  Field* d;

 private:
  Field* Add(TWinControl* parent, const char* name, TRect bounds, int tab_order, Log* log) {
    auto* field = Create<Field>(name, log);
    field->SetParent(parent);
    field->SetBoundsRect(bounds);
    field->SetTabOrder(tab_order);
    return field;
  }
};

class FocusTest : public FrameworkTest {
 protected:
  void SetUp() override {
    form_ = NewForm<FieldsForm>(&log_);
    ShowAndSettle(form_);
  }
  void Press(int key, ShiftState shift = 0) {
    desktop_.PressKey(key, shift);
    app_.ProcessMessages();
  }

  FieldsForm* form_ = nullptr;
};

TEST_F(FocusTest, TabOrderIsDepthFirstByTheOrdersGivenWhileLoading) {
  std::vector<TWinControl*> list;
  form_->GetTabOrderList(list);
  EXPECT_EQ(list, (std::vector<TWinControl*>{form_->c, form_->p1, form_->b, form_->a, form_->d}));
  EXPECT_EQ(form_->c->TabOrder(), 0);
  EXPECT_EQ(form_->b->TabOrder(), 0);
  form_->d->SetTabOrder(0);
  EXPECT_EQ(form_->c->TabOrder(), 1);
  form_->d->SetTabOrder(99);
  EXPECT_EQ(form_->d->TabOrder(), 2);
  form_->d->SetTabOrder(-1);
  EXPECT_EQ(form_->d->TabOrder(), 2);
}

TEST_F(FocusTest, TheFirstFieldInTabOrderHasTheFocusWhenShown) {
  EXPECT_EQ(form_->ActiveControl(), form_->c);
  EXPECT_TRUE(form_->c->Focused());
  EXPECT_EQ(log_, (Log{"c DoEnter", "c focused"}));
}

TEST_F(FocusTest, TabAndShiftTabCycleThroughFocusableTabStops) {
  struct Case {
    ShiftState shift;
    std::vector<Field*> visits;
  };
  const Case cases[] = {
      {0, {form_->b, form_->a, form_->c, form_->b}},
      {kShiftStateShift, {form_->a, form_->b, form_->c, form_->a}},
  };
  for (const Case& c : cases) {
    form_->c->SetFocus();
    for (Field* expected : c.visits) {
      Press(VK_TAB, c.shift);
      EXPECT_EQ(form_->ActiveControl(), expected) << expected->RecordName();
    }
  }
  form_->a->SetVisible(false);
  form_->c->SetFocus();
  Press(VK_TAB);
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->c);
  form_->p1->SetEnabled(false);
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->c);
}

TEST_F(FocusTest, ExitsComeFirstInnermostFirstThenEntersOutermostFirst) {
  log_.clear();
  form_->a->SetFocus();
  form_->c->SetFocus();
  form_->b->SetFocus();
  form_->a->SetFocus();
  EXPECT_EQ(log_, (Log{"c DoExit", "c unfocused", "a focused", "p1 DoEnter", "a DoEnter",
                       "a DoExit", "p1 DoExit", "a unfocused", "c focused", "c DoEnter", "c DoExit",
                       "c unfocused", "b focused", "p1 DoEnter", "b DoEnter", "b DoExit",
                       "b unfocused", "a focused", "a DoEnter"}));
}

TEST_F(FocusTest, AnExitHandlerThatTakesTheFocusBackStopsTheMove) {
  form_->c->OnExit = [this](TObject*) { form_->c->SetFocus(); };
  log_.clear();
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->c);
  EXPECT_EQ(log_, (Log{"c keydown 9", "c DoExit", "c keyup 9"}));
  ClickAt(form_->b);
  EXPECT_EQ(form_->ActiveControl(), form_->c);
}

TEST_F(FocusTest, AnExitHandlerThatThrowsStopsTheMoveAndIsReported) {
  form_->c->OnExit = [](TObject*) { throw Exception("The edit value is invalid"); };
  AnswerBoxesWith(VK_RETURN);
  Press(VK_TAB);
  ASSERT_EQ(seen_boxes_.size(), 1u);
  EXPECT_EQ(seen_boxes_[0].text, "The edit value is invalid.");
  EXPECT_EQ(form_->ActiveControl(), form_->c);
  EXPECT_TRUE(form_->c->Focused());
  log_.clear();
  form_->c->OnExit = nullptr;
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->b);
}

TEST_F(FocusTest, KeyDownComesBeforeTheCharacterAndTheHandlerMayChangeIt) {
  struct Case {
    std::function<void(TObject*, char32_t&)> handler;
    Log expected;
  };
  const Case cases[] = {
      {nullptr, {"c keydown 65", "c char 97", "c keyup 65"}},
      {[](TObject*, char32_t& key) { key = U'ș'; }, {"c keydown 65", "c char 537", "c keyup 65"}},
      {[](TObject*, char32_t& key) { key = 0; }, {"c keydown 65", "c char 0", "c keyup 65"}},
  };
  for (const Case& c : cases) {
    form_->c->OnKeyPress = c.handler;
    log_.clear();
    Press('A');
    EXPECT_EQ(log_, c.expected);
  }
}

TEST_F(FocusTest, KeyDownHandlerMayConsumeTabAndTheCharacterGoesWhereTheKeyWent) {
  form_->c->OnKeyDown = [](TObject*, int& key, TShiftState) {
    if (key == VK_TAB) key = 0;
  };
  log_.clear();
  Press(VK_TAB);
  EXPECT_EQ(log_, (Log{"c keydown 9", "c char 9", "c keyup 9"}));

  form_->c->OnKeyDown = [this](TObject*, int& key, TShiftState) {
    if (key == VK_RETURN) form_->b->SetFocus();
  };
  log_.clear();
  Press(VK_RETURN);
  EXPECT_EQ(log_, (Log{"c keydown 13", "c DoExit", "c unfocused", "b focused", "p1 DoEnter",
                       "b DoEnter", "c char 13", "b keyup 13"}));
}

TEST_F(FocusTest, ClickFocusesAndHidingTheFocusedControlTakesTheFocusAway) {
  ClickAt(form_->a);
  EXPECT_EQ(form_->ActiveControl(), form_->a);
  log_.clear();
  form_->p1->SetVisible(false);
  EXPECT_EQ(form_->ActiveControl(), nullptr);
  EXPECT_EQ(log_, (Log{"a unfocused"}));
  EXPECT_THROW(form_->a->SetFocus(), EInvalidOperation);
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->c);
}

TEST_F(FocusTest, DestroyingTheFocusedControlLeavesNoDanglingFocus) {
  form_->c->SetFocus();
  delete form_->c;
  EXPECT_EQ(form_->ActiveControl(), nullptr);
  Press('A');  // goes to the form itself now
  Press(VK_TAB);
  EXPECT_EQ(form_->ActiveControl(), form_->b);
}

}  // namespace
}  // namespace orlit
