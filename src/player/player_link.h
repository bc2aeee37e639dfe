// What the rest of the program asks of the player. The Win32 implementation talks to the real
// player window; unit tests use a fake.
//
// Two kinds of message, one way each: requests, whose answer the poll uses, are sent and waited
// for (with a bound); commands and settings, whose answers nothing uses, are posted, so each
// reaches the player exactly once and in the order made, however long the player takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tokalux {

// What the controls ask of the player.
class PlayerControl {
 public:
  virtual ~PlayerControl() = default;

  // A command (see player_messages.h).
  virtual void SendCommand(int32_t identifier) = 0;

  // A request that changes something in the player (a seek, a jump in the playlist, a volume).
  virtual void SendSetting(int32_t number, int32_t argument) = 0;
};

// Everything the program asks of the player: the controls' messages and what the status poll
// reads. "No answer" (nullopt) is not an answer: the player is there but hung, slow, or not asked
// while the link waits out a hung player. A player whose window is gone, with no other found,
// answers 0 and empty texts.
class PlayerLink : public PlayerControl {
 public:
  // A request with its argument; the player's 32-bit answer.
  virtual std::optional<int32_t> SendRequest(int32_t number, int32_t argument) = 0;

  // The current song's title, taken from the player window's caption; empty when there is none.
  // The system keeps the caption, so reading it never waits on the player.
  virtual std::wstring ReadSongTitle() = 0;

  // The title of the 1-based playlist entry n, read out of the player's memory; empty when it
  // cannot be read.
  virtual std::optional<std::wstring> ReadPlaylistTitle(int32_t n) = 0;

  // The path of the 1-based playlist entry n's file (or its stream's address), read out of the
  // player's memory like a title; empty when it cannot be read.
  virtual std::optional<std::wstring> ReadEntryPath(int32_t n) = 0;
};

}  // namespace tokalux
