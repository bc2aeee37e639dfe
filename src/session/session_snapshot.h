// What one poll of the media sessions learned, as plain values: no COM type, so the screen and
// the native tests use it as they are. A value the session did not answer this time is empty, and
// the screen keeps the last answered one.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tokalux {

// Which session, across polls: its player's app user model ID and, since one player (a browser)
// may publish several sessions under one ID, the how-manieth of that ID in the system's list it
// is (0 for the first).
struct SessionKey {
  std::wstring appId;
  uint32_t occurrence = 0;
  auto operator<=>(const SessionKey&) const = default;
};

// The timeline, in 100 ns units; lastUpdated is a FILETIME (100 ns since 1601-01-01 UTC).
struct SessionTimeline {
  int64_t start = 0;
  int64_t end = 0;
  int64_t position = 0;
  int64_t lastUpdated = 0;
};

// Which requests the session accepts now.
struct SessionControls {
  bool play = false;
  bool pause = false;
  bool stop = false;
  bool next = false;
  bool previous = false;
  bool playPauseToggle = false;
  bool playbackPosition = false;
};

struct SessionMedia {
  std::wstring title;
  std::wstring artist;
  std::wstring albumTitle;
  // 0 when the session gives none.
  int32_t trackNumber = 0;
  int32_t trackCount = 0;
};

struct SessionPlayback {
  // The playback status as the session gives it (see PlayStateFromStatus).
  int32_t status = 0;
  SessionControls controls;
};

// The thumbnail's bytes, an encoded picture as the player gave it (null when the session has
// none). The serial changes whenever other bytes arrive, so the screen decodes only new ones.
struct SessionThumbnail {
  uint32_t serial = 0;
  std::shared_ptr<const std::vector<uint8_t>> bytes;
};

struct SessionSnapshot {
  SessionKey key;
  // Whether this is the session the system calls current.
  bool isCurrent = false;
  std::optional<SessionMedia> media;
  std::optional<SessionPlayback> playback;
  std::optional<SessionTimeline> timeline;
  // The last thumbnail answered for this session; empty until one was.
  std::optional<SessionThumbnail> thumbnail;
};

struct SessionsSnapshot {
  // False when this system has no session manager (Windows 7, a bare Wine): no sessions ever.
  bool available = false;
  // False when the list itself got no answer: the screen keeps the sessions it knew.
  bool answered = false;
  std::vector<SessionSnapshot> sessions;
};

// What the remote control asks of a session.
enum class SessionCommand { Play, Pause, Stop, Next, Previous, TogglePlayPause, ChangePosition };

struct SessionAction {
  SessionKey target;
  SessionCommand command = SessionCommand::Play;
  // For ChangePosition: the new position on the timeline, in 100 ns units.
  int64_t position = 0;
};

}  // namespace tokalux
