// tokalux.scr on two monitors and through display changes (the primary's mode, a monitor that
// goes and comes back), under Wine on an X server with the dummy video driver: scripts/test.sh
// starts it with a 1024x768 primary and a 1280x720 monitor to its right (ctest label "monitors").
// A change is made as a program on Windows makes it, with ChangeDisplaySettingsEx; Wine then
// sends WM_DISPLAYCHANGE to every top-level window, as Windows does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "gui/gui_handles.h"
#include "screen/blackout_windows.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;

std::vector<RECT> Monitors() {
  std::vector<RECT> monitors;
  ::EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR, HDC, LPRECT rect, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// The monitor beside the primary (whose top-left corner is the desktop's origin).
RECT OtherMonitor() {
  const std::vector<RECT> monitors = Monitors();
  const auto other = std::find_if(monitors.begin(), monitors.end(),
                                  [](const RECT& m) { return m.left != 0 || m.top != 0; });
  return other != monitors.end() ? *other : RECT{};
}

bool SetPrimaryMode(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ::ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// A plain white window of ours, where a desktop would show.
UniqueWindow WhiteWindow(const RECT& area) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"tokalux test white";
  ::RegisterClassW(&windowClass);
  return UniqueWindow(::CreateWindowExW(
      0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, area.left, area.top,
      area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr, nullptr));
}

// Detaches the second monitor (as undocking does, or a monitor that drops off in power saving) or
// attaches it again to the right of the 1024-pixel primary, the way Windows' display settings do:
// the new settings stored first, then applied to all monitors at once.
bool AttachSecondMonitor(bool attach) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (attach) {
    mode.dmPosition = {1024, 0};
    mode.dmPelsWidth = 1280;
    mode.dmPelsHeight = 720;
  }
  return ::ChangeDisplaySettingsExW(L"\\\\.\\DISPLAY2", &mode, nullptr,
                                    CDS_UPDATEREGISTRY | CDS_NORESET,
                                    nullptr) == DISP_CHANGE_SUCCESSFUL &&
         ::ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) ==
             DISP_CHANGE_SUCCESSFUL;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both{};
  return ::IntersectRect(&both, &a, &b) != FALSE;
}

// Whether the windows between them cover every pixel of every monitor: each cell of the grid that
// all their edges make, inside a monitor, lies inside a window.
bool CoverEveryMonitor(const std::vector<RECT>& monitors, const std::vector<RECT>& windows) {
  std::set<LONG> xs;
  std::set<LONG> ys;
  for (const auto* rects : {&monitors, &windows}) {
    for (const RECT& r : *rects) {
      xs.insert({r.left, r.right});
      ys.insert({r.top, r.bottom});
    }
  }
  const auto inside = [](const std::vector<RECT>& rects, LONG x, LONG y) {
    return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) {
      return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    });
  };
  for (LONG x : xs) {
    for (LONG y : ys) {  // each cell by its top-left corner
      if (inside(monitors, x, y) && !inside(windows, x, y)) return false;
    }
  }
  return true;
}

// Where two captures of one area first differ, and in how many pixels; "" when they are alike.
std::string FirstDifference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b,
                            int width) {
  if (a.size() != b.size() || a.empty()) return "captures of different sizes";
  std::size_t count = 0;
  std::size_t first = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) {
      ++count;
      first = i;
    }
  }
  if (count == 0) return "";
  char text[96];
  std::snprintf(text, sizeof(text), "%zu pixels, the first at %zu,%zu: %06lX, then %06lX", count,
                first % static_cast<std::size_t>(width), first / static_cast<std::size_t>(width),
                a[first], b[first]);
  return text;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
    ASSERT_EQ(Monitors().size(), 2u)
        << "needs the dummy X server with a second monitor, as scripts/test.sh starts it";
    ASSERT_TRUE(player_.window());
  }
  void TearDown() override {
    if (saver_) saver_->process().Kill();
    if (modeChanged_) {  // later tests expect both monitors as they were
      EXPECT_TRUE(SetPrimaryMode(1024, 768));
      if (Monitors().size() < 2) {
        EXPECT_TRUE(AttachSecondMonitor(true));
      }
    }
  }

  // Started with both monitors there: the form, and the other monitor's blackout, which is shown
  // after the form's first paint (one that lays out many fonts may take a while).
  bool StartSaver() {
    saver_.emplace(L"/S");
    return saver_->WaitForForm() != nullptr && WaitUntil([&] { return !Blackouts().empty(); }, 5s);
  }

  std::vector<HWND> Blackouts() {
    return ShownWindowsOf(saver_->process().id(), BlackoutWindow::ClassName);
  }

  // Every monitor covered by the form and the blackouts, and no blackout over the form.
  void ExpectEveryMonitorCovered() {
    const RECT form = ScreenRect(saver_->form());
    std::vector<RECT> windows{form};
    for (HWND blackout : Blackouts()) {
      const RECT rect = ScreenRect(blackout);
      EXPECT_FALSE(Overlap(rect, form)) << "a blackout lies over the form";
      windows.push_back(rect);
    }
    EXPECT_TRUE(CoverEveryMonitor(Monitors(), windows));
  }

  DemoPlayer player_;
  std::optional<ScreenSaver> saver_;
  bool modeChanged_ = false;  // a monitor's mode or presence
};

