// A command button: an owner-drawn "Button" with a medium-green face, a raised border (sunken
// while pressed), a centred bold caption in the system's button-text colour and a focus cue.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "gui/gui_handles.h"
#include "screen/layout.h"

namespace tokalux {

struct ButtonStyle {
  HFONT font = nullptr;
  COLORREF face = 0;
  COLORREF text = 0;
};

class Button {
 public:
  Button(HWND parent, int control_id, std::wstring_view caption, const PixelRect& rect,
         const ButtonStyle& style);
  ~Button() = default;
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  HWND hwnd() const { return window_.get(); }
  int id() const { return id_; }
  // Forgets the window once the parent has destroyed it.
  void Detach() { window_.release(); }

  // The parent forwards WM_DRAWITEM here.
  void Draw(const DRAWITEMSTRUCT& item) const;

  // The parent forwards BN_CLICKED (and BN_DOUBLECLICKED, the second click of a quick pair).
  std::function<void()> onClick;

 private:
  void PaintContent(HDC dc, const RECT& area, UINT state) const;

  UniqueWindow window_;
  int id_;
  std::wstring caption_;
  ButtonStyle style_;
};

}  // namespace tokalux
