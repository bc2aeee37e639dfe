// Faults thrown at the running screen saver by the player: it keeps running, answers messages
// within a second, shows the defined result and still ends on Esc.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "display/control_ids.h"
#include "harness/demo_player.h"
#include "harness/screen_saver.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_NE(saver_.WaitForForm(), nullptr);
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20"));
  }

  // The form answers a message within a second.
  bool Responsive() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(saver_.form(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) !=
           0;
  }
  // Stays responsive for the whole time, checked every 200 ms.
  bool StaysResponsive(std::chrono::milliseconds duration) const {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    while (::GetTickCount64() < end) {
      if (!saver_.IsRunning() || !Responsive()) return false;
      PumpFor(200ms);
    }
    return true;
  }
  // Esc ends it (well before a hung player would let it: the hang tests hang for longer).
  void EndsOnEsc() {
    ASSERT_TRUE(saver_.IsRunning());
    ASSERT_NE(saver_.Focus(), nullptr) << "the screen saver does not have the keyboard focus";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(saver_.WaitForExit(5s));
  }
  std::wstring Text(int control_id) const { return WindowText(saver_.Control(control_id)); }

  DemoPlayer player_{L"--entries 20 --position 0"};
  ScreenSaver saver_{L"/S"};
};

TEST_F(FaultTest, PlayerWindowVanishesMidRun) {
  ASSERT_TRUE(player_.Control("vanish"));
  // Every answer is now 0, and the screen shows exactly that.
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblTime, L"00:00"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblSample, L"0"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblSongName, L""));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(1), L""));
  EXPECT_TRUE(StaysResponsive(3s));
  // Clicks still send into the void without harm.
  ::SendMessageW(saver_.Control(id::cmdPlay), BM_CLICK, 0, 0);
  ::SendMessageW(saver_.Control(id::cmdPLEnd), BM_CLICK, 0, 0);
  EndsOnEsc();
}

TEST_F(FaultTest, PlayerHangsForTenSecondsThenRecovers) {
  ASSERT_TRUE(player_.Control("hang 10000"));
  EXPECT_TRUE(StaysResponsive(9s));
  // After it recovers the screen follows it again.
  ASSERT_TRUE(WaitUntil([&] { return player_.Control("position 6"); }, 10s));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 7 of 20", 5s));
  EndsOnEsc();
}

TEST_F(FaultTest, AClickRightAfterTheShortHangOfAPlayerStillReachesIt) {
  // The player hangs for 300 ms from the next poll's first request, which therefore times out;
  // the rest of that poll answers 0 unsent, and the screen shows that. The link now stops
  // waiting on the player for 500 ms, and a click in that time must still reach it.
  player_.ClearLog();
  ASSERT_TRUE(player_.Control("hang 300 next"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0", 3s));
  ::SendMessageW(saver_.Control(id::cmdPlay), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::vector<std::string> log = player_.ActionLog();
        return std::find(log.begin(), log.end(), "command 40045") != log.end();
      },
      3s));
  // The poll after the quiet period shows the player again.
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20"));
}

TEST_F(FaultTest, EscEndsItWhileThePlayerHangs) {
  ASSERT_TRUE(player_.Control("hang 20000"));
  PumpFor(1500ms);
  EndsOnEsc();
}

TEST_F(FaultTest, RandomAnswersForAMinute) {
  ASSERT_TRUE(player_.Control("random on 12345"));
  const ULONGLONG end = ::GetTickCount64() + 60'000;
  std::mt19937 rng(1);
  while (::GetTickCount64() < end) {
    ASSERT_TRUE(StaysResponsive(2s));
    // Clicks on whatever the random answers put on screen.
    ::SendMessageW(saver_.Control(id::cmdPLm10 - static_cast<int>(rng() % 5)), BM_CLICK, 0, 0);
  }
  ASSERT_TRUE(player_.Control("random off"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20"));
  EndsOnEsc();
}

TEST_F(FaultTest, StrangeTitlesShowAsDefined) {
  std::string random_bytes;
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof(hex), "%02X", static_cast<unsigned>(rng() % 255 + 1));
    random_bytes += hex;
  }
  ASSERT_TRUE(player_.Control("titlebytes 1 " + random_bytes));
  ASSERT_TRUE(player_.Control("titlebytes 2 " + std::string(1000, '5')));  // 500 x "U"
  ASSERT_TRUE(player_.Control("answer 213 3 0x10"));                       // entry 4: no memory
  ASSERT_TRUE(player_.Control("caption \\x01\\xFF\\x80 - Winamp"));

  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(3), L"3 . " + std::wstring(256, L'U')));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(4), L"4 . "));
  EXPECT_EQ(Text(id::lblplaylist(2)).substr(0, 4), L"2 . ");
  EXPECT_LE(Text(id::lblplaylist(2)).size(), 4u + 200u);
  EXPECT_EQ(Text(id::lblSongName).size(), 4u);  // three characters and the space
  EXPECT_TRUE(StaysResponsive(2s));
  EndsOnEsc();
}

TEST_F(FaultTest, PlaylistGrowsToTenThousandAndShrinksBack) {
  ASSERT_TRUE(player_.Control("entries 0"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0"));
  ASSERT_TRUE(player_.Control("entries 10000"));
  ASSERT_TRUE(player_.Control("position 9999"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 10000 of 10000"));
  EXPECT_TRUE(Text(id::lblplaylist(1)).starts_with(L"9986 . "));
  EXPECT_TRUE(Text(id::lblplaylist(15)).starts_with(L"10000 . "));
  ASSERT_TRUE(player_.Control("position 4999"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 5000 of 10000"));
  ASSERT_TRUE(player_.Control("entries 4"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 4"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(5), L""));
  EXPECT_TRUE(Text(id::lblplaylist(4)).starts_with(L"4 . "));
  EXPECT_TRUE(StaysResponsive(1s));
  EndsOnEsc();
}

}  // namespace
}  // namespace tokalux::e2e
