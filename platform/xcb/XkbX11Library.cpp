#include "platform/xcb/XkbX11Library.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const XkbX11Library* XkbX11Library::Get() {
  static const XkbX11Library* const library = OpenFunctionTable<XkbX11Library>(
      {"libxkbcommon-x11.so.0", "libxcb-xkb.so.1"},
      [](XkbX11Library& lib, const std::vector<void*>& libraries) {
#define ORLIT_BIND_X11(name) &&FindFunction(libraries[0], "xkb_" #name, lib.name)
#define ORLIT_BIND_XKB(name) &&FindFunction(libraries[1], "xcb_xkb_" #name, lib.name)
        return true ORLIT_XKB_X11_FUNCTIONS(ORLIT_BIND_X11) ORLIT_XCB_XKB_FUNCTIONS(ORLIT_BIND_XKB);
#undef ORLIT_BIND_XKB
#undef ORLIT_BIND_X11
      });
  return library;
}

}  // namespace orlit
