// The demo player driven from outside, the way tokalux drives a player: window messages with a
// bounded wait, titles read out of its memory, its caption read with GetWindowTextA.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "demo_protocol.h"
#include "harness/demo_player.h"
#include "player/player_messages.h"
#include "player/unique_handle.h"

namespace tokalux::e2e {
namespace {

constexpr UINT Timeout = 2000;

// The answer to a message, or nullopt when it timed out or the window is gone.
std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            UINT timeout = Timeout) {
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, timeout, &answer)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

// A request as tokalux sends it: the argument sign-extended into wParam.
LRESULT Request(HWND window, int32_t number, int32_t argument = 0) {
  return Send(window, PlayerRequestMessage, static_cast<WPARAM>(static_cast<INT_PTR>(argument)),
              number)
      .value_or(-12345);
}

void Command(HWND window, int32_t identifier) {
  Send(window, PlayerCommandMessage, static_cast<WPARAM>(identifier), 0);
}

std::string Caption(HWND window) {
  char text[2048] = {};
  const int length = ::GetWindowTextA(window, text, sizeof(text));
  return std::string(text, static_cast<std::size_t>(std::max(length, 0)));
}

class DemoPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window(), nullptr) << "the demo player's window did not appear";
    process_.reset(
        ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, player_.process().id()));
    ASSERT_TRUE(process_);
  }

  HWND window() const { return player_.window(); }

  // Reads count bytes at address in the player's process; nullopt when the read fails.
  std::optional<std::string> Read(uint64_t address, std::size_t count) {
    std::string bytes(count, '\0');
    SIZE_T got = 0;
    if (!::ReadProcessMemory(process_.get(), reinterpret_cast<LPCVOID>(address), bytes.data(),
                             count, &got) ||
        got != count) {
      return std::nullopt;
    }
    return bytes;
  }

  // Entry index's title as a reader sees it: the address must fit 31 bits, and the 256 bytes
  // there hold the title and its terminating zero.
  std::string TitleOf(int32_t index) {
    const LRESULT address = Request(window(), RequestEntryTitleAddress, index);
    EXPECT_GT(address, 0);
    EXPECT_LT(address, 0x8000'0000);
    const auto bytes = Read(static_cast<uint64_t>(address), 256);
    if (!bytes) {
      ADD_FAILURE() << "title " << index << " cannot be read";
      return {};
    }
    const std::size_t zero = bytes->find('\0');
    EXPECT_NE(zero, std::string::npos);
    return bytes->substr(0, zero);
  }

  DemoPlayer player_{L"--entries 5 --position 2"};
  UniqueHandle process_;
};

TEST_F(DemoPlayerTest, ShowsItsWindowWithTheCurrentEntryInTheCaption) {
  char class_name[64] = {};
  ::GetClassNameA(window(), class_name, sizeof(class_name));
  EXPECT_STREQ(class_name, PlayerWindowClass);
  EXPECT_EQ(::FindWindowA(PlayerWindowClass, nullptr), window());
  EXPECT_TRUE(::IsWindowVisible(window()));
  const RECT rect = ScreenRect(window());
  EXPECT_NEAR(rect.right - rect.left, 360, 40);
  EXPECT_NEAR(rect.bottom - rect.top, 120, 40);

  EXPECT_EQ(Request(window(), RequestListLength), 5);
  EXPECT_EQ(Request(window(), RequestListPosition), 2);
  EXPECT_EQ(Caption(window()), "3. " + TitleOf(2) + " - Winamp");
}

