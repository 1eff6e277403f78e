#include "convert/PowerOfTen.h"

#include <cstdint>
#include <cstdlib>

#include "convert/BigInteger.h"
#include "convert/FpuEnvironment.h"

namespace orlit {

Extended NearestPowerOfTen(int exponent) {
  BigInteger power(1);
  power.MultiplyByPowerOfTen(exponent);
  const int length = power.BitLength();
  const int lowest_kept = length > 64 ? length - 64 : 0;
  uint64_t significand = 0;
  for (int position = length - 1; position >= lowest_kept; --position) {
    significand = (significand << 1) | (power.Bit(position) ? 1 : 0);
  }
  significand <<= 64 - (length - lowest_kept);
  int top = length - 1;
  if (lowest_kept > 0) {
    const bool round = power.Bit(lowest_kept - 1);
    const bool sticky = power.AnyBitBelow(lowest_kept - 1);
    if (round && (sticky || (significand & 1) != 0) && ++significand == 0) {
      significand = Extended::kIntegerBit;
      ++top;
    }
  }
  return Extended::FromParts(false, static_cast<uint16_t>(Extended::kExponentBias + top),
                             significand);
}

const PowerOfTenTables& PowersOfTen() {
  static const PowerOfTenTables tables = [] {
    PowerOfTenTables t;
    for (int i = 0; i < 32; ++i) t.small[i] = NearestPowerOfTen(i);
    for (int i = 0; i < 15; ++i) t.medium[i] = NearestPowerOfTen(32 * (i + 1));
    for (int i = 0; i < 9; ++i) t.large[i] = NearestPowerOfTen(512 * (i + 1));
    return t;
  }();
  return tables;
}

Extended ScaleByPowerOfTen(Extended value, int exponent) {
  if (exponent == 0) return value;
  const int magnitude = std::abs(exponent == INT32_MIN ? INT32_MAX : exponent);
  if (magnitude >= 5120) {
    // The tables end here; the value no longer matters, as a finite one would overflow or
    // underflow on the way.
    if (!value.IsZero() && !value.IsNaN() && !value.IsInfinity()) {
      RaiseFpuExceptions(exponent > 0 ? kFpuOverflow | kFpuPrecision
                                      : kFpuUnderflow | kFpuPrecision);
    }
    return exponent > 0 ? Extended::Infinity() : Extended();
  }
  const PowerOfTenTables& tables = PowersOfTen();
  auto apply = [&](Extended factor) { value = exponent > 0 ? value * factor : value / factor; };
  apply(tables.small[magnitude % 32]);
  if ((magnitude / 32) % 16 != 0) apply(tables.medium[(magnitude / 32) % 16 - 1]);
  if (magnitude / 512 != 0) apply(tables.large[magnitude / 512 - 1]);
  return value;
}

}  // namespace orlit
