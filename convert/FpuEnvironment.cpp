#include "convert/FpuEnvironment.h"

#include "convert/Exceptions.h"

namespace orlit {
namespace {

constexpr uint16_t kFlagMask = 0x3F;
constexpr uint16_t kRoundingShift = 10;

struct FpuState {
  uint16_t control = DefaultFpuControl;
  uint16_t status = 0;
};

// Each thread has its own unit, as each thread has its own x87 registers.
thread_local constinit FpuState state;

[[noreturn]] void Fault(uint16_t unmasked) {
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

}  // namespace

uint16_t GetFpuControlWord() { return state.control; }

void SetFpuControlWord(uint16_t control_word) { state.control = control_word; }

FpuRounding GetFpuRounding() {
  return static_cast<FpuRounding>((state.control >> kRoundingShift) & 3);
}

uint16_t GetFpuStatusFlags() { return state.status; }

void ClearFpuExceptions() { state.status = 0; }

void ResetFpu() { state = FpuState{}; }

void RaiseFpuExceptions(uint16_t flags) {
  flags &= kFlagMask;
  const uint16_t unmasked = flags & ~state.control;
  if (unmasked != 0) Fault(unmasked);
  state.status |= flags;
}

ScopedFpuControl::ScopedFpuControl(uint16_t control_word) : saved_(state.control) {
  state.status = 0;
  state.control = control_word;
}

ScopedFpuControl::~ScopedFpuControl() {
  state.status = 0;
  state.control = saved_;
}

}  // namespace orlit
