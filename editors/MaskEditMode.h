#pragma once

#include <memory>
#include <regex>
#include <string>
#include <string_view>

#include "convert/Exceptions.h"
#include "editors/StandardMask.h"

namespace orlit {

class TcxCustomMaskEdit;
class TCustomEdit;

enum TcxEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };

// A regular-expression mask that does not parse.
ORLIT_EXCEPTION_CLASS(EcxMaskEditError, Exception);

// The engine behind a masked editor: caret moves, typing, pasting, the conversions between
// display text and value, and the completeness test. Each key operation answers whether the
// key should still go on to the native edit. Without an editor (the properties' own engine)
// only the conversions are used.
class TcxMaskEditCustomMode {
 public:
  explicit TcxMaskEditCustomMode(TcxCustomMaskEdit* editor) : editor_(editor) {}
  virtual ~TcxMaskEditCustomMode() = default;
  TcxMaskEditCustomMode(const TcxMaskEditCustomMode&) = delete;
  TcxMaskEditCustomMode& operator=(const TcxMaskEditCustomMode&) = delete;

  virtual TcxEditMaskKind Kind() const = 0;
  // Raises EcxMaskEditError for a mask of the kind that does not parse, keeping the old one.
  virtual void SetMask(std::string_view mask) = 0;
  const std::string& Mask() const { return mask_; }

  virtual bool PressChar(char32_t& key) = 0;
  virtual bool MoveLeft() = 0;
  virtual bool MoveRight() = 0;
  virtual bool MoveHome() = 0;
  virtual bool MoveEnd() = 0;
  virtual bool BlankSelection() = 0;
  virtual bool DeleteBack() = 0;
  // Shows the caret as a one-character block over the position the next character goes to.
  virtual void ShowCaretBlock() {}
  // A paste of `length` characters overwrites rather than pushes: it starts by selecting as
  // many characters, and ends with the caret after what was pasted.
  virtual void PasteStart(int length);
  virtual void PasteEnd() {}
  int PasteAnchor() const { return paste_anchor_; }

  // The display text a text gives; the value text of a display text; the completeness test.
  virtual std::u32string PlaceText(std::u32string text, bool use_converted) const = 0;
  virtual std::u32string ExtractValue(std::u32string text) const = 0;
  virtual bool IsComplete(std::u32string text, bool ignore_mask_blank) const = 0;

 protected:
  TCustomEdit* Inner() const;

  TcxCustomMaskEdit* editor_;
  std::string mask_;
  int paste_anchor_ = 0;
  int paste_length_ = 0;
};

// The engine of the standard mask language: every position is a literal or a fillable item,
// the caret is a block over the next fillable position, and typed characters overwrite.
class TcxMaskEditStandardMode final : public TcxMaskEditCustomMode {
 public:
  using TcxMaskEditCustomMode::TcxMaskEditCustomMode;

  TcxEditMaskKind Kind() const override { return emkStandard; }
  void SetMask(std::string_view mask) override;
  const TcxStandardMask& StandardMask() const { return mask_items_; }

  bool PressChar(char32_t& key) override;
  bool MoveLeft() override;
  bool MoveRight() override;
  bool MoveHome() override;
  bool MoveEnd() override;
  bool BlankSelection() override;
  bool DeleteBack() override;
  void ShowCaretBlock() override;
  void PasteEnd() override;

  std::u32string PlaceText(std::u32string text, bool use_converted) const override;
  std::u32string ExtractValue(std::u32string text) const override;
  bool IsComplete(std::u32string text, bool ignore_mask_blank) const override;

 private:
  bool IsLiteral(int position) const {
    return position >= 0 && position < mask_items_.Count() && mask_items_.IsLiteral(position);
  }
  int TextLength() const;
  // Collapses the selection there.
  void PlaceCaret(int position);
  // The caret block there while focused, in one update of the selection.
  void PlaceCaretBlock(int position);
  // Past the literals after `start` (or before it), or `start` when nothing fillable lies there.
  int NextFillable(int start) const;
  int PreviousFillable(int start) const;
  // Blanks the fillable positions of [start, end); literals keep their characters.
  void BlankRange(int start, int end);

  TcxStandardMask mask_items_;
};

// The regular-expression kinds: the text is typed freely and is complete when the whole of it
// matches the expression. emkRegExpr reads the expression in the ECMAScript grammar,
// emkRegExprEx in the POSIX extended one. Matching is by bytes of the UTF-8 text.
class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
 public:
  using TcxMaskEditCustomMode::TcxMaskEditCustomMode;

  TcxEditMaskKind Kind() const override { return emkRegExpr; }
  void SetMask(std::string_view mask) override;

  bool PressChar(char32_t& /*key*/) override { return true; }
  bool MoveLeft() override { return true; }
  bool MoveRight() override { return true; }
  bool MoveHome() override { return true; }
  bool MoveEnd() override { return true; }
  bool BlankSelection() override { return true; }
  bool DeleteBack() override { return true; }
  void PasteStart(int /*length*/) override {}

  std::u32string PlaceText(std::u32string text, bool /*use_converted*/) const override {
    return text;
  }
  std::u32string ExtractValue(std::u32string text) const override { return text; }
  bool IsComplete(std::u32string text, bool ignore_mask_blank) const override;

 protected:
  virtual std::regex::flag_type Grammar() const { return std::regex::ECMAScript; }

 private:
  std::regex expression_;
};

class TcxMaskEditRegExprExMode final : public TcxMaskEditRegExprMode {
 public:
  using TcxMaskEditRegExprMode::TcxMaskEditRegExprMode;

  TcxEditMaskKind Kind() const override { return emkRegExprEx; }

 protected:
  std::regex::flag_type Grammar() const override { return std::regex::extended; }
};

// A mask that is empty or holds only spaces, tabs, line and page breaks and #0 leaves the
// editor a plain text editor.
bool IsBlankMask(std::string_view mask);

std::unique_ptr<TcxMaskEditCustomMode> CreateMaskEditMode(TcxEditMaskKind kind,
                                                          TcxCustomMaskEdit* editor);

}  // namespace orlit
