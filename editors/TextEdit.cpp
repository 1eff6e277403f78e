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

namespace {

std::unique_ptr<InnerEditAccess> MakeSingleLineInner(TcxCustomTextEdit& editor) {
  auto* edit = editor.Create<TcxCustomInnerTextEdit>(&editor);
  return std::make_unique<TcxCustomInnerTextEditHelper>(*edit);
}

}  // namespace

TcxCustomTextEdit::TcxCustomTextEdit(std::unique_ptr<TcxCustomTextEditProperties> properties)
    : TcxCustomTextEdit(std::move(properties), MakeSingleLineInner) {
  inner_edit_ = static_cast<TcxCustomInnerTextEdit*>(&inner_->Control());
}

TcxCustomTextEdit::TcxCustomTextEdit(std::unique_ptr<TcxCustomTextEditProperties> properties,
                                     InnerFactory make_inner)
    : TcxCustomEdit(std::move(properties)) {
  inner_ = make_inner(*this);
  SetInnerControl(&inner_->Control());
  ApplyProperties();
  SetWidth(kDefaultWidth);
  SetAutoSize(true);
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  // Freed while the editor is whole, so that its leaving the editor finds a live parent.
  TWinControl* inner = &inner_->Control();
  inner_edit_ = nullptr;
  SetInnerControl(nullptr);
  inner_.reset();
  RemoveComponent(inner).reset();
}

std::string TcxCustomTextEdit::DisplayText() const {
  return inner_ != nullptr ? inner_->Text() : std::string();
}

void TcxCustomTextEdit::InternalSetDisplayText(const std::string& text) {
  inner_->SetText(text);
  // While disabled the editor draws the text itself, from its view info.
  if (!inner_->Control().Visible()) {
    ShortRefreshContainer(false);
    Invalidate();
  }
}

int TcxCustomTextEdit::SelStart() const { return inner_->SelStart(); }

void TcxCustomTextEdit::SetSelStart(int start) { inner_->SetSelStart(start); }

int TcxCustomTextEdit::SelLength() const { return inner_->SelLength(); }

void TcxCustomTextEdit::SetSelLength(int length) { inner_->SetSelLength(length); }

std::string TcxCustomTextEdit::SelText() const { return inner_->SelText(); }

void TcxCustomTextEdit::SelectAll() { inner_->SelectAll(); }

void TcxCustomTextEdit::SelectAllText() { inner_->SelectAll(); }

void TcxCustomTextEdit::CopyToClipboard() { inner_->CopyToClipboard(); }

void TcxCustomTextEdit::CutToClipboard() {
  if (!ModifiedSinceEntry() && !RequestEditing()) return;
  inner_->CutToClipboard();
}

void TcxCustomTextEdit::PasteFromClipboard() {
  if (!ModifiedSinceEntry() && !RequestEditing()) return;
  inner_->PasteFromClipboard();
}

void TcxCustomTextEdit::InnerCutToClipboard() { inner_edit_->NativeCutToClipboard(); }

void TcxCustomTextEdit::InnerPasteFromClipboard() { inner_edit_->NativePasteFromClipboard(); }

void TcxCustomTextEdit::EditorKeyDown(int& key, TShiftState shift) {
  TcxCustomEdit::EditorKeyDown(key, shift);
  if ((key != VK_LEFT && key != VK_RIGHT) || (shift & ssShift) != 0) return;
  if (inner_->SelLength() == 0) return;
  const int start = inner_->SelStart();
  const int end = start + inner_->SelLength();
  inner_->SetSelStart(key == VK_LEFT ? start : end);
  key = 0;
}

void TcxCustomTextEdit::ApplyProperties() {
  if (inner_ != nullptr) inner_->ApplyProperties(Properties());
}

void TcxCustomTextEdit::DoEnter() {
  TcxCustomEdit::DoEnter();
  if (Properties().AutoSelect()) inner_->SelectAll();
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
  if (inner_ == nullptr) return;
  const bool enabled = !VisualState().Contains(EditVisualState::kDisabled);
  if (inner_->Control().Visible() != enabled) inner_->Control().SetVisible(enabled);
}

void TcxCustomTextEdit::PaintContent(TCanvas& canvas) {
  if (inner_ == nullptr || inner_->Control().Visible()) return;
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
