#include "platform/PortalFileChooser.h"

#include <sys/random.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DbusLibrary.h"
#include "platform/PortalResponse.h"

namespace orlit {

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kChooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
// Between two turns of the bus's I/O, so that what it has to write goes out even while nothing
// comes in.
constexpr int kTurnMs = 50;
constexpr std::uint32_t kGlobPattern = 0;

using MessagePtr = DbusMessagePtr;
using MessageUnref = DbusMessageUnref;

// A private connection to the session bus, driven by hand: each turn reads and writes what the
// socket allows without waiting, and the waiting is done by the caller's PeerWaiter.
class PortalBus {
 public:
  enum class Outcome { kDone, kTimedOut, kInterrupted, kLost };
  // Given each message that comes, to look at or to keep; true ends the wait.
  using Take = std::function<bool(MessagePtr& message)>;

  // Null when the address cannot be reached at all. Connecting does not wait for the bus.
  static std::unique_ptr<PortalBus> Open(const DbusLibrary& dbus, const std::string& address) {
    DBusError error;
    dbus.error_init(&error);
    DBusConnection* connection = dbus.connection_open_private(address.c_str(), &error);
    dbus.error_free(&error);
    if (connection == nullptr) return nullptr;
    dbus.connection_set_exit_on_disconnect(connection, FALSE);
    return std::unique_ptr<PortalBus>(new PortalBus(dbus, connection));
  }
  PortalBus(const PortalBus&) = delete;
  PortalBus& operator=(const PortalBus&) = delete;
  ~PortalBus() {
    dbus_.connection_close(connection_);
    dbus_.connection_unref(connection_);
  }

  DBusConnection* get() const { return connection_; }

  // Queues `message`; its serial, 0 when it could not be queued.
  dbus_uint32_t Send(DBusMessage* message) {
    dbus_uint32_t serial = 0;
    return dbus_.connection_send(connection_, message, &serial) ? serial : 0;
  }

  // Turns the connection's I/O, handing every message that comes to `take`, until it is
  // satisfied, `timeout_ms` (-1: no limit) has passed, the user quits or the bus goes away.
  Outcome Until(const Take& take, int timeout_ms, const PeerWaiter& wait) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      if (!dbus_.connection_read_write(connection_, 0)) return Outcome::kLost;
      while (MessagePtr message{dbus_.connection_pop_message(connection_), MessageUnref{&dbus_}}) {
        if (take(message)) return Outcome::kDone;
      }
      int turn = kTurnMs;
      if (timeout_ms >= 0) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return Outcome::kTimedOut;
        turn = std::min<int>(turn, static_cast<int>(left));
      }
      int fd = -1;
      dbus_.connection_get_unix_fd(connection_, &fd);
      if (wait(fd, turn) == PeerWaitResult::kInterrupted) return Outcome::kInterrupted;
    }
  }

  // Calls `message` and waits for its reply (null unless kDone).
  Outcome Call(DBusMessage* message, int timeout_ms, const PeerWaiter& wait, MessagePtr* reply) {
    const dbus_uint32_t serial = Send(message);
    if (serial == 0) return Outcome::kLost;
    return Until(
        [&](MessagePtr& m) {
          const int type = dbus_.message_get_type(m.get());
          if ((type != DBUS_MESSAGE_TYPE_METHOD_RETURN && type != DBUS_MESSAGE_TYPE_ERROR) ||
              dbus_.message_get_reply_serial(m.get()) != serial) {
            return false;
          }
          *reply = std::move(m);
          return true;
        },
        timeout_ms, wait);
  }

 private:
  PortalBus(const DbusLibrary& dbus, DBusConnection* connection)
      : dbus_(dbus), connection_(connection) {}

  const DbusLibrary& dbus_;
  DBusConnection* connection_;
};

// Appends one option of the a{sv} dictionary.
template <typename Fill>
void AppendOption(const DbusLibrary& dbus, DBusMessageIter* dict, const char* key,
                  const char* signature, Fill fill) {
  DBusMessageIter entry;
  DBusMessageIter variant;
  dbus.message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus.message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus.message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
  fill(&variant);
  dbus.message_iter_close_container(&entry, &variant);
  dbus.message_iter_close_container(dict, &entry);
}

