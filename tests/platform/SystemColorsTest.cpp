#include <gtest/gtest.h>

#include <vector>

#include "platform/SystemColors.h"

namespace orlit {
namespace {

class SystemColorsTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetSysColors(); }
};

struct SysColorCase {
  TColor color;
  int index;
  TColor rgb;
};

TEST_F(SystemColorsTest, ResolvesTheClassicPalette) {
  const SysColorCase cases[] = {
      {clWindow, 5, RGB(255, 255, 255)},         {clWindowFrame, 6, RGB(0, 0, 0)},
      {clWindowText, 8, RGB(0, 0, 0)},           {clHighlight, 13, RGB(10, 36, 106)},
      {clHighlightText, 14, RGB(255, 255, 255)}, {clBtnFace, 15, RGB(212, 208, 200)},
      {clBtnShadow, 16, RGB(128, 128, 128)},     {clGrayText, 17, RGB(128, 128, 128)},
      {clBtnHighlight, 20, RGB(255, 255, 255)},  {cl3DDkShadow, 21, RGB(64, 64, 64)},
      {cl3DLight, 22, RGB(212, 208, 200)},       {clInfoBk, 24, RGB(255, 255, 225)},
  };
  for (const SysColorCase& c : cases) {
    EXPECT_EQ(c.color, 0xFF000000u + static_cast<unsigned>(c.index)) << c.index;
    EXPECT_EQ(ColorToRGB(c.color), c.rgb) << c.index;
    EXPECT_EQ(GetSysColor(c.index), c.rgb) << c.index;
  }
}

TEST_F(SystemColorsTest, PixelsAreRedGreenBlueWithRedHighest) {
  // Colour values keep red in the low byte, pixels in the high one.
  EXPECT_EQ(clYellow, RGB(255, 255, 0));
  EXPECT_EQ(ColorToPixel(clRed), 0xFF0000u);
  EXPECT_EQ(ColorToPixel(clNavy), 0x000080u);
  // The memo's pale cream: red 255, green 245, blue 221.
  EXPECT_EQ(ColorToPixel(14546431), 0xFFF5DDu);
  EXPECT_EQ(ColorToPixel(clBtnFace), 0xD4D0C8u);
}

TEST_F(SystemColorsTest, UnknownIndicesAndStrayHighBytesResolveSafely) {
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(kSystemColorCount), 0u);
  EXPECT_EQ(ColorToRGB(0xFF0000FFu), 0u);
  EXPECT_EQ(ColorToRGB(0x12345678u), 0x345678u);
}

TEST_F(SystemColorsTest, ChangeIsAnnouncedOnceAndOnlyWhenSomethingChanged) {
  int calls = 0;
  SysColorSubscription subscription([&] { ++calls; });
  const std::pair<int, TColor> changes[] = {{COLOR_BTNFACE, RGB(1, 2, 3)},
                                            {COLOR_WINDOW, RGB(4, 5, 6)}};
  SetSysColors(changes);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(4, 5, 6));
  SetSysColors(changes);
  EXPECT_EQ(calls, 1);
  const std::pair<int, TColor> unknown[] = {{-3, 0}, {99, 0}};
  SetSysColors(unknown);
  EXPECT_EQ(calls, 1);
  ResetSysColors();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  ResetSysColors();
  EXPECT_EQ(calls, 2);
}

TEST_F(SystemColorsTest, ListenersLeaveWithTheirSubscription) {
  std::vector<int> order;
  SysColorSubscription first([&] { order.push_back(1); });
  auto second = std::make_unique<SysColorSubscription>([&] { order.push_back(2); });
  const std::pair<int, TColor> change[] = {{COLOR_HIGHLIGHT, RGB(9, 9, 9)}};
  SetSysColors(change);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  second.reset();
  ResetSysColors();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 1}));
}

TEST_F(SystemColorsTest, ListenerMayDropItselfAndOthersWhileBeingTold) {
  int later_calls = 0;
  std::unique_ptr<SysColorSubscription> self;
  std::unique_ptr<SysColorSubscription> later;
  self = std::make_unique<SysColorSubscription>([&] {
    self.reset();
    later.reset();
  });
  later = std::make_unique<SysColorSubscription>([&] { ++later_calls; });
  const std::pair<int, TColor> change[] = {{COLOR_WINDOW, RGB(7, 7, 7)}};
  SetSysColors(change);
  EXPECT_EQ(self, nullptr);
  EXPECT_EQ(later_calls, 0);
}

TEST_F(SystemColorsTest, MovedSubscriptionKeepsListening) {
  int calls = 0;
  SysColorSubscription moved;
  {
    SysColorSubscription original([&] { ++calls; });
    moved = std::move(original);
  }
  const std::pair<int, TColor> change[] = {{COLOR_WINDOW, RGB(8, 8, 8)}};
  SetSysColors(change);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace orlit
