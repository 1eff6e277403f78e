#include "convert/FpuEnvironment.h"

#include "convert/Exceptions.h"

namespace orlit {
namespace fpu_internal {

void Fault(uint16_t unmasked) {
  ResetFpu();
  // The hardware's priority: an invalid operand or a zero divisor is found before the operation,
  // a denormal operand stops it before a result exists, the rest come from the result.
  if (unmasked & kFpuInvalid) throw EInvalidOp(N_("Invalid floating point operation"));
  if (unmasked & kFpuZeroDivide) throw EZeroDivide(N_("Floating point division by zero"));
  if (unmasked & kFpuDenormal) throw EUnderflow(N_("Floating point underflow"));
  if (unmasked & kFpuOverflow) throw EOverflow(N_("Floating point overflow"));
  if (unmasked & kFpuUnderflow) throw EUnderflow(N_("Floating point underflow"));
  throw EInvalidOp(N_("Invalid floating point operation"));  // precision
}

}  // namespace fpu_internal
}  // namespace orlit
