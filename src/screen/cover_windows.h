// The plain black windows over every monitor beside the form's. They belong to the form (owned
// by it, so they go with it), stay on top, take no focus and no activation, have no task-bar
// button and do nothing on clicks: the keyboard stays with the form, so Esc keeps working.
#pragma once

#include <windows.h>

#include <vector>

#include "gui/gui_handles.h"

namespace tokalux {

class CoverWindows {
 public:
  static constexpr const wchar_t* ClassName = L"tokalux cover";

  // Creates the covers (hidden) for the monitors the form does not cover; none with one monitor.
  void Create(HINSTANCE instance, HWND form);
  // Shows them on top of everything without activating any of them.
  void Show();
  // The form is being destroyed and takes its owned windows with it.
  void Release();

 private:
  std::vector<UniqueWindow> windows_;
};

}  // namespace tokalux
