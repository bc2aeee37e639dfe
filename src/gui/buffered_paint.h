// Painting without flicker: a window that draws itself has one PaintContent(dc, area) and paints
// it through an off-screen bitmap copied in one go, so it never shows a half-drawn state. The same
// PaintContent serves WM_PRINTCLIENT, straight on the DC it gets.
#pragma once

#include <windows.h>

#include <optional>

#include "gui/gui_handles.h"

namespace tokalux {

// Calls paintContent(dc, rect) for the area of the target DC: on a memory DC, with the area moved
// to its top left corner, then copied into place; straight on the target when no memory DC can be
// had.
template <typename PaintContent>
void PaintBuffered(HDC target, const RECT& area, PaintContent&& paintContent) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (!target || width <= 0 || height <= 0) return;
  UniqueMemoryDc memory(::CreateCompatibleDC(target));
  UniqueBitmap bitmap(::CreateCompatibleBitmap(target, width, height));
  if (!memory || !bitmap) {
    paintContent(target, area);
    return;
  }
  ScopedSelect select(memory.get(), bitmap.get());
  paintContent(memory.get(), RECT{0, 0, width, height});
  ::BitBlt(target, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

// The paint messages of a window that draws itself with paintContent(dc, client area): WM_PAINT
// buffered, WM_PRINTCLIENT straight on the given DC, WM_ERASEBKGND swallowed (the paint fills the
// whole client area). Their answer, or nothing for every other message.
template <typename PaintContent>
std::optional<LRESULT> AnswerPaintMessage(HWND window, UINT message, WPARAM wparam,
                                          PaintContent&& paintContent) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      RECT client{};
      ::GetClientRect(window, &client);
      PaintBuffered(dc, client, paintContent);
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(window, &client);
      paintContent(reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return std::nullopt;
  }
}

}  // namespace tokalux
