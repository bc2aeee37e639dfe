// What the remote control asks a source for, in meanings.
#pragma once

#include <cstdint>

namespace tokalux {

enum class ActionKind {
  Play,
  Pause,  // the classic player's also resumes a paused song
  Stop,
  Next,
  Previous,
  Back5s,
  Forward5s,
  VolumeUp,
  VolumeDown,
  SeekTo,    // argument: the second to play from
  VolumeTo,  // argument: the volume 0..255
  JumpTo,    // argument: the 0-based playlist entry to make current
  // Which source the screen shows and controls, where there are several to choose from:
  ShowSource,   // argument: the 0-based line of the source in the list of sources
  ListSources,  // the lines list the sources instead of the shown one's playlist, or back
};
inline constexpr int ActionKindCount = static_cast<int>(ActionKind::ListSources) + 1;

// A set of action kinds, as bits by the kind's number.
using ActionSet = uint32_t;
constexpr ActionSet ActionBit(ActionKind kind) {
  return ActionSet{1} << static_cast<int>(kind);
}
inline constexpr ActionSet AllActions = (ActionSet{1} << ActionKindCount) - 1;

struct Action {
  ActionKind kind;
  int32_t argument = 0;  // see ActionKind; 0 for the others
  friend bool operator==(const Action&, const Action&) = default;
};

}  // namespace tokalux
