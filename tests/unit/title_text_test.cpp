#include "player/title_text.h"

#include <gtest/gtest.h>

#include <string>

#include "player/title_watch.h"

namespace tokalux {
namespace {

TEST(SongTitleChars, TakesEverythingBeforeTheMarkerIncludingTheSpace) {
  EXPECT_EQ(SongTitleChars(u"3. Artist - Song - Winamp"), u"3. Artist - Song ");
  EXPECT_EQ(SongTitleChars(u"1. Кино - Группа крови - Winamp"), u"1. Кино - Группа крови ");
  EXPECT_EQ(SongTitleChars(u"- Winamp"), u"");
  // The last occurrence counts (a title may hold the marker itself), what follows it is the
  // player's state, and the comparison is exact.
  EXPECT_EQ(SongTitleChars(u"a - Winamp b - Winamp"), u"a - Winamp b ");
  EXPECT_EQ(SongTitleChars(u"7. Tribute - Winamp Remix - Winamp [Paused]"),
            u"7. Tribute - Winamp Remix ");
  EXPECT_EQ(SongTitleChars(u"Song - winamp"), u"");
  EXPECT_EQ(SongTitleChars(u"Song -Winamp"), u"");
  EXPECT_EQ(SongTitleChars(u"Song \uFF0D Winamp"), u"");  // a full-width dash is no dash
  // No marker, no title.
  EXPECT_EQ(SongTitleChars(u""), u"");
  EXPECT_EQ(SongTitleChars(u"Winamp 5.9"), u"");
  // A character whose low byte is '-' is not the marker's dash.
  EXPECT_EQ(SongTitleChars(u"x \u012D Winamp"), u"");
  EXPECT_EQ(SongTitleChars(std::u16string(u"a\0b - Winamp", 12)), std::u16string(u"a\0b ", 4));
}

TEST(CutSongTitle, KeepsAtMost156Characters) {
  EXPECT_EQ(CutSongTitle(u"short "), u"short ");
  EXPECT_EQ(CutSongTitle(std::u16string(200, u'Ж')), std::u16string(156, u'Ж'));
  EXPECT_EQ(CutSongTitle(std::u16string(156, u'λ')), std::u16string(156, u'λ'));
  // A cut through a surrogate pair drops its first half too; pairs before the cut stay whole.
  const std::u16string pair = u"\U0001F3B5";
  EXPECT_EQ(CutSongTitle(std::u16string(155, u'a') + pair), std::u16string(155, u'a'));
  EXPECT_EQ(CutSongTitle(std::u16string(154, u'a') + pair + u"b"),
            std::u16string(154, u'a') + pair);
}

TEST(SongTitleFromCaption, TakesTheTitleBeforeTheMarkerCutTo156Characters) {
  EXPECT_EQ(SongTitleFromCaption(u"3. Σοφία - Winamp"), u"3. Σοφία ");
  EXPECT_EQ(SongTitleFromCaption(u"坂本龍一 - 戦場のメリークリスマス - Winamp"),
            u"坂本龍一 - 戦場のメリークリスマス ");
  EXPECT_EQ(SongTitleFromCaption(std::u16string(200, u'Ω') + u" - Winamp"),
            std::u16string(156, u'Ω'));
  EXPECT_EQ(SongTitleFromCaption(u"Winamp 5.9"), u"");
}

// Every turn a scrolling player gives its caption reads back as the whole caption.
TEST(UnscrollCaption, EveryTurnOfAScrolledCaptionGivesTheWholeCaption) {
  const std::u16string captions[] = {
      u"12. Song Twelve - Winamp",
      u"3. Σοφία - Winamp [Paused]",
      u"4. A - Winamp Tribute - Winamp [Stopped]",
      u"5. Stars *** Bars - Winamp",
      u"6. 🎵 - Winamp",
  };
  for (const std::u16string& caption : captions) {
    EXPECT_EQ(UnscrollCaption(caption), caption);
    const std::u16string scrolled = caption + u" *** ";
    for (std::size_t turn = 0; turn < scrolled.size(); ++turn) {
      const std::u16string shown = scrolled.substr(turn) + scrolled.substr(0, turn);
      EXPECT_EQ(UnscrollCaption(shown), caption) << turn;
    }
  }
  // The title read from any turn is the same.
  EXPECT_EQ(SongTitleFromCaption(u"elve - Winamp *** 12. Song Tw"), u"12. Song Twelve ");
  EXPECT_EQ(SongTitleFromCaption(u"* 12. Song Twelve - Winamp **"), u"12. Song Twelve ");
  // A caption that is no scrolled caption of the player stays as it is.
  for (const std::u16string caption : {u"", u" *** ", u"Winamp 5.92 *** ", u"a *** b"}) {
    EXPECT_EQ(UnscrollCaption(caption), caption);
  }
  EXPECT_EQ(SongTitleFromCaption(u"92 *** Winamp 5."), u"");
}

// Only another title is a change, not the first read nor the same title again.
TEST(TitleWatch, OnlyAnotherTitleIsAChange) {
  TitleWatch watch;
  EXPECT_FALSE(watch.Read(L"12. Song Twelve "));
  EXPECT_FALSE(watch.Read(L"12. Song Twelve "));
  EXPECT_TRUE(watch.Read(L"13. Song Thirteen "));
  EXPECT_TRUE(watch.Read(L""));
}

TEST(TitleFromBuffer, StopsAtTheFirstZero) {
  EXPECT_EQ(TitleFromBuffer(std::string("Intro\0garbage", 13)), "Intro");
  EXPECT_EQ(TitleFromBuffer(std::string(256, '\0')), "");
  // 256 bytes with no zero: the whole buffer is the (cut) title.
  const std::string full(256, 'A');
  EXPECT_EQ(TitleFromBuffer(full), full);
  EXPECT_EQ(TitleFromBuffer(""), "");
}

TEST(TitleFromBuffer, StopsAtTheFirstZeroCharacterOfAUtf16Buffer) {
  EXPECT_EQ(TitleFromBuffer(std::u16string_view(u"Ёж\0junk", 7)), u"Ёж");
  EXPECT_EQ(TitleFromBuffer(std::u16string(256, u'\0')), u"");
  const std::u16string full(256, u'ß');
  EXPECT_EQ(TitleFromBuffer(full), full);
}

TEST(DecodeUtf16Le, ReadsLittleEndianUnitsAndDropsAnOddTrailingByte) {
  EXPECT_EQ(DecodeUtf16Le(std::string("A\0\x16\x04\xFF\xFE", 6)), u"A\u0416\uFEFF");
  EXPECT_EQ(DecodeUtf16Le(std::string("A\0\x16", 3)), u"A");
  EXPECT_EQ(DecodeUtf16Le("x"), u"");
  EXPECT_EQ(DecodeUtf16Le(""), u"");
  EXPECT_EQ(DecodeUtf16Le("\xFF\xFF"), u"\uFFFF");
}

// The title's little-endian bytes, as the player keeps them.
std::string Utf16Bytes(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST(Utf16TitleFromBytes, CutsAtTheFirstZeroCharacterNotTheFirstZeroByte) {
  // Every ASCII character has a zero high byte; the title still runs on to the zero character.
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(std::u16string(u"Intro\0rest", 10))), u"Intro");
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(std::u16string(u"\u0100\0", 2))), u"\u0100");
  EXPECT_EQ(Utf16TitleFromBytes(std::string(512, '\0')), u"");
  EXPECT_EQ(Utf16TitleFromBytes(""), u"");
  // A read cut short at a page end may leave an odd count: the half unit is dropped.
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(u"Край") + "\x04"), u"Край");
}

