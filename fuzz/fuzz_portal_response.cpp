// The portal's Response signal as bytes on the bus: whatever it holds, reading it gives a chosen
// local path (absolute, without NUL), a cancel or no answer, and never more.
#include <dbus/dbus.h>

#include <cstddef>
#include <cstdint>

#include "platform/DbusLibrary.h"
#include "platform/PortalResponse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const orlit::DbusLibrary* dbus = orlit::DbusLibrary::Get();
  if (dbus == nullptr) return 0;
  DBusError error;
  dbus_error_init(&error);
  DBusMessage* message =
      dbus_message_demarshal(reinterpret_cast<const char*>(data), static_cast<int>(size), &error);
  dbus_error_free(&error);
  if (message == nullptr) return 0;
  const orlit::FileChooserAnswer answer = orlit::ReadPortalResponse(*dbus, message);
  dbus_message_unref(message);
  const bool chosen = answer.choice == orlit::FileChoice::kChosen;
  if (chosen != !answer.path.empty()) __builtin_trap();
  if (chosen && (answer.path.front() != '/' || answer.path.find('\0') != std::string::npos)) {
    __builtin_trap();
  }
  return 0;
}
