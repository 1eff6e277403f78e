#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/WindowSystem.h"

namespace orlit {

// A desktop in memory for tests and screenshots. Windows present into an in-memory screen; the
// test injects keyboard and mouse input, which comes out as the same event sequences the real
// desktop gives, and moves a virtual clock on which timers fire. Nothing happens by itself.
class HeadlessWindowSystem final : public WindowSystem {
 public:
  static constexpr TSize kDefaultDesktopSize{1024, 768};
  static constexpr std::uint32_t kDoubleClickTimeMs = EventQueue::kDoubleClickTimeMs;
  static constexpr std::uint32_t kDesktopColor = 0x3A6EA5;

  // What a test can see of a window.
  struct WindowState {
    WindowId id = 0;
    std::string title;
    TRect bounds;  // screen coordinates
    bool visible = false;
    bool minimized = false;
    WindowId owner = 0;  // kept above it, as window managers keep a dialog above its window
    CursorShape cursor = CursorShape::kArrow;
    PixelImage pixels;  // what the window last presented, black before
    PixelImage icon;
    int present_count = 0;
    TRect last_dirty;  // of the last present, clipped to the window
  };

  // Frames come at `scale` (Scale); windows and the screen keep their pixels at 96 dpi, each
  // taken from the top-left device pixel of its square.
  explicit HeadlessWindowSystem(TSize desktop_size = kDefaultDesktopSize, double scale = 1);
  ~HeadlessWindowSystem() override;

  // WindowSystem.
  std::unique_ptr<NativeWindow> CreateWindow(const WindowParams& params) override;
  TRect DesktopRect() const override;
  std::vector<TRect> MonitorRects() const override;
  TPoint CursorPos() const override { return cursor_; }
  void SetCapture(WindowId window) override;
  WindowId Capture() const override { return capture_; }
  bool PollEvent(Event* event) override;
  bool WaitEvent(Event* event) override;
  // The descriptor is waited on in real time; queued quit and close requests interrupt.
  PeerWaitResult WaitForPeer(int fd, int timeout_ms) override;
  void PostQuit(int exit_code) override;
  TimerId SetTimer(std::uint32_t interval_ms) override;
  void KillTimer(TimerId timer) override;
  std::uint64_t TickCount() const override { return clock_ms_; }
  std::uint32_t DoubleClickTime() const override { return kDoubleClickTimeMs; }
  double Scale() const override { return scale_; }
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& text) override;
  bool ClipboardHasPicture() const override;
  std::optional<PixelImage> ClipboardPicture() const override;
  void SetClipboardPicture(const PixelImage& picture) override;
  void Beep() override { ++beep_count_; }

  // Virtual time: moves the clock on and fires the timers at each moment they fall due on the
  // way (timers due at the same moment in the order they were set). As on the desktop, a timer
  // whose firing has not been taken yet queues no other.
  void AdvanceTime(std::uint64_t ms);
  // Called by WaitEvent when the queue is empty, so a test can answer a nested loop (a modal box)
  // by injecting input. WaitEvent answers false if the queue is still empty afterwards.
  void SetIdleHandler(std::function<void()> handler) { idle_handler_ = std::move(handler); }

  // Keyboard, to the focused window; nothing happens while no window has the focus.
  // KeyDown and KeyUp of VK_SHIFT, VK_CONTROL and VK_MENU change the shift state of what follows.
  void KeyDown(int key, bool repeat = false);
  void KeyUp(int key);
  void TypeCharacter(char32_t character);
  // The modifier keys of `shift` not yet held are pressed first and released last; the key-down
  // is followed by the character a US keyboard gives for it, if any.
  void PressKey(int key, ShiftState shift = 0);
  // Each character through PressKey when a US keyboard has a key for it ("\r", "\t", "\b" and
  // "\x1b" included), otherwise as a character alone, as an input method gives it.
  void TypeText(std::string_view utf8);

