#pragma once

#include <memory>
#include <string>

#include "editors/MaskEditMode.h"
#include "editors/MaskEditProperties.h"
#include "editors/TextEdit.h"

namespace orlit {

// A single-line text editor with an edit mask: the mask fixes, position by position, what may
// be typed, which characters are constant and which positions may stay empty. Typed characters
// overwrite, the caret is a one-character block, and the text must be complete to be taken.
// With a blank mask it is the plain text editor.
class TcxCustomMaskEdit : public TcxCustomTextEdit {
 public:
  TcxCustomMaskEdit();
  ~TcxCustomMaskEdit() override;

  TcxCustomMaskEditProperties& Properties() const {
    return static_cast<TcxCustomMaskEditProperties&>(TcxCustomTextEdit::Properties());
  }
  TcxMaskEditCustomMode& Mode() const { return *mode_; }

  // The display text in its unfocused form: blanks read as spaces, literals only when saved.
  std::string Text() const override;
  void SetSelStart(int start) override;
  void SetSelLength(int length) override;

  // Shift was held at the last key-down: the native edit extends the selection.
  bool ExtendingSelection() const { return extending_selection_; }
  void SetExtendingSelection(bool extending) { extending_selection_ = extending; }

 protected:
  explicit TcxCustomMaskEdit(std::unique_ptr<TcxCustomMaskEditProperties> properties);

  void EditorKeyDown(int& key, TShiftState shift) override;
  void EditorKeyPress(char32_t& key) override;
  void InnerCutToClipboard() override;
  void InnerPasteFromClipboard() override;
  void InnerCaretPlaced() override;
  void ApplyProperties() override;
  void DoEnter() override;
  void ExitAccepted() override;
  void PropertiesChanged(TcxCustomEditProperties* sender) override;

 private:
  bool IsStandardMasked() const { return Properties().IsMasked() && mode_->Kind() == emkStandard; }
  // Forms the text shown again through the current mask.
  void ReformText();

  std::unique_ptr<TcxMaskEditCustomMode> mode_;
  bool extending_selection_ = false;
};

// The masked editor as forms place it.
class TcxMaskEdit : public TcxCustomMaskEdit {
 public:
  TcxMaskEdit() = default;

  TcxMaskEditProperties& Properties() const {
    return static_cast<TcxMaskEditProperties&>(TcxCustomMaskEdit::Properties());
  }
  void SetProperties(const TcxMaskEditProperties& properties) { Properties().Assign(properties); }
};

}  // namespace orlit
