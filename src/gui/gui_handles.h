// Owners for the window and GDI objects of a user interface: a window, font, brush, bitmap or
// memory DC goes with its owner; a selected object and a window DC are put back at the end of the
// scope. (The kernel and COM owners, which need no GDI, are base's.)
#pragma once

#include <windows.h>

#include "base/unique_any.h"

namespace tokalux {

namespace detail {
template <typename GdiObject>
void DeleteGdiObject(GdiObject object) {
  ::DeleteObject(object);
}
inline void DeleteMemoryDc(HDC dc) {
  ::DeleteDC(dc);
}
inline void DestroyWindowHandle(HWND window) {
  ::DestroyWindow(window);
}
}  // namespace detail

using UniqueFont = UniqueAny<HFONT, detail::DeleteGdiObject<HFONT>>;
using UniqueBrush = UniqueAny<HBRUSH, detail::DeleteGdiObject<HBRUSH>>;
using UniqueBitmap = UniqueAny<HBITMAP, detail::DeleteGdiObject<HBITMAP>>;
using UniqueMemoryDc = UniqueAny<HDC, detail::DeleteMemoryDc>;
using UniqueWindow = UniqueAny<HWND, detail::DestroyWindowHandle>;

// Selects a GDI object into a DC for the scope and puts the old one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~ScopedSelect() { ::SelectObject(dc_, old_); }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window DC from GetDC, released at the end of the scope.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace tokalux
