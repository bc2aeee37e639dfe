// MP4/M4A: the cover is the first "data" atom in moov/udta/meta/ilst/covr. Atoms are walked by
// their headers alone, so the audio ("mdat", often before "moov" and as large as the file) is
// never read.
#include <cstdint>
#include <optional>
#include <span>

#include "art/picture_readers.h"

namespace tokalux {
namespace {

constexpr uint32_t FourCc(const char (&name)[5]) {
  return uint32_t{static_cast<uint8_t>(name[0])} << 24 |
         uint32_t{static_cast<uint8_t>(name[1])} << 16 |
         uint32_t{static_cast<uint8_t>(name[2])} << 8 | static_cast<uint8_t>(name[3]);
}

// A walk reads at most this many atom headers: real files have tens.
constexpr int MaxAtoms = 4096;

struct Atom {
  uint32_t type = 0;
  uint64_t bodyOffset = 0;  // right after the header
  uint64_t end = 0;         // offset of the next atom
};

// The atom whose header is at offset, within a parent that ends at end. Its size is 32 bits, or
// 1 for a 64-bit size after the type, or 0 for "to the end" (of the file, or of the parent).
// nullopt when the header or the size does not fit the parent.
std::optional<Atom> AtomAt(ByteSource& source, uint64_t offset, uint64_t end) {
  const auto header = FitsIn(end, offset, 8) ? ReadAt(source, offset, 8) : std::nullopt;
  if (!header) return std::nullopt;
  uint64_t size = BigEndian32(*header);
  uint64_t headerSize = 8;
  if (size == 1) {
    const auto large = FitsIn(end, offset, 16) ? ReadAt(source, offset + 8, 8) : std::nullopt;
    if (!large) return std::nullopt;
    size = BigEndian64(*large);
    headerSize = 16;
  } else if (size == 0) {
    size = end - offset;
  }
  if (size < headerSize || !FitsIn(end, offset, size)) return std::nullopt;
  return Atom{BigEndian32(std::span<const uint8_t>(*header).subspan(4)), offset + headerSize,
              offset + size};
}

// The first atom of the given type among those from begin to end.
std::optional<Atom> FindAtom(ByteSource& source, uint64_t begin, uint64_t end, uint32_t type,
                             int& atomsLeft) {
  for (uint64_t offset = begin; offset < end && atomsLeft-- > 0;) {
    const auto atom = AtomAt(source, offset, end);
    if (!atom) return std::nullopt;
    if (atom->type == type) return atom;
    offset = atom->end;
  }
  return std::nullopt;
}

}  // namespace

void ReadMp4Cover(ByteSource& source, PictureChoice& choice) {
  int atomsLeft = MaxAtoms;
  std::optional<Atom> atom{Atom{0, 0, source.Size()}};
  for (const uint32_t type : {FourCc("moov"), FourCc("udta"), FourCc("meta"), FourCc("ilst"),
                              FourCc("covr"), FourCc("data")}) {
    atom = FindAtom(source, atom->bodyOffset, atom->end, type, atomsLeft);
    if (!atom) return;
    // "meta" is a full atom: 4 bytes of version and flags come before its children.
    if (type == FourCc("meta")) atom->bodyOffset += 4;
    if (atom->bodyOffset > atom->end) return;
  }
  // "data": 4 bytes of type (JPEG, PNG, BMP; the decoder tells them apart by their bytes) and
  // 4 of locale, then the picture.
  if (!FitsIn(atom->end, atom->bodyOffset, 8)) return;
  const uint64_t offset = atom->bodyOffset + 8;
  if (const auto picture = ReadAt(source, offset, atom->end - offset)) {
    choice.Offer(FrontCoverType, *picture);
  }
}

}  // namespace tokalux
