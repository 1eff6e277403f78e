#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/Utf8.h"

namespace orlit {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// What a single-line field takes from one paste; the rest is dropped, as desktop toolkits cap
// their entries, so that a pasted book neither freezes the field nor fills the memory.
inline constexpr std::size_t kMaxPastedChars = 65536;

// Case mapping of one code point, for the scripts a field may plausibly hold: Latin (with the
// Romanian letters), Greek and Cyrillic. Everything else maps to itself.
char32_t ToUpperChar(char32_t c);
char32_t ToLowerChar(char32_t c);
char32_t ApplyCharCase(char32_t c, TEditCharCase char_case);

// What Ctrl+Left/Right and a double click treat as belonging together.
enum class CharClass { kWord, kSpace, kPunctuation };
CharClass ClassOfChar(char32_t c);

// Word boundaries in a run of text, shared by the single- and multi-line edits. Positions are
// clamped into [0, size]. Ctrl+Left goes to the start of the word at or before `position`,
// Ctrl+Right to the end of the word at or after it.
int WordStartBefore(std::u32string_view chars, int position);
int WordEndAfter(std::u32string_view chars, int position);
// The run of characters of one class around `position` (the character after it, or before it
// at the end), as [start, end).
struct CharSpan {
  int start = 0;
  int end = 0;
};
CharSpan WordAround(std::u32string_view chars, int position);

// The text, caret and selection of a single-line edit, and the rules of changing them, without
// any painting. Positions count code points and lie in [0, Length()]. The selection runs between
// the anchor and the caret (the end that moves); either may be the larger.
//
// Every change of the text goes through Replace, which keeps the one level of undo and counts
// revisions, so an owner learns of any change by comparing Revision() before and after.
class EditText {
 public:
  enum class Move { kLeft, kRight, kWordLeft, kWordRight, kHome, kEnd };

  EditText() = default;
  explicit EditText(std::string_view utf8) { SetText(utf8); }

  std::string Text() const { return ToUtf8(chars_); }
  const std::u32string& Chars() const { return chars_; }
  int Length() const { return static_cast<int>(chars_.size()); }
  // Increases with every change of the text, and only then.
  std::uint64_t Revision() const { return revision_; }

  int Anchor() const { return anchor_; }
  int Caret() const { return caret_; }
  int SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  int SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  int SelLength() const { return SelEnd() - SelStart(); }
  bool HasSelection() const { return anchor_ != caret_; }
  std::u32string_view SelectedChars() const;
  std::string SelText() const { return ToUtf8(SelectedChars()); }

  // 0 (or less) is no limit. Only what the user inserts is limited; a longer text stays.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int max_length) { max_length_ = max_length < 0 ? 0 : max_length; }
  // Applies to the text already there too; true when that changed it.
  TEditCharCase CharCase() const { return char_case_; }
  bool SetCharCase(TEditCharCase char_case);
  // Refuses the user's changes; selection, caret and changes from code still work.
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  // A masked text is one word, so word moves and double clicks reveal nothing of its shape.
  bool Masked() const { return masked_; }
  void SetMasked(bool masked) { masked_ = masked; }

  // Selection. `start` is clamped into the text; a negative `length` selects backwards from
  // `start`, leaving the caret at the smaller end.
  void Select(int start, int length);
  void SetSelStart(int start) { Select(start, 0); }
  void SetSelLength(int length) { Select(SelStart(), length); }
  void SelectAll() { SetSelection(0, Length()); }
  // Both ends clamped into the text.
  void SetSelection(int anchor, int caret);
  // Puts the caret at `position`; with `extend` the anchor stays, otherwise it follows.
  void MoveCaretTo(int position, bool extend);
  // Caret keys. Without `extend`, kLeft and kRight on a selection only collapse it to its start
  // or end.
  void MoveCaret(Move move, bool extend);
  // The run of characters of one class around `position` (the character after it, or before it
  // at the end of the text).
  void SelectWordAt(int position);
  // Where Ctrl+Left and Ctrl+Right go from `position`: the start of the word at or before it,
  // the end of the word at or after it.
  int WordStartBefore(int position) const;
  int WordEndAfter(int position) const;

  // The user's edits; each answers whether the text changed. Inserting replaces the selection:
  // the text is cut at its first line break, tabs become spaces, other control characters go,
  // the character case applies and, with a maximum length, only what fits is taken.
  bool Type(char32_t c) { return Insert(std::u32string_view(&c, 1), Group::kTyping); }
  bool Paste(std::u32string_view text) { return Insert(text, Group::kSingle); }
  bool Paste(std::string_view utf8) { return Paste(ToCodePoints(utf8)); }
  // Backspace and Delete: the selection, else one character or, with `word`, up to the word
  // boundary (Ctrl+Left/Ctrl+Right).
  bool DeleteBackward(bool word);
  bool DeleteForward(bool word);
  // Deletes the selection (cutting, once it has been copied).
  bool DeleteSelection();
  // Replaces the whole text as one undoable edit of the user's, unfiltered but for the
  // character case: for owners that form the text by rules of their own.
  bool Overwrite(std::u32string_view text);
  // Restores the text and selection before the last edit; undoing again redoes it. Consecutive
  // typing, and consecutive single deletions, form one edit.
  bool Undo();
  bool CanUndo() const { return has_undo_; }
  void ClearUndo();

  // Changes from code: no maximum length, no read-only; the character case still applies. Both
  // clear the undo. SetText puts the caret at the start.
  bool SetText(std::string_view utf8);
  bool SetText(std::u32string text);
  // Replaces the selection with `text` (filtered as the user's insertions, maximum length
  // included) and puts the caret after it.
  bool SetSelText(std::string_view utf8);

 private:
  enum class Group { kSingle, kTyping, kDeleteBackward, kDeleteForward, kCode };

  bool Insert(std::u32string_view text, Group group);
  // The one operation that changes the text: replaces [start, start + length) with `text` as
  // given, leaves the caret after it, and keeps the undo according to `group`.
  bool Replace(int start, int length, std::u32string_view text, Group group);
  std::u32string Filtered(std::u32string_view text) const;
  int Clamp(int position) const;
  void EndGroup() { open_group_ = Group::kSingle; }

  std::u32string chars_;
  int anchor_ = 0;
  int caret_ = 0;
  std::uint64_t revision_ = 0;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
  bool read_only_ = false;
  bool masked_ = false;

  bool has_undo_ = false;
  std::u32string undo_chars_;
  int undo_anchor_ = 0;
  int undo_caret_ = 0;
  // The edit that the next one of the same kind joins; kSingle joins nothing.
  Group open_group_ = Group::kSingle;
};

}  // namespace orlit
