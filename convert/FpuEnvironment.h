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

uint16_t GetFpuControlWord();
void SetFpuControlWord(uint16_t control_word);
FpuRounding GetFpuRounding();

uint16_t GetFpuStatusFlags();
void ClearFpuExceptions();

// Back to the start-up state: flags cleared, control word DefaultFpuControl.
void ResetFpu();

// Records the exceptions `flags` of one operation: faults (throws) on the first unmasked one in
// the hardware's priority order invalid, zero-divide, denormal, overflow, underflow, precision;
// otherwise sets the sticky flags. Invalid and precision faults throw EInvalidOp, zero-divide
// EZeroDivide, overflow EOverflow, denormal and underflow EUnderflow.
void RaiseFpuExceptions(uint16_t flags);

// Loads a control word for one scope and restores the previous one (flags are cleared on both
// ends, as the scanners do).
class ScopedFpuControl {
 public:
  explicit ScopedFpuControl(uint16_t control_word);
  ~ScopedFpuControl();
  ScopedFpuControl(const ScopedFpuControl&) = delete;
  ScopedFpuControl& operator=(const ScopedFpuControl&) = delete;

 private:
  uint16_t saved_;
};

}  // namespace orlit
