#include "player/title_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tokalux {
namespace {

TEST(SongTitleBytes, TakesEverythingBeforeTheMarkerIncludingTheSpace) {
  EXPECT_EQ(SongTitleBytes("3. Artist - Song - Winamp"), "3. Artist - Song ");
  EXPECT_EQ(SongTitleBytes("Song - Winamp"), "Song ");
  EXPECT_EQ(SongTitleBytes("- Winamp"), "");
  // The first occurrence counts, and the comparison is exact.
  EXPECT_EQ(SongTitleBytes("a - Winamp b - Winamp"), "a ");
  EXPECT_EQ(SongTitleBytes("Song - winamp"), "");
  EXPECT_EQ(SongTitleBytes("Song -Winamp"), "");
}

TEST(SongTitleBytes, CaptionWithoutMarkerGivesEmptyTitle) {
  EXPECT_EQ(SongTitleBytes(""), "");
  EXPECT_EQ(SongTitleBytes("Winamp 5.9"), "");
  EXPECT_EQ(SongTitleBytes(std::string("a\0b - Winamp", 12)), std::string("a\0b ", 4));
}

TEST(CutSongTitle, KeepsAtMost156Characters) {
  EXPECT_EQ(CutSongTitle(std::wstring(200, L'x')), std::wstring(156, L'x'));
  EXPECT_EQ(CutSongTitle(std::wstring(156, L'y')), std::wstring(156, L'y'));
  EXPECT_EQ(CutSongTitle(L"short "), L"short ");
}

TEST(TitleFromBuffer, StopsAtTheFirstZero) {
  EXPECT_EQ(TitleFromBuffer(std::string("Intro\0garbage", 13)), "Intro");
  EXPECT_EQ(TitleFromBuffer(std::string(256, '\0')), "");
  // 256 bytes with no zero: the whole buffer is the (cut) title.
  const std::string full(256, 'A');
  EXPECT_EQ(TitleFromBuffer(full), full);
  EXPECT_EQ(TitleFromBuffer(""), "");
}

TEST(TitleAddress, ThirtyTwoBitPlayersUseTheLowHalfUnsigned) {
  EXPECT_EQ(TitleAddress(0xFFFF'FFFF'8000'1000ull, true), 0x8000'1000ull);
  EXPECT_EQ(TitleAddress(0x0000'0000'0040'0000ull, true), 0x0040'0000ull);
  EXPECT_EQ(TitleAddress(0x0000'7FF0'1234'5678ull, false), 0x0000'7FF0'1234'5678ull);
  EXPECT_EQ(TitleAddress(0, false), 0u);
}

TEST(BytesToPageEnd, LimitsTheReadToThePageThatHoldsTheAddress) {
  EXPECT_EQ(BytesToPageEnd(0x10000, 4096), TitleBufferSize);
  EXPECT_EQ(BytesToPageEnd(0x10FF0, 4096), 16u);
  EXPECT_EQ(BytesToPageEnd(0x10FFF, 4096), 1u);
  EXPECT_EQ(BytesToPageEnd(0x10F00, 4096), 256u);
  EXPECT_EQ(BytesToPageEnd(0x10F01, 4096), 255u);
  EXPECT_EQ(BytesToPageEnd(0xFFFF'FFFF'FFFF'FFFFull, 4096), 1u);
  EXPECT_EQ(BytesToPageEnd(0x1000, 0), 0u);
}

}  // namespace
}  // namespace tokalux
