#include "screen/slider.h"

#include <commctrl.h>

namespace tokalux {

Slider::Slider(HWND parent, int controlId, const SliderRange& range, const SliderStyle& style)
    : id_(controlId), back_(style.back), backBrush_(::CreateSolidBrush(style.back)) {
  DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TBS_HORZ;
  windowStyle |= style.ticks ? TBS_BOTTOM | TBS_AUTOTICKS : TBS_NOTICKS;
  if (!MakeWindow({.className = TRACKBAR_CLASSW,
                   .style = windowStyle,
                   .parent = parent,
                   .controlId = controlId,
                   .font = style.font})) {
    return;
  }
  ::SendMessageW(hwnd(), TBM_SETRANGEMIN, FALSE, range.minimum);
  ::SendMessageW(hwnd(), TBM_SETRANGEMAX, FALSE, range.maximum);
  ::SendMessageW(hwnd(), TBM_SETPAGESIZE, 0, range.largeStep);
  ::SendMessageW(hwnd(), TBM_SETLINESIZE, 0, range.smallStep);
  if (style.ticks) ::SendMessageW(hwnd(), TBM_SETTICFREQ, 1, 0);
  ::SendMessageW(hwnd(), TBM_SETPOS, TRUE, range.value);
}

int32_t Slider::Value() const {
  return static_cast<int32_t>(::SendMessageW(hwnd(), TBM_GETPOS, 0, 0));
}

int32_t Slider::Minimum() const {
  return static_cast<int32_t>(::SendMessageW(hwnd(), TBM_GETRANGEMIN, 0, 0));
}

int32_t Slider::Maximum() const {
  return static_cast<int32_t>(::SendMessageW(hwnd(), TBM_GETRANGEMAX, 0, 0));
}

bool Slider::SetMaximum(int32_t maximum) {
  if (!hwnd() || maximum < Minimum()) return false;
  if (maximum == Maximum()) return true;  // unchanged: nothing to repaint
  ::SendMessageW(hwnd(), TBM_SETRANGEMAX, TRUE, maximum);
  return true;
}

bool Slider::SetValue(int32_t value) {
  if (!hwnd() || value < Minimum() || value > Maximum()) return false;
  if (value == Value()) return true;
  ::SendMessageW(hwnd(), TBM_SETPOS, TRUE, value);
  return true;
}

void Slider::SetFont(HFONT font) {
  if (hwnd()) ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Slider::OnScroll(WORD code) {
  if (code == TB_ENDTRACK) return;
  if (onScroll) onScroll(Value());
}

LRESULT Slider::OnButtonDown(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!pressed_) {
    pressed_ = true;
    if (onPress) onPress();
  }
  const LRESULT result = ::DefSubclassProc(hwnd(), message, wparam, lparam);
  // The trackbar captures the left button itself; any other button is captured here, so the
  // release reaches the slider wherever the mouse is by then.
  if (pressed_ && ::GetCapture() != hwnd()) ::SetCapture(hwnd());
  return result;
}

LRESULT Slider::OnButtonUp(UINT message, WPARAM wparam, LPARAM lparam) {
  releasing_ = true;
  const LRESULT result = ::DefSubclassProc(hwnd(), message, wparam, lparam);
  if (::GetCapture() == hwnd()) ::ReleaseCapture();
  releasing_ = false;
  if (pressed_) {
    pressed_ = false;
    if (onRelease) onRelease(Value());
  }
  return result;
}

void Slider::OnCaptureChanged() {
  if (!pressed_ || releasing_) return;
  pressed_ = false;
  if (onPressCancelled) onPressCancelled();
}

LRESULT Slider::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd();
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
      return OnButtonDown(message, wparam, lparam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      return OnButtonUp(message, wparam, lparam);
    case WM_CAPTURECHANGED: {
      const LRESULT result = ::DefSubclassProc(window, message, wparam, lparam);
      OnCaptureChanged();
      return result;
    }
    case ReflectedMessage(WM_HSCROLL):
      OnScroll(LOWORD(wparam));
      return 0;
    case ReflectedMessage(WM_CTLCOLORSTATIC):
      ::SetBkColor(reinterpret_cast<HDC>(wparam), back_);
      return reinterpret_cast<LRESULT>(backBrush_.get());
    default:
      return ::DefSubclassProc(window, message, wparam, lparam);
  }
}

}  // namespace tokalux
