#include "display/number_text.h"

#include <gtest/gtest.h>

#include "display/carry_on.h"

namespace tokalux {
namespace {

TEST(TwoDigits, PadsOnlyOneCharacterTexts) {
  EXPECT_EQ(TwoDigits(L"5"), L"05");
  EXPECT_EQ(TwoDigits(L"-"), L"0-");
  EXPECT_EQ(TwoDigits(L""), L"");
  EXPECT_EQ(TwoDigits(L"12"), L"12");
  EXPECT_EQ(TwoDigits(L"-5"), L"-5");
  EXPECT_EQ(TwoDigits(L"123"), L"123");
}

TEST(DecimalText, PlainDigitsWithMinusSign) {
  EXPECT_EQ(DecimalText(0), L"0");
  EXPECT_EQ(DecimalText(270), L"270");
  EXPECT_EQ(DecimalText(-1), L"-1");
  EXPECT_EQ(DecimalText(INT32_MIN), L"-2147483648");
  EXPECT_EQ(DecimalText(INT32_MAX), L"2147483647");
}

TEST(TruncatingDivision, RoundsTowardZeroAndKeepsTheSignInTheRemainder) {
  EXPECT_EQ(TruncDiv(61, 60), 1);
  EXPECT_EQ(TruncDiv(-1, 60), 0);
  EXPECT_EQ(TruncDiv(-61, 60), -1);
  EXPECT_EQ(TruncRem(61, 60), 1);
  EXPECT_EQ(TruncRem(-1, 60), -1);
  EXPECT_EQ(TruncRem(-61, 60), -1);
  EXPECT_EQ(TruncDiv(INT32_MIN, 60), -35791394);
  EXPECT_EQ(TruncRem(INT32_MIN, 60), -8);
  EXPECT_EQ(TruncRem(INT32_MAX, 60), 7);
}

TEST(CheckedInt16, FailsInsteadOfWrapping) {
  EXPECT_EQ(CheckedInt16(32767), 32767);
  EXPECT_EQ(CheckedInt16(-32768), -32768);
  EXPECT_EQ(CheckedInt16(0), 0);
  EXPECT_THROW(CheckedInt16(32768), StepFailed);
  EXPECT_THROW(CheckedInt16(-32769), StepFailed);
  EXPECT_THROW(CheckedInt16(INT32_MIN), StepFailed);
}

TEST(CarryOn, AbandonsTheFailingStepAndRunsTheNext) {
  int steps = 0;
  int16_t kept = 7;
  CarryOn([&] {
    kept = CheckedInt16(100000);
    ++steps;  // not reached: the step ends where it failed
  });
  CarryOn([&] { ++steps; });
  EXPECT_EQ(kept, 7);
  EXPECT_EQ(steps, 1);
}

}  // namespace
}  // namespace tokalux
