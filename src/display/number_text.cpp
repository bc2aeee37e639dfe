#include "display/number_text.h"

#include <limits>

#include "display/carry_on.h"

namespace tokalux {

std::wstring DecimalText(int64_t value) {
  return std::to_wstring(value);
}

std::wstring TwoDigits(std::wstring_view text) {
  if (text.size() == 1) return L"0" + std::wstring(text);
  return std::wstring(text);
}

int16_t CheckedInt16(int64_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    throw StepFailed();
  }
  return static_cast<int16_t>(value);
}

}  // namespace tokalux
