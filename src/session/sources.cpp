#include "session/sources.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "session/session_values.h"

namespace tokalux {
namespace {

constexpr ActionSet SourceChoiceActions =
    ActionBit(ActionKind::ShowSource) | ActionBit(ActionKind::ListSources);

PlayState SessionState(const SessionSnapshot& session) {
  return PlayStateFromStatus(session.playback ? session.playback->status : 0);
}

int32_t Milliseconds(int64_t ticks) {
  constexpr int64_t ticksPerMs = TicksPerSecond / 1000;
  return static_cast<int32_t>(
      std::clamp<int64_t>(ticks / ticksPerMs, 0, std::numeric_limits<int32_t>::max()));
}

// The session's elapsed time moved on by delta, kept within its timeline.
int64_t MovedPosition(const SessionTimeline& timeline, PlayState state, int64_t now,
                      int64_t delta) {
  const int64_t elapsed = SessionElapsed(timeline, state, now);
  int64_t moved = 0;
  if (__builtin_add_overflow(elapsed, delta, &moved)) moved = elapsed;
  if (SessionLength(timeline)) moved = std::min(moved, timeline.end);
  return std::max(moved, timeline.start);
}

}  // namespace

ActionSet SessionActions(const SessionControls& controls) {
  ActionSet accepted = SourceChoiceActions;
  const auto take = [&](bool enabled, ActionKind kind) {
    if (enabled) accepted |= ActionBit(kind);
  };
  take(controls.play, ActionKind::Play);
  take(controls.pause, ActionKind::Pause);
  take(controls.stop, ActionKind::Stop);
  take(controls.next, ActionKind::Next);
  take(controls.previous, ActionKind::Previous);
  for (const ActionKind seek : {ActionKind::SeekTo, ActionKind::Back5s, ActionKind::Forward5s}) {
    take(controls.playbackPosition, seek);
  }
  return accepted;
}

void Sources::Merge(const SessionsSnapshot& snapshot) {
  std::vector<SessionSnapshot> merged;
  for (const SessionSnapshot& fresh : snapshot.sessions) {
    SessionSnapshot session = fresh;
    if (const SessionSnapshot* known = Session(fresh.key)) {
      if (!session.media) session.media = known->media;
      if (!session.playback) session.playback = known->playback;
      if (!session.timeline) session.timeline = known->timeline;
      if (!session.thumbnail) session.thumbnail = known->thumbnail;
    }
    merged.push_back(std::move(session));
  }
  sessions_ = std::move(merged);
}

const SessionSnapshot* Sources::Session(const SessionKey& key) const {
  for (const SessionSnapshot& session : sessions_) {
    if (session.key == key) return &session;
  }
  return nullptr;
}

Status Sources::Combine(Status classic, const std::optional<SessionsSnapshot>& sessions,
                        int64_t now) {
  if (sessions && sessions->answered) Merge(*sessions);
  if (classic.playState) classicState_ = classic.playState;
  if (classic.songTitle) classicTitle_ = *classic.songTitle;
  if (!classic.present) classicState_.reset();

  std::vector<SourceCandidate> candidates;
  if (classic.present) {
    SourceCandidate& player = candidates.emplace_back();
    player.state = classicState_;
  }
  for (const SessionSnapshot& session : sessions_) {
    SourceCandidate& candidate = candidates.emplace_back();
    candidate.id.kind = SourceKind::Session;
    candidate.id.session = session.key;
    candidate.state = SessionState(session);
    candidate.isSystemCurrent = session.isCurrent;
  }
  listed_.clear();
  for (const SourceCandidate& candidate : candidates) listed_.push_back(candidate.id);

  const auto index = ChooseSource(candidates, chosen_);
  // A choice whose source has gone is over: should it come back, it is one among the others.
  if (chosen_ && (!index || listed_[*index] != *chosen_)) chosen_.reset();
  shown_ = index ? std::optional(listed_[*index]) : std::nullopt;
  if (listed_.size() < 2) listSources_ = false;
  if (!index) return classic;

  if (shown_->kind == SourceKind::Classic) {
    if (listed_.size() > 1) classic.accepted |= ActionBit(ActionKind::ListSources);
    if (listSources_) {
      classic.sourceLines = Lines(*index);
      classic.accepted |= ActionBit(ActionKind::ShowSource);
    }
    return classic;
  }
  Status status = SessionStatus(*Session(shown_->session), now);
  status.sourceLines = Lines(*index);
  return status;
}

Status Sources::SessionStatus(const SessionSnapshot& session, int64_t now) const {
  Status status;
  const PlayState state = SessionState(session);
  status.playState = state;
  status.songTitle = session.media ? SessionSongTitle(session.media->artist, session.media->title)
                                   : std::wstring();
  status.trackText = session.media
                         ? SessionTrackText(session.media->trackNumber, session.media->trackCount)
                         : std::wstring();
  // Without a timeline (a player that publishes none) the time stands at 0 of an unknown length.
  status.elapsedMs = 0;
  status.lengthS = -1;
  if (session.timeline) {
    status.elapsedMs = Milliseconds(SessionElapsed(*session.timeline, state, now));
    if (const auto length = SessionLength(*session.timeline))
      status.lengthS = WholeSeconds(*length);
  }
  status.stream.fill(L"-");
  status.accepted =
      SessionActions(session.playback ? session.playback->controls : SessionControls{});
  // No playlist: the list stays empty, and the lines list the sources.
  status.list = {};
  status.range = {1, 0};
  if (session.thumbnail && session.thumbnail->bytes) {
    // Named by the session and the bytes' serial, so each new thumbnail is a new picture.
    status.entryPath = L"session " + session.key.appId + L" " +
                       std::to_wstring(session.key.occurrence) + L" #" +
                       std::to_wstring(session.thumbnail->serial);
    status.pictureBytes = session.thumbnail->bytes;
  } else {
    status.entryPath = std::wstring();
  }
  return status;
}

SourceLines Sources::Lines(std::size_t shown) const {
  // "player - title", without the spaces a caption leaves at a title's end, and the player
  // alone while it has no title.
  const auto line = [](std::wstring name, std::wstring_view title) {
    const std::size_t end = title.find_last_not_of(L' ');
    if (end != std::wstring_view::npos) name.append(L" - ").append(title.substr(0, end + 1));
    return name;
  };
  SourceLines lines{{}, shown};
  for (const SourceId& id : listed_) {
    if (id.kind == SourceKind::Classic) {
      lines.names.push_back(line(std::wstring(ClassicName), classicTitle_));
      continue;
    }
    const SessionSnapshot* session = Session(id.session);
    lines.names.push_back(line(PlayerNameFromAppId(id.session.appId),
                               session && session->media
                                   ? SessionSongTitle(session->media->artist, session->media->title)
                                   : std::wstring()));
  }
  return lines;
}

RoutedAction Sources::Route(const Action& action, int64_t now) {
  if (action.kind == ActionKind::ShowSource) {
    if (action.argument < 0 || static_cast<std::size_t>(action.argument) >= listed_.size()) {
      return {};
    }
    chosen_ = listed_[static_cast<std::size_t>(action.argument)];
    listSources_ = false;
    return {RoutedAction::To::Done, {}};
  }
  if (action.kind == ActionKind::ListSources) {
    if (!shown_ || shown_->kind != SourceKind::Classic || listed_.size() < 2) return {};
    listSources_ = !listSources_;
    return {RoutedAction::To::Done, {}};
  }
  // With nothing to show the classic player is asked, as a vanished player always was.
  if (!shown_ || shown_->kind == SourceKind::Classic) return {RoutedAction::To::Classic, {}};

  const SessionSnapshot* session = Session(shown_->session);
  if (!session || !session->playback ||
      (SessionActions(session->playback->controls) & ActionBit(action.kind)) == 0) {
    return {};
  }
  SessionAction request{session->key};
  const auto position = [&](int64_t delta) {
    const SessionTimeline timeline = session->timeline.value_or(SessionTimeline{});
    return MovedPosition(timeline, SessionState(*session), now, delta);
  };
  constexpr std::pair<ActionKind, SessionCommand> plainCommands[] = {
      {ActionKind::Play, SessionCommand::Play},
      {ActionKind::Pause, SessionCommand::Pause},
      {ActionKind::Stop, SessionCommand::Stop},
      {ActionKind::Next, SessionCommand::Next},
      {ActionKind::Previous, SessionCommand::Previous}};
  const auto plain =
      std::ranges::find(plainCommands, action.kind, &std::pair<ActionKind, SessionCommand>::first);
  if (plain != std::end(plainCommands)) {
    request.command = plain->second;
    return {RoutedAction::To::Session, std::move(request)};
  }
  switch (action.kind) {
    case ActionKind::SeekTo:
      request.command = SessionCommand::ChangePosition;
      request.position = int64_t{std::max(action.argument, 0)} * TicksPerSecond;
      break;
    case ActionKind::Back5s:
    case ActionKind::Forward5s: {
      const int64_t delta = 5 * TicksPerSecond;
      request.command = SessionCommand::ChangePosition;
      request.position = position(action.kind == ActionKind::Back5s ? -delta : delta);
      break;
    }
    default:
      return {};
  }
  return {RoutedAction::To::Session, std::move(request)};
}

}  // namespace tokalux
