#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Font.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"
#include "platform/VirtualKeys.h"

namespace orlit {

class TCanvas;
class TCustomForm;
class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Cursor identifiers with the desktop's numbers; crDefault takes the parent's cursor.
enum TCursor : int { crDefault = 0, crArrow = -2, crIBeam = -4, crHandPoint = -21 };

using TShiftState = ShiftState;
inline constexpr TShiftState ssShift = kShiftStateShift;
inline constexpr TShiftState ssAlt = kShiftStateAlt;
inline constexpr TShiftState ssCtrl = kShiftStateCtrl;
inline constexpr TShiftState ssLeft = kShiftStateLeft;
inline constexpr TShiftState ssRight = kShiftStateRight;
inline constexpr TShiftState ssMiddle = kShiftStateMiddle;
inline constexpr TShiftState ssDouble = kShiftStateDouble;

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

// A rectangle of the screen that shows part of a form: its place in its parent, its look and
// the mouse events over it. Bounds are in the parent's client coordinates. The client area is
// the whole control: borders a control draws lie inside it.
//
// Event handlers may destroy controls, the form then forgets them; but an event's own handler
// must not destroy the object that holds it while it runs (it would destroy itself).
class TControl : public TComponent {
 public:
  TControl();
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // Moves the control into `parent`'s children, at the front; null takes it out.
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  // Negative sizes become 0. An automatically sized control keeps the size its content asks
  // for in the directions its alignment leaves free.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return TRect::FromBounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& rect) {
    SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  }
  TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  void SetClientWidth(int width) { SetWidth(width); }
  void SetClientHeight(int height) { SetHeight(height); }
  // Screen coordinates of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool auto_size);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all its parents up to a form that is shown.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled, and so are all its parents: what decides whether it takes input.
  bool EffectivelyEnabled() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Takes the parent's colour while set; setting a colour clears it.
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool parent_color);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  // Takes the parent's font while set; changing the font clears it.
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool parent_font);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // The whole control will be painted again when the form paints next.
  void Invalidate();
  void InvalidateRect(const TRect& rect);
  // Paints what is invalid now rather than when the event queue is empty.
  void Update();
  void Repaint();
  // In front of or behind its siblings of the same kind (see TWinControl for the order).
  void BringToFront();
  void SendToBack();

  // An accelerator the form offers its controls (Alt+character, or a plain character the focused
  // control would not type); true when this control used it, which ends the offer.
  virtual bool DialogChar(char32_t key);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  friend class TCustomForm;
  friend class TWinControl;

  // Draws the control with its client area's top-left at the canvas's origin, clipped to it.
  virtual void Paint(TCanvas& canvas);
  // The size the content asks for; false when it asks for none.
  virtual bool CanAutoSize(int& new_width, int& new_height);
  // Applies the content's size again after the content changed.
  void AdjustSize();

  // Mouse and click notifications, each firing its event.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The mouse came over the control or left it (for a captured control, only itself counts).
  virtual void MouseEnter();
  virtual void MouseLeave();
  // A wheel turn over the control (or while it has the capture); true when it was used.
  virtual bool DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos);

  // Changes announced to the control itself after the property changed.
  virtual void VisibleChanged() {}
  virtual void EnabledChanged();
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged();
  virtual void TextChanged();
  virtual void BoundsChanged() {}
  // The parent's font or colour changed, or the control moved to another parent.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

  void Loaded() override;

  // The form that shows the control, if it is on one.
  TCustomForm* Form() const;

 private:
  void SetParentField(TWinControl* parent) { parent_ = parent; }
  void SetVisibleField(bool visible) { visible_ = visible; }
  void SetBoundsFields(int left, int top, int width, int height);
  void FontObjectChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TAlign align_ = alNone;
  bool auto_size_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  bool parent_color_ = false;
  TFont font_;
  bool parent_font_ = true;
  bool applying_parent_font_ = false;
  TCursor cursor_ = crDefault;
  std::string caption_;
};

// The form `control` lies on, or the control itself when it is a form; null when none.
TCustomForm* GetParentForm(const TControl* control);

}  // namespace orlit
