#include "remote/playlist_lines.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes.h"

namespace tokalux {
namespace {

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
  int currentLine;  // 0: none
};

// The lines written for the range, entry n titled "Title n" unless titles says otherwise.
void Fill(const PlaylistRange& range, int16_t position, FakeScreen& screen,
          const std::map<int32_t, std::wstring>& titles = {}) {
  std::vector<std::wstring> lineTitles;
  for (int32_t entry = range.first; entry <= range.last; ++entry) {
    const auto it = titles.find(entry);
    lineTitles.push_back(it != titles.end() ? it->second : L"Title " + std::to_wstring(entry));
  }
  FillPlaylistLines(range, position, lineTitles, screen);
}

TEST(FillPlaylistLines, WritesNumberedTitlesWithTheCurrentLineMarked) {
  const LinesCase cases[] = {
      {100, 1, 1, 15, 1},    {100, 7, 1, 15, 7},   {100, 8, 1, 15, 8},     {100, 9, 2, 15, 8},
      {100, 93, 86, 15, 8},  {100, 94, 86, 15, 9}, {100, 100, 86, 15, 15}, {15, 8, 1, 15, 8},
      {15, 15, 1, 15, 15},   {14, 14, 1, 14, 14},  {5, 3, 1, 5, 3},        {100, 0, 1, 15, 0},
      {100, 101, 86, 15, 0}, {0, 1, 1, 0, 0},
  };
  for (const auto& c : cases) {
    FakeScreen screen;
    Fill(ComputePlaylistWindow(c.length, c.position), c.position, screen);
    SCOPED_TRACE("L=" + std::to_string(c.length) + " P=" + std::to_string(c.position));
    for (int line = 1; line <= c.filled; ++line) {
      const int entry = c.firstEntry + line - 1;
      EXPECT_EQ(screen.Line(line), std::to_wstring(entry) + L" . Title " + std::to_wstring(entry));
    }
    for (int line = c.filled + 1; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"");
    EXPECT_EQ(screen.CurrentLines(),
              c.currentLine ? std::vector<int>{c.currentLine} : std::vector<int>{});
  }
}

TEST(FillPlaylistLines, CaptionIsNumberSeparatorAndTitleExactly) {
  FakeScreen screen;
  Fill(PlaylistRange{9, 23}, 16, screen, {{12, L"Intro"}});
  EXPECT_EQ(screen.Line(4), L"12 . Intro");
}

TEST(FillPlaylistLines, ShrinkingPlaylistLeavesNoStaleLinesAndOneCurrentLine) {
  FakeScreen screen;
  Fill(ComputePlaylistWindow(20, 12), 12, screen);
  EXPECT_EQ(screen.Line(1), L"5 . Title 5");
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{8});

  Fill(ComputePlaylistWindow(5, 3), 3, screen);
  EXPECT_EQ(screen.Line(5), L"5 . Title 5");
  for (int line = 6; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"") << line;
  EXPECT_EQ(screen.CurrentLines(), std::vector<int>{3});

  // The current entry outside the range (a position answer of -1): no line is marked.
  Fill(ComputePlaylistWindow(100, 0), 0, screen);
  EXPECT_TRUE(screen.CurrentLines().empty());

  // An empty playlist clears every line.
  Fill(ComputePlaylistWindow(0, 1), 1, screen);
  for (int line = 1; line <= 15; ++line) EXPECT_EQ(screen.Line(line), L"") << line;
}

}  // namespace
}  // namespace tokalux
