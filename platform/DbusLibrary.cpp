#include "platform/DbusLibrary.h"

#include <dlfcn.h>

namespace orlit {

const DbusLibrary* DbusLibrary::Get() {
  static const DbusLibrary* const library = []() -> const DbusLibrary* {
    void* handle = dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new DbusLibrary;
    bool complete = true;
#define ORLIT_DBUS_BIND(name)                                                      \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, "dbus_" #name)); \
  complete = complete && lib->name != nullptr;
    ORLIT_DBUS_FUNCTIONS(ORLIT_DBUS_BIND)
#undef ORLIT_DBUS_BIND
    if (complete) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
