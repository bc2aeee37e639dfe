#include "screen/blackout_windows.h"

namespace tokalux {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<ScreenArea>*>(data)->push_back({r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

}  // namespace

bool BlackoutWindow::Register(HINSTANCE instance) {
  return RegisterWindowClass(instance, ClassName,
                             static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

BlackoutWindow::BlackoutWindow(HINSTANCE instance, HWND form, const ScreenArea& area) {
  // Owned by the form: above it, gone with it, and (a tool window) out of the task bar and
  // Alt+Tab.
  MakeWindow({.className = ClassName,
              .style = WS_POPUP,
              .exStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
              .rect = {area.left, area.top, area.right, area.bottom},
              .parent = form,
              .instance = instance});
}

LRESULT BlackoutWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click leaves the form active, with its focus
    case WM_CLOSE:
      return 0;  // the blackouts go with the form, not on their own
    default:
      return ::DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

void BlackoutWindows::Update(HINSTANCE instance, HWND form) {
  RECT formRect{};
  if (!form || !::GetWindowRect(form, &formRect)) return;
  std::vector<ScreenArea> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  std::vector<ScreenArea> areas =
      ChooseBlackouts({formRect.left, formRect.top, formRect.right, formRect.bottom}, monitors);
  if (areas == areas_) return;

  blackouts_.clear();
  areas_ = std::move(areas);
  if (areas_.empty() || !BlackoutWindow::Register(instance)) return;
  for (const ScreenArea& area : areas_) {
    auto blackout = std::make_unique<BlackoutWindow>(instance, form, area);
    if (blackout->hwnd()) blackouts_.push_back(std::move(blackout));
  }
  if (::IsWindowVisible(form)) Show();
}

void BlackoutWindows::Show() {
  for (const auto& blackout : blackouts_) {
    ::SetWindowPos(blackout->hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

}  // namespace tokalux
