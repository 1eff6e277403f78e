#pragma once

#include <cstdint>

namespace orlit {

// The floating-point environment every Extended operation runs under, modelled on the x87
// control and status words so results and faults are the same on every CPU.
//
// Control word fields honoured: the six exception masks (bits 0-5) and the rounding control
// (bits 10-11). Precision control is always 64 bits; the infinity bit has no effect.
//
// An operation that raises an exception whose mask bit is clear faults: the environment is
// reset (flags cleared, control word DefaultFpuControl) and the matching exception class of
// Exceptions.h is thrown before the result is stored. A masked exception only sets its sticky
// flag and the operation delivers the IEEE default result.

inline constexpr uint16_t DefaultFpuControl = 0x1332;
inline constexpr uint16_t kFpuAllMasked = 0x133F;  // what the scanners run under

enum FpuFlag : uint16_t {
  kFpuInvalid = 0x01,
  kFpuDenormal = 0x02,
  kFpuZeroDivide = 0x04,
  kFpuOverflow = 0x08,
  kFpuUnderflow = 0x10,
  kFpuPrecision = 0x20,
};

enum class FpuRounding : uint8_t { kNearest = 0, kDown = 1, kUp = 2, kTowardZero = 3 };

namespace fpu_internal {

constexpr uint16_t kFlagMask = 0x3F;
constexpr int kRoundingShift = 10;

struct FpuState {
  uint16_t control = DefaultFpuControl;
  uint16_t status = 0;
};

// Each thread has its own unit, as each thread has its own x87 registers. Visible here so that
// every arithmetic operation reads the rounding control and records its flags without a call.
inline thread_local constinit FpuState state;

// Resets the unit and throws the exception class of the first unmasked exception in `unmasked`.
[[noreturn]] void Fault(uint16_t unmasked);

}  // namespace fpu_internal

inline uint16_t GetFpuControlWord() { return fpu_internal::state.control; }
inline void SetFpuControlWord(uint16_t control_word) { fpu_internal::state.control = control_word; }
inline FpuRounding GetFpuRounding() {
  return static_cast<FpuRounding>((fpu_internal::state.control >> fpu_internal::kRoundingShift) &
                                  3);
}

inline uint16_t GetFpuStatusFlags() { return fpu_internal::state.status; }
inline void ClearFpuExceptions() { fpu_internal::state.status = 0; }

// Back to the start-up state: flags cleared, control word DefaultFpuControl.
inline void ResetFpu() { fpu_internal::state = fpu_internal::FpuState{}; }

// Records the exceptions `flags` of one operation: faults (throws) on the first unmasked one in
// the hardware's priority order invalid, zero-divide, denormal, overflow, underflow, precision;
// otherwise sets the sticky flags. Invalid and precision faults throw EInvalidOp, zero-divide
// EZeroDivide, overflow EOverflow, denormal and underflow EUnderflow.
inline void RaiseFpuExceptions(uint16_t flags) {
  flags &= fpu_internal::kFlagMask;
  const uint16_t unmasked = flags & ~fpu_internal::state.control;
  if (unmasked != 0) fpu_internal::Fault(unmasked);
  fpu_internal::state.status |= flags;
}

// Loads a control word for one scope and restores the previous one (flags are cleared on both
// ends, as the scanners do).
class ScopedFpuControl {
 public:
  explicit ScopedFpuControl(uint16_t control_word) : saved_(fpu_internal::state.control) {
    fpu_internal::state = {control_word, 0};
  }
  ~ScopedFpuControl() { fpu_internal::state = {saved_, 0}; }
  ScopedFpuControl(const ScopedFpuControl&) = delete;
  ScopedFpuControl& operator=(const ScopedFpuControl&) = delete;

 private:
  uint16_t saved_;
};

}  // namespace orlit
