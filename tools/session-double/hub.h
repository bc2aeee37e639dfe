// The double's side of the shared state, one per process: which sessions live (a publisher that
// ended, even killed, takes its session with it), the session objects handed out, the requests
// sent to publishers, and a thread that watches for changes and fires the events.
#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <vector>

#include "com_object.h"
#include "shared_state.h"

namespace tokalux::session_double {

class Session;
class Manager;

class Hub {
 public:
  // The process's hub; nullptr when the shared state cannot be opened. It lives until the
  // process ends (its threads run until then, and the DLL stays loaded), so nothing the client
  // gave it is released while the process exits.
  static Hub* Get();

  // The steered delay of an operation of that kind (0 at once, > 0 later, CompleteNever).
  int32_t DelayMs(Operation operation) const;

  struct Listing {
    std::vector<ComPtr<Session>> sessions;  // in slot order
    ComPtr<Session> current;                // null: none
  };
  Listing List();

  // The data of the session in that slot and generation; nullopt when it has ended.
  std::optional<SessionData> Read(std::size_t slot, uint32_t generation);
  // Queues a request for that session's publisher and wakes it; false when the session has ended
  // or its queue is full.
  bool Post(std::size_t slot, uint32_t generation, Action action, int64_t argument);

  // The manager (one per process); starts the watching thread with the first call.
  ComPtr<Manager> manager();

 private:
  struct Live {
    uint32_t processId = 0;
    uint32_t generation = 0;
    UniqueHandle process;
  };
  struct Seen {
    std::vector<std::pair<std::size_t, uint32_t>> sessions;
    std::optional<std::pair<std::size_t, uint32_t>> current;
    uint32_t sessionsRevision = 0;
    uint32_t currentRevision = 0;
    bool operator==(const Seen&) const = default;
  };

  bool IsLive(const Registry& registry, std::size_t slot);
  ComPtr<Session> SessionFor(std::size_t slot, uint32_t generation, const Registry& registry);
  Seen Look();
  void Watch();

  SharedState state_;
  std::mutex mutex_;
  Live live_[MaxSessions];
  ComPtr<Session> sessions_[MaxSessions];
  ComPtr<Manager> manager_;
};

}  // namespace tokalux::session_double
