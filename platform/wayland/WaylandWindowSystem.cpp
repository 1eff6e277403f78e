#include "platform/wayland/WaylandWindowSystem.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "platform/DisplayScale.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandWindow.h"

namespace orlit {

namespace {

// Wheel units of the compositor per notch, where it does not count notches itself.
constexpr double kAxisUnitsPerNotch = 10;

WaylandWindowSystem& SystemOf(void* data) { return *static_cast<WaylandWindowSystem*>(data); }

constexpr wl_pointer_listener kPointerListener = {
    .enter = [](void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                wl_fixed_t y) { SystemOf(data).PointerEnter(serial, surface, x, y); },
    .leave = [](void* data, wl_pointer*, std::uint32_t,
                wl_surface* surface) { SystemOf(data).PointerLeave(surface); },
    .motion = [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x,
                 wl_fixed_t y) { SystemOf(data).PointerMotion(x, y); },
    .button =
        [](void* data, wl_pointer*, std::uint32_t serial, std::uint32_t time, std::uint32_t button,
           std::uint32_t state) { SystemOf(data).PointerButton(serial, time, button, state); },
    .axis = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t axis,
               wl_fixed_t value) { SystemOf(data).PointerAxis(axis, value); },
    .frame = [](void* data, wl_pointer*) { SystemOf(data).PointerFrame(); },
    .axis_source = [](void*, wl_pointer*, std::uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
    .axis_discrete = [](void* data, wl_pointer*, std::uint32_t axis,
                        std::int32_t steps) { SystemOf(data).PointerAxisDiscrete(axis, steps); },
    .axis_value120 = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
};

constexpr wl_keyboard_listener kKeyboardListener = {
    .keymap = [](void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
                 std::uint32_t size) { SystemOf(data).KeyboardKeymap(format, fd, size); },
    .enter = [](void* data, wl_keyboard*, std::uint32_t, wl_surface* surface,
                wl_array*) { SystemOf(data).KeyboardEnter(surface); },
    .leave = [](void* data, wl_keyboard*, std::uint32_t,
                wl_surface*) { SystemOf(data).KeyboardLeave(); },
    .key = [](void* data, wl_keyboard*, std::uint32_t serial, std::uint32_t, std::uint32_t key,
              std::uint32_t state) { SystemOf(data).KeyboardKey(serial, key, state); },
    .modifiers =
        [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
           std::uint32_t locked, std::uint32_t group) {
          SystemOf(data).KeyboardModifiers(depressed, latched, locked, group);
        },
    .repeat_info = [](void* data, wl_keyboard*, std::int32_t rate,
                      std::int32_t delay) { SystemOf(data).KeyboardRepeat(rate, delay); },
};

bool MouseButtonOfCode(std::uint32_t code, MouseButton* button) {
  switch (code) {
    case BTN_LEFT:
      *button = MouseButton::kLeft;
      return true;
    case BTN_MIDDLE:
      *button = MouseButton::kMiddle;
      return true;
    case BTN_RIGHT:
      *button = MouseButton::kRight;
      return true;
    default:
      return false;
  }
}

TPoint WindowPoint(wl_fixed_t x, wl_fixed_t y) {
  return {static_cast<int>(std::floor(wl_fixed_to_double(x))),
          static_cast<int>(std::floor(wl_fixed_to_double(y)))};
}

}  // namespace

WaylandWindowSystem::WaylandWindowSystem()
    : display_(std::make_unique<WaylandDisplay>()),
      scale_setting_(ScaleFactorSetting()),
      cursors_(std::make_unique<WaylandCursors>(display_->Compositor(), display_->Shm())) {
  scale_ = WantedScale();
  display_->OnOutputsChanged([this] { ScaleMayHaveChanged(); });
  display_->OnSeatCapabilities(
      [this](std::uint32_t capabilities) { SeatCapabilities(capabilities); });
  SeatCapabilities(display_->SeatCapabilities());
  // Taken away, so that the programs we start (the browser) cannot use it.
  if (const char* token = std::getenv("XDG_ACTIVATION_TOKEN"); token != nullptr) {
    if (display_->Activation() != nullptr) start_token_ = token;
    unsetenv("XDG_ACTIVATION_TOKEN");
  }
  // Made now: the compositor tells what the clipboard holds when the keyboard comes.
  clipboard_ = std::make_unique<WaylandClipboard>(*display_, *this);
}

WaylandWindowSystem::~WaylandWindowSystem() {
  display_->OnSeatCapabilities(nullptr);
  display_->OnOutputsChanged(nullptr);
  StopRepeat();
  clipboard_.reset();
  keyboard_.reset();
  pointer_.reset();
  cursors_.reset();
}

std::unique_ptr<NativeWindow> WaylandWindowSystem::CreateWindow(const WindowParams& params) {
  return std::make_unique<WaylandWindow>(this, params);
}

std::vector<TRect> WaylandWindowSystem::MonitorRects() const {
  std::vector<TRect> monitors;
  for (const auto& output : display_->Outputs()) {
    if (output->mode.cx <= 0 || output->mode.cy <= 0) continue;
    monitors.push_back(TRect::FromBounds(output->position.X, output->position.Y,
                                         output->mode.cx / output->scale,
                                         output->mode.cy / output->scale));
  }
  // Before the compositor has described a screen: a common one.
  if (monitors.empty()) monitors.push_back({0, 0, 1920, 1080});
  return monitors;
}

TRect WaylandWindowSystem::DesktopRect() const { return MonitorRects().front(); }

TPoint WaylandWindowSystem::CursorPos() const {
  const WaylandWindow* window = Find(pointer_window_);
  if (window == nullptr) return pointer_position_;
  return {window->Position().X + pointer_position_.X, window->Position().Y + pointer_position_.Y};
}

bool WaylandWindowSystem::PollEvent(Event* event) {
  if (events_.Take(event)) return true;
  Pump(false);
  return events_.Take(event);
}

bool WaylandWindowSystem::WaitEvent(Event* event) {
  for (;;) {
    if (events_.Take(event)) return true;
    Pump(true);
  }
}

void WaylandWindowSystem::PostQuit(int exit_code) { events_.PushQuit(exit_code, TickCount()); }

TimerId WaylandWindowSystem::SetTimer(std::uint32_t interval_ms) {
  return events_.SetTimer(interval_ms, TickCount());
}

void WaylandWindowSystem::KillTimer(TimerId timer) { events_.KillTimer(timer); }

std::uint64_t WaylandWindowSystem::TickCount() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

WaylandClipboard& WaylandWindowSystem::Clipboard() const { return *clipboard_; }

std::string WaylandWindowSystem::ClipboardText() const { return Clipboard().Text(); }

void WaylandWindowSystem::SetClipboardText(const std::string& text) {
  Clipboard().SetText(text, input_serial_);
}

bool WaylandWindowSystem::ClipboardHasPicture() const { return Clipboard().HasPicture(); }

std::optional<PixelImage> WaylandWindowSystem::ClipboardPicture() const {
  return Clipboard().Picture();
}

void WaylandWindowSystem::SetClipboardPicture(const PixelImage& picture) {
  Clipboard().SetPicture(picture, input_serial_);
}

double WaylandWindowSystem::WantedScale() const {
  double scale = scale_setting_.value_or(0);
  if (scale == 0) {
    for (const auto& [id, window] : windows_) scale = std::max(scale, window->PreferredScale());
  }
  if (scale == 0) {
    for (const auto& output : display_->Outputs()) scale = std::max<double>(scale, output->scale);
  }
  scale = std::clamp(scale, 1.0, static_cast<double>(kMaxScaleFactor));
  // A fractional scale needs the viewport to show the larger buffer at the window's size.
  if (scale != std::floor(scale) && display_->Viewporter() == nullptr) scale = std::ceil(scale);
  return scale;
}

void WaylandWindowSystem::ScaleMayHaveChanged() {
  const double scale = WantedScale();
  if (scale == scale_) return;
  scale_ = scale;
  for (const auto& [id, window] : windows_) PushWindowEvent(EventType::kScaleChanged, id);
  if (WaylandWindow* window = Find(pointer_window_)) ShowCursor(*window);
}

WindowId WaylandWindowSystem::KeyboardTarget() const {
  const WaylandWindow* focused = Find(keyboard_window_);
  if (focused == nullptr || !focused->Visible()) return 0;
  WindowId target = keyboard_window_;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (const auto& [id, window] : windows_) {
      if (window->GrabsKeyboardOf(target)) {
        target = id;
        deeper = true;
        break;
      }
    }
  }
  return target;
}

