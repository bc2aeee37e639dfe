// Captions of any length and script: line breaks, wrapping, the fit into a label's room, the
// choice of faces (a twin for one not installed, fallbacks per run), and reading what a font
// covers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "text/font_cmap.h"
#include "text/font_fallback.h"
#include "text/text_fit.h"

namespace tokalux {
namespace {

// ---- Breaks and wrapping ----

std::vector<std::size_t> Where(const std::vector<uint8_t>& breaks, uint8_t flag) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    if (breaks[i] & flag) at.push_back(i);
  }
  return at;
}

TEST(TextBreaks, AfterSpacesBetweenCjkAndNeverInsideACharacter) {
  const auto latin = TextBreaks(u"ab  cd-ef");
  EXPECT_EQ(Where(latin, BreakBefore), (std::vector<std::size_t>{4}));  // not at the hyphen
  EXPECT_EQ(Where(latin, Space), (std::vector<std::size_t>{2, 3}));

  // Between ideographs and kana, but no line starts with a closing mark or ends with an opening
  // one.
  const auto cjk = TextBreaks(u"夜明け。「花」");
  EXPECT_EQ(Where(cjk, BreakBefore), (std::vector<std::size_t>{1, 2, 4}));

  // A surrogate pair, a combining mark, a joined emoji sequence: one character each.
  const auto joined = TextBreaks(u"a\U0001F600e\u0301\U0001F469\u200D\U0001F467b");
  EXPECT_EQ(Where(joined, CutBefore), (std::vector<std::size_t>{0, 1, 3, 5, 10}));
}

std::vector<int32_t> Tens(std::u16string_view text) {
  return std::vector<int32_t>(text.size(), 10);
}

TEST(WrapLines, WordsAsLongAsTheWidthAllowsSpacesHangAndLongWordsSplit) {
  const std::u16string words = u"aaa bbb ccc";
  EXPECT_EQ(WrapLines(Tens(words), TextBreaks(words), 75),
            (std::vector<TextLine>{{0, 7}, {8, 11}}));
  EXPECT_EQ(WrapLines(Tens(words), TextBreaks(words), 70),
            (std::vector<TextLine>{{0, 7}, {8, 11}}));  // exactly as wide
  const std::u16string spaces = u"aaa    bbb";
  EXPECT_EQ(WrapLines(Tens(spaces), TextBreaks(spaces), 30),
            (std::vector<TextLine>{{0, 3}, {7, 10}}));
  const std::u16string word = u"aaaaaaa bb";
  EXPECT_EQ(WrapLines(Tens(word), TextBreaks(word), 30),
            (std::vector<TextLine>{{0, 3}, {3, 6}, {6, 7}, {8, 10}}));
  // Narrower than one character: one character a line, a surrogate pair kept whole.
  const std::u16string pair = u"\U0001F600a";
  EXPECT_EQ(WrapLines(Tens(pair), TextBreaks(pair), 5), (std::vector<TextLine>{{0, 2}, {2, 3}}));
}

TEST(CutToWidth, LongestPartThatFitsWithoutTrailingSpaces) {
  const std::u16string text = u"ab cd\U0001F600";
  const auto advances = Tens(text);
  const auto breaks = TextBreaks(text);
  EXPECT_EQ(CutToWidth(advances, breaks, 0, text.size(), 70), 7u);  // all of it
  EXPECT_EQ(CutToWidth(advances, breaks, 0, text.size(), 69), 5u);  // not half a pair
  EXPECT_EQ(CutToWidth(advances, breaks, 0, text.size(), 35), 2u);  // "ab", not "ab "
  EXPECT_EQ(CutToWidth(advances, breaks, 0, text.size(), 5), 0u);
  EXPECT_EQ(CutToWidth(advances, breaks, 3, text.size(), 25), 5u);
}

// ---- Fitting ----

// A font whose characters are all half as wide as it is high, and whose lines are 1.25 times.
class EvenFont : public TextMeasure {
 public:
  explicit EvenFont(std::size_t units) : units_(units) {}
  MeasuredText Measure(int32_t height) override {
    measured.push_back(height);
    return {std::vector<int32_t>(units_, height / 2), height * 5 / 4, height};
  }
  std::vector<int32_t> measured;

