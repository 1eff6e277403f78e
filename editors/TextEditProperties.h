#pragma once

#include <string>

#include "editors/EditProperties.h"
#include "framework/EditText.h"
#include "framework/Strings.h"

namespace orlit {

enum TcxEditEchoMode { eemNormal, eemPassword };

enum TImeMode {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel,
};

// The assigned flags of a text editor's properties: ReadOnly, MaxLength and
// UseLeftAlignmentOnEditing are stored only when assigned.
class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
 public:
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;

  bool MaxLength() const { return max_length_; }
  void SetMaxLength(bool assigned) { SetFlag(max_length_, assigned); }
  bool UseLeftAlignmentOnEditing() const { return use_left_alignment_on_editing_; }
  void SetUseLeftAlignmentOnEditing(bool assigned) {
    SetFlag(use_left_alignment_on_editing_, assigned);
  }
  void RestoreDefaults() override;
  void Assign(const TPersistent& source) override;

 private:
  bool max_length_ = false;
  bool use_left_alignment_on_editing_ = false;
};

// The settings of the single-line text editors. Input-method settings, OEM conversion and the
// lookup list are kept as settings only: this system has no input methods or code pages to
// apply them to, and nothing uses the lookup list.
class TcxCustomTextEditProperties : public TcxCustomEditProperties {
 public:
  explicit TcxCustomTextEditProperties(TPersistent* owner = nullptr);

  TcxTextEditPropertiesValues& AssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues&>(TcxCustomEditProperties::AssignedValues());
  }
  // Select the whole text when the editor receives the focus.
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool auto_select) { SetDisplaySetting(auto_select_, auto_select); }
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase char_case) { SetDisplaySetting(char_case_, char_case); }
  TcxEditEchoMode EchoMode() const { return echo_mode_; }
  void SetEchoMode(TcxEditEchoMode echo_mode) { SetDisplaySetting(echo_mode_, echo_mode); }
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool hide_selection) { SetDisplaySetting(hide_selection_, hide_selection); }
  TImeMode ImeMode() const { return ime_mode_; }
  void SetImeMode(TImeMode ime_mode) { SetDisplaySetting(ime_mode_, ime_mode); }
  const std::string& ImeName() const { return ime_name_; }
  void SetImeName(const std::string& ime_name) { SetDisplaySetting(ime_name_, ime_name); }
  TStringList& LookupItems() { return lookup_items_; }
  bool LookupItemsSorted() const { return lookup_items_sorted_; }
  void SetLookupItemsSorted(bool sorted) { SetDisplaySetting(lookup_items_sorted_, sorted); }
  // In characters; 0 is no limit. Stored only when assigned; 0 when not.
  int MaxLength() const;
  void SetMaxLength(int max_length);
  bool OEMConvert() const { return oem_convert_; }
  void SetOEMConvert(bool oem_convert) { SetDisplaySetting(oem_convert_, oem_convert); }
  char32_t PasswordChar() const { return password_char_; }
  void SetPasswordChar(char32_t password_char) { SetDisplaySetting(password_char_, password_char); }
  // Stored only when assigned; False when not.
  bool UseLeftAlignmentOnEditing() const;
  void SetUseLeftAlignmentOnEditing(bool use_left_alignment);
  // The character the native edit shows instead of each one: PasswordChar, else "*" for the
  // password echo mode, else none.
  char32_t EffectivePasswordChar() const;

  // 1: a value outside the bounds of a numeric kind.
  std::string GetValidateErrorText(int error_kind) const override;
  void Assign(const TPersistent& source) override;

 private:
  bool auto_select_ = true;
  TEditCharCase char_case_ = ecNormal;
  TcxEditEchoMode echo_mode_ = eemNormal;
  bool hide_selection_ = true;
  TImeMode ime_mode_ = imDontCare;
  std::string ime_name_;
  TStringList lookup_items_;
  bool lookup_items_sorted_ = false;
  int max_length_ = 0;
  bool oem_convert_ = false;
  char32_t password_char_ = 0;
  bool use_left_alignment_on_editing_ = false;
};

// The properties class TcxTextEdit publishes.
class TcxTextEditProperties : public TcxCustomTextEditProperties {
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};

}  // namespace orlit
