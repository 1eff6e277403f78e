#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "framework/EditText.h"
#include "framework/MemoText.h"

namespace orlit {

// The text, caret and selection of a multi-line edit, and the rules of changing them, without
// any layout or painting: the multi-line counterpart of EditText. Positions are those of
// MemoText (a line break counts two). The selection runs between the anchor and the caret.
//
// Every edit answers with an Outcome: whether it was done at all (a refused edit leaves the
// caret too) and which lines it touched, so that the owner's layout follows.
class MemoEditText {
 public:
  enum class Move { kLeft, kRight, kWordLeft, kWordRight };

  struct Outcome {
    bool done = false;
    // The text changed (a done edit may leave it as it was).
    bool changed = false;
    MemoText::LinesChange lines;
  };

  const MemoText& Model() const { return text_; }
  std::string Text() const { return text_.Text(); }
  int Length() const { return text_.Length(); }

  int Anchor() const { return anchor_; }
  int Caret() const { return caret_; }
  int SelStart() const { return std::min(anchor_, caret_); }
  int SelEnd() const { return std::max(anchor_, caret_); }
  int SelLength() const { return SelEnd() - SelStart(); }
  std::string SelText() const { return text_.TextRange(SelStart(), SelLength()); }

  // 0 (or less) is no limit; only what the user inserts is limited.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int max_length) { max_length_ = max_length < 0 ? 0 : max_length; }
  // Applies to what the user inserts from now on.
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase char_case) { char_case_ = char_case; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

  // Both ends snapped into the text.
  void SetSelection(int anchor, int caret);
  // With `extend` the anchor stays, otherwise it follows.
  void MoveCaretTo(int position, bool extend);
  // Without `extend`, kLeft and kRight on a selection only collapse it to its start or end.
  void MoveCaret(Move move, bool extend);
  // The run of characters of one class around `position` within its line.
  void SelectWordAt(int position);
  void SelectLineAt(int position);

  // The user's edits; refused while read-only. Inserting replaces the selection: every kind of
  // break becomes CR LF, control characters but the tab go, the character case applies and,
  // with a maximum length, only what fits is taken (a break whole or not at all). Consecutive
  // typing forms one undoable edit.
  Outcome Type(char32_t c) { return Insert(std::u32string_view(&c, 1), true); }
  Outcome Insert(std::u32string_view text, bool typing = false);
  // Backspace and Delete: the selection, else one character or, with `word`, up to the word
  // boundary.
  Outcome DeleteBackward(bool word);
  Outcome DeleteForward(bool word);
  Outcome DeleteSelection();
  // Restores the text before the last edit; undoing again redoes it. Not while read-only.
  Outcome Undo();
  bool CanUndo() const { return undo_.valid; }
  void ClearUndo() { undo_ = {}; }

  // A change from code: unfiltered, unlimited, not undoable; the caret ends after `utf8`.
  Outcome Replace(int start, int length, std::string_view utf8);

 private:
  struct UndoRecord {
    bool valid = false;
    int start = 0;
    std::string removed;
    int inserted = 0;
    bool typing = false;
  };

  // Every change of the text goes through here.
  Outcome ReplaceRange(int start, int length, std::string_view utf8, bool undoable, bool typing);
  Outcome DeleteByUser(int start, int end);
  std::string FilterUserText(std::u32string_view text) const;

  int StepLeft(int position) const;
  int StepRight(int position) const;
  int WordLeft(int position) const;
  int WordRight(int position) const;

  MemoText text_;
  int anchor_ = 0;
  int caret_ = 0;
  UndoRecord undo_;
  bool read_only_ = false;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
};

}  // namespace orlit
