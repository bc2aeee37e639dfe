// The arithmetic behind the playlist buttons and the playlist lines. Each returns the entry to
// jump to, or nothing when there is nothing sensible to ask for (the click then does nothing and
// the program runs on).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tokalux {

// The five playlist buttons: PL Begin, PL -10, PL Middle, PL +10, PL End.
enum class PlaylistButton { Begin, Minus10, Middle, Plus10, End };

// The 0-based playlist index a playlist button jumps to, from the last poll's values. Every jump
// but PL Begin (always 0) stays in the list 0..listLength-1: ten back near the start goes to the
// first entry, ten on near the end to the last, also from a position outside the list; on an
// empty list (a length of 0 or less) only PL Begin jumps.
std::optional<int32_t> PlaylistButtonIndex(PlaylistButton button, int16_t listLength,
                                           int16_t listPosition);

// The 0-based playlist index a playlist line's caption ("<number> . <title>") jumps to: the
// number before the first "." less one. Nothing when the caption holds no "." or no number.
std::optional<int32_t> PlaylistLineIndex(std::wstring_view caption);

}  // namespace tokalux
