// The messages the player's main window understands: commands (WM_COMMAND with an identifier)
// and requests (WM_USER with an argument in wParam and the request number in lParam).
#pragma once

#include <cstdint>

namespace tokalux {

// The player's main window is found by this class name, with no window name.
inline constexpr const char* PlayerWindowClass = "Winamp v1.x";

// What the player appends to its caption after the song title, and after that in the paused and
// the stopped state.
inline constexpr const char* PlayerCaptionMarker = "- Winamp";
inline constexpr const char* PlayerPausedMarker = " [Paused]";
inline constexpr const char* PlayerStoppedMarker = " [Stopped]";
// A player that scrolls its caption joins the caption's end to its start with this.
inline constexpr const char* PlayerScrollJoint = " *** ";

inline constexpr uint32_t PlayerCommandMessage = 0x0111;  // WM_COMMAND
inline constexpr uint32_t PlayerRequestMessage = 0x0400;  // WM_USER

// Command identifiers (wParam of a command; lParam 0, result ignored).
inline constexpr int32_t CommandPrevious = 40044;
inline constexpr int32_t CommandPlay = 40045;  // paused: resumes; else plays the list position
inline constexpr int32_t CommandPause = 40046;
inline constexpr int32_t CommandStop = 40047;
inline constexpr int32_t CommandNext = 40048;
inline constexpr int32_t CommandVolumeUp = 40058;
inline constexpr int32_t CommandVolumeDown = 40059;
inline constexpr int32_t CommandBack5s = 40144;
inline constexpr int32_t CommandForward5s = 40148;

// Request numbers (lParam of a request; wParam carries the argument). The player answers 1 to a
// request number it does not know.
inline constexpr int32_t UnknownRequestAnswer = 1;
inline constexpr int32_t RequestPlayState = 104;  // 1 playing, 3 paused, 0 stopped
inline constexpr int32_t RequestPlayTime = 105;   // 0: elapsed ms; 1: length in s; -1: unknown
inline constexpr int32_t RequestSeek = 106;       // target time in ms
inline constexpr int32_t RequestSetListPosition = 121;  // 0-based playlist index
inline constexpr int32_t RequestSetVolume = 122;        // volume 0..255
inline constexpr int32_t RequestListLength = 124;       // number of entries
inline constexpr int32_t RequestListPosition = 125;     // 0-based current entry
inline constexpr int32_t RequestStreamInfo = 126;       // 0: sample rate; 1: bit rate; 2: channels
inline constexpr int32_t RequestEntryTitleAddress = 212;  // 0-based index -> address of its title

// Like RequestEntryTitleAddress, but the title at the answered address is zero-terminated UTF-16.
// Players from version 5.31 on know it; an older player answers 1, as to any request it does not
// know.
inline constexpr int32_t RequestEntryTitleAddressUtf16 = 213;

// The path of an entry's file: 0-based index -> address of the path, in the system's code page
// (211) or in UTF-16 (214, which players from version 5.5 on know; an older player answers 1 or
// 0).
inline constexpr int32_t RequestEntryPathAddress = 211;
inline constexpr int32_t RequestEntryPathAddressUtf16 = 214;

// RequestSetVolume with this argument sets nothing: the player answers its current volume 0..255.
inline constexpr int32_t RequestGetVolume = RequestSetVolume;
inline constexpr int32_t VolumeQueryArgument = -666;

}  // namespace tokalux
