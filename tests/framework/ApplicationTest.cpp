#include <regex>
#include <stdexcept>

#include "FrameworkFixture.h"
#include "convert/FormatSettings.h"
#include "framework/Timer.h"

namespace orlit {
namespace {

// A form with two fields; the window's title bar is not needed for the loop.
class TwoFields : public TForm {
 public:
  explicit TwoFields(Log* log) {
    SetBounds(0, 0, 200, 100);
    SetPosition(poDesktopCenter);
    SetCaption("Orlit_CFS by Orlit Soft");
    first = Add("first", 0, log);
    second = Add("second", 100, log);
  }
  Field* first;
  Field* second;

 private:
  Field* Add(const char* name, int left, Log* log) {
    auto* field = Create<Field>(name, log);
    field->SetParent(this);
    field->SetBounds(left, 0, 100, 50);
    return field;
  }
};

class ApplicationTest : public FrameworkTest {
 protected:
  void SetUp() override {
    form_ = NewForm<TwoFields>(&log_);
    ShowAndSettle(form_);
    AnswerBoxesWith(VK_RETURN);
    log_.clear();
  }
  void Type(std::string_view text) {
    desktop_.TypeText(text);
    app_.ProcessMessages();
  }
  WindowId FormWindow() const { return form_->Window()->Id(); }

