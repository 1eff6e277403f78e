#include "platform/xcb/XcbCursorLibrary.h"

#include <dlfcn.h>

namespace orlit {

const XcbCursorLibrary* XcbCursorLibrary::Get() {
  static const XcbCursorLibrary* const library = []() -> const XcbCursorLibrary* {
    void* handle = dlopen("libxcb-cursor.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new XcbCursorLibrary;
    bool complete = true;
#define ORLIT_XCB_CURSOR_BIND(name)                                                      \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, "xcb_cursor_" #name)); \
  complete = complete && lib->name != nullptr;
    ORLIT_XCB_CURSOR_FUNCTIONS(ORLIT_XCB_CURSOR_BIND)
#undef ORLIT_XCB_CURSOR_BIND
    if (complete) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
