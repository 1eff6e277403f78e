#include "framework/EditText.h"

#include <algorithm>
#include <cstdint>

#include "platform/TextLayout.h"

namespace orlit {

namespace {

// Blocks where capitals and small letters alternate, the capital on the even (or odd) code point.
struct PairedBlock {
  char32_t first;
  char32_t last;
  bool upper_even;
};
constexpr PairedBlock kPairedBlocks[] = {
    {0x0100, 0x012F, true},   // Latin Extended-A: Ā ā ... Į į
    {0x0132, 0x0137, true},   // Ĳ ĳ ... Ķ ķ
    {0x0139, 0x0148, false},  // Ĺ ĺ ... Ň ň
    {0x014A, 0x0177, true},   // Ŋ ŋ ... Ŷ ŷ (Ş ş among them)
    {0x0179, 0x017E, false},  // Ź ź ... Ž ž
    {0x0200, 0x021F, true},   // Latin Extended-B: ... Ș ș Ț ț ...
    {0x0460, 0x0481, true},   // Cyrillic historic letters
    {0x048A, 0x04BF, true},   // Cyrillic extended letters
    {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},
};

const PairedBlock* FindPairedBlock(char32_t c) {
  for (const PairedBlock& block : kPairedBlocks) {
    if (c >= block.first && c <= block.last) return &block;
  }
  return nullptr;
}

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

bool IsEncodable(char32_t c) { return c <= 0x10FFFF && !InRange(c, 0xD800, 0xDFFF); }

}  // namespace

char32_t ToUpperChar(char32_t c) {
  if (InRange(c, U'a', U'z')) return c - 0x20;
  if (c < 0xB5) return c;
  if (InRange(c, 0xE0, 0xFE) && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0x131) return U'I';
  if (c == 0x17F) return U'S';
  if (const PairedBlock* block = FindPairedBlock(c)) {
    const bool upper = (c % 2 == 0) == block->upper_even;
    return upper ? c : c - 1;
  }
  // Greek.
  if (InRange(c, 0x3B1, 0x3C1) || InRange(c, 0x3C3, 0x3CB)) return c - 0x20;
  if (c == 0x3C2) return 0x3A3;
  if (c == 0x3AC) return 0x386;
  if (InRange(c, 0x3AD, 0x3AF)) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (InRange(c, 0x3CD, 0x3CE)) return c - 0x3F;
  // Cyrillic.
  if (InRange(c, 0x430, 0x44F)) return c - 0x20;
  if (InRange(c, 0x450, 0x45F)) return c - 0x50;
  return c;
}

char32_t ToLowerChar(char32_t c) {
  if (InRange(c, U'A', U'Z')) return c + 0x20;
  if (c < 0xC0) return c;
  if (InRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;
  if (c == 0x130) return U'i';
  if (c == 0x178) return 0xFF;
  if (const PairedBlock* block = FindPairedBlock(c)) {
    const bool upper = (c % 2 == 0) == block->upper_even;
    return upper ? c + 1 : c;
  }
  if (InRange(c, 0x391, 0x3A1) || InRange(c, 0x3A3, 0x3AB)) return c + 0x20;
  if (c == 0x386) return 0x3AC;
  if (InRange(c, 0x388, 0x38A)) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (InRange(c, 0x38E, 0x38F)) return c + 0x3F;
  if (InRange(c, 0x410, 0x42F)) return c + 0x20;
  if (InRange(c, 0x400, 0x40F)) return c + 0x50;
  return c;
}

char32_t ApplyCharCase(char32_t c, TEditCharCase char_case) {
  switch (char_case) {
    case ecUpperCase:
      return ToUpperChar(c);
    case ecLowerCase:
      return ToLowerChar(c);
    case ecNormal:
      break;
  }
  return c;
}

CharClass ClassOfChar(char32_t c) {
  if (c == U' ' || c == U'\t' || c == 0xA0 || InRange(c, 0x2000, 0x200B) || c == 0x202F ||
      c == 0x205F || c == 0x3000) {
    return CharClass::kSpace;
  }
  if (c < 0x80) {
    const bool alnum = InRange(c, U'0', U'9') || InRange(c, U'A', U'Z') || InRange(c, U'a', U'z');
    return alnum || c == U'_' ? CharClass::kWord : CharClass::kPunctuation;
  }
  if (InRange(c, 0xA1, 0xBF)) {
    // Ordinal indicators, superscripts, micro and fractions are parts of words and numbers.
    switch (c) {
      case 0xAA:
      case 0xB2:
      case 0xB3:
      case 0xB5:
      case 0xB9:
      case 0xBA:
      case 0xBC:
      case 0xBD:
      case 0xBE:
        return CharClass::kWord;
      default:
        return CharClass::kPunctuation;
    }
  }
  if (c == 0xD7 || c == 0xF7 || InRange(c, 0x2010, 0x2027) || InRange(c, 0x2030, 0x205E) ||
      InRange(c, 0x3001, 0x3003)) {
    return CharClass::kPunctuation;
  }
  return CharClass::kWord;
}

int WordStartBefore(std::u32string_view chars, int position) {
  int i = std::clamp(position, 0, static_cast<int>(chars.size()));
  while (i > 0 && ClassOfChar(chars[i - 1]) != CharClass::kWord) --i;
  while (i > 0 && ClassOfChar(chars[i - 1]) == CharClass::kWord) --i;
  return i;
}

int WordEndAfter(std::u32string_view chars, int position) {
  const int length = static_cast<int>(chars.size());
  int i = std::clamp(position, 0, length);
  while (i < length && ClassOfChar(chars[i]) != CharClass::kWord) ++i;
  while (i < length && ClassOfChar(chars[i]) == CharClass::kWord) ++i;
  return i;
}

CharSpan WordAround(std::u32string_view chars, int position) {
  const int length = static_cast<int>(chars.size());
  if (length == 0) return {};
  const int at = std::clamp(position, 0, length - 1);
  const CharClass kind = ClassOfChar(chars[at]);
  int start = at;
  while (start > 0 && ClassOfChar(chars[start - 1]) == kind) --start;
  int end = at + 1;
  while (end < length && ClassOfChar(chars[end]) == kind) ++end;
  return {start, end};
}

std::u32string_view EditText::SelectedChars() const {
  return std::u32string_view(chars_).substr(static_cast<std::size_t>(SelStart()),
                                            static_cast<std::size_t>(SelLength()));
}

bool EditText::SetCharCase(TEditCharCase char_case) {
  char_case_ = char_case;
  if (char_case == ecNormal) return false;
  std::u32string converted = chars_;
  for (char32_t& c : converted) c = ApplyCharCase(c, char_case);
  if (converted == chars_) return false;
  const int anchor = anchor_;
  const int caret = caret_;
  Replace(0, Length(), converted, Group::kCode);
  anchor_ = anchor;
  caret_ = caret;
  return true;
}

int EditText::Clamp(int position) const { return std::clamp(position, 0, Length()); }

void EditText::Select(int start, int length) {
  const int from = Clamp(start);
  const std::int64_t to = static_cast<std::int64_t>(from) + length;
  SetSelection(from, static_cast<int>(std::clamp<std::int64_t>(to, 0, Length())));
}

void EditText::SetSelection(int anchor, int caret) {
  anchor_ = Clamp(anchor);
  caret_ = Clamp(caret);
  EndGroup();
}

void EditText::MoveCaretTo(int position, bool extend) {
  SetSelection(extend ? anchor_ : position, position);
}

void EditText::MoveCaret(Move move, bool extend) {
  switch (move) {
    case Move::kLeft:
      if (!extend && HasSelection()) return MoveCaretTo(SelStart(), false);
      return MoveCaretTo(caret_ - 1, extend);
    case Move::kRight:
      if (!extend && HasSelection()) return MoveCaretTo(SelEnd(), false);
      return MoveCaretTo(caret_ + 1, extend);
    case Move::kWordLeft:
      return MoveCaretTo(WordStartBefore(caret_), extend);
    case Move::kWordRight:
      return MoveCaretTo(WordEndAfter(caret_), extend);
    case Move::kHome:
      return MoveCaretTo(0, extend);
    case Move::kEnd:
      return MoveCaretTo(Length(), extend);
  }
}

int EditText::WordStartBefore(int position) const {
  return masked_ ? 0 : orlit::WordStartBefore(chars_, position);
}

int EditText::WordEndAfter(int position) const {
  return masked_ ? Length() : orlit::WordEndAfter(chars_, position);
}

void EditText::SelectWordAt(int position) {
  if (masked_ || chars_.empty()) return SelectAll();
  const CharSpan word = WordAround(chars_, position);
  SetSelection(word.start, word.end);
}

std::u32string EditText::Filtered(std::u32string_view text) const {
  std::u32string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    // A single line takes the first line of what it is given.
    if (c == U'\r' || c == U'\n' || c == 0x2028 || c == 0x2029) break;
    if (c == U'\t') c = U' ';
    if (c < 0x20 || InRange(c, 0x7F, 0x9F)) continue;
    if (!IsEncodable(c)) c = kReplacementCharacter;
    out.push_back(ApplyCharCase(c, char_case_));
  }
  if (max_length_ > 0) {
    const int room = max_length_ - (Length() - SelLength());
    if (room < static_cast<int>(out.size()))
      out.resize(static_cast<std::size_t>(std::max(room, 0)));
  }
  return out;
}

bool EditText::Insert(std::u32string_view text, Group group) {
  if (read_only_) return false;
  const std::u32string filtered = Filtered(text);
  // Nothing of it fits: the selection stays rather than vanish for nothing.
  if (filtered.empty()) return false;
  if (HasSelection()) EndGroup();
  return Replace(SelStart(), SelLength(), filtered, group);
}

bool EditText::DeleteSelection() {
  if (read_only_ || !HasSelection()) return false;
  return Replace(SelStart(), SelLength(), {}, Group::kSingle);
}

bool EditText::Overwrite(std::u32string_view text) {
  if (read_only_) return false;
  std::u32string cased(text);
  for (char32_t& c : cased)
    c = ApplyCharCase(IsEncodable(c) ? c : kReplacementCharacter, char_case_);
  EndGroup();
  return Replace(0, Length(), cased, Group::kSingle);
}

bool EditText::DeleteBackward(bool word) {
  if (read_only_) return false;
  if (HasSelection()) return DeleteSelection();
  if (caret_ == 0) return false;
  const int start = word ? WordStartBefore(caret_) : caret_ - 1;
  return Replace(start, caret_ - start, {}, word ? Group::kSingle : Group::kDeleteBackward);
}

bool EditText::DeleteForward(bool word) {
  if (read_only_) return false;
  if (HasSelection()) return DeleteSelection();
  if (caret_ == Length()) return false;
  const int end = word ? WordEndAfter(caret_) : caret_ + 1;
  return Replace(caret_, end - caret_, {}, word ? Group::kSingle : Group::kDeleteForward);
}

bool EditText::Undo() {
  if (read_only_ || !has_undo_) return false;
  std::swap(chars_, undo_chars_);
  std::swap(anchor_, undo_anchor_);
  std::swap(caret_, undo_caret_);
  EndGroup();
  if (chars_ == undo_chars_) return false;
  ++revision_;
  return true;
}

void EditText::ClearUndo() {
  has_undo_ = false;
  undo_chars_.clear();
  undo_chars_.shrink_to_fit();
  EndGroup();
}

bool EditText::SetText(std::string_view utf8) { return SetText(ToCodePoints(utf8)); }

bool EditText::SetText(std::u32string text) {
  for (char32_t& c : text) {
    if (!IsEncodable(c)) c = kReplacementCharacter;
    c = ApplyCharCase(c, char_case_);
  }
  if (text == chars_) return false;
  Replace(0, Length(), text, Group::kCode);
  anchor_ = caret_ = 0;
  return true;
}

bool EditText::SetSelText(std::string_view utf8) {
  const std::u32string filtered = Filtered(ToCodePoints(utf8));
  return Replace(SelStart(), SelLength(), filtered, Group::kCode);
}

bool EditText::Replace(int start, int length, std::u32string_view text, Group group) {
  start = Clamp(start);
  length = std::clamp(length, 0, Length() - start);
  const auto at = static_cast<std::size_t>(start);
  const auto count = static_cast<std::size_t>(length);
  const int caret = start + static_cast<int>(text.size());
  if (std::u32string_view(chars_).substr(at, count) == text) {
    // Nothing to change; the caret still lands where the edit would have left it.
    anchor_ = caret_ = caret;
    return false;
  }
  if (group == Group::kCode) {
    ClearUndo();
  } else if (group == Group::kSingle || group != open_group_) {
    undo_chars_ = chars_;
    undo_anchor_ = anchor_;
    undo_caret_ = caret_;
    has_undo_ = true;
    open_group_ = group;
  }
  chars_.replace(at, count, text);
  anchor_ = caret_ = caret;
  ++revision_;
  return true;
}

}  // namespace orlit
