// What the rest of the program asks of the player. The Win32 implementation talks to the real
// player window; unit tests use a fake.
//
// Two kinds of message, one way each: requests, whose answer the poll uses, are sent and waited
// for (with a bound); commands and settings, whose answers nothing uses, are posted, so each
// reaches the player exactly once and in the order made, however long the player takes.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
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

  // Whether a player window is there (found again when the last one went). The system answers
  // this without the player.
  virtual bool IsThere() { return true; }

  // The title of the 1-based playlist entry n, read out of the player's memory; empty when it
  // cannot be read.
  virtual std::optional<std::wstring> ReadPlaylistTitle(int32_t n) = 0;

  // The path of the 1-based playlist entry n's file (or its stream's address), read out of the
  // player's memory like a title; empty when it cannot be read.
  virtual std::optional<std::wstring> ReadEntryPath(int32_t n) = 0;
};

// Where the player is reached: commands and settings (PlayerControl) queued and sent in the order
// made, and jobs that ask the player run one at a time, in the order queued, each with a link.
class PlayerQueue : public PlayerControl {
 public:
  // Queues a job. The future holds the job's result (or what it threw).
  template <typename Result>
  std::future<Result> Submit(std::function<Result(PlayerLink&)> job) {
    auto task = std::make_shared<std::packaged_task<Result(PlayerLink&)>>(std::move(job));
    std::future<Result> result = task->get_future();
    Enqueue([task](PlayerLink& link) { (*task)(link); });
    return result;
  }

 protected:
  virtual void Enqueue(std::function<void(PlayerLink&)> job) = 0;
};

}  // namespace tokalux
