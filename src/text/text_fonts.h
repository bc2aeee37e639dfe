// The one owner of the program's fonts: the fonts the controls ask for, the same at any other size
// a caption is drawn at, and fallback faces for characters a font lacks, each made once and kept
// for the whole run, with what each face covers and Uniscribe's cache for each font. The fallbacks
// are chosen here, by what each font's character map really covers, not left to the system's
// font links, which not every face and not every system has.
#pragma once

#include <windows.h>

#include <usp10.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/gui_handles.h"
#include "text/font_cmap.h"
#include "text/font_fallback.h"
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

// A font as a control asks for it.
struct FontRequest {
  std::wstring_view face;  // the face it was designed with (see FaceOrTwin)
  int height = 0;          // of its characters, in pixels
  bool bold = false;
  bool italic = false;
};

class TextFonts : private FaceSource {
 public:
  TextFonts();
  TextFonts(const TextFonts&) = delete;
  TextFonts& operator=(const TextFonts&) = delete;

  // The font a control asks for: in its face or the installed twin of it, weight 700 or 400,
  // Western character set.
  HFONT Font(const FontRequest& request);
  // A font like `like` (weight, slant, quality) with characters `height` pixels high, in `face`
  // or, when that is empty, in like's own face. Only faces that draw something are made here.
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

  // Every face GDI lists, each once, bitmap, symbol and vertical ones too (listed once, when a
  // fallback first needs it).
  std::span<const std::wstring> AllFaces() { return Installed().all; }

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

  // Installed faces as GDI lists them: all of them, and those that can draw a script's text (no
  // vertical face "@...", bitmap font or symbol font), both in the system's order.
  struct FaceList {
    std::vector<std::wstring> all;
    std::vector<std::wstring> drawing;
  };
  // The faces named `face`, or, for an empty one, every installed face. A font's face is looked
  // up by name: listing them all takes a second under Wine with a thousand faces, so that waits
  // for the first fallback.
  FaceList ListFaces(std::wstring_view face) const;
  // Every installed face, listed once.
  const FaceList& Installed();

  // FaceSource: the installed faces that draw text, a face's coverage through a font made for
  // the reading and deleted after it.
  std::vector<std::wstring> InstalledFaces() override;
  CharacterSet ReadCoverage(std::wstring_view face) override;

  UniqueMemoryDc dc_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::optional<FaceList> installed_;
  std::vector<std::pair<std::wstring, std::wstring>> twins_;  // a face asked for, the one made
  FallbackFaces fallback_{*this};
  int fontsMade_ = 0;
};

}  // namespace tokalux
