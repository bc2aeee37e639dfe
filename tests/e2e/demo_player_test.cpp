// The demo player driven from outside, the way tokalux drives a player: window messages with a
// bounded wait, titles read out of its memory (ANSI and UTF-16), its caption read with
// GetWindowTextA and GetWindowTextW.
#include <windows.h>

#include <gtest/gtest.h>
#include <roapi.h>
#include <winstring.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "com_object.h"
#include "demo_protocol.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/session_double.h"
#include "player/player_messages.h"
#include "player/title_text.h"
#include "base/com.h"
#include "base/win32_handles.h"

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

std::u16string CaptionUtf16(HWND window) {
  wchar_t text[2048] = {};
  const int length = ::GetWindowTextW(window, text, 2048);
  return std::u16string(text, text + std::max(length, 0));
}

// The system code page's bytes for text, and those bytes widened again: what an old player keeps
// and what its ANSI caption reads as in UTF-16.
std::string Ansi(std::u16string_view text) {
  std::string bytes(text.size() * 4, '\0');
  const int count = ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                          static_cast<int>(text.size()), bytes.data(),
                                          static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(count, 0)));
  return bytes;
}
std::u16string Widened(std::string_view bytes) {
  std::wstring text(bytes.size(), L'\0');
  const int count = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                          text.data(), static_cast<int>(text.size()));
  return std::u16string(text.begin(), text.begin() + std::max(count, 0));
}

// Titles in three scripts, as UTF-8 for the control command and as the expected UTF-16.
const std::string CyrillicUtf8 =
    "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE - "
    "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0";
const std::u16string Cyrillic = u"Кино - Группа";
const std::string GreekUtf8 = "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1";
const std::u16string Greek = u"Σοφία";
const std::string CjkUtf8 = "\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8E\xB5";
const std::u16string Cjk = u"東京 \U0001F3B5";

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

  // Entry index's UTF-16 title as a reader sees it: the address must fit 31 bits, and the 512
  // bytes there hold the title and its terminating zero character.
  std::u16string Utf16TitleOf(int32_t index) {
    const LRESULT address = Request(window(), RequestEntryTitleAddressUtf16, index);
    EXPECT_GT(address, 0);
    EXPECT_LT(address, 0x8000'0000);
    const auto bytes = Read(static_cast<uint64_t>(address), Utf16TitleBufferSize);
    if (!bytes) {
      ADD_FAILURE() << "UTF-16 title " << index << " cannot be read";
      return {};
    }
    const std::u16string units = DecodeUtf16Le(*bytes);
    EXPECT_NE(units.find(u'\0'), std::u16string::npos);
    return units.substr(0, units.find(u'\0'));
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
  char className[64] = {};
  ::GetClassNameA(window(), className, sizeof(className));
  EXPECT_STREQ(className, PlayerWindowClass);
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
  Command(window(), CommandNext);  // stays on the last
  EXPECT_EQ(Request(window(), RequestListPosition), 4);
  EXPECT_EQ(Request(window(), RequestSetListPosition, -1), 0);  // sign-extended: ignored
  EXPECT_EQ(Request(window(), RequestListPosition), 4);
  EXPECT_EQ(Request(window(), RequestSetListPosition, 0), 0);  // the list position only
  EXPECT_EQ(Caption(window()), "5. " + TitleOf(4) + " - Winamp");

  const LRESULT lengthS = Request(window(), RequestPlayTime, 1);
  EXPECT_GT(lengthS, 10);
  EXPECT_EQ(Request(window(), RequestSeek, 7000), 0);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 7000);
  Command(window(), CommandBack5s);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 2000);
  Request(window(), RequestSeek, 2'000'000'000);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), lengthS * 1000);
  Command(window(), CommandStop);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), -1);
  EXPECT_GT(Request(window(), RequestStreamInfo, 0), 0);
  EXPECT_EQ(Request(window(), 999, 1), 1);
  ASSERT_TRUE(player_.Control("entries 0"));
  Command(window(), CommandPlay);  // with nothing to play: the file dialog

  const std::vector<std::string> expected = {
      "control clock off",      "command 40048", "request 125 0",     "request 212 3",
      "command 40048",          "command 40048", "request 125 0",     "request 121 -1",
      "request 125 0",          "request 121 0", "request 212 4",     "request 105 1",
      "request 106 7000",       "request 105 0", "command 40144",     "request 105 0",
      "request 106 2000000000", "request 105 0", "command 40047",     "request 105 0",
      "request 126 0",          "request 999 1", "control entries 0", "command 40045",
      "dialog Open file(s)"};
  EXPECT_EQ(player_.LogLines(), expected);
  const std::vector<std::string> actions = {
      "command 40048", "command 40048",    "command 40048",      "request 121 -1",
      "request 121 0", "request 106 7000", "command 40144",      "request 106 2000000000",
      "command 40047", "command 40045",    "dialog Open file(s)"};
  EXPECT_EQ(player_.ActionLog(), actions);
}

