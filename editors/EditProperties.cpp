#include "editors/EditProperties.h"

#include <algorithm>

#include "editors/Editor.h"

namespace orlit {

void TcxCustomEditPropertiesValues::SetFlag(bool& flag, bool assigned) {
  if (flag == assigned) return;
  flag = assigned;
  properties_->Changed();
}

void TcxCustomEditPropertiesValues::SetReadOnly(bool assigned) { SetFlag(read_only_, assigned); }

void TcxCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TcxCustomEditPropertiesValues::Assign(const TPersistent& source) {
  const auto* values = dynamic_cast<const TcxCustomEditPropertiesValues*>(&source);
  if (values == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  SetReadOnly(values->read_only_);
}

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner, nullptr) {}

TcxCustomEditProperties::TcxCustomEditProperties(
    TPersistent* owner, std::unique_ptr<TcxCustomEditPropertiesValues> assigned_values)
    : TcxInterfacedPersistent(owner), assigned_values_(std::move(assigned_values)) {
  if (assigned_values_ == nullptr) {
    assigned_values_ = std::make_unique<TcxCustomEditPropertiesValues>(this);
  }
  alignment_.OnChange = [this](TObject*) { Changed(); };
}

TcxCustomEditProperties::~TcxCustomEditProperties() = default;

bool TcxCustomEditProperties::ReadOnly() const {
  return assigned_values_->ReadOnly() && read_only_;
}

void TcxCustomEditProperties::SetReadOnly(bool read_only) {
  if (assigned_values_->ReadOnly() && read_only_ == read_only) return;
  BeginUpdate();
  read_only_ = read_only;
  assigned_values_->SetReadOnly(true);
  Changed();
  EndUpdate();
}

std::string TcxCustomEditProperties::MakeDisplayText(const Variant& edit_value,
                                                     bool /*focused*/) const {
  return VarToStr(edit_value);
}

Variant TcxCustomEditProperties::MakeEditValue(const std::string& text, bool /*focused*/) const {
  return Variant(text);
}

void TcxCustomEditProperties::CheckDisplayValue(Variant& display_value, std::string& error_text,
                                                bool& error, TcxCustomEdit* editor) {
  if (error_text.empty()) error_text = GetValidateErrorText(0);
  if (!OnValidate) return;
  const Variant before = display_value;
  OnValidate(editor, display_value, error_text, error);
  // A refusal that corrects nothing leaves the text as the user sees it now.
  if (error && display_value == before && editor != nullptr) {
    display_value = Variant(editor->DisplayText());
  }
}

std::string TcxCustomEditProperties::GetValidateErrorText(int error_kind) const {
  return error_kind == 0 ? kEditInvalidInputText : std::string();
}

void TcxCustomEditProperties::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (!changed_while_updating_) return;
  changed_while_updating_ = false;
  Changed();
}

void TcxCustomEditProperties::Changed() {
  if (update_count_ > 0) {
    changed_while_updating_ = true;
    return;
  }
  // A listener may unregister while an earlier one recomputes.
  const std::vector<EditPropertiesListener*> listeners = listeners_;
  for (EditPropertiesListener* listener : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
      listener->PropertiesChanged(this);
    }
  }
}

void TcxCustomEditProperties::AddListener(EditPropertiesListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void TcxCustomEditProperties::RemoveListener(EditPropertiesListener* listener) {
  std::erase(listeners_, listener);
}

void TcxCustomEditProperties::Assign(const TPersistent& source) {
  const auto* properties = dynamic_cast<const TcxCustomEditProperties*>(&source);
  if (properties == nullptr) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  if (properties == this) return;
  BeginUpdate();
  alignment_.Assign(properties->alignment_);
  beep_on_error_ = properties->beep_on_error_;
  validate_on_enter_ = properties->validate_on_enter_;
  if (read_only_ != properties->read_only_) {
    read_only_ = properties->read_only_;
    Changed();
  }
  assigned_values_->Assign(*properties->assigned_values_);
  OnChange = properties->OnChange;
  OnEditValueChanged = properties->OnEditValueChanged;
  OnValidate = properties->OnValidate;
  EndUpdate();
}

}  // namespace orlit