void WaylandWindowSystem::KeyboardTargetMayHaveChanged() {
  const WindowId target = KeyboardTarget();
  // The loss before the gain, as the framework expects them.
  for (const auto& [id, window] : windows_) {
    if (id != target && window->NoteFocus(false)) PushWindowEvent(EventType::kFocusLost, id);
  }
  if (WaylandWindow* window = Find(target); window != nullptr && window->NoteFocus(true)) {
    PushWindowEvent(EventType::kFocusGained, target);
  }
}

void WaylandWindowSystem::DismissPopupsOver(WindowId owner) {
  for (const auto& [id, window] : windows_) {
    if (window->Owner() == owner && window->IsPopup()) window->Dismiss();
  }
}

WindowId WaylandWindowSystem::Register(WaylandWindow* window) {
  const WindowId id = next_id_++;
  windows_[id] = window;
  events_.AddWindow(id);
  return id;
}

void WaylandWindowSystem::Unregister(WindowId window) {
  if (capture_ == window) capture_ = 0;
  if (pointer_window_ == window) pointer_window_ = 0;
  if (keyboard_window_ == window) {
    keyboard_window_ = 0;
    StopRepeat();
  }
  windows_.erase(window);
  events_.RemoveWindow(window);
  KeyboardTargetMayHaveChanged();
  ScaleMayHaveChanged();
}

