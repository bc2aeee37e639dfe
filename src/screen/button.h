// A command button: an owner-drawn "Button" with a medium-green face, a raised border (sunken
// while pressed), a centred bold caption in the system's button-text colour and a focus cue.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "gui/base_window.h"

namespace tokalux {

struct ButtonStyle {
  HFONT font = nullptr;
  COLORREF face = 0;
  COLORREF text = 0;
};

class Button : public BaseWindow<Button> {
 public:
  // Made with no place yet: the form places it.
  Button(HWND parent, int controlId, std::wstring_view caption, const ButtonStyle& style);

  int id() const { return id_; }

  // A new font (the screen's DPI changed).
  void SetFont(HFONT font);

  // A click (and the second click of a quick pair).
  std::function<void()> onClick;

 private:
  friend class BaseWindow<Button>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Draw(const DRAWITEMSTRUCT& item) const;
  void PaintContent(HDC dc, const RECT& area, UINT state) const;

  int id_;
  std::wstring caption_;
  ButtonStyle style_;
};

}  // namespace tokalux
