#include "screen/tooltip.h"

#include <commctrl.h>

#include <string>

namespace tokalux {

Tooltip::Tooltip(HWND owner) : owner_(owner) {
  // Made with no place and no size: it places and sizes itself at each control it shows over.
  MakeWindow({.className = TOOLTIPS_CLASSW,
              .style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
              .exStyle = WS_EX_TOPMOST,
              .parent = owner});
}

void Tooltip::Add(HWND control, std::wstring_view text) {
  if (!hwnd() || !control || text.empty()) return;
  std::wstring copy(text);  // the tooltip keeps its own copy
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = copy.data();
  ::SendMessageW(hwnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT Tooltip::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefSubclassProc(hwnd(), message, wparam, lparam);
}

}  // namespace tokalux
