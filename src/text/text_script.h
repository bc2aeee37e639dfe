// The script of a character, as far as choosing a font for it and breaking lines need it, and the
// code points of a UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tokalux {

// Common: digits, punctuation, spaces, which every script uses. Inherited: combining marks,
// joiners and variation selectors, which belong to the character before them. Chinese covers the
// Han ideographs, CJK punctuation and full-width forms, Japanese the kana, Korean Hangul.
enum class Script : uint8_t {
  Common,
  Inherited,
  Latin,
  Greek,
  Cyrillic,
  Armenian,
  Hebrew,
  Arabic,
  Indic,
  Thai,
  Chinese,
  Japanese,
  Korean,
  Symbols,  // arrows, shapes, dingbats, emoji
  Other,
};

Script ScriptOf(char32_t c);

constexpr bool IsCjk(Script script) {
  return script == Script::Chinese || script == Script::Japanese || script == Script::Korean;
}

// One character of a UTF-16 text: its code point and the units [begin, end) it takes.
struct CodePoint {
  char32_t value = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The characters of a text; a surrogate without its partner is one character, U+FFFD.
std::vector<CodePoint> CodePoints(std::u16string_view text);

}  // namespace tokalux
