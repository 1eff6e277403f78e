// The whole calculation on arbitrary texts: it must give a result or one of the documented
// exceptions, and a failure must leave no result and at most three log lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/PeriodCalculation.h"
#include "convert/DateConversion.h"
#include "convert/Exceptions.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool initialised = [] {
    orlit::SetCurrentYearSource([] { return 2026; });
    return true;
  }();
  (void)initialised;

  // Three texts separated by zero bytes; the first byte picks the decimal separator.
  if (size == 0) return 0;
  orlit::DecimalSep = (data[0] & 1) ? ',' : '.';
  std::string texts[3];
  int field = 0;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0 && field < 2) {
      ++field;
    } else {
      texts[field] += static_cast<char>(data[i]);
    }
  }

  size_t lines = 0;
  orlit::SetCalculationLog([&lines](const std::string&) { ++lines; });
  std::string result;
  try {
    orlit::ComputePeriod(texts[0], texts[1], texts[2], result);
    if (lines != 7 || result.size() != 8) std::abort();
  } catch (const orlit::EConvertError&) {
    if (!result.empty() || (lines != 0 && lines != 3)) std::abort();
  } catch (const orlit::EMathError&) {
    if (!result.empty() || lines > 1) std::abort();
  }
  if (orlit::GetFpuControlWord() != orlit::DefaultFpuControl) std::abort();
  return 0;
}
