// What each interactive control does, as one to three messages to the player. The form's control
// wrappers call these from their click, press, release and scroll callbacks; nothing on screen
// changes here, the next status poll shows the player's new state.
#pragma once

#include <cstdint>
#include <string_view>

#include "remote/shared_values.h"
#include "player/player_link.h"

namespace tokalux {

class ControlHandlers {
 public:
  ControlHandlers(PlayerControl& player, SharedValues& shared) : player_(player), shared_(shared) {}

  // A transport, volume or playlist button: sends its command or sets the playlist position.
  // Play sends nothing while the last poll saw an empty playlist. The transport buttons move the
  // remembered play state on as the player will, and the playlist buttons the list position.
  // False for any other control ID (the Exit button is the form's own affair).
  bool OnButtonClick(int controlId);

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
  // line while the last poll saw an empty playlist.
  void OnPlaylistLineClick(std::wstring_view caption);

 private:
  // Send to the player, each counted as a click (SharedValues::clicks).
  void Command(int32_t identifier);
  void Setting(int32_t number, int32_t argument);
  // Sets the list position (0-based) and remembers it as the position the next jump counts from.
  void JumpTo(int32_t index);

  PlayerControl& player_;
  SharedValues& shared_;
  int32_t seekPressSeconds_ = 0;  // where the seek slider stood when the press began
  bool seekMoved_ = false;        // it has stood elsewhere since
};

}  // namespace tokalux
