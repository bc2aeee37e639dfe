#include "art/dib_section.h"

#include <cstring>

namespace tokalux {

UniqueDib MakeDibSection(const Pixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0 ||
      pixels.bgra.size() != static_cast<std::size_t>(pixels.width) * pixels.height) {
    return {};
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueDib bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  std::memcpy(bits, pixels.bgra.data(), pixels.bgra.size() * sizeof(uint32_t));
  return bitmap;
}

}  // namespace tokalux
