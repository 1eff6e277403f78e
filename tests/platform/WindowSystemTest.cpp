#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlWindowSystem.h"

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

TEST(WindowSystemTest, DecodeUtf8ReplacesEachBrokenSequenceOnce) {
  const struct {
    std::string text;
    std::vector<char32_t> expected;
  } cases[] = {
      {"", {}},
      {"aZ", {U'a', U'Z'}},
      {"\xC4\x83\xC8\x99", {0x103, 0x219}},  // ă ș
      {"\xE2\x82\xAC", {0x20AC}},
      {"\xF0\x9F\x98\x80", {0x1F600}},
      {"\xC3", {0xFFFD}},
      {"\xC3"
       "a",
       {0xFFFD, U'a'}},
      {"\xE2\x82"
       "a",
       {0xFFFD, U'a'}},
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},
      {"\xE0\x80\xAF", {0xFFFD}},
      {"\xED\xA0\x80", {0xFFFD}},
      {"\xF4\x90\x80\x80", {0xFFFD}},
      {"\xF4\x8F\xBF\xBF", {0x10FFFF}},
      {"\x80"
       "b",
       {0xFFFD, U'b'}},
      {"\xFF", {0xFFFD}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeUtf8(c.text), c.expected) << c.text;
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

TEST(WindowSystemSdlKeysTest, KeysMapToTheDesktopsCodes) {
  const struct {
    SDL_Keycode symbol;
    SDL_Scancode scancode;
    Uint16 modifiers;
    int expected;
  } cases[] = {
      {SDLK_a, SDL_SCANCODE_A, 0, 'A'},
      {SDLK_z, SDL_SCANCODE_Y, 0, 'Z'},  // a German layout: the symbol decides
      {SDLK_0, SDL_SCANCODE_0, 0, '0'},
      {SDLK_9, SDL_SCANCODE_9, 0, '9'},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 0, VK_RETURN},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0, VK_RETURN},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0, VK_BACK},
      {SDLK_TAB, SDL_SCANCODE_TAB, 0, VK_TAB},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0, VK_ESCAPE},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 0, VK_SPACE},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 0, 33},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 0, 34},
      {SDLK_END, SDL_SCANCODE_END, 0, 35},
      {SDLK_HOME, SDL_SCANCODE_HOME, 0, 36},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 0, 37},
      {SDLK_UP, SDL_SCANCODE_UP, 0, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0, 39},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 0, 40},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 0, 45},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 0, 46},
      {SDLK_F1, SDL_SCANCODE_F1, 0, VK_F1},
      {SDLK_F12, SDL_SCANCODE_F12, 0, VK_F12},
      {SDLK_F13, SDL_SCANCODE_F13, 0, VK_F13},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, VK_SHIFT},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_RSHIFT, VK_SHIFT},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 0, VK_CONTROL},
      {SDLK_LALT, SDL_SCANCODE_LALT, 0, VK_MENU},
      {SDLK_KP_1, SDL_SCANCODE_KP_1, KMOD_NUM, VK_NUMPAD1},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, KMOD_NUM, VK_NUMPAD9},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM, VK_NUMPAD0},
      {SDLK_KP_1, SDL_SCANCODE_KP_1, 0, VK_END},
      {SDLK_KP_5, SDL_SCANCODE_KP_5, 0, VK_CLEAR},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 0, VK_PRIOR},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 0, VK_INSERT},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM, VK_DECIMAL},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 0, VK_DELETE},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0, VK_ADD},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 0, VK_OEM_MINUS},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 0, VK_OEM_COMMA},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 0, VK_OEM_PERIOD},
      {0x103, SDL_SCANCODE_LEFTBRACKET, 0, VK_OEM_4},  // "ă" on a Romanian keyboard
      {0x219, SDL_SCANCODE_SEMICOLON, 0, VK_OEM_1},    // "ș"
      {0xE4, SDL_SCANCODE_APOSTROPHE, 0, VK_OEM_7},    // "ä" on a German keyboard
      {0xFC, SDL_SCANCODE_NONUSBACKSLASH, 0, VK_OEM_102},
      {SDLK_AUDIONEXT, SDL_SCANCODE_AUDIONEXT, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.symbol, c.scancode, c.modifiers), c.expected)
        << "symbol " << c.symbol;
  }
}

TEST(WindowSystemSdlKeysTest, ModifiersAndButtons) {
  EXPECT_EQ(ShiftStateFromSdl(KMOD_NONE), 0);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_RSHIFT), kShiftStateShift);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_LCTRL | KMOD_RALT), kShiftStateCtrl | kShiftStateAlt);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_NUM | KMOD_CAPS), 0);

  MouseButton button = MouseButton::kLeft;
  EXPECT_TRUE(MouseButtonFromSdl(SDL_BUTTON_RIGHT, &button));
  EXPECT_EQ(button, MouseButton::kRight);
  EXPECT_TRUE(MouseButtonFromSdl(SDL_BUTTON_MIDDLE, &button));
  EXPECT_EQ(button, MouseButton::kMiddle);
  EXPECT_FALSE(MouseButtonFromSdl(SDL_BUTTON_X1, &button));
}

// Without a display SDL would quietly pick a driver that shows nothing; the program must say so.
TEST(WindowSystemSdlTest, NoDisplayIsAnErrorNotAnInvisibleWindow) {
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i) {
    if (const char* value = std::getenv(names[i])) saved[i] = value;
    unsetenv(names[i]);
  }
  std::string message;
  try {
    SdlWindowSystem system;
  } catch (const EWindowSystemError& error) {
    message = error.Message();
  }
  for (int i = 0; i < 3; ++i) {
    if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
  }
  EXPECT_EQ(message,
            "No display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
}

}  // namespace
}  // namespace orlit
