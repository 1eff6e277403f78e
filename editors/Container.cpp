#include "editors/Container.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Form.h"
#include "lookandfeel/EditFrame.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/PainterCanvas.h"
#include "lookandfeel/Painters.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {

namespace {

// The theme's property for the fill colour of a part.
constexpr int kThemeFillColor = 3802;

}  // namespace

TcxContainer::TcxContainer() : TcxContainer(ContainerStyleKind::kContainer) {}

TcxContainer::TcxContainer(ContainerStyleKind kind)
    : tracking_helper_(std::make_unique<TcxContainerMouseTrackingHelper>(this)) {
  SetParentColor(false);
  styles_ = std::make_unique<TcxContainerStyles>(this, nullptr, kind);
}

void TcxContainer::AfterConstruction() {
  TcxControl::AfterConstruction();
  // A view info made while a base constructor ran has the base's class.
  view_info_.reset();
  view_info_valid_ = false;
}

TcxContainer::~TcxContainer() {
  destroying_ = true;
  tracking_helper_.reset();
  styles_.reset();
}

TcxCustomContainerStyle& TcxContainer::ActiveStyle() {
  EnsureViewInfo();
  return *active_style_;
}

EditVisualState TcxContainer::VisualState() {
  EnsureViewInfo();
  return view_info_->state;
}

const TcxContainerViewInfo& TcxContainer::ViewInfo() {
  EnsureViewInfo();
  return *view_info_;
}

void TcxContainer::EnsureViewInfo() {
  if (view_info_valid_ && view_info_ != nullptr) return;
  const bool keep_hot = view_info_ != nullptr && view_info_->state.Contains(EditVisualState::kHot);
  cached_state_ = ComputeState(std::nullopt, keep_hot);
  CalculateContainerViewInfo();
}

EditVisualState TcxContainer::ComputeState(std::optional<TPoint> mouse_point, bool allow_hot) {
  if (!EffectivelyEnabled()) return EditVisualState::kDisabled;
  unsigned state = Focused() ? EditVisualState::kFocused : EditVisualState::kNormal;
  // A refresh that does not come from the mouse keeps a hot state the tracker still watches,
  // so that a focus or style change under a resting mouse does not flicker to the normal look.
  const bool hot_allowed = allow_hot || IsMouseTracking();
  // Asking for the pointer is a round trip to the display server, which every control of a
  // window being built would otherwise pay.
  if (hot_allowed && Style().HotTrack() &&
      HotArea().Contains(mouse_point ? *mouse_point : CursorPoint())) {
    state |= EditVisualState::kHot;
  }
  return state;
}

void TcxContainer::RefreshVisualState(std::optional<TPoint> mouse_point, bool allow_hot) {
  if (destroying_ || styles_ == nullptr) return;
  const bool was_valid = view_info_valid_ && view_info_ != nullptr;
  const EditVisualState old_state = cached_state_;
  cached_state_ = ComputeState(mouse_point, allow_hot);
  CalculateContainerViewInfo();
  AdjustInnerControl();
  ApplyToInnerControl();
  // Mouse moves within one state change nothing shown; a style change repaints on its own.
  if (!was_valid || cached_state_ != old_state) InvalidateBorderArea();
  VisualStateChanged();
  if (cached_state_.Contains(EditVisualState::kHot) && !IsMouseTracking() && Showing()) {
    const TPoint origin = ClientOrigin();
    BeginMouseTracking(tracking_helper_.get(),
                       TRect::FromBounds(origin.X, origin.Y, Width(), Height()));
  }
}

void TcxContainer::ShortRefreshContainer(bool is_mouse_event) {
  RefreshVisualState(std::nullopt, is_mouse_event);
}

