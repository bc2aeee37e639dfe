// The client of the system's media sessions (what Spotify, browsers and the Media Player app
// publish): it reads every session into a plain snapshot and passes the remote control's requests
// on. All its COM work runs on a thread of its own in the multithreaded apartment (waiting on an
// operation from a single-threaded one can deadlock), and every wait there is bounded: an
// operation that does not complete is no answer, never a hang of the screen.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "session/session_snapshot.h"

namespace tokalux {

// What the client and its thread share (defined with the thread).
struct SessionShared;

class SessionClient {
 public:
  // Bounds of the session thread's waits.
  // Getting the session manager, once at the start.
  static constexpr std::chrono::milliseconds ManagerBound{1000};
  // One operation: media properties, the thumbnail's stream, one request of the remote control.
  static constexpr std::chrono::milliseconds OperationBound{300};
  // One whole poll; what is left to ask when it runs out stays unanswered this time.
  static constexpr std::chrono::milliseconds PollBound{800};
  // The destructor's wait for the thread.
  static constexpr std::chrono::milliseconds StopBound{500};
  // The first snapshot is ready within this much after the start: the manager and one poll.
  static constexpr std::chrono::milliseconds FirstPollBound = ManagerBound + PollBound;

  // Starts the thread, which looks for the session manager once. `changed` is called, on any
  // thread, when the system says a session changed or came or went; it must return at once (post
  // a message, say). It is called once until the next Poll, and never after the destructor began.
  explicit SessionClient(std::function<void()> changed = {});
  // Stop()s.
  ~SessionClient();
  SessionClient(const SessionClient&) = delete;
  SessionClient& operator=(const SessionClient&) = delete;

  // Queues a poll of every session; the future holds its snapshot (within PollBound once the
  // thread gets to it). Without a session manager the snapshot says so, at once.
  std::future<SessionsSnapshot> Poll();

  // Queues a request for a session and returns without waiting. Requests reach their sessions
  // once each and in the order queued, each waiting at most OperationBound for its answer.
  void Act(const SessionAction& action);

  // Stops the thread: a wait on an operation ends at once (the operation is cancelled), requests
  // still queued are sent without waiting for their answers, and the thread lets go of the
  // sessions. Waits for that at most StopBound and answers whether the thread ended. One still
  // stuck in a synchronous call of a player's (which nothing can bound) is left to end on its
  // own: it owns all it uses, and the process may end under it. No callback follows, and later
  // calls of Poll and Act do nothing.
  bool Stop();

 private:
  std::shared_ptr<SessionShared> shared_;
  std::thread thread_;
};

}  // namespace tokalux
