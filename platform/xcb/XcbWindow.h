#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "platform/xcb/XcbSurface.h"

namespace orlit {

class XcbWindowSystem;

// A frameless top-level X window. Sizes and positions the framework sees are in window pixels;
// the X window is Scale() times larger.
class XcbWindow final : public NativeWindow {
 public:
  XcbWindow(XcbWindowSystem* system, const WindowParams& params);
  ~XcbWindow() override;

  WindowId Id() const override { return handle_; }
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
  bool Minimized() const override { return minimized_; }
  bool Focused() const override { return focused_; }
  TPoint Position() const override { return position_; }
  TSize Size() const override { return size_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;
  void Present(const FrameView& frame, const TRect& dirty) override;
  // Shows what was presented since the last call; the window system's flush sends it.
  void RevealPresented();
  void SetCursor(CursorShape shape) override;
  CursorShape Cursor() const override { return cursor_; }

  xcb_window_t Handle() const { return handle_; }

  // What the window system learns from the server. Each returns whether the framework should
  // hear of it.
  bool NoteMapped();
  bool NoteFocus(bool focused);
  bool NoteConfigure(const xcb_configure_notify_event_t& configure);
  void NoteReparented(bool to_root) { reparented_ = !to_root; }
  // The window manager changed the window's state (WM_STATE): whether it became or stopped being
  // minimised.
  bool NoteWindowManagerState();
  // A key or button was pressed in the window at `time`: the window manager weighs this against
  // the start of other programs' windows when it decides whether they may take the focus.
  void NoteUserTime(xcb_timestamp_t time);
  // The pointer came in: the theme's cursor is loaded on first need, but not before the window
  // has shown its first frame; ApplyCursorHeldBack then sets it when the loop falls idle.
  void ApplyCursor();
  void ApplyCursorHeldBack();

 private:
  void SendToWindowManager(xcb_atom_t type, std::uint32_t data0, std::uint32_t data1 = 0);
  void MarkAsDialogOf(WindowId owner);
  void Activate();
  void SetSizeHints();
  bool NoteMinimized(bool minimized);

  XcbWindowSystem* system_;
  xcb_window_t handle_ = 0;
  TSize size_;
  TPoint position_;
  std::unique_ptr<XcbSurface> surface_;
  CursorShape cursor_ = CursorShape::kArrow;
  bool cursor_applied_ = false;
  bool cursor_after_first_frame_ = false;
  bool shown_ = false;
  bool mapped_ = false;
  bool focus_on_map_ = false;
  bool minimized_ = false;
  bool focused_ = false;
  bool reparented_ = false;  // into a frame of the window manager's
};

}  // namespace orlit
