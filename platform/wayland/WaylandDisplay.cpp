#include "platform/wayland/WaylandDisplay.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/WindowSystem.h"

namespace orlit {

namespace {

template <class T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
        std::uint32_t offered, std::uint32_t wanted, std::uint32_t* bound = nullptr) {
  const std::uint32_t version = std::min(offered, wanted);
  if (bound != nullptr) *bound = version;
  return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

constexpr wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
          static_cast<WaylandDisplay*>(data)->Global(registry, name, interface, version);
        },
    .global_remove =
        [](void* data, wl_registry*, std::uint32_t name) {
          static_cast<WaylandDisplay*>(data)->GlobalRemoved(name);
        },
};

// The compositor asks whether we are still alive; not answering gets the window marked as hung.
constexpr xdg_wm_base_listener kWindowManagerListener = {
    .ping = [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

// How long the compositor may take to answer at start before it counts as not there.
constexpr int kAnswerTimeoutMs = 2000;

constexpr wl_seat_listener kSeatListener = {
    .capabilities =
        [](void* data, wl_seat*, std::uint32_t capabilities) {
          static_cast<WaylandDisplay*>(data)->NoteSeatCapabilities(capabilities);
        },
    .name = [](void*, wl_seat*, const char*) {},
};

WaylandOutput& OutputOf(void* data) { return *static_cast<WaylandOutput*>(data); }

constexpr wl_output_listener kOutputListener = {
    .geometry =
        [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
           std::int32_t, const char*, const char*, std::int32_t) {
          OutputOf(data).position = {x, y};
        },
    .mode =
        [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
           std::int32_t) {
          if (flags & WL_OUTPUT_MODE_CURRENT) OutputOf(data).mode = {width, height};
        },
    .done = [](void* data, wl_output*) { OutputOf(data).display->NoteOutputsChanged(); },
    .scale = [](void* data, wl_output*,
                std::int32_t factor) { OutputOf(data).scale = std::max(1, factor); },
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

}  // namespace

// Without the client library there is no compositor to speak to.
WaylandDisplay::WaylandDisplay()
    : display_(WaylandLibrary::Get() != nullptr ? wl_display_connect(nullptr) : nullptr) {
  if (display_ == nullptr)
    throw EWindowSystemError(SourceText(N_("Cannot connect to the Wayland compositor"), {}));
  registry_.reset(wl_display_get_registry(display_));
  wl_registry_add_listener(registry_.get(), &kRegistryListener, this);
  // The first round trip lists the globals, the second the screens' descriptions.
  if (!RoundTrip(kAnswerTimeoutMs) || !RoundTrip(kAnswerTimeoutMs)) {
    Disconnect();
    throw EWindowSystemError(SourceText(N_("The Wayland compositor does not answer"), {}));
  }
  if (!compositor_ || !shm_ || !wm_base_) {
    Disconnect();
    throw EWindowSystemError(
        SourceText(N_("The Wayland compositor cannot show application windows"), {}));
  }
}

WaylandDisplay::~WaylandDisplay() { Disconnect(); }

// The proxies go before the connection they belong to.
void WaylandDisplay::Disconnect() {
  if (display_ == nullptr) return;
  outputs_.clear();
  data_devices_.reset();
  fractional_scale_.reset();
  viewporter_.reset();
  activation_.reset();
  decorations_.reset();
  seat_.reset();
  wm_base_.reset();
  shm_.reset();
  compositor_.reset();
  registry_.reset();
  wl_display_disconnect(display_);
  display_ = nullptr;
}

bool WaylandDisplay::RoundTrip(int timeout_ms) {
  bool done = false;
  static constexpr wl_callback_listener kDone = {
      .done = [](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; },
  };
  WaylandPtr<wl_callback> sync(wl_display_sync(display_));
  wl_callback_add_listener(sync.get(), &kDone, &done);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() < 0 || !ReadEvents(static_cast<int>(left.count()))) return false;
  }
  return true;
}

bool WaylandDisplay::ReadEvents(int timeout_ms) {
  if (!BeginRead()) return false;
  pollfd ready{FileDescriptor(), POLLIN, 0};
  poll(&ready, 1, timeout_ms);
  return EndRead();
}

