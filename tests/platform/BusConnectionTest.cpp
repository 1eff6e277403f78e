#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>

#include "platform/BusConnection.h"
#include "platform/PrivateBus.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// Turns the headless loop until `done` or a few real seconds have passed.
template <typename Done>
bool TurnUntil(HeadlessWindowSystem& desktop, Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  Event event;
  while (!done() && std::chrono::steady_clock::now() < end) {
    desktop.PollEvent(&event);
    usleep(1000);
  }
  return done();
}

// A socket that accepts connections into its backlog and never says a word.
class SilentPeer {
 public:
  SilentPeer() {
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "orlit-silent-" + std::to_string(getpid());
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 8) == 0) {
      address_ = "unix:abstract=" + name;
    }
  }
  ~SilentPeer() { close(fd_); }
  const std::string& Address() const { return address_; }

 private:
  int fd_ = -1;
  std::string address_;
};

TEST(LoopWatchesTest, RunsReadyDescriptorsAndDueDeadlinesOnce) {
  HeadlessWindowSystem desktop;
  LoopWatches& watches = LoopWatches::Instance();
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  int reads = 0;
  int deadlines = 0;
  const LoopWatches::WatchId reader = watches.WatchFd(pipe_fds[0], POLLIN, [&](short revents) {
    ++reads;
    EXPECT_TRUE(revents & POLLIN);
    char c;
    EXPECT_EQ(read(pipe_fds[0], &c, 1), 1);
  });
  watches.CallAt(100, [&] { ++deadlines; });
  Event event;
  struct Step {
    bool write;
    std::uint64_t advance_ms;
    int reads;
    int deadlines;
  } steps[] = {{false, 0, 0, 0}, {true, 0, 1, 0},    {false, 99, 1, 0},
               {false, 1, 1, 1}, {false, 500, 1, 1}, {true, 0, 2, 1}};
  for (const Step& step : steps) {
    if (step.write) {
      ASSERT_EQ(write(pipe_fds[1], "x", 1), 1);
    }
    desktop.AdvanceTime(step.advance_ms);
    EXPECT_FALSE(desktop.PollEvent(&event));
    EXPECT_EQ(reads, step.reads);
    EXPECT_EQ(deadlines, step.deadlines);
  }
  watches.Remove(reader);
  ASSERT_EQ(write(pipe_fds[1], "x", 1), 1);
  desktop.PollEvent(&event);
  EXPECT_EQ(reads, 2);
  EXPECT_TRUE(watches.Empty());
  close(pipe_fds[0]);
  close(pipe_fds[1]);
}

// The answer a call gets: the reply's type and error name.
struct Answer {
  int type = DBUS_MESSAGE_TYPE_INVALID;
  std::string error;
};

std::optional<Answer>* CallGetId(BusConnection& bus, std::optional<Answer>* answer, int timeout) {
  bus.Call(bus.NewCall(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetId"), timeout,
           [&bus, answer](DBusMessage* reply) {
             Answer got;
             got.type = bus.Library().message_get_type(reply);
             if (got.type == DBUS_MESSAGE_TYPE_ERROR)
               got.error = dbus_message_get_error_name(reply);
             *answer = got;
           });
  return answer;
}

TEST(BusConnectionTest, AnswersComeThroughTheLoopAndASilentPeerOnlyCostsItsTimeout) {
  HeadlessWindowSystem desktop;
  ASSERT_EQ(BusConnection::Open(desktop, "unix:path=/nonexistent/orlit-bus"), nullptr);

  SilentPeer silent;
  ASSERT_FALSE(silent.Address().empty());
  std::unique_ptr<BusConnection> mute = BusConnection::Open(desktop, silent.Address());
  ASSERT_NE(mute, nullptr);
  std::optional<Answer> none;
  CallGetId(*mute, &none, 200);
  Event event;
  for (int i = 0; i < 20; ++i) desktop.PollEvent(&event);
  EXPECT_FALSE(none.has_value());
  desktop.AdvanceTime(200);
  ASSERT_TRUE(TurnUntil(desktop, [&] { return none.has_value(); }));
  EXPECT_EQ(none->error, DBUS_ERROR_NO_REPLY);
  mute.reset();

  auto daemon = std::make_unique<PrivateBus>();
  if (daemon->Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  std::unique_ptr<BusConnection> bus = BusConnection::Open(desktop, daemon->Address());
  ASSERT_NE(bus, nullptr);
  bool lost = false;
  bus->SetDisconnectHandler([&] { lost = true; });
  std::optional<Answer> id;
  CallGetId(*bus, &id, 5000);
  ASSERT_TRUE(TurnUntil(desktop, [&] { return id.has_value(); }));
  EXPECT_EQ(id->type, DBUS_MESSAGE_TYPE_METHOD_RETURN);
  EXPECT_EQ(bus->UniqueName().substr(0, 1), ":");

  daemon.reset();
  ASSERT_TRUE(TurnUntil(desktop, [&] { return lost; }));
  EXPECT_FALSE(bus->Connected());
  std::optional<Answer> after;
  CallGetId(*bus, &after, 5000);
  ASSERT_TRUE(TurnUntil(desktop, [&] { return after.has_value(); }));
  EXPECT_EQ(after->type, DBUS_MESSAGE_TYPE_ERROR);
}

}  // namespace
}  // namespace orlit
