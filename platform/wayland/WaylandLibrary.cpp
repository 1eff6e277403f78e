#include "platform/wayland/WaylandLibrary.h"

#include <dlfcn.h>

namespace orlit {

const WaylandLibrary* WaylandLibrary::Get() {
  static const WaylandLibrary* const library = []() -> const WaylandLibrary* {
    void* client = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_LOCAL);
    if (client == nullptr) return nullptr;
    void* cursor = dlopen("libwayland-cursor.so.0", RTLD_NOW | RTLD_LOCAL);
    if (cursor == nullptr) {
      dlclose(client);
      return nullptr;
    }
    auto* lib = new WaylandLibrary;
    bool complete = true;
#define ORLIT_WAYLAND_BIND(handle, name)                                         \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, "wl_" #name)); \
  complete = complete && lib->name != nullptr;
#define ORLIT_WAYLAND_BIND_CLIENT(name) ORLIT_WAYLAND_BIND(client, name)
#define ORLIT_WAYLAND_BIND_CURSOR(name) ORLIT_WAYLAND_BIND(cursor, name)
    ORLIT_WAYLAND_CLIENT_FUNCTIONS(ORLIT_WAYLAND_BIND_CLIENT)
    ORLIT_WAYLAND_CURSOR_FUNCTIONS(ORLIT_WAYLAND_BIND_CURSOR)
#undef ORLIT_WAYLAND_BIND_CURSOR
#undef ORLIT_WAYLAND_BIND_CLIENT
#undef ORLIT_WAYLAND_BIND
    if (complete) return lib;
    delete lib;
    dlclose(cursor);
    dlclose(client);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
