#include "platform/BusConnection.h"

#include <poll.h>

#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/WindowSystem.h"

namespace orlit {

namespace {

constexpr int kHelloTimeoutMs = 25000;

short PollEventsOf(const DbusLibrary& dbus, DBusWatch* watch) {
  if (!dbus.watch_get_enabled(watch)) return 0;
  const unsigned flags = dbus.watch_get_flags(watch);
  short events = 0;
  if (flags & DBUS_WATCH_READABLE) events |= POLLIN;
  if (flags & DBUS_WATCH_WRITABLE) events |= POLLOUT;
  return events;
}

unsigned WatchFlagsOf(short revents) {
  unsigned flags = 0;
  if (revents & POLLIN) flags |= DBUS_WATCH_READABLE;
  if (revents & POLLOUT) flags |= DBUS_WATCH_WRITABLE;
  if (revents & POLLERR) flags |= DBUS_WATCH_ERROR;
  if (revents & (POLLHUP | POLLNVAL)) flags |= DBUS_WATCH_HANGUP;
  return flags;
}

void NotifyReply(DBusPendingCall* pending, void* data) {
  const auto& handler = *static_cast<BusConnection::ReplyHandler*>(data);
  const DbusLibrary& dbus = *DbusLibrary::Get();
  const DbusMessagePtr reply(dbus.pending_call_steal_reply(pending), DbusMessageUnref{&dbus});
  if (reply && handler) handler(reply.get());
}

void FreeReplyHandler(void* data) { delete static_cast<BusConnection::ReplyHandler*>(data); }

}  // namespace

std::optional<std::string> BusConnection::SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address == nullptr || *address == '\0') return std::nullopt;
  if (std::string_view(address).find("autolaunch:") != std::string_view::npos) return std::nullopt;
  return std::string(address);
}

std::unique_ptr<BusConnection> BusConnection::Open(WindowSystem& loop, const std::string& address) {
  const DbusLibrary* dbus = DbusLibrary::Get();
  if (dbus == nullptr) return nullptr;
  DBusError error;
  dbus->error_init(&error);
  // Connects the socket only; authentication follows through the watches.
  DBusConnection* connection = dbus->connection_open_private(address.c_str(), &error);
  dbus->error_free(&error);
  if (connection == nullptr) return nullptr;
  dbus->connection_set_exit_on_disconnect(connection, FALSE);
  std::unique_ptr<BusConnection> bus(new BusConnection(*dbus, loop, connection));
  void* self = bus.get();
  if (!dbus->connection_set_watch_functions(connection, AddWatch, RemoveWatch, ToggleWatch, self,
                                            nullptr) ||
      !dbus->connection_set_timeout_functions(connection, AddTimeout, RemoveTimeout, ToggleTimeout,
                                              self, nullptr) ||
      !dbus->connection_add_filter(connection, Filter, self, nullptr)) {
    return nullptr;
  }
  dbus->connection_set_dispatch_status_function(connection, DispatchStatusChanged, self, nullptr);
  bus->SayHello();
  return bus;
}

BusConnection::BusConnection(const DbusLibrary& dbus, WindowSystem& loop,
                             DBusConnection* connection)
    : dbus_(dbus), loop_(loop), connection_(connection) {}

BusConnection::~BusConnection() {
  // Unhooked before closing, which would call back into this half-destroyed object.
  dbus_.connection_set_dispatch_status_function(connection_, nullptr, nullptr, nullptr);
  dbus_.connection_set_watch_functions(connection_, nullptr, nullptr, nullptr, nullptr, nullptr);
  dbus_.connection_set_timeout_functions(connection_, nullptr, nullptr, nullptr, nullptr, nullptr);
  LoopWatches& watches = LoopWatches::Instance();
  for (const auto& [watch, id] : watches_) watches.Remove(id);
  for (const auto& [timeout, id] : timeouts_) watches.Remove(id);
  for (LoopWatches::WatchId id : deferred_) watches.Remove(id);
  dbus_.connection_close(connection_);
  dbus_.connection_unref(connection_);
}

std::string BusConnection::UniqueName() const {
  const char* name = dbus_.bus_get_unique_name(connection_);
  return name != nullptr ? name : "";
}

bool BusConnection::Connected() const {
  return !disconnected_ && dbus_.connection_get_is_connected(connection_);
}

DbusMessagePtr BusConnection::NewCall(const char* destination, const char* path,
                                      const char* interface, const char* method) const {
  return DbusMessagePtr(dbus_.message_new_method_call(destination, path, interface, method),
                        DbusMessageUnref{&dbus_});
}

void BusConnection::Call(DbusMessagePtr message, int timeout_ms, ReplyHandler on_reply) {
  if (!message) return;
  DBusPendingCall* pending = nullptr;
  if (!dbus_.connection_send_with_reply(connection_, message.get(), &pending, timeout_ms) ||
      pending == nullptr) {
    // Not sent (the bus is gone): the answer is an error, given from the loop like any other.
    auto error = std::make_shared<DbusMessagePtr>(dbus_.message_new(DBUS_MESSAGE_TYPE_ERROR),
                                                  DbusMessageUnref{&dbus_});
    if (*error) dbus_.message_set_error_name(error->get(), DBUS_ERROR_DISCONNECTED);
    Defer([error, on_reply = std::move(on_reply)] {
      if (*error && on_reply) on_reply(error->get());
    });
    return;
  }
  auto* handler = new ReplyHandler(std::move(on_reply));
  if (!dbus_.pending_call_set_notify(pending, NotifyReply, handler, FreeReplyHandler)) {
    delete handler;
  }
  // The connection keeps the call until it is answered or timed out.
  dbus_.pending_call_unref(pending);
}