TEST_F(DemoPlayerTest, AnswersEveryRequestOfABurst) {
  // A poll sends a few dozen messages a second; the player answers each within the send's bound
  // (a request it left unanswered would give -12345). How fast it answers is the benchmark's
  // figure: a wall-clock limit here failed on a loaded machine.
  for (int i = 0; i < 2000; ++i) {
    ASSERT_GT(Request(window(), i % 2 ? RequestListLength : RequestEntryTitleAddress, 1), 0);
  }
  const auto lines = player_.LogLines();
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), 2000u);
}

TEST_F(DemoPlayerTest, TitlesAreZeroTerminatedBytesBelowTwoGiB) {
  ASSERT_TRUE(player_.Control("title 1 Caf\\xC3\\xA9 \\\\ Ol\\xC3\\xA9"));
  EXPECT_EQ(TitleOf(1), Ansi(u"Café \\ Olé"));
  EXPECT_EQ(Utf16TitleOf(1), u"Café \\ Olé");
  ASSERT_TRUE(player_.Control("position 1"));
  EXPECT_EQ(Caption(window()), "2. " + Ansi(u"Café \\ Olé") + " - Winamp");

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

TEST_F(DemoPlayerTest, UnicodeTitlesInEveryScriptAnd213) {
  ASSERT_TRUE(player_.Control("title 0 " + CyrillicUtf8));
  ASSERT_TRUE(player_.Control("title 1 " + GreekUtf8));
  ASSERT_TRUE(player_.Control("title 2 " + CjkUtf8));
  EXPECT_EQ(Utf16TitleOf(0), Cyrillic);
  EXPECT_EQ(Utf16TitleOf(1), Greek);
  EXPECT_EQ(Utf16TitleOf(2), Cjk);
  // The ANSI titles are the code page's conversion ('?' for what it lacks).
  EXPECT_EQ(TitleOf(0), Ansi(Cyrillic));
  EXPECT_EQ(TitleOf(2), Ansi(Cjk));
  // The caption is UTF-16; read as ANSI it is the code page's conversion.
  EXPECT_EQ(CaptionUtf16(window()), u"3. " + Cjk + u" - Winamp");
  EXPECT_EQ(Caption(window()), "3. " + Ansi(Cjk) + " - Winamp");
  ASSERT_TRUE(player_.Control("caption " + GreekUtf8 + " - Winamp"));
  EXPECT_EQ(CaptionUtf16(window()), Greek + u" - Winamp");

  // Raw ANSI bytes: the UTF-16 title is them widened with the code page.
  ASSERT_TRUE(player_.Control("titlebytes 3 436166E9"));
  EXPECT_EQ(TitleOf(3), "Caf\xE9");
  EXPECT_EQ(Utf16TitleOf(3), Widened("Caf\xE9"));

  EXPECT_EQ(Request(window(), RequestEntryTitleAddressUtf16, 5), 0);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddressUtf16, -1), 0);
}

