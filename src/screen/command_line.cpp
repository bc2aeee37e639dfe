#include "screen/command_line.h"

#include <cwctype>

namespace tokalux {

StartMode ParseStartMode(std::wstring_view arguments) {
  const std::size_t start = arguments.find_first_not_of(L" \t");
  if (start == std::wstring_view::npos || arguments.size() - start < 2) return StartMode::Run;
  const wchar_t lead = arguments[start];
  const wchar_t letter = static_cast<wchar_t>(std::towupper(arguments[start + 1]));
  if (lead != L'/' && lead != L'-') return StartMode::Run;
  if (letter == L'C') return StartMode::Configure;
  if (letter == L'P') return StartMode::Preview;
  return StartMode::Run;
}

}  // namespace tokalux
