#include "screen/fonts.h"

namespace tokalux {

HFONT ControlFont(TextFonts& fonts, const FontSpec& spec, int dpi) {
  return fonts.Font({.face = spec.face,
                     .height = FontPixelHeight(spec.points, dpi),
                     .bold = spec.bold,
                     .italic = spec.italic});
}

COLORREF ResolveColour(uint32_t colour) {
  if (IsSystemColour(colour)) return ::GetSysColor(SystemColourIndex(colour));
  return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

}  // namespace tokalux
