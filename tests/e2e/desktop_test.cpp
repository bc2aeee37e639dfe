// tokalux.scr as Windows starts it after the idle time: on a desktop of its own ("Screen-saver")
// while the player runs on "Default". Window messages pass only between threads of one desktop,
// so the screen saver's form is read and driven from a thread of this test on that desktop, and
// the player from the test's own thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/screen_saver.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;

// Two polls (one a second) and a margin for a busy machine.
constexpr auto TwoPolls = 3s;

class OwnDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(desktop_.handle(), nullptr);
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_TRUE(player_.Control("caption First Player - Winamp"));
    ASSERT_TRUE(saver_.process().started());
  }
  void TearDown() override { saver_.process().Kill(); }

  // Clicks a button of the form the way a scripting tool on that desktop would.
  void ClickButton(int controlId) {
    RunOnDesktop(desktop_, [&] { ::SendMessageW(saver_.Control(controlId), BM_CLICK, 0, 0); });
  }

  DemoPlayer player_{L"--entries 20"};
  Desktop desktop_{L"Screen-saver"};
  ScreenSaver saver_{L"/S", desktop_.StartupName()};
};

TEST_F(OwnDesktopTest, ShowsAndDrivesThePlayerOnDefault) {
  DWORD formThread = 0;
  RunOnDesktop(desktop_, [&] {
    ASSERT_NE(saver_.WaitForForm(), nullptr) << "no form on the screen saver's desktop";
    formThread = ::GetWindowThreadProcessId(saver_.form(), nullptr);
    EXPECT_TRUE(saver_.WaitForCaption(id::lblSongName, L"First Player ", TwoPolls));
    EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20", TwoPolls));
  });
  ASSERT_TRUE(saver_.IsRunning());

  ASSERT_TRUE(player_.ClearLog());
  ClickButton(id::cmdPlay);
  EXPECT_TRUE(WaitUntil([&] { return player_.Logged("command 40045"); }, 3s));

  // The form's thread stays on the screen saver's desktop; the thread that talks to the player
  // sits on the player's.
  int onDefault = 0;
  for (const auto& [thread, desktop] : ThreadDesktops(saver_.process())) {
    if (thread == formThread) {
      EXPECT_EQ(desktop, L"Screen-saver");
    }
    if (desktop == L"Default") ++onDefault;
  }
  EXPECT_EQ(onDefault, 1);
}

TEST_F(OwnDesktopTest, FollowsAPlayerClosedAndStartedAgainAndEndsOnEsc) {
  RunOnDesktop(desktop_, [&] {
    ASSERT_NE(saver_.WaitForForm(), nullptr);
    EXPECT_TRUE(saver_.WaitForCaption(id::lblSongName, L"First Player ", TwoPolls));
  });

  player_.process().Kill();
  RunOnDesktop(desktop_, [&] {
    // Gone: the screen shows what a vanished player answers.
    EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 0", TwoPolls));
  });
  DemoPlayer second(L"--entries 5");
  ASSERT_NE(second.window(), nullptr);
  ASSERT_TRUE(second.Control("clock off"));
  ASSERT_TRUE(second.Control("caption Second Player - Winamp"));
  RunOnDesktop(desktop_, [&] {
    EXPECT_TRUE(saver_.WaitForCaption(id::lblSongName, L"Second Player ", TwoPolls));
    EXPECT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 5", TwoPolls));
  });
  ASSERT_TRUE(second.ClearLog());
  ClickButton(id::cmdNext);
  EXPECT_TRUE(WaitUntil([&] { return second.Logged("command 40048"); }, 3s));

  // While the screen saver runs, its desktop is the one that gets the keyboard.
  RunOnDesktop(desktop_, [&] {
    ASSERT_TRUE(::SwitchDesktop(desktop_.handle()));
    ::SetForegroundWindow(saver_.form());
    PressKey(VK_ESCAPE);
  });
  ::SwitchDesktop(::GetThreadDesktop(::GetCurrentThreadId()));
  EXPECT_TRUE(saver_.WaitForExit(5s));
  EXPECT_EQ(saver_.process().ExitCode(), 0u);
}

}  // namespace
}  // namespace tokalux::e2e
