#include "screen/button.h"

#include "gui/buffered_paint.h"

namespace tokalux {

Button::Button(HWND parent, int controlId, std::wstring_view caption, const ButtonStyle& style)
    : id_(controlId), caption_(caption), style_(style) {
  MakeWindow({.className = L"Button",
              .text = caption_.c_str(),
              .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_OWNERDRAW,
              .parent = parent,
              .controlId = controlId,
              .font = style.font});
}

void Button::SetFont(HFONT font) {
  if (!hwnd() || font == style_.font) return;
  style_.font = font;
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT Button::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case ReflectedMessage(WM_COMMAND):
      if ((HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == BN_DOUBLECLICKED) && onClick) {
        onClick();
      }
      return 0;
    case ReflectedMessage(WM_DRAWITEM): {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (!item || item->CtlType != ODT_BUTTON) return FALSE;
      Draw(*item);
      return TRUE;
    }
    default:
      return ::DefSubclassProc(hwnd(), message, wparam, lparam);
  }
}

void Button::PaintContent(HDC dc, const RECT& area, UINT state) const {
  UniqueBrush face(::CreateSolidBrush(style_.face));
  ::FillRect(dc, &area, face.get());
  const bool pressed = (state & ODS_SELECTED) != 0;
  RECT edge = area;
  ::DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

  RECT text = area;
  if (pressed) ::OffsetRect(&text, 1, 1);
  ScopedSelect font(dc, style_.font);
  // A disabled button's caption is grey: the shown source does not take its action now.
  ::SetTextColor(dc, (state & ODS_DISABLED) ? ::GetSysColor(COLOR_GRAYTEXT) : style_.text);
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  if (state & ODS_FOCUS) {
    RECT focus = area;
    ::InflateRect(&focus, -3, -3);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &focus);
  }
}

void Button::Draw(const DRAWITEMSTRUCT& item) const {
  PaintBuffered(item.hDC, item.rcItem,
                [&](HDC dc, const RECT& area) { PaintContent(dc, area, item.itemState); });
}

}  // namespace tokalux
