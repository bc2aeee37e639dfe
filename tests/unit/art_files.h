// Music files made by the tests, with a picture in their tags: ID3v2 tags, FLAC metadata, MP4
// atoms and Ogg pages, built from their parts so a test can also make them lie. Plain C++; the
// Win32 tests use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tokalux::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

inline Bytes BigEndian(uint64_t value, int count) {
  Bytes bytes;
  for (int i = count - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}

inline Bytes LittleEndian32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

inline Bytes Synchsafe(uint32_t value) {
  return {static_cast<uint8_t>(value >> 21 & 0x7F), static_cast<uint8_t>(value >> 14 & 0x7F),
          static_cast<uint8_t>(value >> 7 & 0x7F), static_cast<uint8_t>(value & 0x7F)};
}

// A stand-in for an encoded picture: any bytes serve the readers. This one has what
// unsynchronisation changes (0xFF before 0x00 and before 0xE0 or more) and is longer than 127
// bytes, so a synchsafe size differs from a plain one; its other bytes are above 0x7F, so none
// of it looks like a frame ID.
inline Bytes FakePicture(uint8_t tag, std::size_t size = 300) {
  Bytes picture = {0xFF, 0xD8, 0xFF, 0xE0, tag};
  for (std::size_t i = picture.size(); i < size; ++i) {
    picture.push_back(i % 7 == 0   ? 0xFF
                      : i % 7 == 1 ? 0x00
                                   : static_cast<uint8_t>(0x80 + (tag + i) % 0x70));
  }
  return picture;
}

// ID3v2 ----------------------------------------------------------------------------------------

// Writes 0xFF 0x00 for every 0xFF (a reader takes any 0xFF 0x00 back as 0xFF).
inline Bytes Unsynchronise(const Bytes& bytes) {
  Bytes out;
  for (const uint8_t b : bytes) {
    out.push_back(b);
    if (b == 0xFF) out.push_back(0x00);
  }
  return out;
}

// The body of an APIC frame (2.3, 2.4) or, with version 2, a PIC frame.
inline Bytes PictureFrameBody(int version, uint8_t type, const Bytes& picture, uint8_t encoding = 0,
                              const Bytes& description = Text("cover")) {
  const Bytes terminator = encoding == 1 || encoding == 2 ? Bytes{0, 0} : Bytes{0};
  const Bytes format = version == 2 ? Text("JPG") : Join({Text("image/jpeg"), {0}});
  return Join({{encoding}, format, {type}, description, terminator, picture});
}

// A frame: its ID, its body's size (3 bytes in 2.2, 4 plain in 2.3, 4 synchsafe in 2.4), its
// two flag bytes (none in 2.2), its body.
inline Bytes Id3Frame(int version, std::string_view id, const Bytes& body, uint8_t format = 0) {
  if (version == 2) return Join({Text(id), BigEndian(body.size(), 3), body});
  const auto size = static_cast<uint32_t>(body.size());
  return Join({Text(id), version == 3 ? BigEndian(size, 4) : Synchsafe(size), {0, format}, body});
}

// A tag: header with the synchsafe size of what follows, then that.
inline Bytes Id3Tag(int version, const Bytes& afterHeader, uint8_t flags = 0) {
  return Join({Text("ID3"),
               {static_cast<uint8_t>(version), 0, flags},
               Synchsafe(static_cast<uint32_t>(afterHeader.size())),
               afterHeader});
}

// An MP3 whose ID3v2.3 tag holds the picture as its front cover.
inline Bytes Mp3WithCover(const Bytes& picture) {
  return Join({Id3Tag(3, Id3Frame(3, "APIC", PictureFrameBody(3, 3, picture))), Bytes(100, 0xFB)});
}

// FLAC -----------------------------------------------------------------------------------------

inline Bytes FlacPictureBody(uint32_t type, const Bytes& picture) {
  return Join({BigEndian(type, 4), BigEndian(10, 4), Text("image/jpeg"), BigEndian(5, 4),
               Text("front"), BigEndian(500, 4), BigEndian(500, 4), BigEndian(24, 4),
               BigEndian(0, 4), BigEndian(picture.size(), 4), picture});
}

inline Bytes FlacBlock(uint8_t type, const Bytes& body, bool last = false) {
  return Join({{static_cast<uint8_t>(type | (last ? 0x80 : 0))}, BigEndian(body.size(), 3), body});
}

// "fLaC", a STREAMINFO block, the given blocks (the last one marked), a little audio.
inline Bytes FlacFile(std::initializer_list<Bytes> blocks) {
  Bytes file = Join({Text("fLaC"), FlacBlock(0, Bytes(34, 0x11), blocks.size() == 0)});
  for (const Bytes& block : blocks) file.insert(file.end(), block.begin(), block.end());
  if (blocks.size() > 0) file[file.size() - (blocks.end() - 1)->size()] |= 0x80;
  return Join({file, Bytes(64, 0xF8)});
}

// MP4 ------------------------------------------------------------------------------------------

inline Bytes Atom(std::string_view type, const Bytes& body) {
  return Join({BigEndian(8 + body.size(), 4), Text(type), body});
}

inline Bytes Atom64(std::string_view type, const Bytes& body) {
  return Join({BigEndian(1, 4), Text(type), BigEndian(16 + body.size(), 8), body});
}

// The body of a moov atom whose udta/meta/ilst/covr holds one data atom per picture.
inline Bytes MoovBody(std::initializer_list<Bytes> pictures) {
  Bytes covr;
  for (const Bytes& picture : pictures) {
    covr = Join({covr, Atom("data", Join({BigEndian(13, 4), BigEndian(0, 4), picture}))});
  }
  const Bytes ilst = Atom("ilst", Join({Atom("\xA9nam", Bytes(20, 'n')), Atom("covr", covr)}));
  const Bytes meta = Atom("meta", Join({BigEndian(0, 4), Atom("hdlr", Bytes(25, 0)), ilst}));
  return Join({Atom("mvhd", Bytes(100, 0)), Atom("trak", Bytes(40, 0)), Atom("udta", meta)});
}

inline Bytes MoovWithCovers(std::initializer_list<Bytes> pictures) {
  return Atom("moov", MoovBody(pictures));
}

inline Bytes Mp4Ftyp() {
  return Atom("ftyp", Join({Text("M4A "), BigEndian(0, 4), Text("M4A mp42")}));
}

// Ogg ------------------------------------------------------------------------------------------

inline std::string Base64(const Bytes& bytes) {
  static constexpr char Alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t n = uint32_t{bytes[i]} << 16 |
                       (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                       (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    for (std::size_t k = 0; k < 4; ++k) {
      text += i + k <= bytes.size() ? Alphabet[n >> (18 - 6 * k) & 63] : '=';
    }
  }
  return text;
}

// A comment packet ("\x03vorbis" or "OpusTags") with the given "KEY=value" comments.
inline Bytes CommentPacket(std::string_view magic, std::initializer_list<std::string> comments) {
  Bytes packet = Join({Text(magic), LittleEndian32(6), Text("tester"),
                       LittleEndian32(static_cast<uint32_t>(comments.size()))});
  for (const std::string& comment : comments) {
    packet = Join({packet, LittleEndian32(static_cast<uint32_t>(comment.size())), Text(comment)});
  }
  return packet;
}

inline std::string PictureComment(uint32_t type, const Bytes& picture) {
  const Bytes block = FlacPictureBody(type, picture);
  return "METADATA_BLOCK_PICTURE=" + Base64(block);
}

// The packets of one logical stream laid out in pages of at most segmentsPerPage lacing values
// (so a long packet spans pages); the CRC is left zero.
inline Bytes OggStream(uint32_t serial, std::initializer_list<Bytes> packets,
                       std::size_t segmentsPerPage = 255) {
  Bytes lacing, body, file;
  bool continued = false, packetOpen = false;
  uint32_t sequence = 0;
  const auto flush = [&](bool first) {
    const uint8_t flags = static_cast<uint8_t>((continued ? 1 : 0) | (first ? 2 : 0));
    file = Join({file,
                 Text(std::string_view("OggS\0", 5)),
                 {flags},
                 Bytes(8, 0),
                 LittleEndian32(serial),
                 LittleEndian32(sequence++),
                 Bytes(4, 0),
                 {static_cast<uint8_t>(lacing.size())},
                 lacing,
                 body});
    continued = packetOpen;
    lacing.clear();
    body.clear();
  };
  for (const Bytes& packet : packets) {
    for (std::size_t at = 0;; at += 255) {
      const std::size_t length = std::min<std::size_t>(255, packet.size() - at);
      lacing.push_back(static_cast<uint8_t>(length));
      body.insert(body.end(), packet.begin() + static_cast<std::ptrdiff_t>(at),
                  packet.begin() + static_cast<std::ptrdiff_t>(at + length));
      packetOpen = length == 255;
      if (lacing.size() == segmentsPerPage) flush(sequence == 0);
      if (length < 255) break;
    }
  }
  if (!lacing.empty()) flush(sequence == 0);
  return file;
}

inline Bytes VorbisHead() {
  return Join({Text("\x01vorbis"), Bytes(23, 1)});
}

inline Bytes OpusHead() {
  return Join({Text("OpusHead"), Bytes(11, 1)});
}

// Picture headers: a picture's first bytes, as far as its declared size goes ------------------

inline Bytes LittleEndian16(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

// A PNG's signature and IHDR chunk (its CRC left 0).
inline Bytes PngHeader(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType) {
  return Join({Text("\x89PNG\r\n\x1a\n"), BigEndian(13, 4), Text("IHDR"), BigEndian(width, 4),
               BigEndian(height, 4), BigEndian(depth << 8 | colourType, 2), Bytes(7, 0)});
}

// A JPEG's start of image, a JFIF segment and a frame header (sof 0xC0 baseline, 0xC2
// progressive, ...).
inline Bytes JpegHeader(uint32_t width, uint32_t height, uint8_t components, uint8_t sof = 0xC0,
                        uint8_t precision = 8) {
  return Join({Text("\xFF\xD8\xFF\xE0"), BigEndian(16, 2), Text("JFIF"), Bytes(10, 0),
               BigEndian(0xFF00 | sof, 2), BigEndian(8 + 3 * components, 2),
               BigEndian(precision, 1), BigEndian(height, 2), BigEndian(width, 2),
               BigEndian(components, 1), Bytes(3 * components, 1)});
}

// A GIF's header and logical screen with a global colour table of two entries, then blocks.
inline Bytes GifFile(uint32_t width, uint32_t height, const Bytes& blocks) {
  return Join({Text("GIF89a"), LittleEndian16(width), LittleEndian16(height),
               BigEndian(0x800000, 3), Bytes(6, 0), blocks, Text(";")});
}

// A GIF image block (a graphic control extension before it), its data one sub-block.
inline Bytes GifImage(uint32_t width, uint32_t height) {
  return Join({Text("!\xF9\x04"), Bytes(5, 0), Text(","), Bytes(4, 0), LittleEndian16(width),
               LittleEndian16(height), BigEndian(0x0002'0144'00, 5)});
}

// A BMP's file header and BITMAPINFOHEADER.
inline Bytes BmpHeader(int32_t width, int32_t height, uint8_t depth, uint32_t compression = 0) {
  return Join({Text("BM"), Bytes(12, 0), LittleEndian32(40), LittleEndian32(width),
               LittleEndian32(height), LittleEndian16(1), LittleEndian16(depth),
               LittleEndian32(compression), Bytes(20, 0)});
}

}  // namespace tokalux::testing
