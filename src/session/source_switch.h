// The remote control's one source in the screen saver: the classic player and the media sessions
// behind one Source. Each poll asks both at once (the classic player on its thread, the sessions
// on theirs), then shows the source chosen again from their answers; each action goes to the
// source shown. Nothing here waits on the user-interface thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "remote/source.h"
#include "session/session_client.h"
#include "session/sources.h"

namespace tokalux {

class SourceSwitch final : public Source {
 public:
  // How long a poll waits for the sessions' answers once the classic player's are in; a poll of
  // the sessions that is later than that is shown without them (they keep their last answers).
  static constexpr std::chrono::milliseconds SessionsBound = SessionClient::PollBound;

  // Starts the thread that brings each poll's halves together, on the calling thread's desktop.
  SourceSwitch(Source& classic, SessionClient& sessions);
  // Ends the thread once the poll it works on is done (each of its waits is bounded).
  ~SourceSwitch();
  SourceSwitch(const SourceSwitch&) = delete;
  SourceSwitch& operator=(const SourceSwitch&) = delete;

  bool Do(const Action& action) override;
  // The future's status comes from the switch's thread, once both halves are in (or the
  // sessions' bound ran out). The caller hands over the next poll only after this one came back.
  std::future<Status> Poll(ListPlace shown) override;

 private:
  // One poll's halves on their way, and the promise of their combined status.
  struct Job {
    std::future<Status> classic;
    std::shared_future<SessionsSnapshot> sessions;
    std::promise<Status> status;
  };
  void Run();

  Source& classic_;
  SessionClient& sessions_;
  std::shared_future<SessionsSnapshot> sessionsPoll_;  // the last one handed to the client
  std::mutex mutex_;  // guards what follows: the thread combines, actions come from the screen
  std::condition_variable wake_;
  std::optional<Job> job_;
  bool stopping_ = false;
  // False once the sessions' poll said this system has no session manager (Windows 7 and 8.1, a
  // bare Wine): from then on a poll is the classic player's alone, with nothing to combine.
  std::atomic<bool> sessionsAvailable_ = true;
  Sources sources_;
  std::thread thread_;
};

// The system time as a FILETIME, as the sessions' timelines give it.
int64_t FiletimeNow();

}  // namespace tokalux
