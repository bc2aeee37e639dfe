// What each interactive control asks the source for: one to three actions. The form calls these
// from its controls' click, press, release and scroll callbacks; nothing on screen changes here,
// the next status poll shows the source's new state.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "remote/click_arithmetic.h"
#include "remote/shared_values.h"
#include "remote/source.h"

namespace tokalux {

class ControlHandlers {
 public:
  ControlHandlers(Source& source, SharedValues& shared) : source_(source), shared_(shared) {}

  // A transport or volume button, by the action it asks for (Play, Pause, Stop, Next, Previous,
  // Back5s, Forward5s, VolumeUp or VolumeDown). Play asks nothing while the last poll saw an
  // empty playlist (where a source has playlists: the classic player's Play opens a file dialog
  // on an empty one). Play, Pause and Stop move the remembered play state on as the player will.
  void OnButton(ActionKind action);

  // A playlist button: jumps as PlaylistButtonIndex says, and remembers the new position as the
  // one the next jump counts from.
  void OnPlaylistButton(PlaylistButton button);

  // A mouse button pressed on the seek slider, which stood at `seconds` just before: the poll
  // leaves the slider alone from now on.
  void OnSeekPress(int32_t seconds);
  // The seek slider moved to `seconds` (a drag, a click in the channel, a key). Only a move while
  // the button is held counts; on its own it seeks nothing.
  void OnSeekScroll(int32_t seconds);
  // The mouse button released with the slider at `seconds`: seeks there if the slider moved
  // during the press, even when it came back to where it started (the song played on meanwhile).
  // A press that never moved it (a click on the thumb, a right-click) seeks nothing: its value
  // is only the last poll's second, and seeking there would jump back. Either way the slider
  // goes back to the poll.
  void OnSeekRelease(int32_t seconds);
  // The press ended without a release (the mouse capture was taken away): no seek, but the
  // slider goes back to the poll so it never stays frozen.
  void OnSeekCancelled();

  // The volume slider moved to a position 0..10.
  void OnVolumeScroll(int32_t position);
  // A mouse button held down on the volume slider, and let go (or the press cancelled): the poll
  // leaves the slider to the user meanwhile.
  void OnVolumeHeld(bool held);

  // A playlist line clicked: jumps to the entry number its caption starts with and plays it; a
  // paused player is stopped first. A caption with no entry number does nothing, and so does any
  // line while the last poll saw an empty playlist. While the lines list the sources, the line's
  // source is shown instead.
  void OnPlaylistLineClick(std::wstring_view caption);

  // The track counter clicked: the lines list the sources instead of the playlist, or back (a
  // source with no other beside it takes no such action).
  void OnTrackCounterClick();

  // A keyboard media key, by its app command (WM_APPCOMMAND): next track (11), previous track
  // (12), stop (13), play (46) and pause (47) act as their buttons do, play/pause (14) as Pause
  // while the remembered play state is playing or unknown (the player's own toggle), as Play
  // while paused or stopped. Whether the command is one of these six (volume, mute and the rest
  // are the system's).
  bool OnMediaKey(int appCommand);

  // Called whenever the source took an action asked for, so a poll can follow soon.
  std::function<void()> onAsked;

 private:
  // Asks the source; an action it takes counts as a click (SharedValues::clicks).
  void Ask(ActionKind kind, int32_t argument = 0);
  // Jumps to the list position (0-based) and remembers it as the position the next jump counts
  // from.
  void JumpTo(int32_t index);
  // Whether the shown source has a playlist (takes jumps in it).
  bool HasPlaylist() const;

  Source& source_;
  SharedValues& shared_;
  int32_t seekPressSeconds_ = 0;  // where the seek slider stood when the press began
  bool seekMoved_ = false;        // it has stood elsewhere since
};

}  // namespace tokalux
