#pragma once

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventQueue.h"
#include "platform/WindowSystem.h"
#include "platform/QuitSignals.h"
#include "platform/xcb/XcbConnection.h"
#include "platform/xcb/XcbCursors.h"

namespace orlit {

class XcbClipboard;
class XcbKeyboard;
class XcbWindow;

// The real desktop: an X server, spoken to through xcb. One per process; the windows it creates
// must be destroyed before it.
//
// Characters: the keyboard's text (layout, dead keys and compose) follows the key-down that
// typed it, one event per code point. Keys that type nothing by themselves get their character
// right after their key-down (ControlCharacterForKey): Enter 13, Tab 9, Backspace 8, Escape 27,
// Ctrl+letter 1..26, as the desktop's edit controls expect. Text typed while Ctrl is held
// without Alt is dropped.
//
// The queue, timers and double clicks are the shared EventQueue's; timers fire from the
// loop's wait.
//
// SIGINT and SIGTERM, when nobody else has claimed them, become kQuit (QuitSignals).
class XcbWindowSystem final : public WindowSystem {
 public:
  // Throws EWindowSystemError when there is no display.
  XcbWindowSystem();
  ~XcbWindowSystem() override;

  std::unique_ptr<NativeWindow> CreateWindow(const WindowParams& params) override;
  TRect DesktopRect() const override;
  std::vector<TRect> MonitorRects() const override;
  TPoint CursorPos() const override;
  void SetCapture(WindowId window) override;
  WindowId Capture() const override { return capture_; }
  void Flush() override;
  bool PollEvent(Event* event) override;
  bool WaitEvent(Event* event) override;
  void PostQuit(int exit_code) override;
  PeerWaitResult WaitForPeer(int fd, int timeout_ms) override;
  TimerId SetTimer(std::uint32_t interval_ms) override;
  void KillTimer(TimerId timer) override;
  std::uint64_t TickCount() const override;
  std::uint32_t DoubleClickTime() const override { return EventQueue::kDoubleClickTimeMs; }
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& text) override;
  bool ClipboardHasPicture() const override;
  std::optional<PixelImage> ClipboardPicture() const override;
  void SetClipboardPicture(const PixelImage& picture) override;
  void Beep() override;

  // ORLIT_SCALE, else from the server's Xft.dpi (ChooseScaleFactor).
  double Scale() const override { return scale_; }

 private:
  friend class XcbWindow;

  XcbConnection& Connection() const { return *connection_; }
  void Register(XcbWindow* window);
  void Unregister(WindowId window);
  XcbWindow* Find(WindowId window) const;
  XcbClipboard& Clipboard() const;

  // Reads what the server has sent, due timers and quit signals into the queue; with `wait`,
  // until at least one of them has come.
  void Pump(bool wait);
  void Push(const Event& event) { events_.Push(event, TickCount()); }
  void PushWindowEvent(EventType type, WindowId window) {
    events_.PushWindowEvent(type, window, TickCount());
  }
  void Translate(const xcb_generic_event_t& event);
  void TranslateKey(const xcb_key_press_event_t& key, bool pressed);
  void TranslateButton(const xcb_button_press_event_t& button, bool pressed);
  void TranslateMotion(const xcb_motion_notify_event_t& motion);
  // Sends a mouse event at `root` (screen pixels) over `window`, to the capturing window
  // instead when there is one.
  void PushMouse(Event event, XcbWindow* window, TPoint root, std::uint16_t state);
  void TranslateClientMessage(const xcb_client_message_event_t& message);

  std::unique_ptr<XcbConnection> connection_;
  double scale_ = 1;
  // The screens asked for at connection, answered with its other first questions; the first
  // MonitorRects takes the answer.
  mutable std::optional<xcb_randr_get_monitors_cookie_t> monitors_asked_;
  std::unique_ptr<XcbKeyboard> keyboard_;
  mutable std::unique_ptr<XcbClipboard> clipboard_;
  XcbCursors cursors_;
  QuitSignals quit_signals_;
  std::map<WindowId, XcbWindow*> windows_;
  EventQueue events_;
  WindowId capture_ = 0;
  ShiftState buttons_held_ = 0;
};

}  // namespace orlit