WaylandWindow* WaylandWindowSystem::Find(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

WaylandWindow* WaylandWindowSystem::FindSurface(const wl_surface* surface) const {
  if (surface == nullptr) return nullptr;
  for (const auto& [id, window] : windows_) {
    if (window->Surface() == surface) return window;
  }
  return nullptr;
}

PeerWaitResult WaylandWindowSystem::WaitForPeer(int fd, int timeout_ms) {
  const std::uint64_t deadline = TickCount() + static_cast<std::uint64_t>(std::max(timeout_ms, 0));
  for (;;) {
    Pump(false);
    if (events_.QuitOrCloseQueued()) return PeerWaitResult::kInterrupted;
    const std::uint64_t now = TickCount();
    if (!display_->BeginRead()) display_->CheckAlive();
    const int quit_fd = quit_signals_.FileDescriptor();
    pollfd ready[3] = {
        {fd, POLLIN, 0}, {display_->FileDescriptor(), POLLIN, 0}, {quit_fd, POLLIN, 0}};
    const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
    const int result = poll(ready, quit_fd >= 0 ? 3 : 2, left);
    const int poll_error = errno;
    display_->EndRead();
    if (result < 0 && poll_error != EINTR) throw EWindowSystemError("Cannot wait for events");
    if (result > 0 && ready[0].revents != 0) return PeerWaitResult::kReady;
    if (result == 0) return PeerWaitResult::kTimedOut;
  }
}

void WaylandWindowSystem::Pump(bool wait) {
  for (;;) {
    const bool read = display_->BeginRead();
    if (read && wait && events_.Empty()) {
      const int fds[] = {display_->FileDescriptor(), quit_signals_.FileDescriptor()};
      events_.WaitForInput(fds, TickCount());
    }
    if (!read || !display_->EndRead()) display_->CheckAlive();
    events_.FireDueTimers(TickCount());
    if (quit_signals_.Take()) PostQuit(0);
    if (!events_.Empty() || !wait) {
      wl_display_flush(display_->Get());
      return;
    }
  }
}

void WaylandWindowSystem::SeatCapabilities(std::uint32_t capabilities) {
  wl_seat* seat = display_->Seat();
  const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
  if (pointer && !pointer_) {
    pointer_.reset(wl_seat_get_pointer(seat));
    wl_pointer_add_listener(pointer_.get(), &kPointerListener, this);
  } else if (!pointer && pointer_) {
    pointer_.reset();
    pointer_window_ = 0;
  }
  const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (keyboard && !keyboard_) {
    keyboard_.reset(wl_seat_get_keyboard(seat));
    wl_keyboard_add_listener(keyboard_.get(), &kKeyboardListener, this);
  } else if (!keyboard && keyboard_) {
    KeyboardLeave();
    keyboard_.reset();
  }
}

int WaylandWindowSystem::CursorScale() const { return static_cast<int>(std::ceil(scale_)); }

void WaylandWindowSystem::ShowCursor(const WaylandWindow& window) {
  if (pointer_ && pointer_window_ == window.Id()) {
    cursors_->Show(pointer_.get(), enter_serial_, window.Cursor(), CursorScale());
  }
}

void WaylandWindowSystem::PointerEnter(std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                                       wl_fixed_t y) {
  WaylandWindow* window = FindSurface(surface);
  if (window == nullptr) return;
  enter_serial_ = serial;
  pointer_window_ = window->Id();
  pointer_position_ = WindowPoint(x, y);
  ShowCursor(*window);
}

void WaylandWindowSystem::PointerLeave(wl_surface* surface) {
  WaylandWindow* window = FindSurface(surface);
  if (window == nullptr || window->Id() != pointer_window_) return;
  pointer_window_ = 0;
  // Buttons held when the pointer leaves went up elsewhere.
  buttons_held_ = 0;
  if (capture_ != window->Id()) PushWindowEvent(EventType::kMouseLeave, window->Id());
}

void WaylandWindowSystem::PointerMotion(wl_fixed_t x, wl_fixed_t y) {
  if (pointer_window_ == 0) return;
  pointer_position_ = WindowPoint(x, y);
  Event event;
  event.type = EventType::kMouseMove;
  PushMouse(event);
}

void WaylandWindowSystem::PointerButton(std::uint32_t serial, std::uint32_t time,
                                        std::uint32_t code, std::uint32_t state) {
  Event event;
  if (pointer_window_ == 0 || !MouseButtonOfCode(code, &event.button)) return;
  const bool pressed = state == WL_POINTER_BUTTON_STATE_PRESSED;
  const ShiftState this_button = ShiftStateOfButton(event.button);
  if (pressed) {
    button_serial_ = input_serial_ = serial;
    buttons_held_ |= this_button;
    const bool double_click = events_.CountPress(event.button, CursorPos(), time);
    event.type = double_click ? EventType::kMouseDoubleClick : EventType::kMouseDown;
    if (double_click) event.shift |= kShiftStateDouble;
  } else {
    if ((buttons_held_ & this_button) == 0) return;  // went down before the pointer came
    buttons_held_ &= static_cast<ShiftState>(~this_button);
    event.type = EventType::kMouseUp;
  }
  PushMouse(event);
}

void WaylandWindowSystem::PointerAxis(std::uint32_t axis, wl_fixed_t value) {
  if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL) return;
  axis_value_ += wl_fixed_to_double(value);
  // Before frames existed each axis event stood alone.
  if (display_->SeatVersion() < WL_POINTER_FRAME_SINCE_VERSION) PointerFrame();
}

