// The once-a-second status poll: asks the player for its state and writes it on the screen. It
// runs in two halves: AskPlayer where the player is reached (the player thread), Show on the
// user-interface thread, which owns the screen and the shared values. StatusPoll::Tick joins them
// through a hand-off; the screen saver, the tests and the benchmark all poll through it.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "remote/playlist_lines.h"
#include "remote/shared_values.h"
#include "remote/status_screen.h"
#include "player/player_link.h"

namespace tokalux {

// Everything one poll learns from the player; nullopt where a request got no answer.
struct PlayerStatus {
  std::optional<int32_t> playPosition;  // elapsed time, ms
  std::optional<int32_t> trackLength;   // s
  std::wstring songTitle;
  std::array<std::optional<int32_t>, 3> stream{};  // sample rate, bit rate, channel count
  std::optional<int32_t> volume;                   // 0..255
  std::optional<int32_t> playState;                // the play-state answer
  // The list length and 1-based position the poll went by (see AskPlayer).
  int16_t listLength = 0;
  int16_t listPosition = 0;
  PlaylistRange range;
  std::vector<std::optional<std::wstring>> titles;  // of the entries range.first .. last
  // The current entry's file path, when the poll asked for it (see PollBasis): empty for a
  // position outside the list; nullopt when not asked or not answered. pathEntry is the entry
  // it belongs to, 0 for none.
  std::optional<std::wstring> entryPath;
  int16_t pathEntry = 0;
};

// What a poll goes by from the polls before it.
struct PollBasis {
  // The list length and 1-based position shown.
  int16_t listLength = 0;
  int16_t listPosition = 0;
  // The entry (0: none, the position was outside the list) and song title whose file path was
  // last answered; the path is asked again only when either has changed since, so the poll's
  // cost stays where it is.
  std::optional<int16_t> pathEntry;
  std::wstring pathSongTitle;
};

// Asks the player, in this order: elapsed time, length, the song title, the three stream
// details, the volume, the list length and position, the play state, the current entry's file
// path when the basis says so, then the title of every entry in the range. A list request with
// no answer keeps the basis's value (the last poll's); an answer that does not fit in 16 bits
// keeps it too, and the position's +1 still goes onto a position kept that way.
PlayerStatus AskPlayer(PlayerLink& player, const PollBasis& basis);

class StatusPoll {
 public:
  using Job = std::function<PlayerStatus(PlayerLink&)>;
  // Hands a job to where the player is reached; the future holds its result.
  using Submit = std::function<std::future<PlayerStatus>(Job)>;

  StatusPoll(StatusScreen& screen, SharedValues& shared) : screen_(screen), shared_(shared) {}

  // The player half of the next poll, going by the list values shown now.
  Job NextJob() const;

  // One tick: hands the next poll to submit, unless the last one handed over has not come back
  // yet (no second poll queues behind a late one), waits up to bound for it, and shows it if it
  // came.
  void Tick(const Submit& submit, std::chrono::milliseconds bound);

  // Writes a poll's answers on the screen (leaving a slider alone while the user holds it) and
  // stores the list length and position and the play state for the controls. A poll handed over
  // before a click since leaves alone what clicks set: the play state, the list values and both
  // sliders; the next poll shows them as the player answers. What the player did
  // not answer keeps its last answered value: the times, both sliders, the stream details, the
  // volume, the list values and each playlist line's title. A length the player does not know
  // (negative: a stream, nothing loaded) shows as "--:--" with the seek slider at 0 of 0; a
  // negative elapsed time shows as "00:00".
  void Show(const PlayerStatus& status);

  // The line that showed the current entry in the latest poll shown, 0 when none did.
  int currentLine() const { return currentLine_; }

  // Called with the current entry's file path whenever a poll learns a path other than the one
  // before (empty: no entry, or none readable).
  std::function<void(const std::wstring& path)> onEntryPath;

 private:
  StatusScreen& screen_;
  SharedValues& shared_;
  std::future<PlayerStatus> pending_;
  uint32_t clicksAtHandover_ = 0;  // SharedValues::clicks when pending_ was handed over
  std::optional<int32_t> elapsedMs_;
  std::optional<int32_t> lengthS_;
  std::map<int32_t, std::wstring> titles_;  // the last range's titles, by entry number
  int currentLine_ = 0;
  std::optional<int16_t> pathEntry_;
  std::wstring pathSongTitle_;
  std::optional<std::wstring> entryPath_;  // the last path answered
};

// A hand-off that runs the job at once, on the calling thread, with this player (the tests' fake,
// or a link used from one thread).
StatusPoll::Submit AskAtOnce(PlayerLink& player);

}  // namespace tokalux
