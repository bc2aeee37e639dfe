#include "text/text_script.h"

#include <algorithm>
#include <array>

namespace tokalux {
namespace {

struct ScriptRange {
  char32_t first;
  char32_t last;
  Script script;
};

using enum Script;

// Sorted and apart; a character in none of them is Other. Blocks, not single characters, except
// where a block mixes letters with marks that must stay with their letter.
// clang-format off
constexpr std::array ScriptRanges = std::to_array<ScriptRange>({
  {0x0000, 0x0040, Common},   {0x0041, 0x005A, Latin},     {0x005B, 0x0060, Common},
  {0x0061, 0x007A, Latin},    {0x007B, 0x00BF, Common},    {0x00C0, 0x00D6, Latin},
  {0x00D7, 0x00D7, Common},   {0x00D8, 0x00F6, Latin},     {0x00F7, 0x00F7, Common},
  {0x00F8, 0x02AF, Latin},    {0x02B0, 0x02FF, Common},    {0x0300, 0x036F, Inherited},
  {0x0370, 0x03FF, Greek},    {0x0400, 0x0482, Cyrillic},  {0x0483, 0x0489, Inherited},
  {0x048A, 0x052F, Cyrillic}, {0x0530, 0x058F, Armenian},  {0x0590, 0x0590, Hebrew},
  {0x0591, 0x05BD, Inherited},{0x05BE, 0x05BE, Hebrew},    {0x05BF, 0x05BF, Inherited},
  {0x05C0, 0x05C0, Hebrew},   {0x05C1, 0x05C2, Inherited}, {0x05C3, 0x05C3, Hebrew},
  {0x05C4, 0x05C5, Inherited},{0x05C6, 0x05C6, Hebrew},    {0x05C7, 0x05C7, Inherited},
  {0x05C8, 0x05FF, Hebrew},   {0x0600, 0x060F, Arabic},    {0x0610, 0x061A, Inherited},
  {0x061B, 0x064A, Arabic},   {0x064B, 0x065F, Inherited}, {0x0660, 0x066F, Arabic},
  {0x0670, 0x0670, Inherited},{0x0671, 0x06D5, Arabic},    {0x06D6, 0x06DC, Inherited},
  {0x06DD, 0x06DE, Arabic},   {0x06DF, 0x06E4, Inherited}, {0x06E5, 0x06E6, Arabic},
  {0x06E7, 0x06E8, Inherited},{0x06E9, 0x06E9, Arabic},    {0x06EA, 0x06ED, Inherited},
  {0x06EE, 0x06FF, Arabic},   {0x0750, 0x077F, Arabic},    {0x08A0, 0x08FF, Arabic},
  {0x0900, 0x0DFF, Indic},    {0x0E00, 0x0E30, Thai},      {0x0E31, 0x0E31, Inherited},
  {0x0E32, 0x0E33, Thai},     {0x0E34, 0x0E3A, Inherited}, {0x0E3B, 0x0E46, Thai},
  {0x0E47, 0x0E4E, Inherited},{0x0E4F, 0x0E7F, Thai},      {0x1100, 0x11FF, Korean},
  {0x1AB0, 0x1AFF, Inherited},{0x1D00, 0x1DBF, Latin},     {0x1DC0, 0x1DFF, Inherited},
  {0x1E00, 0x1EFF, Latin},    {0x1F00, 0x1FFF, Greek},     {0x2000, 0x200B, Common},
  {0x200C, 0x200D, Inherited},{0x200E, 0x20CF, Common},    {0x20D0, 0x20FF, Inherited},
  {0x2100, 0x218F, Common},   {0x2190, 0x2BFF, Symbols},   {0x2C60, 0x2C7F, Latin},
  {0x2DE0, 0x2DFF, Cyrillic}, {0x2E00, 0x2E7F, Common},    {0x2E80, 0x3029, Chinese},
  {0x302A, 0x302F, Inherited},{0x3030, 0x303F, Chinese},   {0x3040, 0x3098, Japanese},
  {0x3099, 0x309A, Inherited},{0x309B, 0x30FF, Japanese},  {0x3100, 0x312F, Chinese},
  {0x3130, 0x318F, Korean},   {0x3190, 0x31EF, Chinese},   {0x31F0, 0x31FF, Japanese},
  {0x3200, 0x4DBF, Chinese},  {0x4DC0, 0x4DFF, Symbols},   {0x4E00, 0x9FFF, Chinese},
  {0xA640, 0xA69F, Cyrillic}, {0xA720, 0xA7FF, Latin},     {0xA960, 0xA97F, Korean},
  {0xAC00, 0xD7FF, Korean},   {0xF900, 0xFAFF, Chinese},   {0xFB00, 0xFB06, Latin},
  {0xFB1D, 0xFB4F, Hebrew},   {0xFB50, 0xFDFF, Arabic},    {0xFE00, 0xFE0F, Inherited},
  {0xFE10, 0xFE1F, Chinese},  {0xFE20, 0xFE2F, Inherited}, {0xFE30, 0xFE4F, Chinese},
  {0xFE50, 0xFE6F, Common},   {0xFE70, 0xFEFE, Arabic},    {0xFEFF, 0xFEFF, Common},
  {0xFF00, 0xFF60, Chinese},  {0xFF61, 0xFF9F, Japanese},  {0xFFA0, 0xFFDF, Korean},
  {0xFFE0, 0xFFEF, Chinese},  {0xFFF0, 0xFFFF, Common},    {0x1B000, 0x1B16F, Japanese},
  {0x1F000, 0x1F3FA, Symbols},{0x1F3FB, 0x1F3FF, Inherited},{0x1F400, 0x1FAFF, Symbols},
  {0x20000, 0x3FFFF, Chinese},{0xE0000, 0xE007F, Inherited},{0xE0100, 0xE01EF, Inherited},
});
// clang-format on

}  // namespace

Script ScriptOf(char32_t c) {
  const auto range = std::upper_bound(ScriptRanges.begin(), ScriptRanges.end(), c,
                                      [](char32_t v, const ScriptRange& r) { return v < r.first; });
  if (range == ScriptRanges.begin()) return Other;
  const ScriptRange& candidate = *(range - 1);
  return c <= candidate.last ? candidate.script : Other;
}

std::vector<CodePoint> CodePoints(std::u16string_view text) {
  std::vector<CodePoint> points;
  points.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char16_t unit = text[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool pairs =
        high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pairs) {
      const char32_t value = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      points.push_back({value, i, i + 2});
      i += 2;
    } else {
      const bool lone = unit >= 0xD800 && unit <= 0xDFFF;
      points.push_back({lone ? char32_t{0xFFFD} : char32_t{unit}, i, i + 1});
      ++i;
    }
  }
  return points;
}

}  // namespace tokalux
