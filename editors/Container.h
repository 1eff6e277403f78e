#pragma once

#include <memory>
#include <optional>

#include "editors/BaseControl.h"
#include "editors/ContainerStyle.h"
#include "editors/MouseTracking.h"
#include "editors/ViewInfo.h"

namespace orlit {

// A control that hosts one inner control and draws its own border, background and shadow around
// it. It owns four styles (normal, focused, disabled, hot), computes its visual state from
// focus, mouse and enabled state, and paints with the style that state selects.
//
// The focus of the container is the focus of its inner control: SetFocus moves it there, and
// Focused() answers for both. Mouse movement over the container or its inner control makes it
// hot; the mouse-leave tracker ends that within 10 ms of the cursor's leaving.
class TcxContainer : public TcxControl {
 public:
  // The strip reserved at the right and bottom for the shadow.
  static constexpr int kShadowSize = 3;

  TcxContainer();
  ~TcxContainer() override;
  void AfterConstruction() override;

  TcxContainerStyles& Styles() const { return *styles_; }
  TcxCustomContainerStyle& Style() const { return styles_->Style(); }
  TcxCustomContainerStyle& StyleFocused() const { return styles_->StyleFocused(); }
  TcxCustomContainerStyle& StyleDisabled() const { return styles_->StyleDisabled(); }
  TcxCustomContainerStyle& StyleHot() const { return styles_->StyleHot(); }
  // Disabled, else focused, else hot, else normal; cached until the state set changes.
  TcxCustomContainerStyle& ActiveStyle();

  EditVisualState VisualState();
  const TcxContainerViewInfo& ViewInfo();

  // Recomputes the state and the view info, gives the inner control the background colour and
  // the visible font, invalidates the border area and starts hot tracking when hot. `allow_hot`:
  // the refresh comes from mouse movement (it still needs HotTrack). Without `mouse_point`, the
  // pointer's place is asked of the window system only if the state depends on it.
  void RefreshVisualState(std::optional<TPoint> mouse_point, bool allow_hot);
  // RefreshVisualState at the cursor.
  void ShortRefreshContainer(bool is_mouse_event);

  TWinControl* InnerControl() const { return inner_control_; }
  void SetFocus() override;
  // The container or its inner control has the focus, or the container holds on to it while a
  // dialog of its own is open.
  bool Focused() const;
  // Painted through the desktop's visual style: the look and feel's painter is the native one.
  bool IsNativeStyle() const;
  // The normal style's Shadow, unless painted natively.
  bool HasShadow() const;
  // The client rectangle less the shadow strip.
  TRect HotArea() const;
  // A container that shows what lies behind it has clBtnFace as its default colour.
  virtual bool IsTransparent() const { return false; }
  bool IsMouseTracking() const;

  // A style of the container (or the controller one uses) changed.
  void StyleChanged();

 protected:
  // True while the container's own dialog has the desktop's focus.
  virtual bool HoldsFocusState() const { return false; }
  explicit TcxContainer(ContainerStyleKind kind);

  // The inner control, owned through the component tree; it becomes a child of the container.
  void SetInnerControl(TWinControl* inner);
  // Where the inner control goes, in client coordinates.
  virtual TRect GetInnerControlBounds();
  void AdjustInnerControl();
  // When the form made the container itself the active control (tabbing, the first focus of a
  // shown form), the focus moves on into the inner control.
  void FocusInnerControl();
  // The view info object; editors make a larger one.
  virtual std::unique_ptr<TcxContainerViewInfo> CreateViewInfo();
  // Fills in what an editor kind adds to the view info, after the container's part.
  virtual void CalculateViewInfo(TcxContainerViewInfo& /*view_info*/) {}
  // Editors fill only their content area with the background; a plain container always does.
  virtual bool IsEditor() const { return false; }
  // Drawn after the frame, before the children.
  virtual void PaintContent(TCanvas& /*canvas*/) {}
  // The content area is left to PaintContent rather than filled with the background.
  virtual bool PaintsOwnBackground() const { return false; }
  // The state, view info or inner control's look changed; editors add their own updates.
  virtual void VisualStateChanged() {}

  void PaintBackground(TCanvas& canvas) override;
  void Paint(TCanvas& canvas) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ParentColorChanged() override;
  void BoundsChanged() override;
  void Loaded() override;

  // The inner control passes on its mouse and focus notifications (positions in the
  // container's client coordinates).
  void InnerMouseEnter();
  void InnerMouseLeave();
  void InnerMouseMove(TShiftState shift, int x, int y);
  void InnerMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void InnerMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void InnerClick() { Click(); }
  void InnerDblClick() { DblClick(); }
  void InnerFocusChanged();

 private:
  friend class TcxContainerMouseTrackingHelper;

  // The mouse-leave message of the tracker.
  void MouseTrackingLeave();
  EditVisualState ComputeState(std::optional<TPoint> mouse_point, bool allow_hot);
  void CalculateContainerViewInfo();
  void ApplyToInnerControl();
  void InvalidateBorderArea();
  void EnsureViewInfo();
  bool CursorInsideClient() const;
  TPoint CursorPoint() const;

  std::unique_ptr<TcxContainerStyles> styles_;
  std::unique_ptr<TcxContainerViewInfo> view_info_;
  std::unique_ptr<TcxContainerMouseTrackingHelper> tracking_helper_;
  TWinControl* inner_control_ = nullptr;
  TcxCustomContainerStyle* active_style_ = nullptr;
  EditVisualState cached_state_;
  bool view_info_valid_ = false;
  bool mouse_inside_ = false;
  bool destroying_ = false;
};

}  // namespace orlit
