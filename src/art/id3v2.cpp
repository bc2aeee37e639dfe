// ID3v2.2, 2.3 and 2.4: the tag's header, its extended header, unsynchronisation (of the whole
// tag up to 2.3, per frame in 2.4) and the PIC (2.2) and APIC (2.3, 2.4) frames.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "art/byte_cursor.h"
#include "art/picture_readers.h"

namespace tokalux {
namespace {

constexpr uint64_t HeaderSize = 10;
constexpr uint8_t FlagUnsynchronisation = 0x80;
constexpr uint8_t FlagExtendedHeader = 0x40;  // 2.2: the whole tag is compressed
constexpr uint8_t FlagFooter = 0x10;          // 2.4

// A synchsafe integer: seven bits per byte, the top bit of each clear.
bool IsSynchsafe(std::span<const uint8_t> bytes) {
  return (bytes[0] | bytes[1] | bytes[2] | bytes[3]) < 0x80;
}
uint32_t Synchsafe32(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[0]} << 21 | uint32_t{bytes[1]} << 14 | uint32_t{bytes[2]} << 7 | bytes[3];
}

// Undoes unsynchronisation: every 0xFF 0x00 was written for a 0xFF.
std::vector<uint8_t> Resynchronise(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) ++i;
  }
  return out;
}

// The text encodings 0 (Latin-1) and 3 (UTF-8) end a text with one zero byte, 1 and 2 (UTF-16)
// with two.
bool SkipText(ByteCursor& cursor, uint8_t encoding) {
  if (encoding > 3) return false;
  cursor.SkipTerminated(encoding == 1 || encoding == 2 ? 2 : 1);
  return cursor.ok();
}

// PIC: encoding, a three-letter image format, picture type, description, picture.
// APIC: encoding, a zero-terminated MIME type, picture type, description, picture.
void OfferPictureFrame(std::span<const uint8_t> frame, bool isPic, PictureChoice& choice) {
  ByteCursor cursor(frame);
  const uint8_t encoding = cursor.Byte();
  if (isPic) {
    cursor.Skip(3);
  } else {
    cursor.SkipTerminated(1);
  }
  const uint8_t type = cursor.Byte();
  if (SkipText(cursor, encoding)) choice.Offer(type, cursor.Rest());
}

// A frame ID's characters are capital letters and digits.
bool IsFrameId(std::span<const uint8_t> id) {
  for (const uint8_t c : id) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Whether a 2.4 frame may end at next: at the tag's end, at padding (zeros for a frame header's
// length, or to the end) or at another frame's ID.
bool CanFollowFrame(std::span<const uint8_t> frames, uint64_t next) {
  if (next > frames.size()) return false;
  const auto rest = frames.subspan(next);
  const auto header = rest.first(std::min<std::size_t>(rest.size(), HeaderSize));
  return std::all_of(header.begin(), header.end(), [](uint8_t b) { return b == 0; }) ||
         (rest.size() >= 4 && IsFrameId(rest.first(4)));
}

// A 2.4 frame's size is synchsafe; some writers put a plain number there as 2.3 does. Where the
// two readings differ, the plain one is taken only when the synchsafe one leads nowhere and the
// plain one to a frame boundary.
uint32_t Id3v24FrameSize(std::span<const uint8_t> frames, uint64_t at) {
  const auto bytes = frames.subspan(at + 4, 4);
  const uint32_t plain = BigEndian32(bytes);
  if (!IsSynchsafe(bytes)) return plain;
  const uint32_t synchsafe = Synchsafe32(bytes);
  const uint64_t body = at + HeaderSize;
  if (plain != synchsafe && !CanFollowFrame(frames, body + synchsafe) &&
      CanFollowFrame(frames, body + plain)) {
    return plain;
  }
  return synchsafe;
}

void ReadFrames(std::span<const uint8_t> frames, uint8_t version, bool tagUnsynchronised,
                PictureChoice& choice) {
  const uint64_t frameHeaderSize = version == 2 ? 6 : 10;
  uint64_t at = 0;
  while (at + frameHeaderSize <= frames.size() && frames[at] != 0 && !choice.hasFrontCover()) {
    const auto header = frames.subspan(at, frameHeaderSize);
    const uint64_t size = version == 2   ? BigEndian24(header.subspan(3))
                          : version == 3 ? BigEndian32(header.subspan(4))
                                         : Id3v24FrameSize(frames, at);
    at += frameHeaderSize;
    if (size > frames.size() - at) return;
    std::span<const uint8_t> body = frames.subspan(at, size);
    at += size;

    if (version == 2) {
      if (header[0] == 'P' && header[1] == 'I' && header[2] == 'C') {
        OfferPictureFrame(body, true, choice);
      }
      continue;
    }
    if (!(header[0] == 'A' && header[1] == 'P' && header[2] == 'I' && header[3] == 'C')) continue;
    const uint8_t format = header[9];
    std::vector<uint8_t> resynchronised;
    if (version == 3) {
      if (format & 0xC0) continue;                                   // compressed or encrypted
      if (format & 0x20) body = body.subspan(body.empty() ? 0 : 1);  // group byte
    } else {
      if (format & 0x0C) continue;  // compressed or encrypted
      if ((format & 0x02) || tagUnsynchronised) {
        resynchronised = Resynchronise(body);
        body = resynchronised;
      }
      ByteCursor extras(body);
      if (format & 0x40) extras.Skip(1);  // group byte
      if (format & 0x01) extras.Skip(4);  // data length indicator
      body = extras.Rest();
    }
    OfferPictureFrame(body, false, choice);
  }
}

}  // namespace

uint64_t ReadId3v2Pictures(ByteSource& source, PictureChoice& choice) {
  const auto header = ReadAt(source, 0, HeaderSize);
  if (!header || (*header)[0] != 'I' || (*header)[1] != 'D' || (*header)[2] != '3') return 0;
  const auto& h = *header;
  const uint8_t version = h[3];
  const uint8_t flags = h[5];
  const auto sizeBytes = std::span<const uint8_t>(h).subspan(6, 4);
  if (version < 2 || version > 4 || !IsSynchsafe(sizeBytes)) return 0;
  const uint64_t size = Synchsafe32(sizeBytes);
  const uint64_t end = HeaderSize + size + (version == 4 && (flags & FlagFooter) ? 10 : 0);

  if (version == 2 && (flags & FlagExtendedHeader)) return end;  // compressed: no known scheme
  auto tag = ReadAt(source, HeaderSize, size);
  if (!tag) return end;  // larger than MaxReadBytes or past the end of the file
  const bool unsynchronised = flags & FlagUnsynchronisation;
  if (unsynchronised && version < 4) *tag = Resynchronise(*tag);

  ByteCursor cursor(*tag);
  if (version >= 3 && (flags & FlagExtendedHeader)) {
    // 2.3 counts the extended header without its four size bytes, 2.4 with them (synchsafe).
    const auto extendedSize = cursor.Take(4);
    if (!cursor.ok()) return end;
    if (version == 3) {
      cursor.Skip(BigEndian32(extendedSize));
    } else {
      if (!IsSynchsafe(extendedSize) || Synchsafe32(extendedSize) < 6) return end;
      cursor.Skip(Synchsafe32(extendedSize) - 4);
    }
  }
  ReadFrames(cursor.Rest(), version, unsynchronised, choice);
  return end;
}

}  // namespace tokalux