TEST_F(DemoPlayerTest, AnOldPlayerAnswersOneTo213AndHasAnAnsiCaption) {
  ASSERT_TRUE(player_.Control("title 2 " + CyrillicUtf8));
  ASSERT_TRUE(player_.Control("old on"));
  EXPECT_EQ(Request(window(), RequestEntryTitleAddressUtf16, 2), 1);
  EXPECT_EQ(TitleOf(2), Ansi(Cyrillic));
  // Set as ANSI bytes, the caption has lost what the code page lacks, read either way.
  EXPECT_EQ(CaptionUtf16(window()), u"3. " + Widened(Ansi(Cyrillic)) + u" - Winamp");
  EXPECT_EQ(Caption(window()), "3. " + Ansi(Cyrillic) + " - Winamp");
  if (::GetACP() == 1252) {
    EXPECT_EQ(Caption(window()), "3. ???? - ?????? - Winamp");
  }

  ASSERT_TRUE(player_.Control("old off"));
  EXPECT_EQ(CaptionUtf16(window()), u"3. " + Cyrillic + u" - Winamp");
  EXPECT_EQ(Utf16TitleOf(2), Cyrillic);
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

  // The UTF-16 title too: its zero character's second byte is the page's last byte.
  const LRESULT wide = Request(window(), RequestEntryTitleAddressUtf16, 2);
  ASSERT_GT(wide, 0);
  ASSERT_LT(wide, 0x8000'0000);
  EXPECT_EQ((wide + 10) % system.dwPageSize, 0) << "the zero character ends the page";
  EXPECT_FALSE(Read(static_cast<uint64_t>(wide), Utf16TitleBufferSize));
  EXPECT_EQ(Read(static_cast<uint64_t>(wide), 10), std::string("E\0d\0g\0e\0\0\0", 10));

  // Rewritten as an ordinary title, it is readable in full again.
  ASSERT_TRUE(player_.Control("title 2 Middle"));
  EXPECT_EQ(TitleOf(2), "Middle");
  EXPECT_EQ(Utf16TitleOf(2), u"Middle");
}

TEST_F(DemoPlayerTest, TitleOddPutsTheUtf16TitleAtAnOddAddress) {
  ASSERT_TRUE(player_.Control("titleodd 1 " + GreekUtf8));
  const LRESULT address = Request(window(), RequestEntryTitleAddressUtf16, 1);
  EXPECT_EQ(address % 2, 1);
  EXPECT_EQ(Utf16TitleOf(1), Greek);
  EXPECT_EQ(TitleOf(1), Ansi(Greek));
  // Long enough for a region of its own: still odd.
  ASSERT_TRUE(player_.Control("titleodd 1 " + std::string(3000, 'o')));
  const LRESULT longAddress = Request(window(), RequestEntryTitleAddressUtf16, 1);
  EXPECT_EQ(longAddress % 2, 1);
  const auto bytes = Read(static_cast<uint64_t>(longAddress), Utf16TitleBufferSize);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(DecodeUtf16Le(*bytes), std::u16string(256, u'o'));
}

TEST_F(DemoPlayerTest, AnswersTheVolumeQueryWithoutChangingTheVolume) {
  ASSERT_TRUE(player_.Control("volume 128"));
  EXPECT_EQ(Request(window(), RequestGetVolume, VolumeQueryArgument), 128);
  Command(window(), CommandVolumeUp);
  EXPECT_EQ(Request(window(), RequestGetVolume, VolumeQueryArgument), 132);
  EXPECT_EQ(Request(window(), RequestSetVolume, 255), 0);
  EXPECT_EQ(Request(window(), RequestGetVolume, VolumeQueryArgument), 255);
}

TEST_F(DemoPlayerTest, ScalesToTenThousandEntriesAndBack) {
  ASSERT_TRUE(player_.Control("entries 10000", 30s));
  EXPECT_EQ(Request(window(), RequestListLength), 10000);
  EXPECT_EQ(Request(window(), RequestListPosition), 0);
  EXPECT_FALSE(TitleOf(9999).empty());
  EXPECT_NE(TitleOf(9999), TitleOf(5000));
  ASSERT_TRUE(player_.Control("position 9999"));
  EXPECT_EQ(Caption(window()), "10000. " + TitleOf(9999) + " - Winamp");
  ASSERT_TRUE(player_.Control("scroll on"));  // a long caption turns too
  EXPECT_TRUE(WaitUntil([&] { return Caption(window()).starts_with("0000. "); }, 3s));

  ASSERT_TRUE(player_.Control("entries 5"));
  EXPECT_EQ(Request(window(), RequestListLength), 5);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, 5), 0);
  EXPECT_EQ(Request(window(), RequestEntryTitleAddress, 9999), 0);
  for (int32_t i = 0; i < 5; ++i) EXPECT_FALSE(TitleOf(i).empty());

  // Rewriting titles reuses their memory: a handful of addresses, however many rewrites. The
  // titles take four slot sizes, and each size holds at most four slots at once (the ANSI and
  // the UTF-16 form, old and new).
  std::set<LRESULT> addresses;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(
        player_.Control("title 0 " + std::string(static_cast<std::size_t>(1 + i % 50), 'x')));
    addresses.insert(Request(window(), RequestEntryTitleAddress, 0));
    addresses.insert(Request(window(), RequestEntryTitleAddressUtf16, 0));
  }
  EXPECT_LE(addresses.size(), 16u);
  EXPECT_EQ(TitleOf(0), std::string(50, 'x'));
  EXPECT_EQ(Utf16TitleOf(0), std::u16string(50, u'x'));
}

