#include "screen/art_view.h"

#include <cstring>

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
  bitmap_ = picture ? MakeDibSection(*picture) : UniqueBitmap();
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

UniqueBitmap MakeDibSection(const Pixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0 ||
      pixels.bgra.size() != static_cast<std::size_t>(pixels.width) * pixels.height) {
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  std::memcpy(bits, pixels.bgra.data(), pixels.bgra.size() * sizeof(uint32_t));
  return bitmap;
}

}  // namespace tokalux
