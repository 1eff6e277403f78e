#include "platform/XkbLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const XkbLibrary* XkbLibrary::Get() {
  static const XkbLibrary* const library = OpenFunctionTable<XkbLibrary>(
      {"libxkbcommon.so.0"}, [](XkbLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_XKB_BIND(name) &&FindFunction(libraries[0], "xkb_" #name, lib.name)
        return true ORLIT_XKB_FUNCTIONS(ORLIT_XKB_BIND);
#undef ORLIT_XKB_BIND
      });
  return library;
}

}  // namespace orlit
