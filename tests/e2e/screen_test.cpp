// tokalux.scr end to end under Wine: start-up and exit, every control with its ID, caption and
// place, the Tab order, the colours on screen, no needless repaints, and the controls' actions,
// against a fake player that lives in this test process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/control_ids.h"
#include "harness/fake_player.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"
#include "player/win32_player.h"
#include "screen/layout.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Message = FakePlayer::Message;

// ---- Start-up and exit without a form ----

TEST(StartUp, ConfigurationAndPreviewEndAtOnceWithoutAWindow) {
  FakePlayer player;
  for (const wchar_t* arguments : {L"/C", L"/c:123", L"-C", L"/P 456", L"-p"}) {
    ScreenSaver saver(arguments);
    ASSERT_TRUE(saver.process().started());
    EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s)) << arguments;
    EXPECT_TRUE(saver.WaitForExit(5s)) << arguments;
    EXPECT_EQ(saver.process().ExitCode(), 0u) << arguments;
  }
  EXPECT_TRUE(player.received().empty());  // not even looked at
}

TEST(StartUp, WithoutAPlayerEndsSilently) {
  ASSERT_EQ(::FindWindowA(PlayerWindowClass, nullptr), nullptr);
  ScreenSaver saver(L"/S");
  EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s));
  EXPECT_TRUE(saver.WaitForExit(10s));
  EXPECT_EQ(saver.process().ExitCode(), 0u);
}

// ---- The running screen saver ----

// The shown top-level windows of a process, tooltips aside (they show while the mouse rests).
std::vector<HWND> ShownWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> shown;
  } search{processId, {}};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t className[64] = {};
        ::GetClassNameW(window, className, 64);
        if (owner == s->processId && ::IsWindowVisible(window) &&
            std::wstring(className) != TOOLTIPS_CLASSW) {
          s->shown.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.shown;
}

class Running : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.window());
    ASSERT_TRUE(saver.WaitForForm()) << "no form appeared";
  }
  void TearDown() override { saver.process().Kill(); }

  HWND Control(int control_id) const { return saver.Control(control_id); }

  bool WaitForFocus(int control_id) {
    return WaitUntil([&] { return saver.Focus() == Control(control_id); }, 3s);
  }

  // The first poll has run: the stream labels show numbers instead of their design "-".
  bool WaitForFirstPoll() {
    return WaitUntil(
        [&] {
          const auto text = WindowText(Control(id::lblSample));
          return text && *text != L"-";
        },
        5s);
  }

  FakePlayer player;
  ScreenSaver saver{L"/S"};
};

// Design captions: what the screen shows until the first poll. They are read while the first
// poll's first request waits for this process's fake player to answer, so no poll can have
// written a caption yet, however slow the machine. The screen saver's thread is busy waiting
// then, so the captions are read without a message to it, as the system keeps them.
TEST(DesignCaptions, EveryControlHasItsIdAndDesignCaptionBeforeTheFirstPoll) {
  FakePlayer player;
  ScreenSaver saver(L"/S");
  std::vector<std::wstring> captions;  // in the order of ControlTable()
  ULONGLONG readMs = 0;
  player.onMessage = [&](const Message&) {
    if (!captions.empty()) return;
    const ULONGLONG start = ::GetTickCount64();
    const HWND form = FindWindowOfProcess(ScreenSaverClass, saver.process().id());
    for (const ControlSpec& spec : ControlTable()) {
      wchar_t text[256] = {};
      const HWND control = form ? FindControl(form, spec.id) : nullptr;
      if (control) ::InternalGetWindowText(control, text, 256);
      captions.push_back(control ? text : L"(no such control)");
    }
    readMs = ::GetTickCount64() - start;
  };
  HWND form = saver.WaitForForm();
  ASSERT_TRUE(form);
  ASSERT_TRUE(WaitUntil([&] { return !captions.empty(); }, 10s)) << "no poll reached the player";
  // Read well within the screen saver's wait for that answer (it could not go on meanwhile).
  ASSERT_LT(readMs, Win32Player::SendTimeoutMs);

  std::size_t row = 0;
  for (const ControlSpec& spec : ControlTable()) {
    HWND control = FindControl(form, spec.id);
    ASSERT_TRUE(control) << spec.name << " " << spec.id;
    if (spec.kind != ControlKind::Slider) {
      EXPECT_EQ(captions[row], std::wstring(spec.caption)) << spec.name;
    }
    ++row;
    EXPECT_EQ(::GetParent(control),
              spec.container == Container::Frame1 ? FindControl(form, id::Frame1) : form)
        << spec.name;
    wchar_t class_name[64] = {};
    ::GetClassNameW(control, class_name, 64);
    if (spec.kind == ControlKind::Slider) {
      EXPECT_STREQ(class_name, TRACKBAR_CLASSW) << spec.name;
    } else if (spec.kind == ControlKind::Button) {
      EXPECT_STREQ(class_name, L"Button") << spec.name;
    }
  }
  EXPECT_TRUE(player.Actions().empty());
}

