// The fonts and colours of the form's controls, resolved on the running system.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "gui/gui_handles.h"
#include "screen/layout.h"

namespace tokalux {

// The face to ask GDI for: the wanted face when the system has it, otherwise the first metric
// twin or close relative it has ("Arial" -> "Liberation Sans", "MS Sans Serif" -> "Microsoft
// Sans Serif", ...), otherwise the wanted face, left to the system's own mapping.
std::wstring MatchFontFace(std::wstring_view wanted);

// A colour as 0x00BBGGRR, with system colours (top bit set) looked up in the current scheme.
COLORREF ResolveColour(uint32_t colour);

// Creates each distinct font once, at the screen's DPI, and owns it for the whole run.
class FontCache {
 public:
  explicit FontCache(int dpi) : dpi_(dpi) {}

  // Exact point size (height -round(points x dpi / 72)), weight 700 or 400, Western character set.
  HFONT Get(const FontSpec& spec);

 private:
  struct Entry {
    FontSpec spec;
    UniqueFont font;
  };
  int dpi_;
  std::vector<Entry> entries_;
};

}  // namespace tokalux