void BusConnection::Send(DbusMessagePtr message) {
  if (message) dbus_.connection_send(connection_, message.get(), nullptr);
}

void BusConnection::AddMatch(const std::string& rule) {
  DbusMessagePtr call = NewCall(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "AddMatch");
  if (!call) return;
  DBusMessageIter args;
  const char* text = rule.c_str();
  dbus_.message_iter_init_append(call.get(), &args);
  dbus_.message_iter_append_basic(&args, DBUS_TYPE_STRING, &text);
  Send(std::move(call));
}

void BusConnection::WhenNamed(std::function<void()> work) {
  if (!UniqueName().empty()) {
    work();
  } else {
    when_named_.push_back(std::move(work));
  }
}

void BusConnection::SayHello() {
  Call(NewCall(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello"), kHelloTimeoutMs,
       [this](DBusMessage* reply) {
         const char* name = nullptr;
         if (dbus_.message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN &&
             dbus_.message_get_args(reply, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) {
           dbus_.bus_set_unique_name(connection_, name);
           for (const auto& work : std::exchange(when_named_, {})) work();
         }
       });
}

dbus_bool_t BusConnection::AddWatch(DBusWatch* watch, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  const DbusLibrary& dbus = self->dbus_;
  self->watches_[watch] = LoopWatches::Instance().WatchFd(
      dbus.watch_get_unix_fd(watch), PollEventsOf(dbus, watch), [self, watch](short revents) {
        self->dbus_.watch_handle(watch, WatchFlagsOf(revents));
        if (self->dbus_.connection_get_dispatch_status(self->connection_) ==
            DBUS_DISPATCH_DATA_REMAINS) {
          self->ScheduleDispatch();
        }
      });
  return TRUE;
}

void BusConnection::RemoveWatch(DBusWatch* watch, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  if (auto it = self->watches_.find(watch); it != self->watches_.end()) {
    LoopWatches::Instance().Remove(it->second);
    self->watches_.erase(it);
  }
}

void BusConnection::ToggleWatch(DBusWatch* watch, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  if (auto it = self->watches_.find(watch); it != self->watches_.end()) {
    LoopWatches::Instance().SetEvents(it->second, PollEventsOf(self->dbus_, watch));
  }
}

dbus_bool_t BusConnection::AddTimeout(DBusTimeout* timeout, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  self->timeouts_[timeout] = 0;
  self->ArmTimeout(timeout);
  return TRUE;
}

void BusConnection::RemoveTimeout(DBusTimeout* timeout, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  if (auto it = self->timeouts_.find(timeout); it != self->timeouts_.end()) {
    LoopWatches::Instance().Remove(it->second);
    self->timeouts_.erase(it);
  }
}

void BusConnection::ToggleTimeout(DBusTimeout* timeout, void* data) {
  static_cast<BusConnection*>(data)->ArmTimeout(timeout);
}

void BusConnection::ArmTimeout(DBusTimeout* timeout) {
  auto it = timeouts_.find(timeout);
  if (it == timeouts_.end()) return;
  LoopWatches::Instance().Remove(it->second);
  it->second = 0;
  if (!dbus_.timeout_get_enabled(timeout)) return;
  const std::uint64_t due =
      loop_.TickCount() + static_cast<std::uint64_t>(dbus_.timeout_get_interval(timeout));
  it->second = LoopWatches::Instance().CallAt(due, [this, timeout] {
    auto armed = timeouts_.find(timeout);
    if (armed == timeouts_.end()) return;
    armed->second = 0;
    dbus_.timeout_handle(timeout);
    // The library's timeouts repeat until it removes or disables them.
    if (auto again = timeouts_.find(timeout); again != timeouts_.end() && again->second == 0) {
      ArmTimeout(timeout);
    }
    ScheduleDispatch();
  });
}

void BusConnection::DispatchStatusChanged(DBusConnection*, DBusDispatchStatus status, void* data) {
  if (status == DBUS_DISPATCH_DATA_REMAINS) static_cast<BusConnection*>(data)->ScheduleDispatch();
}

void BusConnection::Defer(std::function<void()> work) {
  auto id = std::make_shared<LoopWatches::WatchId>(0);
  *id = LoopWatches::Instance().CallAt(loop_.TickCount(), [this, id, work = std::move(work)] {
    deferred_.erase(*id);
    work();
  });
  deferred_.insert(*id);
}

void BusConnection::ScheduleDispatch() {
  // Never dispatched from inside the library's own callbacks, which it forbids.
  if (dispatch_scheduled_) return;
  dispatch_scheduled_ = true;
  Defer([this] {
    dispatch_scheduled_ = false;
    Dispatch();
  });
}

void BusConnection::Dispatch() {
  for (int i = 0; i < kMessagesPerTurn; ++i) {
    if (dbus_.connection_dispatch(connection_) != DBUS_DISPATCH_DATA_REMAINS) return;
  }
  ScheduleDispatch();
}

DBusHandlerResult BusConnection::Filter(DBusConnection*, DBusMessage* message, void* data) {
  auto* self = static_cast<BusConnection*>(data);
  if (self->dbus_.message_is_signal(message, DBUS_INTERFACE_LOCAL, "Disconnected")) {
    if (!self->disconnected_) {
      self->disconnected_ = true;
      // From the loop, so the handler may drop this connection.
      self->Defer([self] {
        if (self->disconnect_handler_) self->disconnect_handler_();
      });
    }
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (self->message_handler_ && self->message_handler_(message)) {
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

}  // namespace orlit
