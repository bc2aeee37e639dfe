// The embedded-picture readers over files the tests make: one of each container with a picture,
// the front-cover preference, and files that lie.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "art/embedded_picture.h"
#include "art/picture_readers.h"
#include "art/picture_size.h"
#include "art_files.h"

namespace tokalux::testing {
namespace {

std::optional<Bytes> Picture(const Bytes& file) {
  MemorySource source(file);
  return FindEmbeddedPicture(source);
}

// A file of any size made of a few pieces at given offsets and zeros elsewhere, which counts
// what is read from it: a huge file costs nothing, and a test sees what a reader took.
class SparseSource final : public ByteSource {
 public:
  explicit SparseSource(uint64_t size) : size_(size) {}
  void Put(uint64_t offset, const Bytes& bytes) { pieces_[offset] = bytes; }
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, std::span<uint8_t> out) override {
    EXPECT_TRUE(FitsIn(size_, offset, out.size())) << "read past the end at " << offset;
    bytesRead += out.size();
    std::fill(out.begin(), out.end(), uint8_t{0});
    for (const auto& [at, bytes] : pieces_) {
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (at + i >= offset && at + i < offset + out.size()) out[at + i - offset] = bytes[i];
      }
    }
    return true;
  }
  uint64_t bytesRead = 0;

 private:
  uint64_t size_;
  std::map<uint64_t, Bytes> pieces_;
};

const Bytes Red = FakePicture('R');
const Bytes Green = FakePicture('G', 1000);
constexpr uint64_t MiB = 1024 * 1024;

Bytes Mp3(const Bytes& tag) {
  return Join({tag, Bytes(200, 0xFB)});
}

const Bytes SongTitle = {0, 's', 'o', 'n', 'g'};
const Bytes ApicRed = Id3Frame(3, "APIC", PictureFrameBody(3, 3, Red));

TEST(EmbeddedPicture, IsFoundInEachContainer) {
  const Bytes v24Frame = PictureFrameBody(4, 3, Red);
  const Bytes v24Body = PictureFrameBody(4, 3, Red, 1, Text(std::string("c\0o\0", 4)));
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"ID3v2.2 PIC", Mp3(Id3Tag(2, Join({Id3Frame(2, "TT2", SongTitle),
                                          Id3Frame(2, "PIC", PictureFrameBody(2, 3, Red))})))},
      {"ID3v2.3 unsynchronised as a whole",
       Mp3(Id3Tag(3,
                  Unsynchronise(Join({Id3Frame(3, "TIT2", SongTitle),
                                      Id3Frame(3, "APIC", PictureFrameBody(3, 3, Red))})),
                  0x80))},
      {"ID3v2.3 extended header, padding",
       Mp3(Id3Tag(3,
                  Join({BigEndian(6, 4), Bytes(6, 0),
                        Id3Frame(3, "APIC", PictureFrameBody(3, 3, Red)), Bytes(50, 0)}),
                  0x40))},
      // 2.4: a synchsafe extended-header size, synchsafe frame sizes; a frame unsynchronised
      // on its own with a data length indicator; a UTF-16 description.
      {"ID3v2.4 extended header, frame unsynchronisation",
       Mp3(Id3Tag(4,
                  Join({Synchsafe(6),
                        {1, 0},
                        Id3Frame(4, "TIT2", Bytes(200, 'x')),
                        Id3Frame(4, "APIC",
                                 Join({Synchsafe(static_cast<uint32_t>(v24Body.size())),
                                       Unsynchronise(v24Body)}),
                                 0x03)}),
                  0x40))},
      {"ID3v2.4 plain frame size",
       Mp3(Id3Tag(4, Join({Text("APIC"), BigEndian(v24Frame.size(), 4), {0, 0}, v24Frame})))},
      {"FLAC", FlacFile({FlacBlock(4, Bytes(40, 'c')), FlacBlock(6, FlacPictureBody(3, Red))})},
      {"FLAC behind ID3v2",
       Join({Id3Tag(3, Id3Frame(3, "TIT2", SongTitle)),
             FlacFile({FlacBlock(1, Bytes(1000, 0)), FlacBlock(6, FlacPictureBody(3, Red))})})},
      {"MP4, moov after mdat",
       Join({Mp4Ftyp(), Atom("free", {}), Atom("mdat", Bytes(5000, 0xAA)), MoovWithCovers({Red})})},
      {"MP4, 64-bit sizes, moov to the end",
       Join({Mp4Ftyp(), Atom64("mdat", Bytes(300, 1)), BigEndian(0, 4), Text("moov"),
             MoovBody({Red})})},
      {"Ogg Vorbis, comments over pages",
       OggStream(7,
                 {VorbisHead(), CommentPacket("\x03vorbis", {"TITLE=x", PictureComment(3, Red)}),
                  Bytes(50, 3)},
                 2)},
      {"Opus, comments over pages, the key in lower case",
       OggStream(9,
                 {OpusHead(), CommentPacket("OpusTags", {"metadata_block_picture=" +
                                                             Base64(FlacPictureBody(3, Red)),
                                                         "A=b"})},
                 3)},
      {"Ogg, a page of another stream between", [] {
         const Bytes vorbis = OggStream(
             7, {VorbisHead(), CommentPacket("\x03vorbis", {PictureComment(3, Red)})}, 2);
         const auto firstPage = vorbis.begin() + 27 + 2 + vorbis[27] + vorbis[28];
         return Join({Bytes(vorbis.begin(), firstPage), OggStream(5, {Bytes(300, 'x')}),
                      Bytes(firstPage, vorbis.end())});
       }()},
  };
  for (const auto& c : cases) EXPECT_EQ(Picture(c.file), Red) << c.name;
}

