#include "editors/InnerMemo.h"

#include "editors/Memo.h"
#include "editors/MemoProperties.h"

namespace orlit {

TcxCustomInnerMemo::TcxCustomInnerMemo(TcxCustomTextEdit* container)
    : TcxInnerEditorBase(container) {
  // The memo is the tab stop; its container draws the border.
  SetTabStop(false);
}

TcxCustomMemo* TcxCustomInnerMemo::Container() const {
  return static_cast<TcxCustomMemo*>(container_);
}

TWinControl& TcxCustomInnerMemoHelper::Control() const { return memo_; }

std::string TcxCustomInnerMemoHelper::Text() const { return memo_.Text(); }

void TcxCustomInnerMemoHelper::SetText(const std::string& text) { memo_.Lines().SetText(text); }

int TcxCustomInnerMemoHelper::SelStart() const { return memo_.SelStart(); }

void TcxCustomInnerMemoHelper::SetSelStart(int start) { memo_.SetSelStart(start); }

int TcxCustomInnerMemoHelper::SelLength() const { return memo_.SelLength(); }

void TcxCustomInnerMemoHelper::SetSelLength(int length) { memo_.SetSelLength(length); }

std::string TcxCustomInnerMemoHelper::SelText() const { return memo_.SelText(); }

void TcxCustomInnerMemoHelper::SelectAll() { memo_.SelectAll(); }

void TcxCustomInnerMemoHelper::CopyToClipboard() { memo_.CopyToClipboard(); }

void TcxCustomInnerMemoHelper::CutToClipboard() { memo_.CutToClipboard(); }

void TcxCustomInnerMemoHelper::PasteFromClipboard() { memo_.PasteFromClipboard(); }

void TcxCustomInnerMemoHelper::ApplyProperties(const TcxCustomTextEditProperties& properties) {
  memo_.SetReadOnly(properties.ReadOnly());
  memo_.SetMaxLength(properties.MaxLength());
  memo_.SetCharCase(properties.CharCase());
  memo_.SetHideSelection(properties.HideSelection());
  memo_.SetAlignment(properties.Alignment().Horz());
  if (const auto* memo = dynamic_cast<const TcxCustomMemoProperties*>(&properties)) {
    memo_.SetWordWrap(memo->WordWrap());
    memo_.SetWantReturns(memo->WantReturns());
    memo_.SetWantTabs(memo->WantTabs());
    memo_.SetScrollBars(memo->ScrollBars());
  }
}

}  // namespace orlit
