// The player link against the demo player: requests and commands as sent, the caption reader,
// the memory reader, and what they answer when the player hangs, vanishes or answers nonsense.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "harness/demo_player.h"
#include "player/player_messages.h"
#include "player/player_thread.h"
#include "player/title_text.h"
#include "player/win32_player.h"

namespace tokalux::e2e {
namespace {

class PlayerLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
  }

  DemoPlayer player_{L"--entries 20 --position 4"};
  Win32Player link_{player_.window()};
};

TEST_F(PlayerLinkTest, RequestsAndCommandsReachThePlayerWithTheirArguments) {
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), 20);
  EXPECT_EQ(link_.SendRequest(RequestListPosition, 0), 4);
  ASSERT_TRUE(player_.Control("tracklength 270"));
  EXPECT_EQ(link_.SendRequest(RequestPlayTime, 1), 270);

  ASSERT_TRUE(player_.ClearLog());
  link_.SendSetting(RequestSetListPosition, -8);  // negative indexes go through unchanged
  link_.SendSetting(RequestSeek, 95'000);
  link_.SendCommand(CommandPlay);
  // Posted: they arrive once each, in order, when the player takes them.
  const std::vector<std::string> expected = {"request 121 -8", "request 106 95000",
                                             "command 40045"};
  EXPECT_TRUE(WaitUntil([&] { return player_.ActionLog() == expected; }, 3s));
}

TEST_F(PlayerLinkTest, SongTitleIsTheCaptionBeforeTheMarker) {
  ASSERT_TRUE(player_.Control("caption Artist - Song - Winamp"));
  EXPECT_EQ(link_.ReadSongTitle(), L"Artist - Song ");
  ASSERT_TRUE(player_.Control("caption Winamp 5.9"));
  EXPECT_EQ(link_.ReadSongTitle(), L"");
  ASSERT_TRUE(player_.Control("caption " + std::string(200, 'x') + " - Winamp"));
  EXPECT_EQ(link_.ReadSongTitle(), std::wstring(156, L'x'));
  ASSERT_TRUE(player_.Control("caption auto"));
  EXPECT_TRUE(link_.ReadSongTitle().starts_with(L"5. "));
}

// The caption as the player writes it: with its state after the marker, with a title that holds
// the marker itself, and scrolling, turned on by a character every 200 ms.
TEST_F(PlayerLinkTest, SongTitleFromEveryFormOfThePlayersCaption) {
  ASSERT_TRUE(player_.Control("title 4 Tribute - Winamp Remix"));
  EXPECT_EQ(link_.ReadSongTitle(), L"5. Tribute - Winamp Remix ");
  link_.SendCommand(CommandPause);
  ASSERT_TRUE(WaitUntil([&] { return link_.SendRequest(RequestPlayState, 0) == 3; }, 2s));
  EXPECT_EQ(link_.ReadSongTitle(), L"5. Tribute - Winamp Remix ");
  link_.SendCommand(CommandStop);
  ASSERT_TRUE(WaitUntil([&] { return link_.SendRequest(RequestPlayState, 0) == 0; }, 2s));
  EXPECT_EQ(link_.ReadSongTitle(), L"5. Tribute - Winamp Remix ");
  ASSERT_TRUE(player_.Control("scroll on"));
  std::set<std::wstring> captions;
  for (int i = 0; i < 12; ++i) {
    captions.insert(WindowText(player_.window()).value_or(L""));
    EXPECT_EQ(link_.ReadSongTitle(), L"5. Tribute - Winamp Remix ") << i;
    PumpFor(100ms);
  }
  EXPECT_GT(captions.size(), 3u) << "the caption did not scroll";
}

