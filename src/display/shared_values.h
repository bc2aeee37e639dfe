// The values the status poll and the control actions share for the whole run.
#pragma once

#include <cstdint>

namespace tokalux {

struct SharedValues {
  // Number of playlist entries and the 1-based position of the current one, as of the last poll.
  int16_t listLength = 0;
  int16_t listPosition = 0;
  // True while a mouse button is held down on the seek slider.
  bool seekInProgress = false;
  // True while a mouse button is held down on the volume slider.
  bool volumeInProgress = false;
};

}  // namespace tokalux
