// The screen follows the player: the running tokalux.scr against the demo player, its labels,
// seek slider and playlist lines read from outside.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/screen_saver.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;

// A playlist file of "Song 1" .. "Song n" for the demo player.
std::wstring SongList(int n) {
  const std::wstring path = ScratchPath(L"playlist");
  std::ofstream file(std::filesystem::path{path});
  for (int i = 1; i <= n; ++i) file << "Song " << i << "\t200\n";
  return path;
}

std::wstring Line(int entry) {
  return std::to_wstring(entry) + L" . Song " + std::to_wstring(entry);
}

class StatusDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    for (const char* command : {"clock off", "position 11", "time 83456", "tracklength 270",
                                "stream 44 192 2", "caption Artist - Song - Winamp"}) {
      ASSERT_TRUE(player_.Control(command)) << command;
    }
    ASSERT_NE(saver_.WaitForForm(), nullptr);
  }
  ~StatusDisplayTest() override { ::DeleteFileW(playlist_.c_str()); }

  bool Shows(int controlId, const std::wstring& caption, std::chrono::milliseconds timeout = 5s) {
    return saver_.WaitForCaption(controlId, caption, timeout);
  }
  std::optional<std::wstring> Text(int controlId) const {
    return WindowText(saver_.Control(controlId));
  }
  bool LineIs(int line, COLORREF colour) const {
    return RectShowsColour(ScreenRect(saver_.Control(id::lblplaylist(line))), colour);
  }
  // The lines that show red on screen.
  std::vector<int> RedLines() const {
    std::vector<int> red;
    for (int line = 1; line <= 15; ++line) {
      if (LineIs(line, RGB(255, 0, 0))) red.push_back(line);
    }
    return red;
  }

  std::wstring playlist_ = SongList(30);
  DemoPlayer player_{L"--playlist \"" + playlist_ + L"\""};
  ScreenSaver saver_{L"/S"};
};

TEST_F(StatusDisplayTest, ShowsTimesTitleStreamAndTrackCounter) {
  EXPECT_TRUE(Shows(id::lblTime, L"01:23"));
  EXPECT_TRUE(Shows(id::lblTimegesamt, L"04:30"));
  EXPECT_TRUE(Shows(id::lblSongName, L"Artist - Song "));
  EXPECT_TRUE(Shows(id::lblSample, L"44"));
  EXPECT_TRUE(Shows(id::lblBitrate, L"192"));
  EXPECT_TRUE(Shows(id::lblChannels, L"2"));
  EXPECT_TRUE(Shows(id::lbltrackvontracks, L"Track 12 of 30"));

  const HWND seek = saver_.Control(id::sldLength);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
}

