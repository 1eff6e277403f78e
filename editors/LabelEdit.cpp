#include "editors/LabelEdit.h"

#include "framework/Accelerator.h"
#include "framework/Canvas.h"

namespace orlit {

namespace {

constexpr int kDefaultWidth = 121;
constexpr int kDefaultHeight = 21;

}  // namespace

TcxCustomLabel::TcxCustomLabel() : TcxCustomLabel(std::make_unique<TcxLabelProperties>()) {}

TcxCustomLabel::TcxCustomLabel(std::unique_ptr<TcxCustomLabelProperties> properties)
    : TcxCustomEdit(std::move(properties), ContainerStyleKind::kLabel) {
  SetTabStop(false);
  SetFocusOnClick(false);
  SetParentColor(!IsInplace());
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
  SetAutoSize(true);
}

TcxCustomLabel::~TcxCustomLabel() { SetFocusControl(nullptr); }

void TcxCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == this || control == focus_control_) return;
  if (focus_control_ != nullptr) RemoveFreeNotification(focus_control_);
  focus_control_ = control;
  if (focus_control_ != nullptr) FreeNotification(focus_control_);
}

void TcxCustomLabel::Notification(TComponent* component, TOperation operation) {
  TcxCustomEdit::Notification(component, operation);
  if (operation == opRemove && component == focus_control_) focus_control_ = nullptr;
}

bool TcxCustomLabel::DialogChar(char32_t key) {
  if (focus_control_ == nullptr || !Enabled() || !Properties().ShowAccelChar()) return false;
  if (!IsAccel(key, Caption()) || !focus_control_->CanFocus()) return false;
  focus_control_->SetFocus();
  return true;
}

void TcxCustomLabel::InternalSetDisplayText(const std::string& text) {
  display_text_ = text;
  if (caption_guard_ == 0) {
    ++caption_guard_;
    SetCaption(text);
    --caption_guard_;
  }
  StyleChanged();
  AdjustSize();
}

void TcxCustomLabel::TextChanged() {
  TcxCustomEdit::TextChanged();
  if (caption_guard_ > 0) return;
  ++caption_guard_;
  try {
    SetEditValue(Variant(Caption()));
  } catch (...) {
    --caption_guard_;
    throw;
  }
  --caption_guard_;
}

void TcxCustomLabel::ParentColorChanged() {
  if (Properties().Transparent() && !ParentColor()) {
    Invalidate();
    Update();
  }
  TcxCustomEdit::ParentColorChanged();
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomLabel::CreateViewInfo() {
  return std::make_unique<TcxCustomLabelViewInfo>();
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomLabel::CreateViewData() const {
  return std::make_unique<TcxCustomLabelViewData>(Properties());
}

void TcxCustomLabel::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  TcxCustomEdit::CalculateViewInfo(view_info);
  // A view info made while a base constructor ran is the editor's; it is made again once the
  // label is whole.
  auto* info = dynamic_cast<TcxCustomLabelViewInfo*>(&view_info);
  if (info == nullptr) return;
  // The text area is the content inside the border, without margins.
  info->text_rect = info->border_rect;
  LabelViewData().CalculateLabel(*info);
  ActiveStyle().GetVisibleFont(info->font);
  info->caption = display_text_;
  info->position = {Left(), Top()};
  info->parent_color = Parent() != nullptr ? Parent()->Color() : Color();
}

bool TcxCustomLabel::CanAutoSize(int& new_width, int& new_height) {
  TFont font;
  Style().GetVisibleFont(font);
  const int border = EditBorderWidth(ToEditBorderStyle(Style().BorderStyle()));
  const int shadow = HasShadow() ? kShadowSize : 0;
  const int limit = Properties().WordWrap() ? new_width - 2 * border - shadow : -1;
  const TSize content = LabelViewData().GetContentSize(font, display_text_, limit);
  new_width = content.cx + 2 * border + shadow;
  new_height = content.cy + 2 * border + shadow;
  return true;
}

void TcxCustomLabel::PaintContent(TCanvas& canvas) {
  const auto* info = dynamic_cast<const TcxCustomLabelViewInfo*>(&ViewInfo());
  if (info != nullptr) info->Paint(canvas);
}

}  // namespace orlit
