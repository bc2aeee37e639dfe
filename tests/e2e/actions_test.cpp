// Every button, both sliders and the playlist lines, used with real mouse and keyboard input;
// what the demo player received is read from its log, in order.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/screen_saver.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Log = std::vector<std::string>;

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_TRUE(player_.Control("tracklength 200"));
    ASSERT_TRUE(player_.Control("time 40000"));
    ASSERT_NE(saver_.WaitForForm(), nullptr);
    // The playlist buttons use the last poll's values: wait for it.
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 12 of 30"));
    ASSERT_TRUE(saver_.WaitForCaption(id::lblTimegesamt, L"03:20"));
    ASSERT_TRUE(player_.ClearLog());
  }

  // Clicks the centre of a control with the left mouse button.
  void Click(int controlId) { ClickAt(CentreOf(saver_.Control(controlId))); }

  // The actions logged once the log has n of them; the test fails when they do not all arrive.
  // With n = 0, whatever arrived within a second (for checks that nothing was sent); the log
  // must show a poll's requests meanwhile, so a player that logs nothing cannot pass for that.
  std::optional<Log> ActionsAfter(std::size_t n) {
    const bool arrived = WaitUntil(
        [&] {
          const auto log = player_.ActionLog();
          return log && log->size() >= n;
        },
        3s);
    EXPECT_TRUE(arrived) << "fewer than " << n << " actions reached the player";
    PumpFor(n == 0 ? 1200ms : 300ms);  // anything more that arrives late shows too
    if (n == 0) {
      const auto isPoll = [](const std::string& line) { return line.starts_with("request 105 "); };
      const auto lines = player_.LogLines();
      EXPECT_TRUE(lines && std::ranges::any_of(*lines, isPoll)) << "the log shows no poll";
    }
    return player_.ActionLog();
  }

  int SliderPos(int controlId) {
    return static_cast<int>(::SendMessageW(saver_.Control(controlId), TBM_GETPOS, 0, 0));
  }

  DemoPlayer player_{L"--entries 30 --position 11"};
  ScreenSaver saver_{L"/S"};
};

TEST_F(ActionsTest, TransportAndVolumeButtonsSendOneCommandEach) {
  const std::pair<int, const char*> buttons[] = {
      {id::cmdPrev, "command 40044"},    {id::cmdFRW, "command 40144"},
      {id::cmdPlay, "command 40045"},    {id::cmdPause, "command 40046"},
      {id::cmdStop, "command 40047"},    {id::cmdFFW, "command 40148"},
      {id::cmdNext, "command 40048"},    {id::cmdVolIncr, "command 40058"},
      {id::cmdVolDecr, "command 40059"},
  };
  Log expected;
  for (const auto& [button, line] : buttons) {
    Click(button);
    expected.push_back(line);
    ASSERT_EQ(ActionsAfter(expected.size()), expected) << "after clicking " << button;
  }
  EXPECT_TRUE(saver_.IsRunning());
}

