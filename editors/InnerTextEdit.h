#pragma once

#include "editors/InnerEditForwarding.h"
#include "editors/InnerEditorBase.h"
#include "framework/CustomEdit.h"

namespace orlit {

class TcxCustomTextEdit;
class TcxCustomInnerTextEdit;

// The native single-line edit inside a text editor: cut and paste go through the editor.
class TcxCustomInnerTextEdit : public TcxInnerEditorBase<TCustomEdit> {
 public:
  explicit TcxCustomInnerTextEdit(TcxCustomTextEdit* container);

  TcxCustomTextEdit* Container() const { return container_; }

  // Cut and paste go through the editor, which may apply them by its own rules.
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  // The native commands themselves.
  void NativeCutToClipboard() { TCustomEdit::CutToClipboard(); }
  void NativePasteFromClipboard() { TCustomEdit::PasteFromClipboard(); }
};

// The single-line inner edit as a text editor reaches it.
class TcxCustomInnerTextEditHelper : public InnerEditForwarding<TcxCustomInnerTextEdit> {
 public:
  using InnerEditForwarding::InnerEditForwarding;

 protected:
  void ApplyOwnProperties(const TcxCustomTextEditProperties& properties) override;
};

}  // namespace orlit
