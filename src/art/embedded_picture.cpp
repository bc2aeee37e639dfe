#include "art/embedded_picture.h"

#include <algorithm>
#include <string_view>

#include "art/picture_readers.h"

namespace tokalux {
namespace {

bool HasAt(const std::vector<uint8_t>& bytes, std::size_t at, std::string_view text) {
  return bytes.size() >= at + text.size() &&
         std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// An MP4 file starts with one of these atoms (almost always "ftyp").
bool StartsLikeMp4(const std::vector<uint8_t>& head) {
  for (const std::string_view type : {"ftyp", "moov", "mdat", "free", "skip", "wide"}) {
    if (HasAt(head, 4, type)) return true;
  }
  return false;
}

}  // namespace

std::optional<std::vector<uint8_t>> FindEmbeddedPicture(ByteSource& source) {
  PictureChoice choice;
  const uint64_t start = ReadId3v2Pictures(source, choice);
  if (choice.hasFrontCover()) return std::move(choice).Take();

  const uint64_t size = source.Size();
  const auto head =
      start < size ? ReadAt(source, start, std::min<uint64_t>(8, size - start)) : std::nullopt;
  if (head && HasAt(*head, 0, "fLaC")) {
    ReadFlacPictures(source, start + 4, choice);
  } else if (head && start == 0 && HasAt(*head, 0, "OggS")) {
    ReadOggPictures(source, choice);
  } else if (head && start == 0 && StartsLikeMp4(*head)) {
    ReadMp4Cover(source, choice);
  }
  return std::move(choice).Take();
}

}  // namespace tokalux
