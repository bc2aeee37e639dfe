// A caption drawn with glyphs for every script: shaped with Uniscribe in a label's font and the
// fallback faces for what it lacks (both from TextFonts), fitted into the label's room and drawn
// run by run in visual order. Uniscribe (usp10.dll) is on every Windows from 7 on and in Wine.
#pragma once

#include <windows.h>

#include <usp10.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_fit.h"
#include "text/text_fonts.h"

namespace tokalux {

class TextLayout {
 public:
  // Lays `text` out in `font` (made by `fonts`, or any other) with fallbacks where it lacks
  // glyphs, fitted into the room (see FitText).
  void Fit(TextFonts& fonts, HFONT font, std::wstring_view text, const FitRoom& room);

  // The widest line, and the height of the lines (of one line for an empty text).
  int width() const { return width_; }
  int height() const { return lineHeight_ * std::max<int>(1, static_cast<int>(lines_.size())); }
  // The size the text is drawn at (see FitRoom).
  int fontHeight() const { return fontHeight_; }

  // Draws the lines with their top left corner at (left, top), transparently, in the colour.
  void Draw(HDC dc, int left, int top, COLORREF colour) const;

  // One run of one font, script and direction: plain text that GDI draws as it is, or, where
  // the text needs shaping (cache set), the glyphs Uniscribe made of it.
  struct Run {
    HFONT font = nullptr;
    SCRIPT_ANALYSIS analysis{};
    int width = 0;
    std::wstring text;
    SCRIPT_CACHE* cache = nullptr;
    std::vector<WORD> glyphs;
    std::vector<int> advances;
    std::vector<GOFFSET> offsets;
  };

 private:
  struct Line {
    std::vector<Run> runs;  // in visual order, left to right
    int width = 0;
  };

  std::vector<Line> lines_;
  int lineHeight_ = 0;
  int ascent_ = 0;
  int width_ = 0;
  int fontHeight_ = 0;
};

}  // namespace tokalux
