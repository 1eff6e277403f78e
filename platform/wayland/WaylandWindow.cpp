#include "platform/wayland/WaylandWindow.h"

#include <algorithm>
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
  static void ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t, std::int32_t,
                                wl_array* states) {
    WindowOf(data).ToplevelConfigured(states);
  }
  static void PopupConfigure(void* data, xdg_popup*, std::int32_t x, std::int32_t y, std::int32_t,
                             std::int32_t) {
    WindowOf(data).PopupPlaced({x, y});
  }
  static void PopupDone(void* data, xdg_popup*) { WindowOf(data).PopupDismissed(); }
  static void MinimizeAnswered(void* data, wl_callback*, std::uint32_t) {
    WindowOf(data).MinimizeAnswered();
  }
  static void Enter(void* data, wl_surface*, wl_output* output) {
    WindowOf(data).OutputEntered(output, true);
  }
  static void Leave(void* data, wl_surface*, wl_output* output) {
    WindowOf(data).OutputEntered(output, false);
  }
  static void PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
    WindowOf(data).FractionalScale(scale);
  }
};

namespace {

constexpr xdg_surface_listener kXdgSurfaceListener = {.configure = WaylandWindowEvents::Configure};

// The size the compositor suggests is not taken: the window's size is fixed.
constexpr xdg_toplevel_listener kToplevelListener = {
    .configure = WaylandWindowEvents::ToplevelConfigure,
    .close = WaylandWindowEvents::Close,
    .configure_bounds = [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};

constexpr wl_callback_listener kFrameListener = {.done = WaylandWindowEvents::FrameDone};

constexpr wl_callback_listener kMinimizeAnswerListener = {
    .done = WaylandWindowEvents::MinimizeAnswered};

// The popup is placed once (no reposition requests are made).
constexpr xdg_popup_listener kPopupListener = {
    .configure = WaylandWindowEvents::PopupConfigure,
    .popup_done = WaylandWindowEvents::PopupDone,
    .repositioned = [](void*, xdg_popup*, std::uint32_t) {},
};

constexpr wl_surface_listener kSurfaceListener = {.enter = WaylandWindowEvents::Enter,
                                                  .leave = WaylandWindowEvents::Leave};

constexpr wp_fractional_scale_v1_listener kFractionalScaleListener = {
    .preferred_scale = WaylandWindowEvents::PreferredScale};

bool HasState(const wl_array* states, std::uint32_t wanted) {
  const auto* state = static_cast<const std::uint32_t*>(states->data);
  for (std::size_t i = 0; i < states->size / sizeof *state; ++i) {
    if (state[i] == wanted) return true;
  }
  return false;
}

constexpr xdg_activation_token_v1_listener kTokenListener = {.done =
                                                                 WaylandWindowEvents::TokenDone};

}  // namespace

WaylandWindow::WaylandWindow(WaylandWindowSystem* system, const WindowParams& params)
    : system_(system),
      id_(system->Register(this)),
      owner_(params.owner),
      kind_(params.kind),
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
  wl_surface_add_listener(surface_.get(), &kSurfaceListener, this);
  // The compositor's fractional scale reaches the screen only through a viewport.
  if (display.FractionalScale() != nullptr && display.Viewporter() != nullptr) {
    fractional_.reset(wp_fractional_scale_manager_v1_get_fractional_scale(display.FractionalScale(),
                                                                          surface_.get()));
    wp_fractional_scale_v1_add_listener(fractional_.get(), &kFractionalScaleListener, this);
  }
}

WaylandWindow::~WaylandWindow() {
  system_->Unregister(id_);
  DestroyRole();
  fractional_.reset();
  viewport_.reset();
  buffers_.reset();
  surface_.reset();
  wl_display_flush(system_->Display().Get());
}

TSize WaylandWindow::DeviceSize(double scale) const {
  return {static_cast<int>(DeviceEdge(size_.cx, scale)),
          static_cast<int>(DeviceEdge(size_.cy, scale))};
}

double WaylandWindow::PreferredScale() const {
  if (!shown_) return 0;
  if (fractional_scale_ > 0) return fractional_scale_;
  int scale = 0;
  for (const std::uint32_t name : outputs_) {
    if (const WaylandOutput* output = system_->Display().FindOutputNamed(name)) {
      scale = std::max(scale, output->scale);
    }
  }
  return scale;
}

