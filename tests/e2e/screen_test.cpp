// tokalux.scr end to end under Wine: start-up and exit, every control with its ID, caption and
// place, the Tab order, the colours on screen and no needless repaints, against the demo player.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/control_ids.h"
#include "harness/demo_player.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"
#include "screen/layout.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Log = std::vector<std::string>;

// ---- Start-up and exit without a form ----

TEST(StartUp, ConfigurationAndPreviewEndAtOnceWithoutAWindow) {
  DemoPlayer player;
  ASSERT_TRUE(player.window());
  for (const wchar_t* arguments : {L"/C", L"/c:123", L"-C", L"/P 456", L"-p"}) {
    ScreenSaver saver(arguments);
    ASSERT_TRUE(saver.process().started());
    EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s)) << arguments;
    EXPECT_TRUE(saver.WaitForExit(5s)) << arguments;
    EXPECT_EQ(saver.process().ExitCode(), 0u) << arguments;
  }
  EXPECT_EQ(player.LogLines(), Log{});  // not even asked anything
}

TEST(StartUp, WithoutAPlayerEndsSilently) {
  ASSERT_EQ(::FindWindowA(PlayerWindowClass, nullptr), nullptr);
  ScreenSaver saver(L"/S");
  EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s));
  EXPECT_TRUE(saver.WaitForExit(10s));
  EXPECT_EQ(saver.process().ExitCode(), 0u);
}

// ---- The running screen saver ----

class Running : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player_.window());
    ASSERT_TRUE(saver_.WaitForForm()) << "no form appeared";
  }
  void TearDown() override { saver_.process().Kill(); }

  HWND Control(int controlId) const { return saver_.Control(controlId); }

  bool WaitForFocus(int controlId) {
    return WaitUntil([&] { return saver_.Focus() == Control(controlId); }, 3s);
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

  DemoPlayer player_;
  ScreenSaver saver_{L"/S"};
};

// Design captions: what the screen shows until the first poll. The demo player answers every
// message only after 200 ms, as a player under heavy load does (within the screen saver's 250 ms
// bound, so nothing counts as unanswered). The first poll is handed to the player thread a second
// after the form is made, and the screen shows it only once its two dozen messages are answered,
// seconds later: the captions read as soon as the form shows are the design ones by a wide margin.
// The form's thread may be waiting for that poll meanwhile, so they are read without a message to
// it, as the system keeps them.
TEST(DesignCaptions, EveryControlHasItsIdAndDesignCaptionBeforeTheFirstPoll) {
  DemoPlayer player;
  ASSERT_TRUE(player.Control("slow 200"));
  ScreenSaver saver(L"/S");
  const HWND form = saver.WaitForForm();
  ASSERT_TRUE(form);
  std::vector<std::wstring> captions;  // in the order of ControlTable()
  for (const ControlSpec& spec : ControlTable()) {
    wchar_t text[256] = {};
    const HWND control = FindControl(form, spec.id);
    if (control) ::InternalGetWindowText(control, text, 256);
    captions.push_back(text);
  }

  std::size_t row = 0;
  for (const ControlSpec& spec : ControlTable()) {
    const HWND control = FindControl(form, spec.id);
    ASSERT_TRUE(control) << spec.name << " " << spec.id;
    if (spec.kind != ControlKind::Slider) {
      EXPECT_EQ(captions[row], std::wstring(spec.caption)) << spec.name;
    }
    ++row;
    EXPECT_EQ(::GetParent(control),
              spec.container == Container::Frame1 ? FindControl(form, id::Frame1) : form)
        << spec.name;
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    if (spec.kind == ControlKind::Slider) {
      EXPECT_STREQ(className, TRACKBAR_CLASSW) << spec.name;
    } else if (spec.kind == ControlKind::Button) {
      EXPECT_STREQ(className, L"Button") << spec.name;
    }
  }

  // The first poll does come (at full speed from here on): the captions above were read before
  // it, not in place of it.
  ASSERT_TRUE(player.Control("slow 0"));
  EXPECT_TRUE(saver.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20", 10s));
  EXPECT_EQ(player.ActionLog(), Log{});
}

TEST_F(Running, ButtonsAndTheVolumeSliderHaveTooltips) {
  HWND tooltip = nullptr;
  for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w && !tooltip;
       w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (::GetWindow(w, GW_OWNER) == saver_.form()) tooltip = w;
  }
  ASSERT_TRUE(tooltip);
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 16);  // 15 buttons and sldVol
}

