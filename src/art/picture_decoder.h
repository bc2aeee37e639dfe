// Decoding a picture's bytes (JPEG, PNG, BMP, GIF: whatever the Windows Imaging Component reads,
// from Windows 7 on) into the pixels the screen draws.
#pragma once

#include <wincodec.h>

#include <cstdint>
#include <optional>
#include <span>

#include "art/pixels.h"
#include "base/com.h"

namespace tokalux {

// The largest square a picture is scaled to, and the most pixels a picture to decode may have
// (its decode alone holds four bytes per pixel).
inline constexpr int MaxSide = 4096;
inline constexpr uint64_t MaxPicturePixels = 32 * 1024 * 1024;

// IWICBitmapSourceTransform's interface ID (mingw-w64's headers lack it): what a decoder that can
// decode at a fraction of the size offers.
inline constexpr GUID IID_WICBitmapSourceTransform = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

class PictureDecoder {
 public:
  // Needs COM initialised on the calling thread (the worker: multithreaded). Asks for the
  // Windows 7 factory by its own class ID: the plain one may name the newer factory, which
  // Windows 7 without its platform update lacks.
  PictureDecoder();
  explicit operator bool() const { return static_cast<bool>(factory_); }

  // The picture scaled into a square of side by side pixels, aspect ratio kept and centred
  // (FitInSquare), as premultiplied BGRA; nullopt when the bytes are no picture WIC decodes, the
  // picture has more than MaxPicturePixels, or side is not 1..MaxSide. A picture whose header
  // gives no size, or a size whose decode passes DecodeBudgetBytes (picture_size.h), never
  // reaches a decoder. Where the decoder can decode at a fraction of the size, the picture is
  // decoded at the smallest that is not below the scaled size. The scaler is the best the
  // system has: high-quality cubic from Windows 10 on, Fant where that is refused.
  std::optional<Pixels> Decode(std::span<const uint8_t> bytes, int side) const;

 private:
  ComPtr<IWICImagingFactory> factory_;
};

}  // namespace tokalux