 private:
  std::size_t units_;
};

std::u16string Words(int count) {  // "word word ...": 5 units a word with its space
  std::u16string text;
  for (int i = 0; i < count; ++i) text += i ? u" word" : u"word";
  return text;
}

TEST(ShrinkSteps, FromTheSizeToTheFloorInSixteenths) {
  EXPECT_EQ(ShrinkSteps(64, 32), (std::vector<int32_t>{64, 60, 56, 52, 48, 44, 40, 36, 32}));
  EXPECT_EQ(ShrinkSteps(96, 48).size(), 9u);
  EXPECT_EQ(ShrinkSteps(13, 7), (std::vector<int32_t>{13, 12, 11, 10, 9, 8, 7}));
  EXPECT_EQ(ShrinkSteps(64, 64), (std::vector<int32_t>{64}));
}

TEST(FitText, WhatFitsStaysAtItsSizeAsItWraps) {
  const std::u16string text = Words(12);  // 59 units, 32 px each at 64
  EvenFont font(text.size());
  const FitRoom room{1000, 240, true, 64, 32};
  const FittedText fitted = FitText(text, font, room);
  EXPECT_EQ(fitted.fontHeight, 64);
  EXPECT_EQ(font.measured, (std::vector<int32_t>{64}));  // measured once
  EXPECT_FALSE(fitted.ellipsis);
  EXPECT_EQ(fitted.lines, WrapLines(std::vector<int32_t>(text.size(), 32), TextBreaks(text), 1000));
  EXPECT_EQ(fitted.lines.size(), 2u);
}

TEST(FitText, TooTallShrinksToTheLargestStepThatFits) {
  const std::u16string text = Words(40);  // 199 units: 7 lines at 64, 240 px hold 3
  EvenFont font(text.size());
  const FitRoom room{1000, 240, true, 64, 32};
  const FittedText fitted = FitText(text, font, room);
  EXPECT_FALSE(fitted.ellipsis);
  EXPECT_LT(fitted.fontHeight, 64);
  EXPECT_GE(fitted.fontHeight, 32);
  EXPECT_LE(static_cast<int32_t>(fitted.lines.size()) * fitted.lineHeight, 240);
  EXPECT_EQ(fitted.lines.back().end, text.size());
  // The step above it does not fit.
  const int32_t larger = fitted.fontHeight + 4;
  const auto lines =
      WrapLines(std::vector<int32_t>(text.size(), larger / 2), TextBreaks(text), 1000);
  EXPECT_GT(static_cast<int32_t>(lines.size()) * (larger * 5 / 4), 240);
}

TEST(FitText, TooLongAtTheFloorEndsItsLastShownLineWithAnEllipsis) {
  const std::u16string text = Words(200);
  EvenFont font(text.size());
  const FitRoom room{950, 240, true, 64, 32};
  const FittedText fitted = FitText(text, font, room);
  EXPECT_EQ(fitted.fontHeight, 32);
  EXPECT_TRUE(fitted.ellipsis);
  ASSERT_EQ(fitted.lines.size(), 6u);  // 240 / 40, twelve words each
  // The last line takes as much of the rest as fits beside the ellipsis (32 wide at the floor):
  // here a word and a half less than its twelve words wrapped, which would leave no room for it.
  const TextLine last = fitted.lines.back();
  EXPECT_EQ(last.begin, fitted.lines[4].end + 1);
  EXPECT_LE((last.end - last.begin) * 16 + 32, 950u);
  EXPECT_GT((last.end - last.begin + 1) * 16 + 32, 950u);

  // Lower than one line: one line all the same.
  EXPECT_EQ(FitText(text, font, {950, 10, true, 64, 32}).lines.size(), 1u);
}

