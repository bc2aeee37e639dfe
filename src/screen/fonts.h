// The fonts and colours of the form's controls, resolved on the running system.
#pragma once

#include <windows.h>

#include <cstdint>

#include "screen/layout.h"
#include "text/text_fonts.h"

namespace tokalux {

// The font of the control table's spec at the DPI (characters round(points x dpi / 72) pixels
// high), from the one owner of the fonts.
HFONT ControlFont(TextFonts& fonts, const FontSpec& spec, int dpi);

// A colour as 0x00BBGGRR, with system colours (top bit set) looked up in the current scheme.
COLORREF ResolveColour(uint32_t colour);

}  // namespace tokalux
