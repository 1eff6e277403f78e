#include "platform/PortalResponse.h"

namespace orlit {

namespace {

constexpr std::uint32_t kResponseSuccess = 0;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> PathOfFileUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  if (uri.empty() || uri.front() != '/') return std::nullopt;
  std::string path;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      path += uri[i];
      continue;
    }
    if (i + 2 >= uri.size() || HexDigit(uri[i + 1]) < 0 || HexDigit(uri[i + 2]) < 0) {
      return std::nullopt;
    }
    const char decoded = static_cast<char>(HexDigit(uri[i + 1]) * 16 + HexDigit(uri[i + 2]));
    if (decoded == '\0') return std::nullopt;
    path += decoded;
    i += 2;
  }
  return path;
}

FileChooserAnswer ReadPortalResponse(const DbusLibrary& dbus, DBusMessage* signal) {
  DBusMessageIter args;
  std::uint32_t response = 2;
  if (!dbus.message_iter_init(signal, &args) ||
      dbus.message_iter_get_arg_type(&args) != DBUS_TYPE_UINT32) {
    return {FileChoice::kCancelled, {}};
  }
  dbus.message_iter_get_basic(&args, &response);
  if (response != kResponseSuccess || !dbus.message_iter_next(&args) ||
      dbus.message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY) {
    return {FileChoice::kCancelled, {}};
  }
  DBusMessageIter dict;
  dbus.message_iter_recurse(&args, &dict);
  for (; dbus.message_iter_get_arg_type(&dict) == DBUS_TYPE_DICT_ENTRY;
       dbus.message_iter_next(&dict)) {
    DBusMessageIter entry;
    DBusMessageIter variant;
    DBusMessageIter uris;
    const char* key = nullptr;
    dbus.message_iter_recurse(&dict, &entry);
    if (dbus.message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
    dbus.message_iter_get_basic(&entry, &key);
    if (std::string_view(key) != "uris" || !dbus.message_iter_next(&entry) ||
        dbus.message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) {
      continue;
    }
    dbus.message_iter_recurse(&entry, &variant);
    if (dbus.message_iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY) continue;
    dbus.message_iter_recurse(&variant, &uris);
    if (dbus.message_iter_get_arg_type(&uris) != DBUS_TYPE_STRING) continue;
    const char* uri = nullptr;
    dbus.message_iter_get_basic(&uris, &uri);
    if (const std::optional<std::string> path = PathOfFileUri(uri)) {
      return {FileChoice::kChosen, *path};
    }
    return {FileChoice::kUnavailable, {}};
  }
  return {FileChoice::kCancelled, {}};
}

}  // namespace orlit
