// The container readers behind FindEmbeddedPicture, one file each, and what they share. Each
// offers the pictures it finds to a PictureChoice and stops once it holds a front cover.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "art/byte_source.h"

namespace tokalux {

// The picture type of a front cover, in ID3v2 and FLAC.
inline constexpr uint32_t FrontCoverType = 3;

// Keeps the first front cover offered, else the first picture. Empty pictures do not count.
class PictureChoice {
 public:
  void Offer(uint32_t type, std::span<const uint8_t> picture) {
    if (picture.empty() || hasFrontCover_) return;
    if (type == FrontCoverType || picture_.empty()) picture_.assign(picture.begin(), picture.end());
    hasFrontCover_ = type == FrontCoverType;
  }
  bool hasFrontCover() const { return hasFrontCover_; }
  std::optional<std::vector<uint8_t>> Take() && {
    if (picture_.empty()) return std::nullopt;
    return std::move(picture_);
  }

 private:
  std::vector<uint8_t> picture_;
  bool hasFrontCover_ = false;
};

// Reads the pictures of an ID3v2 tag at the start of the source. Answers where the tag ends (0
// when there is none), so the stream behind it can be found even when the tag was too large to
// read.
uint64_t ReadId3v2Pictures(ByteSource& source, PictureChoice& choice);

// Reads the PICTURE blocks of the FLAC metadata that starts at offset (right after "fLaC").
void ReadFlacPictures(ByteSource& source, uint64_t offset, PictureChoice& choice);

// Offers the picture of a FLAC PICTURE block's body (the block without its 4-byte header).
void OfferFlacPictureBlock(std::span<const uint8_t> block, PictureChoice& choice);

// Reads the first cover of an MP4 file.
void ReadMp4Cover(ByteSource& source, PictureChoice& choice);

// Reads the METADATA_BLOCK_PICTURE comments of the first Vorbis or Opus stream of an Ogg file.
void ReadOggPictures(ByteSource& source, PictureChoice& choice);

// Standard base64 (RFC 4648, padding optional); nullopt for any other character or a length no
// encoding has.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

}  // namespace tokalux
