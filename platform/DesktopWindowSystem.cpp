#include "platform/DesktopWindowSystem.h"

#include <cstdlib>
#include <string_view>

#include "platform/wayland/WaylandWindowSystem.h"
#include "platform/xcb/XcbWindowSystem.h"

namespace orlit {

std::vector<DesktopBackend> DesktopBackendsToTry(const char* backend_setting,
                                                 const char* wayland_display) {
  const std::string_view chosen = backend_setting != nullptr ? backend_setting : "";
  if (chosen == "wayland") return {DesktopBackend::kWayland};
  if (chosen == "x11") return {DesktopBackend::kX11};
  if (!chosen.empty()) {
    throw EWindowSystemError(SourceText(
        N_("ORLIT_BACKEND must be \"wayland\" or \"x11\", not \"%s\""), {std::string(chosen)}));
  }
  if (wayland_display != nullptr && *wayland_display != '\0') {
    return {DesktopBackend::kWayland, DesktopBackend::kX11};
  }
  return {DesktopBackend::kX11};
}

std::unique_ptr<WindowSystem> OpenDesktopWindowSystem() {
  const std::vector<DesktopBackend> backends =
      DesktopBackendsToTry(std::getenv("ORLIT_BACKEND"), std::getenv("WAYLAND_DISPLAY"));
  for (std::size_t i = 0;; ++i) {
    try {
      if (backends[i] == DesktopBackend::kWayland) return std::make_unique<WaylandWindowSystem>();
      return std::make_unique<XcbWindowSystem>();
    } catch (const EWindowSystemError&) {
      if (i + 1 == backends.size()) throw;
    }
  }
}

}  // namespace orlit