TEST(FitText, OneLineIsCutWithAnEllipsisOnlyWhenTooWide) {
  const std::u16string text = u"12 . Artist - Title ";
  EvenFont font(text.size());  // 6 px a unit at 13
  const FittedText whole = FitText(text, font, {120, 0, false, 13, 13});
  EXPECT_EQ(whole.lines, (std::vector<TextLine>{{0, 20}}));  // trailing space and all
  EXPECT_FALSE(whole.ellipsis);

  const FittedText cut = FitText(text, font, {100, 0, false, 13, 13});
  EXPECT_TRUE(cut.ellipsis);
  EXPECT_EQ(cut.fontHeight, 13);                           // one line does not shrink
  EXPECT_EQ(cut.lines, (std::vector<TextLine>{{0, 13}}));  // "12 . Artist -", its space dropped

  const FittedText empty = FitText(u"", font, {100, 0, false, 13, 13});
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(empty.lineHeight, 16);
}

TEST(FitLineBox, ATallerFallbackGivesUpItsTopThenItsBottomButNeverTheOwnBox) {
  const LineBox own{12, 3};
  EXPECT_EQ(FitLineBox(own, {18, 10}, 40), (LineBox{18, 10}));  // room enough
  EXPECT_EQ(FitLineBox(own, {18, 10}, 24), (LineBox{14, 10}));
  EXPECT_EQ(FitLineBox(own, {18, 10}, 20), (LineBox{12, 8}));
  EXPECT_EQ(FitLineBox(own, {18, 10}, 0), own);
}

// ---- Fonts per run ----

// Font 0 covers Latin and common characters (no controls, as real fonts), font 1 CJK but U+D7A3
// (with spaces and hyphens), font 2 Arabic with its marks, font 3 one emoji.
class FakeFonts : public FontSource {
 public:
  bool Covers(int font, char32_t c) override {
    const Script script = ScriptOf(c);
    switch (font) {
      case 0:
        return (script == Script::Latin || script == Script::Common) && c >= 0x20;
      case 1:
        return (IsCjk(script) && c != 0xD7A3) || c == u' ' || c == u'-';
      case 2:
        return script == Script::Arabic || (script == Script::Inherited && c < 0x700);
      case 3:
        return c == 0x1F600;
      default:
        return false;
    }
  }
  int Fallback(Script script, std::u32string_view chars) override {
    asked.push_back(script);
    for (int font = 1; font <= 3; ++font) {
      bool all = true;
      for (char32_t c : chars) all = all && Covers(font, c);
      if (all) return font;
    }
    return 0;
  }
  std::vector<Script> asked;
};

TEST(AssignFonts, OwnFontWhereItCoversAFallbackPerStretchElsewhere) {
  FakeFonts fonts;
  EXPECT_EQ(AssignFonts(u"Song - 君の名は。", fonts),
            (std::vector<FontRun>{{0, 7, 0}, {7, 12, 1}}));
  EXPECT_EQ(fonts.asked, std::vector<Script>{Script::Japanese});  // kanji among kana

  // Spaces and hyphens between two stretches of one fallback go with it.
  EXPECT_EQ(AssignFonts(u"星野 - 夜明け", fonts), (std::vector<FontRun>{{0, 8, 1}}));
  // ... but not where it lacks them ("." here), nor between different fallbacks.
  EXPECT_EQ(AssignFonts(u"红.豆", fonts), (std::vector<FontRun>{{0, 1, 1}, {1, 2, 0}, {2, 3, 1}}));
  fonts.asked.clear();
  AssignFonts(u"红豆 ", fonts);
  EXPECT_EQ(fonts.asked, std::vector<Script>{Script::Chinese});

  // Marks stay with their letters; a script change starts another stretch.
  EXPECT_EQ(AssignFonts(u"a مَرحبا 日\U0001F600", fonts),
            (std::vector<FontRun>{{0, 2, 0}, {2, 8, 2}, {8, 9, 0}, {9, 10, 1}, {10, 12, 3}}));
}

TEST(AssignFonts, EachCharacterOnItsOwnWhenNoFontHasTheWholeStretch) {
  FakeFonts fonts;
  // A Korean stretch with a character no font has: the rest still finds its font.
  EXPECT_EQ(AssignFonts(u"x가\uD7A3나", fonts),
            (std::vector<FontRun>{{0, 1, 0}, {1, 2, 1}, {2, 3, 0}, {3, 4, 1}}));
  EXPECT_EQ(fonts.asked, std::vector<Script>(4, Script::Korean));
  EXPECT_TRUE(AssignFonts(u"", fonts).empty());

  // A TAB or another control is no glyph: no font is searched for it.
  fonts.asked.clear();
  EXPECT_EQ(AssignFonts(u"a\tb\u0085", fonts), (std::vector<FontRun>{{0, 4, 0}}));
  EXPECT_EQ(fonts.asked, std::vector<Script>{});
}

