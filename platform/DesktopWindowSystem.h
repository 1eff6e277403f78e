#pragma once

#include <memory>
#include <vector>

#include "platform/WindowSystem.h"

namespace orlit {

enum class DesktopBackend { kWayland, kX11 };

// The backends to try, in order: ORLIT_BACKEND's choice alone (`backend_setting`, "wayland" or
// "x11"); else Wayland when WAYLAND_DISPLAY (`wayland_display`) names a compositor, then X11.
// Either may be null or empty. Throws EWindowSystemError for any other ORLIT_BACKEND.
std::vector<DesktopBackend> DesktopBackendsToTry(const char* backend_setting,
                                                 const char* wayland_display);

// The window system of the desktop the program runs on: the first of DesktopBackendsToTry (from
// the environment) whose server answers. Throws the last one's EWindowSystemError when none does.
std::unique_ptr<WindowSystem> OpenDesktopWindowSystem();

}  // namespace orlit
