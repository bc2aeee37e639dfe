#include "display/number_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tokalux
