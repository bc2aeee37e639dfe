// FLAC metadata: blocks of a 4-byte header (last-block flag and type, 24-bit length) and a body;
// type 6 is a PICTURE. The PICTURE body is also what Ogg files carry, base64-encoded, in their
// METADATA_BLOCK_PICTURE comments.
#include <cstdint>
#include <span>

#include "art/byte_cursor.h"
#include "art/picture_readers.h"

namespace tokalux {
namespace {

constexpr uint8_t PictureBlock = 6;
constexpr uint8_t InvalidBlock = 127;
// Real files have a handful of blocks; a walk stops after this many.
constexpr int MaxBlocks = 1024;

}  // namespace

void OfferFlacPictureBlock(std::span<const uint8_t> block, PictureChoice& choice) {
  // Picture type, MIME type and description (each a length and bytes), width, height, colour
  // depth, colour count, then the picture's length and bytes.
  ByteCursor cursor(block);
  const uint32_t type = cursor.BigEndian32();
  cursor.Skip(cursor.BigEndian32());
  cursor.Skip(cursor.BigEndian32());
  cursor.Skip(16);
  // A picture longer than the block is not taken: the failed take is empty, and empty pictures
  // do not count.
  choice.Offer(type, cursor.Take(cursor.BigEndian32()));
}

void ReadFlacPictures(ByteSource& source, uint64_t offset, PictureChoice& choice) {
  // The picture blocks read together stay within MaxReadBytes.
  uint64_t budget = MaxReadBytes;
  for (int block = 0; block < MaxBlocks && !choice.hasFrontCover(); ++block) {
    const auto header = ReadAt(source, offset, 4);
    if (!header) return;
    const bool last = (*header)[0] & 0x80;
    const uint8_t type = (*header)[0] & 0x7F;
    const uint32_t length = BigEndian24(std::span<const uint8_t>(*header).subspan(1));
    if (type == InvalidBlock) return;
    offset += 4;
    if (type == PictureBlock) {
      if (length > budget) return;
      budget -= length;
      const auto body = ReadAt(source, offset, length);
      if (!body) return;
      OfferFlacPictureBlock(*body, choice);
    }
    offset += length;
    if (last) return;
  }
}

}  // namespace tokalux
