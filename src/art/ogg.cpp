// Ogg Vorbis and Opus: the pictures are METADATA_BLOCK_PICTURE comments, base64 of a FLAC PICTURE
// block, in the stream's second packet ("\x03vorbis" or "OpusTags"), which may span many pages.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "art/byte_cursor.h"
#include "art/picture_readers.h"

namespace tokalux {
namespace {

constexpr std::size_t PageHeaderSize = 27;

bool StartsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool IsPictureKey(std::span<const uint8_t> key) {
  constexpr std::string_view name = "METADATA_BLOCK_PICTURE";
  return key.size() == name.size() &&
         std::equal(key.begin(), key.end(), name.begin(), [](uint8_t c, char n) {
           return (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) == static_cast<uint8_t>(n);
         });
}

// The comment packet after its magic: vendor string, comment count, then "KEY=value" comments,
// each with a 32-bit little-endian length.
void ReadComments(ByteCursor cursor, PictureChoice& choice) {
  cursor.Skip(cursor.LittleEndian32());
  const uint32_t count = cursor.LittleEndian32();
  for (uint32_t i = 0; i < count && cursor.ok() && !choice.hasFrontCover(); ++i) {
    const auto comment = cursor.Take(cursor.LittleEndian32());
    const auto equals = std::find(comment.begin(), comment.end(), '=');
    if (equals == comment.end() || !IsPictureKey({comment.begin(), equals})) continue;
    const std::string_view value(reinterpret_cast<const char*>(&*equals) + 1,
                                 static_cast<std::size_t>(comment.end() - equals - 1));
    if (const auto block = DecodeBase64(value)) OfferFlacPictureBlock(*block, choice);
  }
}

// Offers the pictures of a stream's second packet, given its first (which names the codec).
void ReadCommentPacket(std::span<const uint8_t> first, std::span<const uint8_t> second,
                       PictureChoice& choice) {
  ByteCursor cursor(second);
  if (StartsWith(first, "\x01vorbis") && StartsWith(second, "\x03vorbis")) {
    cursor.Skip(7);
  } else if (StartsWith(first, "OpusHead") && StartsWith(second, "OpusTags")) {
    cursor.Skip(8);
  } else {
    return;
  }
  ReadComments(cursor, choice);
}

}  // namespace

void ReadOggPictures(ByteSource& source, PictureChoice& choice) {
  // Pages are read from the start of the file until the comment packet is whole, within the
  // first MaxReadBytes of the file; pages of other streams are skipped unread.
  std::vector<uint8_t> packets[2];
  std::size_t packet = 0;
  std::optional<uint32_t> serial;
  for (uint64_t offset = 0; offset < MaxReadBytes;) {
    const auto header = ReadAt(source, offset, PageHeaderSize);
    if (!header || !StartsWith(*header, std::string_view("OggS\0", 5))) return;
    const uint32_t pageSerial = LittleEndian32(std::span<const uint8_t>(*header).subspan(14));
    const auto lacing = ReadAt(source, offset + PageHeaderSize, (*header)[26]);
    if (!lacing) return;
    uint64_t bodySize = 0;
    for (const uint8_t length : *lacing) bodySize += length;
    const uint64_t bodyOffset = offset + PageHeaderSize + lacing->size();
    offset = bodyOffset + bodySize;
    if (!serial) serial = pageSerial;
    if (pageSerial != *serial) continue;

    const auto body = ReadAt(source, bodyOffset, bodySize);
    if (!body) return;
    // A packet is a run of segments; one shorter than 255 bytes ends it.
    std::size_t at = 0;
    for (const uint8_t length : *lacing) {
      packets[packet].insert(packets[packet].end(), body->begin() + at,
                             body->begin() + at + length);
      at += length;
      if (packets[packet].size() > MaxReadBytes) return;
      if (length == 255) continue;
      if (packet == 1) return ReadCommentPacket(packets[0], packets[1], choice);
      packet = 1;
    }
  }
}

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text) {
  while (!text.empty() && text.back() == '=' && text.size() % 4 != 1) text.remove_suffix(1);
  if (text.size() % 4 == 1) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 4 * 3 + 2);
  uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    uint32_t value;
    if (c >= 'A' && c <= 'Z') {
      value = static_cast<uint32_t>(c - 'A');
    } else if (c >= 'a' && c <= 'z') {
      value = static_cast<uint32_t>(c - 'a' + 26);
    } else if (c >= '0' && c <= '9') {
      value = static_cast<uint32_t>(c - '0' + 52);
    } else if (c == '+') {
      value = 62;
    } else if (c == '/') {
      value = 63;
    } else {
      return std::nullopt;
    }
    bits = bits << 6 | value;
    if (++count == 4) {
      bytes.push_back(static_cast<uint8_t>(bits >> 16));
      bytes.push_back(static_cast<uint8_t>(bits >> 8));
      bytes.push_back(static_cast<uint8_t>(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) bytes.push_back(static_cast<uint8_t>(bits >> 4));
  if (count == 3) {
    bytes.push_back(static_cast<uint8_t>(bits >> 10));
    bytes.push_back(static_cast<uint8_t>(bits >> 2));
  }
  return bytes;
}

}  // namespace tokalux
