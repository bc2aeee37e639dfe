// The classic player as the remote control's source: each action becomes the command or setting
// message the player understands, each poll the requests AskPlayer makes, both through a
// PlayerQueue (in the screen saver, the player thread).
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "player/player_link.h"
#include "remote/source.h"
#include "remote/status.h"

namespace tokalux {

// What a poll goes by from the polls before it.
struct PollBasis {
  // The list length and 1-based position shown.
  ListPlace list;
  // The entry (0: none, the position was outside the list) and song title whose file path was
  // last answered; the path is asked again only when either has changed since, so the poll's
  // cost stays where it is.
  std::optional<int16_t> pathEntry;
  std::wstring pathSongTitle;
};

// Asks the player, in this order: elapsed time, length, the song title, the three stream
// details, the volume, the list length and position, the play state, the current entry's file
// path when the basis says so, then the title of every entry in the range. A list request with
// no answer keeps the basis's value (the one shown); an answer that does not fit in 16 bits
// keeps it too, and the position's +1 (the player counts from 0) still goes onto a position kept
// that way. A path answered moves the basis's path on to this poll's entry and song title.
Status AskPlayer(PlayerLink& player, PollBasis& basis);

// The play state for an answer to the play-state request: 1 playing, 3 paused, 0 stopped.
PlayState PlayStateFromAnswer(int32_t answer);

// The seek target in ms for a second; nothing when it does not fit in 32 bits.
std::optional<int32_t> SeekMilliseconds(int32_t seconds);

// Sends the action's command, or its setting with the argument in the player's unit. False, with
// nothing sent, for a seek whose target does not fit in 32 bits of ms.
bool SendAction(PlayerControl& player, const Action& action);

class PlayerSource final : public Source {
 public:
  explicit PlayerSource(PlayerQueue& queue) : queue_(queue) {}

  bool Do(const Action& action) override;
  std::future<Status> Poll(ListPlace shown) override;

 private:
  PlayerQueue& queue_;
  // Read and moved on only by the polls' jobs, which run one at a time; shared with them, so a job
  // still queued when the source goes keeps it.
  std::shared_ptr<PollBasis> basis_ = std::make_shared<PollBasis>();
};

// A queue that sends and runs everything at once on the calling thread, straight on a link (the
// tests' fake player, or a link used from one thread).
class LinkAtOnce final : public PlayerQueue {
 public:
  explicit LinkAtOnce(PlayerLink& link) : link_(link) {}

  void SendCommand(int32_t identifier) override { link_.SendCommand(identifier); }
  void SendSetting(int32_t number, int32_t argument) override {
    link_.SendSetting(number, argument);
  }

 private:
  void Enqueue(std::function<void(PlayerLink&)> job) override { job(link_); }

  PlayerLink& link_;
};

}  // namespace tokalux