TEST(EmbeddedPicture, PrefersTheFrontCoverElseTheFirstPicture) {
  const auto apic = [](uint8_t type, const Bytes& picture) {
    return Id3Frame(3, "APIC", PictureFrameBody(3, type, picture));
  };
  const auto flac = [](uint32_t type, const Bytes& picture) {
    return FlacBlock(6, FlacPictureBody(type, picture));
  };
  const struct {
    const char* name;
    Bytes file;
    const Bytes& expected;
  } cases[] = {
      {"ID3v2, front second", Mp3(Id3Tag(3, Join({apic(4, Red), apic(3, Green)}))), Green},
      {"ID3v2, no front", Mp3(Id3Tag(3, Join({apic(0, Red), apic(4, Green)}))), Red},
      {"ID3v2, two fronts", Mp3(Id3Tag(3, Join({apic(3, Red), apic(3, Green)}))), Red},
      {"FLAC, front second", FlacFile({flac(8, Red), flac(3, Green)}), Green},
      {"FLAC behind ID3v2, the front in FLAC",
       Join({Id3Tag(3, apic(0, Red)), FlacFile({flac(3, Green)})}), Green},
      {"Ogg, front second",
       OggStream(1, {VorbisHead(), CommentPacket("\x03vorbis", {PictureComment(0, Red),
                                                                PictureComment(3, Green)})}),
       Green},
  };
  for (const auto& c : cases) EXPECT_EQ(Picture(c.file), c.expected) << c.name;
}