TEST_F(DemoPlayerTest, AnswersCommandsAndRequestsAndLogsThemInOrder) {
  ASSERT_TRUE(player_.ClearLog());
  ASSERT_TRUE(player_.Control("clock off"));
  Command(window(), CommandNext);
  EXPECT_EQ(Request(window(), RequestListPosition), 3);
  EXPECT_EQ(Caption(window()), "4. " + TitleOf(3) + " - Winamp");
  Command(window(), CommandNext);
  Command(window(), CommandNext);  // wraps to the first
  EXPECT_EQ(Request(window(), RequestListPosition), 0);
  EXPECT_EQ(Request(window(), RequestSetListPosition, -1), 0);  // sign-extended: ignored
  EXPECT_EQ(Request(window(), RequestListPosition), 0);
  EXPECT_EQ(Request(window(), RequestSetListPosition, 4), 0);
  EXPECT_EQ(Caption(window()), "5. " + TitleOf(4) + " - Winamp");

  const LRESULT length_s = Request(window(), RequestPlayTime, 1);
  EXPECT_GT(length_s, 10);
  EXPECT_EQ(Request(window(), RequestSeek, 7000), 0);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 7000);
  Command(window(), CommandBack5s);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 2000);
  Request(window(), RequestSeek, 2'000'000'000);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), length_s * 1000);
  Command(window(), CommandStop);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 0);
  EXPECT_GT(Request(window(), RequestStreamInfo, 0), 0);
  EXPECT_EQ(Request(window(), 999, 1), 0);

  const std::vector<std::string> expected = {
      "control clock off",      "command 40048", "request 125 0", "request 212 3",
      "command 40048",          "command 40048", "request 125 0", "request 121 -1",
      "request 125 0",          "request 121 4", "request 212 4", "request 105 1",
      "request 106 7000",       "request 105 0", "command 40144", "request 105 0",
      "request 106 2000000000", "request 105 0", "command 40047", "request 105 0",
      "request 126 0",          "request 999 1"};
  EXPECT_EQ(player_.LogLines(), expected);
  const std::vector<std::string> actions = {
      "command 40048",  "command 40048",          "command 40048",
      "request 121 -1", "request 121 4",          "request 106 7000",
      "command 40144",  "request 106 2000000000", "command 40047"};
  EXPECT_EQ(player_.ActionLog(), actions);
}

TEST_F(DemoPlayerTest, AnswersQuickly) {
  // A poll sends a few dozen messages a second; the player must not be what makes it slow.
  const ULONGLONG start = ::GetTickCount64();
  for (int i = 0; i < 2000; ++i) {
    ASSERT_GT(Request(window(), i % 2 ? RequestListLength : RequestEntryTitleAddress, 1), 0);
  }
  EXPECT_LT(::GetTickCount64() - start, 4000u);
  const auto lines = player_.LogLines();
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), 2000u);
}

TEST_F(DemoPlayerTest, TitlesAreZeroTerminatedBytesBelowTwoGiB) {
  ASSERT_TRUE(player_.Control("title 1 Caf\\xE9 \\\\ Ol\\xE9"));
  EXPECT_EQ(TitleOf(1), "Caf\xE9 \\ Ol\xE9");
  ASSERT_TRUE(player_.Control("position 1"));
  EXPECT_EQ(Caption(window()), "2. Caf\xE9 \\ Ol\xE9 - Winamp");

  // 256 bytes and no zero among them: a 256-byte read sees no terminator, the zero follows.
  ASSERT_TRUE(player_.Control("titlebytes 0 " + std::string(512, '7')));
  const LRESULT address = Request(window(), RequestEntryTitleAddress, 0);
  ASSERT_GT(address, 0);
  ASSERT_LT(address, 0x8000'0000);
  const auto bytes = Read(static_cast<uint64_t>(address), 257);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 256), std::string(256, '\x77'));
  EXPECT_EQ((*bytes)[256], '\0');

  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, 5), 0);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, -1), 0);
}

