// Byte-level work of the two title readers, kept free of Win32 so it is tested natively.
//
// The caption is read in UTF-16 (the system widens an old player's ANSI caption). Entry titles
// come as UTF-16 through the UTF-16 title-address request, or from an old player as bytes in the
// system's ANSI code page through the title-address request; both follow the same rules, only
// the unit differs: a UTF-16 code unit or a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tokalux {

// The caption is read into a buffer of this many characters.
inline constexpr std::size_t CaptionBufferSize = 2048;

// The song title is cut to this many characters.
inline constexpr std::size_t SongTitleMaxChars = 156;

// A playlist title is read as exactly this many bytes (ANSI) ...
inline constexpr std::size_t TitleBufferSize = 256;
// ... or this many UTF-16 characters, twice as many bytes.
inline constexpr std::size_t Utf16TitleMaxChars = 256;
inline constexpr std::size_t Utf16TitleBufferSize = Utf16TitleMaxChars * 2;

// The song title: everything before the last "- Winamp" in the caption (so it keeps the space in
// front of the dash, and a title that itself holds the marker stays whole), or nothing when the
// marker is missing. Compared exactly, character by character. What follows the marker (the
// player's " [Paused]" or " [Stopped]") is no part of the title.
std::u16string_view SongTitleChars(std::u16string_view caption);

// A caption the player scrolls (its whole caption and " *** " turned left by some characters)
// turned back to the whole caption, so every poll reads the same title; any other caption as it
// is. A caption counts as scrolled when some turn of it ends in " *** " and what is left then ends
// like the player's caption: in "- Winamp", "- Winamp [Paused]" or "- Winamp [Stopped]" (a turn
// may end like that too, so that alone does not tell).
std::u16string UnscrollCaption(std::u16string_view caption);

// The song title cut to its first SongTitleMaxChars characters. A cut that would leave
// the first half of a surrogate pair at the end drops that half as well.
std::u16string CutSongTitle(std::u16string title);

// The song title from a UTF-16 caption: UnscrollCaption, SongTitleChars, then CutSongTitle.
std::u16string SongTitleFromCaption(std::u16string_view caption);

// A title read from the player's memory: the units up to the first zero, or all of them when
// there is none (a title of a full buffer or more arrives cut, with no terminating zero).
std::string_view TitleFromBuffer(std::string_view buffer);
std::u16string_view TitleFromBuffer(std::u16string_view buffer);

// The little-endian UTF-16 code units in bytes, as read from another process: byte 2k is the
// low half of unit k. An odd trailing byte (a read cut short at a page end) is dropped.
std::u16string DecodeUtf16Le(std::string_view bytes);

// An entry's file path is read the same way as its title, up to this many characters (UTF-16
// characters, or bytes from an older player).
inline constexpr std::size_t PathMaxChars = 32767;

// UTF-16 text from the bytes read at its address: decoded, cut at the first zero character, and
// at most maxChars characters. Text cut for length (no zero within it) drops a first half of a
// surrogate pair at its end.
std::u16string Utf16TextFromBytes(std::string_view bytes, std::size_t maxChars);

// A UTF-16 title: Utf16TextFromBytes with at most Utf16TitleMaxChars characters.
std::u16string Utf16TitleFromBytes(std::string_view bytes);

// Whether text read so far is complete: the bytes hold a zero unit (a zero byte, or for UTF-16
// a zero character at an even offset from the start).
bool HoldsZeroUnit(std::string_view bytes, std::size_t unitBytes);

// The remote address of an entry's title from the player's answer. A 32-bit player's pointer is
// the answer's low 32 bits taken as unsigned; a 64-bit player's is the whole answer. The same
// for both title-address requests.
uint64_t TitleAddress(uint64_t answer, bool playerIs32Bit);

// Whether the player's answer can be the address of a title at all: Windows keeps the first
// 64 KiB of every process unmapped, so 0, the 1 a player answers to a request it does not know,
// and every other small number are not addresses and are not read.
bool CanBeTitleAddress(uint64_t address);

// An old player answers the UTF-16 title request with no readable title for this many titles in
// a row, each readable through the ANSI request, before the link stops asking it: a few odd
// answers never switch a player that gives UTF-16 titles to the code page.
inline constexpr int Utf16MissesBeforeAnsiOnly = 16;

// How many bytes, at most bufferSize, can be read from address before the end of the memory page
// that holds it. Used when a full read fails because the title sits near the end of the player's
// readable memory.
std::size_t BytesToPageEnd(uint64_t address, std::size_t pageSize,
                           std::size_t bufferSize = TitleBufferSize);

}  // namespace tokalux