TEST_F(DemoPlayerTest, ClockAdvancesInRealTimeUnlessFrozen) {
  ASSERT_TRUE(player_.Control("clock off"));
  ASSERT_TRUE(player_.Control("time 5000"));
  ::Sleep(400);
  EXPECT_EQ(Request(window(), RequestPlayTime, 0), 5000);
  const ULONGLONG on = ::GetTickCount64();
  ASSERT_TRUE(player_.Control("clock on"));
  // It runs: past 5.3 s soon, and not far ahead of the time that went by since it was switched
  // on (its first tick counts from the tick before, which a busy machine may have put off).
  LRESULT elapsed = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        elapsed = Request(window(), RequestPlayTime, 0);
        return elapsed >= 5300;
      },
      5s));
  EXPECT_LE(elapsed, 5000 + static_cast<LRESULT>(::GetTickCount64() - on) + 2000);
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

TEST_F(DemoPlayerTest, HangStopsAnsweringForAWhileAndSlowAnswersEveryMessageLate) {
  ASSERT_TRUE(player_.Control("hang 1500"));
  ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(Send(window(), PlayerRequestMessage, 0, RequestListLength, 300));
  EXPECT_GE(::GetTickCount64() - start, 250u);
  EXPECT_TRUE(WaitUntil(
      [&] { return Send(window(), PlayerRequestMessage, 0, RequestListLength, 300) == 5; }, 5s));

  // Slow: each command and request is answered, after the delay; then at once again.
  ASSERT_TRUE(player_.Control("slow 200"));
  start = ::GetTickCount64();
  EXPECT_TRUE(Send(window(), PlayerCommandMessage, CommandNext, 0));
  EXPECT_EQ(Request(window(), RequestListPosition), 3);
  EXPECT_GE(::GetTickCount64() - start, 400u);
  ASSERT_TRUE(player_.Control("slow 0"));
  start = ::GetTickCount64();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Request(window(), RequestListPosition), 3);
  EXPECT_LT(::GetTickCount64() - start, 500u);
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
    EXPECT_EQ(Request(player.window(), RequestPlayTime, 1), -1);  // stopped: unknown
    EXPECT_EQ(Caption(player.window()), "3. Closing Song - Winamp [Stopped]");
    EXPECT_NE(Request(player.window(), RequestEntryTitleAddressUtf16, 2), 0);
    ::Sleep(300);
    EXPECT_EQ(Request(player.window(), RequestPlayTime, 0), -1);  // stopped
    EXPECT_EQ(Request(player.window(), RequestPlayState, 0), 0);
    Command(player.window(), CommandPlay);
    EXPECT_EQ(Request(player.window(), RequestPlayTime, 1), 300);
    EXPECT_TRUE(::GetWindowLongW(player.window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(ScreenRect(player.window()).right, ::GetSystemMetrics(SM_CXSCREEN));
  }
  ::DeleteFileW(list.c_str());

  // --old-player starts an old player, its caption set in ANSI from the start.
  {
    DemoPlayer player(L"--entries 3 --old-player");
    ASSERT_NE(player.window(), nullptr);
    ASSERT_TRUE(player.Control("title 0 " + CyrillicUtf8));
    EXPECT_EQ(Request(player.window(), RequestEntryTitleAddressUtf16, 0), 1);
    EXPECT_EQ(CaptionUtf16(player.window()), u"1. " + Widened(Ansi(Cyrillic)) + u" - Winamp");
  }

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
  // The command line carries text in any script (as UTF-8).
  EXPECT_EQ(send(L"caption Σοφία - Winamp"), demo::SendAccepted);
  EXPECT_EQ(CaptionUtf16(player.window()), u"Σοφία - Winamp");
}

