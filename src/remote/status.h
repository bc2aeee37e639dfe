// What a poll learns from a source, in meanings: times, title, stream details, volume, play state,
// the playlist and its lines. A source fills in what it knows; nullopt is what it did not answer
// (or does not have), and the screen keeps showing what it showed before.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "remote/action.h"
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

// The lines' list when they show the sources to choose from instead of a playlist: each source's
// name (what follows "N . "), and which one is shown.
struct SourceLines {
  std::vector<std::wstring> names;
  std::size_t shown = 0;
  friend bool operator==(const SourceLines&, const SourceLines&) = default;
};

struct Status {
  // False when the source is not there at all (no classic player window): the screen shows it
  // only when there is nothing else to show.
  bool present = true;
  std::optional<int32_t> elapsedMs;
  // The track's length in seconds; negative while the source does not know it (a stream, nothing
  // loaded).
  std::optional<int32_t> lengthS;
  std::optional<std::wstring> songTitle;
  // As texts, by StreamDetail: the sample rate in kHz, the bit rate in kbit/s, the channels.
  std::array<std::optional<std::wstring>, StreamDetailCount> stream{};
  std::optional<int32_t> volume;  // 0..255
  std::optional<PlayState> playState;
  // The track counter's text, for a source that says it itself; otherwise the screen counts the
  // playlist ("Track <position> of <length>").
  std::optional<std::wstring> trackText;
  // The actions the source takes now (ActionBit); the controls of the others are disabled.
  ActionSet accepted = AllActions;
  // The playlist as the poll went by it: always a length and a position (a source that got no
  // answer for them gives back the ones it was handed).
  ListPlace list;
  // The entries on the lines, and their titles in order (nullopt: not answered).
  PlaylistRange range;
  std::vector<std::optional<std::wstring>> titles;
  // Set, the lines list these sources instead of the playlist (range and titles).
  std::optional<SourceLines> sourceLines;
  // The current entry's file path (or a stream's address): empty for none; nullopt when the poll
  // did not learn it (not asked, or not answered). With pictureBytes, the name of those instead,
  // one that changes whenever they do.
  std::optional<std::wstring> entryPath;
  // The current picture, encoded, for a source that hands it over itself (a session's thumbnail)
  // rather than as a file.
  std::shared_ptr<const std::vector<uint8_t>> pictureBytes;
};

}  // namespace tokalux
