// Figures for the screen saver running against the demo player, its status poll among them:
//   poll      the player-link part of one poll (9 requests, the caption, fifteen title reads),
//             median of many; its screen writes go to a screen that keeps nothing. Measured
//             twice: asked straight from the calling thread, and handed to the player thread and
//             waited for, as the screen saver does
//   floor     the same count of bare round trips: 9 requests, one caption read, 15 title-address
//             requests and 15 memory reads, with nothing else
//   cpu       the screen saver's own CPU time over a steady stretch after start-up, with the demo
//             player playing; under Wine read from /proc for the Unix process that runs it
//   peak      the screen saver's peak working set
//   first     start to the first painted frame
//   title     a song changed at the player (a move to another entry) to its title on the screen
//   click     a click on Next or Previous to the new title on the screen
//   Esc       Esc to exit while the player hangs, and while it answers every message late, from
//             the key's sending to the process's end
//   change    a track change to its new title and its new picture on the screen, for the classic
//             player and for a media session (a demo player publishing one through the double)
// Usage: saver_bench.exe [--polls N] [--seconds S] [--settle S] [--still 1] [--saver FILE] [--esc
// 0] (run under Wine: scripts/bench.sh). --saver runs another build of the screen saver, beside
// this program (tokalux.scr by default), so two builds can be measured in turn on the same machine.
// Exits non-zero when a step fails.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "art_files.h"
#include "base/com.h"
#include "base/win32_handles.h"
#include "bench_common.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"
#include "player/player_source.h"
#include "player/player_thread.h"
#include "player/win32_player.h"
#include "remote/shared_values.h"
#include "remote/status_poll.h"
#include "remote/status_screen.h"
#include "screen/control_ids.h"

namespace {

using namespace tokalux;
using namespace tokalux::e2e;

// The screen saver's file beside this program (--saver).
std::wstring saverFile = L"tokalux.scr";

// The poll's screen writes cost no round trip; a screen that takes them and keeps nothing.
class NullScreen final : public StatusScreen {
 public:
  void SetElapsed(std::wstring_view) override {}
  void SetTotal(std::wstring_view) override {}
  void SetSongTitle(std::wstring_view) override {}
  void SetTrackCounter(std::wstring_view) override {}
  void SetStreamDetail(StreamDetail, std::wstring_view) override {}
  void SetPlaylistLine(int, std::wstring_view, bool) override {}
  bool SetSeekMaximum(int32_t) override { return true; }
  bool SetSeekValue(int32_t) override { return true; }
  void SetVolumePosition(int32_t) override {}
  void SetAccepted(ActionSet) override {}
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The time work takes, in microseconds.
double Microseconds(const std::function<void()>& work) {
  const double start = bench::Now();
  work();
  return (bench::Now() - start) * 1e6;
}

// Runs each measurement (each returns its own time in microseconds) in turn, so all see the same
// machine (a noisy neighbour slows all), and returns their medians.
std::vector<double> AlternateMedians(int runs, const std::vector<std::function<double()>>& work) {
  std::vector<std::vector<double>> times(work.size());
  for (int i = 0; i < runs; ++i) {
    for (std::size_t w = 0; w < work.size(); ++w) times[w].push_back(work[w]());
  }
  std::vector<double> medians;
  for (auto& t : times) medians.push_back(Median(std::move(t)));
  return medians;
}

LRESULT Request(HWND player, int32_t number, int32_t argument) {
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(player, PlayerRequestMessage, static_cast<WPARAM>(argument), number,
                        SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000, &answer);
  return static_cast<LRESULT>(answer);
}

// The bare round trips of one poll of a fifteen-line window, titles in UTF-16.
void FloorRoundTrips(HWND player, HANDLE process, int32_t firstIndex) {
  for (const auto& [number, argument] :
       std::array<std::pair<int32_t, int32_t>, 9>{{{RequestPlayTime, 0},
                                                   {RequestPlayTime, 1},
                                                   {RequestStreamInfo, 0},
                                                   {RequestStreamInfo, 1},
                                                   {RequestStreamInfo, 2},
                                                   {RequestGetVolume, VolumeQueryArgument},
                                                   {RequestListLength, 0},
                                                   {RequestListPosition, 0},
                                                   {RequestPlayState, 0}}}) {
    Request(player, number, argument);
  }
  std::array<wchar_t, 2048> caption{};
  ::GetWindowTextW(player, caption.data(), static_cast<int>(caption.size()));
  std::array<char, 512> title{};
  for (int32_t i = 0; i < PlaylistLineCount; ++i) {
    const auto address =
        static_cast<uintptr_t>(Request(player, RequestEntryTitleAddressUtf16, firstIndex + i));
    SIZE_T got = 0;
    ::ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), title.data(), title.size(),
                        &got);
  }
}

bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A whole file read to its end (files under /proc report no size, so no size is asked for).
std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

// Under Wine every Windows process is a Unix process, and GetProcessTimes on another process's
// handle answers the caller's own times. So the screen saver's CPU time is read from outside:
// utime + stime in /proc/<pid>/stat of the Unix process that runs it, through the Z: drive.
class UnixProcess {
 public:
  // The newest Unix process whose command line names the program and whose Wine prefix is this
  // one's (other Wine prefixes may run the same program meanwhile).
  static std::optional<UnixProcess> Running(std::string_view program) {
    wchar_t prefix[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    const std::string wantedPrefix =
        "WINEPREFIX=" + std::string(prefix, prefix + std::wcslen(prefix)) + '\0';
    std::optional<UnixProcess> newest;
    unsigned long long newestStart = 0;
    WIN32_FIND_DATAW found{};
    const UniqueFileSearch search(::FindFirstFileW(L"Z:\\proc\\*", &found));
    for (bool more = static_cast<bool>(search); more;
         more = ::FindNextFileW(search.get(), &found) != 0) {
      const std::wstring name = found.cFileName;
      if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
      const std::wstring dir = L"Z:\\proc\\" + name + L"\\";
      const auto command_line = ReadWholeFile(dir + L"cmdline");
      const auto environment = ReadWholeFile(dir + L"environ");
      if (!command_line || command_line->find(program) == std::string::npos || !environment ||
          (prefix[0] && environment->find(wantedPrefix) == std::string::npos)) {
        continue;
      }
      UnixProcess process(dir, std::stol(name));
      const auto start = process.StatField(22);  // start time, in clock ticks after boot
      if (start && (!newest || *start > newestStart)) {
        newestStart = *start;
        newest = process;
      }
    }
    return newest;
  }

  long pid() const { return pid_; }

  // User and system CPU time so far, in seconds.
  std::optional<double> CpuSeconds() const {
    const auto user = StatField(14);
    const auto system = StatField(15);
    const auto ticksPerSecond = ClockTicksPerSecond();
    if (!user || !system || !ticksPerSecond) return std::nullopt;
    return static_cast<double>(*user + *system) / static_cast<double>(*ticksPerSecond);
  }

 private:
  UnixProcess(std::wstring dir, long pid) : dir_(std::move(dir)), pid_(pid) {}

  // Field n (counted from 1, as in proc(5)) of /proc/<pid>/stat, as a number.
  std::optional<unsigned long long> StatField(int n) const {
    const auto stat = ReadWholeFile(dir_ + L"stat");
    if (!stat) return std::nullopt;
    // The second field is the name in parentheses, and may hold spaces: count from its end.
    std::size_t at = stat->rfind(')');
    if (at == std::string::npos) return std::nullopt;
    for (int field = 2; field < n; ++field) {
      at = stat->find(' ', at + 1);
      if (at == std::string::npos) return std::nullopt;
    }
    return std::strtoull(stat->c_str() + at + 1, nullptr, 10);
  }

  // The kernel's clock tick for CPU times (AT_CLKTCK in the process's auxiliary vector).
  std::optional<unsigned long long> ClockTicksPerSecond() const {
    const auto auxv = ReadWholeFile(dir_ + L"auxv");
    if (!auxv) return std::nullopt;
    constexpr unsigned long long AtClockTick = 17;
    for (std::size_t at = 0; at + 16 <= auxv->size(); at += 16) {
      unsigned long long pair[2];
      std::memcpy(pair, auxv->data() + at, sizeof(pair));
      if (pair[0] == AtClockTick && pair[1] > 0) return pair[1];
    }
    return std::nullopt;
  }

  std::wstring dir_;
  long pid_;
};

// The screen saver's CPU time so far, in seconds, and how it was read.
struct CpuReading {
  std::optional<double> seconds;
  std::string method;
};

// Under Wine, unixProcess is the Unix process that runs the screen saver (nullopt when none
// was found); on Windows it is not used.
CpuReading ScreenSaverCpu(const ChildProcess& saver,
                          const std::optional<UnixProcess>& unixProcess) {
  if (UnderWine()) {
    if (!unixProcess) return {std::nullopt, "no Unix process runs the screen saver"};
    return {unixProcess->CpuSeconds(),
            "utime+stime of Unix process " + std::to_string(unixProcess->pid()) + " from /proc"};
  }
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(saver.handle(), &created, &exited, &kernel, &user)) {
    return {std::nullopt, "GetProcessTimes failed"};
  }
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
  };
  return {(ticks(kernel) + ticks(user)) / 1e7, "GetProcessTimes on its process"};
}

