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

void TcxCustomInnerTextEditHelper::ApplyOwnProperties(
    const TcxCustomTextEditProperties& properties) {
  inner_.SetPasswordChar(properties.EffectivePasswordChar());
}

}  // namespace orlit
