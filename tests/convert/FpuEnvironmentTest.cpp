#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <typeinfo>

#include "convert/Exceptions.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

class FpuEnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFpu(); }
  void TearDown() override { ResetFpu(); }
};

TEST_F(FpuEnvironmentTest, StartsWithTheProcessControlWordAndNoFlags) {
  EXPECT_EQ(GetFpuControlWord(), 0x1332);
  EXPECT_EQ(GetFpuRounding(), FpuRounding::kNearest);
  EXPECT_EQ(GetFpuStatusFlags(), 0);
}

TEST_F(FpuEnvironmentTest, MaskedExceptionsOnlySetStickyFlags) {
  RaiseFpuExceptions(kFpuPrecision | kFpuUnderflow);
  RaiseFpuExceptions(kFpuDenormal);
  EXPECT_EQ(GetFpuStatusFlags(), kFpuPrecision | kFpuUnderflow | kFpuDenormal);
  ClearFpuExceptions();
  EXPECT_EQ(GetFpuStatusFlags(), 0);
}

struct FaultCase {
  uint16_t control;
  uint16_t flags;
  const char* class_name;
  const char* message;
};

const FaultCase kFaults[] = {
    {DefaultFpuControl, kFpuInvalid, "EInvalidOp", "Invalid floating point operation"},
    {DefaultFpuControl, kFpuZeroDivide, "EZeroDivide", "Floating point division by zero"},
    {DefaultFpuControl, kFpuOverflow | kFpuPrecision, "EOverflow", "Floating point overflow"},
    {DefaultFpuControl, kFpuInvalid | kFpuZeroDivide, "EInvalidOp",
     "Invalid floating point operation"},
    {0x1300, kFpuUnderflow | kFpuPrecision, "EUnderflow", "Floating point underflow"},
    {0x1300, kFpuDenormal | kFpuOverflow, "EUnderflow", "Floating point underflow"},
    {0x1300, kFpuZeroDivide | kFpuDenormal, "EZeroDivide", "Floating point division by zero"},
    {0x1300, kFpuPrecision, "EInvalidOp", "Invalid floating point operation"},
};

TEST_F(FpuEnvironmentTest, UnmaskedExceptionFaultsWithItsClassAndResetsTheUnit) {
  for (const FaultCase& c : kFaults) {
    SCOPED_TRACE(c.message);
    SetFpuControlWord(c.control);
    if (c.control & kFpuPrecision) RaiseFpuExceptions(kFpuPrecision);  // an earlier sticky flag
    try {
      RaiseFpuExceptions(c.flags);
      ADD_FAILURE() << "no fault";
    } catch (const EMathError& e) {
      EXPECT_STREQ(e.ClassName(), c.class_name);
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(GetFpuControlWord(), DefaultFpuControl);
    EXPECT_EQ(GetFpuStatusFlags(), 0);
  }
}

TEST_F(FpuEnvironmentTest, ScopedControlWordRestoresTheWordAndClearsFlagsOnBothEnds) {
  SetFpuControlWord(0x1F32);
  RaiseFpuExceptions(kFpuPrecision);
  {
    ScopedFpuControl scope(kFpuAllMasked);
    EXPECT_EQ(GetFpuStatusFlags(), 0);
    EXPECT_EQ(GetFpuControlWord(), kFpuAllMasked);
    RaiseFpuExceptions(kFpuOverflow);  // masked here
    EXPECT_EQ(GetFpuStatusFlags(), kFpuOverflow);
  }
  EXPECT_EQ(GetFpuControlWord(), 0x1F32);
  EXPECT_EQ(GetFpuRounding(), FpuRounding::kTowardZero);
  EXPECT_EQ(GetFpuStatusFlags(), 0);
}

TEST_F(FpuEnvironmentTest, EachThreadHasItsOwnUnit) {
  SetFpuControlWord(kFpuAllMasked);
  RaiseFpuExceptions(kFpuOverflow);
  uint16_t other_control = 0;
  uint16_t other_flags = 0xFFFF;
  std::thread([&] {
    other_control = GetFpuControlWord();
    other_flags = GetFpuStatusFlags();
  }).join();
  EXPECT_EQ(other_control, DefaultFpuControl);
  EXPECT_EQ(other_flags, 0);
  EXPECT_EQ(GetFpuStatusFlags(), kFpuOverflow);
}

}  // namespace
}  // namespace orlit
