#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/EditControl.h"
#include "framework/EditText.h"
#include "framework/Panel.h"

namespace orlit {

class WindowSystem;

// The desktop's single-line edit control: one line of text with a caret and a selection, drawn
// in the control's font on its colour, scrolled sideways so that the caret stays in view. It
// takes the keyboard and the mouse as the desktop's fields do, works with the clipboard and
// keeps one level of undo. The text, caret and selection live in an EditText; this class adds
// the keys, the mouse, the clipboard and the painting.
//
// NativeKeyDown takes the caret keys, Delete and the Insert combinations; NativeKeyPress
// typing, Backspace, Ctrl+A/C/V/X/Z, and the warning beep for an Enter.
class TCustomEdit : public TEditControl {
 public:
  TCustomEdit();
  ~TCustomEdit() override;

  // Text from code: no maximum length, no read-only, the character case applies; the caret
  // goes to the start, the undo and Modified are cleared. The same text again changes nothing.
  std::string Text() const { return text_.Text(); }
  void SetText(std::string_view text);
  // In characters.
  int GetTextLen() const { return text_.Length(); }
  void Clear() { SetText({}); }

  // Selection from code, in characters. SetSelLength keeps the start; a negative length selects
  // backwards from it.
  int SelStart() const { return text_.SelStart(); }
  void SetSelStart(int start);
  int SelLength() const { return text_.SelLength(); }
  void SetSelLength(int length);
  // Both ends at once; the caret is the end that Shift+arrows move.
  void SetSelection(int anchor, int caret);
  int CaretIndex() const { return text_.Caret(); }
  void SelectAll();
  std::string SelText() const { return text_.SelText(); }
  // Replaces the selection as pasting would (maximum length and character case apply, read-only
  // does not) and leaves the caret after it. Not undoable.
  void SetSelText(std::string_view text);
  // Deletes the selection as the user's Delete would.
  void ClearSelection();
  // The whole text replaced by the user through a control's own editing rules (a mask): a
  // change of the user's, unfiltered but for the character case; the caret goes to the end.
  void OverwriteByUser(std::u32string_view text);

  // The clipboard commands of the keyboard. Copy and cut do nothing while a password character
  // hides the text; cut, paste and undo nothing while read-only.
  virtual void CopyToClipboard();
  virtual void CutToClipboard();
  virtual void PasteFromClipboard();
  virtual void Undo();
  bool CanUndo() const { return text_.CanUndo(); }
  void ClearUndo() { text_.ClearUndo(); }

  bool ReadOnly() const { return text_.ReadOnly(); }
  void SetReadOnly(bool read_only) { text_.SetReadOnly(read_only); }
  // In characters; 0 is no limit. A text already longer stays.
  int MaxLength() const { return text_.MaxLength(); }
  void SetMaxLength(int max_length) { text_.SetMaxLength(max_length); }
  // Converts the text already there as well.
  TEditCharCase CharCase() const { return text_.CharCase(); }
  void SetCharCase(TEditCharCase char_case);
  // Shown instead of every character; 0 shows the text.
  char32_t PasswordChar() const { return password_char_; }
  void SetPasswordChar(char32_t password_char);
  // The selection is not drawn while the control lacks the focus.
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool hide_selection);
  // The whole text is selected when the focus arrives.
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool auto_select) { auto_select_ = auto_select; }
  // Where a text narrower than the control sits; a wider one scrolls from the left.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

  // Client coordinates of the boundary before character `index` (the top of the line), and the
  // boundary nearest to a point.
  TPoint PosFromChar(int index);
  int CharFromPos(TPoint point);
  // How far the text is scrolled to the left, in pixels.
  int ScrollOffset() const { return scroll_; }
  // The caret is drawn now: the control has the focus, nothing is selected and the blink is in
  // its visible phase.
  bool CaretShown() const;
  // Where the caret is drawn, in client coordinates, whether it is shown or not.
  TRect CaretRect();
  int LineHeight() const;

  const EditText& Model() const { return text_; }

 protected:
  void NativeKeyDown(int& key, TShiftState shift) override;
  void NativeKeyPress(char32_t& key) override;

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void BoundsChanged() override;
  void UpdateView() override;
  void RedrawAll() override;
  void CaretToggled() override { UpdateView(); }

 private:
  // What was last drawn, so that a change invalidates only what it touches.
  struct View {
    int origin = 0;  // x of the text's first character
    std::u32string display;
    std::uint64_t revision = 0;  // of the text that `display` shows
    char32_t password_char = 0;
    int sel_start = 0;  // the selection as drawn; empty when hidden
    int sel_end = 0;
    int caret = -1;  // where the caret stands while focused with nothing selected, else -1
    bool caret_drawn = false;  // in the visible phase of its blink
    bool valid = false;
  };

  // Runs a change of the user's on the model, then updates the view and tells of the change.
  template <typename Edit>
  void UserEdit(Edit&& edit);
  void AfterChange(std::uint64_t old_revision, bool by_user);

  std::u32string DisplayChars() const;
  void EnsureLayout();
  int TextWidth() const { return offsets_.back(); }
  int Origin();
  void ScrollCaretIntoView();
  void InvalidateSpan(int origin, int from_x, int to_x);
  int CharIndexAt(int x);

  EditText text_;
  char32_t password_char_ = 0;
  bool hide_selection_ = true;
  bool auto_select_ = true;
  TAlignment alignment_ = taLeftJustify;

  // Layout: x of every character boundary for the text as displayed, from 0.
  std::vector<int> offsets_{0};
  std::uint64_t layout_revision_ = ~std::uint64_t{0};
  std::shared_ptr<const ResolvedFont> layout_font_;
  char32_t layout_password_ = 0;
  int scroll_ = 0;
  View painted_;
};

// The edit as forms place it.
class TEdit : public TCustomEdit {};

}  // namespace orlit
