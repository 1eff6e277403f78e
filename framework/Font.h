#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Persistent.h"
#include "platform/ResolvedFont.h"
#include "platform/SystemColors.h"

namespace orlit {

using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1u << 0;
inline constexpr TFontStyles fsItalic = 1u << 1;
inline constexpr TFontStyles fsUnderline = 1u << 2;
inline constexpr TFontStyles fsStrikeOut = 1u << 3;

using TFontCharset = std::uint8_t;

// The font a control or canvas draws with: a logical font plus its colour. Sizes are given at
// 96 pixels per inch, the resolution the window layouts were designed at.
class TFont : public TPersistent {
 public:
  static constexpr int kPixelsPerInch = 96;

  // The window font: "MS Sans Serif", height -11 (8 points), clWindowText, no style.
  TFont() = default;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Points, rounded as the desktop converts them.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);

  LOGFONT LogFont() const;
  // The resolved font to select into a device context.
  std::shared_ptr<const ResolvedFont> Handle() const;

  void Assign(const TPersistent& source) override;
  friend bool operator==(const TFont& a, const TFont& b) {
    return a.name_ == b.name_ && a.height_ == b.height_ && a.style_ == b.style_ &&
           a.color_ == b.color_ && a.charset_ == b.charset_;
  }

  // Fired after every change of a value.
  TNotifyEvent OnChange;

 private:
  void Changed();

  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  mutable std::shared_ptr<const ResolvedFont> handle_;
};

// a * b / c rounded half away from zero, as the desktop's MulDiv does; 0 for c = 0.
int MulDiv(int a, int b, int c);

}  // namespace orlit