TEST_F(DemoPlayerTest, TitleAtPageEndCanOnlyBeReadUpToThePageEnd) {
  ASSERT_TRUE(player_.Control("titleatpageend 2 Edge"));
  const LRESULT address = Request(window(), RequestEntryTitleAddress, 2);
  ASSERT_GT(address, 0);
  ASSERT_LT(address, 0x8000'0000);
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  EXPECT_EQ((address + 5) % system.dwPageSize, 0) << "the zero ends the page";
  EXPECT_FALSE(Read(static_cast<uint64_t>(address), 256));
  EXPECT_EQ(Read(static_cast<uint64_t>(address), 5), std::string("Edge\0", 5));
  EXPECT_EQ(Caption(window()), "3. Edge - Winamp");

  // Rewritten as an ordinary title, it is readable in full again.
  ASSERT_TRUE(player_.Control("title 2 Middle"));
  EXPECT_EQ(TitleOf(2), "Middle");
}

TEST_F(DemoPlayerTest, ScalesToTenThousandEntriesAndBack) {
  ASSERT_TRUE(player_.Control("entries 10000", 30s));
  EXPECT_EQ(Request(window(), RequestListLength), 10000);
  EXPECT_EQ(Request(window(), RequestListPosition), 0);
  EXPECT_FALSE(TitleOf(9999).empty());
  EXPECT_NE(TitleOf(9999), TitleOf(5000));
  ASSERT_TRUE(player_.Control("position 9999"));
  EXPECT_EQ(Caption(window()), "10000. " + TitleOf(9999) + " - Winamp");

  ASSERT_TRUE(player_.Control("entries 5"));
  EXPECT_EQ(Request(window(), RequestListLength), 5);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, 5), 0);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, 9999), 0);
  for (int32_t i = 0; i < 5; ++i) EXPECT_FALSE(TitleOf(i).empty());

  // Rewriting titles reuses their memory: a handful of addresses, however many rewrites.
  std::set<LRESULT> addresses;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(
        player_.Control("title 0 " + std::string(static_cast<std::size_t>(1 + i % 50), 'x')));
    addresses.insert(Request(window(), RequestEntryTitleAddress, 0));
  }
  EXPECT_LE(addresses.size(), 6u);
  EXPECT_EQ(TitleOf(0), std::string(50, 'x'));
}

TEST_F(DemoPlayerTest, ClockAdvancesInRealTimeUnlessFrozen) {
  ASSERT_TRUE(player_.Control("clock off"));
  ASSERT_TRUE(player_.Control("time 5000"));
  ::Sleep(400);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 5000);
  ASSERT_TRUE(player_.Control("clock on"));
  ::Sleep(600);
  const LRESULT elapsed = Request(window(), RequestPlayTime, 0);
  EXPECT_GE(elapsed, 5300);
  EXPECT_LE(elapsed, 8000);
}

TEST_F(DemoPlayerTest, AnswerOverridesAndRandomAnswers) {
  ASSERT_TRUE(player_.Control("answer 105 0 -1"));
  ASSERT_TRUE(player_.Control("answer 124 * 0x7FFFFFFF"));
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), -1);
  EXPECT_EQ(Request(window(), RequestListLength, 3), 0x7FFF'FFFF);
  ASSERT_TRUE(player_.Control("answer clear"));
  EXPECT_EQ(Request(window(), RequestListLength), 5);
  ASSERT_TRUE(player_.Control("random on 1"));
  std::set<LRESULT> answers;
  for (int i = 0; i < 10; ++i) answers.insert(Request(window(), RequestEntryTitleAddress, 0));
  EXPECT_GT(answers.size(), 5u);
  ASSERT_TRUE(player_.Control("random off"));
  EXPECT_EQ(Request(window(), RequestListLength), 5);
}

TEST_F(DemoPlayerTest, FixedCaption) {
  ASSERT_TRUE(player_.Control("caption Just a window"));
  EXPECT_EQ(Caption(window()), "Just a window");
  ASSERT_TRUE(player_.Control("caption auto"));
  EXPECT_EQ(Caption(window()), "3. " + TitleOf(2) + " - Winamp");
}