TEST(Utf16TitleFromBytes, KeepsAtMost256Characters) {
  const std::u16string longTitle(300, u'я');
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(longTitle)), std::u16string(256, u'я'));
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(longTitle).substr(0, 512)), std::u16string(256, u'я'));
  // A cut through a surrogate pair drops its first half; a title ending at its zero is kept as
  // the player has it.
  const std::u16string cut = std::u16string(255, u'a') + u"\U0001F3B5";
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(cut)), std::u16string(255, u'a'));
  const std::u16string lone(u"a\xD83C\0", 3);
  EXPECT_EQ(Utf16TitleFromBytes(Utf16Bytes(lone)), lone.substr(0, 2));
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
  // A UTF-16 read of 512 bytes, from an even or an odd address.
  EXPECT_EQ(BytesToPageEnd(0x10000, 4096, Utf16TitleBufferSize), 512u);
  EXPECT_EQ(BytesToPageEnd(0x10E00, 4096, Utf16TitleBufferSize), 512u);
  EXPECT_EQ(BytesToPageEnd(0x10E01, 4096, Utf16TitleBufferSize), 511u);
  EXPECT_EQ(BytesToPageEnd(0x10F00, 4096, Utf16TitleBufferSize), 256u);
  EXPECT_EQ(BytesToPageEnd(0x10FFF, 4096, Utf16TitleBufferSize), 1u);
}

}  // namespace
}  // namespace tokalux
