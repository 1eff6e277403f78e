#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DisplayScale.h"
#include "platform/WindowSystem.h"
#include "platform/sdl/SdlVideo.h"
#include "platform/sdl/X11PictureClipboard.h"

namespace orlit {

class SdlWindow;

// The real desktop through SDL2 (X11 or Wayland). One per process; windows it creates must be
// destroyed before it.
//
// Characters: text input (SDL_TEXTINPUT) gives the printable characters, one event per code
// point. Keys that type nothing by themselves get their character right after their key-down
// (ControlCharacterForKey): Enter 13, Tab 9, Backspace 8, Escape 27, Ctrl+letter 1..26, as the
// desktop's edit controls expect. Text typed while Ctrl is held without Alt is dropped.
//
// Timers run on SDL's timer thread, which only queues an event; the handler runs in the loop. A
// timer whose firing is still waiting in the queue does not queue another, so a slow handler
// makes a timer fall behind instead of piling up firings.
//
// Beep: the terminal bell on standard error when that is a terminal, otherwise nothing (SDL has
// no bell and the program has no sound of its own).
class SdlWindowSystem final : public WindowSystem {
 public:
  // Throws EWindowSystemError when there is no display (SdlVideo).
  SdlWindowSystem();
  ~SdlWindowSystem() override;

  std::unique_ptr<NativeWindow> CreateWindow(const WindowParams& params) override;
  TRect DesktopRect() const override;
  std::vector<TRect> MonitorRects() const override;
  TPoint CursorPos() const override;
  void SetCapture(WindowId window) override;
  WindowId Capture() const override { return capture_; }
  bool PollEvent(Event* event) override;
  bool WaitEvent(Event* event) override;
  void PostQuit(int exit_code) override;
  TimerId SetTimer(std::uint32_t interval_ms) override;
  void KillTimer(TimerId timer) override;
  std::uint64_t TickCount() const override;
  std::uint32_t DoubleClickTime() const override { return 500; }
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& text) override;
  bool ClipboardHasPicture() const override;
  std::optional<PixelImage> ClipboardPicture() const override;
  void SetClipboardPicture(const PixelImage& picture) override;
  void Beep() override;

  const std::string& DriverName() const { return video_.DriverName(); }
  // Screen pixels per window pixel (DisplayScaleFactor); everything the framework sees, window
  // and screen coordinates alike, is in window pixels.
  int Scale() const { return scale_; }

 private:
  friend class SdlWindow;

  struct CursorDeleter {
    void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
  };

  void Register(SdlWindow* window);
  void Unregister(WindowId window);
  void ApplyCursor(CursorShape shape);
  // The shape of the window the mouse is over (or captured by) changed or the mouse moved into it.
  void UpdateCursor();
  SdlWindow* Find(WindowId window) const;
  // Made on first use, on the connection of a window; null where pictures cannot be exchanged.
  X11PictureClipboard* PictureClipboard() const;

  void Translate(const SDL_Event& sdl_event);
  void TranslateKey(const SDL_KeyboardEvent& key);
  void TranslateMouse(const SDL_Event& sdl_event);
  void TranslateWindowEvent(const SDL_WindowEvent& window_event);
  bool TakePending(Event* event);
  void Push(Event event, Uint32 sdl_timestamp);

  SdlVideo video_;
  int scale_ = DisplayScaleFactor();
  std::array<std::unique_ptr<SDL_Cursor, CursorDeleter>, 3> cursors_;
  CursorShape applied_cursor_ = CursorShape::kArrow;
  Uint32 timer_event_ = 0;
  Uint32 quit_event_ = 0;
  std::map<WindowId, SdlWindow*> windows_;
  std::deque<Event> pending_;
  WindowId capture_ = 0;
  ShiftState buttons_held_ = 0;
  TPoint last_pointer_;  // screen coordinates, from the last mouse event
  bool pointer_known_ = false;
  std::map<TimerId, SDL_TimerID> timers_;
  TimerId next_timer_ = 1;
  // After video_: it uses SDL's connection to the display.
  mutable std::unique_ptr<X11PictureClipboard> picture_clipboard_;
};

}  // namespace orlit
