// Drawing every character with a font that has it: which faces to try for a script the label's
// own font lacks, and the split of a text into runs of one font each. The fonts themselves and
// what they cover are behind an interface.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "screen/text_script.h"

namespace tokalux {

// The faces to try for characters of a script, best first: those of Windows 7 to 11, then common
// faces of other systems (a Linux under Wine). For Japanese and Korean, Chinese characters count
// as the language's own (see AssignFonts).
std::span<const std::wstring_view> PreferredFaces(Script script);

class FontSource {
 public:
  virtual ~FontSource() = default;
  // Whether font `font` has a glyph for the character; font 0 is the label's own, the others
  // are those Fallback answered.
  virtual bool Covers(int font, char32_t c) = 0;
  // A font (from 1 up) that has glyphs for every one of `chars`, characters of `script` (and
  // common ones); 0 when there is none.
  virtual int Fallback(Script script, std::u32string_view chars) = 0;
};

// The units [begin, end) of a text drawn with one font.
struct FontRun {
  std::size_t begin = 0;
  std::size_t end = 0;
  int font = 0;
  friend bool operator==(const FontRun&, const FontRun&) = default;
};

// The text in runs of one font each, in order. A character the own font has stays in it; each
// stretch of characters it lacks takes one fallback that has them all, or, failing that, each
// character one of its own (the own font where no font has it). Marks go with the character they
// belong to; spaces and punctuation between two stretches of the same fallback take it too, where
// it has them. Chinese characters count as Japanese in a text with kana, and as Korean in one
// with Hangul.
std::vector<FontRun> AssignFonts(std::u16string_view text, FontSource& fonts);

}  // namespace tokalux
