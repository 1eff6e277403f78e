#pragma once

#include "editors/InnerEditForwarding.h"
#include "editors/InnerEditorBase.h"
#include "framework/Memo.h"

namespace orlit {

class TcxCustomMemo;
class TcxCustomTextEdit;

// The native multi-line edit inside a memo; a tab goes into the text when the memo wants tabs.
class TcxCustomInnerMemo : public TcxInnerEditorBase<TMemo> {
 public:
  // Made while the memo's base constructor runs: `container` becomes a memo only once it is
  // whole, and is reached as one only then.
  explicit TcxCustomInnerMemo(TcxCustomTextEdit* container);

  TcxCustomMemo* Container() const;

 protected:
  bool TakesTab() const override { return WantTabs(); }
};

// Links the inner memo to its memo: the inner-editor operations of a text editor on it.
class TcxCustomInnerMemoHelper : public InnerEditForwarding<TcxCustomInnerMemo> {
 public:
  using InnerEditForwarding::InnerEditForwarding;

  // The whole-text rule of the memo's lines (breaks normalised, capacity checked).
  void SetText(const std::string& text) override;

 protected:
  void ApplyOwnProperties(const TcxCustomTextEditProperties& properties) override;
};

}  // namespace orlit
