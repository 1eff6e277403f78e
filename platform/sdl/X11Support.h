#pragma once

#include <SDL.h>

#include <optional>

#include "platform/Geometry.h"

namespace orlit {

// What the SDL backend asks of X directly. Kept apart because the X headers' macros clash with
// ordinary names.

// The pointer in screen coordinates as the X server has it this moment, asked through the
// connection of `window`; nothing when the window is not on X.
std::optional<TPoint> QueryX11Pointer(SDL_Window* window);

// Xlib's default error handler ends the process. A request that names a window the server has
// already destroyed (a race at shutdown, or a selection requester that went away) is harmless, so
// errors are reported on standard error and the program goes on. Call before SDL starts, so SDL
// restores this handler rather than Xlib's when it quits.
void InstallX11ErrorHandler();

}  // namespace orlit