TEST_F(PlayerLinkTest, PlaylistTitlesAreReadOutOfThePlayersMemory) {
  ASSERT_TRUE(player_.Control("title 11 Intro"));
  EXPECT_EQ(link_.ReadPlaylistTitle(12), L"Intro");

  // ANSI bytes are widened with the system code page.
  ASSERT_TRUE(player_.Control("titlebytes 0 436166E92080"));
  wchar_t expected[8] = {};
  ::MultiByteToWideChar(CP_ACP, 0, "Caf\xE9 \x80", -1, expected, 8);
  EXPECT_EQ(link_.ReadPlaylistTitle(1), expected);

  // 256 bytes with no zero arrive cut to 256 characters.
  ASSERT_TRUE(player_.Control("titlebytes 2 " + std::string(600, '4')));
  EXPECT_EQ(link_.ReadPlaylistTitle(3), std::wstring(256, L'D'));

  // A title right at the end of the player's readable memory is still read.
  ASSERT_TRUE(player_.Control("titleatpageend 3 Edge"));
  EXPECT_EQ(link_.ReadPlaylistTitle(4), L"Edge");
}

TEST_F(PlayerLinkTest, UnreadableTitlesAreEmptyNotThePreviousOne) {
  EXPECT_NE(link_.ReadPlaylistTitle(1).value_or(L""), L"");
  EXPECT_EQ(link_.ReadPlaylistTitle(21), L"");  // past the end: address 0
  EXPECT_NE(link_.ReadPlaylistTitle(1).value_or(L""), L"");
  EXPECT_EQ(link_.ReadPlaylistTitle(0), L"");
  EXPECT_EQ(link_.ReadPlaylistTitle(-5), L"");

  // An address into nothing, -1, one beyond any process, and 1 (what a player answers to a
  // request it does not know), answered to the UTF-16 title request: the same title comes
  // through the ANSI one. Answered to that too, nothing can be read.
  ASSERT_TRUE(player_.Control("title 0 Grüße"));
  const char* const answers[] = {"0x10", "-1", "0x7FFFFFFFFFFF0000", "1"};
  for (const char* answer : answers) {
    ASSERT_TRUE(player_.Control(std::string("answer 213 * ") + answer));
    EXPECT_EQ(link_.ReadPlaylistTitle(1), ThroughCodePage(L"Grüße")) << "213 " << answer;
    ASSERT_TRUE(player_.Control(std::string("answer 212 * ") + answer));
    EXPECT_EQ(link_.ReadPlaylistTitle(1), L"") << "212 " << answer;
    ASSERT_TRUE(player_.Control("answer clear"));
  }
}

TEST_F(PlayerLinkTest, TitlesInEveryScriptWhereThePlayerOffersUtf16) {
  ASSERT_TRUE(player_.Control("title 0 Кино"));
  ASSERT_TRUE(player_.Control("titleatpageend 1 Ελλάδα"));      // its zero ends a readable page
  ASSERT_TRUE(player_.Control("titleodd 2 上を向いて歩こう"));  // at an odd address
  ASSERT_TRUE(player_.Control("caption Χαρούλα - Winamp"));
  EXPECT_EQ(link_.ReadPlaylistTitle(1), L"Кино");
  EXPECT_EQ(link_.ReadPlaylistTitle(2), L"Ελλάδα");
  EXPECT_EQ(link_.ReadPlaylistTitle(3), L"上を向いて歩こう");
  EXPECT_EQ(link_.ReadSongTitle(), L"Χαρούλα ");

  // One odd answer to the UTF-16 request: that title comes through the code page, and the
  // player is still asked for UTF-16 titles.
  ASSERT_TRUE(player_.Control("answer 213 1 1"));
  EXPECT_EQ(link_.ReadPlaylistTitle(2), ThroughCodePage(L"Ελλάδα"));
  EXPECT_EQ(link_.ReadPlaylistTitle(1), L"Кино");
  ASSERT_TRUE(player_.Control("answer clear"));

  // An old player (it answers 1 to the UTF-16 request): what its code page makes of them, and
  // after a run of titles that only the ANSI request gave, no more UTF-16 requests.
  ASSERT_TRUE(player_.Control("old on"));
  ASSERT_TRUE(player_.ClearLog());
  EXPECT_EQ(link_.ReadPlaylistTitle(1), ThroughCodePage(L"Кино"));
  EXPECT_EQ(link_.ReadSongTitle(), ThroughCodePage(L"Χαρούλα "));
  for (int32_t n = 1; n <= 20; ++n) EXPECT_NE(link_.ReadPlaylistTitle(n).value_or(L""), L"") << n;
  const auto log = player_.LogLines();
  ASSERT_TRUE(log);
  const auto count = [&](std::string_view request) {
    return std::count_if(log->begin(), log->end(),
                         [&](const std::string& line) { return line.starts_with(request); });
  };
  EXPECT_EQ(count("request 213 "), Utf16MissesBeforeAnsiOnly);
  EXPECT_EQ(count("request 212 "), 21);
}

