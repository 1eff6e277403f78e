#pragma once

#include <SDL.h>

#include "platform/VirtualKeys.h"
#include "platform/WindowSystem.h"

namespace orlit {

// The desktop's key code for an SDL key: by the key's symbol where it names one (so letters
// follow the keyboard layout), otherwise by the key's position on a US keyboard. Keypad digits
// and the keypad point are VK_NUMPAD0..9 and VK_DECIMAL with Num Lock on, and the navigation keys
// printed on them with it off. 0 for keys the desktop has no code for.
int VirtualKeyFromSdl(SDL_Keycode symbol, SDL_Scancode scancode, Uint16 modifiers);

// Shift, Ctrl and Alt from SDL's modifier state.
ShiftState ShiftStateFromSdl(Uint16 modifiers);

// SDL's mouse buttons; false for buttons beyond the third.
bool MouseButtonFromSdl(Uint8 sdl_button, MouseButton* button);

}  // namespace orlit
