#include "remote/number_text.h"

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

}  // namespace
}  // namespace tokalux
