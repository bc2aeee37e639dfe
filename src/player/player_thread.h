// The one thread of ours that talks to the player. Windows passes window messages only between
// threads of one desktop, and it may start a screen saver on a desktop of its own
// ("Screen-saver") while the player stays on "Default". So this thread attaches itself to the
// desktop where the player is, before it has any window, and every call that touches the
// player's window runs on it. The user-interface thread hands it whole jobs (one poll, one
// click) and waits for each with a bound. It never touches a window of ours: the user-interface
// thread may be the one waiting for it.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "base/win32_handles.h"
#include "player/player_link.h"
#include "player/title_watch.h"

namespace tokalux {

class PlayerThread final : public PlayerQueue {
 public:
  // Starts the thread and waits for its look-up of the player: first on this process's desktop,
  // then on "Default" (where it stays when it found the player there, or when this process's
  // desktop has no player either).
  PlayerThread();
  // Runs what is queued, then ends the thread.
  ~PlayerThread();
  PlayerThread(const PlayerThread&) = delete;
  PlayerThread& operator=(const PlayerThread&) = delete;

  // Whether the start-up look-up found a player window.
  bool playerFound() const { return playerFound_; }

  // PlayerControl: queued without waiting, and posted by the thread in the order made as soon as
  // it can, ahead of the rest of a job under way: a job that had a click posted in its middle
  // gets no answer to its remaining requests, so a slow player takes the click before them.
  void SendCommand(int32_t identifier) override;
  void SendSetting(int32_t number, int32_t argument) override;

  // How often the thread reads the player's song title while it has nothing else to do.
  static constexpr std::chrono::milliseconds TitleCheckInterval{200};
  // From its next wake on, the thread reads the song title every TitleCheckInterval while no job
  // runs (the system keeps the caption, so a hung player holds nothing up), and sets the event it
  // answers with (auto-reset) whenever it reads another title than the one read last, by such a
  // check or by a poll (which shows it). The thread owns the event; nullptr when it could not be
  // made.
  HANDLE WatchTitle();

 private:
  // A command (number is its identifier) or a setting, as the user made it.
  struct Click {
    bool isCommand = true;
    int32_t number = 0;
    int32_t argument = 0;
  };
  class ClicksFirst;

  // Jobs run one at a time, in the order queued, each with the thread's link to the player.
  void Enqueue(std::function<void(PlayerLink&)> job) override;
  void Add(const Click& click);
  // Posts the clicks queued so far, in order; whether there was any.
  bool PostClicks(PlayerControl& player);
  void Run(HDESK ownDesktop, std::promise<bool> found);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void(PlayerLink&)>> jobs_;
  std::deque<Click> clicks_;
  bool stopping_ = false;
  bool playerFound_ = false;
  bool watchTitle_ = false;
  const UniqueHandle titleChanged_;
  TitleWatch titleWatch_;  // the player thread's alone
  std::thread thread_;
};

}  // namespace tokalux
