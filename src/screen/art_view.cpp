#include "screen/art_view.h"

#include "art/dib_section.h"
#include "gui/buffered_paint.h"

namespace tokalux {

bool ArtView::Register(HINSTANCE instance) {
  return RegisterWindowClass(instance, ClassName,
                             static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

ArtView::ArtView(HWND form, int controlId) {
  MakeWindow({.className = ClassName,
              .style = WS_CHILD | WS_CLIPSIBLINGS,
              .parent = form,
              .controlId = controlId});
}

void ArtView::Place(const std::optional<PixelRect>& square) {
  if (!hwnd()) return;
  side_ = square ? square->width : 0;
  if (!square) {
    ::ShowWindow(hwnd(), SW_HIDE);
    return;
  }
  MoveTo(square->left, square->top, square->width, square->height);
  ::ShowWindow(hwnd(), SW_SHOWNA);
}

void ArtView::Show(const std::optional<Pixels>& picture) {
  if (!picture && !bitmap_) return;  // black, and black it stays
  bitmap_ = picture ? MakeDibSection(*picture) : UniqueDib();
  width_ = bitmap_ ? picture->width : 0;
  height_ = bitmap_ ? picture->height : 0;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ArtView::PaintContent(HDC dc, const RECT& client) const {
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (!bitmap_) return;
  UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  ScopedSelect select(memory.get(), bitmap_.get());
  // Premultiplied pixels copied over black are the picture over black.
  ::BitBlt(dc, client.left, client.top, width_, height_, memory.get(), 0, 0, SRCCOPY);
}

LRESULT ArtView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd();
  const auto paint = [this](HDC dc, const RECT& client) { PaintContent(dc, client); };
  if (const auto answer = AnswerPaintMessage(window, message, wparam, paint)) return *answer;
  if (message == WM_NCHITTEST) return HTTRANSPARENT;  // clicks go to the form, as on black
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace tokalux