void WaylandWindowSystem::PointerAxisDiscrete(std::uint32_t axis, std::int32_t steps) {
  if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) axis_steps_ += steps;
}

void WaylandWindowSystem::PointerFrame() {
  const int notches = axis_steps_ != 0
                          ? axis_steps_
                          : static_cast<int>(std::lround(axis_value_ / kAxisUnitsPerNotch));
  axis_steps_ = 0;
  if (notches != 0 || axis_value_ == 0) axis_value_ = 0;
  if (notches != 0) PushWheel(notches);
}

// Positive steps turn the wheel towards the user.
void WaylandWindowSystem::PushWheel(int notches) {
  if (pointer_window_ == 0) return;
  Event event;
  event.type = EventType::kMouseWheel;
  event.wheel_delta = -120 * notches;
  PushMouse(event);
}

void WaylandWindowSystem::PushMouse(Event event) {
  const TPoint screen = CursorPos();
  // With the capture the mouse belongs to the capturing window wherever it is.
  WaylandWindow* target = Find(capture_);
  if (target == nullptr) target = Find(pointer_window_);
  if (target == nullptr) return;
  event.window = target->Id();
  event.position = {screen.X - target->Position().X, screen.Y - target->Position().Y};
  CompilePendingKeymap();
  event.shift |= keys_.Shift() | buttons_held_;
  Push(event);
}