// ---- Fallback faces for the process ----

TEST(FaceOrTwin, TheFaceElseItsFirstInstalledTwinElseTheFaceLeftToTheSystem) {
  const auto among = [](std::vector<std::wstring_view> faces) {
    return [faces](std::wstring_view face) {
      return std::find(faces.begin(), faces.end(), face) != faces.end();
    };
  };
  EXPECT_EQ(FaceOrTwin(L"Arial", among({L"Tahoma", L"Arial", L"Liberation Sans"})), L"Arial");
  // Its metric twin is not there: the next relative.
  EXPECT_EQ(FaceOrTwin(L"MS Sans Serif", among({L"Tahoma", L"Arial"})), L"Arial");
  const auto linux = among({L"DejaVu Sans", L"Arimo", L"Liberation Sans"});
  EXPECT_EQ(FaceOrTwin(L"Arial", linux), L"Liberation Sans");
  EXPECT_EQ(FaceOrTwin(L"Verdana", linux), L"Verdana");
}

// "Arabic UI" has Arabic, "Wide" Arabic and Latin, "Latin" Latin; each read is counted.
class FakeFaces : public FaceSource {
 public:
  std::vector<std::wstring> InstalledFaces() override {
    ++enumerations;
    return {L"Wide", L"Latin", L"Arabic UI"};
  }
  CharacterSet ReadCoverage(std::wstring_view face) override {
    ++reads[std::wstring(face)];
    if (face == L"Arabic UI") return CharacterSet({{0x600, 0x6FF}});
    if (face == L"Wide") return CharacterSet({{0x600, 0x6FF}, {'a', 'z'}});
    return CharacterSet({{'a', 'z'}});
  }
  int enumerations = 0;
  std::map<std::wstring, int> reads;
};

TEST(FallbackFaces, EachFaceIsReadOnceAndACharacterNoFaceHasIsRememberedAsMissing) {
  FakeFaces source;
  FallbackFaces faces(source);
  for (int layout = 0; layout < 3; ++layout) {
    EXPECT_EQ(faces.Find(Script::Other, U"\uE000"), L"");
    EXPECT_EQ(faces.Find(Script::Symbols, U"a\U0001FAE0"), L"");
    EXPECT_EQ(faces.Find(Script::Latin, U"ab"), L"Wide");
    EXPECT_EQ(faces.Coverage(L"LATIN").Contains('a'), true);  // faces compare in any case
  }
  EXPECT_TRUE(faces.Missing(0xE000));
  EXPECT_TRUE(faces.Missing(0x1FAE0));
  EXPECT_FALSE(faces.Missing('a'));
  EXPECT_EQ(source.enumerations, 1);
  EXPECT_EQ(source.reads,
            (std::map<std::wstring, int>{{L"Wide", 1}, {L"Latin", 1}, {L"Arabic UI", 1}}));
}

TEST(FallbackFaces, APreferredFaceFirstAndTheNextOneWhereItCouldNotDrawTheText) {
  FakeFaces source;
  FallbackFaces faces(source);
  // No face preferred for Arabic is installed here: the first installed face that has them all.
  EXPECT_EQ(faces.Find(Script::Arabic, U"\u0627\u0644"), L"Wide");
  const std::vector<std::wstring> failed{L"wide"};
  EXPECT_EQ(faces.Find(Script::Arabic, U"\u0627\u0644", failed), L"Arabic UI");
  const std::vector<std::wstring> both{L"Wide", L"Arabic UI"};
  EXPECT_EQ(faces.Find(Script::Arabic, U"\u0627\u0644", both), L"");
  EXPECT_FALSE(faces.Missing(0x627));
}

// ---- What a font covers ----

void Put16(std::string& bytes, std::size_t at, uint32_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2);
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value);
}
void Put32(std::string& bytes, std::size_t at, uint32_t value) {
  Put16(bytes, at, value >> 16);
  Put16(bytes, at + 2, value & 0xFFFF);
}

