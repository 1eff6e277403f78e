// A mouse for the end-to-end tests on a headless wlroots compositor, which has no input devices
// of its own: a virtual pointer on the seat, moved and clicked as the arguments say, then removed.
// Usage: virtual_pointer WIDTH HEIGHT COMMAND...  with the commands
//   move X Y     the pointer to screen pixel X,Y of the WIDTH x HEIGHT output
//   press B      button B (1 left, 2 middle, 3 right) down
//   release B    button B up
//   click B      press and release
//   wheel N      N notches, positive towards the user
//   wait MS      MS milliseconds, for the client to act on what came before
// Each command waits for the compositor to have taken it.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// The virtual-pointer protocol of wlroots compositors, which no system package describes: its
// requests in their order, with the signatures libwayland marshals.
const wl_interface* const kNone[] = {nullptr, nullptr, nullptr, nullptr, nullptr};
extern const wl_interface kPointerInterface;
const wl_interface* const kCreateTypes[] = {&wl_seat_interface, &kPointerInterface};
const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", const_cast<const wl_interface**>(kCreateTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNone)},
};
const wl_message kPointerRequests[] = {
    {"motion", "uff", const_cast<const wl_interface**>(kNone)},
    {"motion_absolute", "uuuuu", const_cast<const wl_interface**>(kNone)},
    {"button", "uuu", const_cast<const wl_interface**>(kNone)},
    {"axis", "uuf", const_cast<const wl_interface**>(kNone)},
    {"frame", "", const_cast<const wl_interface**>(kNone)},
    {"axis_source", "u", const_cast<const wl_interface**>(kNone)},
    {"axis_stop", "uu", const_cast<const wl_interface**>(kNone)},
    {"axis_discrete", "uufi", const_cast<const wl_interface**>(kNone)},
    {"destroy", "", const_cast<const wl_interface**>(kNone)},
};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                        kPointerRequests,          0, nullptr};
enum PointerRequest : std::uint32_t {
  kMotionAbsolute = 1,
  kButton = 2,
  kAxis = 3,
  kFrame = 4,
  kAxisSource = 5,
  kAxisDiscrete = 7,
  kDestroy = 8
};

struct Globals {
  wl_seat* seat = nullptr;
  wl_proxy* manager = nullptr;
};

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, "wl_seat") == 0 && globals->seat == nullptr) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, kManagerInterface.name) == 0) {
    globals->manager =
        static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
  }
}

const wl_registry_listener kRegistry = {Global, [](void*, wl_registry*, std::uint32_t) {}};

std::uint32_t Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

void Button(wl_proxy* pointer, int button, bool down) {
  static constexpr std::uint32_t kCodes[] = {BTN_LEFT, BTN_MIDDLE, BTN_RIGHT};
  wl_proxy_marshal(pointer, kButton, Now(), kCodes[(button - 1) % 3], down ? 1u : 0u);
  wl_proxy_marshal(pointer, kFrame);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT COMMAND...\n", argv[0]);
    return 2;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "virtual_pointer: no compositor\n");
    return 1;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, &globals);
  wl_display_roundtrip(display);
  if (globals.manager == nullptr) {
    std::fprintf(stderr, "virtual_pointer: the compositor has no virtual pointers\n");
    return 1;
  }
  wl_proxy* pointer =
      wl_proxy_marshal_constructor(globals.manager, 0, &kPointerInterface, globals.seat, nullptr);
  const auto width = static_cast<std::uint32_t>(std::atoi(argv[1]));
  const auto height = static_cast<std::uint32_t>(std::atoi(argv[2]));
  // The seat announces the new pointer to the clients before it moves.
  wl_display_roundtrip(display);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  for (int i = 3; i < argc; ++i) {
    const std::string command = argv[i];
    const int value = i + 1 < argc ? std::atoi(argv[i + 1]) : 0;
    if (command == "move" && i + 2 < argc) {
      wl_proxy_marshal(pointer, kMotionAbsolute, Now(), static_cast<std::uint32_t>(value),
                       static_cast<std::uint32_t>(std::atoi(argv[i + 2])), width, height);
      wl_proxy_marshal(pointer, kFrame);
      i += 2;
    } else if (command == "press" || command == "release" || command == "click") {
      if (command != "release") Button(pointer, value, true);
      if (command == "click") wl_display_roundtrip(display);
      if (command != "press") Button(pointer, value, false);
      ++i;
    } else if (command == "wait") {
      std::this_thread::sleep_for(std::chrono::milliseconds(value));
      ++i;
    } else if (command == "wheel") {
      wl_proxy_marshal(pointer, kAxisSource, WL_POINTER_AXIS_SOURCE_WHEEL);
      wl_proxy_marshal(pointer, kAxisDiscrete, Now(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                       wl_fixed_from_int(10 * value), value);
      wl_proxy_marshal(pointer, kFrame);
      ++i;
    } else {
      std::fprintf(stderr, "virtual_pointer: unknown command %s\n", command.c_str());
      return 2;
    }
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  wl_proxy_marshal(pointer, kDestroy);
  wl_proxy_destroy(pointer);
  wl_display_roundtrip(display);
  wl_proxy_destroy(globals.manager);
  if (globals.seat != nullptr) wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return 0;
}
