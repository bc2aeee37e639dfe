// Captions drawn with glyphs for every script: a label's font at any size and fallback faces for
// what it lacks (TextFonts, one for the whole form), and a caption shaped with Uniscribe, fitted
// into the label's room and drawn run by run in visual order (TextLayout). Uniscribe (usp10.dll)
// is on every Windows from 7 on and in Wine; the fallbacks are chosen here, by what each font's
// character map really covers, not left to the system's font links, which not every face and
// not every system has.
#pragma once

#include <windows.h>

#include <usp10.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gui/gui_handles.h"
#include "text/font_cmap.h"
#include "text/font_fallback.h"
#include "text/text_fit.h"
#include "text/text_script.h"

namespace tokalux {

// Uniscribe's cache for one font: Uniscribe fills it in, its owner frees it.
class UniqueScriptCache {
 public:
  UniqueScriptCache() = default;
  ~UniqueScriptCache() { ::ScriptFreeCache(&cache_); }
  UniqueScriptCache(const UniqueScriptCache&) = delete;
  UniqueScriptCache& operator=(const UniqueScriptCache&) = delete;
  SCRIPT_CACHE* get() { return &cache_; }

 private:
  SCRIPT_CACHE cache_ = nullptr;
};

class TextFonts : private FaceSource {
 public:
  TextFonts();
  TextFonts(const TextFonts&) = delete;
  TextFonts& operator=(const TextFonts&) = delete;

  // A font like `like` (weight, slant, quality) with characters `height` pixels high, in `face`
  // or, when that is empty, in like's own face. Made once, kept for the whole run: only faces
  // that draw something are made here.
  HFONT Font(const LOGFONTW& like, int height, std::wstring_view face = {});
  // Uniscribe's cache and the metrics for a font made here (nullptr and zeros for another).
  SCRIPT_CACHE* ScriptCache(HFONT font);
  const TEXTMETRICW& Metrics(HFONT font);

  // What the font's face has glyphs for (read once per face).
  const CharacterSet& Coverage(HFONT font);

  // The first face that has glyphs for all of `chars`, passing over those in `skip` (see
  // FallbackFaces::Find); empty when none has them.
  std::wstring FallbackFace(Script script, std::u32string_view chars,
                            std::span<const std::wstring> skip = {});

  // A DC to measure on, with nothing of ours selected.
  HDC dc() const { return dc_.get(); }

  // Fonts made so far (those only read for their coverage too), and fonts held now.
  int fontsMade() const { return fontsMade_; }
  int fontsHeld() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    LOGFONTW logFont{};
    UniqueFont font;
    UniqueScriptCache cache;  // goes before its font
    TEXTMETRICW metrics{};
  };
  Entry* Find(HFONT font);

  // FaceSource: the installed faces through GDI's enumeration, a face's coverage through a font
  // made for the reading and deleted after it.
  std::vector<std::wstring> InstalledFaces() override;
  CharacterSet ReadCoverage(std::wstring_view face) override;

  UniqueMemoryDc dc_;
  std::vector<std::unique_ptr<Entry>> entries_;
  FallbackFaces fallback_{*this};
  int fontsMade_ = 0;
};

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
