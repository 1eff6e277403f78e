#include "editors/TextEdit.h"

#include "editors/InnerTextEdit.h"
#include "framework/Canvas.h"
#include "platform/DeviceContext.h"

namespace orlit {

namespace {

constexpr int kDefaultWidth = 121;

}  // namespace

TcxCustomTextEdit::TcxCustomTextEdit()
    : TcxCustomTextEdit(std::make_unique<TcxTextEditProperties>()) {}

TcxCustomTextEdit::TcxCustomTextEdit(std::unique_ptr<TcxCustomTextEditProperties> properties)
    : TcxCustomEdit(std::move(properties)) {
  inner_edit_ = Create<TcxCustomInnerTextEdit>(this);
  SetInnerControl(inner_edit_);
  ApplyProperties();
  SetWidth(kDefaultWidth);
  SetAutoSize(true);
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  // Freed while the editor is whole, so that its leaving the editor finds a live parent.
  TcxCustomInnerTextEdit* inner = inner_edit_;
  inner_edit_ = nullptr;
  SetInnerControl(nullptr);
  RemoveComponent(inner).reset();
}

std::string TcxCustomTextEdit::DisplayText() const {
  return inner_edit_ != nullptr ? inner_edit_->Text() : std::string();
}

void TcxCustomTextEdit::InternalSetDisplayText(const std::string& text) {
  inner_edit_->SetText(text);
  // While disabled the editor draws the text itself, from its view info.
  if (!inner_edit_->Visible()) {
    ShortRefreshContainer(false);
    Invalidate();
  }
}

int TcxCustomTextEdit::SelStart() const { return inner_edit_->SelStart(); }

void TcxCustomTextEdit::SetSelStart(int start) { inner_edit_->SetSelStart(start); }

int TcxCustomTextEdit::SelLength() const { return inner_edit_->SelLength(); }

void TcxCustomTextEdit::SetSelLength(int length) { inner_edit_->SetSelLength(length); }

std::string TcxCustomTextEdit::SelText() const { return inner_edit_->SelText(); }

void TcxCustomTextEdit::SelectAll() { inner_edit_->SelectAll(); }

void TcxCustomTextEdit::SelectAllText() { inner_edit_->SelectAll(); }

void TcxCustomTextEdit::CopyToClipboard() { inner_edit_->CopyToClipboard(); }

void TcxCustomTextEdit::CutToClipboard() {
  if (!ModifiedSinceEntry() && !RequestEditing()) return;
  inner_edit_->CutToClipboard();
}

void TcxCustomTextEdit::PasteFromClipboard() {
  if (!ModifiedSinceEntry() && !RequestEditing()) return;
  inner_edit_->PasteFromClipboard();
}

void TcxCustomTextEdit::InnerCutToClipboard() { inner_edit_->NativeCutToClipboard(); }

void TcxCustomTextEdit::InnerPasteFromClipboard() { inner_edit_->NativePasteFromClipboard(); }

void TcxCustomTextEdit::EditorKeyDown(int& key, TShiftState shift) {
  TcxCustomEdit::EditorKeyDown(key, shift);
  if ((key != VK_LEFT && key != VK_RIGHT) || (shift & ssShift) != 0) return;
  if (inner_edit_->SelLength() == 0) return;
  const int start = inner_edit_->SelStart();
  const int end = start + inner_edit_->SelLength();
  inner_edit_->SetSelStart(key == VK_LEFT ? start : end);
  key = 0;
}

void TcxCustomTextEdit::ApplyProperties() {
  if (inner_edit_ == nullptr) return;
  const TcxCustomTextEditProperties& properties = Properties();
  inner_edit_->SetReadOnly(properties.ReadOnly());
  inner_edit_->SetMaxLength(properties.MaxLength());
  inner_edit_->SetCharCase(properties.CharCase());
  inner_edit_->SetPasswordChar(properties.EffectivePasswordChar());
  inner_edit_->SetHideSelection(properties.HideSelection());
  inner_edit_->SetAlignment(properties.Alignment().Horz());
}

void TcxCustomTextEdit::DoEnter() {
  TcxCustomEdit::DoEnter();
  if (Properties().AutoSelect()) inner_edit_->SelectAll();
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomTextEdit::CreateViewInfo() {
  return std::make_unique<TcxCustomTextEditViewInfo>();
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomTextEdit::CreateViewData() const {
  return std::make_unique<TcxCustomTextEditViewData>(Properties());
}

void TcxCustomTextEdit::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  TcxCustomEdit::CalculateViewInfo(view_info);
  static_cast<TcxCustomTextEditViewInfo&>(view_info).text = DisplayText();
}

void TcxCustomTextEdit::VisualStateChanged() {
  // The native edit draws disabled text in its own grey; the disabled style's text colour is
  // drawn by the editor instead (PaintContent).
  if (inner_edit_ == nullptr) return;
  const bool enabled = !VisualState().Contains(EditVisualState::kDisabled);
  if (inner_edit_->Visible() != enabled) inner_edit_->SetVisible(enabled);
}

void TcxCustomTextEdit::PaintContent(TCanvas& canvas) {
  if (inner_edit_ == nullptr || inner_edit_->Visible()) return;
  const auto& info = static_cast<const TcxCustomTextEditViewInfo&>(ViewInfo());
  const std::u32string chars = ToCodePoints(info.text);
  const char32_t password = Properties().EffectivePasswordChar();
  const std::string shown =
      password != 0 ? ToUtf8(std::u32string(chars.size(), password)) : info.text;
  TFont font;
  ActiveStyle().GetVisibleFont(font);
  canvas.Font().Assign(font);
  TRect rect = info.text_rect;
  unsigned format = DT_SINGLELINE | DT_NOPREFIX;
  if (Properties().Alignment().Horz() == taRightJustify) format |= DT_RIGHT;
  if (Properties().Alignment().Horz() == taCenter) format |= DT_CENTER;
  canvas.DrawText(shown, rect, format);
}

}  // namespace orlit
