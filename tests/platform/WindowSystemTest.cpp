#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/xcb/XcbWindowSystem.h"

namespace orlit {
namespace {

struct ControlCharacterCase {
  int key;
  ShiftState shift;
  char32_t expected;
};

TEST(WindowSystemTest, ControlCharactersFollowTheDesktopsEditConventions) {
  const ControlCharacterCase cases[] = {
      {VK_BACK, 0, 8},
      {VK_BACK, kShiftStateCtrl, 127},
      {VK_BACK, kShiftStateShift, 8},
      {VK_TAB, 0, 9},
      {VK_TAB, kShiftStateShift, 9},
      {VK_TAB, kShiftStateCtrl, 0},
      {VK_RETURN, 0, 13},
      {VK_RETURN, kShiftStateCtrl, 10},
      {VK_RETURN, kShiftStateAlt, 0},
      {VK_ESCAPE, 0, 27},
      {'A', kShiftStateCtrl, 1},
      {'V', kShiftStateCtrl | kShiftStateShift, 22},
      {'X', kShiftStateCtrl, 24},
      {'Z', kShiftStateCtrl, 26},
      {'A', kShiftStateCtrl | kShiftStateAlt, 0},
      {'A', 0, 0},
      {'1', kShiftStateCtrl, 0},
      {VK_SPACE, 0, 0},
      {VK_LEFT, 0, 0},
      {VK_DELETE, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ControlCharacterForKey(c.key, c.shift), c.expected)
        << "key " << c.key << " shift " << int{c.shift};
  }
}

TEST(WindowSystemTest, TextInputIsHeldBackOnlyForCtrlWithoutAlt) {
  EXPECT_TRUE(TextInputAllowed(0));
  EXPECT_TRUE(TextInputAllowed(kShiftStateShift));
  EXPECT_TRUE(TextInputAllowed(kShiftStateAlt));
  EXPECT_TRUE(TextInputAllowed(kShiftStateCtrl | kShiftStateAlt));
  EXPECT_FALSE(TextInputAllowed(kShiftStateCtrl));
  EXPECT_FALSE(TextInputAllowed(kShiftStateCtrl | kShiftStateShift));
}

TEST(WindowSystemTest, FrameViewValidity) {
  const std::uint32_t pixels[8] = {};
  EXPECT_TRUE((FrameView{pixels, 2, 4, 8}.IsValid()));
  EXPECT_TRUE((FrameView{pixels, 2, 2, 16}.IsValid()));
  EXPECT_TRUE((FrameView{pixels, 8, 1, 0}.IsValid()));
  EXPECT_FALSE((FrameView{nullptr, 2, 2, 8}.IsValid()));
  EXPECT_FALSE((FrameView{pixels, 2, 2, 7}.IsValid()));
  EXPECT_FALSE((FrameView{pixels, -1, 2, 8}.IsValid()));
  EXPECT_FALSE((FrameView{pixels, 2, -1, 8}.IsValid()));

  PixelImage image(3, 2);
  image.SetPixel(2, 1, 0x123456);
  const FrameView view = FrameView::Of(image);
  EXPECT_EQ(view.stride_bytes, 12);
  EXPECT_EQ(view.Pixel(2, 1), 0x123456u);
}

TEST(WindowSystemTest, WindowSizesAreClampedOrRefused) {
  EXPECT_EQ(CheckedWindowSize({0, -5}), (TSize{1, 1}));
  EXPECT_EQ(CheckedWindowSize({567, 501}), (TSize{567, 501}));
  EXPECT_EQ(CheckedWindowSize({kMaxWindowDimension, kMaxWindowDimension}),
            (TSize{kMaxWindowDimension, kMaxWindowDimension}));
  EXPECT_THROW(CheckedWindowSize({kMaxWindowDimension + 1, 1}), EWindowSystemError);
  EXPECT_THROW(CheckedWindowSize({1, kMaxWindowDimension + 1}), EWindowSystemError);
}

// Without a display the program must say so rather than run with no window.
TEST(WindowSystemXcbTest, NoDisplayIsAnError) {
  std::optional<std::string> saved;
  if (const char* value = std::getenv("DISPLAY")) saved = value;
  unsetenv("DISPLAY");
  std::string message;
  try {
    XcbWindowSystem system;
  } catch (const EWindowSystemError& error) {
    message = error.Message();
  }
  if (saved) setenv("DISPLAY", saved->c_str(), 1);
  EXPECT_EQ(message, "No display to show the window on: DISPLAY is not set");
}

}  // namespace
}  // namespace orlit
