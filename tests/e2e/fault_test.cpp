// Faults thrown at the running screen saver by the player: it keeps running, answers messages
// within a second, shows the defined result and still ends on Esc.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Log = std::vector<std::string>;

// What a playlist button sends when the screen shows "Track <position> of <length>": a jump that
// stays in the list (PL Begin always goes to 0), nothing for the others on an empty list.
Log ExpectedJump(int button, const std::wstring& shown) {
  long position = 0;
  long length = 0;
  if (std::swscanf(shown.c_str(), L"Track %ld of %ld", &position, &length) != 2) {
    return {"(the counter is unreadable)"};
  }
  if (button == id::cmdPLStart) return {"request 121 0"};
  if (length <= 0) return {};
  const long half = (length - (length & 1)) / 2;  // length / 2 rounded down
  long index = 0;
  switch (button) {
    case id::cmdPLm10:
      index = std::clamp(position - 11, 0L, length - 1);
      break;
    case id::cmdPLp10:
      index = std::clamp(position + 9, 0L, length - 1);
      break;
    case id::cmdPLEnd:
      index = length - 1;
      break;
    case id::cmdPLMitte:  // half the length, halves to even
      index = length % 2 == 0 || half % 2 == 0 ? half : half + 1;
      break;
    default:
      return {"(not a playlist button)"};
  }
  return {"request 121 " + std::to_string(index)};
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_NE(saver_.WaitForForm(), nullptr);
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20"));
  }

  // The form answers a message within two seconds. Its thread may be busy for a moment (the
  // first search for a fallback font lists every installed face: 0.3-0.4 s with 1,230 faces, over
  // a second while both cores are busy); one that waits on a hung player is held for as long as
  // the player hangs.
  bool Responsive() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(saver_.form(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) !=
           0;
  }
  // Stays responsive for the whole time, checked every 200 ms.
  ::testing::AssertionResult StaysResponsive(std::chrono::milliseconds duration) const {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    while (::GetTickCount64() < end) {
      if (!saver_.IsRunning()) return ::testing::AssertionFailure() << "the screen saver ended";
      const ULONGLONG asked = ::GetTickCount64();
      if (!Responsive()) {
        return ::testing::AssertionFailure()
               << "the form did not answer within " << ::GetTickCount64() - asked << " ms";
      }
      PumpFor(200ms);
    }
    return ::testing::AssertionSuccess();
  }
  // The player answers nothing: a message from this test to it times out.
  bool PlayerHangs() const {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(player_.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500,
                                 &ignored) == 0;
  }
  // Esc ends it within the time, counted from the key's sending to the process's end.
  void EndsOnEsc(std::chrono::milliseconds within = 5s) {
    ASSERT_TRUE(saver_.IsRunning());
    ASSERT_NE(saver_.Focus(), nullptr) << "the screen saver does not have the keyboard focus";
    SendKeyNow(VK_ESCAPE);
    const ULONGLONG sent = ::GetTickCount64();
    EXPECT_TRUE(saver_.WaitForExit(within))
        << "still running " << ::GetTickCount64() - sent << " ms after Esc";
  }
  void EscRightAfterFourClicks() {
    for (const int button : {id::cmdPause, id::cmdNext, id::cmdVolIncr, id::cmdVolDecr}) {
      ASSERT_TRUE(::PostMessageW(saver_.Control(button), BM_CLICK, 0, 0));
    }
    EndsOnEsc(1s);
  }
  std::optional<std::wstring> Text(int controlId) const {
    return WindowText(saver_.Control(controlId));
  }
  int SliderPos(int controlId) const {
    return static_cast<int>(::SendMessageW(saver_.Control(controlId), TBM_GETPOS, 0, 0));
  }
  // What the screen shows: every caption the poll writes, and both sliders.
  using Screen = std::vector<std::wstring>;
  Screen Shown() const {
    Screen shown;
    for (const int controlId :
         {id::lblSongName, id::lbltrackvontracks, id::lblTime, id::lblTimegesamt, id::lblSample,
          id::lblBitrate, id::lblChannels}) {
      shown.push_back(Text(controlId).value_or(L"(unreadable)"));
    }
    for (int line = 1; line <= PlaylistLineCount; ++line) {
      shown.push_back(Text(id::lblplaylist(line)).value_or(L"(unreadable)"));
    }
    const HWND seek = saver_.Control(id::sldLength);
    shown.push_back(L"seek " + std::to_wstring(::SendMessageW(seek, TBM_GETPOS, 0, 0)) + L" of " +
                    std::to_wstring(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0)));
    shown.push_back(L"volume " + std::to_wstring(SliderPos(id::sldVol)));
    return shown;
  }

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
  ASSERT_TRUE(player_.Control("tracklength 200"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTimegesamt, L"03:20"));
  const Screen before = Shown();
  ASSERT_TRUE(player_.Control("hang 10000"));
  const ULONGLONG recovers = ::GetTickCount64() + 10'000;
  ASSERT_TRUE(PlayerHangs());
  // Meanwhile the screen keeps what the player last answered, and answers messages all the
  // while, the player still hung at the end of it.
  const auto left = static_cast<LONGLONG>(recovers - ::GetTickCount64()) - 1500;
  EXPECT_TRUE(StaysResponsive(std::chrono::milliseconds(std::max<LONGLONG>(left, 0))));
  EXPECT_EQ(Shown(), before);
  EXPECT_TRUE(PlayerHangs());
  // After it recovers the screen follows it again.
  ASSERT_TRUE(WaitUntil([&] { return player_.Control("position 6"); }, 10s));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 7 of 20", 5s));
  EndsOnEsc();
}

