#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/EventQueue.h"
#include "platform/LoopWatches.h"
#include "platform/QuitSignals.h"
#include "platform/WindowSystem.h"
#include "platform/XkbKeyboard.h"
#include "platform/wayland/WaylandCursors.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandLibrary.h"

namespace orlit {

class WaylandClipboard;
class WaylandWindow;

// A Wayland desktop, spoken to through libwayland-client with no toolkit. One per process; the
// windows it creates must be destroyed before it.
//
// Keys are translated as on X (XkbKeyboard) through the keymap the compositor sends, which may be
// replaced at any time; held keys repeat at the compositor's rate and delay. Mouse events come in
// window pixels, which are the compositor's surface units. While a button is held the compositor
// keeps sending the pointer to the window it went down in, which serves as the capture.
//
// The compositor tells a window neither where it is nor where the pointer is on the screen:
// screen coordinates are the windows' Position()s, places the program chose, plus the pointer
// in the window.
//
// SIGINT and SIGTERM, when nobody else has claimed them, become kQuit (QuitSignals).
class WaylandWindowSystem final : public WindowSystem {
 public:
  // Throws EWindowSystemError when no compositor answers or it cannot show our windows.
  WaylandWindowSystem();
  ~WaylandWindowSystem() override;

  std::unique_ptr<NativeWindow> CreateWindow(const WindowParams& params) override;
  TRect DesktopRect() const override;
  std::vector<TRect> MonitorRects() const override;
  TPoint CursorPos() const override;
  void SetCapture(WindowId window) override { capture_ = Find(window) != nullptr ? window : 0; }
  WindowId Capture() const override { return capture_; }
  bool PollEvent(Event* event) override;
  bool WaitEvent(Event* event) override;
  void PostQuit(int exit_code) override;
  PeerWaitResult WaitForPeer(int fd, int timeout_ms) override;
  TimerId SetTimer(std::uint32_t interval_ms) override;
  void KillTimer(TimerId timer) override;
  std::uint64_t TickCount() const override;
  std::uint32_t DoubleClickTime() const override { return EventQueue::kDoubleClickTimeMs; }
  // ORLIT_SCALE, else the largest scale any shown window is wanted at (WaylandWindow::
  // PreferredScale), else the largest scale of the screens; fractional only where the compositor
  // has viewports. Followed as windows move between screens and screens change their scale, each
  // change a kScaleChanged to every window.
  double Scale() const override { return scale_; }
  // The clipboard as WaylandClipboard keeps it.
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& text) override;
  bool ClipboardHasPicture() const override;
  std::optional<PixelImage> ClipboardPicture() const override;
  void SetClipboardPicture(const PixelImage& picture) override;
  // No bell reaches the desktop through the protocols this compositor generation has.
  void Beep() override {}

  // For the seat's events.
  void SeatCapabilities(std::uint32_t capabilities);
  void PointerEnter(std::uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y);
  void PointerLeave(wl_surface* surface);
  void PointerMotion(wl_fixed_t x, wl_fixed_t y);
  void PointerButton(std::uint32_t serial, std::uint32_t time, std::uint32_t button,
                     std::uint32_t state);
  void PointerAxis(std::uint32_t axis, wl_fixed_t value);
  void PointerAxisDiscrete(std::uint32_t axis, std::int32_t steps);
  void PointerFrame();
  void KeyboardKeymap(std::uint32_t format, int fd, std::uint32_t size);
  void KeyboardEnter(wl_surface* surface);
  void KeyboardLeave();
  void KeyboardKey(std::uint32_t serial, std::uint32_t key, std::uint32_t state);
  void KeyboardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                         std::uint32_t group);
  void KeyboardRepeat(std::int32_t rate, std::int32_t delay);

 private:
  friend class WaylandWindow;

  WaylandDisplay& Display() const { return *display_; }
  WindowId Register(WaylandWindow* window);
  void Unregister(WindowId window);
  WaylandWindow* Find(WindowId window) const;
  WaylandWindow* FindSurface(const wl_surface* surface) const;
  int CursorScale() const;
  void ShowCursor(const WaylandWindow& window);
  // Ends the buttons held in a window whose move the compositor took over.
  void ReleaseButtonsForMove(WaylandWindow& window);
  std::uint32_t LastButtonSerial() const { return button_serial_; }
  // Of the last key or button press, which the compositor asks of a request made for the user.
  std::uint32_t LastInputSerial() const { return input_serial_; }
  WaylandClipboard& Clipboard() const;
  // Where keys go: the popup holding the keyboard over the window that has it, else that window;
  // 0 when none of ours has it.
  WindowId KeyboardTarget() const;
  // Tells the windows that gained and lost the keyboard.
  void KeyboardTargetMayHaveChanged();
  void ScaleMayHaveChanged();
  double WantedScale() const;
  void DismissPopupsOver(WindowId owner);
  // The activation token the launcher gave the program, once; empty afterwards or without one.
  std::string TakeStartToken() { return std::exchange(start_token_, {}); }

  // Reads what the compositor has sent, due timers and quit signals into the queue; with `wait`,
  // until at least one of them has come.
  void Pump(bool wait);
  void Push(const Event& event) { events_.Push(event, TickCount()); }
  void PushWindowEvent(EventType type, WindowId window) {
    events_.PushWindowEvent(type, window, TickCount());
  }
  void PushMouse(Event event);
  void PushWheel(int notches);
  void PushKey(std::uint32_t keycode, bool pressed);
  void CompilePendingKeymap();
  void ScheduleRepeat(std::uint32_t keycode, int after_ms);
  void StopRepeat();

  std::unique_ptr<WaylandDisplay> display_;
  std::optional<double> scale_setting_;  // ORLIT_SCALE
  double scale_ = 1;
  std::unique_ptr<WaylandCursors> cursors_;
  std::unique_ptr<WaylandClipboard> clipboard_;
  std::uint32_t input_serial_ = 0;
  std::string start_token_;  // for the compositor's activation
  QuitSignals quit_signals_;
  std::map<WindowId, WaylandWindow*> windows_;
  WindowId next_id_ = 1;
  EventQueue events_;
  WindowId capture_ = 0;

  WaylandPtr<wl_pointer> pointer_;
  WindowId pointer_window_ = 0;
  TPoint pointer_position_;  // in pointer_window_
  std::uint32_t enter_serial_ = 0;
  std::uint32_t button_serial_ = 0;
  ShiftState buttons_held_ = 0;
  double axis_value_ = 0;  // wheel turned in this pointer frame, in the compositor's units
  int axis_steps_ = 0;     // notches of it, where the compositor counts them

  WaylandPtr<wl_keyboard> keyboard_;
  XkbKeyboard keys_;
  std::string pending_keymap_;                // sent, not compiled yet
  std::array<std::uint32_t, 4> modifiers_{};  // depressed, latched, locked, group
  WindowId keyboard_window_ = 0;
  int repeat_rate_ = 25;  // per second; 0 for no repeat
  int repeat_delay_ms_ = 600;
  LoopWatches::WatchId repeat_watch_ = 0;
};

}  // namespace orlit