  // Mouse, in screen coordinates. Events go to the window with the capture, else to the window
  // in which a held button was pressed, else to the topmost shown window under the pointer.
  // Pressing a button over an enabled window that lacks the focus raises and focuses it first.
  void MoveMouse(TPoint screen);
  void MouseDown(MouseButton button = MouseButton::kLeft);
  void MouseUp(MouseButton button = MouseButton::kLeft);
  void Wheel(int notches);
  void Click(TPoint screen, MouseButton button = MouseButton::kLeft);
  void DoubleClick(TPoint screen, MouseButton button = MouseButton::kLeft);
  // Screen coordinates of a point given in a window's client coordinates.
  TPoint ScreenPoint(WindowId window, TPoint client) const;

  // What the desktop's own controls do: the close command, the taskbar button.
  void RequestClose(WindowId window);
  // The desktop's locale or other settings changed.
  void ChangeSettings();
  void MinimizeFromTaskbar(WindowId window);
  void RestoreFromTaskbar(WindowId window);

  // The clipboard as another program sees it: data by MIME type ("text/plain;charset=utf-8" for
  // text). Setting replaces everything it held, as taking the clipboard over does.
  void SetClipboardData(std::map<std::string, std::vector<std::uint8_t>> data);
  const std::map<std::string, std::vector<std::uint8_t>>& ClipboardData() const {
    return clipboard_;
  }

  // Inspection.
  const WindowState* Window(WindowId window) const;
  std::vector<WindowId> ZOrder() const { return z_order_; }  // bottom to top
  WindowId FocusedWindow() const { return focused_; }
  WindowId WindowAt(TPoint screen) const;  // topmost shown window, 0 for the desktop
  CursorShape CurrentCursor() const;       // of the window that would get the next mouse event
  std::size_t QueuedEvents() const { return events_.Size(); }
  bool WindowEnabled(WindowId window) const { return events_.Enabled(window); }
  int BeepCount() const { return beep_count_; }
  // The desktop with every shown, not minimised window at its place, bottom to top.
  PixelImage Screen() const;
  void WriteScreenshot(const std::string& png_path) const;
  void WriteWindowScreenshot(WindowId window, const std::string& png_path) const;

 private:
  class WindowHandle;
  friend class WindowHandle;

  WindowState* Find(WindowId window);
  void Queue(const Event& event) { events_.Push(event, clock_ms_); }
  void QueueWindowEvent(EventType type, WindowId window) {
    events_.PushWindowEvent(type, window, clock_ms_);
  }
  ShiftState CurrentShift() const;
  WindowId MouseTarget() const;
  // Follows the window under the pointer. A window that comes under a resting pointer (shown,
  // raised, moved) gets a mouse move, as the real desktop's enter notification gives one.
  void UpdateHover(bool report_enter = true);
  void QueueMouseEvent(EventType type, WindowId window, MouseButton button, int wheel_delta,
                       ShiftState extra_shift = 0);
  void SetFocus(WindowId window);
  void BringToTop(WindowId window);

  // Window operations, reached through the NativeWindow objects.
  void DestroyWindow(WindowId window);
  void ShowWindow(WindowId window);
  void HideWindow(WindowId window);
  void MinimizeWindow(WindowId window);
  void RestoreWindow(WindowId window);
  void FocusWindow(WindowId window);
  void MoveWindow(WindowId window, TPoint top_left);
  void ResizeWindow(WindowId window, TSize size);
  void PresentWindow(WindowId window, const FrameView& frame, const TRect& dirty);

  TSize desktop_size_;
  double scale_;
  std::uint64_t clock_ms_ = 0;
  std::map<WindowId, WindowState> windows_;
  std::vector<WindowId> z_order_;
  WindowId next_window_ = 1;
  WindowId focused_ = 0;
  WindowId capture_ = 0;
  WindowId hover_ = 0;         // the window the pointer was last reported over
  WindowId press_window_ = 0;  // takes the mouse while a button is held
  TPoint cursor_;
  ShiftState keys_held_ = 0;
  ShiftState buttons_held_ = 0;
  EventQueue events_;
  std::function<void()> idle_handler_;
  bool in_idle_handler_ = false;
  std::map<std::string, std::vector<std::uint8_t>> clipboard_;
  int beep_count_ = 0;
};

}  // namespace orlit
