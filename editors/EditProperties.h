#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "convert/Translation.h"
#include "editors/EditAlignment.h"
#include "editors/Variant.h"
#include "lookandfeel/InterfacedPersistent.h"

namespace orlit {

class TcxCustomEdit;
class TcxCustomEditProperties;

// Sender is the editor; the handler may correct `display_value`, change `error_text` and set or
// clear `error`.
using TcxEditValidateEvent = std::function<void(TObject* sender, Variant& display_value,
                                                std::string& error_text, bool& error)>;

// The default error texts by kind of error.
inline constexpr const char* kEditInvalidInputText =
    N_("Invalid input value. Use escape key to abandon changes");
inline constexpr const char* kEditValueOutOfBoundsText = N_("Value out of bounds");

// Told after a properties object changed in a way that affects the display.
class EditPropertiesListener {
 public:
  virtual void PropertiesChanged(TcxCustomEditProperties* sender) = 0;

 protected:
  ~EditPropertiesListener() = default;
};

// Which settings of a properties object are explicitly assigned. A setting that is not assigned
// reads as its default and is not stored; clearing a flag here returns it to its default.
class TcxCustomEditPropertiesValues : public TPersistent {
 public:
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* properties)
      : properties_(properties) {}

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool assigned);
  // Clears every flag.
  virtual void RestoreDefaults();
  void Assign(const TPersistent& source) override;

 protected:
  void SetFlag(bool& flag, bool assigned);

 private:
  TcxCustomEditProperties* properties_;
  bool read_only_ = false;
};

// The settings every editor kind shares, the conversion between edit value and display text,
// and the validation chain. Setters that affect the display store only a change and tell every
// editor using the object; between BeginUpdate and EndUpdate the changes are announced once.
class TcxCustomEditProperties : public TcxInterfacedPersistent {
 public:
  explicit TcxCustomEditProperties(TPersistent* owner = nullptr);
  ~TcxCustomEditProperties() override;

  TcxCustomEditPropertiesValues& AssignedValues() const { return *assigned_values_; }
  TcxEditAlignment& Alignment() { return alignment_; }
  const TcxEditAlignment& Alignment() const { return alignment_; }
  // No notification: it changes nothing shown.
  bool BeepOnError() const { return beep_on_error_; }
  void SetBeepOnError(bool beep_on_error) { beep_on_error_ = beep_on_error; }
  // Stored only when assigned; False when not.
  bool ReadOnly() const;
  void SetReadOnly(bool read_only);
  // No notification: it changes nothing shown.
  bool ValidateOnEnter() const { return validate_on_enter_; }
  void SetValidateOnEnter(bool validate_on_enter) { validate_on_enter_ = validate_on_enter; }

  // The display text of an edit value and the edit value of a display text; the identity on
  // strings here, with a null value shown as the empty text.
  virtual std::string MakeDisplayText(const Variant& edit_value, bool focused) const;
  virtual Variant MakeEditValue(const std::string& text, bool focused) const;
  // The validation chain, most specific class first; this base part supplies the default error
  // text and then asks OnValidate (sender: `editor`).
  virtual void CheckDisplayValue(Variant& display_value, std::string& error_text, bool& error,
                                 TcxCustomEdit* editor);
  // 0: invalid input.
  virtual std::string GetValidateErrorText(int error_kind) const;

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  bool IsUpdating() const { return update_count_ > 0; }
  // Announces a change to every listener (gathered while updating).
  void Changed();

  void AddListener(EditPropertiesListener* listener);
  void RemoveListener(EditPropertiesListener* listener);

  // Copies the settings and the events of another properties object.
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;

 protected:
  TcxCustomEditProperties(TPersistent* owner,
                          std::unique_ptr<TcxCustomEditPropertiesValues> assigned_values);

  template <typename T>
  void SetDisplaySetting(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }

 private:
  std::unique_ptr<TcxCustomEditPropertiesValues> assigned_values_;
  TcxEditAlignment alignment_;
  bool beep_on_error_ = false;
  bool read_only_ = false;
  bool validate_on_enter_ = false;
  int update_count_ = 0;
  bool changed_while_updating_ = false;
  std::vector<EditPropertiesListener*> listeners_;
};

}  // namespace orlit
