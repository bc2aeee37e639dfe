#include "remote/volume_scale.h"

#include <cmath>

namespace tokalux {
namespace {

constexpr double VolumePerStep = 25.5;
constexpr int32_t MaxVolume = 255;

}  // namespace

// std::nearbyint rounds in the current rounding mode, which this program never changes from the
// default: to nearest, halves to even.
int32_t VolumeForPosition(int32_t position) {
  return static_cast<int32_t>(std::nearbyint(position * VolumePerStep));
}

std::optional<int32_t> PositionForVolume(int32_t volume) {
  if (volume < 0 || volume > MaxVolume) return std::nullopt;
  return static_cast<int32_t>(std::nearbyint(volume / VolumePerStep));
}

}  // namespace tokalux
