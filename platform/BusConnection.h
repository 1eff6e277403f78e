#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/DbusLibrary.h"
#include "platform/LoopWatches.h"

namespace orlit {

class WindowSystem;

// A connection to a message bus that never blocks the window: it is opened with non-blocking
// I/O, authenticates and says Hello as the socket allows, and is driven by the bus library's watch
// and timeout hooks in the window system's loop (LoopWatches). Replies come to callbacks; a peer
// that never answers costs a timeout, never a wait.
//
// Handlers run from inside the loop's wait: they must not destroy the connection, nor start a
// nested event loop (see LoopWatches).
class BusConnection {
 public:
  // Called with the reply, or with an error message when the call failed, timed out or the bus
  // went away; never with null.
  using ReplyHandler = std::function<void(DBusMessage* reply)>;
  // Called for every incoming method call and signal; true when it was handled.
  using MessageHandler = std::function<bool(DBusMessage* message)>;

  // The session bus's address from the environment; none when unset or when reaching it would
  // start a bus (autolaunch), which may take seconds.
  static std::optional<std::string> SessionBusAddress();

  // Null when the bus library is missing or the address cannot be reached. `loop` gives the
  // clock of the watches' deadlines and must outlive the connection.
  static std::unique_ptr<BusConnection> Open(WindowSystem& loop, const std::string& address);

  BusConnection(const BusConnection&) = delete;
  BusConnection& operator=(const BusConnection&) = delete;
  ~BusConnection();

  const DbusLibrary& Library() const { return dbus_; }
  // Empty until the bus has answered Hello.
  std::string UniqueName() const;
  bool Connected() const;

  // Runs `work` once the bus has answered Hello (at once when it has), so the connection has
  // its name; never when Hello fails.
  void WhenNamed(std::function<void()> work);

  // Sends `message` (a method call) and calls `on_reply` once, at the latest after `timeout_ms`.
  void Call(DbusMessagePtr message, int timeout_ms, ReplyHandler on_reply);
  // Sends without waiting for anything (signals, replies, calls whose answer does not matter).
  void Send(DbusMessagePtr message);
  // Asks the bus for signals matching `rule`, without waiting for its answer.
  void AddMatch(const std::string& rule);
  void SetMessageHandler(MessageHandler handler) { message_handler_ = std::move(handler); }
  // Called once, from the loop, when the connection is lost.
  void SetDisconnectHandler(std::function<void()> handler) {
    disconnect_handler_ = std::move(handler);
  }

  // A method call to build on (null on lack of memory).
  DbusMessagePtr NewCall(const char* destination, const char* path, const char* interface,
                         const char* method) const;

  // Messages handled per turn of the loop; a flooding peer waits for the next turn instead of
  // holding the window.
  static constexpr int kMessagesPerTurn = 64;

 private:
  BusConnection(const DbusLibrary& dbus, WindowSystem& loop, DBusConnection* connection);

  static dbus_bool_t AddWatch(DBusWatch* watch, void* self);
  static void RemoveWatch(DBusWatch* watch, void* self);
  static void ToggleWatch(DBusWatch* watch, void* self);
  static dbus_bool_t AddTimeout(DBusTimeout* timeout, void* self);
  static void RemoveTimeout(DBusTimeout* timeout, void* self);
  static void ToggleTimeout(DBusTimeout* timeout, void* self);
  static void DispatchStatusChanged(DBusConnection* connection, DBusDispatchStatus status,
                                    void* self);
  static DBusHandlerResult Filter(DBusConnection* connection, DBusMessage* message, void* self);

  void ArmTimeout(DBusTimeout* timeout);
  // Runs `work` from the loop on its next turn, unless this connection is gone by then.
  void Defer(std::function<void()> work);
  void ScheduleDispatch();
  void Dispatch();
  void SayHello();

  const DbusLibrary& dbus_;
  WindowSystem& loop_;
  DBusConnection* connection_;
  std::map<DBusWatch*, LoopWatches::WatchId> watches_;
  std::map<DBusTimeout*, LoopWatches::WatchId> timeouts_;
  std::set<LoopWatches::WatchId> deferred_;
  bool dispatch_scheduled_ = false;
  bool disconnected_ = false;
  std::vector<std::function<void()>> when_named_;
  MessageHandler message_handler_;
  std::function<void()> disconnect_handler_;
};

}  // namespace orlit