// Files that lie give no picture, or the picture that is intact, and never a read outside the
// file (ASan watches the memory, the sparse source the offsets).
TEST(EmbeddedPicture, MalformedFilesGiveNoPictureOrTheIntactOne) {
  const Bytes goodFlacPicture = FlacBlock(6, FlacPictureBody(3, Red));
  Bytes longFrame = ApicRed;
  longFrame[7] += 1;  // one byte more than the tag holds
  Bytes shortPicture = FlacPictureBody(3, Red);
  shortPicture[shortPicture.size() - Red.size() - 1] += 1;  // picture length past the block
  Bytes base64Garbage = Text(PictureComment(3, Green));
  base64Garbage[40] = '!';
  const Bytes mp4Moov = MoovWithCovers({Red});
  Bytes udtaTooLong = mp4Moov;  // udta claims more than moov holds
  udtaTooLong[8 + 108 + 48 + 3] += 0x40;
  // An atom of size 4, less than its header: taken at its word, the next atom would start
  // inside it, where a good one stands.
  const Bytes atomTooShort = Atom("moov", Join({BigEndian(4, 4), MoovBody({Red})}));

  const struct {
    const char* name;
    Bytes file;
    std::optional<Bytes> expected;
  } cases[] = {
      {"empty", {}, std::nullopt},
      {"ID3 header alone", Text("ID3\x03"), std::nullopt},
      {"ID3 tag past the end of the file",
       [] {
         Bytes file = Id3Tag(3, ApicRed);
         file.resize(file.size() - 10);
         return file;
       }(),
       std::nullopt},
      {"frame past the end of the tag", Mp3(Id3Tag(3, longFrame)), std::nullopt},
      {"zero-length frames before the picture",
       Mp3(Id3Tag(3, Join({Id3Frame(3, "APIC", {}), Id3Frame(3, "TIT2", {}), ApicRed}))), Red},
      {"2.4 zero-length frame with a data length indicator",
       Mp3(Id3Tag(4, Join({Id3Frame(4, "APIC", {}, 0x01), Id3Frame(4, "APIC", {0}, 0x01)}))),
       std::nullopt},
      {"compressed and encrypted frames are skipped",
       Mp3(Id3Tag(3, Join({Id3Frame(3, "APIC", PictureFrameBody(3, 3, Green), 0x80),
                           Id3Frame(3, "APIC", PictureFrameBody(3, 3, Green), 0x40), ApicRed}))),
       Red},
      {"description without its end",
       Mp3(Id3Tag(3, Id3Frame(3, "APIC", Join({{1}, Text("image/png"), {0, 3}, Bytes(9, 'd')})))),
       std::nullopt},
      {"unknown text encoding",
       Mp3(Id3Tag(3, Id3Frame(3, "APIC", PictureFrameBody(3, 3, Red, 7)))), std::nullopt},
      {"extended header larger than the tag", Mp3(Id3Tag(3, Join({BigEndian(900, 4), ApicRed}),
                                                         0x40)),
       std::nullopt},
      {"FLAC picture length past its block", FlacFile({FlacBlock(6, shortPicture)}), std::nullopt},
      {"FLAC block past the end of the file",
       Join({Text("fLaC"), {0x86, 0x00, 0x40, 0x00}, FlacPictureBody(3, Red)}), std::nullopt},
      {"FLAC: a bad block before a good one ends the walk",
       FlacFile({FlacBlock(127, Bytes(4, 0)), goodFlacPicture}), std::nullopt},
      {"MP4 udta longer than its moov", Join({Mp4Ftyp(), udtaTooLong}), std::nullopt},
      {"MP4 atom shorter than its header", Join({Mp4Ftyp(), atomTooShort}), std::nullopt},
      {"MP4 64-bit size past the end",
       Join({Mp4Ftyp(), BigEndian(1, 4), Text("mdat"), BigEndian(uint64_t{1} << 62, 8), mp4Moov}),
       std::nullopt},
      {"Ogg base64 garbage, then a good picture",
       OggStream(1, {VorbisHead(), CommentPacket("\x03vorbis", {std::string(base64Garbage.begin(),
                                                                            base64Garbage.end()),
                                                                PictureComment(0, Red)})}),
       Red},
      {"Ogg base64 of a broken block",
       OggStream(1, {VorbisHead(), CommentPacket("\x03vorbis", {"metadata_block_picture=QUJD"})}),
       std::nullopt},
      {"Ogg comment count beyond the packet",
       [] {
         Bytes packet = CommentPacket("\x03vorbis", {PictureComment(3, Red)});
         packet[7 + 4 + 6] = 0xFF;  // the count's low byte: 255 comments
         return OggStream(1, {VorbisHead(), packet});
       }(),
       Red},
      {"Ogg page cut short",
       [] {
         Bytes file = OggStream(1, {VorbisHead(), CommentPacket("OpusTags", {})});
         file.resize(file.size() - 3);
         return file;
       }(),
       std::nullopt},
      {"Opus tags after a Vorbis head",
       OggStream(1, {VorbisHead(), CommentPacket("OpusTags", {PictureComment(3, Red)})}),
       std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Picture(c.file), c.expected) << c.name;
}

// The readers take only what they need of a huge file: MP4 atoms by their headers, an ID3v2 tag
// that claims more than 16 MiB not at all (the FLAC stream behind it still counts).
TEST(EmbeddedPicture, ReadsLittleOfAHugeFile) {
  const uint64_t mdatSize = 6000 * MiB;
  SparseSource mp4(mdatSize + 1000);
  const Bytes head = Join({Mp4Ftyp(), BigEndian(1, 4), Text("mdat"), BigEndian(mdatSize, 8)});
  mp4.Put(0, head);
  mp4.Put(head.size() - 16 + mdatSize, MoovWithCovers({Red}));
  EXPECT_EQ(FindEmbeddedPicture(mp4), Red);
  EXPECT_LT(mp4.bytesRead, 1000u);

  const uint32_t tagSize = 20 * MiB;
  SparseSource flac(10 + tagSize + 4000);
  flac.Put(0, Join({Text("ID3"), {4, 0, 0}, Synchsafe(tagSize), ApicRed}));
  flac.Put(10 + tagSize, FlacFile({FlacBlock(6, FlacPictureBody(3, Green))}));
  EXPECT_EQ(FindEmbeddedPicture(flac), Green);
  EXPECT_LT(flac.bytesRead, 2000u);

  // A tag of MaxReadBytes is read, one a byte larger is not.
  for (const uint32_t size : {uint32_t{MaxReadBytes}, uint32_t{MaxReadBytes + 1}}) {
    SparseSource mp3(10 + size + 100);
    mp3.Put(0, Join({Text("ID3"), {3, 0, 0}, Synchsafe(size), ApicRed}));
    EXPECT_EQ(FindEmbeddedPicture(mp3).has_value(), size == MaxReadBytes) << size;
  }
  // FLAC's picture blocks together are read up to MaxReadBytes: a front cover behind 9 MiB of
  // other picture is not.
  const Bytes other = FlacPictureBody(0, Red);
  const uint32_t otherSize = 9 * MiB;
  SparseSource twoBlocks(4 + 2 * (4 + otherSize));
  twoBlocks.Put(0, Join({Text("fLaC"), {6}, BigEndian(otherSize, 3), other}));
  twoBlocks.Put(8 + otherSize,
                Join({BigEndian(0x86000000 | otherSize, 4), FlacPictureBody(3, Green)}));
  EXPECT_EQ(FindEmbeddedPicture(twoBlocks), Red);
}

// The size a picture declares, what its decode would hold (nullopt: refused, size unknown), and
// whether that fits the budget of 64 MiB.
TEST(PictureSize, IsReadFromTheHeaderAndHeldToTheBudget) {
  const Bytes png = PngHeader(300, 200, 8, 2);
  const Bytes jpeg = JpegHeader(300, 200, 3);
  const Bytes tables = {0xFF, 0xD8, 0xFF, 0xC4, 0, 3, 0, 0xFF, 0xFF, 0xD0};  // and fill bytes
  const struct {
    const char* name;
    Bytes bytes;
    std::optional<uint64_t> decoded;
  } cases[] = {
      {"PNG RGB", png, 180000},
      {"PNG grey, 64 MiB", PngHeader(8192, 8192, 8, 0), 8192 * 8192ull},
      {"PNG grey, a row more", PngHeader(8192, 8193, 8, 0), 8192 * 8193ull},
      {"PNG 16-bit RGBA", PngHeader(5800, 5800, 16, 6), 5800 * 5800 * 8ull},
      {"PNG of the largest size", PngHeader(0x7FFFFFFF, 0x7FFFFFFF, 16, 6), UINT64_MAX},
      {"PNG grey and alpha", PngHeader(10, 10, 16, 4), 400},
      {"PNG 1-bit palette", PngHeader(10, 10, 1, 3), 100},
      {"PNG colour type 5", PngHeader(10, 10, 8, 5), std::nullopt},
      {"PNG of no width", PngHeader(0, 10, 8, 2), std::nullopt},
      {"PNG without IHDR first", Join({Bytes(png.begin(), png.begin() + 12), Text("gAMA")}),
       std::nullopt},
      {"JPEG", jpeg, 180000},
      {"JPEG 4000 square", JpegHeader(4000, 4000, 3), 48000000},
      {"JPEG says 65500 square", JpegHeader(65500, 65500, 3), 65500ull * 65500 * 3},
      {"JPEG progressive grey", JpegHeader(100, 100, 1, 0xC2), 30000},
      {"JPEG 12-bit", JpegHeader(100, 100, 3, 0xC1, 12), 60000},
      {"JPEG, tables and fill bytes first", Join({tables, Bytes(jpeg.begin() + 2, jpeg.end())}),
       180000},
      {"JPEG of no height", JpegHeader(100, 0, 3), std::nullopt},
      {"JPEG, a scan before the frame", Join({{0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, jpeg}), std::nullopt},
      {"JPEG cut short", Bytes(jpeg.begin(), jpeg.end() - 9), std::nullopt},
      {"GIF", GifFile(300, 200, GifImage(300, 200)), 120000},
      {"GIF, each frame counted", GifFile(10, 10, Join({GifImage(10, 10), GifImage(20, 5)})), 300},
      {"BMP", BmpHeader(100, -50, 24), 15000},
      {"BMP RLE8", BmpHeader(100, 50, 8, 1), 20000},
      {"BMP holding a JPEG", BmpHeader(100, 50, 0, 4), std::nullopt},
      {"TIFF", Join({Text("II*"), Bytes(20, 0)}), std::nullopt},
      {"no bytes", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto size = ReadPictureSize(c.bytes);
    EXPECT_EQ(size ? std::optional(size->decodedBytes) : std::nullopt, c.decoded) << c.name;
    EXPECT_EQ(FitsDecodeBudget(c.bytes), c.decoded && *c.decoded <= 64 * MiB) << c.name;
  }
}

TEST(DecodeBase64, TakesTheStandardAlphabetWithOrWithoutPadding) {
  EXPECT_EQ(DecodeBase64("QUJD"), Text("ABC"));
  EXPECT_EQ(DecodeBase64("QUI="), Text("AB"));
  EXPECT_EQ(DecodeBase64("QUI"), Text("AB"));
  EXPECT_EQ(DecodeBase64("QQ=="), Text("A"));
  EXPECT_EQ(DecodeBase64("+/+/"), (Bytes{0xFB, 0xFF, 0xBF}));
  EXPECT_EQ(DecodeBase64(""), Bytes{});
  for (const char* bad : {"Q", "QUJDQ", "QU JD", "QU=D", "QUJD\n", "-_-_", "Q===="}) {
    EXPECT_EQ(DecodeBase64(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace tokalux::testing
