// The plain black windows over every monitor beside the form's. They belong to the form (owned
// by it, so they go with it), stay on top, take no focus and no activation, have no task-bar
// button and do nothing on clicks: the keyboard stays with the form, so Esc keeps working.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/base_window.h"
#include "screen/monitor_covers.h"

namespace tokalux {

// One cover, created hidden over the area.
class CoverWindow : public BaseWindow<CoverWindow> {
 public:
  static constexpr const wchar_t* ClassName = L"tokalux cover";
  static bool Register(HINSTANCE instance);

  CoverWindow(HINSTANCE instance, HWND form, const ScreenArea& area);

 private:
  friend class BaseWindow<CoverWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
};

class CoverWindows {
 public:
  // Creates the covers (hidden) for the monitors the form does not cover; none with one monitor.
  void Create(HINSTANCE instance, HWND form);
  // Shows them on top of everything without activating any of them.
  void Show();

 private:
  std::vector<std::unique_ptr<CoverWindow>> covers_;
};

}  // namespace tokalux
