#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeThemeService.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/Office11Scheme.h"
#include "lookandfeel/SystemPalette.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {
namespace {

using testing::FakeThemeService;
using testing::FakeThemeState;

void ChangeButtonShadow(TColor color) {
  const std::pair<int, TColor> change[] = {{COLOR_BTNSHADOW, color}};
  SetSysColors(change);
}

class SystemPaletteTest : public ::testing::Test {
 protected:
  ~SystemPaletteTest() override { ResetSysColors(); }
};

TEST_F(SystemPaletteTest, PrimaryNotifiersLastToFirstThenSecondaryOnes) {
  std::vector<std::string> log;
  auto make = [&](const std::string& name, bool primary) {
    auto notifier = std::make_unique<TcxSystemPaletteChangedNotifier>(primary);
    notifier->OnSystemPaletteChanged = [&log, name] { log.push_back(name); };
    return notifier;
  };
  auto s1 = make("s1", false);
  auto p1 = make("p1", true);
  auto s2 = make("s2", false);
  auto p2 = make("p2", true);
  ChangeButtonShadow(RGB(1, 2, 3));
  EXPECT_EQ(log, (std::vector<std::string>{"p2", "p1", "s2", "s1"}));
}

TEST_F(SystemPaletteTest, OfficeSchemeIsRecomputedBeforeAnyNotifier) {
  TColor seen = 0;
  TcxSystemPaletteChangedNotifier notifier(true);
  notifier.OnSystemPaletteChanged = [&] { seen = CurrentOffice11Scheme().border; };
  ChangeButtonShadow(RGB(9, 8, 7));
  EXPECT_EQ(seen, RGB(9, 8, 7));
  EXPECT_EQ(CurrentOffice11Scheme().border_brush.color, RGB(9, 8, 7));
}

TEST_F(SystemPaletteTest, ListenerLivesFromTheFirstNotifierToTheLast) {
  EXPECT_EQ(TcxSystemPaletteChangedListener::Instance(), nullptr);
  auto a = std::make_unique<TcxSystemPaletteChangedNotifier>();
  auto* listener = TcxSystemPaletteChangedListener::Instance();
  ASSERT_NE(listener, nullptr);
  auto b = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
  EXPECT_EQ(TcxSystemPaletteChangedListener::Instance(), listener);
  a.reset();
  EXPECT_NE(TcxSystemPaletteChangedListener::Instance(), nullptr);
  b.reset();
  EXPECT_EQ(TcxSystemPaletteChangedListener::Instance(), nullptr);
}

TEST_F(SystemPaletteTest, HandlerFreeingNotifiersStopsThemBeingTold) {
  std::vector<std::string> log;
  auto first = std::make_unique<TcxSystemPaletteChangedNotifier>();
  first->OnSystemPaletteChanged = [&] { log.push_back("first"); };
  auto last = std::make_unique<TcxSystemPaletteChangedNotifier>();
  last->OnSystemPaletteChanged = [&] {
    log.push_back("last");
    first.reset();
    last.reset();  // the last one: the listener goes too
  };
  ChangeButtonShadow(RGB(5, 5, 5));
  EXPECT_EQ(log, (std::vector<std::string>{"last"}));
  EXPECT_EQ(TcxSystemPaletteChangedListener::Instance(), nullptr);
}

TEST(Office11Scheme, MixesNinetyPercentWithTenPercentOfTheBase) {
  struct Case {
    TColor color;
    TColor base;
    TColor mixed;
  };
  const Case cases[] = {
      {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)},
      {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)},  // 230 + 26 capped
      {RGB(100, 200, 15), RGB(0, 0, 0), RGB(90, 180, 14)},           // 13.5 rounds up
      {RGB(0, 0, 0), RGB(15, 25, 4), RGB(2, 3, 0)},                  // 1.5 -> 2, 2.5 -> 3
      {RGB(195, 218, 249), RGB(0, 45, 150), RGB(176, 201, 239)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Office11MixColor(c.color, c.base), c.mixed) << std::hex << c.color;
  }
}

TEST(Office11Scheme, SchemeZeroFollowsSystemColoursWithoutATheme) {
  const Office11Scheme& scheme = CurrentOffice11Scheme();
  EXPECT_EQ(scheme.number, 0);
  EXPECT_EQ(scheme.border, ColorToRGB(clBtnShadow));
  EXPECT_EQ(scheme.selected_border, ColorToRGB(clHighlight));
  EXPECT_EQ(scheme.background, ColorToRGB(clBtnFace));
}

TEST(Office11Scheme, DetectionNeedsLunaAndAKnownColourName) {
  struct Case {
    const char* file;
    const char* color;
    bool active;
    int number;
  };
  const Case cases[] = {
      {"C:\\Themes\\Luna\\Luna.msstyles", "NormalColor", true, 1},
      {"luna.MSSTYLES", "homestead", true, 2},
      {"/themes/LUNA.msstyles", "Metallic", true, 3},
      {"C:\\Themes\\Royale.msstyles", "NormalColor", true, 0},
      {"Luna.msstyles", "Aqua", true, 0},
      {"Luna.msstyles", "NormalColor", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.color);
    auto state = std::make_shared<FakeThemeState>();
    state->theme_file = c.file;
    state->color_name = c.color;
    state->theme_active = c.active;
    VisualStyleBinding binding(std::make_unique<FakeThemeService>(state));
    EXPECT_EQ(DetectOffice11SchemeNumber(), c.number);
    EXPECT_EQ(CurrentOffice11Scheme().number, c.number);
  }
  EXPECT_EQ(DetectOffice11SchemeNumber(), 0);
}

TEST(Office11Scheme, ThemedSchemesUseTheirTableMixedWithTheBase) {
  auto state = std::make_shared<FakeThemeState>();
  VisualStyleBinding binding(std::make_unique<FakeThemeService>(state));
  const Office11Scheme& scheme = CurrentOffice11Scheme();
  ASSERT_EQ(scheme.number, 1);
  EXPECT_EQ(scheme.background, Office11MixColor(RGB(195, 218, 249), RGB(0, 45, 150)));
  EXPECT_EQ(scheme.background_brush.color, scheme.background);
  EXPECT_EQ(scheme.border, RGB(0, 45, 150));
}

// A look and feel that lives until the process ends drops its colour subscription after every
// other static is gone; that must end the process cleanly.
TEST(SystemPaletteExitTest, LookAndFeelAliveAtExitEndsCleanly) {
  // A fresh process, so the statics are made in the order the program makes them.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // Made before the colour machinery's own statics, so destroyed after them.
        static std::unique_ptr<TcxLookAndFeel> survivor;
        survivor = std::make_unique<TcxLookAndFeel>();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orlit