TEST_F(DemoPlayerTest, RejectsMalformedControlAndKeepsAnswering) {
  EXPECT_FALSE(player_.Control("position 5"));
  EXPECT_FALSE(player_.Control("title 1 \\q"));
  EXPECT_FALSE(player_.Control(""));
  EXPECT_FALSE(player_.Control(std::string(100'000, 'z')));
  COPYDATASTRUCT other{};
  other.dwData = 1234;
  EXPECT_EQ(Send(window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other)), FALSE);
  EXPECT_EQ(Request(window(), RequestListPosition), 2);
  EXPECT_EQ(Caption(window()), "3. " + TitleOf(2) + " - Winamp");
}

TEST_F(DemoPlayerTest, HangStopsAnsweringForAWhile) {
  ASSERT_TRUE(player_.Control("hang 1500"));
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(Send(window(), PlayerRequestMessage, 0, RequestListLength, 300));
  EXPECT_GE(::GetTickCount64() - start, 250u);
  EXPECT_TRUE(WaitUntil(
      [&] { return Send(window(), PlayerRequestMessage, 0, RequestListLength, 300) == 5; }, 5s));
}

TEST_F(DemoPlayerTest, VanishRemovesTheWindowThenTheProcess) {
  ASSERT_TRUE(player_.Control("vanish"));
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window()); }, 3s));
  EXPECT_TRUE(player_.process().WaitForExit(5s));
  EXPECT_FALSE(Send(window(), PlayerRequestMessage, 0, RequestListLength, 300));
}

TEST_F(DemoPlayerTest, DieEndsTheProcessAtOnce) {
  ASSERT_TRUE(player_.Control("die"));
  EXPECT_TRUE(player_.process().WaitForExit(5s));
  EXPECT_EQ(player_.process().ExitCode(), demo::DieExitCode);
}

TEST(DemoPlayerStart, OptionsSetTheStartingState) {
  const std::wstring list = ScratchPath(L"demo-playlist");
  {
    std::ofstream file(std::filesystem::path(list), std::ios::binary);
    file << "Opening\t61\nMiddle Song\nClosing Song\t300\n";
  }
  {
    DemoPlayer player(L"--playlist \"" + list + L"\" --position 2 --stopped --corner");
    ASSERT_NE(player.window(), nullptr);
    EXPECT_EQ(Request(player.window(), RequestListLength), 3);
    EXPECT_EQ(Request(player.window(), RequestPlayTime, 1), 300);
    EXPECT_EQ(Caption(player.window()), "3. Closing Song - Winamp");
    ::Sleep(300);
    EXPECT_EQ(Request(player.window(), RequestPlayTime, 0), 0);  // stopped
    EXPECT_TRUE(::GetWindowLongW(player.window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(ScreenRect(player.window()).right, ::GetSystemMetrics(SM_CXSCREEN));
  }
  ::DeleteFileW(list.c_str());

  // A bad command line ends the player with an error instead of starting it.
  ChildProcess bad(BesideTests(L"tokalux-demo-player.exe"), L"--entries many");
  ASSERT_TRUE(bad.WaitForExit(10s));
  EXPECT_EQ(bad.ExitCode(), static_cast<DWORD>(demo::StartFailed));
}

TEST(DemoPlayerSend, ScriptsSendControlCommandsAndReadTheExitCode) {
  const auto send = [](const std::wstring& command) {
    ChildProcess sender(BesideTests(L"tokalux-demo-player.exe"), L"--send \"" + command + L"\"");
    EXPECT_TRUE(sender.WaitForExit(10s));
    return static_cast<int>(sender.ExitCode());
  };
  if (::FindWindowA(PlayerWindowClass, nullptr) == nullptr) {
    EXPECT_EQ(send(L"volume 3"), demo::SendNoPlayer);
  }
  DemoPlayer player(L"--entries 3");
  ASSERT_NE(player.window(), nullptr);
  EXPECT_EQ(send(L"position 2"), demo::SendAccepted);
  EXPECT_EQ(Request(player.window(), RequestListPosition), 2);
  EXPECT_EQ(send(L"position 3"), demo::SendRejected);
}

}  // namespace
}  // namespace tokalux::e2e