// A click's effect is on the screen within a fraction of a second, not at the next second's poll;
// a burst of clicks brings one poll.
TEST_F(ActionsTest, AClicksEffectShowsWithinHalfASecond) {
  // Just after a poll has been shown the next second's is a second away.
  ASSERT_TRUE(player_.Control("time 50000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"00:50"));
  ASSERT_TRUE(player_.ClearLog());
  for (int i = 0; i < 3; ++i) ::SendMessageW(saver_.Control(id::cmdFFW), BM_CLICK, 0, 0);
  EXPECT_TRUE(saver_.WaitForCaption(id::lblTime, L"01:05", 500ms));
  PumpFor(200ms);
  EXPECT_EQ(std::ranges::count(player_.LogLines().value_or(Log{}), "request 105 0"), 1);
}

// The keyboard's media keys, pressed through the X server, act as their buttons; none ends the
// screen saver.
TEST_F(ActionsTest, MediaKeysActAsTheirButtons) {
  Log expected;
  for (const auto& [key, line] : {std::pair{L"XF86AudioPlay", "command 40046"},  // playing: Pause
                                  {L"XF86AudioNext", "command 40048"},
                                  {L"XF86AudioPrev", "command 40044"},
                                  {L"XF86AudioStop", "command 40047"}}) {
    // Wine runs a Unix program by its path, but hands back no handle of it to wait on.
    ChildProcess xdotool(L"Z:\\usr\\bin\\xdotool", L"key " + std::wstring(key));
    expected.push_back(line);
    ASSERT_EQ(ActionsAfter(expected.size()), expected) << "after xdotool key " << key;
  }
  // Volume and mute are the system's: posted, they ask the player nothing.
  const HWND form = saver_.form();
  for (const int command : {8, 9, 10})
    ::PostMessageW(form, WM_APPCOMMAND, reinterpret_cast<WPARAM>(form), MAKELPARAM(0, command));
  EXPECT_EQ(ActionsAfter(expected.size()), expected);
  EXPECT_TRUE(saver_.IsRunning());
}

TEST_F(ActionsTest, PlaylistButtonsJumpWithoutPlayingAndStayInTheList) {
  struct Jump {
    int entries;
    int position;  // 0-based
    int button;
    int index;  // the 0-based position sent
  };
  // Each jump is shown, then undone before the next click (a jump counts on from the last one
  // until a poll after it is shown).
  const Jump jumps[] = {{30, 11, id::cmdPLStart, 0},
                        {30, 11, id::cmdPLm10, 1},
                        {30, 11, id::cmdPLp10, 21},
                        {30, 11, id::cmdPLEnd, 29},
                        // Near the ends ten entries back or on stop at the first or last one.
                        {40, 4, id::cmdPLm10, 0},
                        {40, 34, id::cmdPLp10, 39}};
  const auto counter = [](int position, int entries) {
    return L"Track " + std::to_wstring(position + 1) + L" of " + std::to_wstring(entries);
  };
  for (const Jump& jump : jumps) {
    ASSERT_TRUE(player_.Control("entries " + std::to_string(jump.entries)));
    ASSERT_TRUE(player_.Control("position " + std::to_string(jump.position)));
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, counter(jump.position, jump.entries)));
    ASSERT_TRUE(player_.ClearLog());
    Click(jump.button);
    EXPECT_EQ(ActionsAfter(1), Log{"request 121 " + std::to_string(jump.index)})
        << "after clicking " << jump.button;
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, counter(jump.index, jump.entries)));
  }

  // An empty list has nowhere to jump but the beginning, and nothing to play (Play would open the
  // player's file dialog where nobody sees it). PL Begin goes last: once it shows, the clicks
  // before it have had their turn.
  ASSERT_TRUE(player_.Control("entries 0"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0"));
  ASSERT_TRUE(player_.ClearLog());
  for (const int button : {id::cmdPLEnd, id::cmdPLMitte, id::cmdPLm10, id::cmdPLp10, id::cmdPlay})
    Click(button);
  Click(id::cmdPLStart);
  EXPECT_EQ(ActionsAfter(1), Log{"request 121 0"});
}

TEST_F(ActionsTest, MiddleRoundsHalvesToEvenFromTheLastPoll) {
  ASSERT_TRUE(player_.Control("entries 5"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 5"));
  ASSERT_TRUE(player_.ClearLog());
  Click(id::cmdPLMitte);
  EXPECT_EQ(ActionsAfter(1), Log{"request 121 2"});
}

TEST_F(ActionsTest, ButtonsAnswerBmClickLikeAMouseClick) {
  // Playlist buttons first: a jump uses the last poll's values, which a click on Next changes.
  // PL Middle takes the list length alone, so the jump of PL -10 before it does not matter.
  for (const int button :
       {id::cmdPLm10, id::cmdPLMitte, id::cmdPlay, id::cmdVolDecr, id::cmdNext}) {
    ::SendMessageW(saver_.Control(button), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(ActionsAfter(5), (Log{"request 121 1", "request 121 15", "command 40045",
                                  "command 40059", "command 40048"}));
}

TEST_F(ActionsTest, APlaylistLineJumpsToItsEntryAndPlays) {
  // Line 4 shows entry 8 (the window runs from 5 to 19 around the 12th entry).
  const auto caption = WindowText(saver_.Control(id::lblplaylist(4)));
  ASSERT_TRUE(caption);
  ASSERT_TRUE(caption->starts_with(L"8 . ")) << std::string(caption->begin(), caption->end());
  Click(id::lblplaylist(4));
  EXPECT_EQ(ActionsAfter(2), (Log{"request 121 7", "command 40045"}));
}

TEST_F(ActionsTest, APlaylistLineOnAPausedPlayerPlaysTheClickedEntry) {
  ASSERT_TRUE(player_.Control("state paused"));
  ASSERT_TRUE(player_.ClearLog());
  // A poll after the pause has seen it once its play-state request is logged.
  ASSERT_TRUE(WaitUntil(
      [&] { return std::ranges::count(player_.LogLines().value_or(Log{}), "request 104 0") > 0; },
      5s));
  const auto entry8 = WindowText(saver_.Control(id::lblplaylist(4)));
  ASSERT_TRUE(entry8 && entry8->starts_with(L"8 . "));
  ASSERT_TRUE(player_.ClearLog());
  Click(id::lblplaylist(4));
  EXPECT_EQ(ActionsAfter(3), (Log{"command 40047", "request 121 7", "command 40045"}));
  // The player plays the clicked entry, not the song it had paused.
  EXPECT_TRUE(saver_.WaitForCaption(id::lblSongName, L"8. " + entry8->substr(4) + L" "));
}

TEST_F(ActionsTest, AClearedLineDoesNothing) {
  // A press sent to a line reaches its handler: line 10 shows entry 14, and a press jumps there.
  const HWND line = saver_.Control(id::lblplaylist(10));
  const auto pressLine = [&] { ::SendMessageW(line, WM_LBUTTONDOWN, MK_LBUTTON, 0); };
  const auto caption = WindowText(line);
  ASSERT_TRUE(caption && caption->starts_with(L"14 . "));
  const POINT where = CentreOf(line);  // the middle of its text
  pressLine();
  ASSERT_EQ(ActionsAfter(2), (Log{"request 121 13", "command 40045"}));

  ASSERT_TRUE(player_.Control("entries 3"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblplaylist(10), L""));
  ASSERT_TRUE(player_.ClearLog());
  // Cleared, the line shrinks to nothing: a click where its text was meets the form, and a press
  // sent to the line itself finds no entry number in its empty caption. Neither sends anything.
  ClickAt(where);
  pressLine();
  EXPECT_EQ(ActionsAfter(0), Log{});
  EXPECT_TRUE(saver_.IsRunning());
}

TEST_F(ActionsTest, DraggingTheSeekSliderSeeksOnRelease) {
  const HWND seek = saver_.Control(id::sldLength);
  ASSERT_EQ(SliderPos(id::sldLength), 40);
  const POINT grab = ThumbCentre(seek);
  const RECT track = ScreenRect(seek);

  MoveMouseTo(grab);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MoveMouseTo({track.left + (track.right - track.left) * 3 / 4, grab.y});
  PumpFor(200ms);
  const int dragged = SliderPos(id::sldLength);
  EXPECT_GT(dragged, 100);
  // While the button is held, the polls leave the slider where the user put it.
  ASSERT_TRUE(player_.Control("time 50000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"00:50"));
  EXPECT_EQ(SliderPos(id::sldLength), dragged);
  EXPECT_EQ(player_.ActionLog(), Log{});

  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(ActionsAfter(1), Log{"request 106 " + std::to_string(dragged * 1000)});
}

TEST_F(ActionsTest, APressThatDoesNotMoveTheSeekSliderSeeksNothing) {
  const HWND seek = saver_.Control(id::sldLength);
  ASSERT_EQ(SliderPos(id::sldLength), 40);
  const POINT thumb = ThumbCentre(seek);
  const RECT track = ScreenRect(seek);

  ClickAt(thumb);
  // A right-click where a left click would page the thumb.
  MoveMouseTo({track.left + (track.right - track.left) * 3 / 4, thumb.y});
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  // PL Begin goes last: once it shows, both releases have been handled.
  Click(id::cmdPLStart);
  EXPECT_EQ(ActionsAfter(1), Log{"request 121 0"});
  EXPECT_EQ(SliderPos(id::sldLength), 40);
}

TEST_F(ActionsTest, AClickInTheChannelPagesTheThumbAndSeeksOnRelease) {
  const HWND seek = saver_.Control(id::sldLength);
  ASSERT_EQ(SliderPos(id::sldLength), 40);
  const RECT track = ScreenRect(seek);
  const POINT channel{track.left + (track.right - track.left) * 3 / 4, ThumbCentre(seek).y};
  ClickAt(channel);
  // One page (5 s) towards the click.
  EXPECT_EQ(ActionsAfter(1), Log{"request 106 45000"});

  // Held, the press pages the thumb on towards the mouse; the polls leave it there and nothing
  // is sent until the release, which seeks once, to where the thumb stands.
  ASSERT_TRUE(player_.Control("time 30000"));
  ASSERT_TRUE(WaitUntil([&] { return SliderPos(id::sldLength) == 30; }, 3s));
  ASSERT_TRUE(player_.ClearLog());
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(player_.Control("time 20000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"00:20"));
  const int held = SliderPos(id::sldLength);
  EXPECT_GE(held, 35);
  EXPECT_EQ(player_.ActionLog(), Log{});
  MouseButton(MOUSEEVENTF_LEFTUP);
  const auto log = ActionsAfter(1);
  ASSERT_TRUE(log);
  ASSERT_EQ(log->size(), 1u);
  ASSERT_TRUE(log->front().starts_with("request 106 ")) << log->front();
  const int sought = std::stoi(log->front().substr(12));
  EXPECT_EQ(sought % 5000, 0) << sought;  // whole pages from 30 s
  EXPECT_GE(sought, held * 1000);
}

TEST_F(ActionsTest, KeyboardMovesTheSeekSliderButSeeksNothing) {
  ASSERT_EQ(saver_.Focus(), saver_.Control(id::sldLength));  // the focus at start
  PressKey(VK_RIGHT);
  PressKey(VK_END);
  EXPECT_EQ(ActionsAfter(0), Log{});
  // The next poll puts it back where the player is.
  EXPECT_TRUE(WaitUntil([&] { return SliderPos(id::sldLength) == 40; }, 3s));
}

TEST_F(ActionsTest, TheVolumeSliderShowsThePlayersVolume) {
  // One poll a second, and a margin for a busy machine.
  const auto showsStep = [&](int step) {
    return WaitUntil([&] { return SliderPos(id::sldVol) == step; }, 2s);
  };
  for (const auto& [volume, step] : {std::pair{0, 0}, {128, 5}, {255, 10}, {140, 5}}) {
    ASSERT_TRUE(player_.Control("volume " + std::to_string(volume)));
    EXPECT_TRUE(showsStep(step)) << "volume " << volume;
  }
  // "+" and "-" stay the player's own steps (4 of 255); the slider follows them.
  Click(id::cmdVolIncr);
  EXPECT_TRUE(showsStep(6));  // 144
  Click(id::cmdVolDecr);
  EXPECT_TRUE(showsStep(5));  // 140
  EXPECT_EQ(ActionsAfter(2), (Log{"command 40058", "command 40059"}));
}

TEST_F(ActionsTest, VolumeSliderSendsTheVolumeForEveryMove) {
  // The slider starts where the player is, so one step from 204 is 230, not a jump.
  ASSERT_TRUE(player_.Control("volume 204"));
  ASSERT_TRUE(WaitUntil([&] { return SliderPos(id::sldVol) == 8; }, 2s));
  // sldVol is ninth in the tab order, after sldLength and the seven transport buttons.
  for (int i = 0; i < 8; ++i) PressKey(VK_TAB);
  ASSERT_EQ(saver_.Focus(), saver_.Control(id::sldVol));
  PressKey(VK_RIGHT);
  PressKey(VK_RIGHT);
  PressKey(VK_LEFT);
  PressKey(VK_END);
  EXPECT_EQ(ActionsAfter(4),
            (Log{"request 122 230", "request 122 255", "request 122 230", "request 122 255"}));
  EXPECT_EQ(SliderPos(id::sldVol), 10);

  // Dragging the thumb to the left end sets it back to 0.
  ASSERT_TRUE(player_.ClearLog());
  const HWND volume = saver_.Control(id::sldVol);
  const POINT grab = ThumbCentre(volume);
  MoveMouseTo(grab);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MoveMouseTo({ScreenRect(volume).left - 20, grab.y});
  MouseButton(MOUSEEVENTF_LEFTUP);
  PumpFor(500ms);
  const auto log = player_.ActionLog();
  ASSERT_TRUE(log && !log->empty());
  EXPECT_EQ(log->back(), "request 122 0");
  EXPECT_EQ(SliderPos(id::sldVol), 0);
}

}  // namespace
}  // namespace tokalux::e2e