TEST_F(Running, ButtonsAndTheVolumeSliderHaveTooltips) {
  HWND tooltip = nullptr;
  for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w && !tooltip;
       w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (::GetWindow(w, GW_OWNER) == saver.form()) tooltip = w;
  }
  ASSERT_TRUE(tooltip);
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 16);  // 15 buttons and sldVol
}

TEST_F(Running, FormCoversTheWholeScreenOnTop) {
  const RECT form = ScreenRect(saver.form());
  EXPECT_EQ(form.left, 0);
  EXPECT_EQ(form.top, 0);
  EXPECT_EQ(form.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(form.bottom, ::GetSystemMetrics(SM_CYSCREEN));
  const LONG_PTR style = ::GetWindowLongPtrW(saver.form(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(::GetWindowLongPtrW(saver.form(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Under Wine on Xvfb there is one monitor, the form's: it is the only window shown (a tooltip
  // aside), with no black cover for another monitor.
  EXPECT_EQ(ShownWindowsOf(saver.process().id()), std::vector<HWND>{saver.form()});
}

TEST_F(Running, ControlsArePlacedForThisScreen) {
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
  const Placement placement = PlaceControls(15360, 11520);
  for (const ControlSpec& spec : ControlTable()) {
    const PixelRect want = ToPixels(placement.FormRect(spec.id), 96);
    const RECT have = ScreenRect(Control(spec.id));
    EXPECT_NEAR(have.left, want.left, 2) << spec.name;
    EXPECT_NEAR(have.top, want.top, 2) << spec.name;
    if (spec.sizing != Sizing::Auto) {  // auto-sized labels follow their caption instead
      EXPECT_NEAR(have.right - have.left, want.width, 2) << spec.name;
    }
    if (spec.sizing == Sizing::Fixed) {
      EXPECT_NEAR(have.bottom - have.top, want.height, 2) << spec.name;
    }
  }
  // An auto-sized label is as wide as its caption: "Interpret - Title" in bold italic Arial.
  const RECT heading = ScreenRect(Control(id::lblInterpret_Titel));
  EXPECT_NEAR(heading.right - heading.left, 90, 12);
  EXPECT_NEAR(heading.bottom - heading.top, 16, 2);
}

TEST_F(Running, SeekSliderHasTheFocusAndTabWalksTheListedOrder) {
  const std::array<int, FocusableCount> order = TabOrder();
  EXPECT_TRUE(WaitForFocus(order[0]));
  for (std::size_t i = 1; i <= order.size(); ++i) {
    PressKey(VK_TAB);
    const int expected = order[i % order.size()];
    EXPECT_TRUE(WaitForFocus(expected)) << "Tab " << i << ": expected " << expected;
  }
  PressKeyWithShift(VK_TAB);
  EXPECT_TRUE(WaitForFocus(order.back()));
  EXPECT_TRUE(saver.IsRunning());
}

TEST_F(Running, EscEndsItWithTheFocusOnAPlaylistButton) {
  ASSERT_TRUE(WaitForFocus(id::sldLength));
  for (int i = 0; i < 11; ++i) PressKey(VK_TAB);
  ASSERT_TRUE(WaitForFocus(id::cmdPLStart));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(saver.WaitForExit(10s));
  EXPECT_EQ(saver.process().ExitCode(), 0u);
  EXPECT_TRUE(player.Actions().empty());  // Esc clicked nothing
}

TEST_F(Running, ExitButtonEndsIt) {
  ClickAt(CentreOf(Control(id::cmdEnd)));
  EXPECT_TRUE(saver.WaitForExit(10s));
  EXPECT_EQ(saver.process().ExitCode(), 0u);
}

TEST_F(Running, OtherKeysMouseMovesAndClicksLeaveItRunning) {
  for (WORD key :
       {WORD{'A'}, WORD{VK_SPACE}, WORD{VK_RETURN}, WORD{VK_F1}, WORD{VK_LEFT}, WORD{VK_DELETE}}) {
    PressKey(key);
  }
  PressKeyWithAlt(VK_F4);
  MoveMouseTo({700, 100});
  MoveMouseTo({20, 20});
  ClickAt({900, 150});                                 // the black ground
  ClickAt(CentreOf(Control(id::lblInterpret_Titel)));  // a label
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  PumpFor(1500ms);
  EXPECT_TRUE(saver.IsRunning());
  EXPECT_TRUE(::IsWindowVisible(saver.form()));
  EXPECT_TRUE(player.Actions().empty()) << "a key or click sent a command";
}

TEST_F(Running, ColoursOnScreen) {
  auto shows = [](HWND control, COLORREF colour) {
    return WaitUntil([&] { return RectShowsColour(ScreenRect(control), colour); }, 5s);
  };
  // A medium-green button face beside the caption.
  const RECT button = ScreenRect(Control(id::cmdPLStart));
  const POINT face{button.left + 5, (button.top + button.bottom) / 2};
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(face) == RGB(0, 192, 0); }, 5s));
  // Red time digits, a green title, a green frame caption, black ground.
  EXPECT_TRUE(shows(Control(id::lblTime), RGB(255, 0, 0)));
  EXPECT_TRUE(shows(Control(id::lblTimegesamt), RGB(255, 0, 0)));
  EXPECT_TRUE(shows(Control(id::lblSongName), RGB(0, 255, 0)));
  EXPECT_TRUE(shows(Control(id::Frame1), RGB(0, 192, 0)));
  EXPECT_EQ(ScreenPixel({1000, 150}), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel({700, 40}), RGB(0, 0, 0));
}

uintptr_t TotalPaints(const ScreenSaver& saver) {
  uintptr_t total = 0;
  for (const ControlSpec& spec : ControlTable()) total += PaintCount(saver.Control(spec.id));
  return total;
}

TEST_F(Running, NothingRepaintsWhileNothingChanges) {
  player.AnswerAny(RequestPlayTime, 0);
  player.Answer(RequestPlayTime, 0, 83456);
  player.Answer(RequestPlayTime, 1, 270);
  player.Answer(RequestStreamInfo, 0, 44100);
  player.Answer(RequestStreamInfo, 1, 128);
  player.Answer(RequestStreamInfo, 2, 2);
  player.AnswerAny(RequestListLength, 20);
  player.AnswerAny(RequestListPosition, 9);
  ASSERT_TRUE(WaitForFirstPoll());
  PumpFor(1500ms);  // let the first polls' changes paint

  const uintptr_t before = TotalPaints(saver);
  constexpr int seconds = 5;
  PumpFor(std::chrono::seconds(seconds));
  const uintptr_t after = TotalPaints(saver);
  std::printf("paints per second with nothing changing: %.1f (%u in %d s, every control)\n",
              static_cast<double>(after - before) / seconds, static_cast<unsigned>(after - before),
              seconds);
  EXPECT_EQ(after, before);

  // One changed caption repaints that label and nothing else.
  const uintptr_t sample_before = PaintCount(Control(id::lblSample));
  player.Answer(RequestStreamInfo, 0, 48000);
  ASSERT_TRUE(saver.WaitForCaption(id::lblSample, L"48000"));
  PumpFor(500ms);
  const uintptr_t sample_paints = PaintCount(Control(id::lblSample)) - sample_before;
  EXPECT_GE(sample_paints, 1u);
  EXPECT_EQ(TotalPaints(saver) - after, sample_paints);
}

TEST_F(Running, SeekSliderTakesThePollsValuesAndRefusesImpossibleOnes) {
  HWND seek = Control(id::sldLength);
  player.Answer(RequestPlayTime, 0, 83456);
  player.Answer(RequestPlayTime, 1, 270);
  ASSERT_TRUE(saver.WaitForCaption(id::lblTime, L"01:23"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver.WaitForCaption(id::lblTimegesamt, L"04:30"));

  // An elapsed time past the end of the track: the slider refuses it and stays where it was.
  player.Answer(RequestPlayTime, 0, 300'000);
  ASSERT_TRUE(saver.WaitForCaption(id::lblTime, L"05:00"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver.IsRunning());
}

// ---- The controls' actions ----

class Actions : public Running {
 protected:
  void SetUp() override {
    player.AnswerAny(RequestListLength, 20);
    player.AnswerAny(RequestListPosition, 9);  // the 10th entry
    Running::SetUp();
    ASSERT_TRUE(WaitForFirstPoll());
    player.ClearReceived();
  }
  bool WaitForActions(std::size_t count) {
    return WaitUntil([&] { return player.Actions().size() >= count; }, 5s);
  }
};

TEST_F(Actions, ButtonsSendTheirCommandOrPosition) {
  for (int button : {id::cmdPlay, id::cmdNext, id::cmdVolDecr, id::cmdPLm10, id::cmdPLMitte}) {
    ::SendMessageTimeoutW(Control(button), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
  }
  ASSERT_TRUE(WaitForActions(5));
  EXPECT_EQ(
      player.Actions(),
      (std::vector<Message>{FakePlayer::Command(CommandPlay), FakePlayer::Command(CommandNext),
                            FakePlayer::Command(CommandVolumeDown),
                            FakePlayer::Request(RequestSetListPosition, 0),  // stops at the first
                            FakePlayer::Request(RequestSetListPosition, 10)}));
}

TEST_F(Actions, PlaylistLineClickJumpsAndPlays) {
  // The window shows entries 3 to 17; line 1 is entry 3.
  ASSERT_TRUE(saver.WaitForCaption(id::lblplaylist(1), L"3 . "));
  ClickAt(CentreOf(Control(id::lblplaylist(1))));
  ASSERT_TRUE(WaitForActions(2));
  EXPECT_EQ(player.Actions(), (std::vector<Message>{FakePlayer::Request(RequestSetListPosition, 2),
                                                    FakePlayer::Command(CommandPlay)}));
}

TEST_F(Actions, VolumeSliderSendsTheVolumeForItsPosition) {
  ASSERT_TRUE(WaitForFocus(id::sldLength));
  for (int i = 0; i < 8; ++i) PressKey(VK_TAB);
  ASSERT_TRUE(WaitForFocus(id::sldVol));
  PressKey(VK_RIGHT);
  ASSERT_TRUE(WaitForActions(1));
  EXPECT_EQ(player.Actions().front(), FakePlayer::Request(RequestSetVolume, 26));
}

TEST_F(Actions, SeekSliderSeeksOnReleaseOnly) {
  player.Answer(RequestPlayTime, 1, 270);
  HWND seek = Control(id::sldLength);
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0) == 270; }, 5s));

  // The keyboard moves the slider but seeks nothing.
  PressKey(VK_RIGHT);
  PumpFor(300ms);
  EXPECT_TRUE(player.Actions().empty());

  // Press in the channel, hold across a poll, release: one seek to where the slider stands.
  const RECT rect = ScreenRect(seek);
  MoveMouseTo({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(1300ms);
  EXPECT_TRUE(player.Actions().empty());
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitForActions(1));
  const auto value = static_cast<int32_t>(::SendMessageW(seek, TBM_GETPOS, 0, 0));
  EXPECT_EQ(player.Actions(), std::vector<Message>{FakePlayer::Request(RequestSeek, value * 1000)});
  EXPECT_GT(value, 0);
}

}  // namespace
}  // namespace tokalux::e2e
