// A horizontal common-controls trackbar on a ground of one colour. It reports mouse presses and
// releases (any button; the mouse is captured meanwhile so the release always arrives) and scroll
// notifications.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "gui/base_window.h"
#include "gui/gui_handles.h"
#include "screen/layout.h"

namespace tokalux {

struct SliderStyle {
  HFONT font = nullptr;
  COLORREF back = 0;   // the ground it stands on
  bool ticks = false;  // one per step, below the channel: for a short fixed range only
};

class Slider : public BaseWindow<Slider> {
 public:
  // Made with no place yet: the form places it.
  Slider(HWND parent, int controlId, const SliderRange& range, const SliderStyle& style);

  int id() const { return id_; }

  int32_t Value() const;
  int32_t Minimum() const;
  int32_t Maximum() const;
  // A maximum below the minimum (0) is refused: false, and the slider stays as it was.
  bool SetMaximum(int32_t maximum);
  // A value outside minimum..maximum is refused likewise.
  bool SetValue(int32_t value);

  // A new font (the screen's DPI changed).
  void SetFont(HFONT font);

  // A mouse button went down on the slider; called before the trackbar acts on the press, so
  // Value() is still where the slider stood.
  std::function<void()> onPress;
  std::function<void(int32_t value)> onRelease;  // ...and came up again: the value then
  std::function<void()> onPressCancelled;        // the capture was lost before the release
  std::function<void(int32_t value)> onScroll;   // any scroll notification but TB_ENDTRACK

 private:
  friend class BaseWindow<Slider>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnButtonDown(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnButtonUp(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCaptureChanged();
  void OnScroll(WORD code);

  int id_;
  COLORREF back_;
  UniqueBrush backBrush_;
  bool pressed_ = false;
  bool releasing_ = false;  // inside a button-up: the capture goes away on purpose
};

}  // namespace tokalux