void WaylandWindow::CreateRole() {
  xdg_surface_.reset(
      xdg_wm_base_get_xdg_surface(system_->Display().WindowManager(), surface_.get()));
  xdg_surface_add_listener(xdg_surface_.get(), &kXdgSurfaceListener, this);
  // A popup needs its owner on the screen; without it the menu is a window of its own.
  const WaylandWindow* owner = system_->Find(owner_);
  if (kind_ == WindowKind::kPopup && owner != nullptr && owner->configured_) {
    CreatePopupRole(*owner);
  } else {
    CreateToplevelRole();
  }
  configured_ = false;
  // The first commit carries no picture: the compositor answers it with the first configure.
  wl_surface_commit(surface_.get());
}

void WaylandWindow::CreateToplevelRole() {
  WaylandDisplay& display = system_->Display();
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
}

// Asked for where the program put it; the compositor moves it (flipped, then slid) where it
// would leave the screen, which only it knows.
void WaylandWindow::CreatePopupRole(const WaylandWindow& owner) {
  WaylandDisplay& display = system_->Display();
  WaylandPtr<xdg_positioner> positioner(xdg_wm_base_create_positioner(display.WindowManager()));
  xdg_positioner_set_size(positioner.get(), size_.cx, size_.cy);
  // The anchor must lie inside the owner; the rest of the way is an offset from it.
  const TPoint wanted{position_.X - owner.position_.X, position_.Y - owner.position_.Y};
  const TPoint anchor{std::clamp(wanted.X, 0, owner.size_.cx - 1),
                      std::clamp(wanted.Y, 0, owner.size_.cy - 1)};
  xdg_positioner_set_anchor_rect(positioner.get(), anchor.X, anchor.Y, 1, 1);
  xdg_positioner_set_anchor(positioner.get(), XDG_POSITIONER_ANCHOR_TOP_LEFT);
  xdg_positioner_set_gravity(positioner.get(), XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT);
  xdg_positioner_set_offset(positioner.get(), wanted.X - anchor.X, wanted.Y - anchor.Y);
  xdg_positioner_set_constraint_adjustment(positioner.get(),
                                           XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_X |
                                               XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_Y |
                                               XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_X |
                                               XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_Y);
  popup_.reset(
      xdg_surface_get_popup(xdg_surface_.get(), owner.xdg_surface_.get(), positioner.get()));
  xdg_popup_add_listener(popup_.get(), &kPopupListener, this);
  // The grab gives the menu the keyboard and closes it on a click outside the program; the
  // compositor grants it only for the input event that opened the menu.
  wl_seat* seat = display.Seat();
  grabbing_ = seat != nullptr && system_->LastInputSerial() != 0;
  if (grabbing_) xdg_popup_grab(popup_.get(), seat, system_->LastInputSerial());
}

void WaylandWindow::DestroyRole() {
  if (!xdg_surface_) return;
  system_->DismissPopupsOver(id_);
  frame_callback_.reset();
  minimize_answer_.reset();
  activation_token_.reset();
  decoration_.reset();
  toplevel_.reset();
  popup_.reset();
  xdg_surface_.reset();
  configured_ = false;
  grabbing_ = false;
  outputs_.clear();
  // Without a buffer the surface is unmapped; showing it again starts afresh.
  wl_surface_attach(surface_.get(), nullptr, 0, 0);
  wl_surface_commit(surface_.get());
  system_->KeyboardTargetMayHaveChanged();
  system_->ScaleMayHaveChanged();
}

void WaylandWindow::Dismiss() {
  if (!popup_) return;
  DestroyRole();
  RequestClose();
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
  if (!toplevel_ || minimized_ || minimize_answer_) return;
  xdg_toplevel_set_minimized(toplevel_.get());
  minimize_answer_.reset(wl_display_sync(system_->Display().Get()));
  wl_callback_add_listener(minimize_answer_.get(), &kMinimizeAnswerListener, this);
  wl_display_flush(system_->Display().Get());
}

