// The demo player as a media session (--session): what it publishes of its model, the control
// commands that steer the session, and how a request that reached the session changes the model.
// Plain C++; session_mode.cpp publishes it through the session manager double's shared state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "demo_state.h"
#include "session_protocol.h"

namespace tokalux::demo {

// What tests steer about the session beyond the model.
struct SessionSettings {
  uint32_t controls = session_double::DefaultControls;  // ActionBit per accepted action
  std::u16string picture;                               // the thumbnail's file; empty: none
};

// What the session shows.
struct SessionView {
  std::u16string title;
  std::u16string artist;
  int32_t trackNumber = 0;  // 1-based; 0 with the count: none
  int32_t trackCount = 0;
  std::u16string picture;
  session_double::Status status = session_double::Status::Stopped;
  uint32_t controls = 0;
  int64_t positionMs = 0;
  int64_t lengthMs = 0;  // 0: none (a stream, an empty list)

  bool SameMedia(const SessionView& other) const {
    return title == other.title && artist == other.artist && trackNumber == other.trackNumber &&
           trackCount == other.trackCount && picture == other.picture;
  }
  bool SamePlayback(const SessionView& other) const {
    return status == other.status && controls == other.controls;
  }
};

// The shown entry's title split at its first " - " into artist and title (no artist without
// one), its number in the list and the list's length (none for a stream), the play state, the
// elapsed time and the length, and the steered controls and picture.
SessionView ComposeSession(const DemoState& state, const SessionSettings& settings);

// The timeline is published again when the state or the length changed, when the position is
// no longer where the last published one has run to (a seek, a new track, a frozen clock; more
// than TimelineToleranceMs off), and every TimelinePeriodMs while playing, as players that
// update it only every few seconds do.
inline constexpr int64_t TimelineToleranceMs = 250;
inline constexpr int64_t TimelinePeriodMs = 5000;
bool TimelineStale(const SessionView& published, int64_t sincePublishedMs, const SessionView& now);

// A session control command (see demo_protocol.h).
struct SessionControl {
  enum class Kind { Controls, Picture, Delay, Event, Current };
  Kind kind = Kind::Current;
  uint32_t controls = 0;
  std::u16string picture;
  std::optional<session_double::Operation> operation;  // Delay: nullopt for all of them
  int32_t delayMs = 0;
  session_double::EventKind event = session_double::EventKind::Media;
};
// nullopt for a command that is not a well-formed session command.
std::optional<SessionControl> ParseSessionControl(std::string_view command);

// Carries out a request that reached the session, as the player's own commands would: play
// (resumes a paused track; nothing while playing), pause (only while playing), the toggle, stop,
// next, previous, and a change of position (100 ns units). False, changing nothing, for an action
// the session does not accept and for the actions the model has no meaning for.
bool ApplySessionRequest(DemoState& state, session_double::Action action, int64_t argument,
                         uint32_t controls);

// The log line of a request: "session <action>", with the argument for a change of position
// (100 ns units), of repeat mode, of shuffle (0 or 1) and of rate.
std::string SessionLogLine(session_double::Action action, int64_t argument);

}  // namespace tokalux::demo
