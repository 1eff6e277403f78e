#include "platform/xcb/XcbWindowSystem.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/DisplayScale.h"
#include "platform/QuitSignals.h"
#include "platform/xcb/XcbClipboard.h"
#include "platform/xcb/XcbKeyboard.h"
#include "platform/xcb/XcbWindow.h"

namespace orlit {

namespace {

// Shift, Ctrl and Alt of a core event's state.
ShiftState ModifiersOfState(std::uint16_t state) {
  ShiftState shift = 0;
  if (state & XCB_MOD_MASK_SHIFT) shift |= kShiftStateShift;
  if (state & XCB_MOD_MASK_CONTROL) shift |= kShiftStateCtrl;
  if (state & XCB_MOD_MASK_1) shift |= kShiftStateAlt;
  return shift;
}

ShiftState ButtonsOfState(std::uint16_t state) {
  ShiftState shift = 0;
  if (state & XCB_BUTTON_MASK_1) shift |= kShiftStateLeft;
  if (state & XCB_BUTTON_MASK_2) shift |= kShiftStateMiddle;
  if (state & XCB_BUTTON_MASK_3) shift |= kShiftStateRight;
  return shift;
}

bool MouseButtonOfDetail(xcb_button_t detail, MouseButton* button) {
  switch (detail) {
    case 1:
      *button = MouseButton::kLeft;
      return true;
    case 2:
      *button = MouseButton::kMiddle;
      return true;
    case 3:
      *button = MouseButton::kRight;
      return true;
    default:
      return false;
  }
}

TRect LogicalRect(int x, int y, int width, int height, double scale) {
  const TPoint top_left = ToLogical({x, y}, scale);
  const TPoint bottom_right = ToLogical({x + width, y + height}, scale);
  return {top_left.X, top_left.Y, bottom_right.X, bottom_right.Y};
}

}  // namespace

XcbWindowSystem::XcbWindowSystem()
    : connection_(std::make_unique<XcbConnection>()), cursors_(*connection_) {
  xcb_connection_t* c = connection_->Get();
  // The start waits for the server once: the extensions and the resources are asked with the
  // atoms and answered with them.
  xcb_prefetch_extension_data(c, &xcb_randr_id);
  const std::optional<double> setting = ScaleFactorSetting();
  const std::optional<xcb_get_property_cookie_t> resources =
      setting ? std::nullopt : std::optional(connection_->AskResources());
  connection_->InternAtoms({"WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_STATE", "WM_CHANGE_STATE",
                            "_MOTIF_WM_HINTS", "_NET_WM_NAME", "_NET_WM_ICON", "_NET_WM_PID",
                            "_NET_ACTIVE_WINDOW", "_NET_WM_USER_TIME", "UTF8_STRING"});
  scale_ = setting ? *setting : ChooseScaleFactor(nullptr, connection_->Resources(*resources));
  // What the first window needs next, asked now and answered while it is laid out.
  xcb_prefetch_maximum_request_length(c);
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (randr != nullptr && randr->present != 0) {
    monitors_asked_ = xcb_randr_get_monitors(c, connection_->Root(), 1);
  }
  connection_->Flush();
}

XcbWindowSystem::~XcbWindowSystem() = default;

std::unique_ptr<NativeWindow> XcbWindowSystem::CreateWindow(const WindowParams& params) {
  return std::make_unique<XcbWindow>(this, params);
}

std::vector<TRect> XcbWindowSystem::MonitorRects() const {
  std::vector<TRect> monitors;
  xcb_connection_t* c = connection_->Get();
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (randr != nullptr && randr->present != 0) {
    const xcb_randr_get_monitors_cookie_t cookie =
        monitors_asked_ ? *std::exchange(monitors_asked_, std::nullopt)
                        : xcb_randr_get_monitors(c, connection_->Root(), 1);
    XcbReplyPtr<xcb_randr_get_monitors_reply_t> reply(
        xcb_randr_get_monitors_reply(c, cookie, nullptr));
    if (reply) {
      for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
           xcb_randr_monitor_info_next(&it)) {
        const TRect bounds =
            LogicalRect(it.data->x, it.data->y, it.data->width, it.data->height, scale_);
        // The primary screen first: centring uses it.
        if (it.data->primary) {
          monitors.insert(monitors.begin(), bounds);
        } else {
          monitors.push_back(bounds);
        }
      }
    }
  }
  if (monitors.empty()) {
    const xcb_screen_t& screen = connection_->Screen();
    monitors.push_back(LogicalRect(0, 0, screen.width_in_pixels, screen.height_in_pixels, scale_));
  }
  return monitors;
}

