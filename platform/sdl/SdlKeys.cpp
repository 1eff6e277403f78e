#include "platform/sdl/SdlKeys.h"

namespace orlit {

namespace {

int KeyFromSymbol(SDL_Keycode symbol, bool num_lock) {
  if (symbol >= SDLK_a && symbol <= SDLK_z) return 'A' + (symbol - SDLK_a);
  if (symbol >= SDLK_0 && symbol <= SDLK_9) return '0' + (symbol - SDLK_0);
  if (symbol >= SDLK_F1 && symbol <= SDLK_F12) return VK_F1 + (symbol - SDLK_F1);
  if (symbol >= SDLK_F13 && symbol <= SDLK_F24) return VK_F13 + (symbol - SDLK_F13);
  if (symbol >= SDLK_KP_1 && symbol <= SDLK_KP_9) {
    static constexpr int kNavigation[] = {VK_END,   VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                                          VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR};
    const int digit = symbol - SDLK_KP_1;
    return num_lock ? VK_NUMPAD1 + digit : kNavigation[digit];
  }
  switch (symbol) {
    case SDLK_KP_0:
      return num_lock ? VK_NUMPAD0 : VK_INSERT;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL:
      return num_lock ? VK_DECIMAL : VK_DELETE;
    case SDLK_KP_ENTER:
    case SDLK_RETURN:
    case SDLK_RETURN2:
      return VK_RETURN;
    case SDLK_KP_DIVIDE:
      return VK_DIVIDE;
    case SDLK_KP_MULTIPLY:
      return VK_MULTIPLY;
    case SDLK_KP_MINUS:
      return VK_SUBTRACT;
    case SDLK_KP_PLUS:
      return VK_ADD;
    case SDLK_BACKSPACE:
      return VK_BACK;
    case SDLK_TAB:
      return VK_TAB;
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_PAGEUP:
      return VK_PRIOR;
    case SDLK_PAGEDOWN:
      return VK_NEXT;
    case SDLK_END:
      return VK_END;
    case SDLK_HOME:
      return VK_HOME;
    case SDLK_LEFT:
      return VK_LEFT;
    case SDLK_UP:
      return VK_UP;
    case SDLK_RIGHT:
      return VK_RIGHT;
    case SDLK_DOWN:
      return VK_DOWN;
    case SDLK_INSERT:
      return VK_INSERT;
    case SDLK_DELETE:
      return VK_DELETE;
    case SDLK_CLEAR:
      return VK_CLEAR;
    case SDLK_HELP:
      return VK_HELP;
    case SDLK_PAUSE:
      return VK_PAUSE;
    case SDLK_PRINTSCREEN:
      return VK_SNAPSHOT;
    case SDLK_CAPSLOCK:
      return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR:
      return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
      return VK_SCROLL;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    case SDLK_LGUI:
      return VK_LWIN;
    case SDLK_RGUI:
      return VK_RWIN;
    case SDLK_APPLICATION:
      return VK_APPS;
    case SDLK_SEMICOLON:
      return VK_OEM_1;
    case SDLK_EQUALS:
      return VK_OEM_PLUS;
    case SDLK_COMMA:
      return VK_OEM_COMMA;
    case SDLK_MINUS:
      return VK_OEM_MINUS;
    case SDLK_PERIOD:
      return VK_OEM_PERIOD;
    case SDLK_SLASH:
      return VK_OEM_2;
    case SDLK_BACKQUOTE:
      return VK_OEM_3;
    case SDLK_LEFTBRACKET:
      return VK_OEM_4;
    case SDLK_BACKSLASH:
      return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
      return VK_OEM_6;
    case SDLK_QUOTE:
      return VK_OEM_7;
    default:
      return 0;
  }
}

// Keys whose symbol the layout makes a character without a key code ("ă", "ş", "ü") keep the
// code of the key at that place on a US keyboard, as the desktop gives them.
int KeyFromScancode(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_SEMICOLON:
      return VK_OEM_1;
    case SDL_SCANCODE_EQUALS:
      return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA:
      return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS:
      return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD:
      return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
      return VK_OEM_2;
    case SDL_SCANCODE_GRAVE:
      return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET:
      return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH:
      return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET:
      return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE:
      return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return VK_OEM_102;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode symbol, SDL_Scancode scancode, Uint16 modifiers) {
  const int key = KeyFromSymbol(symbol, (modifiers & KMOD_NUM) != 0);
  return key != 0 ? key : KeyFromScancode(scancode);
}

ShiftState ShiftStateFromSdl(Uint16 modifiers) {
  ShiftState shift = 0;
  if (modifiers & KMOD_SHIFT) shift |= kShiftStateShift;
  if (modifiers & KMOD_CTRL) shift |= kShiftStateCtrl;
  if (modifiers & KMOD_ALT) shift |= kShiftStateAlt;
  return shift;
}

bool MouseButtonFromSdl(Uint8 sdl_button, MouseButton* button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      *button = MouseButton::kLeft;
      return true;
    case SDL_BUTTON_RIGHT:
      *button = MouseButton::kRight;
      return true;
    case SDL_BUTTON_MIDDLE:
      *button = MouseButton::kMiddle;
      return true;
    default:
      return false;
  }
}

}  // namespace orlit
