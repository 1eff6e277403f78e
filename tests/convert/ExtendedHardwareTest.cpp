// Differential test of the software extended type against the x87 unit of the machine running
// the test: every result bit and every exception flag must agree.
#if defined(__x86_64__)

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "convert/Extended.h"
#include "convert/FpuEnvironment.h"

static_assert(__LDBL_MANT_DIG__ == 64, "long double must be the x87 extended format");

namespace orlit {
namespace {

constexpr uint64_t kSeed = 0x5EED0F87A11CE5ULL;

// One hardware result: up to 80 bits of value and the x87 status word.
struct Outcome {
  uint64_t low = 0;     // significand, double bits or integer
  uint16_t high = 0;    // sign and exponent for extended results
  uint16_t status = 0;  // exception flags, and the condition codes for comparisons
  bool operator==(const Outcome&) const = default;
};

struct Raw80 {
  uint64_t significand;
  uint16_t sign_exponent;
};

long double ToLongDouble(Extended x) {
  long double value = 0;
  Raw80 raw{x.Significand(), x.SignExponent()};
  std::memcpy(&value, &raw, 10);
  return value;
}

Outcome FromLongDouble(const long double& value, uint16_t status) {
  Raw80 raw{};
  std::memcpy(&raw, &value, 10);
  return {raw.significand, raw.sign_exponent, status};
}

uint16_t HardwareControl(FpuRounding rounding) {
  return static_cast<uint16_t>(0x037F | (static_cast<unsigned>(rounding) << 10));
}

// Each operation runs in one asm block, so the compiler can neither fold it nor move the flag
// reads away from it. Operands: st(0) = a, st(1) = b.
#define ORLIT_X87_BINARY(name, instruction)                                 \
  Outcome name(Extended x, Extended y, uint16_t control) {                  \
    volatile long double a = ToLongDouble(x);                               \
    volatile long double b = ToLongDouble(y);                               \
    long double result;                                                     \
    uint16_t status = 0;                                                    \
    uint16_t saved = 0;                                                     \
    asm volatile(                                                           \
        "fnstcw %[saved]\n\t"                                               \
        "fldcw %[control]\n\t"                                              \
        "fnclex\n\t"                                                        \
        "fldt %[b]\n\t"                                                     \
        "fldt %[a]\n\t" instruction                                         \
        "\n\t"                                                              \
        "fstpt %[result]\n\t"                                               \
        "fstp %%st(0)\n\t"                                                  \
        "fnstsw %[status]\n\t"                                              \
        "fldcw %[saved]\n\t"                                                \
        : [result] "=m"(result), [status] "=m"(status), [saved] "+m"(saved) \
        : [a] "m"(a), [b] "m"(b), [control] "m"(control)                    \
        : "memory", "st", "st(1)");                                         \
    return FromLongDouble(result, status & 0x3F);                           \
  }

ORLIT_X87_BINARY(HardwareAdd, "fadd %%st(1), %%st")
ORLIT_X87_BINARY(HardwareSub, "fsub %%st(1), %%st")
ORLIT_X87_BINARY(HardwareMul, "fmul %%st(1), %%st")
ORLIT_X87_BINARY(HardwareDiv, "fdiv %%st(1), %%st")

#undef ORLIT_X87_BINARY

Outcome HardwareToDouble(Extended x, Extended, uint16_t control) {
  volatile long double a = ToLongDouble(x);
  uint64_t result = 0;
  uint16_t status = 0;
  uint16_t saved = 0;
  asm volatile(
      "fnstcw %[saved]\n\t"
      "fldcw %[control]\n\t"
      "fnclex\n\t"
      "fldt %[a]\n\t"
      "fstpl %[result]\n\t"
      "fnstsw %[status]\n\t"
      "fldcw %[saved]\n\t"
      : [result] "=m"(result), [status] "=m"(status), [saved] "+m"(saved)
      : [a] "m"(a), [control] "m"(control)
      : "memory", "st");
  return {result, 0, static_cast<uint16_t>(status & 0x3F)};
}

Outcome HardwareToInt64(Extended x, Extended, uint16_t control) {
  volatile long double a = ToLongDouble(x);
  int64_t result = 0;
  uint16_t status = 0;
  uint16_t saved = 0;
  asm volatile(
      "fnstcw %[saved]\n\t"
      "fldcw %[control]\n\t"
      "fnclex\n\t"
      "fldt %[a]\n\t"
      "fistpll %[result]\n\t"
      "fnstsw %[status]\n\t"
      "fldcw %[saved]\n\t"
      : [result] "=m"(result), [status] "=m"(status), [saved] "+m"(saved)
      : [a] "m"(a), [control] "m"(control)
      : "memory", "st");
  return {static_cast<uint64_t>(result), 0, static_cast<uint16_t>(status & 0x3F)};
}

Outcome HardwareRoundToIntegral(Extended x, Extended, uint16_t control) {
  volatile long double a = ToLongDouble(x);
  long double result;
  uint16_t status = 0;
  uint16_t saved = 0;
  asm volatile(
      "fnstcw %[saved]\n\t"
      "fldcw %[control]\n\t"
      "fnclex\n\t"
      "fldt %[a]\n\t"
      "frndint\n\t"
      "fstpt %[result]\n\t"
      "fnstsw %[status]\n\t"
      "fldcw %[saved]\n\t"
      : [result] "=m"(result), [status] "=m"(status), [saved] "+m"(saved)
      : [a] "m"(a), [control] "m"(control)
      : "memory", "st");
  return FromLongDouble(result, status & 0x3F);
}

// The operand's significand taken as the bits of a double.
Outcome HardwareFromDouble(Extended x, Extended, uint16_t control) {
  volatile uint64_t a = x.Significand();
  long double result;
  uint16_t status = 0;
  uint16_t saved = 0;
  asm volatile(
      "fnstcw %[saved]\n\t"
      "fldcw %[control]\n\t"
      "fnclex\n\t"
      "fldl %[a]\n\t"
      "fstpt %[result]\n\t"
      "fnstsw %[status]\n\t"
      "fldcw %[saved]\n\t"
      : [result] "=m"(result), [status] "=m"(status), [saved] "+m"(saved)
      : [a] "m"(a), [control] "m"(control)
      : "memory", "st");
  return FromLongDouble(result, status & 0x3F);
}

// Flags plus the condition codes C0, C2 and C3 of FUCOM a, b.
Outcome HardwareCompare(Extended x, Extended y, uint16_t control) {
  volatile long double a = ToLongDouble(x);
  volatile long double b = ToLongDouble(y);
  uint16_t status = 0;
  uint16_t saved = 0;
  asm volatile(
      "fnstcw %[saved]\n\t"
      "fldcw %[control]\n\t"
      "fnclex\n\t"
      "fldt %[b]\n\t"
      "fldt %[a]\n\t"
      "fucom %%st(1)\n\t"
      "fnstsw %[status]\n\t"
      "fstp %%st(0)\n\t"
      "fstp %%st(0)\n\t"
      "fldcw %[saved]\n\t"
      : [status] "=m"(status), [saved] "+m"(saved)
      : [a] "m"(a), [b] "m"(b), [control] "m"(control)
      : "memory", "st", "st(1)");
  return {0, 0, static_cast<uint16_t>(status & 0x453F)};
}

// The same operations in software, under the same control word.
Outcome SoftwareExtended(Extended result) {
  return {result.Significand(), result.SignExponent(), GetFpuStatusFlags()};
}

Outcome SoftwareCompare(Extended a, Extended b) {
  const std::partial_ordering order = a <=> b;
  uint16_t codes = 0;
  if (order == std::partial_ordering::unordered) codes = 0x4500;
  if (order == std::partial_ordering::less) codes = 0x0100;
  if (order == std::partial_ordering::equivalent) codes = 0x4000;
  return {0, 0, static_cast<uint16_t>(codes | GetFpuStatusFlags())};
}

struct Operation {
  const char* name;
  Outcome (*hardware)(Extended, Extended, uint16_t);
  std::function<Outcome(Extended, Extended)> software;
};

const Operation kOperations[] = {
    {"add", HardwareAdd, [](Extended a, Extended b) { return SoftwareExtended(a + b); }},
    {"sub", HardwareSub, [](Extended a, Extended b) { return SoftwareExtended(a - b); }},
    {"mul", HardwareMul, [](Extended a, Extended b) { return SoftwareExtended(a * b); }},
    {"div", HardwareDiv, [](Extended a, Extended b) { return SoftwareExtended(a / b); }},
    {"to_double", HardwareToDouble,
     [](Extended a, Extended) {
       const double d = a.ToDouble();
       uint64_t bits = 0;
       std::memcpy(&bits, &d, 8);
       return Outcome{bits, 0, GetFpuStatusFlags()};
     }},
    {"to_int64", HardwareToInt64,
     [](Extended a, Extended) {
       return Outcome{static_cast<uint64_t>(a.ToInt64()), 0, GetFpuStatusFlags()};
     }},
    {"round_to_integral", HardwareRoundToIntegral,
     [](Extended a, Extended) { return SoftwareExtended(a.RoundToIntegral()); }},
    {"from_double", HardwareFromDouble,
     [](Extended a, Extended) {
       double d = 0;
       const uint64_t bits = a.Significand();
       std::memcpy(&d, &bits, 8);
       return SoftwareExtended(Extended::FromDouble(d));
     }},
    {"compare", HardwareCompare, SoftwareCompare},
};

// Operands weighted toward the cases where rounding and flags are hardest to get right.
class OperandSource {
 public:
  explicit OperandSource(uint64_t seed) : random_(seed) {}