TRect XcbWindowSystem::DesktopRect() const { return MonitorRects().front(); }

TPoint XcbWindowSystem::CursorPos() const {
  xcb_connection_t* c = connection_->Get();
  XcbReplyPtr<xcb_query_pointer_reply_t> pointer(
      xcb_query_pointer_reply(c, xcb_query_pointer(c, connection_->Root()), nullptr));
  if (!pointer) return {};
  return ToLogical({pointer->root_x, pointer->root_y}, scale_);
}

void XcbWindowSystem::SetCapture(WindowId window) {
  XcbWindow* captor = Find(window);
  xcb_connection_t* c = connection_->Get();
  if (captor != nullptr) {
    // Our own windows still get their own events; everything else comes to the captor.
    constexpr std::uint16_t kMask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                    XCB_EVENT_MASK_LEAVE_WINDOW;
    xcb_grab_pointer(c, 1, captor->Handle(), kMask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                     XCB_NONE, XCB_NONE, XCB_CURRENT_TIME);
  } else if (capture_ != 0) {
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
  }
  capture_ = captor != nullptr ? window : 0;
  connection_->Flush();
}

bool XcbWindowSystem::PollEvent(Event* event) {
  if (events_.Take(event)) return true;
  Pump(false);
  return events_.Take(event);
}

bool XcbWindowSystem::WaitEvent(Event* event) {
  for (;;) {
    if (events_.Take(event)) return true;
    Pump(true);
  }
}

void XcbWindowSystem::PostQuit(int exit_code) { events_.PushQuit(exit_code, TickCount()); }

TimerId XcbWindowSystem::SetTimer(std::uint32_t interval_ms) {
  return events_.SetTimer(interval_ms, TickCount());
}

void XcbWindowSystem::KillTimer(TimerId timer) { events_.KillTimer(timer); }

std::uint64_t XcbWindowSystem::TickCount() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

XcbClipboard& XcbWindowSystem::Clipboard() const {
  if (!clipboard_) {
    clipboard_ = std::make_unique<XcbClipboard>(*connection_, quit_signals_.FileDescriptor());
  }
  return *clipboard_;
}

std::string XcbWindowSystem::ClipboardText() const { return Clipboard().Text(); }

void XcbWindowSystem::SetClipboardText(const std::string& text) { Clipboard().SetText(text); }

bool XcbWindowSystem::ClipboardHasPicture() const { return Clipboard().HasPicture(); }

std::optional<PixelImage> XcbWindowSystem::ClipboardPicture() const {
  return Clipboard().Picture();
}

void XcbWindowSystem::SetClipboardPicture(const PixelImage& picture) {
  Clipboard().SetPicture(picture);
}

void XcbWindowSystem::Beep() {
  xcb_bell(connection_->Get(), 0);
  connection_->Flush();
}

void XcbWindowSystem::Register(XcbWindow* window) {
  windows_[window->Id()] = window;
  events_.AddWindow(window->Id());
}

void XcbWindowSystem::Unregister(WindowId window) {
  if (capture_ == window) SetCapture(0);
  windows_.erase(window);
  events_.RemoveWindow(window);
}

