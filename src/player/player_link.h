// What the rest of the program asks of the player. The Win32 implementation talks to the real
// player window; unit tests use a fake.
#pragma once

#include <cstdint>
#include <string>

namespace tokalux {

// What the controls ask of the player: messages sent for their effect, whose answers nothing
// reads. They reach the player even when the link is not waiting on it (after a player that did
// not answer), so a click is never lost.
class PlayerControl {
 public:
  virtual ~PlayerControl() = default;

  // A command (see player_messages.h).
  virtual void SendCommand(int32_t identifier) = 0;

  // A request that changes something in the player (a seek, a jump in the playlist, a volume).
  virtual void SendSetting(int32_t number, int32_t argument) = 0;
};

// Everything the program asks of the player: the controls' messages and what the status poll
// reads.
class PlayerLink : public PlayerControl {
 public:
  // A request with its argument; the player's 32-bit answer, or 0 when the player did not answer.
  virtual int32_t SendRequest(int32_t number, int32_t argument) = 0;

  // The current song's title, taken from the player window's caption; empty when there is none.
  virtual std::wstring ReadSongTitle() = 0;

  // The title of the 1-based playlist entry n, read out of the player's memory; empty when it
  // cannot be read.
  virtual std::wstring ReadPlaylistTitle(int32_t n) = 0;
};

}  // namespace tokalux
