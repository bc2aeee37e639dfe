// A long run of the screen saver against the demo player with a 500-entry playlist changing
// track every few seconds. Samples the screen saver's handles, GDI and USER objects and private
// bytes at a fixed interval (each the least over two seconds, see SampleSteady) and prints them;
// after the first minute they should stay flat, so the growth is counted from the first sample at
// or after 60 s (the baseline) to the last one. Usage: soak.exe [--minutes 10] [--interval 30]
// [--change 3]   (scripts/soak.sh runs it)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <optional>
#include <string>

#include "bench_common.h"
#include "harness/demo_player.h"
#include "harness/process_stats.h"

int wmain(int argc, wchar_t** argv) {
  using namespace tokalux::e2e;
  const int minutes = tokalux::bench::ArgValue(argc, argv, L"--minutes", 10);
  const int intervalS = tokalux::bench::ArgValue(argc, argv, L"--interval", 30);
  const int changeS = tokalux::bench::ArgValue(argc, argv, L"--change", 3);

  DemoPlayer player(L"--entries 500");
  ChildProcess saver(BesideTests(L"tokalux.scr"), L"/S");
  if (!player.window() || !WaitForWindow(L"tokalux", 20s, saver.id())) {
    std::fprintf(stderr, "the demo player or the screen saver did not start\n");
    return 1;
  }

  const ULONGLONG start = ::GetTickCount64();
  const ULONGLONG end = start + static_cast<ULONGLONG>(minutes) * 60'000;
  ULONGLONG nextSample = start;
  ULONGLONG nextChange = start;
  int entry = 0;
  std::optional<ProcessStats> baseline;
  std::map<std::wstring, int> baselineTypes;
  ULONGLONG baselineS = 0;
  ProcessStats last{};
  while (saver.IsRunning()) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= nextChange) {
      entry = (entry + 1) % 500;
      player.Control("position " + std::to_string(entry));
      nextChange += static_cast<ULONGLONG>(changeS) * 1000;
    }
    if (now >= nextSample) {
      last = SampleSteady(saver.handle());
      const ULONGLONG elapsedS = (now - start) / 1000;
      std::printf("%4llu s  %s\n", elapsedS, FormatStats(last).c_str());
      std::fflush(stdout);
      if (!baseline && elapsedS >= 60) {
        baseline = last;
        baselineTypes = HandleTypes(saver.handle());
        baselineS = elapsedS;
      }
      nextSample += static_cast<ULONGLONG>(intervalS) * 1000;
    }
    if (now >= end) break;
    PumpFor(200ms);
  }
  if (!saver.IsRunning()) {
    std::printf("the screen saver ended during the run\n");
    return 1;
  }
  if (!baseline) {
    std::printf("no sample at or after 60 s to count growth from (run longer than a minute)\n");
    return 1;
  }
  const auto growth = [](std::size_t from, std::size_t to) {
    return static_cast<long long>(to) - static_cast<long long>(from);
  };
  std::printf(
      "growth from the sample at %llu s to the last: handles %+lld, gdi %+lld, user %+lld, "
      "private %+lld KiB; handles by type, from one sample each: %s\n",
      baselineS, growth(baseline->handles, last.handles),
      growth(baseline->gdiObjects, last.gdiObjects),
      growth(baseline->userObjects, last.userObjects),
      growth(baseline->privateBytes, last.privateBytes) / 1024,
      FormatGrowth(baselineTypes, HandleTypes(saver.handle())).c_str());
  return 0;
}
