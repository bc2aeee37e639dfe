#include "remote/playlist_lines.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace tokalux {
namespace {

using testing::FakePlayer;
using testing::FakeScreen;

struct WindowCase {
  int16_t length;
  int16_t position;
  int32_t first;
  int32_t last;
};

TEST(ComputePlaylistWindow, CentresTheCurrentEntryAndStopsAtBothEnds) {
  const WindowCase cases[] = {
      {100, 1, 1, 15},
      {100, 7, 1, 15},
      {100, 8, 1, 15},
      {100, 9, 2, 16},
      {100, 50, 43, 57},
      {100, 93, 86, 100},
      {100, 94, 86, 100},
      {100, 100, 86, 100},
      {15, 8, 1, 15},
      {15, 15, 1, 15},
      {14, 14, 1, 14},
      {5, 3, 1, 5},
      {0, 1, 1, 0},
      {-5, 1, 1, -5},
      {100, 0, 1, 15},
      {100, -3, 1, 15},
      {100, 101, 86, 100},
      {100, 500, 86, 100},
      {32767, 32767, 32753, 32767},
      {-32768, 1, 1, -32768},
      {16, 1, 1, 15},
      {16, 16, 2, 16},
  };
  for (const auto& c : cases) {
    const PlaylistRange range = ComputePlaylistWindow(c.length, c.position);
    EXPECT_EQ(range.first, c.first) << "L=" << c.length << " P=" << c.position;
    EXPECT_EQ(range.last, c.last) << "L=" << c.length << " P=" << c.position;
    EXPECT_LE(range.last - range.first + 1, 15);
  }
}

struct LinesCase {
  int16_t length;
  int16_t position;
  int firstEntry;  // on line 1
  int filled;
  int redLine;  // 0: none
};

// The titles read for the range, then the lines written, as one poll does.
int Fill(const PlaylistRange& range, int16_t position, FakePlayer& player, FakeScreen& screen) {
  std::vector<std::wstring> titles;
  for (const auto& title : ReadRangeTitles(range, player)) titles.push_back(title.value_or(L""));
  return FillPlaylistLines(range, position, titles, screen);
}

TEST(FillPlaylistLines, WritesNumberedTitlesWithTheCurrentLineRed) {
  const LinesCase cases[] = {
      {100, 1, 1, 15, 1},    {100, 7, 1, 15, 7},   {100, 8, 1, 15, 8},     {100, 9, 2, 15, 8},
      {100, 93, 86, 15, 8},  {100, 94, 86, 15, 9}, {100, 100, 86, 15, 15}, {15, 8, 1, 15, 8},
      {15, 15, 1, 15, 15},   {14, 14, 1, 14, 14},  {5, 3, 1, 5, 3},        {100, 0, 1, 15, 0},
      {100, 101, 86, 15, 0}, {0, 1, 1, 0, 0},
  };
  for (const auto& c : cases) {
    FakePlayer player;
    FakeScreen screen;
    const int current =
        Fill(ComputePlaylistWindow(c.length, c.position), c.position, player, screen);
    SCOPED_TRACE("L=" + std::to_string(c.length) + " P=" + std::to_string(c.position));
    EXPECT_EQ(current, c.redLine);
    for (int line = 1; line <= c.filled; ++line) {
      const int entry = c.firstEntry + line - 1;
      EXPECT_EQ(screen.Line(line), std::to_wstring(entry) + L" . Title " + std::to_wstring(entry));
    }
    for (int line = c.filled + 1; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"");
    EXPECT_EQ(screen.RedLines(), c.redLine ? std::vector<int>{c.redLine} : std::vector<int>{});
    EXPECT_EQ(player.titleReads.size(), static_cast<std::size_t>(c.filled));
  }
}

TEST(FillPlaylistLines, CaptionIsNumberSeparatorAndTitleExactly) {
  FakePlayer player;
  player.titles[12] = L"Intro";
  FakeScreen screen;
  Fill(PlaylistRange{9, 23}, 16, player, screen);
  EXPECT_EQ(screen.Line(4), L"12 . Intro");
}

TEST(FillPlaylistLines, ShrinkingPlaylistLeavesNoStaleLinesAndOneRedLine) {
  FakePlayer player;
  FakeScreen screen;
  Fill(ComputePlaylistWindow(20, 12), 12, player, screen);
  EXPECT_EQ(screen.Line(1), L"5 . Title 5");
  EXPECT_EQ(screen.RedLines(), std::vector<int>{8});

  Fill(ComputePlaylistWindow(5, 3), 3, player, screen);
  EXPECT_EQ(screen.Line(5), L"5 . Title 5");
  for (int line = 6; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"") << line;
  EXPECT_EQ(screen.RedLines(), std::vector<int>{3});

  // The current entry outside the range (a position answer of -1): no line is red.
  Fill(ComputePlaylistWindow(100, 0), 0, player, screen);
  EXPECT_TRUE(screen.RedLines().empty());

  // An empty playlist clears every line.
  Fill(ComputePlaylistWindow(0, 1), 1, player, screen);
  for (int line = 1; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"") << line;
}

}  // namespace
}  // namespace tokalux
