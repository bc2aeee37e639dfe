// The form's one tooltip window: a common-controls tooltip owned by the form that shows a text
// over each control given to it.
#pragma once

#include <windows.h>

#include <string_view>

#include "gui/base_window.h"

namespace tokalux {

class Tooltip : public BaseWindow<Tooltip> {
 public:
  explicit Tooltip(HWND owner);

  // Shows text over the owner's child control; an empty text adds nothing.
  void Add(HWND control, std::wstring_view text);

 private:
  friend class BaseWindow<Tooltip>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  HWND owner_;
};

}  // namespace tokalux
