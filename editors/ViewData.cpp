#include "editors/ViewData.h"

#include <algorithm>

#include "editors/Container.h"

namespace orlit {

TRect TcxCustomEditViewData::GetTextRect(const TRect& border_rect) const {
  const TRect margins = GetTextMargins();
  TRect rect{border_rect.Left + margins.Left, border_rect.Top + margins.Top,
             border_rect.Right - margins.Right, border_rect.Bottom - margins.Bottom};
  rect.Right = std::max(rect.Right, rect.Left);
  rect.Bottom = std::max(rect.Bottom, rect.Top);
  return rect;
}

int TcxCustomEditViewData::GetEditContentHeight(const TFont& font) const {
  const TRect margins = GetTextMargins();
  return font.Handle()->TextMetrics().tmHeight + margins.Top + margins.Bottom;
}

int TcxCustomEditViewData::GetAutoHeight(const TFont& font, int border_width, bool shadow) const {
  return GetEditContentHeight(font) + 2 * border_width + (shadow ? TcxContainer::kShadowSize : 0);
}

void TcxCustomEditViewData::Calculate(TcxCustomEditViewInfo& view_info) const {
  view_info.text_rect = GetTextRect(view_info.border_rect);
  view_info.enabled = !view_info.state.Contains(EditVisualState::kDisabled);
}

TRect TcxCustomTextEditViewData::GetTextMargins() const {
  const int right = Properties().Alignment().Horz() == taRightJustify ? 2 : 1;
  const int bottom = InPlace() ? 1 : 3;
  return {1, 1, right, bottom};
}

int TcxCustomTextEditViewData::GetEditContentHeight(const TFont& font) const {
  return TcxCustomEditViewData::GetEditContentHeight(font) + kLineSpacing;
}

}  // namespace orlit
