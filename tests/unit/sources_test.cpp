#include "session/sources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "session/session_values.h"

namespace tokalux {
namespace {

constexpr int64_t S = TicksPerSecond;
constexpr int64_t Now = 133'000'000'000'000'000;  // a FILETIME in 2022

SessionSnapshot MakeSession(const std::wstring& appId, int32_t status, bool current = false) {
  SessionSnapshot session;
  session.key = {appId, 0};
  session.isCurrent = current;
  session.media = SessionMedia{L"Title of " + appId, L"Artist", L"Album", 3, 12};
  session.playback = SessionPlayback{status, {true, true, true, true, true, false, true}};
  session.timeline = SessionTimeline{0, 200 * S, 60 * S, Now - 2 * S};
  return session;
}

SessionsSnapshot Snapshot(std::vector<SessionSnapshot> sessions) {
  return {true, true, std::move(sessions)};
}

Status Classic(bool present, PlayState state) {
  Status status;
  status.present = present;
  status.playState = state;
  status.songTitle = L"Classic Song ";  // as the caption gives it, a space before " - Winamp"
  status.list = {20, 4};
  status.accepted =
      AllActions & ~ActionBit(ActionKind::ShowSource) & ~ActionBit(ActionKind::ListSources);
  return status;
}

const std::wstring& Shown(const Status& status) {
  static const std::wstring none = L"(no lines)";
  return status.sourceLines ? status.sourceLines->names.at(status.sourceLines->shown) : none;
}

TEST(Sources, ASessionOnTheScreen) {
  Sources sources;
  SessionSnapshot session = MakeSession(L"C:\\Apps\\Spotify.exe", 4);
  session.thumbnail = SessionThumbnail{7, std::make_shared<const std::vector<uint8_t>>(3, 1)};
  const Status status =
      sources.Combine(Classic(false, PlayState::Stopped), Snapshot({session}), Now);
  EXPECT_EQ(status.songTitle, L"Artist - Title of C:\\Apps\\Spotify.exe");
  EXPECT_EQ(status.elapsedMs, 62'000);  // extrapolated: 60 s + the 2 s since the update
  EXPECT_EQ(status.lengthS, 200);
  EXPECT_EQ(status.trackText, L"Track 3 of 12");
  EXPECT_EQ(status.playState, PlayState::Playing);
  for (const auto& detail : status.stream) EXPECT_EQ(detail, L"-");
  EXPECT_EQ(status.volume, std::nullopt);
  EXPECT_EQ(status.list, ListPlace{});
  ASSERT_TRUE(status.sourceLines);
  EXPECT_EQ(status.sourceLines->names,
            std::vector<std::wstring>{L"Spotify - Artist - Title of C:\\Apps\\Spotify.exe"});
  EXPECT_EQ(status.pictureBytes, session.thumbnail->bytes);
  EXPECT_EQ(status.entryPath, L"session C:\\Apps\\Spotify.exe 0 #7");
  // What it accepts; never volume or the playlist.
  const ActionSet expected = AllActions & ~ActionBit(ActionKind::VolumeUp) &
                             ~ActionBit(ActionKind::VolumeDown) & ~ActionBit(ActionKind::VolumeTo) &
                             ~ActionBit(ActionKind::JumpTo);
  EXPECT_EQ(status.accepted, expected);

  // Without a timeline, a thumbnail or playback info: 0 of an unknown length, no picture, and
  // nothing but the choice of a source.
  session.timeline.reset();
  session.thumbnail.reset();
  session.playback.reset();
  session.key.appId = L"Other";
  const Status bare = sources.Combine(Classic(false, PlayState::Stopped), Snapshot({session}), Now);
  EXPECT_EQ(bare.elapsedMs, 0);
  EXPECT_EQ(bare.lengthS, -1);
  EXPECT_EQ(bare.entryPath, L"");
  EXPECT_EQ(bare.pictureBytes, nullptr);
  EXPECT_EQ(bare.accepted, ActionBit(ActionKind::ShowSource) | ActionBit(ActionKind::ListSources));
}

// Which source shows, poll by poll: the one that plays, the user's choice while it is there, and
// with none at all the classic player's status as it is.
TEST(Sources, TheShownSourceIsChosenAgainAtEveryPoll) {
  Sources sources;
  const auto spotify = MakeSession(L"Spotify", 4);
  const auto paused = MakeSession(L"Spotify", 5);
  const auto browser = MakeSession(L"Browser", 5, true);

  Status status = sources.Combine(Classic(true, PlayState::Paused), Snapshot({spotify}), Now);
  EXPECT_EQ(Shown(status), L"Spotify - Artist - Title of Spotify");  // playing before paused
  EXPECT_EQ(status.sourceLines->names.front(), L"Winamp - Classic Song");

  status = sources.Combine(Classic(true, PlayState::Playing), Snapshot({paused}), Now);
  EXPECT_FALSE(status.sourceLines);  // the classic player's own screen
  EXPECT_EQ(status.list, (ListPlace{20, 4}));
  EXPECT_NE(status.accepted & ActionBit(ActionKind::ListSources), 0u);

  // The user's choice holds while it is there, also against a playing source...
  EXPECT_EQ(sources.Route({ActionKind::ShowSource, 1}, Now).to, RoutedAction::To::Done);
  status = sources.Combine(Classic(true, PlayState::Playing), Snapshot({paused, browser}), Now);
  EXPECT_EQ(Shown(status), L"Spotify - Artist - Title of Spotify");
  // ...and ends when it goes: it does not come back when the source does.
  sources.Combine(Classic(true, PlayState::Stopped), Snapshot({browser}), Now);
  status = sources.Combine(Classic(true, PlayState::Stopped), Snapshot({paused, browser}), Now);
  EXPECT_EQ(Shown(status), L"Browser - Artist - Title of Browser");  // the system's current

  // A poll of the sessions that did not come back, or whose list got no answer, keeps them.
  status = sources.Combine(Classic(true, PlayState::Stopped), std::nullopt, Now);
  EXPECT_EQ(status.sourceLines.value().names.size(), 3u);
  status =
      sources.Combine(Classic(true, PlayState::Stopped), SessionsSnapshot{true, false, {}}, Now);
  EXPECT_EQ(status.sourceLines.value().names.size(), 3u);

  // Nothing at all: the classic player's status as it came (the screen of a vanished player).
  status = sources.Combine(Classic(false, PlayState::Stopped), Snapshot({}), Now);
  EXPECT_FALSE(status.sourceLines);
  EXPECT_EQ(status.songTitle, L"Classic Song ");
}

// A session that does not answer part of a poll keeps its last answers for that part.
TEST(Sources, UnansweredPartsKeepTheirLastAnswers) {
  Sources sources;
  sources.Combine(Classic(false, PlayState::Stopped), Snapshot({MakeSession(L"A", 4)}), Now);
  SessionSnapshot silent;
  silent.key = {L"A", 0};
  const Status status =
      sources.Combine(Classic(false, PlayState::Stopped), Snapshot({silent}), Now);
  EXPECT_EQ(status.songTitle, L"Artist - Title of A");
  EXPECT_EQ(status.playState, PlayState::Playing);
  EXPECT_EQ(status.lengthS, 200);
}

TEST(Sources, TheListOfSourcesWhileTheClassicPlayerShows) {
  Sources sources;
  const auto paused = MakeSession(L"A", 5);
  sources.Combine(Classic(true, PlayState::Playing), Snapshot({}), Now);
  EXPECT_EQ(sources.Route({ActionKind::ListSources}, Now).to, RoutedAction::To::Nobody);

  sources.Combine(Classic(true, PlayState::Playing), Snapshot({paused}), Now);
  EXPECT_EQ(sources.Route({ActionKind::ListSources}, Now).to, RoutedAction::To::Done);
  Status status = sources.Combine(Classic(true, PlayState::Playing), Snapshot({paused}), Now);
  ASSERT_TRUE(status.sourceLines);
  EXPECT_EQ(status.sourceLines->shown, 0u);
  EXPECT_EQ(status.list, (ListPlace{20, 4}));  // the playlist buttons still go by the playlist
  EXPECT_NE(status.accepted & ActionBit(ActionKind::ShowSource), 0u);
  // Choosing the classic player's own line puts its playlist back.
  EXPECT_EQ(sources.Route({ActionKind::ShowSource, 0}, Now).to, RoutedAction::To::Done);
  EXPECT_FALSE(
      sources.Combine(Classic(true, PlayState::Playing), Snapshot({paused}), Now).sourceLines);
  EXPECT_EQ(sources.Route({ActionKind::ShowSource, 2}, Now).to, RoutedAction::To::Nobody);
}

TEST(Sources, EachActionOnASession) {
  Sources sources;
  SessionSnapshot session = MakeSession(L"A", 4);
  session.timeline = SessionTimeline{0, 200 * S, 60 * S, Now};
  sources.Combine(Classic(true, PlayState::Stopped), Snapshot({session}), Now);
  using enum SessionCommand;
  const struct {
    Action action;
    RoutedAction::To to;
    SessionCommand command;
    int64_t position;
  } table[] = {
      {{ActionKind::Play}, RoutedAction::To::Session, Play, 0},
      {{ActionKind::Pause}, RoutedAction::To::Session, Pause, 0},
      {{ActionKind::Stop}, RoutedAction::To::Session, Stop, 0},
      {{ActionKind::Next}, RoutedAction::To::Session, Next, 0},
      {{ActionKind::Previous}, RoutedAction::To::Session, Previous, 0},
      {{ActionKind::SeekTo, 90}, RoutedAction::To::Session, ChangePosition, 90 * S},
      {{ActionKind::SeekTo, -4}, RoutedAction::To::Session, ChangePosition, 0},
      {{ActionKind::Back5s}, RoutedAction::To::Session, ChangePosition, 55 * S},
      {{ActionKind::Forward5s}, RoutedAction::To::Session, ChangePosition, 65 * S},
      {{ActionKind::VolumeUp}, RoutedAction::To::Nobody, Play, 0},
      {{ActionKind::VolumeTo, 9}, RoutedAction::To::Nobody, Play, 0},
      {{ActionKind::JumpTo, 2}, RoutedAction::To::Nobody, Play, 0},
  };
  for (const auto& row : table) {
    const RoutedAction routed = sources.Route(row.action, Now);
    EXPECT_EQ(routed.to, row.to) << static_cast<int>(row.action.kind);
    if (routed.to != RoutedAction::To::Session) continue;
    EXPECT_EQ(routed.request.target, session.key);
    EXPECT_EQ(routed.request.command, row.command) << static_cast<int>(row.action.kind);
    EXPECT_EQ(routed.request.position, row.position) << static_cast<int>(row.action.kind);
  }

  // Five seconds on stays within the timeline; what the session does not accept goes nowhere.
  session.timeline = SessionTimeline{0, 62 * S, 60 * S, Now};
  session.playback->controls.next = false;
  sources.Combine(Classic(true, PlayState::Stopped), Snapshot({session}), Now);
  EXPECT_EQ(sources.Route({ActionKind::Forward5s}, Now).request.position, 62 * S);
  EXPECT_EQ(sources.Route({ActionKind::Next}, Now).to, RoutedAction::To::Nobody);

  // The classic player shown takes its actions itself.
  sources.Combine(Classic(true, PlayState::Playing), Snapshot({}), Now);
  EXPECT_EQ(sources.Route({ActionKind::VolumeUp}, Now).to, RoutedAction::To::Classic);
}

}  // namespace
}  // namespace tokalux
