// Figures for one status poll against the demo player, and for the screen saver running:
//   poll      the time of one poll (requests, caption, fifteen title reads), median of many
//   floor     the same count of bare round trips: 7 requests, one caption read, 15 title-address
//             requests and 15 memory reads, with nothing else
//   cpu       the screen saver's CPU time per minute with the demo player playing
//   peak      the screen saver's peak working set
//   first     start to the first painted frame; Esc   Esc to exit while the player hangs
// Usage: poll_bench.exe [--polls N] [--seconds S] [--still 1]   (run under Wine: scripts/bench.sh)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "display/control_ids.h"
#include "display/shared_values.h"
#include "display/status_poll.h"
#include "display/status_screen.h"
#include "bench_args.h"
#include "harness/demo_player.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"
#include "player/win32_player.h"

namespace {

using namespace tokalux;
using namespace tokalux::e2e;

// The poll's screen writes cost no round trip; a screen that takes them and keeps nothing.
class NullScreen final : public StatusScreen {
 public:
  void SetCaption(int, std::wstring_view) override {}
  std::wstring Caption(int) const override { return {}; }
  void SetTextColour(int, uint32_t) override {}
  bool SetSeekMaximum(int32_t) override { return true; }
  bool SetSeekValue(int32_t) override { return true; }
  void SetVolumePosition(int32_t) override {}
};

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Times a and b alternately, so both see the same machine (a noisy neighbour slows both), and
// returns their medians in microseconds.
template <typename A, typename B>
std::pair<double, double> AlternateMedians(int runs, A&& a, B&& b) {
  std::vector<double> times_a;
  std::vector<double> times_b;
  for (int i = 0; i < runs; ++i) {
    double start = Now();
    a();
    times_a.push_back((Now() - start) * 1e6);
    start = Now();
    b();
    times_b.push_back((Now() - start) * 1e6);
  }
  return {Median(std::move(times_a)), Median(std::move(times_b))};
}

LRESULT Request(HWND player, int32_t number, int32_t argument) {
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(player, PlayerRequestMessage, static_cast<WPARAM>(argument), number,
                        SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000, &answer);
  return static_cast<LRESULT>(answer);
}

// The bare round trips of one poll of a fifteen-line window.
void FloorRoundTrips(HWND player, HANDLE process, int32_t first_index) {
  for (const auto& [number, argument] :
       std::array<std::pair<int32_t, int32_t>, 7>{{{RequestPlayTime, 0},
                                                   {RequestPlayTime, 1},
                                                   {RequestStreamInfo, 0},
                                                   {RequestStreamInfo, 1},
                                                   {RequestStreamInfo, 2},
                                                   {RequestListLength, 0},
                                                   {RequestListPosition, 0}}}) {
    Request(player, number, argument);
  }
  std::array<char, 2048> caption{};
  ::GetWindowTextA(player, caption.data(), static_cast<int>(caption.size()));
  std::array<char, 256> title{};
  for (int32_t i = 0; i < ControlId::PlaylistLineCount; ++i) {
    const auto address =
        static_cast<uintptr_t>(Request(player, RequestEntryTitleAddress, first_index + i));
    SIZE_T got = 0;
    ::ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), title.data(), title.size(),
                        &got);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int polls = bench::ArgValue(argc, argv, L"--polls", 300);
  const int seconds = bench::ArgValue(argc, argv, L"--seconds", 60);

  DemoPlayer demo(L"--entries 500 --position 250");
  const HWND player = demo.window();
  if (!player) {
    std::fprintf(stderr, "the demo player did not start\n");
    return 1;
  }

  Win32Player link(player);
  NullScreen screen;
  SharedValues shared;
  StatusPoll poll(link, screen, shared);
  for (int i = 0; i < 20; ++i) poll.Tick();  // warm up both processes
  UniqueHandle process(::OpenProcess(PROCESS_VM_READ, FALSE, demo.process().id()));
  const auto [poll_us, floor_us] = AlternateMedians(
      polls, [&] { poll.Tick(); }, [&] { FloorRoundTrips(player, process.get(), 242); });

  std::printf("poll (15 lines):        %8.1f us (median of %d)\n", poll_us, polls);
  std::printf("floor (bare round trips): %6.1f us\n", floor_us);
  std::printf("poll / floor:           %8.2f\n", poll_us / floor_us);

  // --still 1: the player's clock stands, so nothing changes on screen (the poll's own cost).
  if (bench::ArgValue(argc, argv, L"--still", 0)) demo.Control("clock off");
  if (seconds > 0) {
    // Start to first frame: until the Play button's green face is on the screen.
    const double launched = Now();
    ChildProcess saver(BesideTests(L"tokalux.scr"), L"/S");
    const HWND form = WaitForWindow(L"tokalux", 20s, saver.id());
    const HWND play = form ? FindControl(form, ControlId::cmdPlay) : nullptr;
    const bool painted =
        play && WaitUntil(
                    [&] {
                      const RECT r = ScreenRect(play);
                      return ScreenPixel({r.left + 4, (r.top + r.bottom) / 2}) == RGB(0, 192, 0);
                    },
                    20s);
    if (painted) std::printf("start to first frame:   %8.0f ms\n", (Now() - launched) * 1e3);
    PumpFor(std::chrono::seconds(seconds));
    FILETIME created, exited, kernel, user;
    PROCESS_MEMORY_COUNTERS memory{};
    if (saver.IsRunning() && ::GetProcessTimes(saver.handle(), &created, &exited, &kernel, &user) &&
        ::GetProcessMemoryInfo(saver.handle(), &memory, sizeof(memory))) {
      const auto ticks = [](const FILETIME& t) {
        return static_cast<double>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
      };
      const double cpu_s = (ticks(kernel) + ticks(user)) / 1e7;
      std::printf("screen saver CPU:       %8.2f s per minute (over %d s)\n",
                  cpu_s * 60.0 / seconds, seconds);
      std::printf("screen saver CPU:       %8.1f s per hour\n", cpu_s * 3600.0 / seconds);
      std::printf("peak working set:       %8.1f MiB\n",
                  static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    } else {
      std::printf("the screen saver did not run\n");
      return 1;
    }
    // Esc while the player hangs: how long until the screen saver has ended.
    demo.Control("hang 5000");
    PumpFor(600ms);
    const double pressed = Now();
    PressKey(VK_ESCAPE);
    if (saver.WaitForExit(10s)) {
      std::printf("Esc to exit, player hung: %6.0f ms\n", (Now() - pressed) * 1e3);
    }
  }
  return 0;
}
