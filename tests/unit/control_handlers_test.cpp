#include "remote/control_handlers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "fakes.h"
#include "player/player_source.h"

namespace tokalux {
namespace {

using testing::FakePlayer;
using testing::FakeSource;
using Kind = ActionKind;
using enum PlaylistButton;

class ControlHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override { shared.listLength = 20; }

  FakeSource source;
  SharedValues shared;
  ControlHandlers handlers{source, shared};
};

TEST_F(ControlHandlersTest, TransportAndVolumeButtonsAskForTheirAction) {
  shared.listLength = 1;
  for (const Kind kind : {Kind::Previous, Kind::Back5s, Kind::Play, Kind::Pause, Kind::Stop,
                          Kind::Forward5s, Kind::Next, Kind::VolumeUp, Kind::VolumeDown}) {
    source.actions.clear();
    handlers.OnButton(kind);
    EXPECT_EQ(source.actions, std::vector<Action>{{kind}}) << static_cast<int>(kind);
  }
}

TEST_F(ControlHandlersTest, PlayOnAnEmptyListAsksNothing) {
  shared.listLength = 0;
  shared.playState = PlayState::Stopped;
  handlers.OnButton(Kind::Play);
  shared.listLength = -3;
  handlers.OnButton(Kind::Play);
  EXPECT_TRUE(source.actions.empty());
  EXPECT_EQ(shared.playState, PlayState::Stopped);
}

// The transport buttons move the play state a line click relies on as the player will.
TEST_F(ControlHandlersTest, TransportButtonsFollowThePlayState) {
  shared.listLength = 3;
  shared.playState = PlayState::Playing;
  const std::vector<std::pair<Kind, PlayState>> steps = {
      {Kind::Pause, PlayState::Paused},  {Kind::Next, PlayState::Paused},
      {Kind::Pause, PlayState::Playing}, {Kind::Stop, PlayState::Stopped},
      {Kind::Pause, PlayState::Stopped}, {Kind::Play, PlayState::Playing}};
  for (const auto& [kind, state] : steps) {
    handlers.OnButton(kind);
    EXPECT_EQ(shared.playState, state) << static_cast<int>(kind);
  }
}

// Each jump counts from the last poll's position or the jump since, whichever came last; a line
// click is a jump too.
TEST_F(ControlHandlersTest, PlaylistButtonsCountFromTheLastPollOrTheLastJump) {
  int asked = 0;
  handlers.onAsked = [&] { ++asked; };
  shared.listLength = 25;
  shared.listPosition = 3;
  for (const PlaylistButton button : {Minus10, Plus10, Plus10, Middle, End}) {
    handlers.OnPlaylistButton(button);
  }
  handlers.OnPlaylistLineClick(L"7 . Seven");
  handlers.OnPlaylistButton(Plus10);
  EXPECT_EQ(source.actions, (std::vector<Action>{{Kind::JumpTo, 0},
                                                 {Kind::JumpTo, 10},
                                                 {Kind::JumpTo, 20},
                                                 {Kind::JumpTo, 12},
                                                 {Kind::JumpTo, 24},
                                                 {Kind::JumpTo, 6},
                                                 {Kind::Play},
                                                 {Kind::JumpTo, 16}}));
  EXPECT_EQ(shared.clicks, 8u);  // each action taken counts, for the poll (see StatusPoll::Show)
  EXPECT_EQ(asked, 8);
}

TEST_F(ControlHandlersTest, PlaylistButtonsOnAnEmptyListAskOnlyForTheBeginning) {
  shared.listLength = 0;
  shared.listPosition = 1;
  for (const PlaylistButton button : {Minus10, Middle, Plus10, End, Begin}) {
    handlers.OnPlaylistButton(button);
  }
  EXPECT_EQ(source.actions, (std::vector<Action>{{Kind::JumpTo, 0}}));
}

TEST_F(ControlHandlersTest, SeekHoldsThePollOffFromPressToRelease) {
  handlers.OnSeekPress(40);
  EXPECT_TRUE(shared.seekInProgress);
  handlers.OnSeekScroll(95);
  EXPECT_TRUE(source.actions.empty());
  handlers.OnSeekRelease(95);
  EXPECT_FALSE(shared.seekInProgress);
  EXPECT_EQ(source.actions, (std::vector<Action>{{Kind::SeekTo, 95}}));
}

TEST_F(ControlHandlersTest, SeekOnlyWhenTheSliderMovedDuringThePress) {
  // A click on the thumb or a right-click: no move, or a notification that stays put.
  handlers.OnSeekPress(40);
  handlers.OnSeekRelease(40);
  handlers.OnSeekPress(40);
  handlers.OnSeekScroll(40);
  handlers.OnSeekRelease(40);
  EXPECT_TRUE(source.actions.empty());
  EXPECT_FALSE(shared.seekInProgress);

  // Away and back again is a move; so is a value that changed without a notification.
  handlers.OnSeekPress(40);
  handlers.OnSeekScroll(120);
  handlers.OnSeekScroll(40);
  handlers.OnSeekRelease(40);
  handlers.OnSeekPress(40);
  handlers.OnSeekRelease(41);
  // The next press starts afresh: the earlier move does not count for it.
  handlers.OnSeekPress(41);
  handlers.OnSeekRelease(41);
  EXPECT_EQ(source.actions, (std::vector<Action>{{Kind::SeekTo, 40}, {Kind::SeekTo, 41}}));
}

TEST_F(ControlHandlersTest, MovesWithoutAPressSeekNothing) {
  // The keyboard moves the slider with no button held; a release without a press is stray.
  handlers.OnSeekScroll(120);
  handlers.OnSeekRelease(120);
  EXPECT_TRUE(source.actions.empty());
  EXPECT_FALSE(shared.seekInProgress);
}

// An action the source cannot take (for the player, a seek beyond 32 bits of ms) is no click,
// and the slider still goes back to the poll.
TEST_F(ControlHandlersTest, ASeekTheSourceRefusesIsNoClickButTheSliderIsReleased) {
  source.refused = {Kind::SeekTo};
  handlers.OnSeekPress(0);
  handlers.OnSeekRelease(2200000);
  EXPECT_FALSE(shared.seekInProgress);
  EXPECT_TRUE(source.actions.empty());
  EXPECT_EQ(shared.clicks, 0u);
}

TEST_F(ControlHandlersTest, LostCaptureEndsTheSeekWithoutSeeking) {
  handlers.OnSeekPress(40);
  handlers.OnSeekScroll(120);
  handlers.OnSeekCancelled();
  EXPECT_FALSE(shared.seekInProgress);
  // The move of the cancelled press does not count for the next one.
  handlers.OnSeekPress(40);
  handlers.OnSeekRelease(40);
  EXPECT_TRUE(source.actions.empty());
}

TEST_F(ControlHandlersTest, VolumeSliderAsksForPositionTimes25Point5) {
  handlers.OnVolumeScroll(0);
  handlers.OnVolumeScroll(5);
  handlers.OnVolumeScroll(10);
  EXPECT_EQ(
      source.actions,
      (std::vector<Action>{{Kind::VolumeTo, 0}, {Kind::VolumeTo, 128}, {Kind::VolumeTo, 255}}));
}

TEST_F(ControlHandlersTest, PlaylistLineJumpsToItsEntryAndPlays) {
  for (const PlayState state : {PlayState::Playing, PlayState::Stopped, PlayState::Unknown}) {
    source.actions.clear();
    shared.playState = state;
    handlers.OnPlaylistLineClick(L"12 . Intro");
    EXPECT_EQ(source.actions, (std::vector<Action>{{Kind::JumpTo, 11}, {Kind::Play}}));
  }
}

// Play would resume the paused song: the player is stopped first.
TEST_F(ControlHandlersTest, PlaylistLineOnAPausedPlayerStopsItFirst) {
  shared.playState = PlayState::Paused;
  handlers.OnPlaylistLineClick(L"3 . Third");
  handlers.OnPlaylistLineClick(L"4 . Fourth");  // now playing: no second stop
  EXPECT_EQ(source.actions,
            (std::vector<Action>{
                {Kind::Stop}, {Kind::JumpTo, 2}, {Kind::Play}, {Kind::JumpTo, 3}, {Kind::Play}}));
}

TEST_F(ControlHandlersTest, PlaylistLineWithoutANumberOrOnAnEmptyListDoesNothing) {
  handlers.OnPlaylistLineClick(L"");
  handlers.OnPlaylistLineClick(L"no number here");
  // A line left from a list the player has emptied since: Play there would open its file dialog.
  shared.listLength = 0;
  handlers.OnPlaylistLineClick(L"3 . Third");
  EXPECT_TRUE(source.actions.empty());
}

// While the lines list the sources, a line chooses its source (on an empty list too: a session has
// none), and Play needs no playlist where the source has none.
TEST_F(ControlHandlersTest, SourceLinesChooseASourceAndASourceWithoutPlaylistsPlays) {
  shared.listLength = 0;
  shared.sourceLines = true;
  shared.accepted = AllActions & ~ActionBit(Kind::JumpTo);
  handlers.OnPlaylistLineClick(L"2 . Spotify - Song");
  handlers.OnTrackCounterClick();
  handlers.OnButton(Kind::Play);
  EXPECT_EQ(source.actions,
            (std::vector<Action>{{Kind::ShowSource, 1}, {Kind::ListSources}, {Kind::Play}}));
}

// The media keys act as their buttons; play/pause goes by the remembered play state; volume,
// mute and the other commands are not ours.
TEST_F(ControlHandlersTest, MediaKeysActAsTheirButtons) {
  using enum PlayState;
  const std::tuple<int, PlayState, std::optional<Kind>> keys[] = {
      {11, Playing, Kind::Next},  {12, Playing, Kind::Previous},
      {13, Playing, Kind::Stop},  {46, Paused, Kind::Play},
      {47, Playing, Kind::Pause}, {14, Playing, Kind::Pause},
      {14, Unknown, Kind::Pause}, {14, Paused, Kind::Play},
      {14, Stopped, Kind::Play},  {8, Playing, {}},
      {10, Playing, {}},          {0, Playing, {}}};
  for (const auto& [command, state, asked] : keys) {
    source.actions.clear();
    shared.playState = state;
    EXPECT_EQ(handlers.OnMediaKey(command), asked.has_value()) << command;
    EXPECT_EQ(source.actions, asked ? std::vector<Action>{{*asked}} : std::vector<Action>{})
        << command << " " << static_cast<int>(state);
  }
}

// The classic player's message for each action, as the player thread posts it.
TEST(SendAction, EachActionIsItsCommandOrSetting) {
  const std::pair<Action, const char*> actions[] = {
      {{Kind::Previous}, "command 40044"},
      {{Kind::Back5s}, "command 40144"},
      {{Kind::Play}, "command 40045"},
      {{Kind::Pause}, "command 40046"},
      {{Kind::Stop}, "command 40047"},
      {{Kind::Forward5s}, "command 40148"},
      {{Kind::Next}, "command 40048"},
      {{Kind::VolumeUp}, "command 40058"},
      {{Kind::VolumeDown}, "command 40059"},
      {{Kind::SeekTo, 95}, "setting 106 95000"},
      {{Kind::SeekTo, 2'147'484}, nullptr},  // beyond 32 bits of ms: nothing
      {{Kind::VolumeTo, 128}, "setting 122 128"},
      {{Kind::JumpTo, 11}, "setting 121 11"},
      {{Kind::JumpTo, -8}, "setting 121 -8"},  // negative indexes go through unchanged
  };
  for (const auto& [action, message] : actions) {
    FakePlayer player;
    EXPECT_EQ(SendAction(player, action), message != nullptr) << static_cast<int>(action.kind);
    EXPECT_EQ(player.sent, message ? std::vector<std::string>{message} : std::vector<std::string>{})
        << static_cast<int>(action.kind);
  }
}

}  // namespace
}  // namespace tokalux
