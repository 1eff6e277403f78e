#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orlit {

// UTF-8 with one rule for broken input everywhere: each maximal piece of a sequence that cannot
// be completed (a stray or impossible byte, a truncated sequence, an overlong form, a surrogate,
// a value beyond U+10FFFF) decodes to one U+FFFD, and decoding goes on right after it.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point at `pos`, moving `pos` past it; 0 at the end.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);
std::u32string ToCodePoints(std::string_view utf8);
// The first `max_chars` code points only; the rest of the text is not looked at.
std::u32string ToCodePoints(std::string_view utf8, std::size_t max_chars);
std::size_t CodePointCount(std::string_view utf8);
// The byte where code point `index` starts; the size of the text when it has fewer.
std::size_t ByteOfCodePoint(std::string_view utf8, std::size_t index);
// The bytes of the first code points of `utf8` that fit in `max_bytes`: a cut there never leaves
// half a character.
std::size_t WholeCodePointsWithin(std::string_view utf8, std::size_t max_bytes);

// Code points UTF-8 cannot carry (surrogates, beyond U+10FFFF) encode as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
std::string ToUtf8(std::u32string_view text);

}  // namespace orlit
