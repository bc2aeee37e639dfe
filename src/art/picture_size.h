// The size a picture declares in its own header, read before any decoder sees its bytes, and the
// memory budget a picture's decode is held to. Some decoders (Wine's PNG, JPEG and GIF decoders
// among them) decode the whole picture as soon as they are made, before their size can be asked,
// so a picture of a few hundred bytes that claims 20000 x 20000 pixels would cost gigabytes.
// Pure work over untrusted bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tokalux {

// The most memory a picture's decode may take, in bytes.
inline constexpr uint64_t DecodeBudgetBytes = 64 * 1024 * 1024;

struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
  // What a decoder holds for the picture in its own pixel format, in bytes:
  //   PNG   width x height x (channels of its colour type x bit depth / 8), a depth below 8 bits
  //         counted as a whole byte (16-bit RGBA: 8 bytes a pixel)
  //   JPEG  width x height x components (x 2 at 12-bit precision); a progressive JPEG x 3, as
  //         its decoder keeps 2-byte coefficients of the whole picture besides the pixels
  //   GIF   the logical screen and every image in the file at a byte a pixel each, as a
  //         decoder may read all the frames at once
  //   BMP   width x height x its bytes a pixel (a depth below 8 bits counted as a whole byte),
  //         4 for run-length-encoded ones, which decoders unpack to 32-bit pixels
  uint64_t decodedBytes = 0;
};

// The size the picture's header declares, for PNG, JPEG, GIF and BMP; nullopt for any other
// format, a header cut short or malformed, or a width or height of 0.
std::optional<PictureSize> ReadPictureSize(std::span<const uint8_t> bytes);

// Whether a picture of these bytes may be decoded: its size is readable from its header and its
// decode stays within DecodeBudgetBytes.
bool FitsDecodeBudget(std::span<const uint8_t> bytes);

}  // namespace tokalux
