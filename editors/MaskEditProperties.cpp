#include "editors/MaskEditProperties.h"

namespace orlit {

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* owner)
    : TcxCustomTextEditProperties(owner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

void TcxCustomMaskEditProperties::SetEditMask(const std::string& edit_mask) {
  if (edit_mask == edit_mask_) return;
  // Parsed aside first, so that a mask that does not parse leaves everything as it was.
  CreateMaskEditMode(mask_kind_, nullptr)->SetMask(edit_mask);
  edit_mask_ = edit_mask;
  Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind mask_kind) {
  if (mask_kind == mask_kind_) return;
  if (mask_kind == emkStandard) {
    edit_mask_.clear();
  } else {
    CreateMaskEditMode(mask_kind, nullptr)->SetMask(edit_mask_);
  }
  mask_kind_ = mask_kind;
  Changed();
}

const TcxMaskEditCustomMode& TcxCustomMaskEditProperties::Mode() const {
  if (mode_ == nullptr || mode_->Kind() != mask_kind_) {
    mode_ = CreateMaskEditMode(mask_kind_, nullptr);
  }
  if (mode_->Mask() != edit_mask_) mode_->SetMask(edit_mask_);
  return *mode_;
}

std::string TcxCustomMaskEditProperties::UnfocusedText(const std::string& display_text) const {
  if (!IsMasked()) return display_text;
  const TcxMaskEditCustomMode& mode = Mode();
  return ToUtf8(
      mode.ExtractValue(mode.PlaceText(ToCodePoints(display_text), CharCase() == ecNormal)));
}

std::string TcxCustomMaskEditProperties::MakeDisplayText(const Variant& edit_value,
                                                         bool focused) const {
  if (!IsMasked()) return TcxCustomTextEditProperties::MakeDisplayText(edit_value, focused);
  const std::string text = VarToStr(edit_value);
  const TcxMaskEditCustomMode& mode = Mode();
  if (focused || always_show_blanks_and_literals_ || mode.Kind() != emkStandard) {
    return ToUtf8(mode.PlaceText(ToCodePoints(text), true));
  }
  // A mask without positions shows the value as it is.
  if (static_cast<const TcxMaskEditStandardMode&>(mode).StandardMask().Count() == 0) return text;
  return UnfocusedText(text);
}

Variant TcxCustomMaskEditProperties::MakeEditValue(const std::string& text, bool focused) const {
  if (!IsMasked()) return TcxCustomTextEditProperties::MakeEditValue(text, focused);
  return Variant(UnfocusedText(text));
}

void TcxCustomMaskEditProperties::CheckDisplayValue(Variant& display_value, std::string& error_text,
                                                    bool& error, TcxCustomEdit* editor) {
  if (IsMasked() && !error) {
    error = !Mode().IsComplete(ToCodePoints(VarToStr(display_value)), ignore_mask_blank_);
    if (error) error_text = kMaskEditInvalidText;
  }
  TcxCustomTextEditProperties::CheckDisplayValue(display_value, error_text, error, editor);
}

void TcxCustomMaskEditProperties::Assign(const TPersistent& source) {
  const auto* properties = dynamic_cast<const TcxCustomMaskEditProperties*>(&source);
  if (properties == nullptr || properties == this) {
    TcxCustomTextEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  TcxCustomTextEditProperties::Assign(source);
  SetDisplaySetting(mask_kind_, properties->mask_kind_);
  SetDisplaySetting(edit_mask_, properties->edit_mask_);
  ignore_mask_blank_ = properties->ignore_mask_blank_;
  SetAlwaysShowBlanksAndLiterals(properties->always_show_blanks_and_literals_);
  SetCaseInsensitive(properties->case_insensitive_);
  EndUpdate();
}

}  // namespace orlit
