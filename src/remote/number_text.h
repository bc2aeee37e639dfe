// The padding of the time display's figures.
#pragma once

#include <string>
#include <string_view>

namespace tokalux {

// A text of exactly one character gets a "0" in front; any other text comes back unchanged.
std::wstring TwoDigits(std::wstring_view text);

}  // namespace tokalux
