#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <cstdlib>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/XkbKeyboard.h"

namespace orlit {
namespace {

constexpr ShiftState kAltGr = kShiftStateCtrl | kShiftStateAlt;

// Keys by their evdev code; a negative code is that key's release, 0 the focus going elsewhere.
TEST(XkbKeyboardTest, KeysGiveTheDesktopsCodesShiftAndText) {
  try {
    XkbKeyboard::FromNames("us");
  } catch (const EWindowSystemError&) {
    GTEST_SKIP() << "no keyboard configuration data";
  }
  const struct {
    const char* layout;
    const char* variant;
    std::vector<int> keys;
    int key;
    ShiftState shift;
    std::u32string text;
    bool repeat = false;
  } cases[] = {
      {"us", "", {KEY_A}, 'A', 0, U"a"},
      {"de", "", {KEY_Y}, 'Z', 0, U"z"},  // the symbol decides, not the place
      {"us", "", {KEY_1}, '1', 0, U"1"},
      {"us", "", {KEY_F12}, VK_F12, 0, U""},
      {"us", "", {KEY_PAGEUP}, VK_PRIOR, 0, U""},
      {"us", "", {KEY_ENTER}, VK_RETURN, 0, U""},  // control characters are not text
      {"us", "", {KEY_KPENTER}, VK_RETURN, 0, U""},
      {"us", "", {KEY_KP1}, VK_END, 0, U""},
      {"us", "", {KEY_KP5}, VK_CLEAR, 0, U""},
      {"us", "", {KEY_NUMLOCK, -KEY_NUMLOCK, KEY_KP1}, VK_NUMPAD1, 0, U"1"},
      {"us", "", {KEY_NUMLOCK, -KEY_NUMLOCK, KEY_KPDOT}, VK_DECIMAL, 0, U"."},
      {"us",
       "",
       {KEY_NUMLOCK, -KEY_NUMLOCK, KEY_KP1, KEY_NUMLOCK, -KEY_NUMLOCK, -KEY_KP1},
       VK_NUMPAD1,
       0,
       U""},  // a release names the key its press named
      {"us", "", {KEY_KPPLUS}, VK_ADD, 0, U"+"},
      {"ro", "std", {KEY_LEFTBRACE}, VK_OEM_4, 0, U"ă"},
      {"ro", "std", {KEY_SEMICOLON}, VK_OEM_1, 0, U"ș"},
      {"de", "", {KEY_APOSTROPHE}, VK_OEM_7, 0, U"ä"},
      {"de", "", {KEY_102ND}, VK_OEM_102, 0, U"<"},
      {"us", "", {KEY_LEFTSHIFT, KEY_A}, 'A', kShiftStateShift, U"A"},
      {"de", "", {KEY_RIGHTSHIFT, KEY_7}, '7', kShiftStateShift, U"/"},
      {"us", "", {KEY_CAPSLOCK, -KEY_CAPSLOCK, KEY_A}, 'A', 0, U"A"},
      {"us", "", {KEY_LEFTCTRL, KEY_A}, 'A', kShiftStateCtrl, U""},
      {"us", "", {KEY_RIGHTALT}, VK_MENU, kShiftStateAlt, U""},
      {"de", "", {KEY_RIGHTALT}, VK_MENU, kAltGr, U""},
      {"de", "", {KEY_RIGHTALT, KEY_Q}, 'Q', kAltGr, U"@"},
      {"ro", "", {KEY_RIGHTALT, KEY_A}, 'A', kAltGr, U"ă"},
      {"de", "", {KEY_EQUAL}, VK_OEM_PLUS, 0, U""},  // a dead key types nothing yet
      {"de", "", {KEY_EQUAL, -KEY_EQUAL, KEY_E}, 'E', 0, U"é"},
      {"us", "", {KEY_NEXTSONG}, 0, 0, U""},
      {"us", "", {KEY_A, KEY_A}, 'A', 0, U"a", true},
      {"us", "", {KEY_A, 0, KEY_A}, 'A', 0, U"a", false},
      {"de", "", {KEY_EQUAL, -KEY_EQUAL, 0, KEY_E}, 'E', 0, U"e"},
      {"us", "", {KEY_LEFTSHIFT, -KEY_LEFTSHIFT}, VK_SHIFT, 0, U""},
      {"us", "", {KEY_LEFTSHIFT, KEY_RIGHTSHIFT, -KEY_LEFTSHIFT}, VK_SHIFT, kShiftStateShift, U""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    auto keyboard = XkbKeyboard::FromNames(c.layout, c.variant);
    XkbKeyboard::KeyResult result;
    for (int key : c.keys) {
      const auto keycode = static_cast<std::uint32_t>(std::abs(key) + 8);
      if (key == 0) {
        keyboard->ForgetKeysDown();
      } else {
        result = key > 0 ? keyboard->Press(keycode) : keyboard->Release(keycode);
      }
    }
    EXPECT_EQ(result.key, c.key) << "case " << i;
    EXPECT_EQ(int{result.shift}, int{c.shift}) << "case " << i;
    EXPECT_EQ(result.text, c.text) << "case " << i;
    EXPECT_EQ(result.repeat, c.repeat) << "case " << i;
  }
}

}  // namespace
}  // namespace orlit