void AppendString(const DbusLibrary& dbus, DBusMessageIter* iter, const std::string& text) {
  const char* value = text.c_str();
  dbus.message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

// One filter as the portal takes it: (sa(us)).
void AppendFilter(const DbusLibrary& dbus, DBusMessageIter* iter, const FileFilter& filter) {
  DBusMessageIter item;
  DBusMessageIter patterns;
  dbus.message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &item);
  AppendString(dbus, &item, filter.name);
  dbus.message_iter_open_container(&item, DBUS_TYPE_ARRAY, "(us)", &patterns);
  for (const std::string& pattern : filter.patterns) {
    DBusMessageIter one;
    dbus.message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &one);
    dbus.message_iter_append_basic(&one, DBUS_TYPE_UINT32, &kGlobPattern);
    AppendString(dbus, &one, pattern);
    dbus.message_iter_close_container(&patterns, &one);
  }
  dbus.message_iter_close_container(&item, &patterns);
  dbus.message_iter_close_container(iter, &item);
}

MessagePtr BuildCall(const DbusLibrary& dbus, const FileChooserRequest& request,
                     const std::string& token) {
  MessagePtr call(dbus.message_new_method_call(kPortalService, kPortalPath, kChooserInterface,
                                               request.save ? "SaveFile" : "OpenFile"),
                  MessageUnref{&dbus});
  if (!call) return nullptr;
  DBusMessageIter args;
  DBusMessageIter dict;
  dbus.message_iter_init_append(call.get(), &args);
  AppendString(dbus, &args, "");  // no parent window we could name to the portal
  AppendString(dbus, &args, request.title);
  dbus.message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &dict);
  AppendOption(dbus, &dict, "handle_token", "s",
               [&](DBusMessageIter* v) { AppendString(dbus, v, token); });
  AppendOption(dbus, &dict, "modal", "b", [&](DBusMessageIter* v) {
    const dbus_bool_t yes = TRUE;
    dbus.message_iter_append_basic(v, DBUS_TYPE_BOOLEAN, &yes);
  });
  if (!request.filters.empty()) {
    AppendOption(dbus, &dict, "filters", "a(sa(us))", [&](DBusMessageIter* v) {
      DBusMessageIter list;
      dbus.message_iter_open_container(v, DBUS_TYPE_ARRAY, "(sa(us))", &list);
      for (const FileFilter& filter : request.filters) AppendFilter(dbus, &list, filter);
      dbus.message_iter_close_container(v, &list);
    });
    AppendOption(dbus, &dict, "current_filter", "(sa(us))",
                 [&](DBusMessageIter* v) { AppendFilter(dbus, v, request.filters.front()); });
  }
  if (request.save && !request.initial_name.empty()) {
    AppendOption(dbus, &dict, "current_name", "s",
                 [&](DBusMessageIter* v) { AppendString(dbus, v, request.initial_name); });
  }
  dbus.message_iter_close_container(&args, &dict);
  return call;
}

// 128 random bits: the request's path, which the token ends, cannot be guessed by another client
// hoping to answer in the portal's place.
std::optional<std::string> UnguessableToken() {
  unsigned char bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n <= 0) return std::nullopt;
    got += static_cast<std::size_t>(n);
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token = "orlit_";
  for (const unsigned char b : bytes) {
    token += kHex[b >> 4];
    token += kHex[b & 15];
  }
  return token;
}

