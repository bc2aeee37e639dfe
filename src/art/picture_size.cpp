#include "art/picture_size.h"

#include <algorithm>
#include <array>
#include <limits>

#include "art/byte_cursor.h"

namespace tokalux {
namespace {

constexpr uint64_t Saturated = std::numeric_limits<uint64_t>::max();

uint64_t Times(uint64_t a, uint64_t b) {
  return b != 0 && a > Saturated / b ? Saturated : a * b;
}

uint64_t Plus(uint64_t a, uint64_t b) {
  return a > Saturated - b ? Saturated : a + b;
}

bool StartsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> magic) {
  return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

uint32_t BigEndian16(ByteCursor& cursor) {
  const auto b = cursor.Take(2);
  return b.empty() ? 0 : uint32_t{b[0]} << 8 | b[1];
}

uint32_t LittleEndian16(ByteCursor& cursor) {
  const auto b = cursor.Take(2);
  return b.empty() ? 0 : uint32_t{b[1]} << 8 | b[0];
}

std::optional<PictureSize> Sized(uint32_t width, uint32_t height, uint64_t bytesPerPixel) {
  if (width == 0 || height == 0 || bytesPerPixel == 0) return std::nullopt;
  return PictureSize{width, height, Times(Times(width, height), bytesPerPixel)};
}

// The signature, then IHDR, which must be the first chunk.
std::optional<PictureSize> PngSize(std::span<const uint8_t> bytes) {
  ByteCursor cursor(bytes.subspan(8));
  if (cursor.BigEndian32() != 13) return std::nullopt;
  const auto type = cursor.Take(4);
  if (type.size() != 4 || type[0] != 'I' || type[1] != 'H' || type[2] != 'D' || type[3] != 'R') {
    return std::nullopt;
  }
  const uint32_t width = cursor.BigEndian32();
  const uint32_t height = cursor.BigEndian32();
  const uint8_t depth = cursor.Byte();
  const uint8_t colourType = cursor.Byte();
  if (!cursor.ok() || width > 0x7FFF'FFFF || height > 0x7FFF'FFFF) return std::nullopt;
  // Channels by colour type: grey, -, RGB, palette, grey + alpha, -, RGBA.
  constexpr std::array<uint8_t, 7> Channels = {1, 0, 3, 1, 2, 0, 4};
  const bool depthFits =
      depth == 8 || (depth == 16 && colourType != 3) ||
      ((depth == 1 || depth == 2 || depth == 4) && (colourType == 0 || colourType == 3));
  if (colourType >= Channels.size() || Channels[colourType] == 0 || !depthFits) {
    return std::nullopt;
  }
  return Sized(width, height, Channels[colourType] * std::max(1, depth / 8));
}

// The markers up to the first frame header (SOFn); a scan or the end before it gives nothing.
std::optional<PictureSize> JpegSize(std::span<const uint8_t> bytes) {
  ByteCursor cursor(bytes.subspan(2));
  while (cursor.ok()) {
    if (cursor.Byte() != 0xFF) return std::nullopt;
    uint8_t marker = cursor.Byte();
    while (marker == 0xFF && cursor.ok()) marker = cursor.Byte();  // fill bytes
    if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    if (marker == 0xD9 || marker == 0xDA || marker == 0x00) return std::nullopt;
    const uint32_t length = BigEndian16(cursor);
    if (length < 2) return std::nullopt;
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (!frame) {
      cursor.Skip(length - 2);
      continue;
    }
    ByteCursor header(cursor.Take(length - 2));
    const uint8_t precision = header.Byte();
    const uint32_t height = BigEndian16(header);
    const uint32_t width = BigEndian16(header);
    const uint8_t components = header.Byte();
    if (!header.ok() || !cursor.ok()) return std::nullopt;
    const bool progressive = (marker & 0x03) == 0x02;  // SOF2, SOF6, SOF10, SOF14
    const uint64_t sample = precision > 8 ? 2 : 1;
    return Sized(width, height, components * (sample + (progressive ? 2 : 0)));
  }
  return std::nullopt;
}

// Skips a chain of GIF data sub-blocks, up to and with its empty one.
void SkipSubBlocks(ByteCursor& cursor) {
  for (uint8_t size = cursor.Byte(); size != 0 && cursor.ok(); size = cursor.Byte()) {
    cursor.Skip(size);
  }
}

std::optional<PictureSize> GifSize(std::span<const uint8_t> bytes) {
  ByteCursor cursor(bytes.subspan(6));
  const uint32_t width = LittleEndian16(cursor);
  const uint32_t height = LittleEndian16(cursor);
  const uint8_t flags = cursor.Byte();
  cursor.Skip(2);                                          // background colour, aspect ratio
  if (flags & 0x80) cursor.Skip(3u << ((flags & 7) + 1));  // the global colour table
  if (!cursor.ok()) return std::nullopt;
  auto size = Sized(width, height, 1);
  if (!size) return std::nullopt;
  // Every image; a file cut short counts what it holds.
  while (cursor.ok()) {
    const uint8_t block = cursor.Byte();
    if (block == 0x21) {  // an extension: its label, its sub-blocks
      cursor.Skip(1);
      SkipSubBlocks(cursor);
    } else if (block == 0x2C) {  // an image: its place and size, colour table, LZW data
      cursor.Skip(4);
      const uint32_t imageWidth = LittleEndian16(cursor);
      const uint32_t imageHeight = LittleEndian16(cursor);
      const uint8_t imageFlags = cursor.Byte();
      if (imageFlags & 0x80) cursor.Skip(3u << ((imageFlags & 7) + 1));
      cursor.Skip(1);  // LZW minimum code size
      SkipSubBlocks(cursor);
      size->decodedBytes = Plus(size->decodedBytes, Times(imageWidth, imageHeight));
    } else {
      break;  // the trailer, or what no decoder reads on from
    }
  }
  return size;
}

std::optional<PictureSize> BmpSize(std::span<const uint8_t> bytes) {
  ByteCursor cursor(bytes.subspan(14));
  const uint32_t headerSize = cursor.LittleEndian32();
  uint32_t width = 0, height = 0, depth = 0, compression = 0;
  if (headerSize == 12) {  // BITMAPCOREHEADER
    width = LittleEndian16(cursor);
    height = LittleEndian16(cursor);
    cursor.Skip(2);
    depth = LittleEndian16(cursor);
  } else if (headerSize >= 40) {  // BITMAPINFOHEADER and its successors
    const auto signedWidth = static_cast<int32_t>(cursor.LittleEndian32());
    const auto signedHeight = static_cast<int32_t>(cursor.LittleEndian32());  // < 0: top down
    if (signedWidth <= 0 || signedHeight == std::numeric_limits<int32_t>::min()) {
      return std::nullopt;
    }
    width = static_cast<uint32_t>(signedWidth);
    height = static_cast<uint32_t>(signedHeight < 0 ? -signedHeight : signedHeight);
    cursor.Skip(2);
    depth = LittleEndian16(cursor);
    compression = cursor.LittleEndian32();
  }
  if (!cursor.ok()) return std::nullopt;
  const bool depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ||
                         depth == 24 || depth == 32;
  // Plain, RLE8, RLE4, bit fields, alpha bit fields; a JPEG or PNG inside (4, 5) is refused.
  if (!depthFits || (compression > 3 && compression != 6)) return std::nullopt;
  const bool runLength = compression == 1 || compression == 2;
  return Sized(width, height, runLength ? 4 : std::max<uint32_t>(1, depth / 8));
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::span<const uint8_t> bytes) {
  static constexpr uint8_t Png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  static constexpr uint8_t Jpeg[] = {0xFF, 0xD8};
  static constexpr uint8_t Gif87[] = {'G', 'I', 'F', '8', '7', 'a'};
  static constexpr uint8_t Gif89[] = {'G', 'I', 'F', '8', '9', 'a'};
  static constexpr uint8_t Bmp[] = {'B', 'M'};
  if (StartsWith(bytes, Png)) return PngSize(bytes);
  if (StartsWith(bytes, Jpeg)) return JpegSize(bytes);
  if (StartsWith(bytes, Gif87) || StartsWith(bytes, Gif89)) return GifSize(bytes);
  if (StartsWith(bytes, Bmp) && bytes.size() >= 14) return BmpSize(bytes);
  return std::nullopt;
}

bool FitsDecodeBudget(std::span<const uint8_t> bytes) {
  const auto size = ReadPictureSize(bytes);
  return size && size->decodedBytes <= DecodeBudgetBytes;
}

}  // namespace tokalux
