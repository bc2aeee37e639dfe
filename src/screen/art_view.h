// The current track's cover picture: a child window of the form over the square the layout gives
// it (hidden where none fits), black while there is no picture. It draws from a DIB section it
// makes of the pixels the worker scaled to the square's size, and repaints only when they change.
#pragma once

#include <windows.h>

#include <optional>

#include "art/pixels.h"
#include "gui/base_window.h"
#include "gui/gui_handles.h"
#include "screen/layout.h"

namespace tokalux {

class ArtView : public BaseWindow<ArtView> {
 public:
  static constexpr const wchar_t* ClassName = L"tokaluxArt";
  static bool Register(HINSTANCE instance);

  // Made hidden, with no picture and no place yet.
  ArtView(HWND form, int controlId);

  // The square in the form's pixels; nullopt hides the view.
  void Place(const std::optional<PixelRect>& square);
  // The side of the square, 0 while there is none.
  int side() const { return side_; }

  // The picture to show, scaled to the side it was asked for; nullopt shows black. A picture of
  // another size than the square (the square changed meanwhile) is drawn from the top left.
  void Show(const std::optional<Pixels>& picture);

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void PaintContent(HDC dc, const RECT& client) const;

  int side_ = 0;
  UniqueBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
};

// The pixels as a bitmap GDI draws: a top-down 32-bit DIB section holding a copy of them.
// Premultiplied, so AlphaBlend with AC_SRC_ALPHA draws them over anything, and a plain BitBlt over
// black. Empty when the pixels are empty or GDI refuses.
UniqueBitmap MakeDibSection(const Pixels& pixels);

}  // namespace tokalux
