#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/PortalFileChooser.h"
#include "platform/PrivateBus.h"

namespace orlit {
namespace {

DBusMessage* ResponseSignal(const char* path, std::uint32_t response, const char* uri) {
  DBusMessage* signal = dbus_message_new_signal(path, "org.freedesktop.portal.Request", "Response");
  DBusMessageIter out, results, entry, variant, uris;
  dbus_message_iter_init_append(signal, &out);
  dbus_message_iter_append_basic(&out, DBUS_TYPE_UINT32, &response);
  dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "{sv}", &results);
  if (response == 0) {
    const char* key = "uris";
    dbus_message_iter_open_container(&results, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "as", &variant);
    dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &uris);
    dbus_message_iter_append_basic(&uris, DBUS_TYPE_STRING, &uri);
    dbus_message_iter_close_container(&variant, &uris);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(&results, &entry);
  }
  dbus_message_iter_close_container(&out, &results);
  return signal;
}

// Another client of the bus that knows the request's path and answers first, with a file of its
// own choosing, sent straight to the asker so that no subscription filters it out.
void Spoof(const std::string& address, const char* path, const char* asker) {
  DBusConnection* bus = dbus_connection_open_private(address.c_str(), nullptr);
  if (bus == nullptr || !dbus_bus_register(bus, nullptr)) return;
  DBusMessage* signal = ResponseSignal(path, 0, "file:///tmp/not%20chosen.bmp");
  dbus_message_set_destination(signal, asker);
  dbus_connection_send(bus, signal, nullptr);
  dbus_connection_flush(bus);
  dbus_message_unref(signal);
  dbus_connection_close(bus);
  dbus_connection_unref(bus);
}

// Answers one file chooser call the way the desktop portal does: the request's path at once,
// then the Response signal on it with `response` and, for 0, the file's URI. With `spoofed`,
// another client answers on the same path before the portal does.
void ServeOneCall(const std::string& address, std::uint32_t response, bool spoofed,
                  std::string* title) {
  DBusConnection* bus = dbus_connection_open_private(address.c_str(), nullptr);
  if (bus == nullptr || !dbus_bus_register(bus, nullptr)) return;
  dbus_bus_request_name(bus, "org.freedesktop.portal.Desktop", DBUS_NAME_FLAG_DO_NOT_QUEUE,
                        nullptr);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool served = false;
  while (!served && std::chrono::steady_clock::now() < end && dbus_connection_read_write(bus, 50)) {
    DBusMessage* call = dbus_connection_pop_message(bus);
    if (call == nullptr) continue;
    if (dbus_message_is_method_call(call, "org.freedesktop.portal.FileChooser", "SaveFile")) {
      DBusMessageIter args;
      DBusMessageIter options;
      const char* text = nullptr;
      const char* token = "";
      dbus_message_iter_init(call, &args);
      dbus_message_iter_next(&args);
      dbus_message_iter_get_basic(&args, &text);
      *title = text;
      dbus_message_iter_next(&args);
      for (dbus_message_iter_recurse(&args, &options);
           dbus_message_iter_get_arg_type(&options) == DBUS_TYPE_DICT_ENTRY;
           dbus_message_iter_next(&options)) {
        DBusMessageIter entry;
        DBusMessageIter value;
        const char* key = nullptr;
        dbus_message_iter_recurse(&options, &entry);
        dbus_message_iter_get_basic(&entry, &key);
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &value);
        if (std::string(key) == "handle_token") dbus_message_iter_get_basic(&value, &token);
      }
      std::string sender = dbus_message_get_sender(call) + 1;
      for (char& c : sender) c = c == '.' ? '_' : c;
      const std::string path_text =
          "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
      const char* path = path_text.c_str();
      DBusMessage* reply = dbus_message_new_method_return(call);
      dbus_message_append_args(reply, DBUS_TYPE_OBJECT_PATH, &path, DBUS_TYPE_INVALID);
      dbus_connection_send(bus, reply, nullptr);
      dbus_message_unref(reply);

      dbus_connection_flush(bus);
      if (spoofed) {
        Spoof(address, path, dbus_message_get_sender(call));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      }
      DBusMessage* signal = ResponseSignal(path, response, "file:///tmp/my%20picture.bmp");
      dbus_connection_send(bus, signal, nullptr);
      dbus_connection_flush(bus);
      dbus_message_unref(signal);
      served = true;
    }
    dbus_message_unref(call);
  }
  dbus_connection_close(bus);
  dbus_connection_unref(bus);
}

TEST(PortalFileChooserTest, TheDesktopsAnswerOrNoneWithoutAPortal) {
  const PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
  FileChooserRequest request;
  request.save = true;
  request.title = "Save Picture As";
  request.filters = {{"Bitmaps (*.bmp)", {"*.bmp"}}};
  struct Case {
    bool portal;
    std::uint32_t response;
    bool spoofed;
    FileChoice choice;
    std::string path;
  } cases[] = {{true, 0, false, FileChoice::kChosen, "/tmp/my picture.bmp"},
               {true, 1, false, FileChoice::kCancelled, ""},
               {true, 0, true, FileChoice::kChosen, "/tmp/my picture.bmp"},
               {true, 1, true, FileChoice::kCancelled, ""},
               {false, 0, false, FileChoice::kUnavailable, ""}};
  for (const Case& c : cases) {
    std::string title;
    std::thread portal;
    if (c.portal) {
      portal = std::thread(ServeOneCall, bus.Address(), c.response, c.spoofed, &title);
      // The fake portal owns its name before it is asked.
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    const FileChooserAnswer answer = PortalFileChooser::Ask(request, PollForPeer);
    if (portal.joinable()) portal.join();
    EXPECT_EQ(answer.choice, c.choice) << c.response;
    EXPECT_EQ(answer.path, c.path) << c.response;
    EXPECT_EQ(title, c.portal ? request.title : "");
  }
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

TEST(PortalFileChooserTest, ASilentBusNeitherBlocksNorOutlastsAQuit) {
  // A bus that takes the connection and never says a word.
  const std::string socket_path = ::testing::TempDir() + "silent_bus_" + std::to_string(getpid());
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  std::snprintf(where.sun_path, sizeof where.sun_path, "%s", socket_path.c_str());
  unlink(socket_path.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket_path).c_str(), 1);
  // The window's wait: it answers a few turns, then the user quits.
  int turns = 0;
  const auto quit_soon = [&turns](int fd, int timeout_ms) {
    return ++turns > 3 ? PeerWaitResult::kInterrupted : PollForPeer(fd, timeout_ms);
  };
  const FileChooserAnswer answer = PortalFileChooser::Ask(FileChooserRequest{}, quit_soon);
  EXPECT_EQ(answer.choice, FileChoice::kCancelled);
  EXPECT_GT(turns, 3);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  close(listener);
  unlink(socket_path.c_str());
}

}  // namespace
}  // namespace orlit
