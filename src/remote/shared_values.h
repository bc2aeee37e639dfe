// The values the status poll and the control actions share for the whole run.
#pragma once

#include <cstdint>

namespace tokalux {

// The player's play state, as its answer to the play-state request gives it.
enum class PlayState { Unknown, Stopped, Playing, Paused };

// The play state for an answer to the play-state request: 1 playing, 3 paused, 0 stopped.
constexpr PlayState PlayStateFromAnswer(int32_t answer) {
  switch (answer) {
    case 0:
      return PlayState::Stopped;
    case 1:
      return PlayState::Playing;
    case 3:
      return PlayState::Paused;
    default:
      return PlayState::Unknown;
  }
}

struct SharedValues {
  // Number of playlist entries and the 1-based position of the current one, as of the last poll.
  int16_t listLength = 0;
  int16_t listPosition = 0;
  // The play state as of the last poll, followed by the transport buttons clicked since.
  PlayState playState = PlayState::Unknown;
  // True while a mouse button is held down on the seek slider.
  bool seekInProgress = false;
  // True while a mouse button is held down on the volume slider.
  bool volumeInProgress = false;
  // Counts the clicks that sent something to the player. A poll handed over before the latest
  // one asked the player before it had the click, so its answers must not undo what the click
  // set here and on the sliders.
  uint32_t clicks = 0;
};

}  // namespace tokalux
