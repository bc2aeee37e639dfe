#include "session/session_values.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "session/source_choice.h"

namespace tokalux {
namespace {

constexpr int64_t S = TicksPerSecond;
constexpr int64_t Max = std::numeric_limits<int64_t>::max();
constexpr int64_t Min = std::numeric_limits<int64_t>::min();

TEST(SessionValues, SongTitle) {
  EXPECT_EQ(SessionSongTitle(L"Artist", L"Title"), L"Artist - Title");
  EXPECT_EQ(SessionSongTitle(L"", L"Title"), L"Title");
  EXPECT_EQ(SessionSongTitle(L"Artist", L""), L"Artist");
  EXPECT_EQ(SessionSongTitle(L"", L""), L"");
}

TEST(SessionValues, PlayState) {
  const struct {
    int32_t status;
    PlayState state;
  } table[] = {{4, PlayState::Playing},  {5, PlayState::Paused},  {3, PlayState::Stopped},
               {0, PlayState::Stopped},  {1, PlayState::Stopped}, {2, PlayState::Stopped},
               {-1, PlayState::Stopped}, {6, PlayState::Stopped}};
  for (const auto& row : table) EXPECT_EQ(PlayStateFromStatus(row.status), row.state) << row.status;
}

TEST(SessionValues, ElapsedAndLength) {
  using enum PlayState;
  const int64_t t0 = 133'000'000'000'000'000;  // a FILETIME in 2022
  const struct {
    SessionTimeline timeline;  // start, end, position, lastUpdated
    PlayState state;
    int64_t now;
    int64_t elapsed;
    std::optional<int64_t> length;
  } table[] = {
      {{0, 200 * S, 30 * S, t0}, Playing, t0 + 5 * S, 35 * S, 200 * S},  // extrapolated
      {{0, 200 * S, 30 * S, t0}, Paused, t0 + 5 * S, 30 * S, 200 * S},   // not while paused
      {{0, 200 * S, 30 * S, t0}, Stopped, t0 + 5 * S, 30 * S, 200 * S},
      {{0, 200 * S, 198 * S, t0}, Playing, t0 + 9 * S, 200 * S, 200 * S},  // kept within end
      {{10 * S, 200 * S, 2 * S, t0}, Paused, t0, 10 * S, 190 * S},         // and start
      {{0, 200 * S, 30 * S, t0}, Playing, t0 - 5 * S, 30 * S, 200 * S},    // update is later
      {{0, 200 * S, 30 * S, 0}, Playing, t0, 30 * S, 200 * S},             // no update time
      {{0, 0, 30 * S, t0}, Playing, t0 + 5 * S, 35 * S, std::nullopt},     // a stream
      {{50 * S, 20 * S, 0, 0}, Stopped, t0, 50 * S, std::nullopt},         // end before start
      {{-5 * S, 0, 0, 0}, Stopped, t0, 0, std::nullopt},                   // zero end
      {{Min, Max, Max, 1}, Playing, Max, Max, std::nullopt},               // no overflow
      {{0, 0, Max - 1, 1}, Playing, Max, Max, std::nullopt},
  };
  for (const auto& row : table) {
    EXPECT_EQ(SessionElapsed(row.timeline, row.state, row.now), row.elapsed)
        << row.timeline.position;
    EXPECT_EQ(SessionLength(row.timeline), row.length) << row.timeline.end;
  }
  EXPECT_EQ(WholeSeconds(35 * S + S - 1), 35);
  EXPECT_EQ(WholeSeconds(-S), 0);
  EXPECT_EQ(WholeSeconds(Max), std::numeric_limits<int32_t>::max());
}

TEST(SessionValues, TrackText) {
  EXPECT_EQ(SessionTrackText(3, 12), L"Track 3 of 12");
  EXPECT_EQ(SessionTrackText(0, 12), L"");
  EXPECT_EQ(SessionTrackText(3, 0), L"");
  EXPECT_EQ(SessionTrackText(-1, -1), L"");
}

TEST(SessionValues, PlayerName) {
  const struct {
    const wchar_t* appId;
    const wchar_t* name;
  } table[] = {
      {L"Spotify.exe", L"Spotify"},
      {L"foobar2000.EXE", L"foobar2000"},
      {L"C:\\Program Files\\AIMP\\AIMP.exe", L"AIMP"},
      {L"Microsoft.ZuneMusic_8wekyb3d8bbwe!Microsoft.ZuneMusic", L"ZuneMusic"},
      {L"SpotifyAB.SpotifyMusic_zpdnekdrzrea0!Spotify", L"SpotifyMusic"},
      {L"Chrome", L"Chrome"},
      {L"308046B0AF4A39CB", L"308046B0AF4A39CB"},
      {L"C:\\odd!dir\\x.exe", L"x"},
      {L".exe", L"Media"},
      {L"", L"Media"},
  };
  for (const auto& row : table) EXPECT_EQ(PlayerNameFromAppId(row.appId), row.name) << row.appId;
}

TEST(SourceChoice, ChosenThenPlayingThenClassicThenCurrent) {
  using enum PlayState;
  const SourceId classic{};
  const SourceId a{SourceKind::Session, {L"a", 0}};
  const SourceId b{SourceKind::Session, {L"a", 1}};
  const SourceId gone{SourceKind::Session, {L"gone", 0}};
  const struct {
    std::vector<SourceCandidate> sources;
    std::optional<SourceId> chosen;
    std::optional<std::size_t> shown;
  } table[] = {
      {{}, std::nullopt, std::nullopt},
      {{}, a, std::nullopt},
      {{{classic, Paused}, {a, Playing}}, std::nullopt, 1},
      {{{classic, Stopped}, {a, Paused}}, std::nullopt, 1},
      {{{a, Playing}, {classic, Playing}}, std::nullopt, 1},
      {{{a, Paused}, {b, Paused, true}}, std::nullopt, 1},
      {{{classic, Paused}, {b, Paused, true}}, std::nullopt, 0},
      {{{a, Stopped}, {b, Stopped}}, std::nullopt, 0},
      {{{a, Stopped}, {classic, Unknown}}, std::nullopt, 1},
      {{{a, Stopped}, {classic, std::nullopt}}, std::nullopt, 1},
      {{{classic, Playing}, {a, Stopped}, {b, Paused}}, b, 2},
      {{{classic, Stopped}, {a, Paused}, {b, Playing}}, gone, 2},
  };
  for (std::size_t i = 0; i < std::size(table); ++i) {
    EXPECT_EQ(ChooseSource(table[i].sources, table[i].chosen), table[i].shown) << "row " << i;
  }
}

}  // namespace
}  // namespace tokalux
