#pragma once

#include "convert/Extended.h"

namespace orlit {

// The factors of the power-of-ten scaling, each the extended value nearest the exact power
// (ties to even), computed by the compiler from exact integers.
struct PowerOfTenTables {
  Extended small[32];   // 10^0 .. 10^31
  Extended medium[15];  // 10^32 .. 10^480 in steps of 32
  Extended large[9];    // 10^512 .. 10^4608 in steps of 512
};
const PowerOfTenTables& PowersOfTen();

// The extended value nearest 10^exponent, exponent >= 0, from exact integer arithmetic.
Extended NearestPowerOfTen(int exponent);

// value * 10^exponent in up to three steps through the tables (10^(a mod 32), then
// 10^(32 * ((a div 32) mod 16)), then 10^(512 * (a div 512)) for a = |exponent|), each product or
// quotient rounded to extended under the FPU environment. From |exponent| 5120 on the result is
// infinity (positive exponent) or zero, whatever the value.
Extended ScaleByPowerOfTen(Extended value, int exponent);

}  // namespace orlit
