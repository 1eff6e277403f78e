#pragma once

#include <memory>
#include <string>

#include "convert/Translation.h"
#include "editors/MaskEditMode.h"
#include "editors/TextEditProperties.h"

namespace orlit {

inline constexpr const char* kMaskEditInvalidText = N_("The edit value is invalid");

// The mask settings of a masked editor. While the mask is blank the conversions and the
// validation are those of the text editor. The properties keep an engine of their own for the
// conversions asked of them; editors keep theirs for the keys.
class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
 public:
  explicit TcxCustomMaskEditProperties(TPersistent* owner = nullptr);
  ~TcxCustomMaskEditProperties() override;

  const std::string& EditMask() const { return edit_mask_; }
  // A regular-expression mask that does not parse raises EcxMaskEditError and is not taken.
  void SetEditMask(const std::string& edit_mask);
  TcxEditMaskKind MaskKind() const { return mask_kind_; }
  // Back to the standard kind from a regular-expression one clears the mask, which would not
  // read the same; to a regular-expression kind the mask must parse as one.
  void SetMaskKind(TcxEditMaskKind mask_kind);
  // No notification: read when validating.
  bool IgnoreMaskBlank() const { return ignore_mask_blank_; }
  void SetIgnoreMaskBlank(bool ignore) { ignore_mask_blank_ = ignore; }
  bool AlwaysShowBlanksAndLiterals() const { return always_show_blanks_and_literals_; }
  void SetAlwaysShowBlanksAndLiterals(bool always_show) {
    SetDisplaySetting(always_show_blanks_and_literals_, always_show);
  }
  // True whenever the native edit converts the case itself.
  bool CaseInsensitive() const { return case_insensitive_ || CharCase() != ecNormal; }
  void SetCaseInsensitive(bool insensitive) { SetDisplaySetting(case_insensitive_, insensitive); }

  // The mask is not blank: the editor is a masked one.
  bool IsMasked() const { return !IsBlankMask(edit_mask_); }
  // The engine for conversions without an editor, made again when kind or mask moved on.
  const TcxMaskEditCustomMode& Mode() const;
  // The display text in the unfocused form: blanks as spaces, literals only when saved.
  std::string UnfocusedText(const std::string& display_text) const;

  std::string MakeDisplayText(const Variant& edit_value, bool focused) const override;
  Variant MakeEditValue(const std::string& text, bool focused) const override;
  void CheckDisplayValue(Variant& display_value, std::string& error_text, bool& error,
                         TcxCustomEdit* editor) override;
  void Assign(const TPersistent& source) override;

 private:
  std::string edit_mask_;
  TcxEditMaskKind mask_kind_ = emkStandard;
  bool ignore_mask_blank_ = false;
  bool always_show_blanks_and_literals_ = false;
  bool case_insensitive_ = true;
  mutable std::unique_ptr<TcxMaskEditCustomMode> mode_;
};

// The properties class TcxMaskEdit publishes.
class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
 public:
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

}  // namespace orlit