bool WaylandDisplay::BeginRead() {
  if (wl_display_dispatch_pending(display_) < 0) return false;
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) return false;
  }
  // A full socket is no reason to stop: what is left goes with the next flush.
  if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(display_);
    return false;
  }
  return true;
}

bool WaylandDisplay::EndRead() {
  pollfd ready{FileDescriptor(), POLLIN, 0};
  if (poll(&ready, 1, 0) > 0) {
    if (wl_display_read_events(display_) < 0) return false;
  } else {
    wl_display_cancel_read(display_);
  }
  return wl_display_dispatch_pending(display_) >= 0;
}

void WaylandDisplay::CheckAlive() const {
  if (wl_display_get_error(display_) != 0) {
    throw EWindowSystemError(
        SourceText(N_("The connection to the Wayland compositor was lost"), {}));
  }
}

void WaylandDisplay::Global(wl_registry* registry, std::uint32_t name, const char* interface,
                            std::uint32_t version) {
  const auto is = [interface](const wl_interface& known) {
    return std::strcmp(interface, known.name) == 0;
  };
  if (is(wl_compositor_interface) && !compositor_) {
    compositor_.reset(Bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4,
                                          &compositor_version_));
  } else if (is(wl_shm_interface) && !shm_) {
    shm_.reset(Bind<wl_shm>(registry, name, wl_shm_interface, version, 1));
  } else if (is(xdg_wm_base_interface) && !wm_base_) {
    wm_base_.reset(Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 2));
    xdg_wm_base_add_listener(wm_base_.get(), &kWindowManagerListener, this);
  } else if (is(wl_seat_interface) && !seat_) {
    seat_.reset(Bind<wl_seat>(registry, name, wl_seat_interface, version, 5, &seat_version_));
    wl_seat_add_listener(seat_.get(), &kSeatListener, this);
  } else if (is(zxdg_decoration_manager_v1_interface) && !decorations_) {
    decorations_.reset(Bind<zxdg_decoration_manager_v1>(
        registry, name, zxdg_decoration_manager_v1_interface, version, 1));
  } else if (is(xdg_activation_v1_interface) && !activation_) {
    activation_.reset(
        Bind<xdg_activation_v1>(registry, name, xdg_activation_v1_interface, version, 1));
  } else if (is(wp_viewporter_interface) && !viewporter_) {
    viewporter_.reset(Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1));
  } else if (is(wp_fractional_scale_manager_v1_interface) && !fractional_scale_) {
    fractional_scale_.reset(Bind<wp_fractional_scale_manager_v1>(
        registry, name, wp_fractional_scale_manager_v1_interface, version, 1));
  } else if (is(wl_data_device_manager_interface) && !data_devices_) {
    data_devices_.reset(
        Bind<wl_data_device_manager>(registry, name, wl_data_device_manager_interface, version, 3));
  } else if (is(wl_output_interface)) {
    auto output = std::make_unique<WaylandOutput>();
    output->display = this;
    output->name = name;
    output->output.reset(Bind<wl_output>(registry, name, wl_output_interface, version, 2));
    wl_output_add_listener(output->output.get(), &kOutputListener, output.get());
    outputs_.push_back(std::move(output));
  }
}

void WaylandDisplay::GlobalRemoved(std::uint32_t name) {
  if (std::erase_if(outputs_, [name](const auto& output) { return output->name == name; }) > 0) {
    NoteOutputsChanged();
  }
}

void WaylandDisplay::NoteSeatCapabilities(std::uint32_t capabilities) {
  seat_capabilities_ = capabilities;
  if (on_seat_capabilities_) on_seat_capabilities_(capabilities);
}

const WaylandOutput* WaylandDisplay::FindOutputNamed(std::uint32_t name) const {
  for (const auto& known : outputs_) {
    if (known->name == name) return known.get();
  }
  return nullptr;
}

const WaylandOutput* WaylandDisplay::FindOutput(const wl_output* output) const {
  for (const auto& known : outputs_) {
    if (known->output.get() == output) return known.get();
  }
  return nullptr;
}

}  // namespace orlit