TEST_F(StatusDisplayTest, AStreamOfUnknownLengthShowsDashesAndNoSeekRange) {
  const HWND seek = saver_.Control(id::sldLength);
  ASSERT_TRUE(Shows(id::lblTimegesamt, L"04:30"));
  ASSERT_TRUE(player_.Control("answer 105 1 -1"));  // the length of an internet radio stream
  EXPECT_TRUE(Shows(id::lblTimegesamt, L"--:--"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 0);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(Text(id::lblTime), L"01:23");
  ASSERT_TRUE(player_.Control("answer clear"));
  EXPECT_TRUE(Shows(id::lblTimegesamt, L"04:30"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
}

TEST_F(StatusDisplayTest, FifteenLinesAroundTheCurrentEntryWithItsLineRed) {
  ASSERT_TRUE(Shows(id::lblplaylist(1), Line(5)));
  for (int line = 1; line <= 15; ++line) EXPECT_EQ(Text(id::lblplaylist(line)), Line(line + 4));
  EXPECT_EQ(RedLines(), std::vector<int>{8});
  EXPECT_TRUE(LineIs(1, RGB(0, 255, 0)));
}

TEST_F(StatusDisplayTest, FollowsThePlayerToTheEndOfTheListAndAcrossAShrink) {
  ASSERT_TRUE(player_.Control("position 29"));
  ASSERT_TRUE(Shows(id::lbltrackvontracks, L"Track 30 of 30"));
  ASSERT_TRUE(Shows(id::lblplaylist(15), Line(30)));
  EXPECT_EQ(Text(id::lblplaylist(1)), Line(16));
  EXPECT_EQ(RedLines(), std::vector<int>{15});

  // Down to five entries: no line keeps an entry that no longer exists, and one line is red.
  ASSERT_TRUE(player_.Control("entries 5"));
  ASSERT_TRUE(player_.Control("position 2"));
  ASSERT_TRUE(Shows(id::lbltrackvontracks, L"Track 3 of 5"));
  ASSERT_TRUE(Shows(id::lblplaylist(6), L""));
  for (int line = 6; line <= 15; ++line)
    EXPECT_EQ(Text(id::lblplaylist(line)), std::wstring()) << line;
  EXPECT_EQ(RedLines(), std::vector<int>{3});
}

TEST_F(StatusDisplayTest, TitlesInEveryScript) {
  // Entry 12 is the current one, on line 8; 13 and 14 follow.
  const std::wstring titles[] = {L"Кино - Группа крови", L"Χαρούλα - Ζωή",
                                 L"坂本九 - 上を向いて歩こう"};
  ASSERT_TRUE(player_.Control("title 11 Кино - Группа крови"));
  ASSERT_TRUE(player_.Control("title 12 Χαρούλα - Ζωή"));
  ASSERT_TRUE(player_.Control("title 13 坂本九 - 上を向いて歩こう"));
  ASSERT_TRUE(player_.Control("caption auto"));
  EXPECT_TRUE(Shows(id::lblSongName, L"12. " + titles[0] + L" "));
  EXPECT_TRUE(Shows(id::lblplaylist(8), L"12 . " + titles[0]));
  EXPECT_EQ(Text(id::lblplaylist(9)), L"13 . " + titles[1]);
  EXPECT_EQ(Text(id::lblplaylist(10)), L"14 . " + titles[2]);

  // An old player, with no UTF-16: what the system code page makes of the same titles.
  ASSERT_TRUE(player_.Control("old on"));
  EXPECT_TRUE(Shows(id::lblSongName, ThroughCodePage(L"12. " + titles[0] + L" ")));
  EXPECT_TRUE(Shows(id::lblplaylist(8), L"12 . " + ThroughCodePage(titles[0])));
  EXPECT_EQ(Text(id::lblplaylist(9)), L"13 . " + ThroughCodePage(titles[1]));
  EXPECT_EQ(Text(id::lblplaylist(10)), L"14 . " + ThroughCodePage(titles[2]));
}

// Paused, and with its caption scrolling, the player writes its caption in other forms: the
// screen shows the same whole title at every poll, and polls no more often for it. Another song is
// shown at once, not at the next second's poll.
TEST_F(StatusDisplayTest, TheSongTitleStaysWholeWhileTheCaptionScrollsAndANewOneShowsAtOnce) {
  for (const char* command : {"caption auto", "state paused", "scroll on"}) {
    ASSERT_TRUE(player_.Control(command)) << command;
  }
  ASSERT_TRUE(Shows(id::lblSongName, L"12. Song 12 "));
  ASSERT_TRUE(player_.ClearLog());
  for (int i = 0; i < 10; ++i) {
    PumpFor(300ms);
    EXPECT_EQ(Text(id::lblSongName), L"12. Song 12 ") << i;
  }
  const auto lines = player_.LogLines();
  ASSERT_TRUE(lines);
  EXPECT_LE(std::ranges::count(*lines, "request 105 0"), 4);  // three seconds' polls
  // Just after a poll has been shown the next second's is a second away.
  ASSERT_TRUE(player_.Control("time 20000"));
  ASSERT_TRUE(Shows(id::lblTime, L"00:20"));
  ASSERT_TRUE(player_.Control("position 19"));
  EXPECT_TRUE(Shows(id::lblSongName, L"20. Song 20 ", 500ms));
}

TEST_F(StatusDisplayTest, TheClockRunsOnScreen) {
  ASSERT_TRUE(player_.Control("time 10000"));
  ASSERT_TRUE(Shows(id::lblTime, L"00:10"));
  ASSERT_TRUE(player_.Control("clock on"));
  // The clock and the polls both tick once a second, so a poll that comes late skips a second on
  // screen: any time from 00:12 on shows the clock ran ("mm:ss" compares as text).
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto time = Text(id::lblTime);
        return time && time->size() == 5 && *time >= L"00:12";
      },
      6s))
      << Text(id::lblTime).value_or(L"(none)");
  EXPECT_GE(::SendMessageW(saver_.Control(id::sldLength), TBM_GETPOS, 0, 0), 11);
}

TEST_F(StatusDisplayTest, AnEmptyPlaylistShowsNoLines) {
  ASSERT_TRUE(Shows(id::lblplaylist(1), Line(5)));
  ASSERT_TRUE(player_.Control("entries 0"));
  ASSERT_TRUE(Shows(id::lbltrackvontracks, L"Track 1 of 0"));
  ASSERT_TRUE(Shows(id::lblplaylist(1), L""));
  for (int line = 1; line <= 15; ++line)
    EXPECT_EQ(Text(id::lblplaylist(line)), std::wstring()) << line;
  EXPECT_TRUE(RedLines().empty());
}

}  // namespace
}  // namespace tokalux::e2e