XcbWindow* XcbWindowSystem::Find(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

PeerWaitResult XcbWindowSystem::WaitForPeer(int fd, int timeout_ms) {
  const std::uint64_t deadline = TickCount() + static_cast<std::uint64_t>(std::max(timeout_ms, 0));
  for (;;) {
    Pump(false);
    if (events_.QuitOrCloseQueued()) return PeerWaitResult::kInterrupted;
    const std::uint64_t now = TickCount();
    connection_->Flush();
    const int quit_fd = quit_signals_.FileDescriptor();
    pollfd ready[3] = {{fd, POLLIN, 0},
                       {xcb_get_file_descriptor(connection_->Get()), POLLIN, 0},
                       {quit_fd, POLLIN, 0}};
    const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
    const int result = poll(ready, quit_fd >= 0 ? 3 : 2, left);
    if (result < 0 && errno != EINTR) throw EWindowSystemError("Cannot wait for events");
    if (result > 0 && ready[0].revents != 0) return PeerWaitResult::kReady;
    if (result == 0) return PeerWaitResult::kTimedOut;
  }
}

void XcbWindowSystem::Flush() {
  for (const auto& [id, window] : windows_) window->RevealPresented();
  connection_->Flush();
}

void XcbWindowSystem::Pump(bool wait) {
  Flush();  // what was drawn since the last pass
  for (;;) {
    while (XcbEventPtr event = connection_->NextEvent()) Translate(*event);
    connection_->CheckAlive();
    events_.FireDueTimers(TickCount());
    if (quit_signals_.Take()) PostQuit(0);
    if (!events_.Empty() || !wait) return;
    for (const auto& [id, window] : windows_) window->ApplyCursorHeldBack();
    connection_->Flush();
    const int fds[] = {xcb_get_file_descriptor(connection_->Get()), quit_signals_.FileDescriptor()};
    events_.WaitForInput(fds, TickCount());
  }
}

void XcbWindowSystem::Translate(const xcb_generic_event_t& event) {
  if (clipboard_ && clipboard_->HandleEvent(event)) return;
  if (keyboard_ && keyboard_->HandleEvent(event)) return;
  switch (XcbEventType(event)) {
    case 0: {
      const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
      // A window the server has already destroyed (a race at shutdown) is harmless.
      if (error.error_code != XCB_WINDOW) {
        std::fprintf(stderr, "orlit_cfs: X error %d on request %d\n", error.error_code,
                     error.major_code);
      }
      return;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
      const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
      TranslateKey(key, XcbEventType(event) == XCB_KEY_PRESS);
      return;
    }
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
      const auto& button = reinterpret_cast<const xcb_button_press_event_t&>(event);
      TranslateButton(button, XcbEventType(event) == XCB_BUTTON_PRESS);
      return;
    }
    case XCB_MOTION_NOTIFY:
      TranslateMotion(reinterpret_cast<const xcb_motion_notify_event_t&>(event));
      return;
    case XCB_ENTER_NOTIFY: {
      const auto& enter = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
      connection_->NoteTime(enter.time);
      if (XcbWindow* window = Find(enter.event)) window->ApplyCursor();
      return;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto& leave = reinterpret_cast<const xcb_leave_notify_event_t&>(event);
      connection_->NoteTime(leave.time);
      if (leave.detail == XCB_NOTIFY_DETAIL_INFERIOR || leave.mode != XCB_NOTIFY_MODE_NORMAL ||
          capture_ == leave.event || Find(leave.event) == nullptr) {
        return;
      }
      PushWindowEvent(EventType::kMouseLeave, leave.event);
      return;
    }
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT: {
      const auto& focus = reinterpret_cast<const xcb_focus_in_event_t&>(event);
      // Grabs by the window manager and focus passing through the pointer are not changes of
      // the window's own focus.
      if (focus.mode == XCB_NOTIFY_MODE_GRAB || focus.mode == XCB_NOTIFY_MODE_UNGRAB ||
          focus.detail == XCB_NOTIFY_DETAIL_POINTER || focus.detail == XCB_NOTIFY_DETAIL_INFERIOR) {
        return;
      }
      XcbWindow* window = Find(focus.event);
      const bool gained = XcbEventType(event) == XCB_FOCUS_IN;
      if (window == nullptr || !window->NoteFocus(gained)) return;
      // Keys held now go up unseen elsewhere.
      if (!gained && keyboard_) keyboard_->ForgetKeysDown();
      PushWindowEvent(gained ? EventType::kFocusGained : EventType::kFocusLost, focus.event);
      return;
    }
    case XCB_EXPOSE: {
      const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
      XcbWindow* window = Find(expose.window);
      if (window == nullptr || expose.count != 0) return;
      PushWindowEvent(EventType::kExposed, expose.window);
      return;
    }
    case XCB_MAP_NOTIFY: {
      const auto& map = reinterpret_cast<const xcb_map_notify_event_t&>(event);
      XcbWindow* window = Find(map.window);
      if (window == nullptr || !window->NoteMapped()) return;
      PushWindowEvent(EventType::kRestored, map.window);
      return;
    }
    case XCB_REPARENT_NOTIFY: {
      const auto& reparent = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
      if (XcbWindow* window = Find(reparent.window)) {
        window->NoteReparented(reparent.parent == connection_->Root());
      }
      return;
    }
    case XCB_CONFIGURE_NOTIFY: {
      const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
      XcbWindow* window = Find(configure.window);
      if (window == nullptr || !window->NoteConfigure(configure)) return;
      Event out;
      out.type = EventType::kMoved;
      out.window = configure.window;
      out.position = window->Position();  // in screen coordinates
      Push(out);
      return;
    }
    case XCB_PROPERTY_NOTIFY: {
      const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      connection_->NoteTime(property.time);
      XcbWindow* window = Find(property.window);
      if (window == nullptr || property.atom != connection_->Atom("WM_STATE") ||
          !window->NoteWindowManagerState()) {
        return;
      }
      PushWindowEvent(window->Minimized() ? EventType::kMinimized : EventType::kRestored,
                      property.window);
      return;
    }
    case XCB_CLIENT_MESSAGE:
      TranslateClientMessage(reinterpret_cast<const xcb_client_message_event_t&>(event));
      return;
    default:
      return;
  }
}

