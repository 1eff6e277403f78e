#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orlit {

// A non-negative integer of any size, for the few exact computations behind the conversions
// (the power-of-ten factors and the decimal exponent of a value). Only what they need.
class BigInteger {
 public:
  explicit BigInteger(uint64_t value);

  void MultiplyBy(uint32_t factor);
  // Multiplies by 5^exponent or 10^exponent.
  void MultiplyByPowerOfFive(int exponent);
  void MultiplyByPowerOfTen(int exponent);

  // Number of significant bits; 0 for zero.
  int BitLength() const;
  bool Bit(int position) const;
  // True when any bit below `position` is set.
  bool AnyBitBelow(int position) const;

 private:
  std::vector<uint32_t> words_;  // least significant first
};

}  // namespace orlit
