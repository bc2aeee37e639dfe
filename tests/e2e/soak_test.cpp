// A minute of running against a 500-entry playlist that changes track every two seconds: the
// screen saver's handles and GDI objects must not grow once it has settled.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "harness/demo_player.h"
#include "harness/process_stats.h"

namespace tokalux::e2e {
namespace {

// Keeps changing track on the player for the given time.
void ChangeTracks(DemoPlayer& player, int& entry, std::chrono::seconds duration) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(duration.count()) * 1000;
  while (::GetTickCount64() < end) {
    entry = (entry + 7) % 500;
    player.Control("position " + std::to_string(entry));
    player.Control("title " + std::to_string(entry) + " retitled " +
                   std::to_string(::GetTickCount64()));
    PumpFor(2s);
  }
}

TEST(Soak, HandlesAndGdiObjectsStayFlatOverAMinute) {
  DemoPlayer player(L"--entries 500");
  ASSERT_NE(player.window(), nullptr);
  ChildProcess saver(BesideTests(L"tokalux.scr"), L"/S");
  ASSERT_NE(WaitForWindow(L"tokalux", 20s, saver.id()), nullptr);

  int entry = 0;
  ChangeTracks(player, entry, 15s);  // settle: fonts, tooltips, first polls
  const ProcessStats settled = SampleProcess(saver.handle());
  ChangeTracks(player, entry, 45s);
  ASSERT_TRUE(saver.IsRunning());
  const ProcessStats later = SampleProcess(saver.handle());
  std::printf("after 15 s: %s\nafter 60 s: %s\n", FormatStats(settled).c_str(),
              FormatStats(later).c_str());

  ASSERT_GT(settled.handles, 0u);
  EXPECT_LE(later.handles, settled.handles);
  EXPECT_LE(later.gdiObjects, settled.gdiObjects);  // both 0 where the system does not count them
  EXPECT_LE(later.userObjects, settled.userObjects);
}

}  // namespace
}  // namespace tokalux::e2e