  uint64_t Bits() { return random_(); }
  uint64_t Below(uint64_t n) { return random_() % n; }

  uint64_t Significand() {
    constexpr uint64_t kTop = Extended::kIntegerBit;
    switch (Below(8)) {
      case 0: {  // a few bits: exact results and exact ties
        uint64_t bits = kTop;
        for (uint64_t i = Below(4); i > 0; --i) bits |= uint64_t{1} << Below(64);
        return bits;
      }
      case 1:  // long runs of ones: carries through the whole significand
        return ~uint64_t{0} << Below(12);
      case 2:  // trailing zeros of random length
        return kTop | (Bits() & (~uint64_t{0} << Below(64)));
      case 3: {  // the bits a double drops: ties and near ties
        static constexpr uint64_t kTails[] = {0x400, 0x3FF, 0x401, 0, 0x7FF, 0xC00};
        return kTop | (Bits() & ~uint64_t{0x7FF}) | kTails[Below(6)];
      }
      case 4:
        return kTop | (Bits() >> Below(64));
      default:
        return kTop | Bits();
    }
  }

  uint16_t Exponent() {
    switch (Below(8)) {
      case 0:
        return static_cast<uint16_t>(1 + Below(40));  // near the denormal range
      case 1:
        return static_cast<uint16_t>(0x7FFE - Below(40));  // near overflow
      case 2:
        return static_cast<uint16_t>(16383 - 70 + Below(140));  // around 1 and the int64 range
      case 3:                                                   // the double range's edges
        return static_cast<uint16_t>((Below(2) ? 16383 + 1023 : 16383 - 1022 - 53) - 4 + Below(60));
      default:
        return static_cast<uint16_t>(1 + Below(0x7FFE));
    }
  }

