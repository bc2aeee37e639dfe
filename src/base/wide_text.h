// Text as the wide (...W) functions of Windows take it. The pure code keeps text as UTF-16 in
// std::u16string; Windows' wide characters are the same UTF-16 units. Plain C++, so any folder of
// ours may use it.
#pragma once

#include <string>
#include <string_view>

namespace tokalux {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
#endif

// The text as a wide string, unit for unit.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace tokalux
