#include "platform/atspi/AtspiActivation.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/BusConnection.h"
#include "platform/WindowSystem.h"
#include "platform/atspi/AtspiBridge.h"

namespace orlit {

namespace {

constexpr const char* kA11yService = "org.a11y.Bus";
constexpr const char* kA11yPath = "/org/a11y/bus";
constexpr const char* kStatusInterface = "org.a11y.Status";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

// Whether the a{sv} at `iter` holds IsEnabled or ScreenReaderEnabled true.
bool StatusEnabled(const DbusLibrary& dbus, DBusMessageIter* dict) {
  bool enabled = false;
  for (; dbus.message_iter_get_arg_type(dict) == DBUS_TYPE_DICT_ENTRY;
       dbus.message_iter_next(dict)) {
    DBusMessageIter entry;
    DBusMessageIter value;
    const char* key = nullptr;
    dbus.message_iter_recurse(dict, &entry);
    if (dbus.message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
    dbus.message_iter_get_basic(&entry, &key);
    if (!dbus.message_iter_next(&entry) ||
        dbus.message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) {
      continue;
    }
    dbus.message_iter_recurse(&entry, &value);
    if (dbus.message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN) continue;
    dbus_bool_t on = FALSE;
    dbus.message_iter_get_basic(&value, &on);
    const std::string_view name = key;
    if ((name == "IsEnabled" || name == "ScreenReaderEnabled") && on) enabled = true;
  }
  return enabled;
}

}  // namespace

AtspiActivation::AtspiActivation(WindowSystem& loop, AccessibleNode& root)
    : loop_(loop), root_(root) {}

AtspiActivation::~AtspiActivation() { Disconnect(); }

void AtspiActivation::Start() {
  const char* asked = std::getenv("ORLIT_ACCESSIBILITY");
  const std::string_view setting = asked != nullptr ? asked : "";
  if (setting == "0") return;
  forced_ = setting == "1";
  const std::optional<std::string> address = BusConnection::SessionBusAddress();
  if (address) session_ = BusConnection::Open(loop_, *address);
  if (!session_) {
    if (forced_) Connect();
    return;
  }
  session_->AddMatch(std::string("type='signal',interface='") + kPropertiesInterface +
                     "',member='PropertiesChanged',path='" + kA11yPath + "'");
  session_->SetMessageHandler([this](DBusMessage* message) {
    if (session_->Library().message_is_signal(message, kPropertiesInterface, "PropertiesChanged")) {
      AskStatus();
    }
    return false;
  });
  AskStatus();
}

void AtspiActivation::AskStatus() {
  if (forced_) {
    Follow(true);
    return;
  }
  DbusMessagePtr call = session_->NewCall(kA11yService, kA11yPath, kPropertiesInterface, "GetAll");
  if (!call) return;
  const DbusLibrary& dbus = session_->Library();
  DBusMessageIter args;
  const char* interface = kStatusInterface;
  dbus.message_iter_init_append(call.get(), &args);
  dbus.message_iter_append_basic(&args, DBUS_TYPE_STRING, &interface);
  session_->Call(std::move(call), kCallTimeoutMs, [this](DBusMessage* reply) {
    const DbusLibrary& dbus = session_->Library();
    DBusMessageIter args;
    DBusMessageIter dict;
    if (dbus.message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN ||
        !dbus.message_iter_init(reply, &args) ||
        dbus.message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY) {
      return;
    }
    dbus.message_iter_recurse(&args, &dict);
    Follow(StatusEnabled(dbus, &dict));
  });
}

void AtspiActivation::Follow(bool enabled) {
  if (enabled && !bridge_) Connect();
  if (!enabled && !forced_) Disconnect();
}

void AtspiActivation::Connect() {
  if (connecting_ || bridge_) return;
  if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address != nullptr && *address) {
    ConnectTo(address);
    return;
  }
  if (!session_) return;
  connecting_ = true;
  session_->Call(
      session_->NewCall(kA11yService, kA11yPath, kA11yService, "GetAddress"), kCallTimeoutMs,
      [this](DBusMessage* reply) {
        connecting_ = false;
        const char* address = nullptr;
        if (session_->Library().message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN &&
            session_->Library().message_get_args(reply, nullptr, DBUS_TYPE_STRING, &address,
                                                 DBUS_TYPE_INVALID)) {
          ConnectTo(address);
        }
      });
}

void AtspiActivation::ConnectTo(const std::string& address) {
  std::unique_ptr<BusConnection> bus = BusConnection::Open(loop_, address);
  if (!bus) return;
  // The accessibility bus went away (the session ended, the launcher was restarted): the next
  // status change connects again.
  bus->SetDisconnectHandler([this] { Disconnect(); });
  bridge_ = std::make_unique<AtspiBridge>(std::move(bus), root_, loop_.Scale());
  AccessibilityBridge::SetCurrent(bridge_.get());
  bridge_->Embed();
}

void AtspiActivation::Disconnect() {
  if (!bridge_) return;
  if (AccessibilityBridge::Current() == bridge_.get()) AccessibilityBridge::SetCurrent(nullptr);
  bridge_.reset();
}

}  // namespace orlit