// A player that stalls for 2.5 s right after a poll, as on Stop or Next on a network file: the
// screen shows what it showed before, not the zeros of a vanished player, at every poll.
TEST_F(FaultTest, AStallLeavesTheScreenAsItWas) {
  ASSERT_TRUE(player_.Control("tracklength 200"));
  ASSERT_TRUE(player_.Control("volume 128"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTimegesamt, L"03:20"));
  ASSERT_TRUE(WaitUntil([&] { return SliderPos(id::sldVol) == 5; }, 3s));
  const Screen before = Shown();
  ASSERT_TRUE(player_.Control("hang 2500 next"));
  bool stalled = false;
  for (int i = 0; i < 12; ++i) {
    stalled = stalled || PlayerHangs();
    EXPECT_EQ(Shown(), before) << i;
    PumpFor(100ms);
  }
  EXPECT_TRUE(stalled);
}

// Clicks during a stall go by the values last answered (one volume step from where the player
// was, PL End at the end of its list) and reach the player once each, in the order made.
TEST_F(FaultTest, ClicksDuringAStallGoByTheLastAnswersAndArriveInOrder) {
  ASSERT_TRUE(player_.Control("volume 128"));
  ASSERT_TRUE(WaitUntil([&] { return SliderPos(id::sldVol) == 5; }, 3s));
  ASSERT_TRUE(player_.ClearLog());
  ASSERT_TRUE(player_.Control("hang 3000 next"));
  ASSERT_TRUE(WaitUntil([&] { return PlayerHangs(); }, 3s));
  PumpFor(1200ms);  // a poll meets the stall and is shown
  ::SendMessageW(saver_.Control(id::sldVol), WM_KEYDOWN, VK_RIGHT, 0);
  ::SendMessageW(saver_.Control(id::cmdPLEnd), BM_CLICK, 0, 0);
  ::SendMessageW(saver_.Control(id::cmdStop), BM_CLICK, 0, 0);
  PumpFor(400ms);
  ::SendMessageW(saver_.Control(id::cmdPlay), BM_CLICK, 0, 0);
  const Log expected = {"request 122 153", "request 121 19", "command 40047", "command 40045"};
  EXPECT_TRUE(WaitUntil([&] { return player_.ActionLog() == expected; }, 5s));
  PumpFor(1000ms);
  EXPECT_EQ(player_.ActionLog(), expected);
}

// Esc ends it within a second also right after four clicks, whether the player hangs or answers
// every message just inside the screen saver's wait: the clicks are queued in the form before
// the key, and none of them waits on the player.
TEST_F(FaultTest, EscRightAfterFourClicksOnAHungPlayer) {
  ASSERT_TRUE(player_.Control("hang 20000"));
  PumpFor(1500ms);
  ASSERT_TRUE(PlayerHangs());
  EscRightAfterFourClicks();
}

TEST_F(FaultTest, EscRightAfterFourClicksOnASlowPlayer) {
  ASSERT_TRUE(player_.Control("slow 200"));
  PumpFor(2500ms);  // a poll is under way, several seconds long now
  EscRightAfterFourClicks();
}

// A player that answers every message late, just inside the screen saver's wait: a click still
// reaches it within a second and a half, and Esc still ends the screen saver within one.
TEST_F(FaultTest, ASlowPlayerTakesAClickWithinASecondAndAHalf) {
  ASSERT_TRUE(player_.Control("slow 200"));
  PumpFor(2500ms);  // polls are under way, each a few seconds long now
  ASSERT_TRUE(player_.ClearLog());
  DWORD_PTR ignored = 0;
  ASSERT_NE(::SendMessageTimeoutW(saver_.Control(id::cmdPause), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                                  &ignored),
            0);
  const ULONGLONG clicked = ::GetTickCount64();
  EXPECT_TRUE(WaitUntil([&] { return player_.Logged("command 40046"); }, 5s));
  EXPECT_LT(::GetTickCount64() - clicked, 1500u);
  EndsOnEsc(1s);
}

TEST_F(FaultTest, EscEndsItWhileThePlayerHangs) {
  ASSERT_TRUE(player_.Control("hang 20000"));
  PumpFor(1500ms);
  ASSERT_TRUE(PlayerHangs());
  EndsOnEsc(1s);
}

