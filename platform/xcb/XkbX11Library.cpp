#include "platform/xcb/XkbX11Library.h"

#include <dlfcn.h>

namespace orlit {

const XkbX11Library* XkbX11Library::Get() {
  static const XkbX11Library* const library = []() -> const XkbX11Library* {
    void* x11 = dlopen("libxkbcommon-x11.so.0", RTLD_NOW | RTLD_LOCAL);
    if (x11 == nullptr) return nullptr;
    void* xkb = dlopen("libxcb-xkb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xkb == nullptr) {
      dlclose(x11);
      return nullptr;
    }
    auto* lib = new XkbX11Library;
    bool complete = true;
#define ORLIT_BIND(handle, prefix, name)                                          \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, prefix #name)); \
  complete = complete && lib->name != nullptr;
#define ORLIT_BIND_X11(name) ORLIT_BIND(x11, "xkb_", name)
#define ORLIT_BIND_XKB(name) ORLIT_BIND(xkb, "xcb_xkb_", name)
    ORLIT_XKB_X11_FUNCTIONS(ORLIT_BIND_X11)
    ORLIT_XCB_XKB_FUNCTIONS(ORLIT_BIND_XKB)
#undef ORLIT_BIND_XKB
#undef ORLIT_BIND_X11
#undef ORLIT_BIND
    if (complete) return lib;
    delete lib;
    dlclose(xkb);
    dlclose(x11);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
