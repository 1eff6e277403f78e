#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeThemeService.h"
#include "convert/Exceptions.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageBox.h"
#include "lookandfeel/VisualStyles.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

using testing::FakeThemeService;
using testing::FakeThemeState;

class VisualStylesTest : public ::testing::Test {
 protected:
  FakeThemeService& Start() {
    auto service = std::make_unique<FakeThemeService>(state_);
    FakeThemeService& raw = *service;
    binding_ = std::make_unique<VisualStyleBinding>(std::move(service));
    return raw;
  }

  std::shared_ptr<FakeThemeState> state_ = std::make_shared<FakeThemeState>();
  std::unique_ptr<VisualStyleBinding> binding_;
};

TEST_F(VisualStylesTest, LibraryLoadsFromVersionFiveOne) {
  struct Case {
    int major;
    int minor;
    bool loaded;
  };
  for (const Case& c :
       {Case{4, 90, false}, Case{5, 0, false}, Case{5, 1, true}, Case{6, 0, true}}) {
    SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
    state_->version = {c.major, c.minor};
    Start();
    EXPECT_EQ(IsThemeLibraryLoaded(), c.loaded);
    EXPECT_EQ(AreVisualStylesUsable(), c.loaded);
    binding_.reset();
    EXPECT_FALSE(IsThemeLibraryLoaded());
  }
}

TEST_F(VisualStylesTest, KindsCarryTheirDefaultClassNamesInOrder) {
  const char* names[] = {"Button",   "Clock",      "ComboBox", "Edit",       "ExplorerBar",
                         "Header",   "ListView",   "Menu",     "Page",       "Progress",
                         "Rebar",    "ScrollBar",  "Spin",     "StartPanel", "Status",
                         "Tab",      "TaskBand",   "TaskBar",  "ToolBar",    "ToolTip",
                         "TrackBar", "TrayNotify", "TreeView", "Window"};
  ASSERT_EQ(std::size(names), static_cast<std::size_t>(kThemedObjectCount));
  for (int i = 0; i < kThemedObjectCount; ++i) {
    EXPECT_EQ(ThemedObjectClassName(static_cast<ThemedObject>(i)), names[i]);
  }
  state_->known_classes.insert("TREEVIEW");
  Start();
  OpenTheme(ThemedObject::kTreeView);
  EXPECT_EQ(state_->calls, (std::vector<std::string>{"open TreeView"}));
}

TEST_F(VisualStylesTest, NotUsableOpensNothingAndClosingSucceeds) {
  state_->theme_active = false;
  Start();
  EXPECT_TRUE(IsThemeLibraryLoaded());
  EXPECT_FALSE(AreVisualStylesUsable());
  EXPECT_EQ(OpenTheme(ThemedObject::kEdit), 0u);
  EXPECT_TRUE(CloseTheme(ThemedObject::kEdit));
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_TRUE(state_->calls.empty());
}

TEST_F(VisualStylesTest, WithoutBindingNothingIsThemed) {
  EXPECT_EQ(OpenTheme(ThemedObject::kEdit), 0u);
  EXPECT_TRUE(CloseTheme(ThemedObject::kEdit));
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_EQ(CurrentThemeService(), nullptr);
}

TEST_F(VisualStylesTest, CachedHandleIsReusedForNoListOrTheSameListIgnoringCase) {
  state_->known_classes.insert("MYEDIT;EDIT");
  Start();
  const HTHEME first = OpenTheme(ThemedObject::kEdit);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(OpenTheme(ThemedObject::kEdit), first);
  EXPECT_EQ(OpenTheme(ThemedObject::kEdit, "edit"), first);
  EXPECT_EQ(state_->calls, (std::vector<std::string>{"open Edit"}));
  // A different list closes the cached handle before opening anew.
  const HTHEME second = OpenTheme(ThemedObject::kEdit, "MyEdit;Edit");
  EXPECT_NE(second, first);
  EXPECT_EQ(state_->calls, (std::vector<std::string>{"open Edit", "close " + std::to_string(first),
                                                     "open MyEdit;Edit"}));
  EXPECT_EQ(state_->open.size(), 1u);
}

TEST_F(VisualStylesTest, FailedOpenForgetsTheListAndCloseForgetsTheEntry) {
  state_->known_classes.insert("SPECIAL");
  Start();
  ASSERT_NE(OpenTheme(ThemedObject::kButton, "Special"), 0u);
  CloseAllThemes();
  // Closing all keeps the list: reopening without one uses it.
  EXPECT_NE(OpenTheme(ThemedObject::kButton), 0u);
  EXPECT_EQ(state_->calls.back(), "open Special");
  EXPECT_EQ(OpenTheme(ThemedObject::kButton, "Missing"), 0u);
  EXPECT_NE(OpenTheme(ThemedObject::kButton), 0u);
  EXPECT_EQ(state_->calls.back(), "open Button");
  ASSERT_NE(OpenTheme(ThemedObject::kButton, "Special"), 0u);
  EXPECT_TRUE(CloseTheme(ThemedObject::kButton));
  EXPECT_TRUE(state_->open.empty());
  EXPECT_NE(OpenTheme(ThemedObject::kButton), 0u);
  EXPECT_EQ(state_->calls.back(), "open Button");
}