// Starts the screen saver and waits for its first painted frame (the Play button's green face on
// the screen); a process that has not started when that does not come within 20 s.
ChildProcess StartScreenSaver() {
  ChildProcess saver(BesideTests(saverFile), L"/S");
  const HWND form = WaitForWindow(L"tokalux", 20s, saver.id());
  const HWND play = form ? FindControl(form, ControlId::cmdPlay) : nullptr;
  const bool painted =
      play && WaitUntil(
                  [&] {
                    const RECT r = ScreenRect(play);
                    return ScreenPixel({r.left + 4, (r.top + r.bottom) / 2}) == RGB(0, 192, 0);
                  },
                  20s);
  return painted ? std::move(saver) : ChildProcess();
}

// Track changes to their titles and pictures on the screen: the source moves between two entries
// whose pictures are 1000 x 1000 JPEGs of two colours, and each time runs from the move until the
// song title shows the new entry's title and until the middle of the picture shows its colour.
// The moves are spread over the poll's second (once a second, unless a source says it changed).
constexpr int TrackChangeRuns = 16;
constexpr std::array<std::pair<uint32_t, COLORREF>, 2> EntryColours = {
    {{0xE08020, RGB(0xE0, 0x80, 0x20)}, {0x2090A0, RGB(0x20, 0x90, 0xA0)}}};
constexpr std::array<const char*, 2> EntryTitles = {"Bench Artist - Orange Track",
                                                    "Bench Artist - Teal Track"};
constexpr int FirstEntry = 250;

std::vector<uint8_t> EntryPicture(int entry) {
  return EncodePicture(PictureFormat::Jpeg, 1000, 1000, EntryColours[entry].first);
}

struct ChangeTimes {
  std::vector<double> titleMs, pictureMs;  // sorted
  RECT picture{};                          // where the picture stands
};

// Times TrackChangeRuns moves between the two entries; move(entry) makes that entry the current
// one. nullopt when the screen did not show a move's title and picture within 10 s.
std::optional<ChangeTimes> TimeTrackChanges(ChildProcess& saver,
                                            const std::function<bool(int)>& move) {
  const HWND form = FindWindowOfProcess(L"tokalux", saver.id());
  const HWND cover = form ? FindControl(form, ControlId::picCover) : nullptr;
  const HWND song = form ? FindControl(form, ControlId::lblSongName) : nullptr;
  if (!cover || !song) {
    std::printf("FAILED: the screen saver has no picture or no song title\n");
    return std::nullopt;
  }
  const POINT middle = CentreOf(cover);
  const auto looksLike = [](COLORREF a, COLORREF b) {
    for (const int shift : {0, 8, 16}) {
      if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 8) {
        return false;
      }
    }
    return true;
  };
  ChangeTimes times;
  for (int run = 0; run < TrackChangeRuns; ++run) {
    const int entry = (run + 1) % 2;                       // the source stands on the other now
    PumpFor(std::chrono::milliseconds(125 * run % 1000));  // moves spread over the poll's second
    const std::wstring title(EntryTitles[entry],
                             EntryTitles[entry] + std::strlen(EntryTitles[entry]));
    std::optional<double> titleAt, pictureAt;
    const double moved = bench::Now();
    const bool shown =
        move(entry) &&
        WaitUntil(
            [&] {
              const auto text = WindowText(song);
              if (!titleAt && text && text->find(title) != std::wstring::npos)
                titleAt = bench::Now();
              if (!pictureAt && looksLike(ScreenPixel(middle), EntryColours[entry].second))
                pictureAt = bench::Now();
              return titleAt && pictureAt;
            },
            10s);
    if (!shown) {
      std::printf("FAILED: no new title or picture on the screen within 10 s of a track change\n");
      return std::nullopt;
    }
    times.titleMs.push_back((*titleAt - moved) * 1e3);
    times.pictureMs.push_back((*pictureAt - moved) * 1e3);
  }
  std::sort(times.titleMs.begin(), times.titleMs.end());
  std::sort(times.pictureMs.begin(), times.pictureMs.end());
  times.picture = ScreenRect(cover);
  return times;
}

