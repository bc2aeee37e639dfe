// Figures for the media session client against the session manager double, with demo players
// publishing their sessions:
//   poll      one poll of every session (list, app ID, media properties, playback information,
//             timeline), median of many, with nothing changed since the last
//   change    one poll after a track change: the same and the thumbnail's bytes read again (a
//             600x600 JPEG), median of many
// Each for one session and for four. Usage: session_bench.exe [--polls N] (run under Wine:
// scripts/bench.sh). Exits non-zero when a step fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "base/com.h"
#include "bench_common.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/process.h"
#include "session/session_client.h"

namespace {

using namespace tokalux;
using namespace tokalux::e2e;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One poll's time in microseconds; negative when it gave no snapshot of `sessions` sessions
// with their media properties.
double TimedPoll(SessionClient& client, std::size_t sessions) {
  const double start = bench::Now();
  const SessionsSnapshot snapshot = client.Poll().get();
  const double us = (bench::Now() - start) * 1e6;
  if (snapshot.sessions.size() != sessions) return -1;
  for (const SessionSnapshot& session : snapshot.sessions) {
    if (!session.media || !session.playback || !session.timeline) return -1;
  }
  return us;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int polls = std::max(bench::ArgValue(argc, argv, L"--polls", 200), 1);
  const ScopedCom com;  // for the encoder that makes the picture; the client has its own thread
  if (!com) return 1;
  ScratchFolder folder(ScratchPath(L"session-bench"));
  const std::wstring picture =
      folder.Put(L"cover.jpg", EncodePicture(PictureFormat::Jpeg, 600, 600, 0x3060C0,
                                             [](uint32_t x, uint32_t y) { return x * 977 ^ y; }));

  std::vector<std::unique_ptr<DemoPlayer>> players;
  for (const std::size_t count : {1u, 4u}) {
    while (players.size() < count) {
      const std::wstring appId = L"Bench" + std::to_wstring(players.size()) + L".exe";
      players.push_back(std::make_unique<DemoPlayer>(AsSession{appId}, L"--entries 50"));
      if (!players.back()->window() || !players.back()->SessionPicture(picture) ||
          !players.back()->Control("clock off")) {
        std::fprintf(stderr, "FAILED: a demo player did not start as a session\n");
        return 1;
      }
    }
    SessionClient client;
    std::vector<double> steady, changed;
    for (int i = 0; i < 10; ++i) TimedPoll(client, count);  // warm up; thumbnails read
    for (int i = 0; i < polls; ++i) steady.push_back(TimedPoll(client, count));
    for (int i = 0; i < polls / 4 + 1; ++i) {
      players[0]->Control("title 0 Bench - Track " + std::to_string(i));
      changed.push_back(TimedPoll(client, count));
    }
    if (std::min(*std::min_element(steady.begin(), steady.end()),
                 *std::min_element(changed.begin(), changed.end())) < 0) {
      std::fprintf(stderr, "FAILED: a poll missed a session or one of its values\n");
      return 1;
    }
    std::printf("session poll, %zu session(s): %8.1f us steady, %8.1f us after a track change\n",
                count, Median(steady), Median(changed));
  }
  return 0;
}
