#pragma once

#include <array>
#include <cstdint>

#include "platform/WindowSystem.h"
#include "platform/wayland/WaylandLibrary.h"
#include "platform/wayland/WaylandProxy.h"

namespace orlit {

// The desktop's cursor theme (XCURSOR_THEME and XCURSOR_SIZE, as every toolkit reads them) shown
// on a surface of our own, loaded when the pointer first comes in: reading the theme takes a few
// milliseconds the first frame need not wait for.
class WaylandCursors {
 public:
  WaylandCursors(wl_compositor* compositor, wl_shm* shm) : compositor_(compositor), shm_(shm) {}
  ~WaylandCursors();
  WaylandCursors(const WaylandCursors&) = delete;
  WaylandCursors& operator=(const WaylandCursors&) = delete;

  // Shows `shape` for `pointer`, which entered one of our surfaces with `serial`, at `scale`
  // screen pixels per window pixel (whole numbers). Where the theme lacks the shape, the
  // compositor's default stays.
  void Show(wl_pointer* pointer, std::uint32_t serial, CursorShape shape, int scale);

 private:
  wl_cursor* Load(CursorShape shape, int scale);

  wl_compositor* compositor_;
  wl_shm* shm_;
  wl_cursor_theme* theme_ = nullptr;
  int theme_scale_ = 0;
  WaylandPtr<wl_surface> surface_;
};

}  // namespace orlit
