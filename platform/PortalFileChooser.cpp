#include "platform/PortalFileChooser.h"

#include <dbus/dbus.h>
#include <dlfcn.h>

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

// The bus library's functions used here, typed by its headers. It is opened on first use rather
// than linked: most runs never ask for a file, and it brings a handful of libraries with it.
struct DbusLibrary {
  decltype(&dbus_bus_add_match) bus_add_match = nullptr;
  decltype(&dbus_bus_get_private) bus_get_private = nullptr;
  decltype(&dbus_bus_get_unique_name) bus_get_unique_name = nullptr;
  decltype(&dbus_connection_close) connection_close = nullptr;
  decltype(&dbus_connection_pop_message) connection_pop_message = nullptr;
  decltype(&dbus_connection_read_write) connection_read_write = nullptr;
  decltype(&dbus_connection_send_with_reply_and_block) connection_send_with_reply_and_block =
      nullptr;
  decltype(&dbus_connection_set_exit_on_disconnect) connection_set_exit_on_disconnect = nullptr;
  decltype(&dbus_connection_unref) connection_unref = nullptr;
  decltype(&dbus_error_free) error_free = nullptr;
  decltype(&dbus_error_init) error_init = nullptr;
  decltype(&dbus_error_is_set) error_is_set = nullptr;
  decltype(&dbus_message_get_args) message_get_args = nullptr;
  decltype(&dbus_message_get_path) message_get_path = nullptr;
  decltype(&dbus_message_is_signal) message_is_signal = nullptr;
  decltype(&dbus_message_iter_append_basic) iter_append_basic = nullptr;
  decltype(&dbus_message_iter_close_container) iter_close_container = nullptr;
  decltype(&dbus_message_iter_get_arg_type) iter_get_arg_type = nullptr;
  decltype(&dbus_message_iter_get_basic) iter_get_basic = nullptr;
  decltype(&dbus_message_iter_init) iter_init = nullptr;
  decltype(&dbus_message_iter_init_append) iter_init_append = nullptr;
  decltype(&dbus_message_iter_next) iter_next = nullptr;
  decltype(&dbus_message_iter_open_container) iter_open_container = nullptr;
  decltype(&dbus_message_iter_recurse) iter_recurse = nullptr;
  decltype(&dbus_message_new_method_call) message_new_method_call = nullptr;
  decltype(&dbus_message_unref) message_unref = nullptr;
};

// Looks each function up by name and notes whether all were found.
class Binder {
 public:
  explicit Binder(void* library) : library_(library) {}
  template <typename F>
  void operator()(const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library_, name));
    complete_ = complete_ && function != nullptr;
  }
  bool Complete() const { return complete_; }

 private:
  void* library_;
  bool complete_ = true;
};

