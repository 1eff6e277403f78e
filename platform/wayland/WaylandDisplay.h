#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Geometry.h"
#include "platform/wayland/WaylandLibrary.h"
#include "platform/wayland/WaylandProxy.h"

namespace orlit {

class WaylandDisplay;

// One screen as the compositor describes it.
struct WaylandOutput {
  WaylandDisplay* display = nullptr;
  WaylandPtr<wl_output> output;
  std::uint32_t name = 0;  // the registry's
  TPoint position;         // in the compositor's space
  TSize mode;              // device pixels of the current mode
  int scale = 1;
};

// The connection to the compositor and the globals the backend uses, each bound at the lower of
// the version the compositor offers and the one this code knows (binding higher is a protocol
// error). Optional globals are null when the compositor does not offer them.
class WaylandDisplay {
 public:
  // Connects to WAYLAND_DISPLAY (or wayland-0) and waits for the compositor to describe its
  // globals and screens. Throws EWindowSystemError when there is no compositor or it lacks what
  // a window needs (compositor, shared memory, xdg-shell).
  WaylandDisplay();
  ~WaylandDisplay();
  WaylandDisplay(const WaylandDisplay&) = delete;
  WaylandDisplay& operator=(const WaylandDisplay&) = delete;

  wl_display* Get() const { return display_; }
  int FileDescriptor() const { return wl_display_get_fd(display_); }
  // Reads and dispatches what the compositor sent, waiting at most `timeout_ms` (0: not at all,
  // -1: until something comes) for it; sends what is queued first. False when the connection
  // failed.
  bool ReadEvents(int timeout_ms);
  // ReadEvents in two halves around a wait of the caller's on FileDescriptor(): BeginRead
  // dispatches what is queued and sends what is pending; EndRead (always called after a
  // successful BeginRead) reads what has come without waiting and dispatches it.
  bool BeginRead();
  bool EndRead();
  // Waits at most `timeout_ms` until the compositor has answered everything sent so far; false
  // when it did not, or the connection failed.
  bool RoundTrip(int timeout_ms);
  // Throws EWindowSystemError once the connection has failed (the compositor went away or
  // reported a protocol error).
  void CheckAlive() const;

  wl_compositor* Compositor() const { return compositor_.get(); }
  std::uint32_t CompositorVersion() const { return compositor_version_; }
  wl_shm* Shm() const { return shm_.get(); }
  xdg_wm_base* WindowManager() const { return wm_base_.get(); }
  wl_seat* Seat() const { return seat_.get(); }
  std::uint32_t SeatVersion() const { return seat_version_; }
  // The seat's devices (WL_SEAT_CAPABILITY_*) as last announced; `on_change` hears of each new
  // announcement.
  std::uint32_t SeatCapabilities() const { return seat_capabilities_; }
  void OnSeatCapabilities(std::function<void(std::uint32_t)> on_change) {
    on_seat_capabilities_ = std::move(on_change);
  }
  zxdg_decoration_manager_v1* Decorations() const { return decorations_.get(); }
  xdg_activation_v1* Activation() const { return activation_.get(); }
  wp_viewporter* Viewporter() const { return viewporter_.get(); }
  wp_fractional_scale_manager_v1* FractionalScale() const { return fractional_scale_.get(); }
  wl_data_device_manager* DataDevices() const { return data_devices_.get(); }
  const std::vector<std::unique_ptr<WaylandOutput>>& Outputs() const { return outputs_; }
  const WaylandOutput* FindOutput(const wl_output* output) const;
  // By the registry's name; null once the screen is gone.
  const WaylandOutput* FindOutputNamed(std::uint32_t name) const;
  // `on_change` hears of each screen described anew (its scale, for one), added or removed.
  void OnOutputsChanged(std::function<void()> on_change) {
    on_outputs_changed_ = std::move(on_change);
  }

  // For the registry's events.
  void Global(wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version);
  void GlobalRemoved(std::uint32_t name);
  void NoteSeatCapabilities(std::uint32_t capabilities);
  void NoteOutputsChanged() const {
    if (on_outputs_changed_) on_outputs_changed_();
  }

 private:
  void Disconnect();

  wl_display* display_ = nullptr;
  WaylandPtr<wl_registry> registry_;
  WaylandPtr<wl_compositor> compositor_;
  std::uint32_t compositor_version_ = 0;
  WaylandPtr<wl_shm> shm_;
  WaylandPtr<xdg_wm_base> wm_base_;
  WaylandPtr<wl_seat> seat_;
  std::uint32_t seat_version_ = 0;
  std::uint32_t seat_capabilities_ = 0;
  std::function<void(std::uint32_t)> on_seat_capabilities_;
  WaylandPtr<zxdg_decoration_manager_v1> decorations_;
  WaylandPtr<xdg_activation_v1> activation_;
  WaylandPtr<wp_viewporter> viewporter_;
  WaylandPtr<wp_fractional_scale_manager_v1> fractional_scale_;
  WaylandPtr<wl_data_device_manager> data_devices_;
  std::vector<std::unique_ptr<WaylandOutput>> outputs_;
  std::function<void()> on_outputs_changed_;
};

}  // namespace orlit
