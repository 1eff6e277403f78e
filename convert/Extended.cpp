#include "convert/Extended.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr uint64_t kQuietBit = 0x4000000000000000ULL;
constexpr int kRoundingShift = 10;

enum class Kind : uint8_t { kZero, kFinite, kInfinity, kQuietNaN, kSignallingNaN, kUnsupported };

Kind Classify(Extended x) {
  const uint16_t exponent = x.BiasedExponent();
  const uint64_t significand = x.Significand();
  if (exponent == 0) return significand == 0 ? Kind::kZero : Kind::kFinite;
  if ((significand & Extended::kIntegerBit) == 0) return Kind::kUnsupported;
  if (exponent != Extended::kMaxExponent) return Kind::kFinite;
  if (significand == Extended::kIntegerBit) return Kind::kInfinity;
  return (significand & kQuietBit) != 0 ? Kind::kQuietNaN : Kind::kSignallingNaN;
}

bool IsNaNKind(Kind kind) { return kind == Kind::kQuietNaN || kind == Kind::kSignallingNaN; }

bool IsDenormalOperand(Extended x) { return x.BiasedExponent() == 0 && x.Significand() != 0; }

// Finite, non-zero and normal: everything but the special cases.
bool BothNormal(Extended a, Extended b) {
  auto normal = [](Extended x) {
    return static_cast<uint16_t>(x.BiasedExponent() - 1) < Extended::kMaxExponent - 1 &&
           (x.Significand() & Extended::kIntegerBit) != 0;
  };
  return normal(a) && normal(b);
}

// A finite non-zero magnitude: significand * 2^(exponent - 63), integer bit set. Exponents of
// denormals go below the format's minimum here.
struct Unpacked {
  int32_t exponent;
  uint64_t significand;
};

Unpacked Unpack(Extended x) {
  const int32_t exponent =
      (x.BiasedExponent() == 0 ? 1 : int32_t{x.BiasedExponent()}) - Extended::kExponentBias;
  const int shift = std::countl_zero(x.Significand());
  return {exponent - shift, x.Significand() << shift};
}

// Unpack for a value BothNormal accepted: its integer bit is set already.
Unpacked UnpackNormal(Extended x) {
  return {int32_t{x.BiasedExponent()} - Extended::kExponentBias, x.Significand()};
}

int CountLeadingZeros(Uint128 value) {
  const auto high = static_cast<uint64_t>(value >> 64);
  return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<uint64_t>(value));
}

struct Format {
  int precision;  // significand bits, integer bit included
  int32_t min_exponent;
  int32_t max_exponent;
};
constexpr Format kExtendedFormat{64, 1 - Extended::kExponentBias, Extended::kExponentBias};
constexpr Format kDoubleFormat{53, -1022, 1023};

// A rounded value: the significand right-aligned in `precision` bits; with its top bit clear it
// is a denormal (or zero) at the minimum exponent.
struct Rounded {
  uint64_t significand;
  int32_t exponent;
  bool infinity;
};

struct Shifted {
  Uint128 kept;
  bool round;   // the first bit shifted out
  bool sticky;  // any bit after it
};

Shifted ShiftRight(Uint128 value, int64_t shift) {
  if (shift <= 0) return {value, false, false};
  if (shift > 128) return {0, false, value != 0};
  if (shift == 128) return {0, (value >> 127) != 0, (value << 1) != 0};
  const Uint128 kept = value >> shift;
  const Uint128 lost = value - (kept << shift);
  const Uint128 half = Uint128{1} << (shift - 1);
  return {kept, (lost & half) != 0, (lost & (half - 1)) != 0};
}

bool RoundsAway(FpuRounding rounding, bool negative, const Shifted& s) {
  switch (rounding) {
    case FpuRounding::kNearest:
      return s.round && (s.sticky || (s.kept & 1) != 0);
    case FpuRounding::kDown:
      return negative && (s.round || s.sticky);
    case FpuRounding::kUp:
      return !negative && (s.round || s.sticky);
    case FpuRounding::kTowardZero:
      return false;
  }
  return false;
}

