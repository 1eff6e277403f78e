#pragma once

#include "editors/InnerEditorBase.h"
#include "editors/InnerTextEditor.h"
#include "framework/Memo.h"

namespace orlit {

class TcxCustomMemo;
class TcxCustomTextEdit;

// The native multi-line edit inside a memo. Its keys go to the memo first (the editor's key
// path, then the native processing), its text changes are reported to the memo, and its mouse,
// click and focus notifications reach the memo, so that the memo's events fire and its visual
// state follows.
class TcxCustomInnerMemo : public TcxInnerEditorBase<TMemo> {
 public:
  // Made while the memo's base constructor runs: `container` becomes a memo only once it is
  // whole, and is reached as one only then.
  explicit TcxCustomInnerMemo(TcxCustomTextEdit* container);

  TcxCustomMemo* Container() const;

 protected:
  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
};

// Links the inner memo to its memo: the inner-editor operations of a text editor on it.
class TcxCustomInnerMemoHelper : public InnerTextEditor {
 public:
  explicit TcxCustomInnerMemoHelper(TcxCustomInnerMemo& memo) : memo_(memo) {}

  TWinControl& Control() const override;
  std::string Text() const override;
  // The whole-text rule of the memo's lines (breaks normalised, capacity checked).
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
  TcxCustomInnerMemo& memo_;
};

}  // namespace orlit