// What a client of the session manager sees of a demo player that publishes a session.
using tokalux::ComPtr;

// The object an ABI call hands out through its last argument.
template <typename T, typename Call>
ComPtr<T> Out(Call call) {
  T* raw = nullptr;
  EXPECT_EQ(call(&raw), S_OK);
  return ComPtr<T>::Adopt(raw);
}

// The operation's status once it is no longer Started, or after 5 s.
template <typename Result>
media::AsyncStatus Settle(media::IAsyncOperation<Result>* operation) {
  const auto info = Out<media::IAsyncInfo>([&](media::IAsyncInfo** out) {
    return operation->QueryInterface(media::iid::AsyncInfo, reinterpret_cast<void**>(out));
  });
  media::AsyncStatus status = media::AsyncStatus::Started;
  WaitUntil(
      [&] { return SUCCEEDED(info->get_Status(&status)) && status != media::AsyncStatus::Started; },
      5s);
  return status;
}

// The result of a completed operation (a reference for the caller, for an interface).
template <typename Result>
Result Await(media::IAsyncOperation<Result>* operation) {
  Result result{};
  EXPECT_EQ(Settle(operation), media::AsyncStatus::Completed);
  EXPECT_EQ(operation->GetResults(&result), S_OK);
  return result;
}

HRESULT ManagerFactory(media::ISessionManagerStatics** statics) {
  HSTRING name = nullptr;
  ::WindowsCreateString(media::SessionManagerClass,
                        static_cast<UINT32>(wcslen(media::SessionManagerClass)), &name);
  const HRESULT got = ::RoGetActivationFactory(name, media::iid::SessionManagerStatics,
                                               reinterpret_cast<void**>(statics));
  ::WindowsDeleteString(name);
  return got;
}

// Counts the calls of a session's change event.
struct EventCount final : media::ITypedEventHandler<media::ISession> {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Invoke(media::ISession*, IInspectable*) override {
    ++calls;
    return S_OK;
  }
  std::atomic<int> calls{0};
};

// Counts the calls of an operation's completion handler, and says on which thread it ran.
struct CompletionCount final : media::IAsyncOperationCompletedHandler<media::Boolean> {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Invoke(media::BooleanOperation*, media::AsyncStatus) override {
    thread = ::GetCurrentThreadId();
    ++calls;
    return S_OK;
  }
  std::atomic<DWORD> thread{0};
  std::atomic<int> calls{0};
};

class DemoPlayerSession : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com_); }

  ComPtr<media::ISessionManager> Manager() {
    const auto statics = Out<media::ISessionManagerStatics>(ManagerFactory);
    if (!statics) return {};
    const auto operation = Out<media::IAsyncOperation<media::ISessionManager*>>(
        [&](auto** out) { return statics->RequestAsync(out); });
    return ComPtr<media::ISessionManager>::Adopt(Await(operation.get()));
  }
  static std::wstring String(const std::function<HRESULT(HSTRING*)>& get) {
    HSTRING text = nullptr;
    EXPECT_EQ(get(&text), S_OK);
    UINT32 length = 0;
    const wchar_t* raw = ::WindowsGetStringRawBuffer(text, &length);
    std::wstring copy(raw ? raw : L"", length);
    ::WindowsDeleteString(text);
    return copy;
  }
  static ComPtr<media::IMediaProperties> Properties(media::ISession* session) {
    const auto operation = Out<media::IAsyncOperation<media::IMediaProperties*>>(
        [&](auto** out) { return session->TryGetMediaPropertiesAsync(out); });
    return ComPtr<media::IMediaProperties>::Adopt(Await(operation.get()));
  }
  static media::PlaybackStatus Status(media::ISession* session) {
    media::PlaybackStatus status{};
    Out<media::IPlaybackInfo>([&](auto** out) {
      return session->GetPlaybackInfo(out);
    })->get_PlaybackStatus(&status);
    return status;
  }
  static bool Try(media::ISession* session, HRESULT (STDMETHODCALLTYPE media::ISession::*request)(
                                                media::BooleanOperation**)) {
    const auto operation =
        Out<media::BooleanOperation>([&](auto** out) { return (session->*request)(out); });
    return Await(operation.get()) != 0;
  }

  const ScopedCom com_;  // the apartment the manager is made in
};

