// What each interactive control does, as one or two messages to the player. The form's control
// wrappers call these from their click, press, release and scroll callbacks; nothing on screen
// changes here, the next status poll shows the player's new state.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/shared_values.h"
#include "player/player_link.h"

namespace tokalux {

class ControlHandlers {
 public:
  ControlHandlers(PlayerControl& player, SharedValues& shared) : player_(player), shared_(shared) {}

  // A transport, volume or playlist button: sends its command or sets the playlist position.
  // False for any other control ID (the Exit button is the form's own affair).
  bool OnButtonClick(int control_id);

  // A mouse button pressed on the seek slider: the poll leaves the slider alone from now on.
  void OnSeekPress();
  // The mouse button released: seeks to the slider's value (whole seconds) and hands the slider
  // back to the poll.
  void OnSeekRelease(int32_t seconds);
  // The press ended without a release (the mouse capture was taken away): no seek, but the
  // slider goes back to the poll so it never stays frozen.
  void OnSeekCancelled();

  // The volume slider moved to a position 0..10.
  void OnVolumeScroll(int32_t position);

  // A playlist line clicked: jumps to the entry number its caption starts with and plays it.
  // A caption with no entry number does nothing.
  void OnPlaylistLineClick(std::wstring_view caption);

 private:
  PlayerControl& player_;
  SharedValues& shared_;
};

}  // namespace tokalux
