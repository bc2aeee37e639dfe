// The arithmetic behind the buttons, the sliders and the playlist lines. Each returns the
// argument to send, or nothing when there is nothing sensible to send (the click then does
// nothing and the program runs on).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tokalux {

// The 0-based playlist index a playlist button (ControlId::cmdPLStart, cmdPLm10, cmdPLMitte,
// cmdPLp10 or cmdPLEnd) sets, from the last poll's values. Every jump but PL Begin (always 0)
// stays in the list 0..listLength-1: ten back near the start goes to the first entry, ten on
// near the end to the last, also from a position outside the list; on an empty list (a length of
// 0 or less) only PL Begin sends anything. Nothing when the control is not a playlist button.
std::optional<int32_t> PlaylistButtonIndex(int controlId, int16_t listLength, int16_t listPosition);

// The seek target in ms for a seek slider value in whole seconds; nothing when it does not fit
// in 32 bits.
std::optional<int32_t> SeekMilliseconds(int32_t seconds);

// The 0-based playlist index a playlist line's caption ("<number> . <title>") jumps to: the
// number before the first "." less one. Nothing when the caption holds no "." or no number.
std::optional<int32_t> PlaylistLineIndex(std::wstring_view caption);

}  // namespace tokalux
