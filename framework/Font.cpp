#include "framework/Font.h"

#include <cstdint>
#include <cstdlib>

namespace orlit {

int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = std::llabs(c) / 2;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

void TFont::SetName(const std::string& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, kPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles style) {
  style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

LOGFONT TFont::LogFont() const {
  LOGFONT font;
  font.lfHeight = height_;
  font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (style_ & fsItalic) != 0;
  font.lfUnderline = (style_ & fsUnderline) != 0;
  font.lfStrikeOut = (style_ & fsStrikeOut) != 0;
  font.lfCharSet = charset_;
  font.lfFaceName = name_;
  return font;
}

std::shared_ptr<const ResolvedFont> TFont::Handle() const {
  if (!handle_) handle_ = ResolvedFont::Create(LogFont());
  return handle_;
}

void TFont::Assign(const TPersistent& source) {
  const auto* font = dynamic_cast<const TFont*>(&source);
  if (font == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (*font == *this) return;
  name_ = font->name_;
  height_ = font->height_;
  style_ = font->style_;
  color_ = font->color_;
  charset_ = font->charset_;
  Changed();
}

void TFont::Changed() {
  handle_.reset();
  if (OnChange) OnChange(this);
}

}  // namespace orlit
