// Which blackout windows the monitors beside the form need. The form covers the primary
// monitor; everything else the desktop shows gets a plain black window, so no monitor goes on
// showing the desktop while the screen saver runs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tokalux {

// An area of the desktop in pixels, with edges as the system gives them (right and bottom are
// exclusive). Monitors left of or above the primary have negative coordinates.
struct ScreenArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  bool Contains(const ScreenArea& other) const {
    return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
  }
  friend constexpr bool operator==(const ScreenArea&, const ScreenArea&) = default;
};

// The blackouts for the monitors, in their order: each monitor's area less what the form already
// blackouts. A monitor beside the form gets one blackout of its own size; a mirror of the primary
// (same area, or one inside the form's) gets none, so nothing ever lies over the form; a monitor
// that overlaps the form in part gets the bands around the form. A monitor shown twice (a
// mirrored pair) gets one blackout; empty areas get none.
std::vector<ScreenArea> ChooseBlackouts(const ScreenArea& form,
                                        std::span<const ScreenArea> monitors);

}  // namespace tokalux
