#include "editors/MaskEditMode.h"

#include <algorithm>

#include "editors/InnerTextEdit.h"
#include "editors/MaskEdit.h"
#include "framework/EditText.h"

namespace orlit {

bool IsBlankMask(std::string_view mask) {
  return std::all_of(mask.begin(), mask.end(), [](char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
  });
}

std::unique_ptr<TcxMaskEditCustomMode> CreateMaskEditMode(TcxEditMaskKind kind,
                                                          TcxCustomMaskEdit* editor) {
  switch (kind) {
    case emkRegExpr:
      return std::make_unique<TcxMaskEditRegExprMode>(editor);
    case emkRegExprEx:
      return std::make_unique<TcxMaskEditRegExprExMode>(editor);
    case emkStandard:
      break;
  }
  return std::make_unique<TcxMaskEditStandardMode>(editor);
}

TCustomEdit* TcxMaskEditCustomMode::Inner() const {
  return editor_ != nullptr ? &editor_->InnerEdit() : nullptr;
}

void TcxMaskEditCustomMode::PasteStart(int length) {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return;
  paste_anchor_ = inner->SelStart();
  paste_length_ = length;
  inner->SetSelLength(length);
}

void TcxMaskEditStandardMode::SetMask(std::string_view mask) {
  mask_ = std::string(mask);
  mask_items_.Parse(mask);
}

int TcxMaskEditStandardMode::TextLength() const {
  const TCustomEdit* inner = Inner();
  return inner != nullptr ? inner->GetTextLen() : 0;
}

void TcxMaskEditStandardMode::PlaceCaret(int position) {
  // Both ends at once: one update of the drawing.
  Inner()->SetSelection(position, position);
}

bool TcxMaskEditStandardMode::PressChar(char32_t& key) {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return false;
  for (;;) {
    const int start = inner->SelStart();
    if (start >= TextLength()) return false;
    if (!IsLiteral(start)) break;
    // A character typed on a literal goes to the next fillable position.
    editor_->SetExtendingSelection(false);
    if (inner->SelLength() > 1) PlaceCaret(start);
    MoveRight();
    if (inner->SelStart() == start) return false;
  }
  const int start = inner->SelStart();
  char32_t c = key;
  if (start >= mask_items_.Count() || !mask_items_.Item(start).Accepts(c)) return false;
  std::u32string chars = inner->Model().Chars();
  chars[static_cast<std::size_t>(start)] = c;
  inner->OverwriteByUser(chars);
  editor_->SetExtendingSelection(false);
  PlaceCaretBlock(NextFillable(start));
  return false;
}

int TcxMaskEditStandardMode::NextFillable(int start) const {
  int literals = 0;
  while (IsLiteral(start + literals + 1)) ++literals;
  return start + literals + 1 <= TextLength() ? start + literals + 1 : start;
}

int TcxMaskEditStandardMode::PreviousFillable(int start) const {
  int literals = 0;
  while (IsLiteral(start - literals - 1)) ++literals;
  return literals < start ? start - literals - 1 : start;
}

void TcxMaskEditStandardMode::PlaceCaretBlock(int position) {
  if (!editor_->Focused()) {
    PlaceCaret(position);
    return;
  }
  Inner()->SetSelection(position, std::min(position + 1, TextLength()));
}

bool TcxMaskEditStandardMode::MoveRight() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return true;
  const int start = inner->SelStart();
  const int length = inner->SelLength();
  if (editor_->ExtendingSelection()) {
    // The native edit extends from the caret, not from the far end of the block.
    if (length == 1 && inner->CaretIndex() == start) PlaceCaret(start);
    return true;
  }
  const int text_length = TextLength();
  if (length <= 1) {
    PlaceCaret(NextFillable(start));
    return false;
  }
  int p = start + length;
  if (p < text_length) {
    while (p > 0 && IsLiteral(p - 1)) --p;
    p = std::max(p - 1, 0);
  }
  PlaceCaret(p);
  return false;
}

