#include "remote/number_text.h"

namespace tokalux {

std::wstring TwoDigits(std::wstring_view text) {
  if (text.size() == 1) return L"0" + std::wstring(text);
  return std::wstring(text);
}

}  // namespace tokalux
