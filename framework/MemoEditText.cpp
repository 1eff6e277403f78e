#include "framework/MemoEditText.h"

#include <utility>

#include "convert/Utf8.h"

namespace orlit {

void MemoEditText::SetSelection(int anchor, int caret) {
  anchor_ = text_.Snap(anchor);
  caret_ = text_.Snap(caret);
}

void MemoEditText::MoveCaretTo(int position, bool extend) {
  caret_ = text_.Snap(position);
  if (!extend) anchor_ = caret_;
}

void MemoEditText::MoveCaret(Move move, bool extend) {
  const bool selected = SelLength() > 0;
  switch (move) {
    case Move::kLeft:
      MoveCaretTo(!extend && selected ? SelStart() : StepLeft(caret_), extend);
      break;
    case Move::kRight:
      MoveCaretTo(!extend && selected ? SelEnd() : StepRight(caret_), extend);
      break;
    case Move::kWordLeft:
      MoveCaretTo(WordLeft(caret_), extend);
      break;
    case Move::kWordRight:
      MoveCaretTo(WordRight(caret_), extend);
      break;
  }
}

void MemoEditText::SelectWordAt(int position) {
  const int line = text_.LineOfPosition(position);
  const int line_start = text_.LineStart(line);
  const CharSpan word = WordAround(ToCodePoints(text_.Line(line)), position - line_start);
  anchor_ = line_start + word.start;
  caret_ = line_start + word.end;
}

void MemoEditText::SelectLineAt(int position) {
  const int line = text_.LineOfPosition(position);
  anchor_ = text_.LineStart(line);
  caret_ = anchor_ + text_.LineLength(line);
}

MemoEditText::Outcome MemoEditText::ReplaceRange(int start, int length, std::string_view utf8,
                                                 bool undoable, bool typing) {
  const int from = text_.Snap(start);
  const int to = std::max(from, text_.Snap(start + std::max(length, 0)));
  const int old_length = text_.Length();
  const std::uint64_t revision = text_.Revision();
  std::string removed;
  if (undoable) removed = text_.TextRange(from, to - from);
  Outcome outcome;
  if (!text_.Replace(from, to - from, utf8, &outcome.lines)) return outcome;
  const int inserted = text_.Length() - old_length + (to - from);
  if (undoable) {
    if (typing && undo_.valid && undo_.typing && from == to &&
        from == undo_.start + undo_.inserted) {
      undo_.inserted += inserted;
    } else {
      undo_ = {true, from, std::move(removed), inserted, typing};
    }
  }
  anchor_ = caret_ = from + inserted;
  outcome.done = true;
  outcome.changed = text_.Revision() != revision;
  return outcome;
}

MemoEditText::Outcome MemoEditText::Replace(int start, int length, std::string_view utf8) {
  return ReplaceRange(start, length, utf8, false, false);
}

std::string MemoEditText::FilterUserText(std::u32string_view text) const {
  std::u32string kept;
  kept.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      kept += U"\r\n";
      continue;
    }
    if ((c < 0x20 && c != U'\t') || (c >= 0x7F && c <= 0x9F)) continue;
    kept.push_back(ApplyCharCase(c, char_case_));
  }
  if (max_length_ > 0) {
    const int room = std::max(0, max_length_ - (text_.Length() - SelLength()));
    if (static_cast<int>(kept.size()) > room) {
      std::size_t cut = static_cast<std::size_t>(room);
      if (cut > 0 && kept[cut - 1] == U'\r') --cut;
      kept.resize(cut);
    }
  }
  return ToUtf8(kept);
}

MemoEditText::Outcome MemoEditText::Insert(std::u32string_view text, bool typing) {
  if (read_only_) return {};
  const std::string filtered = FilterUserText(text);
  if (filtered.empty()) return {};
  return ReplaceRange(SelStart(), SelLength(), filtered, true, typing);
}

MemoEditText::Outcome MemoEditText::DeleteByUser(int start, int end) {
  if (read_only_ || end <= start) return {};
  return ReplaceRange(start, end - start, {}, true, false);
}

MemoEditText::Outcome MemoEditText::DeleteSelection() { return DeleteByUser(SelStart(), SelEnd()); }

MemoEditText::Outcome MemoEditText::DeleteBackward(bool word) {
  if (SelLength() > 0) return DeleteSelection();
  return DeleteByUser(word ? WordLeft(caret_) : StepLeft(caret_), caret_);
}

MemoEditText::Outcome MemoEditText::DeleteForward(bool word) {
  if (SelLength() > 0) return DeleteSelection();
  return DeleteByUser(caret_, word ? WordRight(caret_) : StepRight(caret_));
}

MemoEditText::Outcome MemoEditText::Undo() {
  if (read_only_ || !undo_.valid) return {};
  const UndoRecord record = undo_;
  std::string current = text_.TextRange(record.start, record.inserted);
  Outcome outcome = ReplaceRange(record.start, record.inserted, record.removed, false, false);
  // Undoing again redoes.
  if (outcome.done)
    undo_ = {true, record.start, std::move(current),
             static_cast<int>(CodePointCount(record.removed))};
  return outcome;
}

int MemoEditText::StepLeft(int position) const {
  return position <= 0 ? 0 : text_.Snap(position - 1);
}

int MemoEditText::StepRight(int position) const {
  const int line = text_.LineOfPosition(position);
  const bool at_end = position == text_.LineStart(line) + text_.LineLength(line);
  return at_end && line + 1 < text_.LineCount() ? text_.LineStart(line + 1)
                                                : text_.Snap(position + 1);
}

int MemoEditText::WordLeft(int position) const {
  const int line = text_.LineOfPosition(position);
  const int start = text_.LineStart(line);
  if (position == start) return StepLeft(position);
  return start + WordStartBefore(ToCodePoints(text_.Line(line)), position - start);
}

int MemoEditText::WordRight(int position) const {
  const int line = text_.LineOfPosition(position);
  const int start = text_.LineStart(line);
  if (position == start + text_.LineLength(line)) return StepRight(position);
  return start + WordEndAfter(ToCodePoints(text_.Line(line)), position - start);
}

}  // namespace orlit