void TcxContainer::CalculateContainerViewInfo() {
  if (view_info_ == nullptr) view_info_ = CreateViewInfo();
  const EditVisualState state = cached_state_;
  if (state.Contains(EditVisualState::kDisabled)) {
    active_style_ = &StyleDisabled();
  } else if (state.Contains(EditVisualState::kFocused)) {
    active_style_ = &StyleFocused();
  } else if (state.Contains(EditVisualState::kHot)) {
    active_style_ = &StyleHot();
  } else {
    active_style_ = &Style();
  }
  const TcxCustomContainerStyle& active = *active_style_;
  TcxContainerViewInfo& info = *view_info_;
  const bool focused = state.Contains(EditVisualState::kFocused);
  const bool hot = state.Contains(EditVisualState::kHot);
  const bool disabled = state.Contains(EditVisualState::kDisabled);
  const bool hot_track = Style().HotTrack();

  info.state = state;
  info.native = IsNativeStyle();
  info.hot_state = !hot_track ? 0 : (focused || hot) ? 2 : 1;
  info.native_state = disabled ? ETS_DISABLED : focused ? ETS_FOCUSED : hot ? ETS_HOT : ETS_NORMAL;

  EditBorderState border_state;
  border_state.border_style = info.native ? Style().BorderStyle() : active.BorderStyle();
  border_state.border_color = active.BorderColor();
  border_state.focused = focused;
  border_state.hot = hot;
  border_state.hot_track = hot_track;
  border_state.enabled = !disabled;
  const EditBorder border = ResolveEditBorder(border_state);
  info.border_style = border.style;
  info.border_width = border.width;
  info.border_color = border.color;

  info.background_color = active.Color();
  if (info.native && disabled) {
    ThemeService* service = CurrentThemeService();
    const HTHEME theme = service != nullptr ? OpenTheme(ThemedObject::kEdit) : 0;
    TColor fill = 0;
    if (theme != 0 &&
        service->GetThemeColor(theme, EP_EDITTEXT, ETS_DISABLED, kThemeFillColor, fill)) {
      info.background_color = fill;
    }
  }
  info.edges = Style().Edges();
  info.shadow = HasShadow();
  info.transparent = IsTransparent();
  info.bounds = ClientRect();
  info.border_rect = EditBorderRect(info.bounds, info.border_style, info.shadow);
  view_info_valid_ = true;
  CalculateViewInfo(info);
}

void TcxContainer::ApplyToInnerControl() {
  if (inner_control_ == nullptr || active_style_ == nullptr) return;
  inner_control_->SetColor(view_info_->background_color);
  TFont visible;
  active_style_->GetVisibleFont(visible);
  if (!(inner_control_->Font() == visible)) inner_control_->Font().Assign(visible);
}

void TcxContainer::InvalidateBorderArea() {
  if (inner_control_ == nullptr || !inner_control_->Visible()) {
    Invalidate();
    return;
  }
  // The inner control repaints itself when its colour or font changes.
  const TRect inner = inner_control_->BoundsRect();
  const int width = Width();
  const int height = Height();
  InvalidateRect({0, 0, width, inner.Top});
  InvalidateRect({0, inner.Bottom, width, height});
  InvalidateRect({0, inner.Top, inner.Left, inner.Bottom});
  InvalidateRect({inner.Right, inner.Top, width, inner.Bottom});
}

void TcxContainer::SetFocus() {
  if (inner_control_ != nullptr && inner_control_->CanFocus()) {
    inner_control_->SetFocus();
  } else {
    TcxControl::SetFocus();
  }
}

bool TcxContainer::Focused() const {
  return TcxControl::Focused() || (inner_control_ != nullptr && inner_control_->Focused()) ||
         HoldsFocusState();
}

bool TcxContainer::IsNativeStyle() const {
  const TcxLookAndFeelPainterClass painter = Style().LookAndFeel().Painter();
  return painter != nullptr && painter->LookAndFeelStyle() == lfsNative;
}

bool TcxContainer::HasShadow() const { return Style().Shadow() && !IsNativeStyle(); }

TRect TcxContainer::HotArea() const {
  TRect area = ClientRect();
  if (HasShadow()) {
    area.Right = std::max(area.Left, area.Right - kShadowSize);
    area.Bottom = std::max(area.Top, area.Bottom - kShadowSize);
  }
  return area;
}

bool TcxContainer::IsMouseTracking() const {
  return tracking_helper_ != nullptr && orlit::IsMouseTracking(tracking_helper_.get());
}

void TcxContainer::StyleChanged() {
  if (destroying_ || styles_ == nullptr) return;
  view_info_valid_ = false;
  if (Loading()) return;
  RefreshVisualState(std::nullopt, false);
  // Font, border and shadow decide the automatic height.
  AdjustSize();
  Invalidate();
}

void TcxContainer::SetInnerControl(TWinControl* inner) {
  inner_control_ = inner;
  if (inner != nullptr) inner->SetParent(this);
}

TRect TcxContainer::GetInnerControlBounds() {
  EnsureViewInfo();
  return view_info_->border_rect;
}

void TcxContainer::AdjustInnerControl() {
  if (inner_control_ == nullptr) return;
  TRect bounds = GetInnerControlBounds();
  bounds.Right = std::max(bounds.Right, bounds.Left);
  bounds.Bottom = std::max(bounds.Bottom, bounds.Top);
  inner_control_->SetBoundsRect(bounds);
}

std::unique_ptr<TcxContainerViewInfo> TcxContainer::CreateViewInfo() {
  return std::make_unique<TcxContainerViewInfo>();
}

