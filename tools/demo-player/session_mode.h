// The demo player's media session (--session APPID): it takes a slot in the session manager
// double's shared state, publishes its model there whenever what the session shows changes, and
// carries out the requests the double queues for it. The slot is given back when the player
// ends; a player that is killed leaves it to the double, which sees that its process is gone.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "base/win32_handles.h"
#include "demo_log.h"
#include "demo_state.h"
#include "session_view.h"
#include "shared_state.h"

namespace tokalux::demo {

class SessionMode {
 public:
  // Publishes the state as a session; nullptr when the shared state cannot be opened or every
  // slot is taken.
  static std::unique_ptr<SessionMode> Start(std::u16string_view appId, const DemoState& state);
  SessionMode() = default;
  ~SessionMode();
  SessionMode(const SessionMode&) = delete;
  SessionMode& operator=(const SessionMode&) = delete;

  // Signalled when requests are queued for this session.
  HANDLE requestsQueued() const { return requestsQueued_.get(); }

  // Publishes what changed since the last call.
  void Update(const DemoState& state);
  // A session control command: whether it was taken; nullopt when it is none (demo_protocol.h).
  std::optional<bool> Control(std::string_view command, const DemoState& state);
  // Logs and carries out the queued requests, in the order they came.
  void TakeRequests(DemoState& state, DemoLog& log);

 private:
  // Writes the view into the slot, raising the revisions of the parts that changed (every part
  // with everything), and writes the timeline when asked.
  void Write(const SessionView& view, bool timeline, bool everything);
  void Raise(session_double::EventKind kind);

  session_double::SharedState shared_;
  std::size_t slot_ = 0;
  uint32_t generation_ = 0;  // 0 until the slot is taken
  UniqueHandle requestsQueued_;
  SessionSettings settings_;
  session_double::SessionData data_{};
  SessionView published_;
  ULONGLONG publishedAt_ = 0;
};

}  // namespace tokalux::demo