// An entry's file path comes like its title: UTF-16 where the player offers it, through the code
// page from an older player, and whole up to 32767 characters.
TEST_F(PlayerLinkTest, EntryPathsAreReadLikeTitles) {
  ASSERT_TRUE(player_.Control("path 3 C:\\\\Музыка\\\\Кино.mp3"));
  EXPECT_EQ(link_.ReadEntryPath(4), L"C:\\Музыка\\Кино.mp3");
  const std::string longPath = "\\\\\\\\server\\\\share\\\\" + std::string(32700, 'x');
  ASSERT_TRUE(player_.Control("path 0 " + longPath));
  EXPECT_EQ(link_.ReadEntryPath(1), L"\\\\server\\share\\" + std::wstring(32700, L'x'));
  EXPECT_EQ(link_.ReadEntryPath(21), L"");  // past the end: no path
  ASSERT_TRUE(player_.Control("old on"));
  EXPECT_EQ(link_.ReadEntryPath(4), ThroughCodePage(L"C:\\Музыка\\Кино.mp3"));
}

TEST_F(PlayerLinkTest, RandomAnswersGiveDefinedResults) {
  ASSERT_TRUE(player_.Control("random on 7"));
  for (int32_t n = -50; n < 250; ++n) {
    EXPECT_LE(link_.ReadPlaylistTitle(n).value_or(L"").size(), 256u);
    link_.SendRequest(RequestListLength, 0);
  }
  EXPECT_LE(link_.ReadSongTitle().size(), 156u);
}

// Milliseconds since start, read with the performance counter.
double MsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now;
}

// A request waits 250 ms for a hung player and gets no answer (not a 0), then for half a second
// after that every request gets no answer at once; past that, a request waits again. A wait lasts
// at least 240 ms, so anything shorter was no wait, however busy the machine; and each request
// is judged by the moment it was really made, which a busy machine may put off.
TEST_F(PlayerLinkTest, AHungPlayerCostsOneShortWaitThenAnswersAgain) {
  ASSERT_TRUE(player_.Control("hang 4000"));
  LARGE_INTEGER start = Now();
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), std::nullopt);
  const double wait = MsSince(start);
  EXPECT_GE(wait, 240.0);
  EXPECT_LT(wait, 800.0);

  const LARGE_INTEGER timedOut = Now();
  // Within the quiet (surely so before 400 ms), a request is answered with nothing at once.
  const auto quietRequest = [&](auto request, const char* what) {
    const bool quiet = MsSince(timedOut) < 400.0;
    start = Now();
    EXPECT_EQ(request(), std::nullopt) << what;
    if (quiet) {
      EXPECT_LT(MsSince(start), 240.0) << what << " waited within the quiet";
    }
  };
  for (int i = 0; i < 20; ++i)
    quietRequest([&] { return link_.SendRequest(RequestPlayTime, 0); }, "time");
  quietRequest([&] { return link_.ReadPlaylistTitle(1); }, "title");
  WaitUntil([&] { return MsSince(timedOut) >= 300.0; }, 2s);
  quietRequest([&] { return link_.SendRequest(RequestListLength, 0); }, "300 ms on");

  WaitUntil([&] { return MsSince(timedOut) >= 600.0; }, 2s);
  start = Now();
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), std::nullopt);
  EXPECT_GE(MsSince(start), 240.0) << "600 ms after a timeout a request still answered at once";

  EXPECT_TRUE(WaitUntil([&] { return link_.SendRequest(RequestListLength, 0) == 20; }, 10s));
  EXPECT_NE(link_.ReadPlaylistTitle(1).value_or(L""), L"");
}

