#include "convert/FpuEnvironment.h"

#include "convert/Exceptions.h"

namespace orlit {
namespace fpu_internal {

void Fault(uint16_t unmasked) {
  ResetFpu();
  // The hardware's priority: an invalid operand or a zero divisor is found before the operation,
  // a denormal operand stops it before a result exists, the rest come from the result.
  if (unmasked & kFpuInvalid) throw EInvalidOp("Invalid floating point operation");
  if (unmasked & kFpuZeroDivide) throw EZeroDivide("Floating point division by zero");
  if (unmasked & kFpuDenormal) throw EUnderflow("Floating point underflow");
  if (unmasked & kFpuOverflow) throw EOverflow("Floating point overflow");
  if (unmasked & kFpuUnderflow) throw EUnderflow("Floating point underflow");
  throw EInvalidOp("Invalid floating point operation");  // precision
}

}  // namespace fpu_internal
}  // namespace orlit
