// A decoded picture as the screen draws it, and where a picture goes in the square it is scaled
// to.
#pragma once

#include <cstdint>
#include <vector>

namespace tokalux {

// 32-bit pixels, premultiplied BGRA (in memory B, G, R, A; as a uint32_t 0xAARRGGBB), rows top
// down: what a top-down 32-bit DIB section holds.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> bgra;  // width * height
};

// A picture's place in a square of side pixels: scaled to fit, aspect ratio kept, centred. The
// scaled size is at least 1 by 1. A cover is usually square and fills the square; a wide or tall
// one leaves transparent (all zero) bars, which show the screen's black behind them.
struct SquareFit {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
SquareFit FitInSquare(uint32_t width, uint32_t height, int side);

}  // namespace tokalux
