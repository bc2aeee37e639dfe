// The number formatting and arithmetic of the status display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tokalux {

// Digits with a leading "-" when negative; no sign, spaces, grouping or leading zeros otherwise.
std::wstring DecimalText(int64_t value);

// A text of exactly one character gets a "0" in front; any other text comes back unchanged.
std::wstring TwoDigits(std::wstring_view text);

// Integer division truncating toward zero, and its remainder (which has the dividend's sign).
constexpr int32_t TruncDiv(int32_t value, int32_t divisor) {
  return value / divisor;
}
constexpr int32_t TruncRem(int32_t value, int32_t divisor) {
  return value - divisor * (value / divisor);
}

}  // namespace tokalux
