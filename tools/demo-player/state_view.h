// What the demo player's window shows: play state, volume, the current entry and the time, so a
// person watching a demo sees the player react.
#pragma once

#include <windows.h>

#include "demo_state.h"
#include "gui/gui_handles.h"

namespace tokalux::demo {

// BeginPaint / EndPaint for the scope.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { ::BeginPaint(window_, &paint_); }
  ~ScopedPaint() { ::EndPaint(window_, &paint_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC dc() const { return paint_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

class StateView {
 public:
  StateView();

  // Paints the whole area (no background erase needed).
  void PaintContent(HDC dc, const RECT& area, const DemoState& state) const;
  // PaintContent through an off-screen bitmap, so the window does not flicker at each tick.
  void PaintBuffered(HDC dc, const RECT& area, const DemoState& state) const;

 private:
  UniqueFont text_font_;
  UniqueFont bold_font_;
  UniqueBrush background_;
  UniqueBrush track_;
  UniqueBrush progress_;
};

}  // namespace tokalux::demo
