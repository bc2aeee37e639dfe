// Pixels as a bitmap GDI draws: a top-down 32-bit DIB section holding a copy of them.
// Premultiplied, so AlphaBlend with AC_SRC_ALPHA draws them over anything, and a plain BitBlt over
// black.
#pragma once

#include <windows.h>

#include "art/art_handles.h"
#include "art/pixels.h"

namespace tokalux {

// nullptr (an empty owner) when the pixels are empty or GDI refuses.
UniqueDib MakeDibSection(const Pixels& pixels);

}  // namespace tokalux
