// Which source the screen shows and controls: the classic player or one media session. Plain
// values only, so either kind of source can describe itself here.
#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <span>

#include "remote/status.h"
#include "session/session_snapshot.h"

namespace tokalux {

enum class SourceKind { Classic, Session };

struct SourceId {
  SourceKind kind = SourceKind::Classic;
  SessionKey session;  // for a session only
  auto operator<=>(const SourceId&) const = default;
};

struct SourceCandidate {
  SourceId id;
  // Playing ranks before paused, paused before anything else (stopped or unknown).
  std::optional<PlayState> state;
  // Whether the system calls this session its current one.
  bool isSystemCurrent = false;
};

// The index of the source to show: the one the user chose last, while it is there; otherwise
// the one that plays, a playing source before a paused one before a stopped one, and among
// equals the classic player, then the system's current session, then the others in the order
// given. None when there is no source.
std::optional<std::size_t> ChooseSource(std::span<const SourceCandidate> sources,
                                        const std::optional<SourceId>& chosen);

}  // namespace tokalux
