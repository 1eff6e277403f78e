#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/WindowSystem.h"

namespace orlit {

class SdlWindowSystem;

// A borderless SDL window that presents through its window surface (no renderer, no OpenGL).
// Requests go to the desktop, which carries them out in its own time: Focused(), Minimized()
// and Position() change when the desktop has done it, and the events say when.
class SdlWindow final : public NativeWindow {
 public:
  // Throws EWindowSystemError when SDL cannot make the window.
  SdlWindow(SdlWindowSystem* system, const WindowParams& params);
  ~SdlWindow() override;

  WindowId Id() const override { return id_; }
  void Show() override;
  void Hide() override;
  void Minimize() override;
  void Restore() override;
  void Raise() override;
  void Focus() override;
  void Move(TPoint top_left) override;
  void Resize(TSize size) override;
  void SetTitle(const std::string& title) override;
  void SetIcon(const PixelImage& icon) override;
  bool Visible() const override { return shown_; }
  bool Minimized() const override;
  bool Focused() const override;
  TPoint Position() const override;
  TSize Size() const override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void Present(const FrameView& frame, const TRect& dirty) override;
  void SetCursor(CursorShape shape) override;
  CursorShape Cursor() const override { return cursor_; }

  // Puts the last presented pixels on the screen again after the window was uncovered.
  void Reshow();
  SDL_Window* Handle() const { return window_.get(); }

 private:
  struct Deleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
  };

  SdlWindowSystem* system_;
  std::unique_ptr<SDL_Window, Deleter> window_;
  WindowId id_ = 0;
  bool shown_ = false;
  bool enabled_ = true;
  bool presented_ = false;
  CursorShape cursor_ = CursorShape::kArrow;
};

}  // namespace orlit