void TcxContainer::PaintBackground(TCanvas& /*canvas*/) {
  // The frame fills what belongs to the control; the shadow's corner notches show what lies
  // behind it.
}

void TcxContainer::Paint(TCanvas& canvas) {
  EnsureViewInfo();
  const TcxContainerViewInfo& info = *view_info_;
  EditFrame frame;
  frame.bounds = info.bounds;
  frame.border_rect = info.border_rect;
  frame.border_style = info.border_style;
  frame.border_color = info.border_color;
  frame.edges = info.edges;
  frame.shadow = info.shadow;
  frame.fill = !PaintsOwnBackground();
  frame.transparent = info.transparent;
  frame.background = info.background_color;
  frame.native = info.native;
  frame.native_state = info.native_state;
  frame.text_rect = inner_control_ != nullptr ? inner_control_->BoundsRect() : info.border_rect;
  TcxCanvas cx_canvas(canvas);
  if (IsEditor()) {
    DrawEditFrame(cx_canvas, frame);
  } else {
    DrawContainerFrame(cx_canvas, frame);
  }
  PaintContent(canvas);
}

TPoint TcxContainer::CursorPoint() const {
  if (Application == nullptr) return {-1, -1};
  return ScreenToClient(Application->CursorPos());
}

bool TcxContainer::CursorInsideClient() const {
  return Application != nullptr && ClientRect().Contains(CursorPoint());
}

void TcxContainer::MouseEnter() { InnerMouseEnter(); }

void TcxContainer::MouseLeave() { InnerMouseLeave(); }

void TcxContainer::InnerMouseEnter() {
  if (!mouse_inside_) {
    mouse_inside_ = true;
    TcxControl::MouseEnter();
  }
  ShortRefreshContainer(true);
}

void TcxContainer::InnerMouseLeave() {
  // Moving between the border and the inner control is no leaving.
  if (CursorInsideClient()) return;
  MouseTrackingLeave();
}

void TcxContainer::MouseTrackingLeave() {
  EndMouseTracking(tracking_helper_.get());
  if (!mouse_inside_) {
    ShortRefreshContainer(false);
    return;
  }
  mouse_inside_ = false;
  try {
    TcxControl::MouseLeave();
  } catch (...) {
    ShortRefreshContainer(false);
    throw;
  }
  ShortRefreshContainer(false);
}

void TcxContainer::MouseMove(TShiftState shift, int x, int y) {
  if (!mouse_inside_) {
    mouse_inside_ = true;
    TcxControl::MouseEnter();
  }
  TcxControl::MouseMove(shift, x, y);
  RefreshVisualState(TPoint{x, y}, true);
}

void TcxContainer::InnerMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }

void TcxContainer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // A press on the border focuses the inner control, as a press inside it would.
  if (button == mbLeft && !Focused() && CanFocus()) {
    SetFocus();
    if (!Focused()) return;
  }
  TcxControl::MouseDown(button, shift, x, y);
}

void TcxContainer::InnerMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TcxControl::MouseDown(button, shift, x, y);
}

void TcxContainer::InnerMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TcxControl::MouseUp(button, shift, x, y);
}

void TcxContainer::InnerFocusChanged() { ShortRefreshContainer(false); }

void TcxContainer::DoEnter() {
  TcxControl::DoEnter();
  ShortRefreshContainer(false);
  FocusInnerControl();
}

void TcxContainer::FocusInnerControl() {
  TCustomForm* form = Form();
  if (form == nullptr || form->ActiveControl() != this || inner_control_ == nullptr ||
      !inner_control_->CanFocus()) {
    return;
  }
  form->SetFocusedControl(inner_control_);
}

void TcxContainer::DoExit() {
  TcxControl::DoExit();
  ShortRefreshContainer(false);
}

// DoExit refreshes before the form changes its active control, when the container still counts
// as focused; an editor without an inner control hears of the change only here.
void TcxContainer::FocusChanged() {
  TcxControl::FocusChanged();
  ShortRefreshContainer(false);
}

void TcxContainer::EnabledChanged() {
  TcxControl::EnabledChanged();
  if (!Loading()) ShortRefreshContainer(false);
}

void TcxContainer::FontChanged() {
  TcxControl::FontChanged();
  if (styles_ != nullptr) Style().ControlFontChanged(Font());
}

void TcxContainer::ParentColorChanged() {
  TcxControl::ParentColorChanged();
  StyleChanged();
}

void TcxContainer::BoundsChanged() {
  TcxControl::BoundsChanged();
  view_info_valid_ = false;
  if (!Loading()) AdjustInnerControl();
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  Style().ControlFontChanged(Font());
  ShortRefreshContainer(false);
}

}  // namespace orlit
