#pragma once

#include <dbus/dbus.h>

#include <memory>

namespace orlit {

// The bus library's functions the program uses, typed by its headers.
#define ORLIT_DBUS_FUNCTIONS(X)              \
  X(bus_add_match)                           \
  X(bus_get_private)                         \
  X(bus_get_unique_name)                     \
  X(bus_set_unique_name)                     \
  X(connection_add_filter)                   \
  X(connection_close)                        \
  X(connection_dispatch)                     \
  X(connection_get_dispatch_status)          \
  X(connection_get_is_connected)             \
  X(connection_get_unix_fd)                  \
  X(connection_open_private)                 \
  X(connection_pop_message)                  \
  X(connection_read_write)                   \
  X(connection_send)                         \
  X(connection_send_with_reply)              \
  X(connection_send_with_reply_and_block)    \
  X(connection_set_dispatch_status_function) \
  X(connection_set_exit_on_disconnect)       \
  X(connection_set_timeout_functions)        \
  X(connection_set_watch_functions)          \
  X(connection_unref)                        \
  X(error_free)                              \
  X(error_init)                              \
  X(error_is_set)                            \
  X(message_get_args)                        \
  X(message_get_destination)                 \
  X(message_get_interface)                   \
  X(message_get_member)                      \
  X(message_get_no_reply)                    \
  X(message_get_path)                        \
  X(message_get_reply_serial)                \
  X(message_get_sender)                      \
  X(message_get_signature)                   \
  X(message_get_type)                        \
  X(message_is_error)                        \
  X(message_is_method_call)                  \
  X(message_is_signal)                       \
  X(message_iter_append_basic)               \
  X(message_iter_close_container)            \
  X(message_iter_get_arg_type)               \
  X(message_iter_get_basic)                  \
  X(message_iter_init)                       \
  X(message_iter_init_append)                \
  X(message_iter_next)                       \
  X(message_iter_open_container)             \
  X(message_iter_recurse)                    \
  X(message_new)                             \
  X(message_new_error)                       \
  X(message_new_method_call)                 \
  X(message_new_method_return)               \
  X(message_new_signal)                      \
  X(message_set_error_name)                  \
  X(message_unref)                           \
  X(pending_call_set_notify)                 \
  X(pending_call_steal_reply)                \
  X(pending_call_unref)                      \
  X(timeout_get_enabled)                     \
  X(timeout_get_interval)                    \
  X(timeout_handle)                          \
  X(watch_get_enabled)                       \
  X(watch_get_flags)                         \
  X(watch_get_unix_fd)                       \
  X(watch_handle)

struct DbusLibrary {
#define ORLIT_DBUS_MEMBER(name) decltype(&dbus_##name) name = nullptr;
  ORLIT_DBUS_FUNCTIONS(ORLIT_DBUS_MEMBER)
#undef ORLIT_DBUS_MEMBER

  // Opened on first use rather than linked: most runs never talk to a bus, and the library
  // brings a handful of others with it. Kept for the life of the process; null when the library
  // or one of its functions is missing, which callers take as no bus.
  static const DbusLibrary* Get();
};

struct DbusMessageUnref {
  const DbusLibrary* dbus;
  void operator()(DBusMessage* message) const { dbus->message_unref(message); }
};
using DbusMessagePtr = std::unique_ptr<DBusMessage, DbusMessageUnref>;

}  // namespace orlit