FpuRounding RoundingOf(uint16_t control) {
  return static_cast<FpuRounding>((control >> kRoundingShift) & 3);
}

// Rounds the non-zero magnitude significand * 2^(exponent - 127), bit 127 set, to `format` and
// adds the flags the x87 raises for the result. Tininess is judged after rounding, as on the x87;
// a tiny exact result underflows only when underflow is unmasked.
Rounded Round(bool negative, int32_t exponent, Uint128 significand, const Format& format,
              uint16_t& flags) {
  const uint16_t control = GetFpuControlWord();
  const FpuRounding rounding = RoundingOf(control);
  const int normal_shift = 128 - format.precision;
  bool tiny = false;
  int64_t shift = normal_shift;
  if (exponent < format.min_exponent) {
    tiny = true;
    if (exponent == format.min_exponent - 1) {
      const Shifted unbounded = ShiftRight(significand, normal_shift);
      const Uint128 kept = unbounded.kept + RoundsAway(rounding, negative, unbounded);
      if ((kept >> format.precision) != 0) tiny = false;
    }
    shift += int64_t{format.min_exponent} - exponent;
    exponent = format.min_exponent;
  }
  const Shifted s = ShiftRight(significand, shift);
  Uint128 kept = s.kept + RoundsAway(rounding, negative, s);
  if ((kept >> format.precision) != 0) {
    kept >>= 1;
    ++exponent;
  }
  const bool inexact = s.round || s.sticky;
  if (inexact) flags |= kFpuPrecision;
  if (tiny && (inexact || (control & kFpuUnderflow) == 0)) flags |= kFpuUnderflow;
  if (exponent > format.max_exponent) {
    flags |= kFpuOverflow | kFpuPrecision;
    const bool to_infinity = rounding == FpuRounding::kNearest ||
                             (rounding == FpuRounding::kUp && !negative) ||
                             (rounding == FpuRounding::kDown && negative);
    if (to_infinity) return {0, 0, true};
    return {static_cast<uint64_t>((Uint128{1} << format.precision) - 1), format.max_exponent,
            false};
  }
  return {static_cast<uint64_t>(kept), exponent, false};
}

Extended PackExtended(bool negative, const Rounded& r) {
  if (r.infinity) return Extended::Infinity(negative);
  const bool normal = (r.significand & Extended::kIntegerBit) != 0;
  const int32_t biased = normal ? r.exponent + Extended::kExponentBias : 0;
  return Extended::FromParts(negative, static_cast<uint16_t>(biased), r.significand);
}

// Whether a value whose bits below the kept ones are `lost` (non-zero), with `half` the weight of
// the first of them, rounds away from zero.
bool LostBitsRoundAway(FpuRounding rounding, bool negative, uint64_t lost, uint64_t half,
                       bool odd) {
  switch (rounding) {
    case FpuRounding::kNearest:
      return lost > half || (lost == half && odd);
    case FpuRounding::kDown:
      return negative;
    case FpuRounding::kUp:
      return !negative;
    case FpuRounding::kTowardZero:
      return false;
  }
  return false;
}

// Deliver's general case: results near or beyond the ends of the range.
[[gnu::noinline]] Extended DeliverAnywhere(bool negative, int32_t exponent, Uint128 significand,
                                           uint16_t flags) {
  const Rounded r = Round(negative, exponent, significand, kExtendedFormat, flags);
  RaiseFpuExceptions(flags);
  return PackExtended(negative, r);
}

// Rounds an exact result to extended, records its exceptions, and delivers it. Inline, as every
// arithmetic operation ends here and most results need nothing but the common case.
inline Extended Deliver(bool negative, int32_t exponent, Uint128 significand, uint16_t flags) {
  if (exponent < kExtendedFormat.min_exponent || exponent >= kExtendedFormat.max_exponent) {
    return DeliverAnywhere(negative, exponent, significand, flags);
  }
  // Normal and in range even after a carry: the common case, without the general shifts.
  auto kept = static_cast<uint64_t>(significand >> 64);
  const auto lost = static_cast<uint64_t>(significand);
  if (lost != 0) {
    flags |= kFpuPrecision;
    if (LostBitsRoundAway(GetFpuRounding(), negative, lost, uint64_t{1} << 63, (kept & 1) != 0) &&
        ++kept == 0) {
      kept = Extended::kIntegerBit;
      ++exponent;
    }
  }
  if (flags != 0) RaiseFpuExceptions(flags);
  return Extended::FromParts(negative, static_cast<uint16_t>(exponent + Extended::kExponentBias),
                             kept);
}