TEST_F(Running, FormCoversTheWholeScreenOnTop) {
  const RECT form = ScreenRect(saver_.form());
  EXPECT_EQ(form.left, 0);
  EXPECT_EQ(form.top, 0);
  EXPECT_EQ(form.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(form.bottom, ::GetSystemMetrics(SM_CYSCREEN));
  const LONG_PTR style = ::GetWindowLongPtrW(saver_.form(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(::GetWindowLongPtrW(saver_.form(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Under Wine on Xvfb there is one monitor, the form's: it is the only window shown (a tooltip
  // aside), with no black cover for another monitor.
  EXPECT_EQ(ShownWindowsOf(saver_.process().id()), std::vector<HWND>{saver_.form()});
}

TEST_F(Running, ControlsArePlacedForThisScreen) {
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
  ExpectControlsPlaced(saver_, 1024, 768, 96);
  // An auto-sized label is as wide as its caption: "Interpret - Title" in bold italic Arial.
  const RECT heading = ScreenRect(Control(id::lblInterpret_Titel));
  EXPECT_NEAR(heading.right - heading.left, 90, 12);
  EXPECT_NEAR(heading.bottom - heading.top, 16, 2);
}

// Windows tells a per-monitor DPI aware window that its monitor's scaling changed with the new
// DPI in wParam; Wine never does, so the test sends it as Windows would. The suggested rectangle
// in lParam goes unread (the form covers the primary screen whatever it suggests): here it is 0.
TEST_F(Running, ControlsAndFontsFollowADpiChange) {
  ASSERT_TRUE(player_.Control("clock off"));  // every answer stays the same from here on
  ASSERT_TRUE(WaitForFirstPoll());
  PumpFor(1500ms);
  const RECT screen{0, 0, 1024, 768};
  const std::vector<COLORREF> before = ScreenPixels(screen);
  const RECT heading = ScreenRect(Control(id::lblInterpret_Titel));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(saver_.form(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0,
                                    SMTO_NORMAL, 5000, &answer));
  ExpectControlsPlaced(saver_, 1024, 768, 144);
  // The fonts are made again at 144 dpi: the heading's line is half as tall again.
  const RECT larger = ScreenRect(Control(id::lblInterpret_Titel));
  EXPECT_NEAR(larger.bottom - larger.top, (heading.bottom - heading.top) * 3 / 2, 2);
  EXPECT_EQ(ScreenRect(saver_.form()).right, 1024);
  EXPECT_EQ(ScreenRect(saver_.form()).bottom, 768);

  // And back: everything where it was, and on screen as it was, pixel for pixel.
  ASSERT_TRUE(::SendMessageTimeoutW(saver_.form(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0,
                                    SMTO_NORMAL, 5000, &answer));
  ExpectControlsPlaced(saver_, 1024, 768, 96);
  EXPECT_EQ(ScreenRect(Control(id::lblInterpret_Titel)).bottom, heading.bottom);
  PumpFor(500ms);
  EXPECT_TRUE(ScreenPixels(screen) == before);
  EXPECT_TRUE(saver_.IsRunning());
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
  EXPECT_TRUE(saver_.IsRunning());
}

TEST_F(Running, EscEndsItWithTheFocusOnAPlaylistButton) {
  ASSERT_TRUE(WaitForFocus(id::sldLength));
  for (int i = 0; i < 11; ++i) PressKey(VK_TAB);
  ASSERT_TRUE(WaitForFocus(id::cmdPLStart));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(saver_.WaitForExit(10s));
  EXPECT_EQ(saver_.process().ExitCode(), 0u);
  EXPECT_EQ(player_.ActionLog(), Log{});  // Esc clicked nothing
}

TEST_F(Running, ExitButtonEndsIt) {
  ClickAt(CentreOf(Control(id::cmdEnd)));
  EXPECT_TRUE(saver_.WaitForExit(10s));
  EXPECT_EQ(saver_.process().ExitCode(), 0u);
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
  EXPECT_TRUE(saver_.IsRunning());
  EXPECT_TRUE(::IsWindowVisible(saver_.form()));
  EXPECT_EQ(player_.ActionLog(), Log{}) << "a key or click sent a command";
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
  ASSERT_TRUE(player_.Control("clock off"));  // every answer stays the same from here on
  ASSERT_TRUE(WaitForFirstPoll());
  PumpFor(1500ms);  // let the first polls' changes paint

  const uintptr_t before = TotalPaints(saver_);
  constexpr int seconds = 5;
  PumpFor(std::chrono::seconds(seconds));
  const uintptr_t after = TotalPaints(saver_);
  std::printf("paints per second with nothing changing: %.1f (%u in %d s, every control)\n",
              static_cast<double>(after - before) / seconds, static_cast<unsigned>(after - before),
              seconds);
  EXPECT_EQ(after, before);

  // One changed caption repaints that label and nothing else.
  const uintptr_t sampleBefore = PaintCount(Control(id::lblSample));
  ASSERT_TRUE(player_.Control("answer " + std::to_string(RequestStreamInfo) + " 0 48000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblSample, L"48000"));
  PumpFor(500ms);
  const uintptr_t samplePaints = PaintCount(Control(id::lblSample)) - sampleBefore;
  EXPECT_GE(samplePaints, 1u);
  EXPECT_EQ(TotalPaints(saver_) - after, samplePaints);
}

TEST_F(Running, SeekSliderTakesThePollsValuesAndRefusesImpossibleOnes) {
  const HWND seek = Control(id::sldLength);
  ASSERT_TRUE(player_.Control("clock off"));
  ASSERT_TRUE(player_.Control("tracklength 270"));
  ASSERT_TRUE(player_.Control("time 83456"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"01:23"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver_.WaitForCaption(id::lblTimegesamt, L"04:30"));

  // An elapsed time past the end of the track: the slider refuses it and stays where it was.
  ASSERT_TRUE(player_.Control("answer " + std::to_string(RequestPlayTime) + " 0 300000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"05:00"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver_.IsRunning());
}

}  // namespace
}  // namespace tokalux::e2e
