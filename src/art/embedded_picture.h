// The picture embedded in a music file, found from the file's first bytes whatever its name:
//   ID3v2.2, 2.3 and 2.4 (PIC and APIC frames; also the tag in front of a FLAC stream)
//   FLAC PICTURE metadata blocks
//   MP4/M4A cover atoms (moov/udta/meta/ilst/covr/data)
//   Ogg Vorbis and Opus METADATA_BLOCK_PICTURE comments
// A front cover (picture type 3) wins over any other picture; without one the first picture in
// the file counts. MP4 has no picture types: its first cover counts as the front.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "art/byte_source.h"

namespace tokalux {

// The encoded picture (JPEG, PNG, ... as stored), or nullopt when the file holds none that its
// reader could take. Reads at most MaxReadBytes of tags and a picture of at most that size; a
// malformed or lying tag gives no picture, never a read outside the source.
std::optional<std::vector<uint8_t>> FindEmbeddedPicture(ByteSource& source);

}  // namespace tokalux