Extended Deliver(bool negative, Unpacked value, uint16_t flags) {
  return Deliver(negative, value.exponent, Uint128{value.significand} << 64, flags);
}

Extended SignedZero(bool negative) { return Extended::FromParts(negative, 0, 0); }

Extended Quieted(Extended nan) {
  return Extended::FromBits(nan.SignExponent(), nan.Significand() | kQuietBit);
}

// The NaN an arithmetic operation delivers when an operand is a NaN: a quiet NaN beats a
// signalling one, otherwise the larger significand wins.
Extended PropagateNaN(Extended a, Kind kind_a, Extended b, Kind kind_b) {
  if (!IsNaNKind(kind_a)) return Quieted(b);
  if (!IsNaNKind(kind_b)) return Quieted(a);
  if (kind_a != kind_b) return kind_a == Kind::kQuietNaN ? a : b;
  if (a.Significand() != b.Significand()) {
    return Quieted(a.Significand() > b.Significand() ? a : b);
  }
  return Quieted(a.IsNegative() ? b : a);
}

// The operand checks every two-operand operation starts with. True when they decide the result.
bool PreCheck(Extended a, Kind kind_a, Extended b, Kind kind_b, Extended& result, uint16_t& flags) {
  if (kind_a == Kind::kUnsupported || kind_b == Kind::kUnsupported) {
    RaiseFpuExceptions(kFpuInvalid);
    result = Extended::Indefinite();
    return true;
  }
  if (IsNaNKind(kind_a) || IsNaNKind(kind_b)) {
    if (kind_a == Kind::kSignallingNaN || kind_b == Kind::kSignallingNaN) {
      RaiseFpuExceptions(kFpuInvalid);
    }
    result = PropagateNaN(a, kind_a, b, kind_b);
    return true;
  }
  if (IsDenormalOperand(a) || IsDenormalOperand(b)) flags |= kFpuDenormal;
  return false;
}

// high:low divided by divisor, for high < divisor, so that the quotient fits 64 bits.
uint64_t DivideStep(uint64_t high, uint64_t low, uint64_t divisor, uint64_t& remainder) {
#if defined(__x86_64__) && defined(__GNUC__)
  // One instruction, where the generic 128-bit division is a library call.
  uint64_t quotient = 0;
  asm("divq %[divisor]"
      : "=a"(quotient), "=d"(remainder)
      : [divisor] "rm"(divisor), "a"(low), "d"(high)
      : "cc");
  return quotient;
#else
  const Uint128 dividend = (Uint128{high} << 64) | low;
  remainder = static_cast<uint64_t>(dividend % divisor);
  return static_cast<uint64_t>(dividend / divisor);
#endif
}

// The next bit of a long division with `remainder` < `divisor` left over, and the remainder after
// it: 2r >= d decides, written r >= d - r so that nothing overflows.
uint64_t NextQuotientBit(uint64_t& remainder, uint64_t divisor) {
  if (remainder >= divisor - remainder) {
    remainder -= divisor - remainder;
    return 1;
  }
  remainder <<= 1;
  return 0;
}

Extended InvalidResult(uint16_t flags) {
  RaiseFpuExceptions(flags | kFpuInvalid);
  return Extended::Indefinite();
}