bool TcxMaskEditStandardMode::MoveLeft() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return true;
  const int start = inner->SelStart();
  const int length = inner->SelLength();
  if (editor_->ExtendingSelection()) {
    // The shift-selection starts from the caret block: its far end becomes the anchor.
    if (length == 1) inner->SetSelection(start + 1, start);
    return true;
  }
  if (length >= 2) {
    const int end = start + length;
    int p = start;
    while (p < end && IsLiteral(p)) ++p;
    if (p == end) p = end >= TextLength() ? TextLength() : start;
    PlaceCaret(p);
    return false;
  }
  PlaceCaret(PreviousFillable(start));
  return false;
}

bool TcxMaskEditStandardMode::MoveHome() {
  if (Inner() == nullptr || editor_->ExtendingSelection()) return true;
  PlaceCaret(0);
  if (IsLiteral(0)) MoveRight();
  return false;
}

bool TcxMaskEditStandardMode::MoveEnd() {
  if (Inner() == nullptr || editor_->ExtendingSelection()) return true;
  PlaceCaret(TextLength());
  return false;
}

bool TcxMaskEditStandardMode::BlankSelection() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return false;
  const int start = inner->SelStart();
  BlankRange(start, start + inner->SelLength());
  PlaceCaret(start);
  return false;
}

void TcxMaskEditStandardMode::BlankRange(int start, int end) {
  TCustomEdit* inner = Inner();
  end = std::min(end, TextLength());
  std::u32string chars = inner->Model().Chars();
  bool changed = false;
  for (int i = start; i < end; ++i) {
    if (IsLiteral(i) || i >= mask_items_.Count()) continue;
    chars[static_cast<std::size_t>(i)] = mask_items_.BlankChar();
    changed = true;
  }
  if (changed) inner->OverwriteByUser(chars);
}

bool TcxMaskEditStandardMode::DeleteBack() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return false;
  if (inner->SelLength() > 1) return BlankSelection();
  // Onto the previous fillable position, which is blanked and becomes the caret block.
  editor_->SetExtendingSelection(false);
  const int target = PreviousFillable(inner->SelStart());
  BlankRange(target, target + 1);
  PlaceCaretBlock(target);
  return false;
}

void TcxMaskEditStandardMode::ShowCaretBlock() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr || !editor_->Focused() || inner->SelLength() != 0) return;
  if (!editor_->Properties().IsMasked()) return;
  inner->SetSelLength(1);
}

void TcxMaskEditStandardMode::PasteEnd() {
  TCustomEdit* inner = Inner();
  if (inner == nullptr) return;
  const int last = std::max(TextLength() - 1, 0);
  const int start = std::clamp(paste_anchor_ + paste_length_, 0, last);
  PlaceCaret(start);
  if (IsLiteral(start)) {
    editor_->SetExtendingSelection(false);
    MoveRight();
  }
}

std::u32string TcxMaskEditStandardMode::PlaceText(std::u32string text, bool use_converted) const {
  mask_items_.PlaceText(text, use_converted);
  return text;
}

std::u32string TcxMaskEditStandardMode::ExtractValue(std::u32string text) const {
  mask_items_.ExtractValue(text);
  return text;
}

bool TcxMaskEditStandardMode::IsComplete(std::u32string text, bool ignore_mask_blank) const {
  return mask_items_.IsComplete(text, ignore_mask_blank);
}

void TcxMaskEditRegExprMode::SetMask(std::string_view mask) {
  try {
    expression_ = std::regex(mask.begin(), mask.end(), Grammar());
  } catch (const std::regex_error& error) {
    throw EcxMaskEditError("Invalid mask \"" + std::string(mask) + "\": " + error.what());
  }
  mask_ = std::string(mask);
}

bool TcxMaskEditRegExprMode::IsComplete(std::u32string text, bool ignore_mask_blank) const {
  if (ignore_mask_blank && text.empty()) return true;
  const std::string utf8 = ToUtf8(text);
  return std::regex_match(utf8, expression_);
}

}  // namespace orlit