void WaylandWindowSystem::ReleaseButtonsForMove(WaylandWindow& window) {
  if ((buttons_held_ & kShiftStateLeft) == 0) return;
  buttons_held_ &= static_cast<ShiftState>(~kShiftStateLeft);
  Event event;
  event.type = EventType::kMouseUp;
  event.button = MouseButton::kLeft;
  event.window = window.Id();
  event.position = pointer_position_;
  event.shift = keys_.Shift() | buttons_held_;
  Push(event);
}

// Kept as text and compiled at the first key or mouse event: compiling takes milliseconds the
// first frame need not wait for.
void WaylandWindowSystem::KeyboardKeymap(std::uint32_t format, int fd, std::uint32_t size) {
  if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (text != MAP_FAILED) {
      // The text ends in a NUL the keymap compiler does not want.
      const char* chars = static_cast<const char*>(text);
      std::size_t length = size;
      while (length > 0 && chars[length - 1] == '\0') --length;
      pending_keymap_.assign(chars, length);
      munmap(text, size);
    }
  }
  close(fd);
  StopRepeat();
}

void WaylandWindowSystem::CompilePendingKeymap() {
  if (pending_keymap_.empty()) return;
  keys_.SetKeymapText(pending_keymap_);
  pending_keymap_.clear();
  keys_.SetModifiers(modifiers_[0], modifiers_[1], modifiers_[2], 0, 0, modifiers_[3]);
}

void WaylandWindowSystem::KeyboardEnter(wl_surface* surface) {
  WaylandWindow* window = FindSurface(surface);
  if (window == nullptr) return;
  keyboard_window_ = window->Id();
  if (window->Minimized()) {
    window->NoteRestored();
    PushWindowEvent(EventType::kRestored, window->Id());
  }
  KeyboardTargetMayHaveChanged();
}

void WaylandWindowSystem::KeyboardLeave() {
  StopRepeat();
  // Keys held now go up unseen elsewhere.
  keys_.ForgetKeysDown();
  keyboard_window_ = 0;
  KeyboardTargetMayHaveChanged();
}

void WaylandWindowSystem::KeyboardKey(std::uint32_t serial, std::uint32_t key,
                                      std::uint32_t state) {
  // XKB numbers keys from the evdev code plus 8.
  const std::uint32_t keycode = key + 8;
  const bool pressed = state == WL_KEYBOARD_KEY_STATE_PRESSED;
  if (pressed) input_serial_ = serial;
  CompilePendingKeymap();
  PushKey(keycode, pressed);
  if (!pressed) {
    StopRepeat();
  } else if (repeat_rate_ > 0 && keys_.Repeats(keycode)) {
    ScheduleRepeat(keycode, repeat_delay_ms_);
  }
}

void WaylandWindowSystem::PushKey(std::uint32_t keycode, bool pressed) {
  const XkbKeyboard::KeyResult result = pressed ? keys_.Press(keycode) : keys_.Release(keycode);
  const WindowId target = KeyboardTarget();
  if (target == 0) return;
  for (Event event : KeyEvents(result, pressed, buttons_held_)) {
    event.window = target;
    Push(event);
  }
}

// The compositor sends a held key once: its repeats are ours to make.
void WaylandWindowSystem::ScheduleRepeat(std::uint32_t keycode, int after_ms) {
  StopRepeat();
  repeat_watch_ = LoopWatches::Instance().CallAt(
      TickCount() + static_cast<std::uint64_t>(after_ms), [this, keycode] {
        repeat_watch_ = 0;
        PushKey(keycode, true);
        ScheduleRepeat(keycode, std::max(1, 1000 / repeat_rate_));
      });
}

void WaylandWindowSystem::StopRepeat() {
  if (repeat_watch_ != 0) LoopWatches::Instance().Remove(repeat_watch_);
  repeat_watch_ = 0;
}

void WaylandWindowSystem::KeyboardModifiers(std::uint32_t depressed, std::uint32_t latched,
                                            std::uint32_t locked, std::uint32_t group) {
  modifiers_ = {depressed, latched, locked, group};
  if (pending_keymap_.empty()) keys_.SetModifiers(depressed, latched, locked, 0, 0, group);
}

void WaylandWindowSystem::KeyboardRepeat(std::int32_t rate, std::int32_t delay) {
  repeat_rate_ = std::clamp(rate, 0, 1000);
  repeat_delay_ms_ = std::max(delay, 0);
  if (repeat_rate_ == 0) StopRepeat();
}

}  // namespace orlit