Extended Add(Extended a, Extended b, bool subtract) {
  bool negative_a = a.IsNegative();
  bool negative_b = b.IsNegative() != subtract;
  uint16_t flags = 0;
  Unpacked big{};
  Unpacked small{};
  if (BothNormal(a, b)) {
    big = UnpackNormal(a);
    small = UnpackNormal(b);
  } else {
    const Kind kind_a = Classify(a);
    const Kind kind_b = Classify(b);
    Extended result;
    if (PreCheck(a, kind_a, b, kind_b, result, flags)) return result;
    if (kind_a == Kind::kInfinity || kind_b == Kind::kInfinity) {
      if (kind_a == kind_b && negative_a != negative_b) return InvalidResult(flags);
      RaiseFpuExceptions(flags);
      return Extended::Infinity(kind_a == Kind::kInfinity ? negative_a : negative_b);
    }
    if (kind_a == Kind::kZero && kind_b == Kind::kZero) {
      RaiseFpuExceptions(flags);
      return SignedZero(negative_a == negative_b ? negative_a
                                                 : GetFpuRounding() == FpuRounding::kDown);
    }
    if (kind_b == Kind::kZero) return Deliver(negative_a, Unpack(a), flags);
    if (kind_a == Kind::kZero) return Deliver(negative_b, Unpack(b), flags);
    big = Unpack(a);
    small = Unpack(b);
  }
  if (small.exponent > big.exponent ||
      (small.exponent == big.exponent && small.significand > big.significand)) {
    std::swap(big, small);
    std::swap(negative_a, negative_b);
  }
  // The larger magnitude's integer bit sits at bit 126, leaving bit 127 for a carry; the smaller
  // one is aligned below it, its lost bits folded into bit 0, far below the rounding position.
  // Up to 63 places apart nothing is lost: the smaller one still lies wholly inside the 128 bits.
  const Uint128 big_bits = Uint128{big.significand} << 63;
  const int64_t distance = int64_t{big.exponent} - small.exponent;
  Uint128 addend = 0;
  if (distance < 64) {
    addend = Uint128{small.significand} << (63 - distance);
  } else {
    const Shifted aligned = ShiftRight(Uint128{small.significand} << 63, distance);
    addend = aligned.kept | ((aligned.round || aligned.sticky) ? 1 : 0);
  }
  const Uint128 sum = negative_a == negative_b ? big_bits + addend : big_bits - addend;
  if (sum == 0) {
    RaiseFpuExceptions(flags);
    return SignedZero(GetFpuRounding() == FpuRounding::kDown);
  }
  const int leading = CountLeadingZeros(sum);
  return Deliver(negative_a, big.exponent + 1 - leading, sum << leading, flags);
}

}  // namespace

Extended Extended::FromUInt64(uint64_t value) {
  if (value == 0) return Extended();
  const int leading = std::countl_zero(value);
  return FromParts(false, static_cast<uint16_t>(kExponentBias + 63 - leading), value << leading);
}

Extended Extended::FromInt64(int64_t value) {
  const uint64_t magnitude =
      value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const Extended result = FromUInt64(magnitude);
  return value < 0 ? -result : result;
}

