#include "platform/sdl/X11Support.h"

#include <SDL_syswm.h>

#include <cstdio>

namespace orlit {

std::optional<TPoint> QueryX11Pointer(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return std::nullopt;
  }
  Display* display = info.info.x11.display;
  ::Window root = 0;
  ::Window child = 0;
  int root_x = 0;
  int root_y = 0;
  int window_x = 0;
  int window_y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &root_x, &root_y,
                     &window_x, &window_y, &mask)) {
    return std::nullopt;
  }
  return TPoint{root_x, root_y};
#else
  (void)window;
  return std::nullopt;
#endif
}

void InstallX11ErrorHandler() {
#if defined(SDL_VIDEO_DRIVER_X11)
  XSetErrorHandler([](Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow) {
      std::fprintf(stderr, "orlit_cfs: X error %d on request %d\n", error->error_code,
                   error->request_code);
    }
    return 0;
  });
#endif
}

}  // namespace orlit
