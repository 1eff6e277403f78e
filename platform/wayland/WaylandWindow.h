#pragma once

#include <wayland-client.h>

#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "platform/wayland/WaylandBuffers.h"
#include "platform/wayland/WaylandDisplay.h"

namespace orlit {

class WaylandWindowSystem;

// A top-level window of the compositor's (xdg-shell) without a frame of the compositor's: our
// title bar is the frame. Sizes are in window pixels, which are the compositor's surface units;
// the buffers are Scale() times larger.
//
// The compositor places windows itself and tells no one where: Position() is where the program
// last put the window (centred on the first screen at first), a frame of reference that only
// relates our own windows to each other.
//
// Frames follow the compositor's frame callbacks: what changes before the last frame was shown is
// gathered and goes with the next one.
class WaylandWindow final : public NativeWindow {
 public:
  WaylandWindow(WaylandWindowSystem* system, const WindowParams& params);
  ~WaylandWindow() override;

  WindowId Id() const override { return id_; }
  void Show() override;
  void Hide() override;
  void Minimize() override;
  void Restore() override {}
  // The compositor raises and focuses a window only for an activation token, which it gives for
  // a recent input event of the window that has the keyboard; without one nothing happens.
  void Raise() override;
  void Focus() override { Raise(); }
  void Move(TPoint top_left) override { position_ = top_left; }
  void Resize(TSize size) override;
  void SetTitle(const std::string& title) override;
  // No protocol of this compositor generation carries a window's picture: the desktop shows the
  // launcher entry's icon, which the application id names.
  void SetIcon(const PixelImage&) override {}
  bool Visible() const override { return shown_; }
  bool Minimized() const override { return minimized_; }
  bool Focused() const override { return focused_; }
  TPoint Position() const override { return position_; }
  TSize Size() const override { return size_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;
  void Present(const FrameView& frame, const TRect& dirty) override;
  void SetCursor(CursorShape shape) override;
  CursorShape Cursor() const override { return cursor_; }
  bool BeginUserMove() override;

  wl_surface* Surface() const { return surface_.get(); }
  xdg_toplevel* Toplevel() const { return toplevel_.get(); }

  // What the window system learns from the compositor. Each returns whether the framework should
  // hear of it.
  bool NoteFocus(bool focused);
  // Back from the taskbar: the compositor says nothing when a window is minimised or restored,
  // so its getting the keyboard again is what tells.
  void NoteRestored() { minimized_ = false; }

 private:
  friend struct WaylandWindowEvents;
  void RequestClose();
  void Activate(const char* token);
  void CreateRole();
  void DestroyRole();
  void Configured(std::uint32_t serial);
  void FrameDone();
  void Commit();
  void ApplySizeLimits();
  TSize DeviceSize() const;

  WaylandWindowSystem* system_;
  WindowId id_;
  WindowId owner_;
  std::string title_;
  TSize size_;
  TPoint position_;
  WaylandPtr<wl_surface> surface_;
  WaylandPtr<wp_viewport> viewport_;
  WaylandPtr<xdg_surface> xdg_surface_;
  WaylandPtr<xdg_toplevel> toplevel_;
  WaylandPtr<zxdg_toplevel_decoration_v1> decoration_;
  WaylandPtr<wl_callback> frame_callback_;
  WaylandPtr<xdg_activation_token_v1> activation_token_;
  std::unique_ptr<WaylandBuffers> buffers_;
  TRect damage_;  // device pixels changed since the last commit
  CursorShape cursor_ = CursorShape::kArrow;
  bool shown_ = false;
  bool configured_ = false;  // the compositor has answered the role's first commit
  bool minimized_ = false;
  bool focused_ = false;
};

}  // namespace orlit
