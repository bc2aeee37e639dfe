// Drawing every character with a font that has it: the face to ask for in place of one that is
// not installed, which faces to try for a script the label's own font lacks, and the split of a
// text into runs of one font each. The fonts themselves and what they cover are behind an
// interface.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/font_cmap.h"
#include "text/text_script.h"

namespace tokalux {

// The faces to try for characters of a script, best first: those of Windows 7 to 11, then common
// faces of other systems (a Linux under Wine). For Japanese and Korean, Chinese characters count
// as the language's own (see AssignFonts).
std::span<const std::wstring_view> PreferredFaces(Script script);

// Whether two face names name the same face: GDI compares them without regard to case.
bool SameFace(std::wstring_view a, std::wstring_view b);

// The face to ask for in place of `wanted`: itself when it is installed, otherwise the first
// metric twin or close relative installed ("Arial" -> "Liberation Sans", "MS Sans Serif" ->
// "Microsoft Sans Serif", ...), otherwise itself, left to the system's own mapping.
std::wstring FaceOrTwin(std::wstring_view wanted,
                        const std::function<bool(std::wstring_view face)>& installed);

// The installed faces and what each covers, as the system tells them. Both are slow to ask on a
// machine with many fonts (a font made and its character map read per face).
class FaceSource {
 public:
  virtual ~FaceSource() = default;
  // The faces that can draw text, each once, in the system's order.
  virtual std::vector<std::wstring> InstalledFaces() = 0;
  // What the face has glyphs for.
  virtual CharacterSet ReadCoverage(std::wstring_view face) = 0;
};

// The search for a face with glyphs a label's font lacks, for the whole process: the installed
// faces are asked for once, each face's coverage read at most once, a character no face has is
// remembered as missing, and an answer is remembered for the next layout of the same text. After
// the first time, a search costs lookups in memory, never a font.
class FallbackFaces {
 public:
  explicit FallbackFaces(FaceSource& source) : source_(source) {}

  // What the face has glyphs for (faces compare without regard to case, as GDI compares them).
  const CharacterSet& Coverage(std::wstring_view face);

  // The first face that has glyphs for all of `chars`: of the faces preferred for the script
  // those installed, then any installed face; empty when none has them. Faces in `skip` are passed
  // over (they could not draw these characters).
  std::wstring Find(Script script, std::u32string_view chars,
                    std::span<const std::wstring> skip = {});

  // Whether no installed face has the character (known once a search has looked at all of them).
  bool Missing(char32_t c) const { return missing_.contains(c); }

 private:
  const std::vector<std::wstring>& Installed();
  std::wstring Search(Script script, std::u32string_view chars, std::span<const std::wstring> skip);

  FaceSource& source_;
  std::optional<std::vector<std::wstring>> installed_;
  std::map<std::wstring, CharacterSet> coverage_;  // by face, in upper case
  std::set<char32_t> missing_;
  std::map<std::pair<Script, std::u32string>, std::wstring> found_;  // what Find answered
};

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
// character one of its own (the own font where no font has it). Control characters (a TAB from a
// tag) are no glyphs to draw: they stay in the own font, and no fallback is asked for them. Marks
// go with the character they belong to; spaces and punctuation between two stretches of the same
// fallback take it too, where it has them. Chinese characters count as Japanese in a text with
// kana, and as Korean in one with Hangul.
std::vector<FontRun> AssignFonts(std::u16string_view text, FontSource& fonts);

}  // namespace tokalux