TEST_F(FaultTest, RandomAnswersForAMinute) {
  ASSERT_TRUE(player_.Control("random on 12345"));
  const ULONGLONG end = ::GetTickCount64() + 60'000;
  std::mt19937 rng(1);
  int checked = 0;
  while (::GetTickCount64() < end) {
    ASSERT_TRUE(StaysResponsive(2s));
    // A click on a playlist button sends at most one jump, to an index within 16 bits; when no
    // poll came between, to the index that the track counter on screen gives.
    const int button = id::cmdPLm10 - static_cast<int>(rng() % 5);
    const auto shown = Text(id::lbltrackvontracks);
    const auto before = player_.ActionLog();
    ASSERT_TRUE(shown && before);
    ASSERT_NE(
        ::SendMessageTimeoutW(saver_.Control(button), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr),
        0);
    // The jump is posted: wait for it to arrive (or, with none to send, for a moment).
    const bool jumps = !ExpectedJump(button, *shown).empty();
    WaitUntil([&] { return player_.ActionLog().value_or(Log{}).size() > before->size(); },
              jumps ? 2s : 300ms);
    const auto after = player_.ActionLog();
    ASSERT_TRUE(after && after->size() >= before->size());
    const Log sent(after->begin() + static_cast<std::ptrdiff_t>(before->size()), after->end());
    ASSERT_LE(sent.size(), 1u);
    if (!sent.empty()) {
      ASSERT_TRUE(sent[0].starts_with("request 121 ")) << sent[0];
      const long long index = std::stoll(sent[0].substr(12));
      EXPECT_TRUE(index >= -32768 && index <= 32767) << sent[0];
    }
    if (Text(id::lbltrackvontracks) == shown) {
      EXPECT_EQ(sent, ExpectedJump(button, *shown))
          << "button " << button << ", " << std::string(shown->begin(), shown->end());
      ++checked;
    }
  }
  EXPECT_GE(checked, 10);
  // Answers make sense again: the screen shows where the clicks left the player.
  ASSERT_TRUE(player_.Control("random off"));
  DWORD_PTR position = 0;
  ASSERT_NE(::SendMessageTimeoutW(player_.window(), PlayerRequestMessage, 0, RequestListPosition,
                                  SMTO_ABORTIFHUNG, 2000, &position),
            0);
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks,
                                    L"Track " + std::to_wstring(position + 1) + L" of 20"));
  EndsOnEsc();
}

TEST_F(FaultTest, StrangeTitlesShowAsDefined) {
  std::string randomBytes;
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof(hex), "%02X", static_cast<unsigned>(rng() % 255 + 1));
    randomBytes += hex;
  }
  ASSERT_TRUE(player_.Control("titlebytes 1 " + randomBytes));
  ASSERT_TRUE(player_.Control("titlebytes 2 " + std::string(1000, '5')));  // 500 x "U"
  ASSERT_TRUE(player_.Control("title 3 Fallback"));
  ASSERT_TRUE(player_.Control("answer 213 3 0x10"));  // entry 4: no memory there
  ASSERT_TRUE(player_.Control("caption \\x01\\xFF\\x80 - Winamp"));

  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(3), L"3 . " + std::wstring(256, L'U')));
  // No UTF-16 title where the player points: the title of the ANSI request instead.
  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(4), L"4 . Fallback"));
  const auto line2 = Text(id::lblplaylist(2));
  ASSERT_TRUE(line2);
  EXPECT_EQ(line2->substr(0, 4), L"2 . ");
  EXPECT_LE(line2->size(), 4u + 200u);
  const auto song = Text(id::lblSongName);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->size(), 4u);  // three characters and the space
  EXPECT_TRUE(StaysResponsive(2s));
  EndsOnEsc();
}

TEST_F(FaultTest, PlaylistGrowsToTenThousandAndShrinksBack) {
  const auto startsWith = [&](int line, const wchar_t* prefix) {
    const auto text = Text(id::lblplaylist(line));
    return text && text->starts_with(prefix);
  };
  ASSERT_TRUE(player_.Control("entries 0"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0"));
  ASSERT_TRUE(player_.Control("entries 10000"));
  ASSERT_TRUE(player_.Control("position 9999"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 10000 of 10000"));
  EXPECT_TRUE(startsWith(1, L"9986 . "));
  EXPECT_TRUE(startsWith(15, L"10000 . "));
  ASSERT_TRUE(player_.Control("position 4999"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 5000 of 10000"));
  ASSERT_TRUE(player_.Control("entries 4"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 4"));
  EXPECT_TRUE(saver_.WaitForCaption(id::lblplaylist(5), L""));
  EXPECT_TRUE(startsWith(4, L"4 . "));
  EXPECT_TRUE(StaysResponsive(1s));
  EndsOnEsc();
}

}  // namespace
}  // namespace tokalux::e2e
