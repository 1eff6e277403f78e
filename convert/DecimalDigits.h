#pragma once

#include <cstdint>
#include <cstring>

namespace orlit {

struct DigitPairs {
  char chars[200];
};

// "00" to "99", two characters each, so that numbers are written two digits per step.
inline constexpr DigitPairs kDigitPairs = [] {
  DigitPairs pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs.chars[2 * i] = static_cast<char>('0' + i / 10);
    pairs.chars[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes the two digits of `value` < 100, with a leading zero, at `out`.
inline void WriteTwoDigits(uint32_t value, char* out) {
  std::memcpy(out, kDigitPairs.chars + 2 * value, 2);
}

}  // namespace orlit