// The request object the portal will answer on: its path is derived from our bus name.
std::string RequestPath(std::string sender, const std::string& token) {
  if (!sender.empty() && sender.front() == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

std::string ResponseRule(const std::string& path) {
  return "type='signal',sender='" + std::string(kPortalService) + "',interface='" +
         kRequestInterface + "',member='Response',path='" + path + "'";
}

// The first string argument of a reply; empty when it has none.
std::string FirstString(const DbusLibrary& dbus, DBusMessage* message, int type) {
  DBusMessageIter args;
  if (!dbus.message_iter_init(message, &args) || dbus.message_iter_get_arg_type(&args) != type) {
    return {};
  }
  const char* text = nullptr;
  dbus.message_iter_get_basic(&args, &text);
  return text != nullptr ? text : "";
}

// The session bus's address; none when unset, or when reaching it would start a bus first.
std::optional<std::string> SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address == nullptr || *address == '\0') return std::nullopt;
  if (std::string_view(address).find("autolaunch:") != std::string_view::npos) return std::nullopt;
  return std::string(address);
}

}  // namespace

FileChooserAnswer PortalFileChooser::Ask(const FileChooserRequest& request,
                                         const PeerWaiter& wait) {
  using Outcome = PortalBus::Outcome;
  const DbusLibrary* const library = DbusLibrary::Get();
  const std::optional<std::string> address = SessionBusAddress();
  const std::optional<std::string> token = UnguessableToken();
  if (library == nullptr || !address || !token) return {};
  const DbusLibrary& dbus = *library;
  const std::unique_ptr<PortalBus> bus = PortalBus::Open(dbus, *address);
  if (!bus) return {};
  // Whatever ends the question early: a quit leaves the user's request queued for the loop.
  const auto ended = [](Outcome outcome) {
    return outcome == Outcome::kInterrupted ? FileChooserAnswer{FileChoice::kCancelled, {}}
                                            : FileChooserAnswer{};
  };

  MessagePtr hello(dbus.message_new_method_call(kBusService, kBusPath, kBusService, "Hello"),
                   MessageUnref{&dbus});
  MessagePtr welcome{nullptr, MessageUnref{&dbus}};
  if (!hello) return {};
  Outcome outcome = bus->Call(hello.get(), kCallTimeoutMs, wait, &welcome);
  if (outcome != Outcome::kDone) return ended(outcome);
  const std::string own_name = FirstString(dbus, welcome.get(), DBUS_TYPE_STRING);
  if (own_name.empty()) return {};
  dbus.bus_set_unique_name(bus->get(), own_name.c_str());

  // Subscribed before the call, so that a quick answer is not missed; the bus's answer to the
  // subscription is not waited for.
  std::string request_path = RequestPath(own_name, *token);
  dbus.bus_add_match(bus->get(), ResponseRule(request_path).c_str(), nullptr);
  const MessagePtr call = BuildCall(dbus, request, *token);
  MessagePtr reply{nullptr, MessageUnref{&dbus}};
  if (!call) return {};
  outcome = bus->Call(call.get(), kCallTimeoutMs, wait, &reply);
  if (outcome != Outcome::kDone) return ended(outcome);
  if (dbus.message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_ERROR) return {};
  // Only the portal that took the call may answer it, whoever else knows the path.
  const std::string portal = dbus.message_get_sender(reply.get()) != nullptr
                                 ? dbus.message_get_sender(reply.get())
                                 : std::string();
  const std::string handle = FirstString(dbus, reply.get(), DBUS_TYPE_OBJECT_PATH);
  if (portal.empty()) return {};
  if (!handle.empty() && handle != request_path) {
    // Older portals choose the path themselves.
    request_path = handle;
    dbus.bus_add_match(bus->get(), ResponseRule(request_path).c_str(), nullptr);
  }

  FileChooserAnswer answer{FileChoice::kCancelled, {}};
  outcome = bus->Until(
      [&](MessagePtr& message) {
        const char* path = dbus.message_get_path(message.get());
        const char* sender = dbus.message_get_sender(message.get());
        if (!dbus.message_is_signal(message.get(), kRequestInterface, "Response") ||
            path == nullptr || request_path != path || sender == nullptr || portal != sender) {
          return false;
        }
        answer = ReadPortalResponse(dbus, message.get());
        return true;
      },
      -1, wait);
  // The bus going away while the user chose, or a quit, gives up the question.
  return outcome == Outcome::kDone ? answer : FileChooserAnswer{FileChoice::kCancelled, {}};
}

}  // namespace orlit
