// A player as the remote control sees it: something that takes actions and answers polls. The
// controls ask for actions with meanings (play, seek to a second, jump to an entry), the status
// poll hands over one poll at a time and shows the status it comes back with; how a source does
// either (which messages, which thread) is its own affair.
#pragma once

#include <future>

#include "remote/action.h"
#include "remote/status.h"

namespace tokalux {

class Source {
 public:
  virtual ~Source() = default;

  // Asks for an action without waiting for the source: it reaches the source once, after every
  // action asked before it. False when this source cannot take it (nothing then happens).
  virtual bool Do(const Action& action) = 0;

  // Hands over one poll; the future holds its status. shown is the playlist the screen goes by
  // now (the last poll's, moved on by the clicks since), for a source that gets no answer about
  // its list to keep. The caller hands over the next poll only once this one has come back.
  virtual std::future<Status> Poll(ListPlace shown) = 0;
};

}  // namespace tokalux
