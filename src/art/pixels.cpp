#include "art/pixels.h"

#include <algorithm>

namespace tokalux {

SquareFit FitInSquare(uint32_t width, uint32_t height, int side) {
  if (width == 0 || height == 0 || side <= 0) return {};
  const uint64_t longer = std::max(width, height);
  // The shorter side scaled, rounded to the nearest pixel.
  const auto shorter = static_cast<int>(std::max<uint64_t>(
      1, (uint64_t{std::min(width, height)} * static_cast<uint64_t>(side) + longer / 2) / longer));
  const int w = width >= height ? side : shorter;
  const int h = width >= height ? shorter : side;
  return {(side - w) / 2, (side - h) / 2, w, h};
}

}  // namespace tokalux
