#pragma once

#include <memory>
#include <vector>

#include "framework/DirtyRegion.h"
#include "framework/WinControl.h"
#include "platform/DeviceContext.h"
#include "platform/PixelImage.h"
#include "platform/WindowSystem.h"

namespace orlit {

// Every form is a frameless desktop window; the styles other than bsNone are kept for forms
// that draw a frame of their own.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TPosition {
  poDesigned,        // at Left, Top
  poDesktopCenter,   // centred on the desktop when first shown
  poScreenCenter,    // the same: the desktop is the primary screen
  poMainFormCenter,  // centred over the main form
};

// A top-level window and the controls on it. The form turns the window system's events into
// the controls' mouse, keyboard and focus notifications, keeps the part of itself that must be
// painted again, and paints itself and its children into one back buffer, presenting only what
// changed. Left and Top are screen coordinates.
//
// A subclass builds its controls in its constructor, with the form as their owner; the layout
// (alignment, automatic sizes, tab order) is settled when the constructor has finished, and
// OnCreate fires after that.
class TCustomForm : public TWinControl {
 public:
  TCustomForm();
  ~TCustomForm() override;

  // Ends the loading phase: lays the controls out, then fires OnCreate.
  void AfterConstruction() override;

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style) { border_style_ = style; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  // Makes the form a dialog of the window `owner` (0: none), taking effect when its window is
  // made: the desktop keeps it above that window, and the window, while it takes no input,
  // passes the focus on to it.
  void SetOwnerWindow(WindowId owner) { owner_window_ = owner; }
  WindowId OwnerWindow() const { return owner_window_; }
  // What kind of window the desktop is asked for, taking effect when the window is made.
  void SetWindowKind(WindowKind kind) { window_kind_ = kind; }

  // The control that has (or gets, when the form is activated) the keyboard focus.
  TWinControl* ActiveControl() const { return active_control_; }
  // Moves the focus like SetFocus; throws EInvalidOperation for a control of another form or one
  // that cannot be focused.
  void SetActiveControl(TWinControl* control);
  // Moves the focus. The controls losing it get DoExit first (the innermost first); if one of
  // them throws, or moves the focus itself, the move stops there with the focus where it is (or
  // where that handler put it). During the exits the old control is still the active one. Then
  // the active control changes, both are told through FocusChanged, and the controls gaining the
  // focus get DoEnter, the outermost first.
  void SetFocusedControl(TWinControl* control);
  // The next (or previous) control in tab order that can take the focus, starting after
  // `current`; null when there is no other one.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool check_tab_stop,
                               bool check_parent) const;
  void SelectNext(TWinControl* current, bool forward, bool check_tab_stop);

  // The form's window has the keyboard focus.
  bool Active() const;
  // Raises the window and gives it the keyboard focus.
  void SetFocus() override;
  // Showing places the form (see Position) the first time, fires OnShow, focuses the first
  // control in tab order when none is active yet, and shows the window.
  void SetVisible(bool visible) override;
  bool Showing() const override { return Visible(); }
  // The main form ends the application; any other form is hidden.
  virtual void Close();
  void SetBounds(int left, int top, int width, int height) override;

  // The form's window; null until the form is first shown.
  NativeWindow* Window() const { return window_.get(); }
  // The control that gets the mouse: the one with the capture, else the one under the pointer.
  TControl* MouseControl() const { return hover_; }
  // Ends a drag or press in progress: the capture is released and no click follows.
  void CancelMode();

  // Paints what is invalid into the back buffer and presents it.
  void PaintDirty();
  // Paints the whole form and answers its pixels at the screen's resolution: what the window
  // shows, shown or not.
  PixelImage RenderImage();
  // The parts waiting to be painted, in client coordinates.
  const DirtyRegion& Dirty() const { return dirty_; }

  // One event of the form's window, as the application's loop hands it over.
  void HandleEvent(const Event& event);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 protected:
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  // A key the focused control did not consume (left non-zero): Tab and Shift+Tab move the focus
  // through the tab order. Setting `key` to 0 marks it used: the character it would produce is
  // not delivered.
  virtual void DialogKey(int& key, TShiftState shift);
  void TextChanged() override;
  // The taskbar text of the form's window.
  virtual std::string WindowTitle() const;

 private:
  friend class TControl;
  friend class TWinControl;

  void InvalidateFormRect(const TRect& rect);
  void ControlRemoved(TControl* control);
  void DefocusControl(TControl* control);
  void UpdateCursor();

  void CreateWindowHandle();
  void PlaceOnFirstShow();
  void ActivationChanged(bool active);
  void EnsureBackBuffer();
  void PaintControl(TControl* control, DeviceContext& dc, TPoint origin);
  void RealignTree(TWinControl* control);

  TControl* HitTest(TPoint pos) const;
  TPoint ToControl(const TControl* control, TPoint pos) const;
  void SetHover(TControl* control);
  void SetCursorOf(const TControl* control);
  void ReleaseCapture();
  void HandleKeyDown(const Event& event);
  void HandleKeyUp(const Event& event);
  // Alt+character, and a plain character the focused control would not type, is first offered
  // to the controls as an accelerator (DialogChar); one that a control uses is typed nowhere.
  void HandleCharacter(const Event& event);
  void HandleMouseMove(const Event& event);
  void HandleMouseDown(const Event& event);
  void HandleMouseUp(const Event& event);
  void HandleMouseWheel(const Event& event);
  // The focus came to this form's window while it takes no input (a dialog is up): hands it on
  // to the dialog. False when the form has no dialog showing.
  bool PassFocusToDialog();

  TFormBorderStyle border_style_ = bsSizeable;
  TPosition position_ = poDesigned;
  WindowId owner_window_ = 0;
  WindowKind window_kind_ = WindowKind::kNormal;
  std::unique_ptr<NativeWindow> window_;
  std::unique_ptr<DeviceContext> back_buffer_;
  DirtyRegion dirty_;
  bool placed_ = false;
  bool active_ = false;

  TWinControl* active_control_ = nullptr;
  unsigned focus_request_ = 0;
  // The control that had the focus at the last key-down: the character it produced goes there
  // even when the key moved the focus on, as the desktop routes it.
  TWinControl* key_target_ = nullptr;
  // A key the form used for itself (Tab) produces no character, as the desktop's dialog keys
  // never did.
  bool drop_character_ = false;
  TControl* capture_ = nullptr;
  TControl* pressed_ = nullptr;  // left button went down here; a release here clicks
  TControl* hover_ = nullptr;    // under the pointer
  TControl* entered_ = nullptr;  // told that the mouse is over it
  // The control an event is being handed to; cleared if a handler takes it away.
  TControl* dispatch_target_ = nullptr;
};

class TForm : public TCustomForm {};

}  // namespace orlit
