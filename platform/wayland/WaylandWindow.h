#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/wayland/WaylandBuffers.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandLibrary.h"

namespace orlit {

class WaylandWindowSystem;

// A top-level window of the compositor's (xdg-shell) without a frame of the compositor's: our
// title bar is the frame. Sizes are in window pixels, which are the compositor's surface units;
// the buffers are Scale() times larger. A popup (WindowKind::kPopup) over a shown owner is an
// xdg_popup placed against the owner, holding the keyboard while the compositor grants its grab.
//
// The compositor places windows itself and tells no one where: Position() is where the program
// last put the window (centred on the first screen at first), a frame of reference that only
// relates our own windows to each other; a popup's is its owner's plus where the compositor put
// it against the owner.
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
  // The compositor may ignore the request and never says it was done: the window counts as
  // minimised once it loses the keyboard or its activation before the compositor has answered a
  // round trip after the request, and otherwise hears kRestored at once.
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
  WindowId Owner() const { return owner_; }
  bool IsPopup() const { return popup_ != nullptr; }
  // Whether this is a shown popup over `window` that holds the keyboard.
  bool GrabsKeyboardOf(WindowId window) const {
    return popup_ && grabbing_ && configured_ && owner_ == window;
  }
  // The scale the compositor would have the window drawn at: its fractional scale where it
  // tells one, else the largest of the screens the window is on; 0 while it is on none.
  double PreferredScale() const;

  // What the window system learns from the compositor. Each returns whether the framework should
  // hear of it.
  bool NoteFocus(bool focused);
  // Back from the taskbar: the compositor says nothing when a window is minimised or restored,
  // so its getting the keyboard again is what tells.
  void NoteRestored() { minimized_ = false; }
  // The owner's role goes: a popup over it goes first, and the framework hears it closed.
  void Dismiss();

 private:
  friend struct WaylandWindowEvents;
  void RequestClose();
  void Activate(const char* token);
  void CreateRole();
  void CreateToplevelRole();
  void CreatePopupRole(const WaylandWindow& owner);
  void DestroyRole();
  void Configured(std::uint32_t serial);
  void ToplevelConfigured(const wl_array* states);
  void PopupPlaced(TPoint offset);
  void PopupDismissed();
  void MinimizeAnswered();
  void OutputEntered(wl_output* output, bool entered);
  void FractionalScale(std::uint32_t scale_120ths);
  void FrameDone();
  void Commit();
  void TellScale(double scale);
  void ApplySizeLimits();
  TSize DeviceSize(double scale) const;

  WaylandWindowSystem* system_;
  WindowId id_;
  WindowId owner_;
  WindowKind kind_;
  std::string title_;
  TSize size_;
  TPoint position_;
  WaylandPtr<wl_surface> surface_;
  WaylandPtr<wp_viewport> viewport_;
  WaylandPtr<wp_fractional_scale_v1> fractional_;
  WaylandPtr<xdg_surface> xdg_surface_;
  WaylandPtr<xdg_toplevel> toplevel_;
  WaylandPtr<xdg_popup> popup_;
  WaylandPtr<zxdg_toplevel_decoration_v1> decoration_;
  WaylandPtr<wl_callback> frame_callback_;
  WaylandPtr<wl_callback> minimize_answer_;
  WaylandPtr<xdg_activation_token_v1> activation_token_;
  std::unique_ptr<WaylandBuffers> buffers_;
  double buffers_scale_ = 0;            // what the buffers were drawn at
  double committed_scale_ = 0;          // what the compositor was last told
  double fractional_scale_ = 0;         // the compositor's wish; 0 before it says
  std::vector<std::uint32_t> outputs_;  // registry names of the screens the window is on
  TRect damage_;                        // device pixels changed since the last commit
  CursorShape cursor_ = CursorShape::kArrow;
  bool shown_ = false;
  bool configured_ = false;  // the compositor has answered the role's first commit
  bool grabbing_ = false;    // a popup whose grab the compositor has not ended
  bool minimized_ = false;
  bool focused_ = false;
};

}  // namespace orlit
