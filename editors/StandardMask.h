#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orlit {

// The case a fillable mask position gives the letters typed into it.
enum class MaskCase { kNone, kUpper, kLower };

// One position of a parsed mask.
class TcxStandardMaskCustomItem {
 public:
  virtual ~TcxStandardMaskCustomItem() = default;

  virtual bool IsLiteral() const = 0;
  // Whether the position takes `c`. A fillable position first gives `c` its case (whether or not
  // it then takes it) and tests the character as it was.
  virtual bool Accepts(char32_t& c) const = 0;
};

// A constant character of the mask.
class TcxStandardMaskLiteralItem final : public TcxStandardMaskCustomItem {
 public:
  explicit TcxStandardMaskLiteralItem(char32_t fixed_char) : fixed_char_(fixed_char) {}

  char32_t FixedChar() const { return fixed_char_; }
  bool IsLiteral() const override { return true; }
  bool Accepts(char32_t& c) const override { return c == fixed_char_; }

 private:
  char32_t fixed_char_;
};

// A position the user fills.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
 public:
  TcxStandardMaskManyItem(MaskCase case_conversion, bool optional)
      : case_conversion_(case_conversion), optional_(optional) {}

  MaskCase CaseConversion() const { return case_conversion_; }
  // May stay blank in a complete text.
  bool IsOptional() const { return optional_; }
  bool IsLiteral() const override { return false; }
  bool Accepts(char32_t& c) const final;

 protected:
  virtual bool Takes(char32_t c) const = 0;

 private:
  MaskCase case_conversion_;
  bool optional_;
};

class TcxStandardMaskAlphaItem final : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Takes(char32_t c) const override;
};

class TcxStandardMaskAlphaNumericItem final : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Takes(char32_t c) const override;
};

class TcxStandardMaskASCIIItem final : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Takes(char32_t /*c*/) const override { return true; }
};

class TcxStandardMaskNumericItem final : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Takes(char32_t c) const override;
};

class TcxStandardMaskNumericSymbolItem final : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Takes(char32_t c) const override;
};

// A parsed edit mask: one item per position of the display text, which always has exactly as
// many characters as there are items. Texts are code points, so that every position is one
// character whatever its encoding.
class TcxStandardMask {
 public:
  TcxStandardMask() = default;
  explicit TcxStandardMask(std::string_view mask) { Parse(mask); }

  // Any text parses: what is not a mask character is a literal. The date and time separators
  // are taken now; a later change of them leaves the parsed mask as it is.
  void Parse(std::string_view mask);

  const std::string& PatternText() const { return pattern_text_; }
  bool LeadingBang() const { return leading_bang_; }
  bool SaveLiterals() const { return save_literals_; }
  char32_t BlankChar() const { return blank_char_; }
  int Count() const { return static_cast<int>(items_.size()); }
  const TcxStandardMaskCustomItem& Item(int index) const {
    return *items_[static_cast<std::size_t>(index)];
  }
  bool IsLiteral(int index) const { return Item(index).IsLiteral(); }

  // Literals in place, BlankChar on every fillable position.
  std::u32string EmptyDisplayText() const;
  // A space for every fillable position; literals only when they are saved.
  std::u32string EmptyValue() const;
  // Re-forms any text into a display text of the mask: each character goes to the first free
  // position that takes it, a blank or space keeps a fillable position empty, the rest is
  // dropped. `use_converted` keeps the case the positions give.
  void PlaceText(std::u32string& text, bool use_converted) const;
  // The edit value of a display text: blanks become spaces, literals go unless saved.
  void ExtractValue(std::u32string& text) const;
  // Every position holds what it takes, or a blank where it is optional. With
  // `ignore_mask_blank` a text with nothing filled in counts as complete too. May change the
  // case of letters in `text`.
  bool IsComplete(std::u32string& text, bool ignore_mask_blank = false) const;

 private:
  void Reset();

  std::string pattern_text_;
  bool leading_bang_ = false;
  bool save_literals_ = true;
  char32_t blank_char_ = U'_';
  std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> items_;
};

}  // namespace orlit