// Loaded once and kept for the life of the process; null when the library is not there, which
// the caller takes as no portal.
const DbusLibrary* Library() {
  static const DbusLibrary* const library = []() -> const DbusLibrary* {
    void* handle = dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new DbusLibrary;
    Binder bind(handle);
    bind("dbus_bus_add_match", lib->bus_add_match);
    bind("dbus_bus_get_private", lib->bus_get_private);
    bind("dbus_bus_get_unique_name", lib->bus_get_unique_name);
    bind("dbus_connection_close", lib->connection_close);
    bind("dbus_connection_pop_message", lib->connection_pop_message);
    bind("dbus_connection_read_write", lib->connection_read_write);
    bind("dbus_connection_send_with_reply_and_block", lib->connection_send_with_reply_and_block);
    bind("dbus_connection_set_exit_on_disconnect", lib->connection_set_exit_on_disconnect);
    bind("dbus_connection_unref", lib->connection_unref);
    bind("dbus_error_free", lib->error_free);
    bind("dbus_error_init", lib->error_init);
    bind("dbus_error_is_set", lib->error_is_set);
    bind("dbus_message_get_args", lib->message_get_args);
    bind("dbus_message_get_path", lib->message_get_path);
    bind("dbus_message_is_signal", lib->message_is_signal);
    bind("dbus_message_iter_append_basic", lib->iter_append_basic);
    bind("dbus_message_iter_close_container", lib->iter_close_container);
    bind("dbus_message_iter_get_arg_type", lib->iter_get_arg_type);
    bind("dbus_message_iter_get_basic", lib->iter_get_basic);
    bind("dbus_message_iter_init", lib->iter_init);
    bind("dbus_message_iter_init_append", lib->iter_init_append);
    bind("dbus_message_iter_next", lib->iter_next);
    bind("dbus_message_iter_open_container", lib->iter_open_container);
    bind("dbus_message_iter_recurse", lib->iter_recurse);
    bind("dbus_message_new_method_call", lib->message_new_method_call);
    bind("dbus_message_unref", lib->message_unref);
    if (bind.Complete()) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

struct ConnectionCloser {
  const DbusLibrary* dbus;
  void operator()(DBusConnection* connection) const {
    dbus->connection_close(connection);
    dbus->connection_unref(connection);
  }
};
using ConnectionPtr = std::unique_ptr<DBusConnection, ConnectionCloser>;

struct MessageUnref {
  const DbusLibrary* dbus;
  void operator()(DBusMessage* message) const { dbus->message_unref(message); }
};
using MessagePtr = std::unique_ptr<DBusMessage, MessageUnref>;

class ErrorHolder {
 public:
  explicit ErrorHolder(const DbusLibrary& dbus) : dbus_(dbus) { dbus_.error_init(&error_); }
  ErrorHolder(const ErrorHolder&) = delete;
  ErrorHolder& operator=(const ErrorHolder&) = delete;
  ~ErrorHolder() { dbus_.error_free(&error_); }
  DBusError* get() { return &error_; }
  bool IsSet() const { return dbus_.error_is_set(&error_) != 0; }

 private:
  const DbusLibrary& dbus_;
  DBusError error_;
};

// Appends one option of the a{sv} dictionary.
template <typename Fill>
void AppendOption(const DbusLibrary& dbus, DBusMessageIter* dict, const char* key,
                  const char* signature, Fill fill) {
  DBusMessageIter entry;
  DBusMessageIter variant;
  dbus.iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus.iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus.iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
  fill(&variant);
  dbus.iter_close_container(&entry, &variant);
  dbus.iter_close_container(dict, &entry);
}

void AppendString(const DbusLibrary& dbus, DBusMessageIter* iter, const std::string& text) {
  const char* value = text.c_str();
  dbus.iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

// One filter as the portal takes it: (sa(us)).
void AppendFilter(const DbusLibrary& dbus, DBusMessageIter* iter, const FileFilter& filter) {
  DBusMessageIter item;
  DBusMessageIter patterns;
  dbus.iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &item);
  AppendString(dbus, &item, filter.name);
  dbus.iter_open_container(&item, DBUS_TYPE_ARRAY, "(us)", &patterns);
  for (const std::string& pattern : filter.patterns) {
    DBusMessageIter one;
    dbus.iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &one);
    dbus.iter_append_basic(&one, DBUS_TYPE_UINT32, &kGlobPattern);
    AppendString(dbus, &one, pattern);
    dbus.iter_close_container(&patterns, &one);
  }
  dbus.iter_close_container(&item, &patterns);
  dbus.iter_close_container(iter, &item);
}

MessagePtr BuildCall(const DbusLibrary& dbus, const FileChooserRequest& request,
                     const std::string& token) {
  MessagePtr call(dbus.message_new_method_call(kPortalService, kPortalPath, kChooserInterface,
                                               request.save ? "SaveFile" : "OpenFile"),
                  MessageUnref{&dbus});
  if (!call) return nullptr;
  DBusMessageIter args;
  DBusMessageIter dict;
  dbus.iter_init_append(call.get(), &args);
  AppendString(dbus, &args, "");  // no parent window we could name to the portal
  AppendString(dbus, &args, request.title);
  dbus.iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &dict);
  AppendOption(dbus, &dict, "handle_token", "s",
               [&](DBusMessageIter* v) { AppendString(dbus, v, token); });
  AppendOption(dbus, &dict, "modal", "b", [&](DBusMessageIter* v) {
    const dbus_bool_t yes = TRUE;
    dbus.iter_append_basic(v, DBUS_TYPE_BOOLEAN, &yes);
  });
  if (!request.filters.empty()) {
    AppendOption(dbus, &dict, "filters", "a(sa(us))", [&](DBusMessageIter* v) {
      DBusMessageIter list;
      dbus.iter_open_container(v, DBUS_TYPE_ARRAY, "(sa(us))", &list);
      for (const FileFilter& filter : request.filters) AppendFilter(dbus, &list, filter);
      dbus.iter_close_container(v, &list);
    });
    AppendOption(dbus, &dict, "current_filter", "(sa(us))",
                 [&](DBusMessageIter* v) { AppendFilter(dbus, v, request.filters.front()); });
  }
  if (request.save && !request.initial_name.empty()) {
    AppendOption(dbus, &dict, "current_name", "s",
                 [&](DBusMessageIter* v) { AppendString(dbus, v, request.initial_name); });
  }
  dbus.iter_close_container(&args, &dict);
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
FileChooserAnswer ReadResponse(const DbusLibrary& dbus, DBusMessage* signal) {
  DBusMessageIter args;
  std::uint32_t response = 2;
  if (!dbus.iter_init(signal, &args) || dbus.iter_get_arg_type(&args) != DBUS_TYPE_UINT32) {
    return {FileChoice::kCancelled, {}};
  }
  dbus.iter_get_basic(&args, &response);
  if (response != kResponseSuccess || !dbus.iter_next(&args) ||
      dbus.iter_get_arg_type(&args) != DBUS_TYPE_ARRAY) {
    return {FileChoice::kCancelled, {}};
  }
  DBusMessageIter dict;
  dbus.iter_recurse(&args, &dict);
  for (; dbus.iter_get_arg_type(&dict) == DBUS_TYPE_DICT_ENTRY; dbus.iter_next(&dict)) {
    DBusMessageIter entry;
    DBusMessageIter variant;
    DBusMessageIter uris;
    const char* key = nullptr;
    dbus.iter_recurse(&dict, &entry);
    if (dbus.iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
    dbus.iter_get_basic(&entry, &key);
    if (std::string_view(key) != "uris" || !dbus.iter_next(&entry) ||
        dbus.iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) {
      continue;
    }
    dbus.iter_recurse(&entry, &variant);
    if (dbus.iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY) continue;
    dbus.iter_recurse(&variant, &uris);
    if (dbus.iter_get_arg_type(&uris) != DBUS_TYPE_STRING) continue;
    const char* uri = nullptr;
    dbus.iter_get_basic(&uris, &uri);
    if (const std::optional<std::string> path = PathOfUri(uri)) {
      return {FileChoice::kChosen, *path};
    }
    return {FileChoice::kUnavailable, {}};
  }
  return {FileChoice::kCancelled, {}};
}

// The request object the portal will answer on: its path is derived from our bus name.
std::string RequestPath(const DbusLibrary& dbus, DBusConnection* connection,
                        const std::string& token) {
  std::string sender = dbus.bus_get_unique_name(connection);
  if (!sender.empty() && sender.front() == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

}  // namespace

FileChooserAnswer PortalFileChooser::Ask(const FileChooserRequest& request,
                                         const std::function<void()>& keep_alive) {
  const DbusLibrary* const library = Library();
  if (library == nullptr) return {};
  const DbusLibrary& dbus = *library;
  ErrorHolder error(dbus);
  ConnectionPtr connection(dbus.bus_get_private(DBUS_BUS_SESSION, error.get()),
                           ConnectionCloser{&dbus});
  if (!connection || error.IsSet()) return {};
  dbus.connection_set_exit_on_disconnect(connection.get(), FALSE);

  static std::atomic<unsigned> counter{0};
  const std::string token = "orlit" + std::to_string(++counter);
  std::string request_path = RequestPath(dbus, connection.get(), token);
  // Subscribed before the call, so that a quick answer is not missed.
  const std::string rule = "type='signal',interface='" + std::string(kRequestInterface) +
                           "',member='Response',path='" + request_path + "'";
  dbus.bus_add_match(connection.get(), rule.c_str(), error.get());
  if (error.IsSet()) return {};

  const MessagePtr call = BuildCall(dbus, request, token);
  if (!call) return {};
  const MessagePtr reply(dbus.connection_send_with_reply_and_block(connection.get(), call.get(),
                                                                   kCallTimeoutMs, error.get()),
                         MessageUnref{&dbus});
  if (!reply || error.IsSet()) return {};
  const char* handle = nullptr;
  if (dbus.message_get_args(reply.get(), error.get(), DBUS_TYPE_OBJECT_PATH, &handle,
                            DBUS_TYPE_INVALID) &&
      handle != request_path) {
    // Older portals choose the path themselves.
    request_path = handle;
    const std::string other = "type='signal',interface='" + std::string(kRequestInterface) +
                              "',member='Response',path='" + request_path + "'";
    dbus.bus_add_match(connection.get(), other.c_str(), nullptr);
  }

  while (dbus.connection_read_write(connection.get(), kPollMs)) {
    while (const MessagePtr message{dbus.connection_pop_message(connection.get()),
                                    MessageUnref{&dbus}}) {
      if (dbus.message_is_signal(message.get(), kRequestInterface, "Response") &&
          request_path == dbus.message_get_path(message.get())) {
        return ReadResponse(dbus, message.get());
      }
    }
    if (keep_alive) keep_alive();
  }
  // The bus went away while the user chose.
  return {FileChoice::kCancelled, {}};
}

}  // namespace orlit
