#pragma once

#include <compare>
#include <cstdint>

namespace orlit {

// The 80-bit extended floating-point format in software: sign, 15-bit exponent (bias 16383) and
// a 64-bit significand with an explicit integer bit. Every operation is rounded once to the
// 64-bit significand under the rounding control of the FPU environment (FpuEnvironment.h) and
// reports its exceptions there, so results are bit-identical on every CPU and compiler.
//
// Encodings follow the x87: exponent 0 with integer bit 0 is zero or a denormal; exponent 0x7FFF
// with significand 0x8000000000000000 is an infinity, with more bits set a NaN (quiet when bit 62
// is set). Exponent 0 with the integer bit set (a pseudo-denormal) is read as a denormal;
// unnormals, pseudo-infinities and pseudo-NaNs are invalid operands, as on the hardware.
class Extended {
 public:
  static constexpr uint16_t kExponentBias = 16383;
  static constexpr uint16_t kMaxExponent = 0x7FFF;
  static constexpr uint64_t kIntegerBit = 0x8000000000000000ULL;

  constexpr Extended() = default;  // +0
  static constexpr Extended FromBits(uint16_t sign_exponent, uint64_t significand) {
    Extended x;
    x.sign_exponent_ = sign_exponent;
    x.significand_ = significand;
    return x;
  }
  static constexpr Extended FromParts(bool negative, uint16_t biased_exponent,
                                      uint64_t significand) {
    return FromBits(static_cast<uint16_t>((negative ? 0x8000 : 0) | (biased_exponent & 0x7FFF)),
                    significand);
  }

  // Exact widenings.
  static Extended FromInt64(int64_t value);
  static Extended FromUInt64(uint64_t value);
  static Extended FromInt32(int32_t value) { return FromInt64(value); }
  static Extended FromUInt16(uint16_t value) { return FromInt64(value); }
  static Extended FromDouble(double value);  // a signalling NaN operand raises invalid

  static constexpr Extended Infinity(bool negative = false) {
    return FromParts(negative, kMaxExponent, kIntegerBit);
  }
  // The x87 "real indefinite": the quiet NaN a masked invalid operation delivers.
  static constexpr Extended Indefinite() {
    return FromParts(true, kMaxExponent, 0xC000000000000000ULL);
  }

  constexpr uint16_t SignExponent() const { return sign_exponent_; }
  constexpr uint64_t Significand() const { return significand_; }
  constexpr bool IsNegative() const { return (sign_exponent_ & 0x8000) != 0; }
  constexpr uint16_t BiasedExponent() const { return sign_exponent_ & 0x7FFF; }
  constexpr bool IsZero() const { return BiasedExponent() == 0 && significand_ == 0; }
  constexpr bool IsInfinity() const {
    return BiasedExponent() == kMaxExponent && significand_ == kIntegerBit;
  }
  constexpr bool IsNaN() const {
    return BiasedExponent() == kMaxExponent && significand_ != kIntegerBit;
  }
  constexpr bool IsDenormal() const { return BiasedExponent() == 0 && significand_ != 0; }

  // Narrowing to double, rounded under the rounding control. Above the double range: overflow
  // (EOverflow under DefaultFpuControl); below the smallest normal: denormal or zero.
  double ToDouble() const;

  // Conversion to a 64-bit integer under the rounding control (the x87 integer store). A NaN or a
  // result outside the int64 range raises invalid; masked, it gives INT64_MIN.
  int64_t ToInt64() const;

  // Rounds to an integral value under the rounding control (the x87 round-to-integer).
  Extended RoundToIntegral() const;

  Extended operator-() const { return FromBits(sign_exponent_ ^ 0x8000, significand_); }
  Extended Abs() const { return FromBits(sign_exponent_ & 0x7FFF, significand_); }

  friend Extended operator+(Extended a, Extended b);
  friend Extended operator-(Extended a, Extended b);
  friend Extended operator*(Extended a, Extended b);
  friend Extended operator/(Extended a, Extended b);
  Extended& operator+=(Extended b) { return *this = *this + b; }
  Extended& operator-=(Extended b) { return *this = *this - b; }
  Extended& operator*=(Extended b) { return *this = *this * b; }
  Extended& operator/=(Extended b) { return *this = *this / b; }

  // Numeric comparison: +0 equals -0, a NaN is unordered (quietly, as the x87 FUCOM does).
  friend std::partial_ordering operator<=>(Extended a, Extended b);
  friend bool operator==(Extended a, Extended b) { return (a <=> b) == 0; }

  // Same encoding, bit for bit.
  constexpr bool IdenticalTo(Extended other) const {
    return sign_exponent_ == other.sign_exponent_ && significand_ == other.significand_;
  }

 private:
  uint64_t significand_ = 0;
  uint16_t sign_exponent_ = 0;
};

}  // namespace orlit
