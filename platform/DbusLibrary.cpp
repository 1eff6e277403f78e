#include "platform/DbusLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const DbusLibrary* DbusLibrary::Get() {
  static const DbusLibrary* const library = OpenFunctionTable<DbusLibrary>(
      {"libdbus-1.so.3"}, [](DbusLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_DBUS_BIND(name) &&FindFunction(libraries[0], "dbus_" #name, lib.name)
        return true ORLIT_DBUS_FUNCTIONS(ORLIT_DBUS_BIND);
#undef ORLIT_DBUS_BIND
      });
  return library;
}

}  // namespace orlit
