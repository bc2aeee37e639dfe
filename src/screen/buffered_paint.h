// WM_PAINT for the controls that draw themselves: the client area is drawn off screen and copied
// in one go, so a control never shows a half-drawn state (no flicker when a caption changes).
#pragma once

#include <windows.h>

#include <optional>

#include "gui/gui_handles.h"
#include "screen/paint_count.h"

namespace tokalux {

// Calls paint_content(dc, client_rect) on a memory DC (or straight on the window's DC when no
// memory DC can be had) and counts the paint.
template <typename PaintContent>
void PaintBuffered(HWND window, PaintContent&& paint_content) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client{};
  ::GetClientRect(window, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (dc && width > 0 && height > 0) {
    UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc, width, height));
    if (memory && bitmap) {
      ScopedSelect select(memory.get(), bitmap.get());
      paint_content(memory.get(), client);
      ::BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    } else {
      paint_content(dc, client);
    }
  }
  ::EndPaint(window, &paint);
  CountPaint(window);
}

// The paint messages of a control that draws itself with paint_content: WM_PAINT double-buffered,
// WM_PRINTCLIENT straight on the given DC, WM_ERASEBKGND swallowed (the paint fills the whole
// client area). Their answer, or nothing for every other message.
template <typename PaintContent>
std::optional<LRESULT> AnswerPaintMessage(HWND window, UINT message, WPARAM wparam,
                                          PaintContent&& paint_content) {
  switch (message) {
    case WM_PAINT:
      PaintBuffered(window, paint_content);
      return 0;
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(window, &client);
      paint_content(reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return std::nullopt;
  }
}

}  // namespace tokalux
