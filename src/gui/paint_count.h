// Every window of ours counts its paints in a window property, so a test (or a curious user with a
// window spy) can check from outside that nothing repaints while nothing changes on screen. The
// window thunk (base_window.h) counts them, as it answers each paint, and drops the count when the
// window goes.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tokalux {

inline constexpr const wchar_t* PaintCountProperty = L"tokalux.paints";

inline void CountPaint(HWND window) {
  const auto count = reinterpret_cast<uintptr_t>(::GetPropW(window, PaintCountProperty));
  ::SetPropW(window, PaintCountProperty, reinterpret_cast<HANDLE>(count + 1));
}

inline uintptr_t PaintCount(HWND window) {
  return reinterpret_cast<uintptr_t>(::GetPropW(window, PaintCountProperty));
}

inline void ForgetPaintCount(HWND window) {
  ::RemovePropW(window, PaintCountProperty);
}

}  // namespace tokalux
