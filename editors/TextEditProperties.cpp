#include "editors/TextEditProperties.h"

#include <algorithm>

namespace orlit {

void TcxTextEditPropertiesValues::RestoreDefaults() {
  TcxCustomEditPropertiesValues::RestoreDefaults();
  SetMaxLength(false);
  SetUseLeftAlignmentOnEditing(false);
}

void TcxTextEditPropertiesValues::Assign(const TPersistent& source) {
  TcxCustomEditPropertiesValues::Assign(source);
  if (const auto* values = dynamic_cast<const TcxTextEditPropertiesValues*>(&source)) {
    SetMaxLength(values->max_length_);
    SetUseLeftAlignmentOnEditing(values->use_left_alignment_on_editing_);
  }
}

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner, std::make_unique<TcxTextEditPropertiesValues>(this)) {}

int TcxCustomTextEditProperties::MaxLength() const {
  return AssignedValues().MaxLength() ? max_length_ : 0;
}

void TcxCustomTextEditProperties::SetMaxLength(int max_length) {
  max_length = std::max(max_length, 0);
  if (AssignedValues().MaxLength() && max_length_ == max_length) return;
  BeginUpdate();
  max_length_ = max_length;
  AssignedValues().SetMaxLength(true);
  Changed();
  EndUpdate();
}

bool TcxCustomTextEditProperties::UseLeftAlignmentOnEditing() const {
  return AssignedValues().UseLeftAlignmentOnEditing() && use_left_alignment_on_editing_;
}

void TcxCustomTextEditProperties::SetUseLeftAlignmentOnEditing(bool use_left_alignment) {
  if (AssignedValues().UseLeftAlignmentOnEditing() &&
      use_left_alignment_on_editing_ == use_left_alignment) {
    return;
  }
  BeginUpdate();
  use_left_alignment_on_editing_ = use_left_alignment;
  AssignedValues().SetUseLeftAlignmentOnEditing(true);
  Changed();
  EndUpdate();
}

char32_t TcxCustomTextEditProperties::EffectivePasswordChar() const {
  if (password_char_ != 0) return password_char_;
  return echo_mode_ == eemPassword ? U'*' : 0;
}

std::string TcxCustomTextEditProperties::GetValidateErrorText(int error_kind) const {
  if (error_kind == 1) return kEditValueOutOfBoundsText;
  return TcxCustomEditProperties::GetValidateErrorText(error_kind);
}

void TcxCustomTextEditProperties::Assign(const TPersistent& source) {
  const auto* properties = dynamic_cast<const TcxCustomTextEditProperties*>(&source);
  if (properties == nullptr || properties == this) {
    TcxCustomEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  TcxCustomEditProperties::Assign(source);
  SetAutoSelect(properties->auto_select_);
  SetCharCase(properties->char_case_);
  SetEchoMode(properties->echo_mode_);
  SetHideSelection(properties->hide_selection_);
  SetImeMode(properties->ime_mode_);
  SetImeName(properties->ime_name_);
  lookup_items_.Assign(properties->lookup_items_);
  SetLookupItemsSorted(properties->lookup_items_sorted_);
  SetDisplaySetting(max_length_, properties->max_length_);
  SetOEMConvert(properties->oem_convert_);
  SetPasswordChar(properties->password_char_);
  SetDisplaySetting(use_left_alignment_on_editing_, properties->use_left_alignment_on_editing_);
  EndUpdate();
}

}  // namespace orlit
