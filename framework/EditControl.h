#pragma once

#include <cstdint>

#include "framework/CaretBlink.h"
#include "framework/ClickCount.h"
#include "framework/WinControl.h"

namespace orlit {

// What the single- and multi-line edits share: the look of a field, the key path in two steps,
// the caret's blinking, the counting of clicks, the change notification, and what focus, font,
// colour and enabled state do to the drawing.
//
// Keys arrive in two steps, as the desktop delivers them: KeyDown fires OnKeyDown and hands what
// is left to NativeKeyDown; KeyPress fires OnKeyPress and hands what is left to NativeKeyPress.
// A control that puts its own key path in front of the edit overrides KeyDown and KeyPress and
// calls the native steps itself.
class TEditControl : public TWinControl {
 public:
  // The desktop's caret: 1 pixel wide, blinking every 530 ms.
  static constexpr int kCaretWidth = 1;
  static constexpr std::uint32_t kCaretBlinkMs = CaretBlink::kIntervalMs;
  // A press this close to a double click, soon after it, is a triple click.
  static constexpr int kTripleClickDistance = ClickCount::kTripleClickDistance;

  // Set by every change the user makes; cleared by a whole new text from code.
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  // True while Change runs for a change the user made (typing, deleting, the clipboard, undo).
  bool ChangingByUser() const { return changing_by_user_; }

  // After every change of the text, whoever made it.
  TNotifyEvent OnChange;

 protected:
  TEditControl();

  virtual void Change();
  // Tells of a change of the text: Modified for the user's, then Change.
  void NotifyChange(bool by_user);

  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  bool WantsCharacters() const override { return true; }
  // The edit's own handling of a key-down; a key it used becomes 0.
  virtual void NativeKeyDown(int& key, TShiftState shift) = 0;
  // The edit's own handling of a character; characters below 32 are commands.
  virtual void NativeKeyPress(char32_t& key) = 0;

  // The left button: 1, 2 or 3 for a single, double or triple click.
  int CountClick(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void FocusChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;

  // Brings the drawing up to date with the text, caret, selection and focus.
  virtual void UpdateView() = 0;
  // Draws everything again (font, colours or enabled state changed). This version also serves
  // the colour set while the base is constructed.
  virtual void RedrawAll() { Invalidate(); }
  // Repaints the caret as its blink toggles.
  virtual void CaretToggled() = 0;

  CaretBlink blink_{[this] { CaretToggled(); }};
  // The left button is held after placing the caret.
  bool selecting_ = false;

 private:
  ClickCount clicks_;
  bool modified_ = false;
  bool changing_by_user_ = false;
};

}  // namespace orlit