  TwoFields* form_ = nullptr;
};

TEST(ApplicationTitleTest, TitleIsTheFileNameCutAtItsFirstPointWithTheRestInLowerCase) {
  struct Case {
    const char* path;
    const char* title;
  };
  const Case cases[] = {
      {"orlit_cfs", "orlit_cfs"},
      {"Orlit_CFS.exe", "Orlit_cfs"},
      {"/usr/local/bin/ORLIT.CFS.EXE", "Orlit"},
      {"/dir.with.dots/Name", "Name"},
      {".hidden", ""},
      {"", ""},
      {"ÄBC", "Äbc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TApplication::TitleFromExecutable(c.path), c.title) << c.path;
  }
}

TEST_F(ApplicationTest, AHandlerThatThrowsShowsOneBoxWithTheTitleAndTheMessage) {
  struct Case {
    std::string message;
    std::string shown;
  };
  const Case cases[] = {
      {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
      {"'32.10.83' is not a valid date", "'32.10.83' is not a valid date."},
      {"Floating point division by zero.", "Floating point division by zero."},
      {"", ""},
      {"Why?", "Why?."},
      {"Stop!", "Stop!"},
      {"ends in a blank ", "ends in a blank "},
      {"lunä", "lunä."},
  };
  for (const Case& c : cases) {
    form_->first->OnKeyPress = [&c](TObject*, char32_t&) { throw EConvertError(c.message); };
    seen_boxes_.clear();
    Type("x");
    ASSERT_EQ(seen_boxes_.size(), 1u) << c.message;
    EXPECT_EQ(seen_boxes_[0].caption, "orlit_cfs");
    EXPECT_EQ(seen_boxes_[0].window_title, "orlit_cfs");
    EXPECT_EQ(seen_boxes_[0].text, c.shown);
  }
}

TEST_F(ApplicationTest, AbortIsSilent) {
  form_->first->OnKeyPress = [](TObject*, char32_t&) { throw EAbort("Operation aborted"); };
  Type("x");
  EXPECT_TRUE(seen_boxes_.empty());
  EXPECT_EQ(app_.ActiveForm(), form_);
}

TEST_F(ApplicationTest, ForeignExceptionsGetTheApplicationErrorBox) {
  form_->first->OnKeyPress = [](TObject*, char32_t& key) {
    if (key == U'x') throw std::runtime_error("boom");
    throw 42;
  };
  Type("x");
  Type("y");
  ASSERT_EQ(seen_boxes_.size(), 2u);
  EXPECT_EQ(seen_boxes_[0].caption, "Application Error");
  EXPECT_TRUE(std::regex_match(
      seen_boxes_[0].text,
      std::regex(
          "Exception std::runtime_error in module orlit_cfs at [0-9A-F]{16}\\.\r\nboom\\.\r\n")))
      << seen_boxes_[0].text;
  EXPECT_EQ(seen_boxes_[1].text, "Exception int in module orlit_cfs at 0000000000000000.\r\n\r\n");
}

TEST_F(ApplicationTest, ThreeFailuresShowThreeBoxesAndTheFocusComesBackEachTime) {
  form_->second->SetFocus();
  app_.ProcessMessages();
  int failures = 0;
  form_->second->OnKeyPress = [&failures](TObject*, char32_t&) {
    throw EConvertError("failure " + std::to_string(++failures));
  };
  desktop_.SetIdleHandler([this] {
    auto* box = dynamic_cast<TMessageBoxForm*>(app_.ActiveForm());
    if (box == nullptr) return;
    seen_boxes_.push_back({box->Caption(), box->Text(), ""});
    // The other window takes no input while the box is open.
    EXPECT_FALSE(desktop_.WindowEnabled(FormWindow()));
    EXPECT_FALSE(form_->second->Focused());
    desktop_.PressKey(VK_RETURN);
  });
  for (int i = 1; i <= 3; ++i) {
    log_.clear();
    desktop_.PressKey('A');
    app_.ProcessMessages();
    ASSERT_EQ(seen_boxes_.size(), static_cast<std::size_t>(i));
    EXPECT_EQ(seen_boxes_.back().text, "failure " + std::to_string(i) + ".");
    EXPECT_EQ(desktop_.FocusedWindow(), FormWindow());
    EXPECT_TRUE(desktop_.WindowEnabled(FormWindow()));
    EXPECT_EQ(form_->ActiveControl(), form_->second);
    EXPECT_TRUE(form_->second->Focused());
    // The focus left the field for the box and came back; no exit or enter.
    EXPECT_EQ(log_, (Log{"second keydown 65", "second unfocused", "second focused"}));
  }
  EXPECT_EQ(app_.Forms().size(), 1u);
}

TEST_F(ApplicationTest, InputMeantForTheWindowWhileTheBoxIsOpenIsDropped) {
  form_->first->OnKeyPress = [](TObject*, char32_t& key) {
    if (key == U'a') throw EConvertError("bad");
  };
  bool clicked = false;
  desktop_.SetIdleHandler([&] {
    if (dynamic_cast<TMessageBoxForm*>(app_.ActiveForm()) == nullptr) return;
    seen_boxes_.push_back({});
    if (!clicked) {
      clicked = true;
      desktop_.Click(form_->second->ClientToScreen({5, 5}));
      return;
    }
    desktop_.PressKey(VK_RETURN);
  });
  desktop_.TypeText("ab");  // "b" is queued before the box opens
  app_.ProcessMessages();
  EXPECT_EQ(seen_boxes_.size(), 2u);
  EXPECT_EQ(form_->ActiveControl(), form_->first);
  for (const std::string& line : log_) {
    EXPECT_EQ(line.find("second down"), std::string::npos) << line;
    EXPECT_NE(line, "first char 98");
  }
}

TEST_F(ApplicationTest, TerminateEndsTheLoopAfterTheCurrentEvent) {
  form_->first->OnKeyPress = [this](TObject*, char32_t&) { app_.Terminate(); };
  desktop_.TypeText("ab");
  app_.Run();
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(log_, (Log{"first keydown 65", "first char 97"}));
  EXPECT_GT(desktop_.QueuedEvents(), 0u);
}

TEST(ApplicationRunTest, RunShowsTheMainFormEvenWhenOnShowFailsAndEndsWhenNothingCanHappen) {
  struct Shown : TForm {
    Shown() { SetBounds(0, 0, 50, 50); }
  };
  HeadlessWindowSystem desktop;
  TApplication app(desktop, "x");
  Shown* form = nullptr;
  app.CreateForm(form);
  int shows = 0;
  form->OnShow = [&shows](TObject*) {
    ++shows;
    throw EConvertError("in OnShow");
  };
  int boxes = 0;
  desktop.SetIdleHandler([&] {
    if (dynamic_cast<TMessageBoxForm*>(app.ActiveForm()) == nullptr) return;
    ++boxes;
    desktop.PressKey(VK_ESCAPE);
  });
  app.Run();
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(desktop.Window(form->Window()->Id())->visible);
  EXPECT_FALSE(app.Terminated());
}

TEST_F(ApplicationTest, MinimiseAndRestoreThroughTheTaskbarKeepTheFocusedControl) {
  form_->second->SetFocus();
  int minimised = 0;
  app_.OnMinimize = [&minimised](TObject*) { ++minimised; };
  app_.Minimize();
  app_.Minimize();
  app_.ProcessMessages();
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(app_.Minimized());
  EXPECT_TRUE(desktop_.Window(FormWindow())->minimized);
  EXPECT_FALSE(form_->second->Focused());

  desktop_.RestoreFromTaskbar(FormWindow());
  app_.ProcessMessages();
  EXPECT_FALSE(app_.Minimized());
  EXPECT_TRUE(form_->second->Focused());
  EXPECT_EQ(form_->BoundsRect(), desktop_.Window(FormWindow())->bounds);

  desktop_.MinimizeFromTaskbar(FormWindow());
  app_.ProcessMessages();
  EXPECT_TRUE(app_.Minimized());
  EXPECT_EQ(minimised, 2);
  app_.Restore();
  app_.ProcessMessages();
  EXPECT_FALSE(desktop_.Window(FormWindow())->minimized);
  EXPECT_TRUE(form_->second->Focused());
}

TEST_F(ApplicationTest, AnErrorDuringAPressCancelsTheCaptureAndTheClick) {
  form_->first->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
    throw EConvertError("pressed");
  };
  ClickAt(form_->first, {5, 5});
  ASSERT_EQ(seen_boxes_.size(), 1u);
  EXPECT_EQ(desktop_.Capture(), 0u);
  ClickAt(form_->second, {5, 5});
  EXPECT_EQ(log_.back(), "second up 0 5,5");
  for (const std::string& line : log_) EXPECT_NE(line, "first click");
}

TEST_F(ApplicationTest, TheIconAndTitleGoToTheMainFormsWindow) {
  PixelImage icon(32, 32, 0x00FF00);
  app_.SetIcon(icon);
  app_.SetTitle("Orlit");
  const auto* window = desktop_.Window(FormWindow());
  EXPECT_EQ(window->icon, icon);
  EXPECT_EQ(window->title, "Orlit");
  form_->SetCaption("another caption");
  EXPECT_EQ(window->title, "Orlit");
}

TEST_F(ApplicationTest, TheDesktopsCloseRequestEndsTheProgramThroughTheMainForm) {
  desktop_.RequestClose(FormWindow());
  app_.ProcessMessages();
  EXPECT_TRUE(app_.Terminated());
}

TEST_F(ApplicationTest, TimersFireUnderVirtualTime) {
  auto* timer = form_->Create<TTimer>();
  int fired = 0;
  timer->OnTimer = [&fired](TObject*) { ++fired; };
  timer->SetInterval(10);
  struct Case {
    std::function<void()> change;
    std::uint64_t advance;
    int fired;
  };
  const Case cases[] = {
      {[] {}, 9, 0},
      {[] {}, 1, 1},
      {[] {}, 35, 1},  // a firing not yet taken queues no other
      {[timer] { timer->SetEnabled(false); }, 100, 0},
      {[timer] { timer->SetEnabled(true); }, 10, 1},
      {[timer] { timer->SetInterval(0); }, 100, 0},
      {[timer] { timer->SetInterval(1000); }, 999, 0},
      {[] {}, 1, 1},
  };
  for (const Case& c : cases) {
    c.change();
    fired = 0;
    desktop_.AdvanceTime(c.advance);
    app_.ProcessMessages();
    EXPECT_EQ(fired, c.fired);
  }
  timer->SetInterval(10);
  timer->OnTimer = [](TObject*) { throw EConvertError("tick"); };
  desktop_.AdvanceTime(10);
  app_.ProcessMessages();
  ASSERT_EQ(seen_boxes_.size(), 1u);
  EXPECT_EQ(seen_boxes_[0].text, "tick.");
  delete timer;
  desktop_.AdvanceTime(100);
  app_.ProcessMessages();
  EXPECT_EQ(seen_boxes_.size(), 1u);
}

TEST_F(ApplicationTest, ASettingsChangeReloadsTheFormatSettings) {
  DecimalSep = '#';
  DateSep = '%';
  desktop_.ChangeSettings();
  app_.ProcessMessages();
  LoadFormatSettings();
  const char loaded_decimal = DecimalSep;
  const char loaded_date = DateSep;
  DecimalSep = '#';
  DateSep = '%';
  desktop_.ChangeSettings();
  app_.ProcessMessages();
  EXPECT_EQ(DecimalSep, loaded_decimal);
  EXPECT_EQ(DateSep, loaded_date);
}

TEST_F(ApplicationTest, FindControlAnswersWhatLiesUnderAScreenPoint) {
  const TPoint inside = form_->second->ClientToScreen({3, 3});
  EXPECT_EQ(app_.FindControl(inside), form_->second);
  EXPECT_EQ(app_.FindControl(form_->ClientToScreen({50, 80})), form_);
  EXPECT_EQ(app_.FindControl({0, 0}), nullptr);
  desktop_.MoveMouse(inside);
  EXPECT_EQ(app_.CursorPos(), inside);
}

TEST(ApplicationRunTest, AnErrorWhileWaitingForEventsReachesTheMessageBox) {
  HeadlessWindowSystem desktop;
  TApplication app(desktop, "x");
  bool thrown = false;
  int boxes = 0;
  desktop.SetIdleHandler([&] {
    if (dynamic_cast<TMessageBoxForm*>(app.ActiveForm()) != nullptr) {
      ++boxes;
      desktop.PressKey(VK_ESCAPE);
      return;
    }
    if (!thrown) {
      thrown = true;
      throw EConvertError("while waiting");
    }
  });
  EXPECT_NO_THROW(app.Run());
  EXPECT_EQ(boxes, 1);
}

}  // namespace
}  // namespace orlit