// Clicks are posted: made while the player hangs, and in the quiet after it, they take no time
// and reach it once each, in the order made, when it answers again.
TEST_F(PlayerLinkTest, ClicksWhileThePlayerHangsReachItOnceEachInOrder) {
  ASSERT_TRUE(player_.ClearLog());
  ASSERT_TRUE(player_.Control("hang 1500"));
  const ULONGLONG start = ::GetTickCount64();
  link_.SendCommand(CommandStop);
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), std::nullopt);  // times out: quiet
  link_.SendSetting(RequestSetListPosition, 6);
  link_.SendCommand(CommandPlay);
  EXPECT_LT(::GetTickCount64() - start, 600u) << "a click waited on the player";
  const std::vector<std::string> expected = {"command 40047", "request 121 6", "command 40045"};
  EXPECT_TRUE(WaitUntil([&] { return player_.ActionLog() == expected; }, 5s));
  EXPECT_TRUE(WaitUntil([&] { return link_.SendRequest(RequestListPosition, 0) == 6; }, 3s));
  PumpFor(500ms);
  EXPECT_EQ(player_.ActionLog(), expected);
}

// The player thread posts a click made while a job runs before the job's next request, and the
// job gets no answer to the rest of its requests: a slow player takes the click first, not after
// a poll of a few dozen slow answers.
TEST_F(PlayerLinkTest, AClickMadeDuringAJobGoesBeforeTheRestOfIt) {
  PlayerThread thread;
  ASSERT_TRUE(thread.playerFound());
  ASSERT_TRUE(player_.ClearLog());
  std::promise<void> started;
  std::promise<void> clicked;
  auto answers = thread.Submit<std::vector<std::optional<int32_t>>>([&](PlayerLink& link) {
    std::vector<std::optional<int32_t>> got{link.SendRequest(RequestListLength, 0)};
    started.set_value();
    clicked.get_future().wait();
    got.push_back(link.SendRequest(RequestListLength, 0));
    got.push_back(link.ReadPlaylistTitle(1).has_value() ? 1 : std::optional<int32_t>());
    return got;
  });
  started.get_future().wait();
  thread.SendCommand(CommandNext);
  clicked.set_value();
  const std::vector<std::optional<int32_t>> expected = {20, std::nullopt, std::nullopt};
  EXPECT_EQ(answers.get(), expected);
  EXPECT_TRUE(WaitUntil([&] { return player_.Logged("command 40048"); }, 3s));
  EXPECT_EQ(player_.LogLines(), (std::vector<std::string>{"request 124 0", "command 40048"}));
}

TEST_F(PlayerLinkTest, AVanishedPlayerAnswersZeroAndNothing) {
  ASSERT_TRUE(player_.Control("vanish"));
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(player_.window()); }, 5s));
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), 0);
  link_.SendCommand(CommandPlay);
  EXPECT_EQ(link_.ReadSongTitle(), L"");
  EXPECT_EQ(link_.ReadPlaylistTitle(1), L"");
}

TEST_F(PlayerLinkTest, APlayerStartedAgainIsReadAfresh) {
  EXPECT_NE(link_.ReadPlaylistTitle(1).value_or(L""), L"");
  player_.process().Kill();
  DemoPlayer second(L"--entries 3");
  ASSERT_NE(second.window(), nullptr);
  ASSERT_TRUE(second.Control("title 0 Second"));
  // Once the window found at start-up is gone, everything goes to the new player.
  EXPECT_EQ(link_.ReadPlaylistTitle(1), L"Second");
  EXPECT_EQ(link_.SendRequest(RequestListLength, 0), 3);
  ASSERT_TRUE(second.Control("caption Second Song - Winamp"));
  EXPECT_EQ(link_.ReadSongTitle(), L"Second Song ");
}

}  // namespace
}  // namespace tokalux::e2e
