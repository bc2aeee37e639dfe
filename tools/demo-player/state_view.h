// What the demo player's window shows: play state, volume, the current entry and the time, so a
// person watching a demo sees the player react.
#pragma once

#include <windows.h>

#include "demo_state.h"
#include "gui/gui_handles.h"

namespace tokalux::demo {

class StateView {
 public:
  StateView();

  // Paints the whole area (no background erase needed).
  void PaintContent(HDC dc, const RECT& area, const DemoState& state) const;

 private:
  UniqueFont textFont_;
  UniqueFont boldFont_;
  UniqueBrush background_;
  UniqueBrush track_;
  UniqueBrush progress_;
};

}  // namespace tokalux::demo
