#pragma once

#include <SDL.h>

#include <optional>

#include "platform/Geometry.h"

namespace orlit {

// The pointer in screen coordinates as the X server has it this moment, asked through the
// connection of `window`; nothing when the window is not on X. Kept apart because the X headers'
// macros clash with ordinary names.
std::optional<TPoint> QueryX11Pointer(SDL_Window* window);

}  // namespace orlit
