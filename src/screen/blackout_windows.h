// The plain black windows over every monitor beside the form's. They belong to the form (owned
// by it, so they go with it), stay on top, take no focus and no activation, have no task-bar
// button and do nothing on clicks: the keyboard stays with the form, so Esc keeps working.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/base_window.h"
#include "screen/monitor_blackouts.h"

namespace tokalux {

// One blackout, created hidden over the area.
class BlackoutWindow : public BaseWindow<BlackoutWindow> {
 public:
  static constexpr const wchar_t* ClassName = L"tokalux blackout";
  static bool Register(HINSTANCE instance);

  BlackoutWindow(HINSTANCE instance, HWND form, const ScreenArea& area);

 private:
  friend class BaseWindow<BlackoutWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
};

class BlackoutWindows {
 public:
  // Makes the blackouts for what the monitors there are now show beside the form (none with one
  // monitor), hidden while the form is. Blackouts that already stand where they should stay as they
  // are; otherwise the old ones go and new ones come.
  void Update(HINSTANCE instance, HWND form);
  // Shows them on top of everything without activating any of them.
  void Show();

 private:
  std::vector<ScreenArea> areas_;
  std::vector<std::unique_ptr<BlackoutWindow>> blackouts_;
};

}  // namespace tokalux
