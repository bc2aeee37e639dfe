#include "remote/control_handlers.h"

#include <gtest/gtest.h>

#include <vector>

#include "remote/control_ids.h"
#include "player/player_messages.h"

namespace tokalux {
namespace {

namespace id = ControlId;

// Records what reaches the player: commands as {command, 0, 0}, requests as {0, number, arg}.
struct Sent {
  int32_t command = 0;
  int32_t request = 0;
  int32_t argument = 0;
  friend bool operator==(const Sent&, const Sent&) = default;
};

class RecordingPlayer : public PlayerControl {
 public:
  void SendCommand(int32_t identifier) override { sent.push_back({identifier, 0, 0}); }
  void SendSetting(int32_t number, int32_t argument) override {
    sent.push_back({0, number, argument});
  }

  std::vector<Sent> sent;
};

Sent Command(int32_t command) {
  return {command, 0, 0};
}
Sent Request(int32_t number, int32_t argument) {
  return {0, number, argument};
}

class ControlHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override { shared.listLength = 20; }

  RecordingPlayer player;
  SharedValues shared;
  ControlHandlers handlers{player, shared};
};

TEST_F(ControlHandlersTest, TransportAndVolumeButtonsSendTheirCommand) {
  shared.listLength = 1;
  const std::vector<std::pair<int, int32_t>> buttons = {
      {id::cmdPrev, 40044},  {id::cmdFRW, 40144},     {id::cmdPlay, 40045},
      {id::cmdPause, 40046}, {id::cmdStop, 40047},    {id::cmdFFW, 40148},
      {id::cmdNext, 40048},  {id::cmdVolIncr, 40058}, {id::cmdVolDecr, 40059}};
  for (const auto& [button, command] : buttons) {
    player.sent.clear();
    EXPECT_TRUE(handlers.OnButtonClick(button));
    EXPECT_EQ(player.sent, std::vector<Sent>{Command(command)}) << button;
  }
}

TEST_F(ControlHandlersTest, PlayOnAnEmptyListSendsNothing) {
  shared.listLength = 0;
  shared.playState = PlayState::Stopped;
  EXPECT_TRUE(handlers.OnButtonClick(id::cmdPlay));
  shared.listLength = -3;
  EXPECT_TRUE(handlers.OnButtonClick(id::cmdPlay));
  EXPECT_TRUE(player.sent.empty());
  EXPECT_EQ(shared.playState, PlayState::Stopped);
}

// The transport buttons move the play state a line click relies on as the player will.
TEST_F(ControlHandlersTest, TransportButtonsFollowThePlayState) {
  shared.listLength = 3;
  shared.playState = PlayState::Playing;
  const std::vector<std::pair<int, PlayState>> steps = {
      {id::cmdPause, PlayState::Paused},  {id::cmdNext, PlayState::Paused},
      {id::cmdPause, PlayState::Playing}, {id::cmdStop, PlayState::Stopped},
      {id::cmdPause, PlayState::Stopped}, {id::cmdPlay, PlayState::Playing}};
  for (const auto& [button, state] : steps) {
    handlers.OnButtonClick(button);
    EXPECT_EQ(shared.playState, state) << button;
  }
}

// Each jump counts from the last poll's position or the jump since, whichever came last; a line
// click is a jump too.
TEST_F(ControlHandlersTest, PlaylistButtonsCountFromTheLastPollOrTheLastJump) {
  shared.listLength = 25;
  shared.listPosition = 3;
  for (int button : {id::cmdPLm10, id::cmdPLp10, id::cmdPLp10, id::cmdPLMitte, id::cmdPLEnd}) {
    EXPECT_TRUE(handlers.OnButtonClick(button));
  }
  handlers.OnPlaylistLineClick(L"7 . Seven");
  handlers.OnButtonClick(id::cmdPLp10);
  EXPECT_EQ(
      player.sent,
      (std::vector<Sent>{Request(RequestSetListPosition, 0), Request(RequestSetListPosition, 10),
                         Request(RequestSetListPosition, 20), Request(RequestSetListPosition, 12),
                         Request(RequestSetListPosition, 24), Request(RequestSetListPosition, 6),
                         Command(CommandPlay), Request(RequestSetListPosition, 16)}));
  EXPECT_EQ(shared.clicks, 8u);  // each message sent counts, for the poll (see StatusPoll::Show)
}

TEST_F(ControlHandlersTest, PlaylistButtonsOnAnEmptyListSendOnlyTheBeginning) {
  shared.listLength = 0;
  shared.listPosition = 1;
  for (int button : {id::cmdPLm10, id::cmdPLMitte, id::cmdPLp10, id::cmdPLEnd, id::cmdPLStart}) {
    EXPECT_TRUE(handlers.OnButtonClick(button));
  }
  EXPECT_EQ(player.sent, std::vector<Sent>{Request(RequestSetListPosition, 0)});
}

TEST_F(ControlHandlersTest, OtherControlsAreNotButtonsWithActions) {
  EXPECT_FALSE(handlers.OnButtonClick(id::cmdEnd));
  EXPECT_FALSE(handlers.OnButtonClick(id::lblTime));
  EXPECT_FALSE(handlers.OnButtonClick(0));
  EXPECT_TRUE(player.sent.empty());
}

TEST_F(ControlHandlersTest, SeekHoldsThePollOffFromPressToRelease) {
  handlers.OnSeekPress(40);
  EXPECT_TRUE(shared.seekInProgress);
  handlers.OnSeekScroll(95);
  EXPECT_TRUE(player.sent.empty());
  handlers.OnSeekRelease(95);
  EXPECT_FALSE(shared.seekInProgress);
  EXPECT_EQ(player.sent, std::vector<Sent>{Request(RequestSeek, 95000)});
}

TEST_F(ControlHandlersTest, SeekOnlyWhenTheSliderMovedDuringThePress) {
  // A click on the thumb or a right-click: no move, or a notification that stays put.
  handlers.OnSeekPress(40);
  handlers.OnSeekRelease(40);
  handlers.OnSeekPress(40);
  handlers.OnSeekScroll(40);
  handlers.OnSeekRelease(40);
  EXPECT_TRUE(player.sent.empty());
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
  EXPECT_EQ(player.sent,
            (std::vector<Sent>{Request(RequestSeek, 40000), Request(RequestSeek, 41000)}));
}

TEST_F(ControlHandlersTest, MovesWithoutAPressSeekNothing) {
  // The keyboard moves the slider with no button held; a release without a press is stray.
  handlers.OnSeekScroll(120);
  handlers.OnSeekRelease(120);
  EXPECT_TRUE(player.sent.empty());
  EXPECT_FALSE(shared.seekInProgress);
}

TEST_F(ControlHandlersTest, SeekTargetBeyond32BitsIsNotSentButTheSliderIsReleased) {
  handlers.OnSeekPress(0);
  handlers.OnSeekRelease(2200000);
  EXPECT_FALSE(shared.seekInProgress);
  EXPECT_TRUE(player.sent.empty());
}

TEST_F(ControlHandlersTest, LostCaptureEndsTheSeekWithoutSeeking) {
  handlers.OnSeekPress(40);
  handlers.OnSeekScroll(120);
  handlers.OnSeekCancelled();
  EXPECT_FALSE(shared.seekInProgress);
  // The move of the cancelled press does not count for the next one.
  handlers.OnSeekPress(40);
  handlers.OnSeekRelease(40);
  EXPECT_TRUE(player.sent.empty());
}

TEST_F(ControlHandlersTest, VolumeSliderSendsPositionTimes25Point5) {
  handlers.OnVolumeScroll(0);
  handlers.OnVolumeScroll(5);
  handlers.OnVolumeScroll(10);
  EXPECT_EQ(player.sent,
            (std::vector<Sent>{Request(RequestSetVolume, 0), Request(RequestSetVolume, 128),
                               Request(RequestSetVolume, 255)}));
}

TEST_F(ControlHandlersTest, PlaylistLineJumpsToItsEntryAndPlays) {
  for (const PlayState state : {PlayState::Playing, PlayState::Stopped, PlayState::Unknown}) {
    player.sent.clear();
    shared.playState = state;
    handlers.OnPlaylistLineClick(L"12 . Intro");
    EXPECT_EQ(player.sent,
              (std::vector<Sent>{Request(RequestSetListPosition, 11), Command(CommandPlay)}));
  }
}

// Play would resume the paused song: the player is stopped first.
TEST_F(ControlHandlersTest, PlaylistLineOnAPausedPlayerStopsItFirst) {
  shared.playState = PlayState::Paused;
  handlers.OnPlaylistLineClick(L"3 . Third");
  handlers.OnPlaylistLineClick(L"4 . Fourth");  // now playing: no second stop
  EXPECT_EQ(player.sent,
            (std::vector<Sent>{Command(CommandStop), Request(RequestSetListPosition, 2),
                               Command(CommandPlay), Request(RequestSetListPosition, 3),
                               Command(CommandPlay)}));
}

TEST_F(ControlHandlersTest, PlaylistLineWithoutANumberOrOnAnEmptyListDoesNothing) {
  handlers.OnPlaylistLineClick(L"");
  handlers.OnPlaylistLineClick(L"no number here");
  // A line left from a list the player has emptied since: Play would open its file dialog.
  shared.listLength = 0;
  handlers.OnPlaylistLineClick(L"3 . Third");
  EXPECT_TRUE(player.sent.empty());
}

}  // namespace
}  // namespace tokalux
