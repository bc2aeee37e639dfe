// What the status poll writes on the screen, each by its name. Writing a text that a place already
// shows changes nothing on screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "remote/action.h"

namespace tokalux {

// The three stream details, in the order the screen lists them.
enum class StreamDetail { SampleRate, BitRate, Channels };
inline constexpr std::size_t StreamDetailCount = 3;

// The screen shows this many playlist lines, numbered from 1 at the top.
inline constexpr int PlaylistLineCount = 15;

class StatusScreen {
 public:
  virtual ~StatusScreen() = default;

  virtual void SetElapsed(std::wstring_view text) = 0;
  virtual void SetTotal(std::wstring_view text) = 0;
  virtual void SetSongTitle(std::wstring_view text) = 0;
  virtual void SetTrackCounter(std::wstring_view text) = 0;
  virtual void SetStreamDetail(StreamDetail detail, std::wstring_view text) = 0;

  // Playlist line 1..PlaylistLineCount: its caption, and whether it shows the current entry (the
  // screen marks that one out).
  virtual void SetPlaylistLine(int line, std::wstring_view caption, bool current) = 0;

  // The seek slider's maximum and value in seconds; false when the slider refuses the setting,
  // which then leaves it as it was.
  virtual bool SetSeekMaximum(int32_t maximum) = 0;
  virtual bool SetSeekValue(int32_t value) = 0;

  // The volume slider's step, 0..10.
  virtual void SetVolumePosition(int32_t position) = 0;

  // The actions the shown source takes now: the controls that ask for the others are disabled.
  virtual void SetAccepted(ActionSet accepted) = 0;
};

}  // namespace tokalux
