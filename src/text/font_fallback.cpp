#include "text/font_fallback.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <string>

namespace tokalux {
namespace {

using Faces = std::span<const std::wstring_view>;

// Windows' faces first (Windows 7 has all but Yu Gothic, Segoe UI Emoji and Nirmala UI), then
// those of common Linux font packages. Noto's "UI" faces go before their plain twins: those keep
// their lines as tall as Latin lines, while Noto Sans Arabic, say, wants nearly twice the height.
constexpr std::array<std::wstring_view, 12> JapaneseFaces = {
    L"Yu Gothic",       L"Meiryo",    L"MS Gothic",           L"MS PGothic",
    L"Microsoft YaHei", L"SimSun",    L"Noto Sans CJK JP",    L"Source Han Sans JP",
    L"IPAGothic",       L"VL Gothic", L"WenQuanYi Micro Hei", L"Droid Sans Fallback"};
constexpr std::array<std::wstring_view, 12> ChineseFaces = {
    L"Microsoft YaHei",    L"SimSun",
    L"Microsoft JhengHei", L"PMingLiU",
    L"Yu Gothic",          L"Meiryo",
    L"MS Gothic",          L"Noto Sans CJK SC",
    L"Source Han Sans SC", L"WenQuanYi Micro Hei",
    L"WenQuanYi Zen Hei",  L"Droid Sans Fallback"};
constexpr std::array<std::wstring_view, 10> KoreanFaces = {L"Malgun Gothic",
                                                           L"Gulim",
                                                           L"Dotum",
                                                           L"Batang",
                                                           L"Noto Sans CJK KR",
                                                           L"NanumGothic",
                                                           L"UnDotum",
                                                           L"Baekmuk Gulim",
                                                           L"WenQuanYi Micro Hei",
                                                           L"Droid Sans Fallback"};
constexpr std::array<std::wstring_view, 9> ArabicFaces = {L"Segoe UI",
                                                          L"Tahoma",
                                                          L"Arial",
                                                          L"Microsoft Sans Serif",
                                                          L"Noto Sans Arabic UI",
                                                          L"Noto Sans Arabic",
                                                          L"DejaVu Sans",
                                                          L"FreeSans",
                                                          L"Noto Naskh Arabic"};
constexpr std::array<std::wstring_view, 8> HebrewFaces = {
    L"Segoe UI",         L"Arial",       L"Tahoma",   L"Microsoft Sans Serif",
    L"Noto Sans Hebrew", L"DejaVu Sans", L"FreeSans", L"Liberation Sans"};
constexpr std::array<std::wstring_view, 7> AlphabetFaces = {  // Latin, Greek, Cyrillic, Armenian
    L"Segoe UI",    L"Arial",     L"Tahoma",  L"Microsoft Sans Serif",
    L"DejaVu Sans", L"Noto Sans", L"FreeSans"};
constexpr std::array<std::wstring_view, 7> IndicFaces = {
    L"Nirmala UI",       L"Mangal",   L"Noto Sans Devanagari UI", L"Noto Sans Devanagari",
    L"Lohit Devanagari", L"FreeSans", L"Arial Unicode MS"};
constexpr std::array<std::wstring_view, 8> ThaiFaces = {
    L"Leelawadee UI",  L"Leelawadee", L"Tahoma", L"Noto Sans Thai UI",
    L"Noto Sans Thai", L"Loma",       L"Garuda", L"FreeSans"};
constexpr std::array<std::wstring_view, 7> SymbolFaces = {
    L"Segoe UI Emoji", L"Segoe UI Symbol",    L"Symbola",  L"Noto Emoji",
    L"DejaVu Sans",    L"Noto Sans Symbols2", L"FreeSerif"};
constexpr std::array<std::wstring_view, 6> OtherFaces = {L"Segoe UI",        L"Arial Unicode MS",
                                                         L"Segoe UI Symbol", L"DejaVu Sans",
                                                         L"Noto Sans",       L"FreeSans"};

struct FaceTwins {
  std::wstring_view wanted;
  std::array<std::wstring_view, 4> twins;
};

// Metric-compatible twins first, then close relatives.
constexpr std::array<FaceTwins, 2> Twins{{
    {L"Arial", {L"Liberation Sans", L"Arimo", L"Helvetica", L"Nimbus Sans"}},
    {L"MS Sans Serif", {L"Microsoft Sans Serif", L"Arial", L"Liberation Sans", L"Tahoma"}},
}};

// A face name as the coverage map keeps it: upper case, so that names that differ only in case
// (see SameFace) find one entry.
std::wstring FaceKey(std::wstring_view face) {
  std::wstring key(face);
  std::transform(key.begin(), key.end(), key.begin(), [](wchar_t c) { return std::towupper(c); });
  return key;
}

// C0 and C1 controls and DEL: no font draws them, so no font is searched for them.
bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Answers kept for texts laid out before; beyond this many they are all forgotten at once (a
// long run sees many titles, and an answer costs only lookups in memory to find again).
constexpr std::size_t RememberedAnswers = 4096;

}  // namespace

bool SameFace(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

std::wstring FaceOrTwin(std::wstring_view wanted,
                        const std::function<bool(std::wstring_view face)>& installed) {
  if (installed(wanted)) return std::wstring(wanted);
  for (const FaceTwins& entry : Twins) {
    if (entry.wanted != wanted) continue;
    for (const std::wstring_view twin : entry.twins) {
      if (installed(twin)) return std::wstring(twin);
    }
  }
  return std::wstring(wanted);
}

const CharacterSet& FallbackFaces::Coverage(std::wstring_view face) {
  std::wstring key = FaceKey(face);
  const auto known = coverage_.find(key);
  if (known != coverage_.end()) return known->second;
  return coverage_.emplace(std::move(key), source_.ReadCoverage(face)).first->second;
}

const std::vector<std::wstring>& FallbackFaces::Installed() {
  if (!installed_) installed_ = source_.InstalledFaces();
  return *installed_;
}

std::wstring FallbackFaces::Find(Script script, std::u32string_view chars,
                                 std::span<const std::wstring> skip) {
  if (std::any_of(chars.begin(), chars.end(), [&](char32_t c) { return Missing(c); })) return {};
  if (!skip.empty()) return Search(script, chars, skip);
  auto key = std::make_pair(script, std::u32string(chars));
  const auto known = found_.find(key);
  if (known != found_.end()) return known->second;
  std::wstring face = Search(script, chars, skip);
  if (found_.size() >= RememberedAnswers) found_.clear();
  found_.emplace(std::move(key), face);
  return face;
}

std::wstring FallbackFaces::Search(Script script, std::u32string_view chars,
                                   std::span<const std::wstring> skip) {
  const std::vector<std::wstring>& installed = Installed();
  const auto has = [](const auto& faces, std::wstring_view face) {
    return std::any_of(faces.begin(), faces.end(),
                       [&](const auto& f) { return SameFace(f, face); });
  };
  const auto coversAll = [&](std::wstring_view face) {
    if (has(skip, face)) return false;
    const CharacterSet& set = Coverage(face);
    return std::all_of(chars.begin(), chars.end(), [&](char32_t c) { return set.Contains(c); });
  };
  for (const std::wstring_view face : PreferredFaces(script)) {
    if (has(installed, face) && coversAll(face)) return std::wstring(face);
  }
  for (const std::wstring& face : installed) {
    if (coversAll(face)) return face;
  }
  // Every face's coverage is known now: remember the characters none of them has.
  for (const char32_t c : chars) {
    const bool anywhere =
        std::any_of(installed.begin(), installed.end(),
                    [&](const std::wstring& face) { return Coverage(face).Contains(c); });
    if (!anywhere) missing_.insert(c);
  }
  return {};
}

std::span<const std::wstring_view> PreferredFaces(Script script) {
  switch (script) {
    case Script::Japanese:
      return JapaneseFaces;
    case Script::Chinese:
      return ChineseFaces;
    case Script::Korean:
      return KoreanFaces;
    case Script::Arabic:
      return ArabicFaces;
    case Script::Hebrew:
      return HebrewFaces;
    case Script::Latin:
    case Script::Greek:
    case Script::Cyrillic:
    case Script::Armenian:
      return AlphabetFaces;
    case Script::Indic:
      return IndicFaces;
    case Script::Thai:
      return ThaiFaces;
    case Script::Symbols:
      return SymbolFaces;
    case Script::Common:
    case Script::Inherited:
    case Script::Other:
      break;
  }
  return OtherFaces;
}

std::vector<FontRun> AssignFonts(std::u16string_view text, FontSource& fonts) {
  const std::vector<CodePoint> points = CodePoints(text);
  const std::size_t count = points.size();
  std::vector<Script> scripts(count);
  bool kana = false;
  bool hangul = false;
  for (std::size_t k = 0; k < count; ++k) {
    scripts[k] = ScriptOf(points[k].value);
    kana = kana || scripts[k] == Script::Japanese;
    hangul = hangul || scripts[k] == Script::Korean;
  }
  for (Script& script : scripts) {
    if (script == Script::Chinese && kana) script = Script::Japanese;
    if (script == Script::Chinese && hangul) script = Script::Korean;
  }
  const auto neutral = [](Script s) { return s == Script::Common || s == Script::Inherited; };

  // Which characters the own font draws; a mark goes with the character before it.
  std::vector<int> font(count, 0);
  std::vector<bool> own(count);
  for (std::size_t k = 0; k < count; ++k) {
    own[k] =
        IsControl(points[k].value) ||
        (k > 0 && scripts[k] == Script::Inherited ? own[k - 1] : fonts.Covers(0, points[k].value));
  }

  // Each stretch the own font lacks, of one script (with common characters and marks among it).
  for (std::size_t k = 0; k < count;) {
    if (own[k]) {
      ++k;
      continue;
    }
    const std::size_t first = k;
    Script script = Script::Common;
    std::u32string chars;
    for (; k < count && !own[k]; ++k) {
      if (!neutral(scripts[k])) {
        if (script == Script::Common) script = scripts[k];
        if (scripts[k] != script) break;
      }
      chars.push_back(points[k].value);
    }
    const int together = fonts.Fallback(script, chars);
    for (std::size_t j = first; j < k; ++j) {
      if (together != 0) {
        font[j] = together;
      } else if (j > first && scripts[j] == Script::Inherited) {
        font[j] = font[j - 1];
      } else {
        const Script alone = neutral(scripts[j]) ? script : scripts[j];
        font[j] = fonts.Fallback(alone, std::u32string(1, points[j].value));
      }
    }
  }

  // Spaces and punctuation between two stretches of one fallback take it as well, where it has
  // them: one run instead of three, in one face.
  for (std::size_t k = 0; k < count;) {
    if (font[k] != 0 || !neutral(scripts[k]) || k == 0 || font[k - 1] == 0) {
      ++k;
      continue;
    }
    std::size_t end = k;
    while (end < count && font[end] == 0 && neutral(scripts[end])) ++end;
    const int fallback = font[k - 1];
    const bool joins =
        end < count && font[end] == fallback &&
        std::all_of(points.begin() + static_cast<std::ptrdiff_t>(k),
                    points.begin() + static_cast<std::ptrdiff_t>(end),
                    [&](const CodePoint& p) { return fonts.Covers(fallback, p.value); });
    if (joins)
      std::fill(font.begin() + static_cast<std::ptrdiff_t>(k),
                font.begin() + static_cast<std::ptrdiff_t>(end), fallback);
    k = end;
  }

  std::vector<FontRun> runs;
  for (std::size_t k = 0; k < count; ++k) {
    if (!runs.empty() && runs.back().font == font[k]) {
      runs.back().end = points[k].end;
    } else {
      runs.push_back({points[k].begin, points[k].end, font[k]});
    }
  }
  return runs;
}

}  // namespace tokalux
