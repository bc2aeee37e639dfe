// Byte-level work of the two title readers, kept free of Win32 so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tokalux {

// The caption is read into a buffer of this many bytes.
inline constexpr std::size_t CaptionBufferSize = 2048;

// The song title is cut to this many characters.
inline constexpr std::size_t SongTitleMaxChars = 156;

// A playlist title is read as exactly this many bytes.
inline constexpr std::size_t TitleBufferSize = 256;

// The song title's bytes: everything before the first "- Winamp" in the caption (so it keeps the
// space in front of the dash), or nothing when the marker is missing.
std::string_view SongTitleBytes(std::string_view caption);

// The widened song title cut to its first SongTitleMaxChars characters.
std::wstring CutSongTitle(std::wstring title);

// A title read from the player's memory: the bytes up to the first zero, or all of them when
// there is none (a title of 256 bytes or more arrives cut, with no terminating zero).
std::string_view TitleFromBuffer(std::string_view buffer);

// The remote address of an entry's title from the player's answer. A 32-bit player's pointer is
// the answer's low 32 bits taken as unsigned; a 64-bit player's is the whole answer.
uint64_t TitleAddress(uint64_t answer, bool player_is_32_bit);

// How many bytes, at most TitleBufferSize, can be read from address before the end of the
// memory page that holds it. Used when a full read fails because the title sits near the end of
// the player's readable memory.
std::size_t BytesToPageEnd(uint64_t address, std::size_t page_size);

}  // namespace tokalux
