#pragma once

#include <memory>
#include <string>

#include "editors/Editor.h"
#include "editors/InnerEditAccess.h"
#include "editors/TextEditProperties.h"

namespace orlit {

class TcxCustomInnerTextEdit;

// An editor whose inner control is a native single-line edit: the text, caret and selection
// are the inner edit's; the editor gives it the background colour and visible font of its
// state, its text margins and its settings, and sizes itself to the font.
class TcxCustomTextEdit : public TcxCustomEdit {
 public:
  TcxCustomTextEdit();
  ~TcxCustomTextEdit() override;

  TcxCustomTextEditProperties& Properties() const {
    return static_cast<TcxCustomTextEditProperties&>(TcxCustomEdit::Properties());
  }
  // The single-line inner edit; editor kinds with another inner control have none.
  TcxCustomInnerTextEdit& InnerEdit() const { return *inner_edit_; }
  // The inner control, whichever kind it is.
  InnerEditAccess& Inner() const { return *inner_; }

  std::string DisplayText() const override;

  // Selection in characters.
  int SelStart() const;
  virtual void SetSelStart(int start);
  int SelLength() const;
  virtual void SetSelLength(int length);
  std::string SelText() const;
  void SelectAll();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

 protected:
  TcxCustomTextEdit(std::unique_ptr<TcxCustomTextEditProperties> properties);
  // An editor kind with its own inner control: `make_inner` creates it (owned through the
  // component tree) and answers the operations on it.
  using InnerFactory = std::unique_ptr<InnerEditAccess> (*)(TcxCustomTextEdit& editor);
  TcxCustomTextEdit(std::unique_ptr<TcxCustomTextEditProperties> properties,
                    InnerFactory make_inner);

  void EditorKeyDown(int& key, TShiftState shift) override;
  bool CanKeepEnterValue() const override { return true; }
  void InternalSetDisplayText(const std::string& text) override;
  void SelectAllText() override;
  void ApplyProperties() override;
  void DoEnter() override;
  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  std::unique_ptr<TcxCustomEditViewData> CreateViewData() const override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  void VisualStateChanged() override;
  void PaintContent(TCanvas& canvas) override;
  // The inner edit's clipboard commands, whoever gives them; the editor kind may apply them by
  // rules of its own.
  virtual void InnerCutToClipboard();
  virtual void InnerPasteFromClipboard();
  // The user placed the caret with a caret key or the mouse.
  virtual void InnerCaretPlaced() {}

 private:
  friend class TcxCustomInnerTextEdit;
  template <class Native>
  friend class TcxInnerEditorBase;

  TcxCustomInnerTextEdit* inner_edit_ = nullptr;
  std::unique_ptr<InnerEditAccess> inner_;
};

// The single-line text editor as forms place it. AutoSize, TabStop and BeepOnEnter start True;
// ParentFont follows the parent until the style's font is assigned.
class TcxTextEdit : public TcxCustomTextEdit {
 public:
  TcxTextEdit() = default;

  TcxTextEditProperties& Properties() const {
    return static_cast<TcxTextEditProperties&>(TcxCustomTextEdit::Properties());
  }
  void SetProperties(const TcxTextEditProperties& properties) { Properties().Assign(properties); }
};

}  // namespace orlit
