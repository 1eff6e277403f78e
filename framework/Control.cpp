#include "framework/Control.h"

#include <algorithm>

#include "framework/AccessibleModel.h"
#include "framework/Canvas.h"
#include "framework/Form.h"
#include "framework/WinControl.h"

namespace orlit {

TControl::TControl() {
  font_.OnChange = [this](TObject*) { FontObjectChanged(); };
  color_ = clWindow;
  parent_color_ = true;
}

TControl::~TControl() {
  AccessibleModel::Instance().Forget(*this);
  if (TCustomForm* form = Form()) form->ControlRemoved(this);
  if (parent_ != nullptr) {
    Invalidate();
    parent_->RemoveControl(this);
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (auto* self = dynamic_cast<TWinControl*>(this);
      self != nullptr && parent != nullptr && self->ContainsControl(parent)) {
    throw EInvalidOperation("A control cannot be placed inside itself");
  }
  if (parent_ != nullptr) {
    Invalidate();
    if (TCustomForm* form = Form()) form->ControlRemoved(this);
    parent_->RemoveControl(this);
  }
  if (parent != nullptr) {
    parent->InsertControl(this);
    ParentFontChanged();
    ParentColorChanged();
    AdjustSize();
    Invalidate();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (auto_size_ && !Loading()) {
    int content_width = width;
    int content_height = height;
    if (CanAutoSize(content_width, content_height)) {
      if (align_ != alTop && align_ != alBottom && align_ != alClient) width = content_width;
      if (align_ != alLeft && align_ != alRight && align_ != alClient) height = content_height;
    }
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  SetBoundsFields(left, top, width, height);
  Invalidate();
  BoundsChanged();
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

void TControl::SetBoundsFields(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

TPoint TControl::ClientOrigin() const {
  if (parent_ == nullptr) return {left_, top_};
  const TPoint origin = parent_->ClientOrigin();
  return {origin.X + left_, origin.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint point) const {
  const TPoint origin = ClientOrigin();
  return {point.X + origin.X, point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint point) const {
  const TPoint origin = ClientOrigin();
  return {point.X - origin.X, point.Y - origin.Y};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  AdjustSize();
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

void TControl::SetAutoSize(bool auto_size) {
  if (auto_size == auto_size_) return;
  auto_size_ = auto_size;
  AdjustSize();
}

void TControl::AdjustSize() {
  if (!auto_size_ || Loading()) return;
  SetBounds(left_, top_, width_, height_);
}

bool TControl::CanAutoSize(int& /*new_width*/, int& /*new_height*/) { return false; }

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) {
    Invalidate();
    if (TCustomForm* form = Form()) form->DefocusControl(this);
  }
  visible_ = visible;
  if (visible) Invalidate();
  VisibleChanged();
  if (parent_ != nullptr) parent_->ChildChanged(this);
}

bool TControl::Showing() const { return visible_ && parent_ != nullptr && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

bool TControl::EffectivelyEnabled() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void TControl::EnabledChanged() {
  if (!enabled_) {
    if (TCustomForm* form = Form()) form->DefocusControl(this);
  }
  Invalidate();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parent_color_ = false;
  ColorChanged();
}

void TControl::SetParentColor(bool parent_color) {
  if (parent_color == parent_color_) return;
  parent_color_ = parent_color;
  ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parent_color_ || parent_ == nullptr || parent_->color_ == color_) return;
  color_ = parent_->color_;
  ColorChanged();
}

void TControl::SetParentFont(bool parent_font) {
  if (parent_font == parent_font_) return;
  parent_font_ = parent_font;
  ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parent_font_ || parent_ == nullptr) return;
  applying_parent_font_ = true;
  try {
    font_.Assign(parent_->font_);
  } catch (...) {
    applying_parent_font_ = false;
    throw;
  }
  applying_parent_font_ = false;
}

void TControl::FontObjectChanged() {
  if (!applying_parent_font_) parent_font_ = false;
  FontChanged();
}

void TControl::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (TCustomForm* form = Form()) form->UpdateCursor();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  TextChanged();
}

void TControl::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TControl::Invalidate() { InvalidateRect(ClientRect()); }

void TControl::InvalidateRect(const TRect& rect) {
  TRect area = rect.Intersect(ClientRect());
  const TControl* control = this;
  // A hidden form still collects what to paint when it is shown; a hidden control shows nothing.
  while (control->parent_ != nullptr) {
    if (!control->visible_ || area.IsEmpty()) return;
    area = area.Offset(control->left_, control->top_);
    control = control->parent_;
    area = area.Intersect(control->ClientRect());
  }
  if (area.IsEmpty()) return;
  if (auto* form = dynamic_cast<TCustomForm*>(const_cast<TControl*>(control))) {
    form->InvalidateFormRect(area);
  }
}

void TControl::Update() {
  if (TCustomForm* form = Form()) form->PaintDirty();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (parent_ != nullptr) parent_->MoveToFront(this, true);
}

void TControl::SendToBack() {
  if (parent_ != nullptr) parent_->MoveToFront(this, false);
}

bool TControl::DialogChar(char32_t /*key*/) { return false; }

void TControl::Paint(TCanvas& /*canvas*/) {}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) {
  return parent_ != nullptr && parent_->DoMouseWheel(shift, wheel_delta, mouse_pos);
}

void TControl::Loaded() {
  TComponent::Loaded();
  AdjustSize();
}

TCustomForm* TControl::Form() const { return GetParentForm(this); }

TCustomForm* GetParentForm(const TControl* control) {
  if (control == nullptr) return nullptr;
  while (control->Parent() != nullptr) control = control->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(control));
}

}  // namespace orlit
