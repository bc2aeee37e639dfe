// The once-a-second status poll: asks the player for its state and writes it on the screen. It
// runs in two halves: AskPlayer where the player is reached (the player thread), ShowStatus on the
// user-interface thread, which owns the screen and the shared values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "display/playlist_window.h"
#include "display/shared_values.h"
#include "display/status_screen.h"
#include "player/player_link.h"

namespace tokalux {

// Everything one poll learns from the player.
struct PlayerStatus {
  int32_t playPosition = 0;  // elapsed time, ms
  int32_t trackLength = 0;   // s
  std::wstring songTitle;
  std::array<int32_t, 3> stream{};  // sample rate, bit rate, channel count
  int32_t volume = 0;               // 0..255
  int16_t listLength = 0;
  int16_t listPosition = 0;  // 1-based
  int32_t playState = 0;     // the play-state answer
  PlaylistWindow window;
  std::vector<std::wstring> titles;  // of the entries window.first .. window.last
};

// Asks the player, in this order: elapsed time, length, the song title, the three stream
// details, the volume, the list length and position, the play state, then the title of every
// entry in the window. A list answer that does not fit in 16 bits keeps the value of the previous
// poll (passed in); the position's +1 still goes onto a kept position.
PlayerStatus AskPlayer(PlayerLink& player, int16_t listLength, int16_t listPosition);

// Writes a poll's answers on the screen (leaving a slider alone while the user holds it) and
// stores the list length and position and the play state for the controls. A length the player does
// not know (negative: a stream, nothing loaded) shows as "--:--" with the seek slider at 0 of 0; a
// negative elapsed time shows as "00:00". Returns the line showing the current entry, 0 when none
// does.
int ShowStatus(const PlayerStatus& status, StatusScreen& screen, SharedValues& shared);

// Both halves on one thread, for the tests and the benchmark.
class StatusPoll {
 public:
  StatusPoll(PlayerLink& player, StatusScreen& screen, SharedValues& shared)
      : player_(player), screen_(screen), shared_(shared) {}

  void Tick() {
    currentLine_ =
        ShowStatus(AskPlayer(player_, shared_.listLength, shared_.listPosition), screen_, shared_);
  }

  // The line that showed the current entry in the latest poll, 0 when none did.
  int currentLine() const { return currentLine_; }

 private:
  PlayerLink& player_;
  StatusScreen& screen_;
  SharedValues& shared_;
  int currentLine_ = 0;
};

}  // namespace tokalux