void WaylandWindow::MinimizeAnswered() {
  minimize_answer_.reset();
  // Ignored: the program must not go on believing itself in the taskbar.
  if (!minimized_) system_->PushWindowEvent(EventType::kRestored, id_);
}

void WaylandWindow::ToplevelConfigured(const wl_array* states) {
  if (minimize_answer_ && !HasState(states, XDG_TOPLEVEL_STATE_ACTIVATED)) minimized_ = true;
}

void WaylandWindow::Raise() {
  xdg_activation_v1* activation = system_->Display().Activation();
  if (!toplevel_ || focused_ || activation == nullptr || activation_token_) return;
  activation_token_.reset(xdg_activation_v1_get_activation_token(activation));
  xdg_activation_token_v1_add_listener(activation_token_.get(), &kTokenListener, this);
  if (wl_seat* seat = system_->Display().Seat(); seat != nullptr && system_->LastInputSerial()) {
    xdg_activation_token_v1_set_serial(activation_token_.get(), system_->LastInputSerial(), seat);
  }
  if (const WaylandWindow* focused = system_->Find(system_->KeyboardTarget())) {
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
  if (!focused && minimize_answer_) minimized_ = true;
  return true;
}

void WaylandWindow::OutputEntered(wl_output* output, bool entered) {
  const WaylandOutput* known = system_->Display().FindOutput(output);
  if (known == nullptr) return;
  std::erase(outputs_, known->name);
  if (entered) outputs_.push_back(known->name);
  system_->ScaleMayHaveChanged();
}

void WaylandWindow::FractionalScale(std::uint32_t scale_120ths) {
  fractional_scale_ = scale_120ths / 120.0;
  system_->ScaleMayHaveChanged();
}

void WaylandWindow::PopupPlaced(TPoint offset) {
  const WaylandWindow* owner = system_->Find(owner_);
  if (owner == nullptr) return;
  const TPoint placed{owner->position_.X + offset.X, owner->position_.Y + offset.Y};
  if (placed.X == position_.X && placed.Y == position_.Y) return;
  position_ = placed;
  Event event;
  event.type = EventType::kMoved;
  event.window = id_;
  event.position = placed;
  system_->Push(event);
}

void WaylandWindow::PopupDismissed() {
  grabbing_ = false;
  system_->KeyboardTargetMayHaveChanged();
  RequestClose();
}

void WaylandWindow::Present(const FrameView& frame, const TRect& dirty) {
  if (!frame.IsValid()) return;
  const double scale = system_->Scale();
  const TSize device = DeviceSize(scale);
  // Drawn before the scale changed: the whole window comes again at the new one.
  if (frame.width != device.cx || frame.height != device.cy) return;
  const TRect logical = dirty.Intersect(TRect{0, 0, size_.cx, size_.cy});
  const TRect area = DeviceRect(logical, scale).Intersect(TRect{0, 0, frame.width, frame.height});
  if (logical.IsEmpty() || area.IsEmpty()) return;
  if (!buffers_ || buffers_->Size() != device || buffers_scale_ != scale) {
    buffers_ = std::make_unique<WaylandBuffers>(system_->Display().Shm(), device);
    buffers_scale_ = scale;
    damage_ = {};
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
    if (owner_ == 0 && toplevel_) {
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

// Whole scales go as the buffer's scale; fractional ones, and every scale where the compositor
// speaks of fractional ones, through the viewport, whose destination is the window's size.
void WaylandWindow::TellScale(double scale) {
  if (scale == std::floor(scale) && !fractional_) {
    viewport_.reset();
    wl_surface_set_buffer_scale(surface_.get(), static_cast<std::int32_t>(scale));
  } else {
    if (!viewport_) {
      viewport_.reset(wp_viewporter_get_viewport(system_->Display().Viewporter(), surface_.get()));
    }
    wl_surface_set_buffer_scale(surface_.get(), 1);
  }
  committed_scale_ = scale;
}

void WaylandWindow::Commit() {
  wl_buffer* buffer = buffers_ ? buffers_->TakeNewest() : nullptr;
  if (buffer == nullptr) return;
  if (buffers_scale_ != committed_scale_) TellScale(buffers_scale_);
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
