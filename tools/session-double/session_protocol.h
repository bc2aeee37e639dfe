// What the session manager double and the players that publish through it (the demo player)
// agree on, as plain C++: a session's actions, the operations whose completion tests steer, the
// events tests can fire, and the room a session's texts have.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tokalux::session_double {

// A session's actions, in the order of its controls' enabled flags: bit i of a session's
// enabled controls is action i. Each request a session takes is one of them.
enum class Action : uint32_t {
  Play,
  Pause,
  Stop,
  Record,
  FastForward,
  Rewind,
  Next,
  Previous,
  ChannelUp,
  ChannelDown,
  TogglePlayPause,
  Shuffle,
  Repeat,
  PlaybackRate,
  PlaybackPosition,
};
inline constexpr std::size_t ActionCount = 15;
// The actions' names in control commands and log lines, in the order above.
inline constexpr std::array<std::string_view, ActionCount> ActionNames = {
    "play",      "pause",       "stop",   "record",  "fastforward", "rewind", "next",    "previous",
    "channelup", "channeldown", "toggle", "shuffle", "repeat",      "rate",   "position"};

inline constexpr uint32_t ActionBit(Action action) {
  return uint32_t{1} << static_cast<uint32_t>(action);
}

// The actions a newly published session accepts: play, pause, stop, next, previous, the toggle
// and a change of position, as a typical music player's session.
inline constexpr uint32_t DefaultControls =
    ActionBit(Action::Play) | ActionBit(Action::Pause) | ActionBit(Action::Stop) |
    ActionBit(Action::Next) | ActionBit(Action::Previous) | ActionBit(Action::TogglePlayPause) |
    ActionBit(Action::PlaybackPosition);

// The asynchronous operations whose completion tests steer: the manager's RequestAsync, a
// session's media properties, its requests (Try...Async), and the thumbnail's OpenReadAsync.
enum class Operation : uint32_t { Manager, Properties, Requests, Thumbnail };
inline constexpr std::size_t OperationCount = 4;
inline constexpr std::array<std::string_view, OperationCount> OperationNames = {
    "manager", "properties", "requests", "thumbnail"};
// An operation's delay in ms: 0 completes it at once, before the call that makes it returns; a
// positive one later, on a thread of the double's; CompleteNever leaves it started for good.
inline constexpr int32_t CompleteNever = -1;
inline constexpr int32_t MaxCompletionDelayMs = 600'000;

// The change events a test can fire without changing anything: a session's three, and the
// manager's two.
enum class EventKind : uint32_t { Media, Playback, Timeline, Sessions, Current };
inline constexpr std::size_t EventKindCount = 5;
inline constexpr std::array<std::string_view, EventKindCount> EventKindNames = {
    "media", "playback", "timeline", "sessions", "current"};

// A session's playback status, as the session interface gives it.
enum class Status : int32_t {
  Closed = 0,
  Opened = 1,
  Changing = 2,
  Stopped = 3,
  Playing = 4,
  Paused = 5
};

// How many sessions there can be at once, and the room for each text, in UTF-16 units with the
// terminating zero (longer texts are cut).
inline constexpr std::size_t MaxSessions = 8;
inline constexpr std::size_t AppIdUnits = 128;
inline constexpr std::size_t TitleUnits = 512;
inline constexpr std::size_t NameUnits = 256;
inline constexpr std::size_t PathUnits = 1024;

// The index of a name in one of the tables above.
template <std::size_t N>
std::optional<std::size_t> IndexOfName(const std::array<std::string_view, N>& names,
                                       std::string_view name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == name) return i;
  }
  return std::nullopt;
}

}  // namespace tokalux::session_double
