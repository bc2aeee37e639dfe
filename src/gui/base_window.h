// The classic BaseWindow pattern: the window object is stored with its window at WM_NCCREATE and
// every message goes to the object's HandleMessage, which only dispatches to small OnXxx methods.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace tokalux {

template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  BaseWindow() = default;
  ~BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Pass `this` as the creation parameter of CreateWindowExW.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      self = static_cast<Derived*>(create->lpCreateParams);
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(window, message, wparam, lparam);

    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wparam, lparam);
    } catch (...) {
      // Nothing may unwind through the system's code; the message counts as handled.
    }
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  }

  HWND hwnd_ = nullptr;
};

// The same for a system control subclassed with SetWindowSubclass(window, SubclassProc<T>, 0,
// object): the object travels as the subclass's reference data and gets every message in its
// HandleMessage (a class keeps that private by befriending this function).
template <typename T>
LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR data) {
  auto* self = reinterpret_cast<T*>(data);
  if (!self || self->hwnd() != window) return ::DefSubclassProc(window, message, wparam, lparam);
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return 0;  // nothing may unwind through the system's code
  }
}

}  // namespace tokalux
