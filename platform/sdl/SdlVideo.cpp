#include "platform/sdl/SdlVideo.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <string_view>

#include "platform/WindowSystem.h"
#include "platform/sdl/X11Support.h"

namespace orlit {

namespace {

std::atomic<bool> open{false};

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

SdlVideo::SdlVideo() {
  if (open.exchange(true)) throw EWindowSystemError("The window system is already open");
  const bool driver_named = IsSet("SDL_VIDEODRIVER");
  if (!driver_named && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
    open = false;
    throw EWindowSystemError(
        "No display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
  }
  // Without it the window surface goes through OpenGL in software: about 110 ms and 90 MB more
  // at start and eight times slower presents.
  InstallX11ErrorHandler();
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The first click on an inactive window is a click, as on the desktop we imitate.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Closing the last window is the program's decision, not SDL's.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // No timer subsystem yet: SDL_AddTimer starts its thread with the first timer. A second thread
  // from the start makes every stdio read take a lock, and the input method's start-up reads a
  // large table one character at a time (measured: about a third of the start-up).
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const std::string error = SDL_GetError();
    open = false;
    throw EWindowSystemError("Cannot open the display: " + error);
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  driver_name_ = driver != nullptr ? driver : "";
  if (!driver_named &&
      (driver_name_.empty() || driver_name_ == "offscreen" || driver_name_ == "dummy")) {
    SDL_Quit();
    open = false;
    const char* display = std::getenv("DISPLAY");
    throw EWindowSystemError("Cannot open the display \"" +
                             std::string(display != nullptr ? display : "") + "\"");
  }
}

SdlVideo::~SdlVideo() {
  SDL_Quit();
  open = false;
}

}  // namespace orlit