TEST_F(TwoMonitors, TheOtherMonitorTurnsBlackAndTheFormKeepsTheKeyboard) {
  const RECT other = OtherMonitor();
  const UniqueWindow white =
      WhiteWindow({other.left, other.top, other.left + 200, other.top + 200});
  ASSERT_TRUE(white);
  PumpFor(300ms);
  const POINT onWhite{other.left + 100, other.top + 100};
  ASSERT_EQ(ScreenPixel(onWhite), RGB(255, 255, 255));

  ASSERT_TRUE(StartSaver());
  const std::vector<HWND> blackouts = Blackouts();
  ASSERT_EQ(blackouts.size(), 1u);
  const RECT blackout = ScreenRect(blackouts[0]);
  EXPECT_EQ(blackout.left, other.left);
  EXPECT_EQ(blackout.top, other.top);
  EXPECT_EQ(blackout.right, other.right);
  EXPECT_EQ(blackout.bottom, other.bottom);
  ExpectEveryMonitorCovered();
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(onWhite) == RGB(0, 0, 0); }, 3s));
  EXPECT_EQ(::GetWindow(blackouts[0], GW_OWNER), saver_->form());
  EXPECT_TRUE(::GetWindowLongPtrW(blackouts[0], GWL_EXSTYLE) & WS_EX_TOPMOST);

  // A click on the blackout leaves the form active with its focus, so Esc still ends it.
  ASSERT_EQ(::WindowFromPoint(onWhite), blackouts[0]);
  ::SetCursorPos(onWhite.x, onWhite.y);  // SendInput's absolute moves reach the primary only
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  PumpFor(300ms);
  EXPECT_EQ(saver_->Focus(), saver_->Control(id::sldLength));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(saver_->WaitForExit(10s));
}

TEST_F(TwoMonitors, APrimaryModeChangeMovesTheFormTheControlsAndTheBlackouts) {
  ASSERT_TRUE(StartSaver());
  // A title that wraps within the 1024-pixel screen and fits one line of the 1280-pixel one.
  const RECT oneLine = ScreenRect(saver_->Control(id::lblSongName));
  ASSERT_TRUE(player_.Control("clock off"));
  ASSERT_TRUE(player_.Control("title 0 Wolfgang Amadeus Mozart - Requiem"));
  // The song title is the player's caption up to " - Winamp": number, title and a space.
  ASSERT_TRUE(saver_->WaitForCaption(id::lblSongName, L"1. Wolfgang Amadeus Mozart - Requiem "));
  const RECT wrapped = ScreenRect(saver_->Control(id::lblSongName));
  ASSERT_GE(wrapped.bottom - wrapped.top, 2 * (oneLine.bottom - oneLine.top));

  modeChanged_ = true;
  ASSERT_TRUE(SetPrimaryMode(1280, 720));
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1280);
  ASSERT_EQ(Monitors().size(), 2u);

  // The form covers exactly the new primary screen.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const RECT form = ScreenRect(saver_->form());
        return form.left == 0 && form.top == 0 && form.right == 1280 && form.bottom == 720;
      },
      5s));
  PumpFor(500ms);
  ExpectControlsPlaced(*saver_, 1280, 720, 96);
  // The bottom rows stand inside it at their anchored places (the layout unit tests say which).
  for (int bottom : {id::cmdPrev, id::cmdNext, id::cmdPLEnd, id::cmdEnd, id::sldLength}) {
    EXPECT_LE(ScreenRect(saver_->Control(bottom)).bottom, 720) << bottom;
  }
  // The title's width follows the screen, and it wraps within it: one line now.
  const RECT title = ScreenRect(saver_->Control(id::lblSongName));
  EXPECT_EQ(title.bottom - title.top, oneLine.bottom - oneLine.top);

  // The other monitor, further right now, is covered again, and no blackout lies over the form.
  ExpectEveryMonitorCovered();
  EXPECT_EQ(Blackouts().size(), 1u);

  // On screen it is what a screen saver started on this screen shows, pixel for pixel: nothing
  // of the old layout is left anywhere. (The mouse rests on the other monitor: no tooltip.)
  ::SetCursorPos(OtherMonitor().left + 100, 100);
  PumpFor(1s);
  const RECT screen{0, 0, 1280, 720};
  const std::vector<COLORREF> relaid = ScreenPixels(screen);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(saver_->WaitForExit(10s));

  ASSERT_TRUE(StartSaver());
  ASSERT_TRUE(saver_->WaitForCaption(id::lblSongName, L"1. Wolfgang Amadeus Mozart - Requiem "));
  PumpFor(1s);
  EXPECT_EQ(FirstDifference(relaid, ScreenPixels(screen), screen.right), "");
}

TEST_F(TwoMonitors, AMonitorThatGoesTakesItsBlackoutAndOneThatComesGetsOne) {
  ASSERT_TRUE(StartSaver());
  ASSERT_EQ(Blackouts().size(), 1u);

  modeChanged_ = true;
  ASSERT_TRUE(AttachSecondMonitor(false));
  ASSERT_EQ(Monitors().size(), 1u);
  EXPECT_TRUE(WaitUntil([&] { return Blackouts().empty(); }, 5s));

  ASSERT_TRUE(AttachSecondMonitor(true));
  ASSERT_EQ(Monitors().size(), 2u);
  EXPECT_TRUE(WaitUntil([&] { return Blackouts().size() == 1; }, 5s));
  ExpectEveryMonitorCovered();
  EXPECT_EQ(saver_->Focus(), saver_->Control(id::sldLength));  // the keyboard stays with the form
}

}  // namespace
}  // namespace tokalux::e2e
