// What a poll learns from a source, in meanings: times, title, stream details, volume, play state,
// the playlist and its lines. A source fills in what it knows; nullopt is what it did not answer
// (or does not have), and the screen keeps showing what it showed before.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "remote/playlist_lines.h"
#include "remote/status_screen.h"

namespace tokalux {

// Unknown: the source answered something that is none of the other three.
enum class PlayState { Unknown, Stopped, Playing, Paused };

// A playlist's length and the 1-based position of its current entry, both 16-bit (the remote
// control counts entries in 16 bits).
struct ListPlace {
  int16_t length = 0;
  int16_t position = 0;
  friend bool operator==(const ListPlace&, const ListPlace&) = default;
};

struct Status {
  std::optional<int32_t> elapsedMs;
  // The track's length in seconds; negative while the source does not know it (a stream, nothing
  // loaded).
  std::optional<int32_t> lengthS;
  std::wstring songTitle;
  // As numbers, by StreamDetail: the sample rate in kHz, the bit rate in kbit/s, the channels.
  std::array<std::optional<int32_t>, StreamDetailCount> stream{};
  std::optional<int32_t> volume;  // 0..255
  std::optional<PlayState> playState;
  // The playlist as the poll went by it: always a length and a position (a source that got no
  // answer for them gives back the ones it was handed).
  ListPlace list;
  // The entries on the lines, and their titles in order (nullopt: not answered).
  PlaylistRange range;
  std::vector<std::optional<std::wstring>> titles;
  // The current entry's file path (or a stream's address): empty for none; nullopt when the poll
  // did not learn it (not asked, or not answered).
  std::optional<std::wstring> entryPath;
};

}  // namespace tokalux
