// The remote control's one source in the screen saver: the classic player and the media sessions
// behind one Source. Each poll asks both at once (the classic player on its thread, the sessions
// on theirs), then shows the source chosen again from their answers; each action goes to the
// source shown. Nothing here waits on the user-interface thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <future>
#include <mutex>

#include "remote/source.h"
#include "session/session_client.h"
#include "session/sources.h"

namespace tokalux {

class SourceSwitch final : public Source {
 public:
  // How long a poll waits for the sessions' answers once the classic player's are in; a poll of
  // the sessions that is later than that is shown without them (they keep their last answers).
  static constexpr std::chrono::milliseconds SessionsBound = SessionClient::PollBound;

  SourceSwitch(Source& classic, SessionClient& sessions);

  bool Do(const Action& action) override;
  // The future's status comes from a thread of its own, once both halves are in (or the
  // sessions' bound ran out). The caller hands over the next poll only after this one came back.
  std::future<Status> Poll(ListPlace shown) override;

 private:
  Source& classic_;
  SessionClient& sessions_;
  HDESK desktop_;  // the one the polls' threads work on: the maker's, the screen's
  std::shared_future<SessionsSnapshot> sessionsPoll_;  // the last one handed to the client
  std::mutex mutex_;  // guards sources_: polls combine on their own thread, actions come from UI
  Sources sources_;
};

// The system time as a FILETIME, as the sessions' timelines give it.
int64_t FiletimeNow();

}  // namespace tokalux
