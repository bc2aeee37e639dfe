#include "remote/status_poll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>

#include "remote/control_ids.h"
#include "fakes.h"

namespace tokalux {
namespace {

using testing::FakePlayer;
using testing::FakeScreen;
using namespace std::chrono_literals;

class StatusPollTest : public ::testing::Test {
 protected:
  void Poll() { testing::PollOnce(poll, player); }
  std::wstring Caption(int id) const { return screen.Caption(id); }
  void SetTimes(int32_t elapsedMs, int32_t lengthS) {
    player.Set(RequestPlayTime, 0, elapsedMs);
    player.Set(RequestPlayTime, 1, lengthS);
  }

  FakePlayer player;
  FakeScreen screen;
  SharedValues shared;
  StatusPoll poll{screen, shared};
};

TEST_F(StatusPollTest, SendsTheRequestsInOrder) {
  player.SetPlaylist(2, 0);
  Poll();
  const std::vector<std::string> expected = {"request 105 0", "request 105 1", "request 126 0",
                                             "request 126 1", "request 126 2", "request 122 -666",
                                             "request 124 0", "request 125 0", "request 104 0"};
  EXPECT_EQ(player.sent, expected);
  EXPECT_EQ(player.titleReads, (std::vector<int32_t>{1, 2}));
}

TEST_F(StatusPollTest, KeepsThePlayStateForTheControls) {
  for (const auto& [answer, state] : {std::pair{1, PlayState::Playing},
                                      {3, PlayState::Paused},
                                      {0, PlayState::Stopped},
                                      {7, PlayState::Unknown}}) {
    player.Set(RequestPlayState, 0, answer);
    Poll();
    EXPECT_EQ(shared.playState, state) << answer;
  }
}

TEST_F(StatusPollTest, ShowsTimesAndMovesTheSeekSlider) {
  SetTimes(83'456, 270);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTime), L"01:23");
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"04:30");
  EXPECT_EQ(screen.seekMaximum, 270);
  EXPECT_EQ(screen.seekValue, 83);
}

TEST_F(StatusPollTest, TimeTextEdges) {
  const std::pair<int32_t, const wchar_t*> cases[] = {
      {999, L"00:00"},          {1000, L"00:01"},      {59'999, L"00:59"}, {60'000, L"01:00"},
      {6'000'000, L"100:00"},   {-1, L"00:00"},        {-1000, L"00:00"},  {-61'000, L"00:00"},
      {INT32_MAX, L"35791:23"}, {INT32_MIN, L"00:00"},
  };
  for (const auto& [elapsed, text] : cases) {
    SetTimes(elapsed, 0);
    Poll();
    EXPECT_EQ(Caption(ControlId::lblTime), text) << elapsed;
  }
  SetTimes(0, INT32_MAX);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"35791394:07");
}

TEST_F(StatusPollTest, AnUnknownLengthShowsDashesWithTheSeekSliderAtZeroOfZero) {
  SetTimes(5000, 100);
  Poll();
  ASSERT_EQ(screen.seekMaximum, 100);
  // A stream: the player does not know the length and answers -1.
  SetTimes(65'000, -1);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"--:--");
  EXPECT_EQ(Caption(ControlId::lblTime), L"01:05");
  EXPECT_EQ(screen.seekMaximum, 0);
  EXPECT_EQ(screen.seekValue, 0);
  SetTimes(-1000, INT32_MIN);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"--:--");
  EXPECT_EQ(Caption(ControlId::lblTime), L"00:00");
  EXPECT_EQ(screen.seekMaximum, 0);
  // A length known again brings both back.
  SetTimes(7000, 200);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"03:20");
  EXPECT_EQ(screen.seekMaximum, 200);
  EXPECT_EQ(screen.seekValue, 7);
}

TEST_F(StatusPollTest, TheVolumeSliderShowsThePlayersVolumeUnlessHeld) {
  Poll();
  EXPECT_EQ(screen.volumePosition, 0);
  const std::pair<int32_t, int32_t> cases[] = {{12, 0}, {128, 5}, {255, 10}, {200, 8}, {204, 8}};
  for (const auto& [volume, position] : cases) {
    player.Set(RequestGetVolume, VolumeQueryArgument, volume);
    Poll();
    EXPECT_EQ(screen.volumePosition, position) << volume;
  }
  // An answer outside 0..255 and a slider held by the user are left alone.
  player.Set(RequestGetVolume, VolumeQueryArgument, 256);
  Poll();
  EXPECT_EQ(screen.volumePosition, 8);
  player.Set(RequestGetVolume, VolumeQueryArgument, 255);
  shared.volumeInProgress = true;
  Poll();
  EXPECT_EQ(screen.volumePosition, 8);
  shared.volumeInProgress = false;
  Poll();
  EXPECT_EQ(screen.volumePosition, 10);
}

TEST_F(StatusPollTest, SliderIsLeftAloneWhileSeeking) {
  SetTimes(10'000, 200);
  Poll();
  shared.seekInProgress = true;
  screen.seekValue = 150;  // where the user dragged it
  SetTimes(12'000, 300);
  Poll();
  EXPECT_EQ(screen.seekMaximum, 200);
  EXPECT_EQ(screen.seekValue, 150);
  EXPECT_EQ(Caption(ControlId::lblTime), L"00:12");  // the time keeps counting
}

TEST_F(StatusPollTest, EveryAnswerZeroLikeAVanishedPlayer) {
  Poll();
  EXPECT_EQ(Caption(ControlId::lblTime), L"00:00");
  EXPECT_EQ(Caption(ControlId::lblTimegesamt), L"00:00");
  EXPECT_EQ(Caption(ControlId::lblSample), L"0");
  EXPECT_EQ(Caption(ControlId::lblBitrate), L"0");
  EXPECT_EQ(Caption(ControlId::lblChannels), L"0");
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 1 of 0");
  EXPECT_EQ(Caption(ControlId::lblSongName), L"");
  EXPECT_TRUE(screen.RedLines().empty());
  EXPECT_TRUE(player.titleReads.empty());
}

// A player that stops answering keeps the screen as its last answers left it: nothing drops to
// the zeros of a vanished player, and the controls go by the same kept values.
TEST_F(StatusPollTest, NoAnswerKeepsTheLastAnsweredValues) {
  SetTimes(83'000, 270);
  for (int32_t which = 0; which < 3; ++which) player.Set(RequestStreamInfo, which, 44 + which);
  player.Set(RequestGetVolume, VolumeQueryArgument, 128);
  player.Set(RequestPlayState, 0, 3);
  player.SetPlaylist(30, 11);
  Poll();
  const FakeScreen before = screen;
  ASSERT_EQ(Caption(ControlId::lblplaylist(8)), L"12 . Title 12");

  player.stalled = true;
  player.songTitle = L"still read";  // the caption is kept by the system: always there
  Poll();
  for (const auto& [id, caption] : before.captions) {
    if (id != ControlId::lblSongName) {
      EXPECT_EQ(Caption(id), caption) << id;
    }
  }
  EXPECT_EQ(Caption(ControlId::lblSongName), L"still read");
  EXPECT_EQ(screen.seekMaximum, 270);
  EXPECT_EQ(screen.seekValue, 83);
  EXPECT_EQ(screen.volumePosition, 5);
  EXPECT_EQ(shared.listLength, 30);
  EXPECT_EQ(shared.listPosition, 12);
  EXPECT_EQ(shared.playState, PlayState::Paused);
  EXPECT_EQ(screen.RedLines(), std::vector<int>{8});

  // Answers come back in part: the range moves on by one and only entry 13's title and the
  // elapsed time are missing. The line of entry 13 keeps the title it showed, the new last line
  // has none yet, and the slider goes by the length now answered and the elapsed time kept.
  player.stalled = false;
  player.SetPlaylist(30, 12);
  player.silentTitles = {13, 20};
  player.silentRequests = {RequestPlayTime};
  player.titles[6] = L"Six, renamed";
  Poll();
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 13 of 30");
  EXPECT_EQ(Caption(ControlId::lblplaylist(1)), L"6 . Six, renamed");
  EXPECT_EQ(Caption(ControlId::lblplaylist(7)), L"12 . Title 12");
  EXPECT_EQ(Caption(ControlId::lblplaylist(8)), L"13 . Title 13");
  EXPECT_EQ(Caption(ControlId::lblplaylist(15)), L"20 . ");
  EXPECT_EQ(Caption(ControlId::lblTime), L"01:23");
}

// The hand-off: a poll that has not come back within the bound is shown at a later tick, and no
// second poll is handed over meanwhile; a tick never waits past its bound.
TEST_F(StatusPollTest, ALatePollIsShownLaterAndNoSecondQueuesBehindIt) {
  int handedOver = 0;
  std::promise<PlayerStatus> late;
  const StatusPoll::Submit submit = [&](const StatusPoll::Job&) {
    ++handedOver;
    return late.get_future();
  };
  auto tick = std::async(std::launch::async, [&] { poll.Tick(submit, 20ms); });
  if (tick.wait_for(5s) != std::future_status::ready) {
    late.set_value({});  // lets the tick go, so the test ends
    FAIL() << "the tick waited past its bound";
  }
  poll.Tick(submit, 20ms);
  EXPECT_EQ(handedOver, 1);
  EXPECT_TRUE(screen.captions.empty());

  player.SetPlaylist(3, 1);
  late.set_value(AskPlayer(player, {}));
  poll.Tick(submit, 20ms);
  EXPECT_EQ(handedOver, 1);
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 2 of 3");
  Poll();  // the next tick hands over a new poll
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 2 of 3");
}

// A poll handed over before a click asked the player before it had the click: showing it leaves
// what the click set alone. The poll handed over after the click shows the player's answers.
TEST_F(StatusPollTest, APollHandedOverBeforeAClickDoesNotUndoIt) {
  SetTimes(10'000, 200);
  player.SetPlaylist(20, 4);
  player.Set(RequestPlayState, 0, 1);
  player.Set(RequestGetVolume, VolumeQueryArgument, 128);
  std::promise<PlayerStatus> late;
  poll.Tick([&](const StatusPoll::Job&) { return late.get_future(); }, 0ms);
  // Pause, the volume slider moved on, PL +10 and a seek, as the controls leave them.
  shared.playState = PlayState::Paused;
  shared.listPosition = 15;
  screen.volumePosition = 7;
  screen.seekValue = 150;
  ++shared.clicks;
  late.set_value(AskPlayer(player, {}));
  poll.Tick([](const StatusPoll::Job&) { return std::future<PlayerStatus>(); }, 0ms);
  EXPECT_EQ(Caption(ControlId::lblTime), L"00:10");  // the poll was shown
  EXPECT_EQ(shared.playState, PlayState::Paused);
  EXPECT_EQ(shared.listPosition, 15);
  EXPECT_EQ(screen.volumePosition, 7);
  EXPECT_EQ(screen.seekValue, 150);

  Poll();
  EXPECT_EQ(shared.playState, PlayState::Playing);
  EXPECT_EQ(shared.listPosition, 5);
  EXPECT_EQ(screen.volumePosition, 5);
  EXPECT_EQ(screen.seekValue, 10);
}

// The current entry's file is asked for when the entry or the song title changes, not at every
// poll; a path that got no answer is asked again, and only a new path is passed on.
TEST_F(StatusPollTest, AsksTheEntrysPathOnlyWhenTheEntryOrTheTitleChanges) {
  std::vector<std::wstring> told;
  poll.onEntryPath = [&](const std::wstring& path) { told.push_back(path); };
  player.paths = {{1, L"C:\\one.mp3"}, {2, L"C:\\two.mp3"}};
  player.SetPlaylist(5, 1);
  player.songTitle = L"2. Two ";
  Poll();
  Poll();
  player.songTitle = L"2. Two, live ";  // the same entry playing something else: a stream
  Poll();
  player.SetPlaylist(5, 3);
  Poll();
  player.SetPlaylist(5, 0);
  player.silentTitles = {1};
  Poll();
  player.silentTitles.clear();
  Poll();
  Poll();
  player.SetPlaylist(0, 0);  // nothing to ask about: no path
  Poll();
  EXPECT_EQ(player.pathReads, (std::vector<int32_t>{2, 2, 4, 1, 1}));
  EXPECT_EQ(told, (std::vector<std::wstring>{L"C:\\two.mp3", L"", L"C:\\one.mp3", L""}));
}

TEST_F(StatusPollTest, StreamDetailsSongTitleAndTrackCounter) {
  player.Set(RequestStreamInfo, 0, 44);
  player.Set(RequestStreamInfo, 1, -320);
  player.Set(RequestStreamInfo, 2, 2);
  player.songTitle = L"1. Artist - Song ";
  player.SetPlaylist(20, 4);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblSample), L"44");
  EXPECT_EQ(Caption(ControlId::lblBitrate), L"-320");
  EXPECT_EQ(Caption(ControlId::lblChannels), L"2");
  EXPECT_EQ(Caption(ControlId::lblSongName), L"1. Artist - Song ");
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 5 of 20");
  EXPECT_EQ(shared.listLength, 20);
  EXPECT_EQ(shared.listPosition, 5);
  EXPECT_EQ(screen.RedLines(), std::vector<int>{5});

  player.Set(RequestStreamInfo, 0, INT32_MIN);
  player.Set(RequestStreamInfo, 1, INT32_MAX);
  Poll();
  EXPECT_EQ(Caption(ControlId::lblSample), L"-2147483648");
  EXPECT_EQ(Caption(ControlId::lblBitrate), L"2147483647");
}

TEST_F(StatusPollTest, AnswersOutside16BitsKeepThePreviousValues) {
  player.SetPlaylist(50, 9);
  Poll();
  ASSERT_EQ(shared.listLength, 50);
  ASSERT_EQ(shared.listPosition, 10);

  player.SetPlaylist(40000, -40000);
  Poll();
  EXPECT_EQ(shared.listLength, 50);
  EXPECT_EQ(shared.listPosition, 11);  // the kept 10, plus one
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 11 of 50");

  player.SetPlaylist(32768, -32769);  // one past either end of 16 bits
  Poll();
  EXPECT_EQ(shared.listLength, 50);
  EXPECT_EQ(shared.listPosition, 12);

  player.SetPlaylist(32767, 32767);
  Poll();
  EXPECT_EQ(shared.listPosition, 32767);  // the +1 would overflow: the step is skipped
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track 32767 of 32767");

  player.SetPlaylist(-32768, -32768);
  Poll();
  EXPECT_EQ(shared.listLength, -32768);
  EXPECT_EQ(shared.listPosition, -32767);
  EXPECT_EQ(Caption(ControlId::lbltrackvontracks), L"Track -32767 of -32768");
}

TEST_F(StatusPollTest, ExtremeAnswersNeverStopThePoll) {
  // Each edge as an elapsed time in ms and as a length in s, worked out by hand.
  struct Edge {
    int32_t value;
    const wchar_t* asElapsedMs;
    const wchar_t* asLengthS;
  };
  const Edge edges[] = {
      {0, L"00:00", L"00:00"},
      {1, L"00:00", L"00:01"},
      {-1, L"00:00", L"--:--"},
      {32767, L"00:32", L"546:07"},
      {-32767, L"00:00", L"--:--"},
      {32768, L"00:32", L"546:08"},
      {-32768, L"00:00", L"--:--"},
      {INT32_MIN, L"00:00", L"--:--"},
      {INT32_MAX, L"35791:23", L"35791394:07"},
  };
  const auto fits16 = [](int32_t n) { return n >= -32768 && n <= 32767; };
  // What the screen and the shared values should hold, carried from case to case.
  int32_t length = 0;
  int32_t position = 0;
  int32_t seekMaximum = screen.seekMaximum;
  int32_t seekValue = screen.seekValue;
  for (const Edge& a : edges) {
    for (const Edge& b : edges) {
      SCOPED_TRACE(::testing::Message() << "answers " << a.value << ", " << b.value);
      SetTimes(a.value, b.value);
      player.SetPlaylist(a.value, b.value);
      player.Set(RequestStreamInfo, 0, b.value);
      // Every caption and colour must be written afresh by this poll.
      for (auto& [id, caption] : screen.captions) caption = L"(stale)";
      for (auto& [id, colour] : screen.colours) colour = 0x123456;
      player.titleReads.clear();
      Poll();

      if (fits16(a.value)) length = a.value;
      if (fits16(b.value)) position = b.value;
      if (fits16(position + 1)) position += 1;
      if (b.value >= 0) {
        seekMaximum = b.value;
        const int32_t seconds = std::max(a.value / 1000, 0);
        if (seconds <= seekMaximum) seekValue = seconds;
      } else {  // an unknown length: 0 of 0
        seekMaximum = 0;
        seekValue = 0;
      }

      EXPECT_EQ(Caption(ControlId::lblTime), a.asElapsedMs);
      EXPECT_EQ(Caption(ControlId::lblTimegesamt), b.asLengthS);
      EXPECT_EQ(Caption(ControlId::lblSample), std::to_wstring(b.value));
      EXPECT_EQ(Caption(ControlId::lbltrackvontracks),
                L"Track " + std::to_wstring(position) + L" of " + std::to_wstring(length));
      EXPECT_EQ(shared.listLength, length);
      EXPECT_EQ(shared.listPosition, position);
      EXPECT_EQ(screen.seekMaximum, seekMaximum);
      EXPECT_EQ(screen.seekValue, seekValue);

      // Fifteen consecutive entries around the current one, fewer when the list is shorter; the
      // line of the current entry red, every other line green, the rest cleared.
      const int32_t shown = length < 15 ? std::max(length, 0) : 15;
      const int32_t first = length < 15 ? 1 : std::clamp(position - 7, 1, length - 14);
      ASSERT_EQ(player.titleReads.size(), static_cast<std::size_t>(shown));
      for (int line = 1; line <= ControlId::PlaylistLineCount; ++line) {
        const int32_t entry = first + line - 1;
        if (line <= shown) {
          EXPECT_EQ(player.titleReads[static_cast<std::size_t>(line - 1)], entry);
          EXPECT_EQ(screen.Line(line),
                    std::to_wstring(entry) + L" . Title " + std::to_wstring(entry));
        } else {
          EXPECT_EQ(screen.Line(line), L"") << line;
        }
        EXPECT_EQ(screen.LineColour(line),
                  line <= shown && entry == position ? ColourRed : ColourGreen)
            << line;
      }
    }
  }
}

TEST_F(StatusPollTest, CurrentLineFollowsThePlayer) {
  player.SetPlaylist(100, 49);
  Poll();
  EXPECT_EQ(poll.currentLine(), 8);
  EXPECT_EQ(screen.Line(1), L"43 . Title 43");
  player.SetPlaylist(100, 99);
  Poll();
  EXPECT_EQ(poll.currentLine(), 15);
  EXPECT_EQ(screen.RedLines(), std::vector<int>{15});
  player.SetPlaylist(100, -1);
  Poll();
  EXPECT_EQ(poll.currentLine(), 0);
  EXPECT_TRUE(screen.RedLines().empty());
}

}  // namespace
}  // namespace tokalux
