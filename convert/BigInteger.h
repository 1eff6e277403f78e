#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orlit {

// A non-negative integer of any size, for the few exact computations behind the conversions
// (the power-of-ten factors and the decimal exponent of a value). Only what they need.
// Everything is constexpr so that the power-of-ten tables are computed by the compiler.
class BigInteger {
 public:
  constexpr explicit BigInteger(uint64_t value)
      : words_{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)} {}

  constexpr void MultiplyBy(uint32_t factor) {
    uint64_t carry = 0;
    for (uint32_t& word : words_) {
      const uint64_t product = uint64_t{word} * factor + carry;
      word = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) words_.push_back(static_cast<uint32_t>(carry));
  }

  // Multiplies by 5^exponent or 10^exponent.
  constexpr void MultiplyByPowerOfFive(int exponent) {
    constexpr uint32_t kFiveToThe13 = 1220703125;
    for (; exponent >= 13; exponent -= 13) MultiplyBy(kFiveToThe13);
    uint32_t rest = 1;
    for (; exponent > 0; --exponent) rest *= 5;
    MultiplyBy(rest);
  }
  constexpr void MultiplyByPowerOfTen(int exponent) {
    constexpr uint32_t kTenToThe9 = 1000000000;
    for (; exponent >= 9; exponent -= 9) MultiplyBy(kTenToThe9);
    uint32_t rest = 1;
    for (; exponent > 0; --exponent) rest *= 10;
    MultiplyBy(rest);
  }

  // Number of significant bits; 0 for zero.
  constexpr int BitLength() const {
    for (size_t i = words_.size(); i > 0; --i) {
      if (words_[i - 1] != 0) {
        return static_cast<int>(32 * i) - std::countl_zero(words_[i - 1]);
      }
    }
    return 0;
  }

  constexpr bool Bit(int position) const {
    const auto word = static_cast<size_t>(position / 32);
    return position >= 0 && word < words_.size() && ((words_[word] >> (position % 32)) & 1) != 0;
  }

  // True when any bit below `position` is set.
  constexpr bool AnyBitBelow(int position) const {
    if (position <= 0) return false;
    const auto full = static_cast<size_t>(position / 32);
    for (size_t i = 0; i < full && i < words_.size(); ++i) {
      if (words_[i] != 0) return true;
    }
    const int rest = position % 32;
    return rest != 0 && full < words_.size() && (words_[full] & ((uint32_t{1} << rest) - 1)) != 0;
  }

 private:
  std::vector<uint32_t> words_;  // least significant first
};

}  // namespace orlit