void XcbWindowSystem::TranslateClientMessage(const xcb_client_message_event_t& message) {
  if (message.format != 32 || message.type != connection_->Atom("WM_PROTOCOLS") ||
      message.data.data32[0] != connection_->Atom("WM_DELETE_WINDOW") ||
      Find(message.window) == nullptr) {
    return;
  }
  PushWindowEvent(EventType::kCloseRequest, message.window);
}

void XcbWindowSystem::TranslateKey(const xcb_key_press_event_t& key, bool pressed) {
  connection_->NoteTime(key.time);
  // The keymap is read when the first key comes, not before the first frame.
  if (!keyboard_) keyboard_ = std::make_unique<XcbKeyboard>(*connection_);
  const XcbKeyboard::KeyResult result =
      pressed ? keyboard_->Press(key.detail) : keyboard_->Release(key.detail);
  XcbWindow* window = Find(key.event);
  if (window == nullptr) return;
  if (pressed) window->NoteUserTime(key.time);
  for (Event event : KeyEvents(result, pressed, ButtonsOfState(key.state))) {
    event.window = key.event;
    Push(event);
  }
}

void XcbWindowSystem::TranslateButton(const xcb_button_press_event_t& button, bool pressed) {
  connection_->NoteTime(button.time);
  XcbWindow* window = Find(button.event);
  if (window == nullptr) return;
  Event event;
  const TPoint root{button.root_x, button.root_y};
  if (button.detail == 4 || button.detail == 5) {
    // The wheel comes as presses of buttons 4 (away from the user) and 5, each with a release.
    if (!pressed) return;
    event.type = EventType::kMouseWheel;
    event.wheel_delta = button.detail == 4 ? 120 : -120;
    PushMouse(event, window, root, button.state);
    return;
  }
  if (!MouseButtonOfDetail(button.detail, &event.button)) return;
  if (pressed) window->NoteUserTime(button.time);
  const ShiftState this_button = ShiftStateOfButton(event.button);
  buttons_held_ = ButtonsOfState(button.state);
  if (pressed) {
    buttons_held_ |= this_button;
    const bool double_click =
        events_.CountPress(event.button, ToLogical(root, scale_), button.time);
    event.type = double_click ? EventType::kMouseDoubleClick : EventType::kMouseDown;
    if (double_click) event.shift |= kShiftStateDouble;
  } else {
    buttons_held_ &= static_cast<ShiftState>(~this_button);
    event.type = EventType::kMouseUp;
  }
  PushMouse(event, window, root, button.state);
}

void XcbWindowSystem::TranslateMotion(const xcb_motion_notify_event_t& motion) {
  connection_->NoteTime(motion.time);
  XcbWindow* window = Find(motion.event);
  if (window == nullptr) return;
  buttons_held_ = ButtonsOfState(motion.state);
  Event event;
  event.type = EventType::kMouseMove;
  PushMouse(event, window, {motion.root_x, motion.root_y}, motion.state);
}

void XcbWindowSystem::PushMouse(Event event, XcbWindow* window, TPoint root, std::uint16_t state) {
  const TPoint screen = ToLogical(root, scale_);
  // With the capture the mouse belongs to the capturing window wherever it is.
  XcbWindow* target = window;
  if (XcbWindow* captor = Find(capture_); captor != nullptr) target = captor;
  const TPoint origin = target->Position();
  event.window = target->Id();
  event.position = {screen.X - origin.X, screen.Y - origin.Y};
  event.shift |= ModifiersOfState(state) | buttons_held_;
  Push(event);
}

}  // namespace orlit
