#include "editors/InnerTextEdit.h"

#include "editors/TextEdit.h"
#include "editors/TextEditProperties.h"

namespace orlit {

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TcxCustomTextEdit* container)
    : TcxInnerEditorBase(container) {
  // The editor is the tab stop and selects on entry in its own order.
  SetTabStop(false);
  SetAutoSelect(false);
}

void TcxCustomInnerTextEdit::CutToClipboard() { container_->InnerCutToClipboard(); }

void TcxCustomInnerTextEdit::PasteFromClipboard() { container_->InnerPasteFromClipboard(); }

TWinControl& TcxCustomInnerTextEditHelper::Control() const { return edit_; }

std::string TcxCustomInnerTextEditHelper::Text() const { return edit_.Text(); }

void TcxCustomInnerTextEditHelper::SetText(const std::string& text) { edit_.SetText(text); }

int TcxCustomInnerTextEditHelper::SelStart() const { return edit_.SelStart(); }

void TcxCustomInnerTextEditHelper::SetSelStart(int start) { edit_.SetSelStart(start); }

int TcxCustomInnerTextEditHelper::SelLength() const { return edit_.SelLength(); }

void TcxCustomInnerTextEditHelper::SetSelLength(int length) { edit_.SetSelLength(length); }

std::string TcxCustomInnerTextEditHelper::SelText() const { return edit_.SelText(); }

void TcxCustomInnerTextEditHelper::SelectAll() { edit_.SelectAll(); }

void TcxCustomInnerTextEditHelper::CopyToClipboard() { edit_.CopyToClipboard(); }

void TcxCustomInnerTextEditHelper::CutToClipboard() { edit_.CutToClipboard(); }

void TcxCustomInnerTextEditHelper::PasteFromClipboard() { edit_.PasteFromClipboard(); }

void TcxCustomInnerTextEditHelper::ApplyProperties(const TcxCustomTextEditProperties& properties) {
  edit_.SetReadOnly(properties.ReadOnly());
  edit_.SetMaxLength(properties.MaxLength());
  edit_.SetCharCase(properties.CharCase());
  edit_.SetPasswordChar(properties.EffectivePasswordChar());
  edit_.SetHideSelection(properties.HideSelection());
  edit_.SetAlignment(properties.Alignment().Horz());
}

}  // namespace orlit
