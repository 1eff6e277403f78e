// Number text conversion on arbitrary bytes: the scanners either give a value or throw exactly
// EConvertError with the documented message, and every accepted value survives the round trip
// through the general number text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/NumberConversion.h"

namespace {

using orlit::Extended;

void Check(bool condition) {
  if (!condition) std::abort();
}

void FuzzInteger(std::string_view text) {
  try {
    const int32_t value = orlit::ParseInteger(text);
    // Decimal text written back reads as the same value.
    Check(orlit::ParseInteger(orlit::FormatInteger(value)) == value);
  } catch (const orlit::EConvertError& e) {
    Check(e.Message() == "'" + std::string(text) + "' is not a valid integer value");
  }
}

void FuzzFloat(std::string_view text) {
  Extended value;
  const bool accepted = orlit::TryParseFloat(text, value);
  Check(orlit::GetFpuControlWord() == orlit::DefaultFpuControl);
  Check(orlit::GetFpuStatusFlags() == 0);
  try {
    const Extended again = orlit::ParseFloat(text);
    Check(accepted && again.IdenticalTo(value));
  } catch (const orlit::EConvertError& e) {
    Check(!accepted);
    Check(e.Message() == "'" + std::string(text) + "' is not a valid floating point value");
    return;
  }
  // The scanner never yields a NaN or an infinity.
  Check(!value.IsNaN() && !value.IsInfinity());
  const std::string formatted = orlit::FormatFloatGeneral(value);
  Extended reread;
  Check(orlit::TryParseFloat(formatted, reread));
  // Fifteen digits: the text reads back to the value within a relative 10^-14, or both are
  // below the normal range, where the text says 0.
  if (reread.IsZero() || value.BiasedExponent() == 0) {
    Check(reread.IsZero() && (value.BiasedExponent() == 0 || value.IsZero()));
    return;
  }
  Check(reread.IsNegative() == value.IsNegative());
  orlit::ScopedFpuControl all_masked(orlit::kFpuAllMasked);
  const Extended error = ((reread - value) / value).Abs();
  Check(error < Extended::FromDouble(1e-14));
  // The narrowing either fits or overflows, never anything else.
  orlit::ResetFpu();
  try {
    (void)value.ToDouble();
  } catch (const orlit::EOverflow&) {
    Check(value.Abs() > Extended::FromDouble(1.7976931348623157e308));
  }
  orlit::ResetFpu();
}

void FuzzArithmetic(const uint8_t* data, size_t size) {
  if (size < 20) return;
  auto read = [&](size_t offset) {
    uint64_t significand = 0;
    uint16_t sign_exponent = 0;
    for (int i = 0; i < 8; ++i) significand |= uint64_t{data[offset + i]} << (8 * i);
    sign_exponent = static_cast<uint16_t>(data[offset + 8] | data[offset + 9] << 8);
    return Extended::FromBits(sign_exponent, significand);
  };
  const Extended a = read(0);
  const Extended b = read(10);
  // Under the default control word only the documented faults may leave an operation.
  auto guarded = [](auto operation) {
    try {
      operation();
    } catch (const orlit::EInvalidOp&) {
    } catch (const orlit::EZeroDivide&) {
    } catch (const orlit::EOverflow&) {
    }
    Check(orlit::GetFpuControlWord() == orlit::DefaultFpuControl);
    orlit::ResetFpu();
  };
  guarded([&] { (void)(a + b); });
  guarded([&] { (void)(a - b); });
  guarded([&] { (void)(a * b); });
  guarded([&] { (void)(a / b); });
  guarded([&] { (void)a.ToDouble(); });
  guarded([&] { (void)orlit::TruncToInt64(a); });
  guarded([&] { (void)orlit::RoundToInt64(b); });
  guarded([&] { (void)orlit::FormatFloatGeneral(a); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orlit::ResetFpu();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orlit::DecimalSep = size > 0 && data[0] % 2 == 1 ? ',' : '.';
  FuzzInteger(text);
  FuzzFloat(text);
  FuzzArithmetic(data, size);
  return 0;
}
