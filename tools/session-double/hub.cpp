#include "hub.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <thread>

#include "base/desktop_thread.h"
#include "manager.h"
#include "session.h"

namespace tokalux::session_double {
namespace {

// How often the watching thread looks for changes.
constexpr DWORD WatchIntervalMs = 50;
// How long a request waits for the lock before it counts as not delivered.
constexpr DWORD PostLockTimeoutMs = 1000;

}  // namespace

Hub* Hub::Get() {
  static Hub* const hub = []() -> Hub* {
    auto made = std::make_unique<Hub>();
    if (!made->state_.Open()) return nullptr;
    return made.release();  // for the process's lifetime, on purpose (see the header)
  }();
  return hub;
}

int32_t Hub::DelayMs(Operation operation) const {
  const auto registry = state_.ReadRegistry();
  if (!registry) return 0;
  const int32_t delay = registry->delayMs[static_cast<std::size_t>(operation)];
  return delay < 0 ? CompleteNever : std::min(delay, MaxCompletionDelayMs);
}

bool Hub::IsLive(const Registry& registry, std::size_t slot) {
  const uint32_t processId = registry.publisher[slot];
  if (processId == 0) return false;
  Live& live = live_[slot];
  if (live.processId != processId || live.generation != registry.generation[slot]) {
    live.processId = processId;
    live.generation = registry.generation[slot];
    live.process.reset(::OpenProcess(SYNCHRONIZE, FALSE, processId));
  }
  return live.process && ::WaitForSingleObject(live.process.get(), 0) == WAIT_TIMEOUT;
}

ComPtr<Session> Hub::SessionFor(std::size_t slot, uint32_t generation, const Registry& registry) {
  if (slot >= MaxSessions || registry.generation[slot] != generation || !IsLive(registry, slot)) {
    return {};
  }
  ComPtr<Session>& cached = sessions_[slot];
  if (!cached || cached->generation() != generation) {
    SessionData data{};
    if (!ReadSequenced(state_.layout().slots[slot], &data)) return {};
    cached = MakeComObject<Session>(*this, slot, generation, data);
  }
  return cached;
}

Hub::Listing Hub::List() {
  Listing listing;
  const auto registry = state_.ReadRegistry();
  if (!registry) return listing;
  const std::lock_guard lock(mutex_);
  for (std::size_t slot = 0; slot < MaxSessions; ++slot) {
    if (auto session = SessionFor(slot, registry->generation[slot], *registry)) {
      listing.sessions.push_back(std::move(session));
    }
  }
  if (registry->currentSlot >= 0) {
    listing.current = SessionFor(static_cast<std::size_t>(registry->currentSlot),
                                 registry->currentGeneration, *registry);
  }
  return listing;
}

std::optional<SessionData> Hub::Read(std::size_t slot, uint32_t generation) {
  const auto registry = state_.ReadRegistry();
  if (!registry || slot >= MaxSessions || registry->generation[slot] != generation) {
    return std::nullopt;
  }
  {
    const std::lock_guard lock(mutex_);
    if (!IsLive(*registry, slot)) return std::nullopt;
  }
  SessionData data{};
  if (!ReadSequenced(state_.layout().slots[slot], &data)) return std::nullopt;
  return data;
}

bool Hub::Post(std::size_t slot, uint32_t generation, Action action, int64_t argument) {
  if (slot >= MaxSessions) return false;
  {
    const SharedState::Lock lock = state_.Acquire(PostLockTimeoutMs);
    const auto registry = state_.ReadRegistry();
    if (!lock.held() || !registry || registry->publisher[slot] == 0 ||
        registry->generation[slot] != generation) {
      return false;
    }
    RequestQueue& queue = state_.layout().queues[slot];
    if (queue.tail - queue.head >= RequestCapacity) {
      ++queue.dropped;
      return false;
    }
    queue.entries[queue.tail % RequestCapacity] =
        QueuedRequest{static_cast<uint32_t>(action), 0, argument};
    ++queue.tail;
  }
  const UniqueHandle wake(::OpenEventW(EVENT_MODIFY_STATE, FALSE, RequestEventName(slot).c_str()));
  if (wake) ::SetEvent(wake.get());
  return true;
}

ComPtr<Manager> Hub::manager() {
  const std::lock_guard lock(mutex_);
  if (!manager_) {
    manager_ = MakeComObject<Manager>(*this);
    try {
      // On the creator's desktop, as Windows would start it, so the double adds no desktop to the
      // process it serves.
      ThreadOnDesktop(CurrentDesktop(), [this] { Watch(); }).detach();
    } catch (const std::system_error&) {
      // No events then; everything else still answers.
    }
  }
  return manager_;
}

Hub::Seen Hub::Look() {
  Seen seen;
  const auto registry = state_.ReadRegistry();
  if (!registry) return seen;
  const std::lock_guard lock(mutex_);
  for (std::size_t slot = 0; slot < MaxSessions; ++slot) {
    if (IsLive(*registry, slot)) seen.sessions.emplace_back(slot, registry->generation[slot]);
  }
  const int32_t current = registry->currentSlot;
  if (current >= 0 && static_cast<std::size_t>(current) < MaxSessions &&
      registry->generation[current] == registry->currentGeneration &&
      IsLive(*registry, static_cast<std::size_t>(current))) {
    seen.current.emplace(static_cast<std::size_t>(current), registry->currentGeneration);
  }
  seen.sessionsRevision = registry->sessionsRevision;
  seen.currentRevision = registry->currentRevision;
  return seen;
}

void Hub::Watch() {
  Seen last = Look();
  for (;;) {
    ::Sleep(WatchIntervalMs);
    const Seen now = Look();
    ComPtr<Manager> manager;
    std::vector<ComPtr<Session>> sessions;
    {
      const std::lock_guard lock(mutex_);
      manager = manager_;
      for (const auto& session : sessions_) {
        if (session) sessions.push_back(session);
      }
    }
    if (now.sessions != last.sessions || now.sessionsRevision != last.sessionsRevision) {
      manager->FireSessionsChanged();
    }
    if (now.current != last.current || now.currentRevision != last.currentRevision) {
      manager->FireCurrentSessionChanged();
    }
    last = now;
    for (const auto& session : sessions) session->FireChanges();
  }
}

}  // namespace tokalux::session_double