Extended Extended::FromDouble(double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const auto exponent = static_cast<int32_t>((bits >> 52) & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (exponent == 0x7FF) {
    if (fraction == 0) return Infinity(negative);
    uint64_t significand = kIntegerBit | (fraction << 11);
    if ((significand & kQuietBit) == 0) {
      RaiseFpuExceptions(kFpuInvalid);
      significand |= kQuietBit;
    }
    return FromParts(negative, kMaxExponent, significand);
  }
  if (exponent == 0) {
    if (fraction == 0) return SignedZero(negative);
    RaiseFpuExceptions(kFpuDenormal);
    const int leading = std::countl_zero(fraction);
    return FromParts(negative, static_cast<uint16_t>(kExponentBias - 1074 + 63 - leading),
                     fraction << leading);
  }
  return FromParts(negative, static_cast<uint16_t>(exponent - 1023 + kExponentBias),
                   kIntegerBit | (fraction << 11));
}

double Extended::ToDouble() const {
  const uint64_t sign = IsNegative() ? uint64_t{1} << 63 : 0;
  constexpr uint64_t kExponentBits = uint64_t{0x7FF} << 52;
  constexpr uint64_t kFractionBits = (uint64_t{1} << 52) - 1;
  const int32_t exponent = int32_t{BiasedExponent()} - kExponentBias;
  if (exponent >= kDoubleFormat.min_exponent && exponent < kDoubleFormat.max_exponent &&
      (significand_ & kIntegerBit) != 0) {
    // A normal double even after a carry: the general rounding reduces to dropping the low 11
    // bits, and nothing but precision can be raised.
    uint64_t kept = significand_ >> 11;
    const uint64_t lost = significand_ & 0x7FF;
    int32_t result_exponent = exponent;
    if (lost != 0) {
      if (LostBitsRoundAway(GetFpuRounding(), IsNegative(), lost, 0x400, (kept & 1) != 0) &&
          ++kept == uint64_t{1} << 53) {
        kept >>= 1;
        ++result_exponent;
      }
      RaiseFpuExceptions(kFpuPrecision);
    }
    return std::bit_cast<double>(sign | (static_cast<uint64_t>(result_exponent + 1023) << 52) |
                                 (kept & kFractionBits));
  }
  switch (Classify(*this)) {
    case Kind::kUnsupported:
      RaiseFpuExceptions(kFpuInvalid);
      return std::bit_cast<double>(0xFFF8000000000000ULL);
    case Kind::kSignallingNaN:
      RaiseFpuExceptions(kFpuInvalid);
      [[fallthrough]];
    case Kind::kQuietNaN:
      return std::bit_cast<double>(sign | kExponentBits |
                                   (((significand_ | kQuietBit) >> 11) & kFractionBits));
    case Kind::kInfinity:
      return std::bit_cast<double>(sign | kExponentBits);
    case Kind::kZero:
      return std::bit_cast<double>(sign);
    case Kind::kFinite:
      break;
  }
  const Unpacked value = Unpack(*this);
  uint16_t flags = 0;
  const Rounded r =
      Round(IsNegative(), value.exponent, Uint128{value.significand} << 64, kDoubleFormat, flags);
  RaiseFpuExceptions(flags);
  if (r.infinity) return std::bit_cast<double>(sign | kExponentBits);
  if ((r.significand >> 52) == 0) return std::bit_cast<double>(sign | r.significand);
  return std::bit_cast<double>(sign | (static_cast<uint64_t>(r.exponent + 1023) << 52) |
                               (r.significand & kFractionBits));
}

namespace {

// The magnitude of a finite value rounded to an integer under the rounding control, for
// exponents below 63.
Shifted RoundToInteger(bool negative, Unpacked value, bool& inexact) {
  const int64_t shift = 63 - int64_t{value.exponent};
  Shifted s{};
  if (shift < 64) {
    // A fraction inside the significand: plain 64-bit shifts.
    const uint64_t lost = value.significand << (64 - shift);
    s = {value.significand >> shift, (lost >> 63) != 0, (lost << 1) != 0};
  } else {
    s = ShiftRight(Uint128{value.significand}, shift);
  }
  inexact = s.round || s.sticky;
  s.kept += RoundsAway(GetFpuRounding(), negative, s);
  return s;
}

// RoundToInteger for a normal x with 1 <= |x| < 2^63, raising precision when a fraction is lost:
// the fraction lies inside the significand, so 64-bit shifts do.
inline uint64_t RoundedMagnitude(Extended x) {
  const int shift = Extended::kExponentBias + 63 - x.BiasedExponent();
  uint64_t magnitude = x.Significand() >> shift;
  const uint64_t lost = x.Significand() << (64 - shift);
  if (lost != 0) {
    if (LostBitsRoundAway(GetFpuRounding(), x.IsNegative(), lost, uint64_t{1} << 63,
                          (magnitude & 1) != 0)) {
      ++magnitude;
    }
    RaiseFpuExceptions(kFpuPrecision);
  }
  return magnitude;
}

}  // namespace

int64_t Extended::ToInt64() const {
  constexpr int64_t kIntegerIndefinite = INT64_MIN;
  const auto exponent = static_cast<uint32_t>(int32_t{BiasedExponent()} - kExponentBias);
  if (exponent < 62 && (significand_ & kIntegerBit) != 0) {
    // 1 <= |x| < 2^62: even rounded up the magnitude stays in range.
    const uint64_t magnitude = RoundedMagnitude(*this);
    return static_cast<int64_t>(IsNegative() ? uint64_t{0} - magnitude : magnitude);
  }
  const Kind kind = Classify(*this);
  if (kind == Kind::kZero) return 0;
  if (kind != Kind::kFinite) {
    RaiseFpuExceptions(kFpuInvalid);
    return kIntegerIndefinite;
  }
  const bool negative = IsNegative();
  const Unpacked value = Unpack(*this);
  Uint128 magnitude = 0;
  bool inexact = false;
  if (value.exponent >= 64) {
    magnitude = Uint128{1} << 64;
  } else if (value.exponent == 63) {
    magnitude = value.significand;
  } else {
    magnitude = RoundToInteger(negative, value, inexact).kept;
  }
  const Uint128 limit = (Uint128{1} << 63) - (negative ? 0 : 1);
  if (magnitude > limit) {
    RaiseFpuExceptions(kFpuInvalid);
    return kIntegerIndefinite;
  }
  if (inexact) RaiseFpuExceptions(kFpuPrecision);
  const auto bits = static_cast<uint64_t>(magnitude);
  return static_cast<int64_t>(negative ? uint64_t{0} - bits : bits);
}

Extended Extended::RoundToIntegral() const {
  const auto exponent = static_cast<uint32_t>(int32_t{BiasedExponent()} - kExponentBias);
  if (exponent < 63 && (significand_ & kIntegerBit) != 0) {
    // 1 <= |x| < 2^63: the rounded magnitude is at least 1, so never a signed zero.
    const Extended result = FromUInt64(RoundedMagnitude(*this));
    return IsNegative() ? -result : result;
  }
  switch (Classify(*this)) {
    case Kind::kUnsupported:
      RaiseFpuExceptions(kFpuInvalid);
      return Indefinite();
    case Kind::kSignallingNaN:
      RaiseFpuExceptions(kFpuInvalid);
      return Quieted(*this);
    case Kind::kQuietNaN:
    case Kind::kInfinity:
    case Kind::kZero:
      return *this;
    case Kind::kFinite:
      break;
  }
  uint16_t flags = IsDenormalOperand(*this) ? kFpuDenormal : 0;
  const Unpacked value = Unpack(*this);
  if (value.exponent >= 63) {
    RaiseFpuExceptions(flags);
    return *this;
  }
  bool inexact = false;
  const auto magnitude = static_cast<uint64_t>(RoundToInteger(IsNegative(), value, inexact).kept);
  if (inexact) flags |= kFpuPrecision;
  RaiseFpuExceptions(flags);
  if (magnitude == 0) return SignedZero(IsNegative());
  const Extended result = FromUInt64(magnitude);
  return IsNegative() ? -result : result;
}

Extended operator+(Extended a, Extended b) { return Add(a, b, false); }

Extended operator-(Extended a, Extended b) { return Add(a, b, true); }

Extended operator*(Extended a, Extended b) {
  const bool negative = a.IsNegative() != b.IsNegative();
  uint16_t flags = 0;
  const bool normal = BothNormal(a, b);
  if (!normal) {
    const Kind kind_a = Classify(a);
    const Kind kind_b = Classify(b);
    Extended result;
    if (PreCheck(a, kind_a, b, kind_b, result, flags)) return result;
    if (kind_a == Kind::kInfinity || kind_b == Kind::kInfinity) {
      if (kind_a == Kind::kZero || kind_b == Kind::kZero) return InvalidResult(flags);
      RaiseFpuExceptions(flags);
      return Extended::Infinity(negative);
    }
    if (kind_a == Kind::kZero || kind_b == Kind::kZero) {
      RaiseFpuExceptions(flags);
      return SignedZero(negative);
    }
  }
  const Unpacked x = normal ? UnpackNormal(a) : Unpack(a);
  const Unpacked y = normal ? UnpackNormal(b) : Unpack(b);
  Uint128 product = Uint128{x.significand} * y.significand;  // in [2^126, 2^128)
  int32_t exponent = x.exponent + y.exponent + 1;
  if ((product >> 127) == 0) {
    product <<= 1;
    --exponent;
  }
  return Deliver(negative, exponent, product, flags);
}

Extended operator/(Extended a, Extended b) {
  const bool negative = a.IsNegative() != b.IsNegative();
  uint16_t flags = 0;
  const bool normal = BothNormal(a, b);
  if (!normal) {
    const Kind kind_a = Classify(a);
    const Kind kind_b = Classify(b);
    Extended result;
    if (PreCheck(a, kind_a, b, kind_b, result, flags)) return result;
    if (kind_a == Kind::kInfinity) {
      if (kind_b == Kind::kInfinity) return InvalidResult(flags);
      RaiseFpuExceptions(flags);
      return Extended::Infinity(negative);
    }
    if (kind_b == Kind::kInfinity) {
      RaiseFpuExceptions(flags);
      return SignedZero(negative);
    }
    if (kind_b == Kind::kZero) {
      if (kind_a == Kind::kZero) return InvalidResult(flags);
      RaiseFpuExceptions(kFpuZeroDivide);  // found first: a denormal dividend goes unreported
      return Extended::Infinity(negative);
    }
    if (kind_a == Kind::kZero) {
      RaiseFpuExceptions(flags);
      return SignedZero(negative);
    }
  }
  const Unpacked x = normal ? UnpackNormal(a) : Unpack(a);
  const Unpacked y = normal ? UnpackNormal(b) : Unpack(b);
  // One long-division step gives the top 63 or 64 quotient bits. The rounding needs only the
  // next bit or two and whether anything remains, which doubling the remainder tells without a
  // second division; every rounding shift is 64 or more, so whatever lies below that bit can be
  // folded into bit 0.
  uint64_t remainder = 0;
  uint64_t high = DivideStep(x.significand >> 1, x.significand << 63, y.significand, remainder);
  int32_t exponent = x.exponent - y.exponent;
  if ((high >> 63) == 0) {
    high = (high << 1) | NextQuotientBit(remainder, y.significand);
    --exponent;
  }
  const uint64_t round = NextQuotientBit(remainder, y.significand);
  const Uint128 quotient =
      (Uint128{high} << 64) | (Uint128{round} << 63) | (remainder != 0 ? 1 : 0);
  return Deliver(negative, exponent, quotient, flags);
}

std::partial_ordering operator<=>(Extended a, Extended b) {
  if (BothNormal(a, b)) {
    // Nothing to raise; the encodings order as (exponent, significand) within a sign.
    if (a.IsNegative() != b.IsNegative()) {
      return a.IsNegative() ? std::partial_ordering::less : std::partial_ordering::greater;
    }
    const auto order = std::pair(a.BiasedExponent(), a.Significand()) <=>
                       std::pair(b.BiasedExponent(), b.Significand());
    return a.IsNegative() ? 0 <=> order : order;
  }
  const Kind kind_a = Classify(a);
  const Kind kind_b = Classify(b);
  if (kind_a == Kind::kUnsupported || kind_b == Kind::kUnsupported ||
      kind_a == Kind::kSignallingNaN || kind_b == Kind::kSignallingNaN) {
    RaiseFpuExceptions(kFpuInvalid);
    return std::partial_ordering::unordered;
  }
  if (IsNaNKind(kind_a) || IsNaNKind(kind_b)) return std::partial_ordering::unordered;
  if (IsDenormalOperand(a) || IsDenormalOperand(b)) RaiseFpuExceptions(kFpuDenormal);
  // Magnitudes ordered by (exponent, significand), zero lowest and infinity highest.
  auto key = [](Extended x, Kind kind) -> std::pair<int32_t, uint64_t> {
    if (kind == Kind::kZero) return {INT32_MIN, 0};
    if (kind == Kind::kInfinity) return {INT32_MAX, 0};
    const Unpacked value = Unpack(x);
    return {value.exponent, value.significand};
  };
  const bool negative_a = kind_a != Kind::kZero && a.IsNegative();
  const bool negative_b = kind_b != Kind::kZero && b.IsNegative();
  if (negative_a != negative_b) {
    return negative_a ? std::partial_ordering::less : std::partial_ordering::greater;
  }
  const auto order = key(a, kind_a) <=> key(b, kind_b);
  return negative_a ? 0 <=> order : order;
}

}  // namespace orlit