TEST_F(DemoPlayerSession, PublishesItsStateAndTakesRequestsThroughTheSessionManagerDouble) {
  DemoPlayer player(AsSession{L"Tokalux.Test"}, L"--entries 3 --paused");
  ASSERT_NE(player.window(), nullptr);
  EXPECT_EQ(FindWindowOfProcess(L"Winamp v1.x", player.process().id()), nullptr);
  ASSERT_TRUE(player.Control("title 0 Kino - Gruppa krovi"));
  const auto manager = Manager();
  ASSERT_TRUE(manager);
  const auto session =
      Out<media::ISession>([&](auto** out) { return manager->GetCurrentSession(out); });
  ASSERT_TRUE(session);
  EXPECT_EQ(String([&](HSTRING* out) { return session->get_SourceAppUserModelId(out); }),
            L"Tokalux.Test");
  auto properties = Properties(session.get());
  ASSERT_TRUE(properties);
  EXPECT_EQ(String([&](HSTRING* out) { return properties->get_Title(out); }), L"Gruppa krovi");
  EXPECT_EQ(String([&](HSTRING* out) { return properties->get_Artist(out); }), L"Kino");
  INT32 number = 0;
  INT32 count = 0;
  properties->get_TrackNumber(&number);
  properties->get_AlbumTrackCount(&count);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(Out<media::IRandomAccessStreamReference>(
      [&](auto** out) { return properties->get_Thumbnail(out); }));
  EXPECT_EQ(Status(session.get()), media::PlaybackStatus::Paused);

  // Each request reaches the player once, in order; one the session does not accept too, but
  // it answers false and changes nothing. A change fires its event on its own.
  EventCount playbackChanged;
  EventRegistrationToken token{};
  ASSERT_EQ(session->add_PlaybackInfoChanged(&playbackChanged, &token), S_OK);
  EXPECT_TRUE(Try(session.get(), &media::ISession::TryPlayAsync));
  EXPECT_TRUE(
      WaitUntil([&] { return Status(session.get()) == media::PlaybackStatus::Playing; }, 5s));
  EXPECT_TRUE(WaitUntil([&] { return playbackChanged.calls > 0; }, 5s));
  ASSERT_TRUE(player.SessionControls("play next"));
  EXPECT_FALSE(Try(session.get(), &media::ISession::TryPauseAsync));
  EXPECT_TRUE(Try(session.get(), &media::ISession::TrySkipNextAsync));
  EXPECT_TRUE(WaitUntil([&] { return player.SessionRequests()->size() == 3; }, 5s));
  EXPECT_EQ(player.SessionRequests(),
            (std::vector<std::string>{"session play", "session pause", "session next"}));
  EXPECT_EQ(Status(session.get()), media::PlaybackStatus::Playing);
  const int calls = playbackChanged.calls;
  ASSERT_TRUE(player.FireSessionEvent("playback"));
  EXPECT_TRUE(WaitUntil([&] { return playbackChanged.calls > calls; }, 5s));
  session->remove_PlaybackInfoChanged(token);

  // The thumbnail's stream answers IStream with the picture file's bytes.
  ScratchFolder folder(ScratchPath(L"session-picture"));
  const std::vector<uint8_t> picture = {0x89, 'P', 'N', 'G', 1, 2, 3};
  ASSERT_TRUE(player.SessionPicture(folder.Put(L"cover.png", picture)));
  properties = Properties(session.get());
  const auto thumbnail = Out<media::IRandomAccessStreamReference>(
      [&](auto** out) { return properties->get_Thumbnail(out); });
  ASSERT_TRUE(thumbnail);
  const auto open = Out<media::IAsyncOperation<media::IRandomAccessStreamWithContentType*>>(
      [&](auto** out) { return thumbnail->OpenReadAsync(out); });
  const auto stream = ComPtr<media::IRandomAccessStreamWithContentType>::Adopt(Await(open.get()));
  ASSERT_TRUE(stream);
  const auto bytes = Out<IStream>([&](IStream** out) {
    return stream->QueryInterface(media::iid::Stream, reinterpret_cast<void**>(out));
  });
  std::vector<uint8_t> read(64);
  ULONG got = 0;
  bytes->Read(read.data(), static_cast<ULONG>(read.size()), &got);
  read.resize(got);
  EXPECT_EQ(read, picture);
  media::Boolean result = 0;

  // A handler set on a completed operation runs at once on this thread, and only one may be set;
  // on an operation that completes later, it runs then, on another thread.
  const auto play =
      Out<media::BooleanOperation>([&](auto** out) { return session->TryPlayAsync(out); });
  CompletionCount done;
  EXPECT_EQ(play->put_Completed(&done), S_OK);
  EXPECT_EQ(done.calls, 1);
  EXPECT_EQ(done.thread, ::GetCurrentThreadId());
  EXPECT_EQ(play->put_Completed(&done), media::IllegalDelegateAssignment);
  ASSERT_TRUE(player.SessionAsync("requests", "1000"));
  const auto later =
      Out<media::BooleanOperation>([&](auto** out) { return session->TryPlayAsync(out); });
  CompletionCount laterDone;
  EXPECT_EQ(later->put_Completed(&laterDone), S_OK);
  EXPECT_EQ(laterDone.calls, 0);
  EXPECT_EQ(later->GetResults(&result), media::IllegalMethodCall);
  EXPECT_TRUE(WaitUntil([&] { return laterDone.calls == 1; }, 5s));
  EXPECT_NE(laterDone.thread, ::GetCurrentThreadId());

  // An operation steered never to complete stays started until it is canceled.
  ASSERT_TRUE(player.SessionAsync("requests", "never"));
  const auto stop =
      Out<media::BooleanOperation>([&](auto** out) { return session->TryStopAsync(out); });
  PumpFor(200ms);
  EXPECT_EQ(stop->GetResults(&result), media::IllegalMethodCall);
  Out<media::IAsyncInfo>([&](media::IAsyncInfo** out) {
    return stop->QueryInterface(media::iid::AsyncInfo, reinterpret_cast<void**>(out));
  })->Cancel();
  EXPECT_EQ(Settle(stop.get()), media::AsyncStatus::Canceled);

  // A second session becomes the current one when a test says so.
  DemoPlayer second(AsSession{L"Second.App"});
  ASSERT_NE(second.window(), nullptr);
  ASSERT_TRUE(second.MakeSessionCurrent());
  const auto current =
      Out<media::ISession>([&](auto** out) { return manager->GetCurrentSession(out); });
  ASSERT_TRUE(current);
  EXPECT_EQ(String([&](HSTRING* out) { return current->get_SourceAppUserModelId(out); }),
            L"Second.App");

  // The session ends with its player, even a killed one.
  player.process().Kill();
  EXPECT_TRUE(WaitUntil(
      [&] {
        UINT32 size = 1;
        Out<media::IVectorView<media::ISession*>>([&](auto** out) {
          return manager->GetSessions(out);
        })->get_Size(&size);
        return size == 1;
      },
      5s));
  EXPECT_EQ(Status(session.get()), media::PlaybackStatus::Closed);
}

TEST_F(DemoPlayerSession, WithoutTheKeyThereIsNoSessionManagerUntilItComesBack) {
  {
    const WithoutSessionManager none;
    ASSERT_TRUE(none.removed());
    media::ISessionManagerStatics* statics = nullptr;
    EXPECT_EQ(ManagerFactory(&statics), REGDB_E_CLASSNOTREG);
  }
  ASSERT_TRUE(RegisterSessionDouble());
  EXPECT_TRUE(Manager());
}

}  // namespace
}  // namespace tokalux::e2e
