#include "editors/StandardMask.h"

#include <algorithm>

#include "convert/FormatSettings.h"
#include "framework/EditText.h"

namespace orlit {

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The 26 unaccented letters only.
bool IsLetter(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'); }

std::unique_ptr<TcxStandardMaskCustomItem> FillableItem(char32_t mask_char, MaskCase case_state) {
  switch (mask_char) {
    case U'0':
      return std::make_unique<TcxStandardMaskNumericItem>(case_state, false);
    case U'9':
      return std::make_unique<TcxStandardMaskNumericItem>(case_state, true);
    case U'#':
      return std::make_unique<TcxStandardMaskNumericSymbolItem>(case_state, true);
    case U'L':
      return std::make_unique<TcxStandardMaskAlphaItem>(case_state, false);
    case U'l':
      return std::make_unique<TcxStandardMaskAlphaItem>(case_state, true);
    case U'A':
      return std::make_unique<TcxStandardMaskAlphaNumericItem>(case_state, false);
    case U'a':
      return std::make_unique<TcxStandardMaskAlphaNumericItem>(case_state, true);
    case U'C':
      return std::make_unique<TcxStandardMaskASCIIItem>(case_state, false);
    case U'c':
      return std::make_unique<TcxStandardMaskASCIIItem>(case_state, true);
    default:
      return nullptr;
  }
}

bool IsSaveFlag(char32_t c) { return c == U'0' || c == U'1'; }

}  // namespace

bool TcxStandardMaskManyItem::Accepts(char32_t& c) const {
  const char32_t original = c;
  if (case_conversion_ == MaskCase::kUpper) c = ToUpperChar(c);
  if (case_conversion_ == MaskCase::kLower) c = ToLowerChar(c);
  return Takes(original);
}

bool TcxStandardMaskAlphaItem::Takes(char32_t c) const { return IsLetter(c); }

bool TcxStandardMaskAlphaNumericItem::Takes(char32_t c) const { return IsLetter(c) || IsDigit(c); }

bool TcxStandardMaskNumericItem::Takes(char32_t c) const { return IsDigit(c); }

bool TcxStandardMaskNumericSymbolItem::Takes(char32_t c) const {
  return IsDigit(c) || c == U'+' || c == U'-';
}

void TcxStandardMask::Reset() {
  pattern_text_.clear();
  leading_bang_ = false;
  save_literals_ = true;
  blank_char_ = U'_';
  items_.clear();
}

void TcxStandardMask::Parse(std::string_view mask) {
  Reset();
  pattern_text_ = std::string(mask);
  std::u32string chars = ToCodePoints(mask);
  if (!chars.empty() && chars.front() == U'!') {
    chars.erase(0, 1);
    leading_bang_ = true;
  }
  const std::size_t n = chars.size();
  MaskCase case_state = MaskCase::kNone;
  auto literal = [this](char32_t c) {
    items_.push_back(std::make_unique<TcxStandardMaskLiteralItem>(c));
  };
  for (std::size_t i = 0; i < n; ++i) {
    const char32_t c = chars[i];
    if (auto item = FillableItem(c, case_state)) {
      items_.push_back(std::move(item));
      continue;
    }
    switch (c) {
      case U'>':
        case_state = MaskCase::kUpper;
        break;
      case U'<':
        if (i + 1 < n && chars[i + 1] == U'>') {
          case_state = MaskCase::kNone;
          ++i;
        } else {
          case_state = MaskCase::kLower;
        }
        break;
      case U'\\':
        if (i + 1 < n) literal(chars[++i]);
        break;
      case U':':
        literal(static_cast<unsigned char>(TimeSep));
        break;
      case U'/':
        literal(static_cast<unsigned char>(DateSep));
        break;
      case U';':
        // A separator only in the two shapes that end the mask.
        if (i + 4 == n && IsSaveFlag(chars[i + 1]) && chars[i + 2] == U';') {
          save_literals_ = chars[i + 1] != U'0';
          blank_char_ = chars[i + 3];
          return;
        }
        if (i + 2 == n && IsSaveFlag(chars[i + 1])) {
          save_literals_ = chars[i + 1] != U'0';
          return;
        }
        literal(c);
        break;
      default:
        literal(c);
        break;
    }
  }
}

std::u32string TcxStandardMask::EmptyDisplayText() const {
  std::u32string text;
  text.reserve(items_.size());
  for (const auto& item : items_) {
    text.push_back(item->IsLiteral()
                       ? static_cast<const TcxStandardMaskLiteralItem&>(*item).FixedChar()
                       : blank_char_);
  }
  return text;
}

std::u32string TcxStandardMask::EmptyValue() const {
  std::u32string value;
  for (const auto& item : items_) {
    if (!item->IsLiteral()) {
      value.push_back(U' ');
    } else if (save_literals_) {
      value.push_back(static_cast<const TcxStandardMaskLiteralItem&>(*item).FixedChar());
    }
  }
  return value;
}

void TcxStandardMask::PlaceText(std::u32string& text, bool use_converted) const {
  std::u32string result = EmptyDisplayText();
  std::vector<bool> filled(items_.size(), false);
  // Every position before it is filled, so the search for a free one starts there.
  std::size_t first_free = 0;
  for (const char32_t original : text) {
    for (std::size_t i = first_free; i < items_.size(); ++i) {
      if (filled[i]) continue;
      char32_t c = original;
      const bool fillable = !items_[i]->IsLiteral();
      if (items_[i]->Accepts(c)) {
        result[i] = use_converted ? c : original;
      } else if (!(fillable && (original == blank_char_ || original == U' '))) {
        continue;
      }
      filled[i] = true;
      while (first_free < items_.size() && filled[first_free]) ++first_free;
      break;
    }
  }
  text = std::move(result);
}

void TcxStandardMask::ExtractValue(std::u32string& text) const {
  std::u32string result;
  const std::size_t count = std::min(text.size(), items_.size());
  result.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (items_[i]->IsLiteral()) {
      if (save_literals_) result.push_back(text[i]);
    } else {
      result.push_back(text[i] == blank_char_ ? U' ' : text[i]);
    }
  }
  text = std::move(result);
}

bool TcxStandardMask::IsComplete(std::u32string& text, bool ignore_mask_blank) const {
  const auto filled_in = [&] {
    if (text.size() != items_.size()) return false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i]->Accepts(text[i])) continue;
      const auto* many = dynamic_cast<const TcxStandardMaskManyItem*>(items_[i].get());
      const bool blank = text[i] == blank_char_ || text[i] == U' ';
      if (many == nullptr || !many->IsOptional() || !blank) return false;
    }
    return true;
  };
  if (filled_in()) return true;
  return ignore_mask_blank && text == EmptyDisplayText();
}

}  // namespace orlit
