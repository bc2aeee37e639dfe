// The once-a-second status poll: asks the player for its state and writes it on the screen.
#pragma once

#include "display/shared_values.h"
#include "display/status_screen.h"
#include "player/player_link.h"

namespace tokalux {

class StatusPoll {
 public:
  StatusPoll(PlayerLink& player, StatusScreen& screen, SharedValues& shared)
      : player_(player), screen_(screen), shared_(shared) {}

  // One poll. Every step runs in carry-on mode; nothing the player answers stops it.
  void Tick();

  // The line that showed the current entry in the latest poll, 0 when none did.
  int currentLine() const { return currentLine_; }

 private:
  PlayerLink& player_;
  StatusScreen& screen_;
  SharedValues& shared_;
  int currentLine_ = 0;
};

}  // namespace tokalux