void PrintTrackChanges(const char* source, const ChangeTimes& times, const char* how) {
  for (const auto& [what, ms] :
       {std::pair{"title:  ", &times.titleMs}, {"picture:", &times.pictureMs}}) {
    std::printf("track change to %s %4.0f ms median, %.0f-%.0f ms over %d changes, %s\n", what,
                (*ms)[ms->size() / 2], ms->front(), ms->back(), TrackChangeRuns, source);
  }
  std::printf("  (%s; the picture drawn at %ld x %ld)\n", how,
              times.picture.right - times.picture.left, times.picture.bottom - times.picture.top);
}

// The classic player: its entries' files hold the pictures in their tags, and a move is the
// player's.
bool ClassicTrackChanges(DemoPlayer& demo, ChildProcess& saver) {
  const ScopedCom com;  // for the encoder
  ScratchFolder folder(ScratchPath(L"bench-covers"));
  for (int entry = 0; entry < 2; ++entry) {
    const std::wstring path =
        folder.Put(std::to_wstring(entry) + L".mp3", testing::Mp3WithCover(EntryPicture(entry)));
    const std::string index = std::to_string(FirstEntry + entry);
    if (!demo.Control("path " + index + " " + ControlText(path)) ||
        !demo.Control("title " + index + " " + EntryTitles[entry])) {
      return false;
    }
  }
  const auto times = TimeTrackChanges(saver, [&](int entry) {
    return demo.Control("position " + std::to_string(FirstEntry + entry));
  });
  if (!times) return false;
  PrintTrackChanges("classic player", *times,
                    "a 1000 x 1000 JPEG in an MP3's tags; from the player's move, with the wait of "
                    "0-1 s for the next poll");
  return true;
}

// A media session: a demo player publishes it (as Spotify), the pictures are its thumbnails, and a
// move is its change of entry followed by the new thumbnail, as players publish a new track's
// thumbnail after its title.
bool SessionTrackChanges() {
  const ScopedCom com;
  ScratchFolder folder(ScratchPath(L"bench-thumbnails"));
  std::array<std::wstring, 2> thumbnails;
  DemoPlayer session(AsSession{L"C:\\Program Files\\Spotify\\Spotify.exe"},
                     L"--entries 500 --position " + std::to_wstring(FirstEntry));
  for (int entry = 0; entry < 2; ++entry) {
    thumbnails[entry] = folder.Put(std::to_wstring(entry) + L".jpg", EntryPicture(entry));
    if (!session.Control("title " + std::to_string(FirstEntry + entry) + " " +
                         EntryTitles[entry])) {
      std::printf("FAILED: no demo player publishing a session\n");
      return false;
    }
  }
  if (!session.SessionPicture(thumbnails[0])) return false;
  ChildProcess saver = StartScreenSaver();
  if (!saver.started()) {
    std::printf("FAILED: the screen saver showed no frame of the session within 20 s\n");
    return false;
  }
  const auto times = TimeTrackChanges(saver, [&](int entry) {
    return session.Control("position " + std::to_string(FirstEntry + entry)) &&
           session.SessionPicture(thumbnails[entry]);
  });
  if (!times) return false;
  PrintTrackChanges("media session", *times,
                    "a 1000 x 1000 JPEG as the thumbnail; from the session's move, which its "
                    "change event reports");
  return true;
}

// Waits, looking every millisecond or so, until the song title on the screen starts with the
// entry's number ("251. "); the time it took in ms, or nothing after 10 s.
std::optional<double> UntilTitleOf(HWND songName, int entry, double from) {
  const std::wstring prefix = std::to_wstring(entry + 1) + L". ";
  while (bench::Now() - from < 10.0) {
    if (WindowText(songName).value_or(L"").starts_with(prefix)) return (bench::Now() - from) * 1e3;
    ::Sleep(1);
  }
  return std::nullopt;
}

void PrintSpread(const char* what, std::vector<double> ms, const char* how) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s %4.0f ms median, %.0f-%.0f ms over %zu runs (%s)\n", what, ms[ms.size() / 2],
              ms.front(), ms.back(), ms.size(), how);
}

