// The two text colours of the status display, as 0x00BBGGRR. The form's design gives its labels
// the same two.
#pragma once

#include <cstdint>

namespace tokalux {

inline constexpr uint32_t ColourGreen = 0x0000FF00;
inline constexpr uint32_t ColourRed = 0x000000FF;

}  // namespace tokalux
