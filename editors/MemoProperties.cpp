#include "editors/MemoProperties.h"

namespace orlit {

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  SetAutoSelect(false);
  Alignment().SetVert(taTopJustify);
}

void TcxCustomMemoProperties::Assign(const TPersistent& source) {
  const auto* properties = dynamic_cast<const TcxCustomMemoProperties*>(&source);
  if (properties == nullptr || properties == this) {
    TcxCustomTextEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  TcxCustomTextEditProperties::Assign(source);
  SetScrollBars(properties->scroll_bars_);
  SetWantReturns(properties->want_returns_);
  SetWantTabs(properties->want_tabs_);
  SetWordWrap(properties->word_wrap_);
  EndUpdate();
}

}  // namespace orlit
