// Fitting a caption into the room its label has: where its lines may break and where it may be
// cut, wrapping at a width, and the largest font size at which it fits, down to a floor, with an
// ellipsis for what still does not fit. Text is UTF-16; lengths are whatever unit the measuring
// gives (pixels on screen). The measuring itself is behind an interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tokalux {

// What each UTF-16 unit of a text allows, as bits.
inline constexpr uint8_t BreakBefore = 1;  // a line may start at this unit
inline constexpr uint8_t CutBefore = 2;    // the text may end (before an ellipsis) before this unit
inline constexpr uint8_t Space = 4;        // a space: it hangs at the end of a line, unseen

// Lines break after a run of spaces and between CJK characters (not before closing CJK
// punctuation); a cut falls between characters, never inside a surrogate pair nor before a
// combining mark or a joiner.
std::vector<uint8_t> TextBreaks(std::u16string_view text);

// The units [begin, end) that one line shows; a wrapped line's end leaves out its trailing spaces.
struct TextLine {
  std::size_t begin = 0;
  std::size_t end = 0;
  friend bool operator==(const TextLine&, const TextLine&) = default;
};

// The width of the units [begin, end): the sum of their advances.
int32_t LineWidth(const std::vector<int32_t>& advances, TextLine line);

// Breaks the text into lines no wider than `width`, each as long as it can be: at the last break
// before the line would grow too wide, or, for a word wider than a whole line, at the last cut
// (one character at least per line).
std::vector<TextLine> WrapLines(const std::vector<int32_t>& advances,
                                const std::vector<uint8_t>& breaks, int32_t width);

// The end of the longest part of [begin, end) that ends at a cut and is at most `width` wide,
// without the spaces before that cut; `begin` when not even one character fits.
std::size_t CutToWidth(const std::vector<int32_t>& advances, const std::vector<uint8_t>& breaks,
                       std::size_t begin, std::size_t end, int32_t width);

// A text measured in one font size: each unit's advance (a character drawn with several units, or
// several characters drawn as one glyph, have all their width on one of them), the height of a
// line, and the width of the ellipsis.
struct MeasuredText {
  std::vector<int32_t> advances;
  int32_t lineHeight = 0;
  int32_t ellipsisWidth = 0;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // The text measured at this font height (the height of its characters, as the font is made).
  virtual MeasuredText Measure(int32_t fontHeight) = 0;
};

// The room a caption has and how it may fit into it.
struct FitRoom {
  int32_t width = 0;        // wrapping: the width lines wrap within; one line: the widest it may be
  int32_t height = 0;       // the tallest the lines may stand (one line: see FitLineBox)
  bool wrap = false;        // wraps onto lines (else one line)
  int32_t fontHeight = 0;   // the font's own size
  int32_t floorHeight = 0;  // wrapping: the smallest size it may shrink to (fontHeight: never)
};

struct FittedText {
  int32_t fontHeight = 0;
  int32_t lineHeight = 0;
  std::vector<TextLine> lines;  // none for an empty text
  bool ellipsis = false;        // the last line ends with an ellipsis: the rest is not shown
};

// The part of a line above its baseline and below it.
struct LineBox {
  int32_t ascent = 0;
  int32_t descent = 0;
  friend bool operator==(const LineBox&, const LineBox&) = default;
};

// The box of one line whose fonts together want `wanted` (a fallback face may want far more than
// the label's own font: Noto Sans Arabic nearly twice Arial's height), within `height`, the room
// the line has before whatever stands under it. What the fallback wants beyond `own`, the box of
// the label's own font, is given up from the top first, so the own letters keep their baseline
// as far as they can, then from the bottom; the own box is never given up.
LineBox FitLineBox(LineBox own, LineBox wanted, int32_t height);

// The font sizes a wrapping caption tries, from its own size down to the floor, about one
// sixteenth of the own size apart.
std::vector<int32_t> ShrinkSteps(int32_t fontHeight, int32_t floorHeight);

// Fits the text: one line at its size, cut with an ellipsis when it is wider than the room;
// wrapped at the largest size that keeps its lines within the room's height, or, when even the
// floor does not, as many lines at the floor as the height holds (one at least), the last of them
// cut with an ellipsis.
FittedText FitText(std::u16string_view text, TextMeasure& measure, const FitRoom& room);

}  // namespace tokalux
