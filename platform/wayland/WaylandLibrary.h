#pragma once

// The Wayland client and cursor libraries, opened when the Wayland backend is chosen instead of
// linked, so that a start on X loads neither (nor libffi, which they bring). The files of this
// folder include this header, never <wayland-client.h>: it declares the libraries' functions,
// then names each one used here for its opened counterpart, which the protocols' inline requests
// call as well. The core protocol's interfaces are compiled in (platform/CMakeLists.txt).
#include <wayland-client-core.h>
#include <wayland-cursor.h>

namespace orlit {

#define ORLIT_WAYLAND_CLIENT_FUNCTIONS(X) \
  X(display_cancel_read)                  \
  X(display_connect)                      \
  X(display_disconnect)                   \
  X(display_dispatch_pending)             \
  X(display_flush)                        \
  X(display_get_error)                    \
  X(display_get_fd)                       \
  X(display_prepare_read)                 \
  X(display_read_events)                  \
  X(proxy_add_listener)                   \
  X(proxy_destroy)                        \
  X(proxy_get_version)                    \
  X(proxy_marshal_flags)

#define ORLIT_WAYLAND_CURSOR_FUNCTIONS(X) \
  X(cursor_image_get_buffer)              \
  X(cursor_theme_destroy)                 \
  X(cursor_theme_get_cursor)              \
  X(cursor_theme_load)

struct WaylandLibrary {
#define ORLIT_WAYLAND_MEMBER(name) decltype(&::wl_##name) name = nullptr;
  ORLIT_WAYLAND_CLIENT_FUNCTIONS(ORLIT_WAYLAND_MEMBER)
  ORLIT_WAYLAND_CURSOR_FUNCTIONS(ORLIT_WAYLAND_MEMBER)
#undef ORLIT_WAYLAND_MEMBER

  // Kept for the life of the process once opened; null when either library or one of its
  // functions is missing, which the backend takes as no compositor.
  static const WaylandLibrary* Get();
};

}  // namespace orlit

#define wl_display_cancel_read (::orlit::WaylandLibrary::Get()->display_cancel_read)
#define wl_display_connect (::orlit::WaylandLibrary::Get()->display_connect)
#define wl_display_disconnect (::orlit::WaylandLibrary::Get()->display_disconnect)
#define wl_display_dispatch_pending (::orlit::WaylandLibrary::Get()->display_dispatch_pending)
#define wl_display_flush (::orlit::WaylandLibrary::Get()->display_flush)
#define wl_display_get_error (::orlit::WaylandLibrary::Get()->display_get_error)
#define wl_display_get_fd (::orlit::WaylandLibrary::Get()->display_get_fd)
#define wl_display_prepare_read (::orlit::WaylandLibrary::Get()->display_prepare_read)
#define wl_display_read_events (::orlit::WaylandLibrary::Get()->display_read_events)
#define wl_proxy_add_listener (::orlit::WaylandLibrary::Get()->proxy_add_listener)
#define wl_proxy_destroy (::orlit::WaylandLibrary::Get()->proxy_destroy)
#define wl_proxy_get_version (::orlit::WaylandLibrary::Get()->proxy_get_version)
#define wl_proxy_marshal_flags (::orlit::WaylandLibrary::Get()->proxy_marshal_flags)
#define wl_cursor_image_get_buffer (::orlit::WaylandLibrary::Get()->cursor_image_get_buffer)
#define wl_cursor_theme_destroy (::orlit::WaylandLibrary::Get()->cursor_theme_destroy)
#define wl_cursor_theme_get_cursor (::orlit::WaylandLibrary::Get()->cursor_theme_get_cursor)
#define wl_cursor_theme_load (::orlit::WaylandLibrary::Get()->cursor_theme_load)

#include <wayland-client-protocol.h>
