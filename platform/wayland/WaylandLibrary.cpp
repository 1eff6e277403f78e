#include "platform/wayland/WaylandLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const WaylandLibrary* WaylandLibrary::Get() {
  static const WaylandLibrary* const library = OpenFunctionTable<WaylandLibrary>(
      {"libwayland-client.so.0", "libwayland-cursor.so.0"},
      [](WaylandLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_BIND_CLIENT(name) &&FindFunction(libraries[0], "wl_" #name, lib.name)
#define ORLIT_BIND_CURSOR(name) &&FindFunction(libraries[1], "wl_" #name, lib.name)
        return true ORLIT_WAYLAND_CLIENT_FUNCTIONS(ORLIT_BIND_CLIENT)
            ORLIT_WAYLAND_CURSOR_FUNCTIONS(ORLIT_BIND_CURSOR);
#undef ORLIT_BIND_CURSOR
#undef ORLIT_BIND_CLIENT
      });
  return library;
}

}  // namespace orlit
