#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/Extended.h"
#include "convert/PowerOfTen.h"  // ScaleByPowerOfTen

namespace orlit {

// Intermediate form of FormatFloatGeneral: the value is 0.d1d2d3... x 10^Exponent.
struct DecimalRecord {
  static constexpr int16_t kInfinityExponent = 32767;
  static constexpr int16_t kNaNExponent = -32768;

  int16_t Exponent = 0;
  bool Negative = false;
  char Digits[19] = {};  // up to 18 digits, first non-zero, no trailing zeros, zero-terminated
};

// Decimal or hexadecimal ("$", "x", "0x") text to a 32-bit signed integer. Throws EConvertError
// "'<text>' is not a valid integer value".
int32_t ParseInteger(std::string_view text);

// Text with DecimalSep to an extended value. Never throws; false when the text is not a number or
// does not fit the extended range.
bool TryParseFloat(std::string_view text, Extended& value);
// As TryParseFloat; throws EConvertError "'<text>' is not a valid floating point value".
Extended ParseFloat(std::string_view text);

// The decimal record of x with `precision` significant digits (15 for the general text).
DecimalRecord MakeDecimalRecord(Extended value, int precision = 15);
// General number text: 15 significant digits, plain or exponent notation, with DecimalSep.
std::string FormatFloatGeneral(Extended value);
std::string FormatInteger(int32_t value);
// The same texts appended to `out`, for callers putting a line together without temporaries.
void AppendFloatGeneral(std::string& out, Extended value);
void AppendInteger(std::string& out, int64_t value);

// Toward zero / to nearest-even; EInvalidOp for a NaN or out of the int64 range.
int64_t TruncToInt64(Extended value);
int64_t RoundToInt64(Extended value);

}  // namespace orlit
