#include "screen/monitor_blackouts.h"

#include <algorithm>

namespace tokalux {
namespace {

// The part of `area` outside `hole`: up to four bands (above, below, then left and right of the
// hole's rows), which between them cover it exactly and do not overlap.
std::vector<ScreenArea> Subtract(const ScreenArea& area, const ScreenArea& hole) {
  const bool overlaps = hole.left < area.right && area.left < hole.right &&
                        hole.top < area.bottom && area.top < hole.bottom && !hole.empty();
  if (!overlaps) return {area};
  const int32_t top = std::max(area.top, hole.top);
  const int32_t bottom = std::min(area.bottom, hole.bottom);
  const ScreenArea bands[] = {
      {area.left, area.top, area.right, hole.top},
      {area.left, hole.bottom, area.right, area.bottom},
      {area.left, top, hole.left, bottom},
      {hole.right, top, area.right, bottom},
  };
  std::vector<ScreenArea> rest;
  for (const ScreenArea& band : bands) {
    if (!band.empty()) rest.push_back(band);
  }
  return rest;
}

}  // namespace

std::vector<ScreenArea> ChooseBlackouts(const ScreenArea& form,
                                        std::span<const ScreenArea> monitors) {
  std::vector<ScreenArea> blackouts;
  for (const ScreenArea& monitor : monitors) {
    if (monitor.empty()) continue;
    for (const ScreenArea& piece : Subtract(monitor, form)) {
      const bool alreadyBlackedOut =
          std::any_of(blackouts.begin(), blackouts.end(),
                      [&](const auto& blackout) { return blackout.Contains(piece); });
      if (!alreadyBlackedOut) blackouts.push_back(piece);
    }
  }
  return blackouts;
}

}  // namespace tokalux
