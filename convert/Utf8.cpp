#include "convert/Utf8.h"

#include <algorithm>

namespace orlit {

char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) {
  if (pos >= utf8.size()) return 0;
  const auto lead = static_cast<unsigned char>(utf8[pos++]);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t value = 0;
  // The range of the second byte; it excludes overlong forms, surrogates and values beyond
  // U+10FFFF, so every later byte is an ordinary continuation byte.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacementCharacter;
  }
  for (int i = 1; i < length; ++i) {
    if (pos >= utf8.size()) return kReplacementCharacter;
    const auto next = static_cast<unsigned char>(utf8[pos]);
    if (next < low || next > high) return kReplacementCharacter;
    low = 0x80, high = 0xBF;
    value = (value << 6) | (next & 0x3Fu);
    ++pos;
  }
  return value;
}

std::u32string ToCodePoints(std::string_view utf8) { return ToCodePoints(utf8, utf8.size()); }

std::u32string ToCodePoints(std::string_view utf8, std::size_t max_chars) {
  std::u32string out;
  out.reserve(std::min(utf8.size(), max_chars));
  for (std::size_t pos = 0; pos < utf8.size() && out.size() < max_chars;) {
    out.push_back(NextCodePoint(utf8, pos));
  }
  return out;
}

std::size_t CodePointCount(std::string_view utf8) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++count) NextCodePoint(utf8, pos);
  return count;
}

std::size_t ByteOfCodePoint(std::string_view utf8, std::size_t index) {
  std::size_t pos = 0;
  for (; pos < utf8.size() && index > 0; --index) NextCodePoint(utf8, pos);
  return pos;
}

std::size_t WholeCodePointsWithin(std::string_view utf8, std::size_t max_bytes) {
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    NextCodePoint(utf8, pos);
    if (pos > max_bytes) break;
    end = pos;
  }
  return end;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

}  // namespace orlit
