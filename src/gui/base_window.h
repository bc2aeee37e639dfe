// The one way from a window procedure to a C++ object, after the classic BaseWindow pattern: the
// object is found from its window, and every message goes to the object's HandleMessage, which
// only dispatches to small OnXxx methods.
//
// The one way to make a window: MakeWindow with its WindowArgs. A class of ours (registered with
// RegisterWindowClass) hands its window to the object as it is made; a system control is
// subclassed once made.
//
// The one way to own a window: the object holds it in a UniqueWindow. An object that goes first
// takes its window with it; a window the system destroys first (with its parent or owner) is let go
// by the thunk at WM_NCDESTROY.
//
// Notifications are reflected, so each control handles its own: WM_COMMAND, WM_DRAWITEM,
// WM_HSCROLL and WM_CTLCOLORSTATIC that a child control sends its parent go on to the control
// itself as ReflectedMessage(message), with the same parameters, and its answer is the parent's.
// A parent keeps no table of its controls to route them.
//
// The thunk also counts each window's paints (paint_count.h).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "gui/gui_handles.h"
#include "gui/paint_count.h"

namespace tokalux {

// A notification from a child control, as the control itself receives it from its parent.
constexpr UINT ReflectedMessage(UINT notification) {
  return WM_APP + 0x3C00 + notification;
}

// What a window is made with: the arguments of CreateWindowExW, by name.
struct WindowArgs {
  const wchar_t* className = nullptr;
  const wchar_t* text = L"";
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};                   // a child's in its parent's client area, a popup's on the desktop
  HWND parent = nullptr;         // a child's parent, a popup's owner
  int controlId = 0;             // a child's
  HINSTANCE instance = nullptr;  // nullptr: the parent's
  HFONT font = nullptr;          // given to the window with WM_SETFONT once it is made
};

template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return window_.get(); }

  // Enables or disables the window for the mouse and the keyboard; as it is, nothing happens, so
  // nothing repaints.
  void Enable(bool enabled) const {
    if (hwnd() && (::IsWindowEnabled(hwnd()) != FALSE) != enabled) ::EnableWindow(hwnd(), enabled);
  }

  // Moves a child window within its parent's client area and gives it this size; where it stands
  // so already nothing happens, so nothing repaints.
  void MoveTo(int left, int top, int width, int height) const {
    RECT now{};
    if (!::GetWindowRect(hwnd(), &now)) return;
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd()), reinterpret_cast<POINT*>(&now), 2);
    if (now.left == left && now.top == top && now.right - now.left == width &&
        now.bottom - now.top == height) {
      return;
    }
    ::SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

 protected:
  BaseWindow() = default;
  ~BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Registers a window class of ours with WindowProc; a class registered already counts as done.
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className,
                                  HBRUSH background = nullptr, HICON icon = nullptr,
                                  HICON smallIcon = nullptr) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }

  // Makes this object's window, once. False when there is none.
  bool MakeWindow(const WindowArgs& args) {
    HINSTANCE instance = args.instance;
    if (!instance && args.parent) {
      instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(args.parent, GWLP_HINSTANCE));
    }
    // A child's menu argument is its control ID.
    const auto menu = (args.style & WS_CHILD) != 0
                          ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.controlId))
                          : nullptr;
    const RECT& r = args.rect;
    // A class of ours takes the object from the creation parameter at WM_NCCREATE; a system
    // control ignores it, and is subclassed.
    const HWND window = ::CreateWindowExW(args.exStyle, args.className, args.text, args.style,
                                          r.left, r.top, r.right - r.left, r.bottom - r.top,
                                          args.parent, menu, instance, static_cast<Derived*>(this));
    if (window && !hwnd()) Subclass(window);
    if (hwnd() && args.font) {
      ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
    }
    return hwnd() != nullptr;
  }

  // The window procedure of a class of ours.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      auto* self = static_cast<Derived*>(create->lpCreateParams);
      self->window_.reset(window);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // While the object goes, its holder is empty already: the window's last messages go to the
    // default procedure, not to a half-destroyed object.
    if (!self || self->hwnd() != window) return ::DefWindowProcW(window, message, wparam, lparam);
    const LRESULT result = Dispatch(self, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_.release();
    }
    return result;
  }

 private:
  // Takes a system control just made as this object's window, and its messages to HandleMessage,
  // which passes what it does not handle on to DefSubclassProc.
  void Subclass(HWND control) {
    window_.reset(control);
    ::SetWindowSubclass(control, SubclassProc, 0,
                        reinterpret_cast<DWORD_PTR>(static_cast<Derived*>(this)));
  }

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) {
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, SubclassProc, 0);
    auto* self = reinterpret_cast<Derived*>(data);
    if (!self || self->hwnd() != window) return ::DefSubclassProc(window, message, wparam, lparam);
    const LRESULT result = Dispatch(self, message, wparam, lparam);
    if (message == WM_NCDESTROY) self->window_.release();
    return result;
  }

  static LRESULT Dispatch(Derived* self, UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = self->hwnd();
    if (IsPaint(message, lparam)) CountPaint(window);
    LRESULT result = 0;
    try {
      const HWND control = NotifyingChild(window, message, lparam);
      result = control ? ::SendMessageW(control, ReflectedMessage(message), wparam, lparam)
                       : self->HandleMessage(message, wparam, lparam);
    } catch (...) {
      result = 0;  // nothing may unwind through the system's code; the message counts as handled
    }
    if (message == WM_NCDESTROY) ForgetPaintCount(window);
    return result;
  }

  // A paint is a WM_PAINT, or a redraw of an owner-drawn control's pressed or focus state, which
  // the system asks for without one.
  static bool IsPaint(UINT message, LPARAM lparam) {
    if (message == WM_PAINT) return true;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    return message == ReflectedMessage(WM_DRAWITEM) && item && item->itemAction != ODA_DRAWENTIRE;
  }

  // The child control a notification to this window comes from; nullptr for any other message,
  // and for a handle in it that names no child of this window.
  static HWND NotifyingChild(HWND window, UINT message, LPARAM lparam) {
    HWND control = nullptr;
    if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_CTLCOLORSTATIC) {
      control = reinterpret_cast<HWND>(lparam);
    } else if (message == WM_DRAWITEM) {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item && item->CtlType != ODT_MENU) control = item->hwndItem;
    }
    return control && ::GetAncestor(control, GA_PARENT) == window ? control : nullptr;
  }

  UniqueWindow window_;
};

}  // namespace tokalux
