#pragma once

#include "editors/InnerEditAccess.h"
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
class TcxCustomInnerTextEditHelper : public InnerEditAccess {
 public:
  explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit& edit) : edit_(edit) {}

  TWinControl& Control() const override;
  std::string Text() const override;
  void SetText(const std::string& text) override;
  int SelStart() const override;
  void SetSelStart(int start) override;
  int SelLength() const override;
  void SetSelLength(int length) override;
  std::string SelText() const override;
  void SelectAll() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ApplyProperties(const TcxCustomTextEditProperties& properties) override;

 private:
  TcxCustomInnerTextEdit& edit_;
};

}  // namespace orlit
