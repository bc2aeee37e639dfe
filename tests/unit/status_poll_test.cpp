#include "remote/status_poll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>

#include "fakes.h"
#include "player/player_source.h"

namespace tokalux {
namespace {

using testing::FakePlayer;
using testing::FakeScreen;
using testing::FakeSource;
using namespace std::chrono_literals;

// ---- The classic player's half: what a poll asks and what it makes of the answers ----

TEST(AskPlayer, SendsTheRequestsInOrder) {
  FakePlayer player;
  player.SetPlaylist(2, 0);
  PollBasis basis;
  AskPlayer(player, basis);
  const std::vector<std::string> expected = {"request 105 0", "request 105 1", "request 126 0",
                                             "request 126 1", "request 126 2", "request 122 -666",
                                             "request 124 0", "request 125 0", "request 104 0"};
  EXPECT_EQ(player.sent, expected);
  EXPECT_EQ(player.titleReads, (std::vector<int32_t>{1, 2}));
}

TEST(AskPlayer, AnswersBecomeMeanings) {
  FakePlayer player;
  player.Set(RequestPlayTime, 0, 83'456);
  player.Set(RequestPlayTime, 1, -1);
  for (int32_t which = 0; which < 3; ++which) player.Set(RequestStreamInfo, which, 44 + which);
  player.Set(RequestGetVolume, VolumeQueryArgument, 128);
  player.SetPlaylist(20, 4);
  player.songTitle = L"Artist - Song ";
  PollBasis basis;
  const Status status = AskPlayer(player, basis);
  EXPECT_EQ(status.elapsedMs, 83'456);
  EXPECT_EQ(status.lengthS, -1);
  EXPECT_EQ(status.songTitle, L"Artist - Song ");
  EXPECT_EQ(status.stream, (std::array<std::optional<std::wstring>, 3>{L"44", L"45", L"46"}));
  EXPECT_EQ(status.volume, 128);
  EXPECT_EQ(status.list, (ListPlace{20, 5}));  // the player counts from 0

  for (const auto& [answer, state] : {std::pair{1, PlayState::Playing},
                                      {3, PlayState::Paused},
                                      {0, PlayState::Stopped},
                                      {7, PlayState::Unknown}}) {
    player.Set(RequestPlayState, 0, answer);
    EXPECT_EQ(AskPlayer(player, basis).playState, state) << answer;
  }
}

// No answer is not an answer: nothing of it reaches the status, and the list values are the ones
// shown.
TEST(AskPlayer, NoAnswerIsNoneAndTheListStaysAsShown) {
  FakePlayer player;
  player.stalled = true;
  player.songTitle = L"still read";  // the caption is kept by the system: always there
  PollBasis basis;
  basis.list = {30, 12};
  const Status status = AskPlayer(player, basis);
  EXPECT_EQ(status.elapsedMs, std::nullopt);
  EXPECT_EQ(status.lengthS, std::nullopt);
  EXPECT_EQ(status.stream, (std::array<std::optional<std::wstring>, 3>{}));
  EXPECT_EQ(status.volume, std::nullopt);
  EXPECT_EQ(status.playState, std::nullopt);
  EXPECT_EQ(status.songTitle, L"still read");
  EXPECT_EQ(status.list, (ListPlace{30, 12}));
  EXPECT_EQ(status.range.first, 5);
  EXPECT_EQ(status.titles, std::vector<std::optional<std::wstring>>(15));
  EXPECT_EQ(status.entryPath, std::nullopt);
}

TEST(AskPlayer, AnswersOutside16BitsKeepTheValuesShown) {
  struct Case {
    ListPlace shown;
    int32_t length;
    int32_t zeroBasedPosition;
    ListPlace expected;
  };
  const Case cases[] = {
      {{0, 0}, 50, 9, {50, 10}},
      {{50, 10}, 40000, -40000, {50, 11}},       // the kept 10, plus one
      {{50, 11}, 32768, -32769, {50, 12}},       // one past either end of 16 bits
      {{50, 12}, 32767, 32767, {32767, 32767}},  // the +1 would overflow: the step is skipped
      {{50, 12}, -32768, -32768, {-32768, -32767}},
  };
  for (const Case& c : cases) {
    FakePlayer player;
    player.SetPlaylist(c.length, c.zeroBasedPosition);
    PollBasis basis;
    basis.list = c.shown;
    EXPECT_EQ(AskPlayer(player, basis).list, c.expected) << c.length << " " << c.zeroBasedPosition;
  }
}

// The current entry's file is asked for when the entry or the song title changes, not at every
// poll; a path that got no answer is asked again.
TEST(AskPlayer, AsksTheEntrysPathOnlyWhenTheEntryOrTheTitleChanges) {
  FakePlayer player;
  LinkAtOnce queue(player);
  PlayerSource source(queue);
  std::vector<std::optional<std::wstring>> paths;
  const auto poll = [&] { paths.push_back(source.Poll({}).get().entryPath); };
  player.paths = {{1, L"C:\\one.mp3"}, {2, L"C:\\two.mp3"}};
  player.SetPlaylist(5, 1);
  player.songTitle = L"2. Two ";
  poll();
  poll();
  player.songTitle = L"2. Two, live ";  // the same entry playing something else: a stream
  poll();
  player.SetPlaylist(5, 3);
  poll();
  player.SetPlaylist(5, 0);
  player.silentTitles = {1};
  poll();
  player.silentTitles.clear();
  poll();
  poll();
  player.SetPlaylist(0, 0);  // nothing to ask about: no path
  poll();
  EXPECT_EQ(player.pathReads, (std::vector<int32_t>{2, 2, 4, 1, 1}));
  const std::vector<std::optional<std::wstring>> expected = {
      L"C:\\two.mp3", std::nullopt,   L"C:\\two.mp3", L"",
      std::nullopt,   L"C:\\one.mp3", std::nullopt,   L""};
  EXPECT_EQ(paths, expected);
}

// ---- The screen's half: a status of meanings on the screen ----

class StatusPollTest : public ::testing::Test {
 protected:
  void Poll() { poll.Tick(0ms); }
  void SetTimes(int32_t elapsedMs, int32_t lengthS) {
    source.status.elapsedMs = elapsedMs;
    source.status.lengthS = lengthS;
  }
  // A playlist as a source gives it: the lines around the position, entry n titled "Title n".
  void SetList(int16_t length, int16_t position) {
    Status& status = source.status;
    status.list = {length, position};
    status.range = ComputePlaylistWindow(length, position);
    status.titles.clear();
    for (int32_t entry = status.range.first; entry <= status.range.last; ++entry) {
      status.titles.push_back(L"Title " + std::to_wstring(entry));
    }
  }

  FakeSource source;
  FakeScreen screen;
  SharedValues shared;
  StatusPoll poll{source, screen, shared};
};

TEST_F(StatusPollTest, ShowsTimesAndMovesTheSeekSlider) {
  SetTimes(83'456, 270);
  Poll();
  EXPECT_EQ(screen.elapsed, L"01:23");
  EXPECT_EQ(screen.total, L"04:30");
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
    EXPECT_EQ(screen.elapsed, text) << elapsed;
  }
  SetTimes(0, INT32_MAX);
  Poll();
  EXPECT_EQ(screen.total, L"35791394:07");
}

TEST_F(StatusPollTest, AnUnknownLengthShowsDashesWithTheSeekSliderAtZeroOfZero) {
  SetTimes(5000, 100);
  Poll();
  ASSERT_EQ(screen.seekMaximum, 100);
  // A stream: the source does not know the length.
  SetTimes(65'000, -1);
  Poll();
  EXPECT_EQ(screen.total, L"--:--");
  EXPECT_EQ(screen.elapsed, L"01:05");
  EXPECT_EQ(screen.seekMaximum, 0);
  EXPECT_EQ(screen.seekValue, 0);
  SetTimes(-1000, INT32_MIN);
  Poll();
  EXPECT_EQ(screen.total, L"--:--");
  EXPECT_EQ(screen.elapsed, L"00:00");
  EXPECT_EQ(screen.seekMaximum, 0);
  // A length known again brings both back.
  SetTimes(7000, 200);
  Poll();
  EXPECT_EQ(screen.total, L"03:20");
  EXPECT_EQ(screen.seekMaximum, 200);
  EXPECT_EQ(screen.seekValue, 7);
}

TEST_F(StatusPollTest, TheVolumeSliderShowsTheVolumeUnlessHeld) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 0},    {12, 0},  {128, 5},
                                               {255, 10}, {200, 8}, {204, 8}};
  for (const auto& [volume, position] : cases) {
    source.status.volume = volume;
    Poll();
    EXPECT_EQ(screen.volumePosition, position) << volume;
  }
  // A volume outside 0..255 and a slider held by the user are left alone.
  source.status.volume = 256;
  Poll();
  EXPECT_EQ(screen.volumePosition, 8);
  source.status.volume = 255;
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
  EXPECT_EQ(screen.elapsed, L"00:12");  // the time keeps counting
}

// A source that stops answering keeps the screen as its last answers left it: nothing drops to
// the zeros of a vanished player, and the controls go by the same kept values.
TEST_F(StatusPollTest, NoAnswerKeepsTheLastAnsweredValues) {
  SetTimes(83'000, 270);
  source.status.stream = {L"44", L"45", L"46"};
  source.status.volume = 128;
  source.status.playState = PlayState::Paused;
  SetList(30, 12);
  Poll();
  const FakeScreen before = screen;
  ASSERT_EQ(screen.Line(8), L"12 . Title 12");

  // Nothing answered but the song title; the list as it was handed over.
  Status none;
  none.songTitle = L"still read";
  none.list = source.status.list;  // a source hands back the list it was given: the one shown
  none.range = source.status.range;
  none.titles.resize(source.status.titles.size());
  source.status = none;
  Poll();
  FakeScreen expected = before;
  expected.songTitle = L"still read";
  EXPECT_EQ(screen.Texts(), expected.Texts());
  EXPECT_EQ(screen.seekMaximum, 270);
  EXPECT_EQ(screen.seekValue, 83);
  EXPECT_EQ(screen.volumePosition, 5);
  EXPECT_EQ(shared.listLength, 30);
  EXPECT_EQ(shared.listPosition, 12);
  EXPECT_EQ(shared.playState, PlayState::Paused);
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{8});

  // Answers come back in part: the range moves on by one and only entry 13's title and the
  // elapsed time are missing. The line of entry 13 keeps the title it showed, the new last line
  // has none yet, and the slider goes by the length now answered and the elapsed time kept.
  SetTimes(0, 270);
  source.status.elapsedMs.reset();
  SetList(30, 13);
  source.status.titles[7].reset();   // entry 13
  source.status.titles[14].reset();  // entry 20
  source.status.titles[0] = L"Six, renamed";
  Poll();
  EXPECT_EQ(screen.trackCounter, L"Track 13 of 30");
  EXPECT_EQ(screen.Line(1), L"6 . Six, renamed");
  EXPECT_EQ(screen.Line(7), L"12 . Title 12");
  EXPECT_EQ(screen.Line(8), L"13 . Title 13");
  EXPECT_EQ(screen.Line(15), L"20 . ");
  EXPECT_EQ(screen.elapsed, L"01:23");
  EXPECT_EQ(screen.seekValue, 83);
}

// The hand-off: a poll that has not come back within the bound is shown at a later tick, and no
// second poll is handed over meanwhile; a tick never waits past its bound.
TEST_F(StatusPollTest, ALatePollIsShownLaterAndNoSecondQueuesBehindIt) {
  source.late.emplace();
  auto tick = std::async(std::launch::async, [&] { poll.Tick(20ms); });
  if (tick.wait_for(5s) != std::future_status::ready) {
    source.late->set_value({});  // lets the tick go, so the test ends
    FAIL() << "the tick waited past its bound";
  }
  poll.Tick(20ms);
  EXPECT_EQ(source.polls.size(), 1u);
  EXPECT_EQ(screen.trackCounter, std::nullopt);

  SetList(3, 2);
  source.late->set_value(source.status);
  source.late.reset();
  poll.Tick(20ms);
  EXPECT_EQ(source.polls.size(), 1u);
  EXPECT_EQ(screen.trackCounter, L"Track 2 of 3");
  Poll();  // the next tick hands over a new poll, going by the list shown
  EXPECT_EQ(source.polls.size(), 2u);
  EXPECT_EQ(source.polls.back(), (ListPlace{3, 2}));
}

// A poll handed over before a click asked the source before it had the click: showing it leaves
// what the click set alone. The poll handed over after the click shows the source's answers.
TEST_F(StatusPollTest, APollHandedOverBeforeAClickDoesNotUndoIt) {
  SetTimes(10'000, 200);
  SetList(20, 5);
  source.status.playState = PlayState::Playing;
  source.status.volume = 128;
  source.late.emplace();
  poll.Tick(0ms);
  // Pause, the volume slider moved on, PL +10 and a seek, as the controls leave them.
  shared.playState = PlayState::Paused;
  shared.listPosition = 15;
  screen.volumePosition = 7;
  screen.seekValue = 150;
  ++shared.clicks;
  source.late->set_value(source.status);
  source.late.reset();
  poll.Tick(0ms);
  EXPECT_EQ(screen.elapsed, L"00:10");  // the poll was shown
  EXPECT_EQ(shared.playState, PlayState::Paused);
  EXPECT_EQ(shared.listPosition, 15);
  EXPECT_EQ(screen.volumePosition, 7);
  EXPECT_EQ(screen.seekValue, 150);

  Poll();
  EXPECT_EQ(source.polls.back(), (ListPlace{0, 15}));  // it went by what the click set
  EXPECT_EQ(shared.playState, PlayState::Playing);
  EXPECT_EQ(shared.listPosition, 5);
  EXPECT_EQ(screen.volumePosition, 5);
  EXPECT_EQ(screen.seekValue, 10);
}

// Only a path other than the last one answered is passed on; a poll that did not learn the path
// passes nothing.
TEST_F(StatusPollTest, TellsTheEntrysPathOnlyWhenItChanges) {
  std::vector<std::wstring> told;
  poll.onEntryPath = [&](const std::wstring& path, const auto&) { told.push_back(path); };
  const std::optional<std::wstring> paths[] = {L"C:\\two.mp3", std::nullopt,   L"C:\\two.mp3", L"",
                                               std::nullopt,   L"C:\\one.mp3", L"C:\\one.mp3", L""};
  for (const auto& path : paths) {
    source.status.entryPath = path;
    Poll();
  }
  EXPECT_EQ(told, (std::vector<std::wstring>{L"C:\\two.mp3", L"", L"C:\\one.mp3", L""}));
}

TEST_F(StatusPollTest, StreamDetailsSongTitleAndTrackCounter) {
  source.status.stream = {L"44", L"-320", L"2"};
  source.status.songTitle = L"1. Artist - Song ";
  SetList(20, 5);
  Poll();
  EXPECT_EQ(screen.stream, (std::array<std::optional<std::wstring>, 3>{L"44", L"-320", L"2"}));
  EXPECT_EQ(screen.songTitle, L"1. Artist - Song ");
  EXPECT_EQ(screen.trackCounter, L"Track 5 of 20");
  EXPECT_EQ(shared.listLength, 20);
  EXPECT_EQ(shared.listPosition, 5);
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{5});

  source.status.stream = {L"-2147483648", L"2147483647", std::nullopt};
  Poll();
  EXPECT_EQ(screen.stream,
            (std::array<std::optional<std::wstring>, 3>{L"-2147483648", L"2147483647", L"2"}));
}

// A source without a playlist: its own track counter, the sources on the lines (the shown one
// marked), and the controls following what it takes.
TEST_F(StatusPollTest, SourceLinesTrackTextAndTakenActions) {
  SetList(100, 50);
  source.status.trackText = L"Track 3 of 12";
  source.status.sourceLines = SourceLines{{L"Winamp - A", L"Spotify - B"}, 1};
  source.status.accepted = ActionBit(ActionKind::Play);
  Poll();
  EXPECT_EQ(screen.trackCounter, L"Track 3 of 12");
  EXPECT_EQ(screen.Line(1), L"1 . Winamp - A");
  EXPECT_EQ(screen.Line(2), L"2 . Spotify - B");
  EXPECT_EQ(screen.Line(3), L"");
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{2});
  EXPECT_TRUE(shared.sourceLines);
  EXPECT_EQ(screen.accepted, ActionBit(ActionKind::Play));
  EXPECT_EQ(shared.accepted, ActionBit(ActionKind::Play));
}

TEST_F(StatusPollTest, TheCurrentLineFollowsTheList) {
  SetList(100, 50);
  Poll();
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{8});
  EXPECT_EQ(screen.Line(1), L"43 . Title 43");
  SetList(100, 100);
  Poll();
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{15});
  SetList(100, 0);
  Poll();
  EXPECT_TRUE(screen.CurrentLines().empty());
}