TEST_F(VisualStylesTest, AvailabilityNeedsEveryKindOfTheSet) {
  Start();
  EXPECT_TRUE(AreVisualStylesAvailable());
  EXPECT_TRUE(AreVisualStylesAvailable(ThemedObjectBit(ThemedObject::kEdit) |
                                       ThemedObjectBit(ThemedObject::kButton)));
  EXPECT_FALSE(AreVisualStylesAvailable(ThemedObjectBit(ThemedObject::kEdit) |
                                        ThemedObjectBit(ThemedObject::kClock)));
}

TEST_F(VisualStylesTest, ThemeChangeClosesAllHandlesBeforeTellingNotificatorsInOrder) {
  FakeThemeService& service = Start();
  OpenTheme(ThemedObject::kEdit);
  OpenTheme(ThemedObject::kButton);
  ASSERT_EQ(state_->open.size(), 2u);
  std::vector<std::string> log;
  TdxThemeChangedNotificator first, silent, second;
  first.OnThemeChanged = [&](TdxThemeChangedNotificator*) {
    log.push_back("first, open handles " + std::to_string(state_->open.size()) +
                  (AreVisualStylesUsable() ? ", usable" : ", not usable"));
    OpenTheme(ThemedObject::kEdit);
  };
  second.OnThemeChanged = [&](TdxThemeChangedNotificator*) { log.push_back("second"); };
  state_->theme_active = false;
  service.FireThemeChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"first, open handles 0, not usable", "second"}));
  EXPECT_TRUE(state_->open.empty());
  state_->theme_active = true;
  service.FireThemeChanged();
  EXPECT_TRUE(AreVisualStylesUsable());
}

TEST_F(VisualStylesTest, NotificatorRemovedDuringTheBroadcastIsNotTold) {
  FakeThemeService& service = Start();
  std::vector<std::string> log;
  auto later = std::make_unique<TdxThemeChangedNotificator>();
  later->OnThemeChanged = [&](TdxThemeChangedNotificator*) { log.push_back("later"); };
  TdxThemeChangedNotificator first;
  auto third = std::make_unique<TdxThemeChangedNotificator>();
  third->OnThemeChanged = [&](TdxThemeChangedNotificator*) { log.push_back("third"); };
  first.OnThemeChanged = [&](TdxThemeChangedNotificator*) {
    log.push_back("first");
    third.reset();
  };
  service.FireThemeChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"later", "first"}));
}

TEST_F(VisualStylesTest, NotificatorsRegisterOnlyWhileTheLibraryIsLoaded) {
  state_->library_present = false;
  FakeThemeService& service = Start();
  int told = 0;
  TdxThemeChangedNotificator notificator;
  notificator.OnThemeChanged = [&](TdxThemeChangedNotificator*) { ++told; };
  service.FireThemeChanged();  // no receiver without the library
  binding_->ThemeChanged();
  EXPECT_EQ(told, 0);
}

TEST_F(VisualStylesTest, ExceptionDuringTheBroadcastGoesToTheApplication) {
  FakeThemeService& service = Start();
  TdxThemeChangedNotificator failing, after;
  int after_told = 0;
  failing.OnThemeChanged = [](TdxThemeChangedNotificator*) { throw Exception("theme broke"); };
  after.OnThemeChanged = [&](TdxThemeChangedNotificator*) { ++after_told; };
  EXPECT_THROW(service.FireThemeChanged(), Exception);  // no application yet

  HeadlessWindowSystem desktop;
  TApplication app(desktop, "/usr/bin/orlit_cfs");
  TForm* form = nullptr;
  app.CreateForm(form);
  form->Show();
  std::vector<std::string> boxes;
  desktop.SetIdleHandler([&] {
    auto* box = dynamic_cast<TMessageBoxForm*>(app.ActiveForm());
    if (box == nullptr) return;
    boxes.push_back(box->Caption() + ": " + box->Text());
    desktop.PressKey(VK_RETURN);
  });
  service.FireThemeChanged();
  EXPECT_EQ(boxes, (std::vector<std::string>{"orlit_cfs: theme broke."}));
  EXPECT_EQ(after_told, 0);
}

TEST_F(VisualStylesTest, ShutDownClosesHandlesClearsTheFlagAndFreesTheLibrary) {
  Start();
  TdxThemeChangedNotificator outliving;
  OpenTheme(ThemedObject::kWindow);
  binding_.reset();
  EXPECT_TRUE(state_->open.empty());
  EXPECT_TRUE(state_->library_freed);
  EXPECT_FALSE(AreVisualStylesUsable());
}

}  // namespace
}  // namespace orlit
