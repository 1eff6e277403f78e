#include "convert/PowerOfTen.h"

#include <cstdint>
#include <cstdlib>

#include "convert/BigInteger.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

// The extended value nearest the non-zero integer `power`, ties to even.
constexpr Extended NearestExtended(const BigInteger& power) {
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

// Each row is one running product, so the compiler multiplies its way up once per row instead of
// starting every factor from 1.
constexpr PowerOfTenTables ComputeTables() {
  PowerOfTenTables tables;
  BigInteger power(1);
  for (int i = 0; i < 32; ++i) {
    tables.small[i] = NearestExtended(power);
    power.MultiplyBy(10);
  }
  power = BigInteger(1);
  for (int i = 0; i < 15; ++i) {
    power.MultiplyByPowerOfTen(32);
    tables.medium[i] = NearestExtended(power);
  }
  power = BigInteger(1);
  for (int i = 0; i < 9; ++i) {
    power.MultiplyByPowerOfTen(512);
    tables.large[i] = NearestExtended(power);
  }
  return tables;
}

// Computed at compile time: no start-up cost and no initialisation check on every scaling.
constexpr PowerOfTenTables kTables = ComputeTables();

}  // namespace

Extended NearestPowerOfTen(int exponent) {
  BigInteger power(1);
  power.MultiplyByPowerOfTen(exponent);
  return NearestExtended(power);
}

const PowerOfTenTables& PowersOfTen() { return kTables; }

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
  const bool up = exponent > 0;
  auto apply = [&value, up](Extended factor) { value = up ? value * factor : value / factor; };
  apply(kTables.small[magnitude % 32]);
  if ((magnitude / 32) % 16 != 0) apply(kTables.medium[(magnitude / 32) % 16 - 1]);
  if (magnitude / 512 != 0) apply(kTables.large[magnitude / 512 - 1]);
  return value;
}

}  // namespace orlit