// ---- Both halves: the classic player's answers on the screen ----

TEST(PlayerOnScreen, EveryAnswerZeroLikeAVanishedPlayer) {
  testing::PlayerOnScreen wired;
  wired.poll.Tick(0ms);
  const FakeScreen& screen = wired.screen;
  EXPECT_EQ(screen.elapsed, L"00:00");
  EXPECT_EQ(screen.total, L"00:00");
  EXPECT_EQ(screen.stream, (std::array<std::optional<std::wstring>, 3>{L"0", L"0", L"0"}));
  EXPECT_EQ(screen.trackCounter, L"Track 1 of 0");
  EXPECT_EQ(screen.songTitle, L"");
  EXPECT_TRUE(screen.CurrentLines().empty());
  EXPECT_TRUE(wired.player.titleReads.empty());
}

TEST(PlayerOnScreen, ExtremeAnswersNeverStopThePoll) {
  testing::PlayerOnScreen wired;
  auto& [player, queue, source, screen, shared, poll] = wired;
  const auto SetTimes = [&](int32_t elapsedMs, int32_t lengthS) {
    player.Set(RequestPlayTime, 0, elapsedMs);
    player.Set(RequestPlayTime, 1, lengthS);
  };
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
      // Every text and mark must be written afresh by this poll.
      screen.SetEveryText(L"(stale)");
      screen.current.fill(true);
      player.titleReads.clear();
      poll.Tick(0ms);

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

      EXPECT_EQ(screen.elapsed, a.asElapsedMs);
      EXPECT_EQ(screen.total, b.asLengthS);
      EXPECT_EQ(screen.stream[0], std::to_wstring(b.value));
      EXPECT_EQ(screen.trackCounter,
                L"Track " + std::to_wstring(position) + L" of " + std::to_wstring(length));
      EXPECT_EQ(shared.listLength, length);
      EXPECT_EQ(shared.listPosition, position);
      EXPECT_EQ(screen.seekMaximum, seekMaximum);
      EXPECT_EQ(screen.seekValue, seekValue);

      // Fifteen consecutive entries around the current one, fewer when the list is shorter; the
      // line of the current entry marked, the rest cleared.
      const int32_t shown = length < 15 ? std::max(length, 0) : 15;
      const int32_t first = length < 15 ? 1 : std::clamp(position - 7, 1, length - 14);
      ASSERT_EQ(player.titleReads.size(), static_cast<std::size_t>(shown));
      for (int line = 1; line <= PlaylistLineCount; ++line) {
        const int32_t entry = first + line - 1;
        if (line <= shown) {
          EXPECT_EQ(player.titleReads[static_cast<std::size_t>(line - 1)], entry);
          EXPECT_EQ(screen.Line(line),
                    std::to_wstring(entry) + L" . Title " + std::to_wstring(entry));
        } else {
          EXPECT_EQ(screen.Line(line), L"") << line;
        }
        EXPECT_EQ(screen.current[static_cast<std::size_t>(line - 1)],
                  line <= shown && entry == position)
            << line;
      }
    }
  }
}

}  // namespace
}  // namespace tokalux
