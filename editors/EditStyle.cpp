#include "editors/EditStyle.h"

#include "editors/StyleController.h"

namespace orlit {

namespace {

const TcxCustomEditStyle* AsEditStyle(const TcxCustomContainerStyle* style) {
  return dynamic_cast<const TcxCustomEditStyle*>(style);
}

}  // namespace

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() const {
  if (const auto* source = AsEditStyle(AssignedSource(svButtonStyle))) return source->button_style_;
  return btsDefault;
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle style) {
  SetValue(svButtonStyle, button_style_, style);
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() const {
  if (const auto* source = AsEditStyle(AssignedSource(svButtonTransparency))) {
    return source->button_transparency_;
  }
  return ebtNone;
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency transparency) {
  SetValue(svButtonTransparency, button_transparency_, transparency);
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() const {
  if (const auto* source = AsEditStyle(AssignedSource(svPopupBorderStyle))) {
    return source->popup_border_style_;
  }
  return epbsDefault;
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle style) {
  SetValue(svPopupBorderStyle, popup_border_style_, style);
}

TcxEditStyleController* TcxCustomEditStyle::StyleController() const {
  return dynamic_cast<TcxEditStyleController*>(TcxCustomContainerStyle::StyleController());
}

void TcxCustomEditStyle::SetStyleController(TcxEditStyleController* controller) {
  TcxCustomContainerStyle::SetStyleController(controller);
}

void TcxCustomEditStyle::Assign(const TPersistent& source) {
  const auto* style = dynamic_cast<const TcxCustomEditStyle*>(&source);
  if (style == nullptr || style == this) {
    TcxCustomContainerStyle::Assign(source);
    return;
  }
  BeginUpdate();
  button_style_ = style->button_style_;
  button_transparency_ = style->button_transparency_;
  popup_border_style_ = style->popup_border_style_;
  TcxCustomContainerStyle::Assign(source);
  EndUpdate();
}

}  // namespace orlit