// A cmap with the given subtables, each (platform, encoding, bytes).
std::string Cmap(const std::vector<std::tuple<uint32_t, uint32_t, std::string>>& subtables) {
  std::string table;
  Put16(table, 2, static_cast<uint32_t>(subtables.size()));
  std::size_t offset = 4 + 8 * subtables.size();
  for (std::size_t i = 0; i < subtables.size(); ++i) {
    const auto& [platform, encoding, bytes] = subtables[i];
    Put16(table, 4 + 8 * i, platform);
    Put16(table, 6 + 8 * i, encoding);
    Put32(table, 8 + 8 * i, static_cast<uint32_t>(offset));
    offset += bytes.size();
  }
  for (const auto& subtable : subtables) table += std::get<2>(subtable);
  return table;
}

// Format 4: A-C by delta, 0x4E00-0x4E02 through the glyph array with 0x4E01 missing, the end mark.
std::string Format4() {
  std::string s;
  Put16(s, 0, 4);
  Put16(s, 6, 6);  // three segments
  const std::size_t ends = 14, starts = 22, deltas = 28, offsets = 34;
  Put16(s, ends, 'C'), Put16(s, ends + 2, 0x4E02), Put16(s, ends + 4, 0xFFFF);
  Put16(s, starts, 'A'), Put16(s, starts + 2, 0x4E00), Put16(s, starts + 4, 0xFFFF);
  Put16(s, deltas, 0x10000 - 'A' + 3), Put16(s, deltas + 2, 0), Put16(s, deltas + 4, 1);
  Put16(s, offsets, 0), Put16(s, offsets + 2, 4), Put16(s, offsets + 4, 0);
  Put16(s, offsets + 6, 7), Put16(s, offsets + 8, 0), Put16(s, offsets + 10, 9);
  return s;
}

// Format 12: U+1F600-1F602 (the first mapped to glyph 0) and 'Z'.
std::string Format12() {
  std::string s;
  Put16(s, 0, 12);
  Put32(s, 12, 2);
  Put32(s, 16, 'Z'), Put32(s, 20, 'Z'), Put32(s, 24, 5);
  Put32(s, 28, 0x1F600), Put32(s, 32, 0x1F602), Put32(s, 36, 0);
  return s;
}

TEST(ReadCmap, TheBestUnicodeSubtableWithoutMissingGlyphs) {
  const auto basic = ReadCmap(Cmap({{3, 0, Format12()}, {3, 1, Format4()}}));
  ASSERT_TRUE(basic);  // the symbol subtable is passed over
  EXPECT_EQ(basic->ranges(),
            (std::vector<CharacterSet::Range>{{'A', 'C'}, {0x4E00, 0x4E00}, {0x4E02, 0x4E02}}));

  const auto full = ReadCmap(Cmap({{3, 1, Format4()}, {3, 10, Format12()}}));
  ASSERT_TRUE(full);
  EXPECT_TRUE(full->Contains(0x1F601));
  EXPECT_FALSE(full->Contains(0x1F600));
  EXPECT_TRUE(full->Contains('Z'));
  EXPECT_FALSE(full->Contains('A'));

  EXPECT_FALSE(ReadCmap(Cmap({{3, 0, Format4()}})));
  EXPECT_FALSE(ReadCmap(""));
  const std::string cut = Cmap({{3, 1, Format4()}});
  EXPECT_FALSE(ReadCmap(cut.substr(0, cut.size() - 8)));
}

TEST(CharacterSet, MergesOverlappingAndTouchingRanges) {
  const CharacterSet set({{20, 30}, {1, 5}, {6, 8}, {25, 40}, {9, 3}});
  EXPECT_EQ(set.ranges(), (std::vector<CharacterSet::Range>{{1, 8}, {20, 40}}));
  EXPECT_TRUE(set.Contains(40));
  EXPECT_FALSE(set.Contains(41));
  EXPECT_FALSE(set.Contains(0));
  EXPECT_FALSE(CharacterSet().Contains(0));
}

}  // namespace
}  // namespace tokalux