// A song changed at the player, and a click on Next or Previous, to the new title on the screen:
// the player moves between entries 250 and 251, at points spread over the poll's second. False
// when a title does not come within 10 s.
bool ChangeToTitle(DemoPlayer& demo, ChildProcess& saver) {
  constexpr int Runs = 16;
  const HWND form = FindWindowOfProcess(L"tokalux", saver.id());
  const HWND songName = form ? FindControl(form, ControlId::lblSongName) : nullptr;
  const HWND next = form ? FindControl(form, ControlId::cmdNext) : nullptr;
  const HWND previous = form ? FindControl(form, ControlId::cmdPrev) : nullptr;
  if (!songName || !next || !previous || !demo.Control("position 250") ||
      !UntilTitleOf(songName, 250, bench::Now())) {
    std::printf("FAILED: the screen saver shows no title of entry 250\n");
    return false;
  }
  std::vector<double> changed, clicked;
  for (int run = 0; run < 2 * Runs; ++run) {
    const int entry = 250 + (run + 1) % 2;  // the player stands on the other one now
    PumpFor(std::chrono::milliseconds(125 * (run / 2) % 1000));
    const double from = bench::Now();
    const bool byClick = run >= Runs;
    if (byClick) {
      ::PostMessageW(entry == 251 ? next : previous, BM_CLICK, 0, 0);
    } else if (!demo.Control("position " + std::to_string(entry))) {
      return false;
    }
    const auto ms = UntilTitleOf(songName, entry, from);
    if (!ms) {
      std::printf("FAILED: no new title on the screen within 10 s\n");
      return false;
    }
    (byClick ? clicked : changed).push_back(*ms);
  }
  PrintSpread("song changed to title:", changed,
              "from the player's move, spread over the poll's second");
  PrintSpread("click to title:       ", clicked,
              "Next or Previous, from the click's posting, spread over the poll's second");
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int polls = bench::ArgValue(argc, argv, L"--polls", 300);
  const int seconds = bench::ArgValue(argc, argv, L"--seconds", 60);
  const int settle = bench::ArgValue(argc, argv, L"--settle", 5);
  saverFile = bench::ArgText(argc, argv, L"--saver", saverFile.c_str());

  DemoPlayer demo(L"--entries 500 --position 250");
  const HWND player = demo.window();
  if (!player) {
    std::fprintf(stderr, "the demo player did not start\n");
    return 1;
  }

  // The same poll two ways: asked from this thread, and as the form does it, the player half
  // handed to the player thread and the screen half here.
  Win32Player link(player);
  LinkAtOnce atOnce(link);
  PlayerSource here(atOnce);
  NullScreen screen;
  SharedValues shared;
  StatusPoll poll(here, screen, shared);
  const auto askedHere = [&] { poll.Tick(StatusPoll::HandOffBound); };
  PlayerThread thread;
  PlayerSource toThread(thread);
  SharedValues threadShared;
  StatusPoll threadPoll(toThread, screen, threadShared);
  const auto handedOver = [&] { threadPoll.Tick(StatusPoll::HandOffBound); };
  for (int i = 0; i < 20; ++i) {  // warm up both processes
    askedHere();
    handedOver();
  }
  UniqueHandle process(::OpenProcess(PROCESS_VM_READ, FALSE, demo.process().id()));
  const auto floor = [&] { FloorRoundTrips(player, process.get(), 242); };
  // Each poll against the floor on its own thread: the same round trips cost less from a thread
  // with nothing else on it. The handed-over poll's time includes the hand-off; the floor's does
  // not (it is timed on the player thread).
  const std::function<double(PlayerLink&)> floorOnThread = [&](PlayerLink&) {
    return Microseconds(floor);
  };
  const std::vector<double> medians = AlternateMedians(
      polls, {[&] { return Microseconds(askedHere); }, [&] { return Microseconds(floor); },
              [&] { return Microseconds(handedOver); },
              [&] { return thread.Submit(floorOnThread).get(); }});

  std::printf(
      "poll, player-link part (9 requests, caption, 15 titles; no screen writes), median of %d:\n",
      polls);
  std::printf("  asked from this thread    %8.1f us, floor %8.1f us, poll / floor %.2f\n",
              medians[0], medians[1], medians[0] / medians[1]);
  std::printf("  handed to the player thread %6.1f us, floor %8.1f us, poll / floor %.2f\n",
              medians[2], medians[3], medians[2] / medians[3]);

  // --still 1: the player's clock stands, so nothing changes on screen (the poll's own cost).
  if (bench::ArgValue(argc, argv, L"--still", 0)) demo.Control("clock off");
  if (seconds <= 0) return 0;

  // Start to first frame: until the Play button's green face is on the screen.
  const double launched = bench::Now();
  ChildProcess saver = StartScreenSaver();
  if (!saver.started()) {
    std::printf("FAILED: the screen saver showed no frame within 20 s\n");
    return 1;
  }
  std::printf("start to first frame:   %8.0f ms\n", (bench::Now() - launched) * 1e3);

  // CPU time over a steady stretch: from some seconds after the first frame, for --seconds.
  PumpFor(std::chrono::seconds(settle));
  const auto unixProcess =
      UnderWine() ? UnixProcess::Running(std::string(saverFile.begin(), saverFile.end()))
                  : std::optional<UnixProcess>();
  const CpuReading before = ScreenSaverCpu(saver, unixProcess);
  const double measuredFrom = bench::Now();
  PumpFor(std::chrono::seconds(seconds));
  const CpuReading after = ScreenSaverCpu(saver, unixProcess);
  const double measuredS = bench::Now() - measuredFrom;
  PROCESS_MEMORY_COUNTERS memory{};
  if (!saver.IsRunning() || !before.seconds || !after.seconds ||
      !::GetProcessMemoryInfo(saver.handle(), &memory, sizeof(memory))) {
    std::printf("FAILED: the screen saver's CPU time or memory could not be read (%s)\n",
                after.method.c_str());
    return 1;
  }
  const double cpuS = *after.seconds - *before.seconds;
  std::printf(
      "screen saver CPU:       %8.2f s per minute (%.2f s over %.0f s, from %d s after the "
      "first frame; %s)\n",
      cpuS * 60.0 / measuredS, cpuS, measuredS, settle, after.method.c_str());
  std::printf("screen saver CPU:       %8.1f s per hour (%s)\n", cpuS * 3600.0 / measuredS,
              measuredS >= 3600.0 ? "measured" : "derived from the figure per minute");
  std::printf("peak working set:       %8.1f MiB\n",
              static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  if (!ClassicTrackChanges(demo, saver) || !ChangeToTitle(demo, saver)) return 1;
  saver.Kill();
  if (!bench::ArgValue(argc, argv, L"--esc", 1)) return 0;

  // Esc while the player hangs, and while it answers every message 200 ms late (just inside the
  // screen saver's 250 ms wait, so that polls take seconds), from the key's sending to the end of
  // the process. A key that lands during the poll's wait on the player waits for it, so each run,
  // with a screen saver of its own, presses it at another point around its first poll (a second
  // after start): 0.9 to 1.2 s after the first frame.
  constexpr int EscRuns = 5;
  const auto escToExit = [&](const char* misbehave, const char* recover) -> std::vector<double> {
    std::vector<double> escMs;
    for (int run = 0; run < EscRuns; ++run) {
      ChildProcess target = StartScreenSaver();
      const double firstFrame = bench::Now();
      if (!target.started() || !demo.Control(misbehave)) {
        std::printf("FAILED: no screen saver, or the player took no \"%s\", for Esc run %d\n",
                    misbehave, run);
        return {};
      }
      const double pressAt = firstFrame + 0.9 + 0.075 * run;
      WaitUntil([&] { return bench::Now() >= pressAt; }, 5s);
      SendKeyNow(VK_ESCAPE);
      const double sent = bench::Now();
      if (::WaitForSingleObject(target.handle(), 10'000) != WAIT_OBJECT_0) {
        std::printf("FAILED: Esc did not end the screen saver within 10 s (%s)\n", misbehave);
        return {};
      }
      escMs.push_back((bench::Now() - sent) * 1e3);
      // The player answers as usual again before the next run.
      WaitUntil([&] { return demo.Control(recover, 500ms); }, 10s);
    }
    std::sort(escMs.begin(), escMs.end());
    return escMs;
  };
  for (const auto& [name, misbehave, recover] :
       {std::tuple{"hung", "hang 3000", "log clear"}, {"slow", "slow 200", "slow 0"}}) {
    const std::vector<double> escMs = escToExit(misbehave, recover);
    if (escMs.empty()) return 1;
    std::printf(
        "Esc to exit, player %s: %4.0f ms median, %.0f-%.0f ms over %d runs (pressed 0.9-1.2 s "
        "after the first frame, across the first poll's wait; from the key's sending to the "
        "process's end)\n",
        name, escMs[escMs.size() / 2], escMs.front(), escMs.back(), EscRuns);
  }

  // Last, a media session alone: with the classic player there too, a playing one would be shown.
  demo.process().Kill();
  return SessionTrackChanges() ? 0 : 1;
}
