#include "session_mode.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "demo_protocol.h"

namespace tokalux::demo {
namespace {

using session_double::EventKind;
using session_double::Registry;
using session_double::SharedState;

constexpr int64_t TicksPerMs = 10'000;

int64_t NowAsFileTime() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

// Whether the registry's current session is one that lives.
bool HasLiveCurrent(const Registry& registry) {
  const int32_t slot = registry.currentSlot;
  return slot >= 0 && static_cast<std::size_t>(slot) < session_double::MaxSessions &&
         registry.generation[slot] == registry.currentGeneration &&
         session_double::ProcessRunning(registry.publisher[slot]);
}

}  // namespace

std::unique_ptr<SessionMode> SessionMode::Start(std::u16string_view appId, const DemoState& state) {
  auto mode = std::make_unique<SessionMode>();
  if (!mode->shared_.Open()) return nullptr;
  const SharedState::Lock lock = mode->shared_.Acquire();
  const auto registry = mode->shared_.ReadRegistry();
  if (!lock.held() || !registry) return nullptr;
  std::optional<std::size_t> free;
  bool alone = true;
  for (std::size_t slot = 0; slot < session_double::MaxSessions; ++slot) {
    const bool taken = session_double::ProcessRunning(registry->publisher[slot]);
    alone = alone && !taken;
    if (!taken && !free) free = slot;
  }
  if (!free) return nullptr;
  const std::size_t slot = *free;
  mode->slot_ = slot;
  mode->requestsQueued_.reset(
      ::CreateEventW(nullptr, FALSE, FALSE, session_double::RequestEventName(slot).c_str()));
  if (!mode->requestsQueued_) return nullptr;
  session_double::RequestQueue& queue = mode->shared_.layout().queues[slot];
  queue.head = queue.tail;
  queue.dropped = 0;

  // The slot's data first, so a reader never finds the session without it; its revisions go on
  // from the last publisher's.
  session_double::ReadSequenced(mode->shared_.layout().slots[slot], &mode->data_);
  session_double::CopyText(mode->data_.appId, appId);
  mode->Write(ComposeSession(state, mode->settings_), true, true);
  const auto processId = static_cast<uint32_t>(::GetCurrentProcessId());
  mode->shared_.ChangeRegistry([&](Registry& changed) {
    changed.publisher[slot] = processId;
    ++changed.generation[slot];
    ++changed.sessionsRevision;
    mode->generation_ = changed.generation[slot];
    // The first session of a test starts with operations that complete at once, whatever an
    // earlier test steered (a program that still holds the shared state keeps it).
    if (alone) std::fill(std::begin(changed.delayMs), std::end(changed.delayMs), 0);
    // The first session, or the first after the current one ended, becomes the current one.
    if (!HasLiveCurrent(changed)) {
      changed.currentSlot = static_cast<int32_t>(slot);
      changed.currentGeneration = changed.generation[slot];
      ++changed.currentRevision;
    }
  });
  return mode;
}

SessionMode::~SessionMode() {
  if (generation_ == 0) return;
  const SharedState::Lock lock = shared_.Acquire();
  if (!lock.held()) return;
  const auto processId = static_cast<uint32_t>(::GetCurrentProcessId());
  shared_.ChangeRegistry([&](Registry& registry) {
    if (registry.publisher[slot_] != processId || registry.generation[slot_] != generation_) return;
    registry.publisher[slot_] = 0;
    ++registry.sessionsRevision;
    if (registry.currentSlot == static_cast<int32_t>(slot_)) {
      registry.currentSlot = -1;
      ++registry.currentRevision;
    }
  });
}

void SessionMode::Update(const DemoState& state) {
  const SessionView view = ComposeSession(state, settings_);
  const auto since = static_cast<int64_t>(::GetTickCount64() - publishedAt_);
  const bool timeline = TimelineStale(published_, since, view);
  if (timeline || !view.SameMedia(published_) || !view.SamePlayback(published_)) {
    Write(view, timeline, false);
  }
}

void SessionMode::Write(const SessionView& view, bool timeline, bool everything) {
  if (everything || !view.SameMedia(published_)) {
    session_double::CopyText(data_.title, view.title);
    session_double::CopyText(data_.artist, view.artist);
    session_double::CopyText(data_.thumbnail, view.picture);
    data_.trackNumber = view.trackNumber;
    data_.albumTrackCount = view.trackCount;
    ++data_.mediaRevision;
  }
  if (everything || !view.SamePlayback(published_)) {
    data_.playbackStatus = static_cast<int32_t>(view.status);
    data_.enabledControls = view.controls;
    ++data_.playbackRevision;
  }
  SessionView next = view;
  if (timeline) {
    data_.startTime = 0;
    data_.endTime = view.lengthMs * TicksPerMs;
    data_.minSeekTime = 0;
    data_.maxSeekTime = data_.endTime;
    data_.position = view.positionMs * TicksPerMs;
    data_.lastUpdatedTime = NowAsFileTime();
    ++data_.timelineRevision;
    publishedAt_ = ::GetTickCount64();
  } else {
    // What the timeline said stays what later views are measured against.
    next.positionMs = published_.positionMs;
    next.lengthMs = published_.lengthMs;
  }
  session_double::WriteSequenced(shared_.layout().slots[slot_], data_);
  published_ = std::move(next);
}

void SessionMode::Raise(EventKind kind) {
  if (kind == EventKind::Media || kind == EventKind::Playback || kind == EventKind::Timeline) {
    ++(kind == EventKind::Media      ? data_.mediaRevision
       : kind == EventKind::Playback ? data_.playbackRevision
                                     : data_.timelineRevision);
    session_double::WriteSequenced(shared_.layout().slots[slot_], data_);
    return;
  }
  const SharedState::Lock lock = shared_.Acquire();
  if (!lock.held()) return;
  shared_.ChangeRegistry([&](Registry& registry) {
    ++(kind == EventKind::Sessions ? registry.sessionsRevision : registry.currentRevision);
  });
}

std::optional<bool> SessionMode::Control(std::string_view command, const DemoState& state) {
  if (!command.starts_with("session")) return std::nullopt;
  const auto control = ParseSessionControl(command);
  if (!control) return false;
  switch (control->kind) {
    case SessionControl::Kind::Controls:
      settings_.controls = control->controls;
      Update(state);
      return true;
    case SessionControl::Kind::Picture:
      settings_.picture = control->picture;
      Update(state);
      return true;
    case SessionControl::Kind::Event:
      Raise(control->event);
      return true;
    default:
      break;
  }
  const SharedState::Lock lock = shared_.Acquire();
  if (!lock.held()) return false;
  shared_.ChangeRegistry([&](Registry& registry) {
    if (control->kind == SessionControl::Kind::Current) {
      registry.currentSlot = static_cast<int32_t>(slot_);
      registry.currentGeneration = generation_;
      ++registry.currentRevision;
      return;
    }
    for (std::size_t i = 0; i < session_double::OperationCount; ++i) {
      if (!control->operation || static_cast<std::size_t>(*control->operation) == i) {
        registry.delayMs[i] = control->delayMs;
      }
    }
  });
  return true;
}

void SessionMode::TakeRequests(DemoState& state, DemoLog& log) {
  std::vector<session_double::QueuedRequest> taken;
  uint32_t dropped = 0;
  {
    const SharedState::Lock lock = shared_.Acquire();
    if (!lock.held()) return;
    session_double::RequestQueue& queue = shared_.layout().queues[slot_];
    // At most a queue's worth, whatever a writer left in the counters.
    queue.head =
        queue.tail - std::min<uint32_t>(queue.tail - queue.head, session_double::RequestCapacity);
    for (; queue.head != queue.tail; ++queue.head) {
      taken.push_back(queue.entries[queue.head % session_double::RequestCapacity]);
    }
    dropped = std::exchange(queue.dropped, 0);
  }
  for (const auto& request : taken) {
    if (request.action >= session_double::ActionCount) continue;
    const auto action = static_cast<session_double::Action>(request.action);
    log.Line(SessionLogLine(action, request.argument));
    ApplySessionRequest(state, action, request.argument, settings_.controls);
  }
  if (dropped > 0) log.Line(std::string(LogSession) + "dropped " + std::to_string(dropped));
}

}  // namespace tokalux::demo
