#pragma once

#include <memory>

#include "platform/wayland/WaylandLibrary.h"
#include "wayland/fractional-scale-v1-client.h"
#include "wayland/viewporter-client.h"
#include "wayland/xdg-activation-v1-client.h"
#include "wayland/xdg-decoration-unstable-v1-client.h"
#include "wayland/xdg-shell-client.h"

namespace orlit {

// Destroys a Wayland object of ours, with its request to the compositor where the protocol has
// one.
struct WaylandDestroyer {
#define ORLIT_WAYLAND_DESTROY(type) \
  void operator()(type* object) const { type##_destroy(object); }
  ORLIT_WAYLAND_DESTROY(wl_registry)
  ORLIT_WAYLAND_DESTROY(wl_compositor)
  ORLIT_WAYLAND_DESTROY(wl_shm)
  ORLIT_WAYLAND_DESTROY(wl_shm_pool)
  ORLIT_WAYLAND_DESTROY(wl_buffer)
  ORLIT_WAYLAND_DESTROY(wl_callback)
  ORLIT_WAYLAND_DESTROY(wl_surface)
  ORLIT_WAYLAND_DESTROY(wl_seat)
  ORLIT_WAYLAND_DESTROY(wl_output)
  ORLIT_WAYLAND_DESTROY(wl_data_device_manager)
  ORLIT_WAYLAND_DESTROY(wl_data_source)
  ORLIT_WAYLAND_DESTROY(wl_data_offer)
  ORLIT_WAYLAND_DESTROY(xdg_wm_base)
  ORLIT_WAYLAND_DESTROY(xdg_surface)
  ORLIT_WAYLAND_DESTROY(xdg_toplevel)
  ORLIT_WAYLAND_DESTROY(xdg_popup)
  ORLIT_WAYLAND_DESTROY(xdg_positioner)
  ORLIT_WAYLAND_DESTROY(zxdg_decoration_manager_v1)
  ORLIT_WAYLAND_DESTROY(zxdg_toplevel_decoration_v1)
  ORLIT_WAYLAND_DESTROY(xdg_activation_v1)
  ORLIT_WAYLAND_DESTROY(xdg_activation_token_v1)
  ORLIT_WAYLAND_DESTROY(wp_viewporter)
  ORLIT_WAYLAND_DESTROY(wp_viewport)
  ORLIT_WAYLAND_DESTROY(wp_fractional_scale_manager_v1)
  ORLIT_WAYLAND_DESTROY(wp_fractional_scale_v1)
#undef ORLIT_WAYLAND_DESTROY
  // Input devices and data devices are released where the compositor knows the request.
  void operator()(wl_pointer* pointer) const {
    if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
      wl_pointer_release(pointer);
    } else {
      wl_pointer_destroy(pointer);
    }
  }
  void operator()(wl_keyboard* keyboard) const {
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
      wl_keyboard_release(keyboard);
    } else {
      wl_keyboard_destroy(keyboard);
    }
  }
  void operator()(wl_data_device* device) const {
    if (wl_data_device_get_version(device) >= WL_DATA_DEVICE_RELEASE_SINCE_VERSION) {
      wl_data_device_release(device);
    } else {
      wl_data_device_destroy(device);
    }
  }
};

template <class T>
using WaylandPtr = std::unique_ptr<T, WaylandDestroyer>;

}  // namespace orlit
