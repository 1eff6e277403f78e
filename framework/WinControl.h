#pragma once

#include <functional>
#include <vector>

#include "convert/Exceptions.h"
#include "framework/Control.h"

namespace orlit {

using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;

// A control that holds other controls, can have the keyboard focus and takes part in the tab
// order.
//
// Order of children: windowed children (TWinControl) always lie in front of non-windowed ones,
// as child windows lie over what their parent paints; within each kind, a later child lies in
// front of an earlier one. Painting goes back to front in that order, hit testing front to back.
//
// Alignment: the client area (less what AdjustClientRect keeps for borders) is given out to the
// visible aligned children, all top ones first, then bottom, left, right and finally client,
// which share what is left. Among children of one alignment the one nearest to its edge comes
// first; a child whose change started the alignment wins a tie, so a control moved or created
// at an occupied place takes it.
class TWinControl : public TControl {
 public:
  TWinControl();
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // Children in the order they were inserted (not the z-order).
  TControl* Controls(int index) const;
  // True for the control itself and everything inside it.
  bool ContainsControl(const TControl* control) const;
  // The child in front at `pos` (client coordinates). Invisible children never count, disabled
  // ones only with `allow_disabled`; `all_levels` looks into windowed children down to the
  // innermost control.
  TControl* ControlAtPos(TPoint pos, bool allow_disabled, bool allow_windowed = true,
                         bool all_levels = false) const;
  // The children back to front.
  std::vector<TControl*> PaintOrder() const;

  // Lays the children out again: alignment, then the control's own automatic size.
  void Realign();

  // Visible and enabled up to its form.
  bool CanFocus() const;
  // Gives this control the focus of its form; throws EInvalidOperation when it cannot have it.
  virtual void SetFocus();
  // It is its form's active control and the form has the keyboard focus.
  bool Focused() const;
  // Position among the parent's children in the tab order, from 0; -1 without a parent. Setting
  // moves it there (values beyond the end put it last, negative values are ignored). While the
  // layout is being loaded the values are only recorded, and the list is sorted by them when
  // loading ends, so they may be given in any order.
  int TabOrder() const;
  void SetTabOrder(int tab_order);
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool tab_stop) { tab_stop_ = tab_stop; }
  // A press of the left button gives the control the focus when it can take it.
  bool FocusOnClick() const { return focus_on_click_; }
  void SetFocusOnClick(bool focus_on_click) { focus_on_click_ = focus_on_click; }
  // The windowed controls inside this one in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // Offers the accelerator to the children in turn, until one uses it.
  bool DialogChar(char32_t key) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  friend class TControl;
  friend class TCustomForm;

  // Fills the client area with the colour; Paint and the children come on top.
  virtual void PaintBackground(TCanvas& canvas);
  // The part of the client area aligned children share.
  virtual void AdjustClientRect(TRect& rect) const;
  // `control`: the child whose change asked for the alignment, or null.
  virtual void AlignControls(TControl* control, TRect rect);
  // The extent of the visible children.
  bool CanAutoSize(int& new_width, int& new_height) override;

  // The form's active control becomes this one (DoEnter) or another one (DoExit); each fires
  // its event.
  virtual void DoEnter();
  virtual void DoExit();
  // Focused() changed: the focus moved, or the form gained or lost the keyboard focus.
  virtual void FocusChanged() {}
  // Keys of the focused control, each firing its event first; a handler may set `key` to 0 to
  // stop the processing that follows, or replace a character.
  virtual void KeyDown(int& key, TShiftState shift);
  virtual void KeyUp(int& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  // The control types the characters it gets, so a plain character is no accelerator while it
  // has the focus.
  virtual bool WantsCharacters() const { return false; }

  void BoundsChanged() override;
  void VisibleChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void Loaded() override;

 private:
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ChildChanged(TControl* child);
  void RealignFor(TControl* control);
  void MoveToFront(TControl* control, bool front);
  void UpdateTabOrder(int tab_order);
  void FixupTabList();

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tab_list_;
  bool tab_stop_ = false;
  bool focus_on_click_ = false;
  int tab_order_ = -1;  // as last set; applied when the control gets a parent or is loaded
  int align_depth_ = 0;
  bool align_again_ = false;
};

ORLIT_EXCEPTION_CLASS(EInvalidOperation, Exception);

}  // namespace orlit
