#include "platform/PortalFileChooser.h"

#include <dbus/dbus.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace orlit {

namespace {

constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kChooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
constexpr int kPollMs = 50;
constexpr std::uint32_t kGlobPattern = 0;
constexpr std::uint32_t kResponseSuccess = 0;

struct ConnectionCloser {
  void operator()(DBusConnection* connection) const {
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
  }
};
using ConnectionPtr = std::unique_ptr<DBusConnection, ConnectionCloser>;

struct MessageUnref {
  void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<DBusMessage, MessageUnref>;

class ErrorHolder {
 public:
  ErrorHolder() { dbus_error_init(&error_); }
  ErrorHolder(const ErrorHolder&) = delete;
  ErrorHolder& operator=(const ErrorHolder&) = delete;
  ~ErrorHolder() { dbus_error_free(&error_); }
  DBusError* get() { return &error_; }
  bool IsSet() const { return dbus_error_is_set(&error_) != 0; }

 private:
  DBusError error_;
};

// Appends one option of the a{sv} dictionary.
template <typename Fill>
void AppendOption(DBusMessageIter* dict, const char* key, const char* signature, Fill fill) {
  DBusMessageIter entry;
  DBusMessageIter variant;
  dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
  fill(&variant);
  dbus_message_iter_close_container(&entry, &variant);
  dbus_message_iter_close_container(dict, &entry);
}

void AppendString(DBusMessageIter* iter, const std::string& text) {
  const char* value = text.c_str();
  dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

// One filter as the portal takes it: (sa(us)).
void AppendFilter(DBusMessageIter* iter, const FileFilter& filter) {
  DBusMessageIter item;
  DBusMessageIter patterns;
  dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &item);
  AppendString(&item, filter.name);
  dbus_message_iter_open_container(&item, DBUS_TYPE_ARRAY, "(us)", &patterns);
  for (const std::string& pattern : filter.patterns) {
    DBusMessageIter one;
    dbus_message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &one);
    dbus_message_iter_append_basic(&one, DBUS_TYPE_UINT32, &kGlobPattern);
    AppendString(&one, pattern);
    dbus_message_iter_close_container(&patterns, &one);
  }
  dbus_message_iter_close_container(&item, &patterns);
  dbus_message_iter_close_container(iter, &item);
}

MessagePtr BuildCall(const FileChooserRequest& request, const std::string& token) {
  MessagePtr call(dbus_message_new_method_call(kPortalService, kPortalPath, kChooserInterface,
                                               request.save ? "SaveFile" : "OpenFile"));
  if (!call) return nullptr;
  DBusMessageIter args;
  DBusMessageIter dict;
  dbus_message_iter_init_append(call.get(), &args);
  AppendString(&args, "");  // no parent window we could name to the portal
  AppendString(&args, request.title);
  dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &dict);
  AppendOption(&dict, "handle_token", "s", [&](DBusMessageIter* v) { AppendString(v, token); });
  AppendOption(&dict, "modal", "b", [](DBusMessageIter* v) {
    const dbus_bool_t yes = TRUE;
    dbus_message_iter_append_basic(v, DBUS_TYPE_BOOLEAN, &yes);
  });
  if (!request.filters.empty()) {
    AppendOption(&dict, "filters", "a(sa(us))", [&](DBusMessageIter* v) {
      DBusMessageIter list;
      dbus_message_iter_open_container(v, DBUS_TYPE_ARRAY, "(sa(us))", &list);
      for (const FileFilter& filter : request.filters) AppendFilter(&list, filter);
      dbus_message_iter_close_container(v, &list);
    });
    AppendOption(&dict, "current_filter", "(sa(us))",
                 [&](DBusMessageIter* v) { AppendFilter(v, request.filters.front()); });
  }
  if (request.save && !request.initial_name.empty()) {
    AppendOption(&dict, "current_name", "s",
                 [&](DBusMessageIter* v) { AppendString(v, request.initial_name); });
  }
  dbus_message_iter_close_container(&args, &dict);
  return call;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The local path of a file:// URI; nothing for any other.
std::optional<std::string> PathOfUri(std::string_view uri) {
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

// The answer carried by the Response signal: (u response, a{sv} results) with "uris" as.
FileChooserAnswer ReadResponse(DBusMessage* signal) {
  DBusMessageIter args;
  std::uint32_t response = 2;
  if (!dbus_message_iter_init(signal, &args) ||
      dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_UINT32) {
    return {FileChoice::kCancelled, {}};
  }
  dbus_message_iter_get_basic(&args, &response);
  if (response != kResponseSuccess || !dbus_message_iter_next(&args) ||
      dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY) {
    return {FileChoice::kCancelled, {}};
  }
  DBusMessageIter dict;
  dbus_message_iter_recurse(&args, &dict);
  for (; dbus_message_iter_get_arg_type(&dict) == DBUS_TYPE_DICT_ENTRY;
       dbus_message_iter_next(&dict)) {
    DBusMessageIter entry;
    DBusMessageIter variant;
    DBusMessageIter uris;
    const char* key = nullptr;
    dbus_message_iter_recurse(&dict, &entry);
    if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
    dbus_message_iter_get_basic(&entry, &key);
    if (std::string_view(key) != "uris" || !dbus_message_iter_next(&entry) ||
        dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) {
      continue;
    }
    dbus_message_iter_recurse(&entry, &variant);
    if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY) continue;
    dbus_message_iter_recurse(&variant, &uris);
    if (dbus_message_iter_get_arg_type(&uris) != DBUS_TYPE_STRING) continue;
    const char* uri = nullptr;
    dbus_message_iter_get_basic(&uris, &uri);
    if (const std::optional<std::string> path = PathOfUri(uri)) {
      return {FileChoice::kChosen, *path};
    }
    return {FileChoice::kUnavailable, {}};
  }
  return {FileChoice::kCancelled, {}};
}

// The request object the portal will answer on: its path is derived from our bus name.
std::string RequestPath(DBusConnection* connection, const std::string& token) {
  std::string sender = dbus_bus_get_unique_name(connection);
  if (!sender.empty() && sender.front() == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

}  // namespace

FileChooserAnswer PortalFileChooser::Ask(const FileChooserRequest& request,
                                         const std::function<void()>& keep_alive) {
  ErrorHolder error;
  ConnectionPtr connection(dbus_bus_get_private(DBUS_BUS_SESSION, error.get()));
  if (!connection || error.IsSet()) return {};
  dbus_connection_set_exit_on_disconnect(connection.get(), FALSE);

  static std::atomic<unsigned> counter{0};
  const std::string token = "orlit" + std::to_string(++counter);
  std::string request_path = RequestPath(connection.get(), token);
  // Subscribed before the call, so that a quick answer is not missed.
  const std::string rule = "type='signal',interface='" + std::string(kRequestInterface) +
                           "',member='Response',path='" + request_path + "'";
  dbus_bus_add_match(connection.get(), rule.c_str(), error.get());
  if (error.IsSet()) return {};

  const MessagePtr call = BuildCall(request, token);
  if (!call) return {};
  const MessagePtr reply(dbus_connection_send_with_reply_and_block(connection.get(), call.get(),
                                                                   kCallTimeoutMs, error.get()));
  if (!reply || error.IsSet()) return {};
  const char* handle = nullptr;
  if (dbus_message_get_args(reply.get(), error.get(), DBUS_TYPE_OBJECT_PATH, &handle,
                            DBUS_TYPE_INVALID) &&
      handle != request_path) {
    // Older portals choose the path themselves.
    request_path = handle;
    const std::string other = "type='signal',interface='" + std::string(kRequestInterface) +
                              "',member='Response',path='" + request_path + "'";
    dbus_bus_add_match(connection.get(), other.c_str(), nullptr);
  }

  while (dbus_connection_read_write(connection.get(), kPollMs)) {
    while (const MessagePtr message{dbus_connection_pop_message(connection.get())}) {
      if (dbus_message_is_signal(message.get(), kRequestInterface, "Response") &&
          request_path == dbus_message_get_path(message.get())) {
        return ReadResponse(message.get());
      }
    }
    if (keep_alive) keep_alive();
  }
  // The bus went away while the user chose.
  return {FileChoice::kCancelled, {}};
}

}  // namespace orlit
