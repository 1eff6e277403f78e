#include "platform/wayland/WaylandCursors.h"

#include <cstdlib>

namespace orlit {

namespace {

constexpr int kDefaultCursorSize = 24;

int CursorSize() {
  const char* size = std::getenv("XCURSOR_SIZE");
  const int value = size != nullptr ? std::atoi(size) : 0;
  return value > 0 && value <= 256 ? value : kDefaultCursorSize;
}

}  // namespace

WaylandCursors::~WaylandCursors() {
  surface_.reset();
  if (theme_ != nullptr) wl_cursor_theme_destroy(theme_);
}

wl_cursor* WaylandCursors::Load(CursorShape shape, int scale) {
  if (theme_ == nullptr || theme_scale_ != scale) {
    if (theme_ != nullptr) wl_cursor_theme_destroy(theme_);
    theme_ = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), CursorSize() * scale, shm_);
    theme_scale_ = scale;
  }
  if (theme_ == nullptr) return nullptr;
  // Names every theme has, with the older names behind them.
  static constexpr const char* kNames[][2] = {
      {"left_ptr", "default"}, {"hand2", "pointer"}, {"xterm", "text"}};
  for (const char* name : kNames[static_cast<int>(shape)]) {
    if (wl_cursor* cursor = wl_cursor_theme_get_cursor(theme_, name)) return cursor;
  }
  return nullptr;
}

void WaylandCursors::Show(wl_pointer* pointer, std::uint32_t serial, CursorShape shape, int scale) {
  wl_cursor* cursor = Load(shape, scale);
  if (cursor == nullptr || cursor->image_count == 0) return;
  wl_cursor_image* image = cursor->images[0];
  wl_buffer* buffer = wl_cursor_image_get_buffer(image);
  if (buffer == nullptr) return;
  if (!surface_) surface_.reset(wl_compositor_create_surface(compositor_));
  wl_surface_set_buffer_scale(surface_.get(), scale);
  wl_surface_attach(surface_.get(), buffer, 0, 0);
  wl_surface_damage(surface_.get(), 0, 0, INT32_MAX, INT32_MAX);
  wl_surface_commit(surface_.get());
  wl_pointer_set_cursor(pointer, serial, surface_.get(),
                        static_cast<std::int32_t>(image->hotspot_x) / scale,
                        static_cast<std::int32_t>(image->hotspot_y) / scale);
}

}  // namespace orlit
