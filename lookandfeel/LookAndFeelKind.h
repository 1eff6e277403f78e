#pragma once

#include <cstdint>

namespace orlit {

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };

enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };

// A set of TcxLookAndFeelValue.
class TcxLookAndFeelValues {
 public:
  constexpr TcxLookAndFeelValues() = default;
  constexpr TcxLookAndFeelValues(TcxLookAndFeelValue value) : bits_(Bit(value)) {}  // NOLINT
  constexpr TcxLookAndFeelValues(TcxLookAndFeelValue a, TcxLookAndFeelValue b)
      : bits_(Bit(a) | Bit(b)) {}

  constexpr bool Contains(TcxLookAndFeelValue value) const { return (bits_ & Bit(value)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TcxLookAndFeelValues operator|(TcxLookAndFeelValues other) const {
    return FromBits(bits_ | other.bits_);
  }
  constexpr TcxLookAndFeelValues operator-(TcxLookAndFeelValues other) const {
    return FromBits(bits_ & ~other.bits_);
  }
  constexpr TcxLookAndFeelValues& operator|=(TcxLookAndFeelValues other) {
    bits_ |= other.bits_;
    return *this;
  }
  friend constexpr bool operator==(TcxLookAndFeelValues, TcxLookAndFeelValues) = default;

 private:
  static constexpr std::uint8_t Bit(TcxLookAndFeelValue value) {
    return static_cast<std::uint8_t>(1u << value);
  }
  static constexpr TcxLookAndFeelValues FromBits(unsigned bits) {
    TcxLookAndFeelValues values;
    values.bits_ = static_cast<std::uint8_t>(bits);
    return values;
  }

  std::uint8_t bits_ = 0;
};

}  // namespace orlit
