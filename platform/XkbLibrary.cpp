#include "platform/XkbLibrary.h"

#include <dlfcn.h>

namespace orlit {

const XkbLibrary* XkbLibrary::Get() {
  static const XkbLibrary* const library = []() -> const XkbLibrary* {
    void* handle = dlopen("libxkbcommon.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new XkbLibrary;
    bool complete = true;
#define ORLIT_XKB_BIND(name)                                                      \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, "xkb_" #name)); \
  complete = complete && lib->name != nullptr;
    ORLIT_XKB_FUNCTIONS(ORLIT_XKB_BIND)
#undef ORLIT_XKB_BIND
    if (complete) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