  Extended Any() {
    const bool negative = Below(2) != 0;
    switch (Below(32)) {
      case 0:
        return Extended::FromParts(negative, 0, 0);
      case 1:
        return Extended::Infinity(negative);
      case 2:  // quiet NaN
        return Extended::FromParts(negative, 0x7FFF, 0xC000000000000000ULL | (Bits() >> Below(64)));
      case 3:  // signalling NaN
        return Extended::FromParts(negative, 0x7FFF,
                                   0x8000000000000000ULL | (Bits() >> (Below(62) + 2)) | 1);
      case 4:
      case 5:
      case 6:  // denormals
        return Extended::FromParts(negative, 0, Significand() >> (1 + Below(63)));
      case 7:
        if (Below(4) == 0) {  // unsupported encodings and pseudo-denormals
          switch (Below(3)) {
            case 0:
              return Extended::FromParts(negative, Exponent(), Significand() >> 1);
            case 1:
              return Extended::FromParts(negative, 0x7FFF, Bits() >> 1);
            default:
              return Extended::FromParts(negative, 0, Significand());
          }
        }
        [[fallthrough]];
      default:
        return Extended::FromParts(negative, Exponent(), Significand());
    }
  }

  // A second operand related to the first: equal or adjacent exponents, equal magnitudes, or a
  // distance around the significand width, and products and quotients aimed at the range edges.
  Extended Partner(Extended a) {
    if (a.BiasedExponent() == 0 || a.BiasedExponent() == 0x7FFF || Below(4) == 0) return Any();
    if (a.BiasedExponent() <= 2 && Below(2) == 0) {  // a sum just below the smallest normal
      return Extended::FromParts(!a.IsNegative(), 0, Significand() >> (1 + Below(63)));
    }
    const bool negative = Below(2) != 0;
    const int32_t exponent = a.BiasedExponent();
    int32_t target = exponent;
    uint64_t significand = Significand();
    switch (Below(8)) {
      case 0:  // the same magnitude, or a few units in the last place away
        significand = a.Significand() + Below(5) - 2;
        if ((significand & Extended::kIntegerBit) == 0) significand = a.Significand();
        break;
      case 1: {
        static constexpr int32_t kDistances[] = {1, 2, 3, 62, 63, 64, 65, 66, 127, 128};
        target = exponent + (Below(2) ? 1 : -1) * kDistances[Below(10)];
        break;
      }
      case 2:
        target = exponent + static_cast<int32_t>(Below(9)) - 4;
        break;
      case 3:  // a product near overflow or underflow
        target = (Below(2) ? 0x7FFE + 16383 : 16383 - 64 * Below(2)) +
                 static_cast<int32_t>(Below(5)) - 2 - exponent;
        break;
      case 4:  // a quotient near overflow or underflow
        target = exponent - (Below(2) ? 0x7FFE - 16383 : -16383 + 64 * Below(2)) +
                 static_cast<int32_t>(Below(5)) - 2;
        break;
      case 5: {  // a product within one unit of a power of two, at the range edges
        __extension__ typedef unsigned __int128 Uint128;
        significand =
            static_cast<uint64_t>((Uint128{1} << 127) / a.Significand()) + (Below(2) ? 0 : 1);
        if ((significand & Extended::kIntegerBit) == 0) return Any();
        target =
            (Below(2) ? 0x7FFE + 16383 : 16383) + static_cast<int32_t>(Below(3)) - 1 - exponent;
        break;
      }
      default:
        return Any();
    }
    if (target < 1 || target > 0x7FFE) return Any();
    return Extended::FromParts(negative, static_cast<uint16_t>(target), significand);
  }

