#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editors/Container.h"
#include "editors/EditProperties.h"
#include "editors/EditStyle.h"
#include "editors/Variant.h"
#include "editors/ViewData.h"

namespace orlit {

class TcxCustomInnerTextEdit;

// Asked before the user's first change after the focus arrived; CanEdit starts True.
using TcxEditEditingEvent = std::function<void(TObject* sender, bool& can_edit)>;

// An editor: a container whose content stands for a value. It keeps the edit value beside the
// display text the user types, tracks the user's changes since the focus arrived, runs the key
// path from its inner control through the application's events to the editor kind's own
// processing, and validates the text when it is confirmed with Enter or when the focus leaves,
// keeping the user in a field whose text fails.
class TcxCustomEdit : public TcxContainer, protected EditPropertiesListener {
 public:
  ~TcxCustomEdit() override;

  TcxCustomEditProperties& Properties() const { return *properties_; }
  // Copies, as assigning to Properties does.
  void SetProperties(const TcxCustomEditProperties& properties) { properties_->Assign(properties); }
  TcxEditStyle& Style() const { return static_cast<TcxEditStyle&>(TcxContainer::Style()); }
  TcxEditStyleEx& StyleFocused() const {
    return static_cast<TcxEditStyleEx&>(TcxContainer::StyleFocused());
  }
  TcxEditStyleEx& StyleDisabled() const {
    return static_cast<TcxEditStyleEx&>(TcxContainer::StyleDisabled());
  }
  TcxEditStyleEx& StyleHot() const {
    return static_cast<TcxEditStyleEx&>(TcxContainer::StyleHot());
  }
  // Copy into the owned styles.
  void SetStyle(const TcxCustomEditStyle& style) { Style().Assign(style); }
  void SetStyleFocused(const TcxCustomEditStyle& style) { StyleFocused().Assign(style); }
  void SetStyleDisabled(const TcxCustomEditStyle& style) { StyleDisabled().Assign(style); }
  void SetStyleHot(const TcxCustomEditStyle& style) { StyleHot().Assign(style); }

  // The value the editor stands for. Writing it (or Text) from code converts through the
  // properties, shows the display text and is no change of the user's.
  const Variant& EditValue() const;
  void SetEditValue(const Variant& value);
  // The display text as the editor kind reads it back.
  virtual std::string Text() const { return DisplayText(); }
  void SetText(const std::string& text);
  // What the inner control shows.
  virtual std::string DisplayText() const = 0;

  bool ModifiedSinceEntry() const { return modified_since_entry_; }
  bool InputValidated() const { return input_validated_; }
  const Variant& EnterValue() const { return enter_value_; }
  bool EscapeConsumed() const { return escape_consumed_; }

  // Whether an Enter character reaches the native edit (which beeps at it).
  bool BeepOnEnter() const { return beep_on_enter_; }
  void SetBeepOnEnter(bool beep_on_enter) { beep_on_enter_ = beep_on_enter; }
  // Inside a host control; never for the editors of this system, which stand on their own.
  bool IsInplace() const { return false; }

  // Validates the display text after a change of the user's; with `raise_on_error` a failure
  // is reported (focus back, text selected, beep, exception). True when the text passed.
  bool CheckInput(bool raise_on_error);
  void ReportInvalidInput(const std::string& error_text);
  // Escape: back to the value the editor had when the focus arrived.
  void AbandonChanges();
  // Stores the edit value made from the display text.
  void CommitValue();
  // Asked before the first change of the user's since the focus arrived.
  bool RequestEditing();

  TcxEditEditingEvent OnEditing;

 protected:
  explicit TcxCustomEdit(std::unique_ptr<TcxCustomEditProperties> properties,
                         ContainerStyleKind kind = ContainerStyleKind::kEdit);

  // Made on first use by CreateViewData, once the editor kind is complete.
  TcxCustomEditViewData& ViewData() const;
  virtual std::unique_ptr<TcxCustomEditViewData> CreateViewData() const;

  // The editor kind's own key processing, after the application's events.
  virtual void EditorKeyDown(int& key, TShiftState shift);
  virtual void EditorKeyPress(char32_t& key);
  // Characters from #32 on that the editor kind accepts.
  virtual bool IsValidChar(char32_t /*key*/) const { return true; }
  // An editor kind whose text may be long makes its edit value from the text when it is read
  // rather than at every change, unless OnEditValueChanged asks to hear of each change.
  virtual bool DefersEditValue() const { return false; }
  // Whether the editor kind keeps EnterValue for Escape.
  virtual bool CanKeepEnterValue() const { return false; }
  // Shows `text` in the inner control without counting as the user's change.
  void SetDisplayText(const std::string& text);
  virtual void InternalSetDisplayText(const std::string& text) = 0;
  virtual void SelectAllText() = 0;
  // Stores a committed value; a data-bound editor would hand it to its data.
  virtual void StoreEditValue(const Variant& value);
  // The properties changed: the editor kind applies them to its inner control.
  virtual void ApplyProperties() {}

  void SetModifiedSinceEntry(bool modified);
  // Holds OnChange and OnEditValueChanged back; the last unlock fires what was held.
  void LockChangeEvents(bool lock);
  // The inner control reports a change of its text, whoever made it; only the user's own
  // changes mark the editor modified.
  void InnerTextChanged(bool by_user);
  // The focus leaves and the text passed: the editor kind may show its unfocused form.
  virtual void ExitAccepted() {}
  static bool IsModifyingKey(int key, TShiftState shift);
  // Whether a keystroke of the user's may change the text: yes once it was changed since the
  // focus arrived, else OnEditing's answer, asked once for the whole keystroke (its key-down,
  // the editor kind's own handling and its character).
  bool KeystrokeMayEdit();

  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void DoEnter() override;
  void DoExit() override;
  bool IsEditor() const override { return true; }
  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  TRect GetInnerControlBounds() override;
  bool CanAutoSize(int& new_width, int& new_height) override;
  void Loaded() override;

  void PropertiesChanged(TcxCustomEditProperties* sender) override;

 private:
  template <class Native>
  friend class TcxInnerEditorBase;

  // Stores `value`, firing OnEditValueChanged when it differs in type or value.
  void InternalSetEditValue(const Variant& value);
  void DoChange();
  void DoEditValueChanged();
  void FocusNext(bool forward);
  static bool IsModifyingChar(char32_t key);

  std::unique_ptr<TcxCustomEditProperties> properties_;
  mutable std::unique_ptr<TcxCustomEditViewData> view_data_;
  // Made from the text when read, after a change of an editor kind that defers it.
  mutable Variant edit_value_;
  mutable bool edit_value_stale_ = false;
  Variant enter_value_;
  bool modified_since_entry_ = false;
  bool input_validated_ = false;
  bool escape_consumed_ = false;
  std::optional<bool> keystroke_editing_answer_;
  bool beep_on_enter_ = true;
  // Changes of the display text made by the editor itself.
  int display_change_lock_ = 0;
  int change_events_lock_ = 0;
  bool change_pending_ = false;
  bool edit_value_change_pending_ = false;
  // Focus put back by ReportInvalidInput: its exit and entry do not validate again.
  int validation_guard_ = 0;
};

}  // namespace orlit
