#include "platform/wayland/WaylandWindow.h"

#include <cmath>

#include "platform/DeviceRect.h"
#include "platform/PixelGrid.h"
#include "platform/wayland/WaylandWindowSystem.h"

namespace orlit {

namespace {

// The launcher entry's name, so the desktop shows its icon and name for the window.
constexpr char kApplicationId[] = "example.orlit.OrlitCfs";

WaylandWindow& WindowOf(void* data) { return *static_cast<WaylandWindow*>(data); }

}  // namespace

// The listeners reach the window's private reactions through this.
struct WaylandWindowEvents {
  static void Configure(void* data, xdg_surface*, std::uint32_t serial) {
    WindowOf(data).Configured(serial);
  }
  static void Close(void* data, xdg_toplevel*) { WindowOf(data).RequestClose(); }
  static void FrameDone(void* data, wl_callback*, std::uint32_t) { WindowOf(data).FrameDone(); }
  static void TokenDone(void* data, xdg_activation_token_v1*, const char* token) {
    WindowOf(data).Activate(token);
  }
};

namespace {

constexpr xdg_surface_listener kXdgSurfaceListener = {.configure = WaylandWindowEvents::Configure};

// The size the compositor suggests is not taken: the window's size is fixed.
constexpr xdg_toplevel_listener kToplevelListener = {
    .configure = [](void*, xdg_toplevel*, std::int32_t, std::int32_t, wl_array*) {},
    .close = WaylandWindowEvents::Close,
    .configure_bounds = [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};

constexpr wl_callback_listener kFrameListener = {.done = WaylandWindowEvents::FrameDone};

constexpr xdg_activation_token_v1_listener kTokenListener = {.done =
                                                                 WaylandWindowEvents::TokenDone};

}  // namespace

WaylandWindow::WaylandWindow(WaylandWindowSystem* system, const WindowParams& params)
    : system_(system),
      id_(system->Register(this)),
      owner_(params.owner),
      title_(params.title),
      size_(CheckedWindowSize(params.size)) {
  if (params.position) {
    position_ = *params.position;
  } else {
    const TRect desktop = system_->DesktopRect();
    position_ = {desktop.Left + (desktop.Width() - size_.cx) / 2,
                 desktop.Top + (desktop.Height() - size_.cy) / 2};
  }
  WaylandDisplay& display = system_->Display();
  surface_.reset(wl_compositor_create_surface(display.Compositor()));
  const double scale = system_->Scale();
  if (scale != std::floor(scale)) {
    viewport_.reset(wp_viewporter_get_viewport(display.Viewporter(), surface_.get()));
  } else {
    wl_surface_set_buffer_scale(surface_.get(), static_cast<std::int32_t>(scale));
  }
}

WaylandWindow::~WaylandWindow() {
  system_->Unregister(id_);
  DestroyRole();
  viewport_.reset();
  buffers_.reset();
  surface_.reset();
  wl_display_flush(system_->Display().Get());
}

TSize WaylandWindow::DeviceSize() const {
  const double scale = system_->Scale();
  return {static_cast<int>(DeviceEdge(size_.cx, scale)),
          static_cast<int>(DeviceEdge(size_.cy, scale))};
}

void WaylandWindow::CreateRole() {
  WaylandDisplay& display = system_->Display();
  xdg_surface_.reset(xdg_wm_base_get_xdg_surface(display.WindowManager(), surface_.get()));
  xdg_surface_add_listener(xdg_surface_.get(), &kXdgSurfaceListener, this);
  toplevel_.reset(xdg_surface_get_toplevel(xdg_surface_.get()));
  xdg_toplevel_add_listener(toplevel_.get(), &kToplevelListener, this);
  xdg_toplevel_set_title(toplevel_.get(), title_.c_str());
  xdg_toplevel_set_app_id(toplevel_.get(), kApplicationId);
  // A dialog stays with the window it belongs to.
  if (const WaylandWindow* owner = system_->Find(owner_); owner != nullptr && owner->toplevel_) {
    xdg_toplevel_set_parent(toplevel_.get(), owner->toplevel_.get());
  }
  ApplySizeLimits();
  if (display.Decorations() != nullptr) {
    decoration_.reset(
        zxdg_decoration_manager_v1_get_toplevel_decoration(display.Decorations(), toplevel_.get()));
    zxdg_toplevel_decoration_v1_set_mode(decoration_.get(),
                                         ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
  }
  configured_ = false;
  // The first commit carries no picture: the compositor answers it with the first configure.
  wl_surface_commit(surface_.get());
}

void WaylandWindow::DestroyRole() {
  if (!toplevel_) return;
  frame_callback_.reset();
  activation_token_.reset();
  decoration_.reset();
  toplevel_.reset();
  xdg_surface_.reset();
  configured_ = false;
  // Without a buffer the surface is unmapped; showing it again starts afresh.
  wl_surface_attach(surface_.get(), nullptr, 0, 0);
  wl_surface_commit(surface_.get());
}

void WaylandWindow::ApplySizeLimits() {
  if (!toplevel_) return;
  xdg_toplevel_set_min_size(toplevel_.get(), size_.cx, size_.cy);
  xdg_toplevel_set_max_size(toplevel_.get(), size_.cx, size_.cy);
}

void WaylandWindow::Show() {
  if (shown_) return;
  shown_ = true;
  CreateRole();
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::Hide() {
  if (!shown_) return;
  shown_ = false;
  focused_ = false;
  DestroyRole();
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::Minimize() {
  if (!toplevel_) return;
  xdg_toplevel_set_minimized(toplevel_.get());
  minimized_ = true;
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::Raise() {
  xdg_activation_v1* activation = system_->Display().Activation();
  if (!toplevel_ || focused_ || activation == nullptr || activation_token_) return;
  activation_token_.reset(xdg_activation_v1_get_activation_token(activation));
  xdg_activation_token_v1_add_listener(activation_token_.get(), &kTokenListener, this);
  if (wl_seat* seat = system_->Display().Seat(); seat != nullptr && system_->LastInputSerial()) {
    xdg_activation_token_v1_set_serial(activation_token_.get(), system_->LastInputSerial(), seat);
  }
  if (const WaylandWindow* focused = system_->Find(system_->keyboard_window_)) {
    xdg_activation_token_v1_set_surface(activation_token_.get(), focused->Surface());
  }
  xdg_activation_token_v1_set_app_id(activation_token_.get(), kApplicationId);
  xdg_activation_token_v1_commit(activation_token_.get());
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::Activate(const char* token) {
  activation_token_.reset();
  if (!toplevel_) return;
  xdg_activation_v1_activate(system_->Display().Activation(), token, surface_.get());
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::Resize(TSize size) {
  size_ = CheckedWindowSize(size);
  ApplySizeLimits();
}

void WaylandWindow::SetTitle(const std::string& title) {
  title_ = title;
  if (toplevel_) xdg_toplevel_set_title(toplevel_.get(), title_.c_str());
}

void WaylandWindow::SetEnabled(bool enabled) { system_->events_.SetEnabled(id_, enabled); }

bool WaylandWindow::Enabled() const { return system_->events_.Enabled(id_); }

void WaylandWindow::SetCursor(CursorShape shape) {
  if (shape == cursor_) return;
  cursor_ = shape;
  system_->ShowCursor(*this);
}

bool WaylandWindow::BeginUserMove() {
  wl_seat* seat = system_->Display().Seat();
  if (!toplevel_ || seat == nullptr) return false;
  xdg_toplevel_move(toplevel_.get(), seat, system_->LastButtonSerial());
  system_->ReleaseButtonsForMove(*this);
  wl_display_flush(system_->Display().Get());
  return true;
}

bool WaylandWindow::NoteFocus(bool focused) {
  if (focused == focused_) return false;
  focused_ = focused;
  return true;
}

void WaylandWindow::Present(const FrameView& frame, const TRect& dirty) {
  if (!frame.IsValid()) return;
  const double scale = system_->Scale();
  const TRect logical = dirty.Intersect(TRect{0, 0, size_.cx, size_.cy});
  const TRect area = DeviceRect(logical, scale).Intersect(TRect{0, 0, frame.width, frame.height});
  if (logical.IsEmpty() || area.IsEmpty()) return;
  const TSize device = DeviceSize();
  if (!buffers_ || buffers_->Size() != device) {
    buffers_ = std::make_unique<WaylandBuffers>(system_->Display().Shm(), device);
  }
  if (!buffers_->Write(frame, area)) return;
  damage_ = damage_.Union(area);
  if (configured_ && !frame_callback_) Commit();
}

void WaylandWindow::RequestClose() { system_->PushWindowEvent(EventType::kCloseRequest, id_); }

void WaylandWindow::Configured(std::uint32_t serial) {
  xdg_surface_ack_configure(xdg_surface_.get(), serial);
  if (!configured_) {
    configured_ = true;
    // Started from the launcher: its token lets the compositor raise the first window.
    if (owner_ == 0) {
      if (const std::string token = system_->TakeStartToken(); !token.empty()) {
        xdg_activation_v1_activate(system_->Display().Activation(), token.c_str(), surface_.get());
      }
    }
    if (buffers_ && buffers_->HasPicture()) {
      damage_ = {0, 0, buffers_->Size().cx, buffers_->Size().cy};
      Commit();
      return;
    }
  }
  // The acknowledgement takes effect with a commit.
  if (!frame_callback_) wl_surface_commit(surface_.get());
}

void WaylandWindow::FrameDone() {
  frame_callback_.reset();
  if (!damage_.IsEmpty()) Commit();
}

void WaylandWindow::Commit() {
  wl_buffer* buffer = buffers_ ? buffers_->TakeNewest() : nullptr;
  if (buffer == nullptr) return;
  if (viewport_) wp_viewport_set_destination(viewport_.get(), size_.cx, size_.cy);
  wl_surface_attach(surface_.get(), buffer, 0, 0);
  wl_surface_damage_buffer(surface_.get(), damage_.Left, damage_.Top, damage_.Width(),
                           damage_.Height());
  damage_ = {};
  // The next frame waits until the compositor has shown this one.
  frame_callback_.reset(wl_surface_frame(surface_.get()));
  wl_callback_add_listener(frame_callback_.get(), &kFrameListener, this);
  wl_surface_commit(surface_.get());
  wl_display_flush(system_->Display().Get());
}

}  // namespace orlit
