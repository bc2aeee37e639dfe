// The framed box: an etched border with its caption set into the top edge at the left end. It is
// the container of the labels placed inside it, which move with it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "gui/base_window.h"

namespace tokalux {

struct FrameStyle {
  HFONT font = nullptr;
  COLORREF text = 0;
  COLORREF back = 0;
};

class Frame : public BaseWindow<Frame> {
 public:
  static constexpr const wchar_t* ClassName = L"tokaluxFrame";
  static bool Register(HINSTANCE instance);

  // Made with no place yet: the form places it.
  Frame(HWND parent, int controlId, std::wstring_view caption, const FrameStyle& style);

  int id() const { return id_; }

  // A new font (the screen's DPI changed).
  void SetFont(HFONT font);

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void PaintContent(HDC dc, const RECT& client) const;

  int id_;
  std::wstring caption_;
  FrameStyle style_;
};

}  // namespace tokalux
