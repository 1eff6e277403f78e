#include "platform/xcb/XcbCursorLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const XcbCursorLibrary* XcbCursorLibrary::Get() {
  static const XcbCursorLibrary* const library = OpenFunctionTable<XcbCursorLibrary>(
      {"libxcb-cursor.so.0"}, [](XcbCursorLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_XCB_CURSOR_BIND(name) &&FindFunction(libraries[0], "xcb_cursor_" #name, lib.name)
        return true ORLIT_XCB_CURSOR_FUNCTIONS(ORLIT_XCB_CURSOR_BIND);
#undef ORLIT_XCB_CURSOR_BIND
      });
  return library;
}

}  // namespace orlit
