// The values the status poll and the control handlers share for the whole run.
#pragma once

#include <cstdint>

#include "remote/status.h"

namespace tokalux {

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
  // What the shown source takes (ActionBit), as of the last poll.
  ActionSet accepted = AllActions;
  // True while the playlist lines list the sources to choose from instead of a playlist.
  bool sourceLines = false;
  // Counts the clicks that asked the source for something. A poll handed over before the latest
  // one asked the source before it had the click, so its answers must not undo what the click set
  // here and on the sliders.
  uint32_t clicks = 0;
};

}  // namespace tokalux