  // Values an integer conversion finds hard: halves, the int64 edges, and everything in between.
  Extended Integerish() {
    const bool negative = Below(2) != 0;
    switch (Below(4)) {
      case 0: {
        const uint16_t exponent = static_cast<uint16_t>(16383 + 60 + Below(6));
        return Extended::FromParts(negative, exponent, Significand());
      }
      case 1: {  // n + 0.5 and neighbours
        const int shift = static_cast<int>(Below(62));
        const uint64_t integer = Bits() >> (shift + 1);
        const uint64_t half = uint64_t{1} << shift;
        Extended value = Extended::FromUInt64(integer) +
                         Extended::FromUInt64(half) / Extended::FromUInt64(half << 1);
        return negative ? -value : value;
      }
      default:
        return Extended::FromParts(negative, static_cast<uint16_t>(16383 - 3 + Below(70)),
                                   Significand());
    }
  }

 private:
  std::mt19937_64 random_;
};

std::string Hex(Extended x) {
  char text[40];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.SignExponent(),
                static_cast<unsigned long long>(x.Significand()));
  return text;
}

std::string Describe(const Outcome& o) {
  char text[64];
  std::snprintf(text, sizeof text, "%04X:%016llX flags %04X", o.high,
                static_cast<unsigned long long>(o.low), o.status);
  return text;
}

int PairsPerRun() {
  constexpr int kPairs = 1'000'000;
  return std::getenv("ORLIT_SANITIZED") != nullptr ? kPairs / 10 : kPairs;
}

class ExtendedHardwareTest : public ::testing::TestWithParam<const Operation*> {};

TEST_P(ExtendedHardwareTest, MatchesTheX87BitForBitWithFlags) {
  const Operation& op = *GetParam();
  const bool integer_operand =
      std::string(op.name) == "to_int64" || std::string(op.name) == "round_to_integral";
  const bool double_operand = std::string(op.name) == "from_double";
  static constexpr FpuRounding kModes[] = {FpuRounding::kNearest, FpuRounding::kDown,
                                           FpuRounding::kUp, FpuRounding::kTowardZero};
  int failures = 0;
  for (FpuRounding mode : kModes) {
    OperandSource source(kSeed ^ (static_cast<uint64_t>(mode) << 32) ^
                         std::hash<std::string>{}(op.name));
    const uint16_t control =
        static_cast<uint16_t>(kFpuAllMasked | (static_cast<unsigned>(mode) << 10));
    for (int i = 0; i < PairsPerRun() && failures < 10; ++i) {
      SetFpuControlWord(kFpuAllMasked);
      Extended a = integer_operand && source.Below(2) ? source.Integerish() : source.Any();
      if (double_operand)
        a = Extended::FromParts(false, 0,
                                source.Below(4)
                                    ? source.Bits()
                                    : (source.Bits() & 0x800FFFFFFFFFFFFFULL) |
                                          (source.Below(2) ? 0x7FF0000000000000ULL : 0));
      const Extended b = source.Partner(a);
      const Outcome expected = op.hardware(a, b, HardwareControl(mode));
      ResetFpu();
      SetFpuControlWord(control);
      const Outcome actual = op.software(a, b);
      ResetFpu();
      if (!(expected == actual)) {
        ++failures;
        ADD_FAILURE() << op.name << " rounding " << static_cast<int>(mode) << " seed " << std::hex
                      << kSeed << " pair " << std::dec << i << ": a " << Hex(a) << " b " << Hex(b)
                      << "\n  x87      " << Describe(expected) << "\n  software "
                      << Describe(actual);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, ExtendedHardwareTest,
                         ::testing::Values(&kOperations[0], &kOperations[1], &kOperations[2],
                                           &kOperations[3], &kOperations[4], &kOperations[5],
                                           &kOperations[6], &kOperations[7], &kOperations[8]),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
}  // namespace orlit

#endif  // defined(__x86_64__)
