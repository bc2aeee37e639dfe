#include "session_view.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <vector>

#include "demo_protocol.h"
#include "demo_text.h"
#include "player/player_messages.h"

namespace tokalux::demo {
namespace {

using session_double::Action;
using session_double::ActionBit;
using session_double::Status;

// The words of a command, split at spaces.
std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace

SessionView ComposeSession(const DemoState& state, const SessionSettings& settings) {
  SessionView view;
  view.controls = settings.controls;
  view.picture = settings.picture;
  view.status = state.state() == PlayState::Playing  ? Status::Playing
                : state.state() == PlayState::Paused ? Status::Paused
                                                     : Status::Stopped;
  const Entry* entry = state.shownEntry();
  if (!entry) return view;
  const std::u16string_view title = entry->title;
  const std::size_t joint = title.find(u" - ");
  if (joint == std::u16string_view::npos) {
    view.title = title;
  } else {
    view.artist = title.substr(0, joint);
    view.title = title.substr(joint + 3);
  }
  const bool stream = entry->lengthS == StreamLengthS;
  if (!stream) {
    view.trackNumber = static_cast<int32_t>(entry - state.playlist().data()) + 1;
    view.trackCount = static_cast<int32_t>(state.playlist().size());
    view.lengthMs = int64_t{entry->lengthS} * 1000;
  }
  if (state.state() != PlayState::Stopped) view.positionMs = state.elapsedMs();
  return view;
}

bool TimelineStale(const SessionView& published, int64_t sincePublishedMs, const SessionView& now) {
  if (now.status != published.status || now.lengthMs != published.lengthMs) return true;
  const bool playing = now.status == Status::Playing;
  const int64_t expected = published.positionMs + (playing ? sincePublishedMs : 0);
  if (std::abs(now.positionMs - expected) > TimelineToleranceMs) return true;
  return playing && sincePublishedMs >= TimelinePeriodMs;
}

std::optional<SessionControl> ParseSessionControl(std::string_view command) {
  const std::vector<std::string_view> words = SplitWords(command);
  if (words.empty()) return std::nullopt;
  const std::string_view name = words[0];
  SessionControl control;
  if (name == ControlSessionControls) {
    control.kind = SessionControl::Kind::Controls;
    if (words.size() == 2 && words[1] == "none") return control;
    if (words.size() < 2) return std::nullopt;
    for (std::size_t i = 1; i < words.size(); ++i) {
      const auto action = session_double::IndexOfName(session_double::ActionNames, words[i]);
      if (!action) return std::nullopt;
      control.controls |= ActionBit(static_cast<Action>(*action));
    }
    return control;
  }
  if (name == ControlSessionPicture) {
    // The path is the rest of the command after one space; nothing after it: no picture.
    const std::size_t space = command.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const auto bytes = Unescape(command.substr(space + 1));
    if (!bytes || bytes->size() > MaxPathBytes) return std::nullopt;
    control.kind = SessionControl::Kind::Picture;
    control.picture = DecodeUtf8(*bytes);
    return control;
  }
  if (name == ControlSessionAsync) {
    if (words.size() != 3) return std::nullopt;
    control.kind = SessionControl::Kind::Delay;
    if (words[1] != "all") {
      const auto operation = session_double::IndexOfName(session_double::OperationNames, words[1]);
      if (!operation) return std::nullopt;
      control.operation = static_cast<session_double::Operation>(*operation);
    }
    if (words[2] == "now") {
      control.delayMs = 0;
    } else if (words[2] == "never") {
      control.delayMs = session_double::CompleteNever;
    } else {
      const auto delay = ParseInRange<int32_t>(words[2], 1, session_double::MaxCompletionDelayMs);
      if (!delay) return std::nullopt;
      control.delayMs = *delay;
    }
    return control;
  }
  if (name == ControlSessionEvent) {
    if (words.size() != 2) return std::nullopt;
    const auto event = session_double::IndexOfName(session_double::EventKindNames, words[1]);
    if (!event) return std::nullopt;
    control.kind = SessionControl::Kind::Event;
    control.event = static_cast<session_double::EventKind>(*event);
    return control;
  }
  if (name == ControlSessionCurrent && words.size() == 1) return control;
  return std::nullopt;
}

bool ApplySessionRequest(DemoState& state, Action action, int64_t argument, uint32_t controls) {
  if ((controls & ActionBit(action)) == 0) return false;
  const bool playing = state.state() == PlayState::Playing;
  switch (action) {
    case Action::Play:
      if (!playing) state.Command(CommandPlay);
      return true;
    case Action::Pause:
      if (playing) state.Command(CommandPause);
      return true;
    case Action::TogglePlayPause:
      state.Command(playing ? CommandPause : CommandPlay);
      return true;
    case Action::Stop:
      state.Command(CommandStop);
      return true;
    case Action::Next:
      state.Command(CommandNext);
      return true;
    case Action::Previous:
      state.Command(CommandPrevious);
      return true;
    case Action::PlaybackPosition: {
      constexpr int64_t TicksPerMs = 10'000;
      const int64_t ms =
          std::clamp<int64_t>(argument / TicksPerMs, 0, std::numeric_limits<int32_t>::max());
      return state.Request(RequestSeek, static_cast<int32_t>(ms)) == 0;
    }
    default:
      return false;
  }
}

std::string SessionLogLine(Action action, int64_t argument) {
  std::string line = std::string(LogSession) +
                     std::string(session_double::ActionNames[static_cast<std::size_t>(action)]);
  char number[32] = {};
  std::to_chars_result written{number, {}};
  switch (action) {
    case Action::PlaybackPosition:
    case Action::Repeat:
    case Action::Shuffle:
      written = std::to_chars(number, number + sizeof(number), argument);
      break;
    case Action::PlaybackRate:
      written = std::to_chars(number, number + sizeof(number), std::bit_cast<double>(argument));
      break;
    default:
      return line;
  }
  return line + " " + std::string(number, written.ptr);
}

}  // namespace tokalux::demo
