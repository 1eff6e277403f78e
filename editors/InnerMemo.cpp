#include "editors/InnerMemo.h"

#include "editors/MemoEdit.h"
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

void TcxCustomInnerMemoHelper::SetText(const std::string& text) { inner_.Lines().SetText(text); }

void TcxCustomInnerMemoHelper::ApplyOwnProperties(const TcxCustomTextEditProperties& properties) {
  if (const auto* memo = dynamic_cast<const TcxCustomMemoProperties*>(&properties)) {
    inner_.SetWordWrap(memo->WordWrap());
    inner_.SetWantReturns(memo->WantReturns());
    inner_.SetWantTabs(memo->WantTabs());
    inner_.SetScrollBars(memo->ScrollBars());
  }
}

}  // namespace orlit
