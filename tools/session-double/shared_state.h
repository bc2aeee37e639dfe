// The state that the session manager double (loaded into the program under test) shares with the
// players that publish sessions (demo players): a named file mapping, one per Wine server (per
// prefix), so every process of the prefix sees the same sessions.
//
// Layout: a registry (which slot holds a live session, which one is current, how operations
// complete), one slot of session data per session, and one queue of requests per slot. The
// registry and each slot are read without a lock and never torn: each carries a sequence that is
// odd while it is written; a reader copies and takes the copy only when the sequence was even and
// unchanged across it. A slot has one writer, its publisher; the registry and the queues are
// written under the named lock. The double tells a publisher of new requests with its slot's
// named event.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/win32_handles.h"
#include "session_protocol.h"

namespace tokalux::session_double {

inline constexpr const wchar_t* MappingName = L"Local\\tokalux-session-double";
inline constexpr const wchar_t* LockName = L"Local\\tokalux-session-double-lock";
inline constexpr uint32_t LayoutMagic = 0x544B5344;  // 'TKSD'
inline constexpr uint32_t LayoutVersion = 1;
inline constexpr std::size_t RequestCapacity = 64;

// The name of the event that slot's publisher waits on for requests.
std::wstring RequestEventName(std::size_t slot);

// What a session shows: written by its publisher only.
struct SessionData {
  wchar_t appId[AppIdUnits];
  wchar_t title[TitleUnits];
  wchar_t artist[NameUnits];
  wchar_t albumTitle[NameUnits];
  int32_t trackNumber;
  int32_t albumTrackCount;
  wchar_t thumbnail[PathUnits];  // a picture file's path; empty: no thumbnail
  int32_t playbackStatus;        // Status
  uint32_t enabledControls;      // ActionBit per accepted action
  // The timeline: TimeSpans in 100 ns units; lastUpdatedTime 100 ns units since 1601 (FILETIME).
  int64_t startTime;
  int64_t endTime;
  int64_t minSeekTime;
  int64_t maxSeekTime;
  int64_t position;
  int64_t lastUpdatedTime;
  // Raised with every change of that part (or to fire its event with no change): the double
  // fires MediaPropertiesChanged, PlaybackInfoChanged, TimelinePropertiesChanged.
  uint32_t mediaRevision;
  uint32_t playbackRevision;
  uint32_t timelineRevision;
};

struct Registry {
  // Per slot: the publisher's process ID (0: free) and the slot's generation, raised each time
  // a publisher takes it (a new session object).
  uint32_t publisher[MaxSessions];
  uint32_t generation[MaxSessions];
  int32_t currentSlot;  // -1: no current session
  uint32_t currentGeneration;
  // Raised when a session comes or goes, or the current one changes (or to fire the event).
  uint32_t sessionsRevision;
  uint32_t currentRevision;
  int32_t delayMs[OperationCount];  // per Operation: 0 at once, > 0 later, CompleteNever
};

template <typename T>
struct Sequenced {
  std::atomic<uint32_t> sequence;
  T value;
};

struct QueuedRequest {
  uint32_t action;  // Action
  uint32_t reserved;
  int64_t argument;  // position in 100 ns units, repeat mode, rate's bits, shuffle 0/1
};

// Written under the lock: the double adds at tail, the publisher takes from head.
struct RequestQueue {
  uint32_t head;
  uint32_t tail;
  uint32_t dropped;  // requests that found the queue full
  QueuedRequest entries[RequestCapacity];
};

struct SharedLayout {
  uint32_t magic;
  uint32_t version;
  Sequenced<Registry> registry;
  Sequenced<SessionData> slots[MaxSessions];
  RequestQueue queues[MaxSessions];
};

// A copy of what was written last; false when a writer stayed in the middle of a write (it
// died there) for the whole bounded wait.
template <typename T>
bool ReadSequenced(const Sequenced<T>& from, T* to) {
  for (int attempt = 0; attempt < 2000; ++attempt) {
    const uint32_t before = from.sequence.load(std::memory_order_acquire);
    if ((before & 1) == 0) {
      std::memcpy(static_cast<void*>(to), &from.value, sizeof(T));
      std::atomic_thread_fence(std::memory_order_acquire);
      if (from.sequence.load(std::memory_order_relaxed) == before) return true;
    }
    ::Sleep(attempt < 100 ? 0 : 1);
  }
  return false;
}

// Writes value; only one writer at a time (the slot's publisher, or the holder of the lock).
template <typename T>
void WriteSequenced(Sequenced<T>& to, const T& value) {
  const uint32_t sequence = to.sequence.load(std::memory_order_relaxed);
  to.sequence.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  std::memcpy(static_cast<void*>(&to.value), &value, sizeof(T));
  to.sequence.store(sequence + 2, std::memory_order_release);
}

// Copies text into a fixed field, cut to fit, zero-terminated.
template <std::size_t N>
void CopyText(wchar_t (&field)[N], std::u16string_view text) {
  const std::size_t count = std::min(text.size(), N - 1);
  for (std::size_t i = 0; i < count; ++i) field[i] = static_cast<wchar_t>(text[i]);
  field[count] = L'\0';
}

// The text in a fixed field: up to its first zero, and never past its end.
template <std::size_t N>
std::wstring_view TextOf(const wchar_t (&field)[N]) {
  return std::wstring_view(field, ::wcsnlen(field, N));
}

// Whether the process with that ID still runs.
bool ProcessRunning(uint32_t processId);

namespace detail {
inline void UnmapView(void* view) {
  ::UnmapViewOfFile(view);
}
}  // namespace detail
using UniqueView = UniqueAny<void*, detail::UnmapView>;

// The shared state of this Wine server (or Windows session), opened or made on first use.
class SharedState {
 public:
  // False when it cannot be mapped, or holds another layout.
  bool Open();
  SharedLayout& layout() const { return *static_cast<SharedLayout*>(view_.get()); }

  // Holds the lock while it lives, if it got it.
  class Lock {
   public:
    explicit Lock(HANDLE mutex, DWORD timeoutMs);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool held() const { return held_; }

   private:
    HANDLE mutex_;
    bool held_ = false;
  };
  // The lock, waited for at most timeoutMs (a holder that died leaves it to the next).
  Lock Acquire(DWORD timeoutMs = 2000) const { return Lock(lock_.get(), timeoutMs); }

  // The registry as last written; nullopt when it could not be read.
  std::optional<Registry> ReadRegistry() const;
  // Changes the registry; call with the lock held.
  template <typename Change>
  void ChangeRegistry(Change change) {
    Registry registry{};
    ReadSequenced(layout().registry, &registry);
    change(registry);
    WriteSequenced(layout().registry, registry);
  }

 private:
  UniqueHandle mapping_;
  UniqueHandle lock_;
  UniqueView view_;
};

}  // namespace tokalux::session_double
