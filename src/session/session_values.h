// What the screen shows of a media session, from the values one poll read: the song title, the
// times, the play state, the track counter and the player's name. Pure functions, so any value a
// player gives (any number, any text) has a defined result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session/session_snapshot.h"
#include "session/source_choice.h"

namespace tokalux {

// 100 ns units per second.
inline constexpr int64_t TicksPerSecond = 10'000'000;

// "Artist - Title", or whichever of the two is not empty.
std::wstring SessionSongTitle(std::wstring_view artist, std::wstring_view title);

// Playing, paused, stopped; the other statuses (closed, opened, changing, any other number)
// count as stopped.
PlayState PlayStateFromStatus(int32_t status);

// The elapsed time in 100 ns units: the timeline's position and, while playing, the time since
// the player last updated it (now is a FILETIME); kept within start and end (no upper bound when
// the length is unknown). A missing or later-than-now update time adds nothing.
int64_t SessionElapsed(const SessionTimeline& timeline, PlayState state, int64_t now);

// The length, end - start, in 100 ns units; unknown (a stream) when the end is zero, missing or
// not after the start.
std::optional<int64_t> SessionLength(const SessionTimeline& timeline);

// Whole seconds of a time, within 0..INT32_MAX.
int32_t WholeSeconds(int64_t ticks);

// "Track n of m" when the session gives both (above zero), else empty.
std::wstring SessionTrackText(int32_t trackNumber, int32_t trackCount);

// A short, readable name of the player from its app user model ID: a program's file name without
// its folder and ".exe" ("C:\Apps\foobar2000.exe" -> "foobar2000"); for a packaged app
// ("Publisher.AppName_hash!EntryPoint") the last dotted part of its package name ("AppName"); any
// other ID as it is. An empty result gives "Media".
std::wstring PlayerNameFromAppId(std::wstring_view appId);

}  // namespace tokalux
