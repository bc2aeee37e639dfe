// The bytes of a music or picture file, read by offset, so the picture readers never hold a whole
// file: an MP4's cover may stand behind gigabytes of audio. The bytes are untrusted; the readers
// check every size against Size() and read at most MaxReadBytes at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tokalux {

// The most the readers take from a file: at most this much of one tag (the ID3v2 tag, a FLAC
// metadata block, an Ogg comment packet) and a picture of at most this size.
inline constexpr uint64_t MaxReadBytes = 16 * 1024 * 1024;

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The source's length in bytes.
  virtual uint64_t Size() const = 0;
  // Fills out with the bytes at offset; false when they are not all there (past the end, a read
  // error, a read given up). The caller keeps offset + out.size() within Size().
  virtual bool Read(uint64_t offset, std::span<uint8_t> out) = 0;
};

// Bytes held in memory (the unit tests, the fuzzer). They must outlive the source.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override;

 private:
  std::span<const uint8_t> bytes_;
};

// count bytes at offset, or nullopt when they do not all lie within the source, when count is
// more than MaxReadBytes, or when the read fails.
std::optional<std::vector<uint8_t>> ReadAt(ByteSource& source, uint64_t offset, uint64_t count);

// Whether count bytes at offset lie within a source of the given size (no overflow).
constexpr bool FitsIn(uint64_t size, uint64_t offset, uint64_t count) {
  return offset <= size && count <= size - offset;
}

// Big- and little-endian numbers at the start of bytes, which the caller has checked are long
// enough.
uint32_t BigEndian32(std::span<const uint8_t> bytes);
uint32_t BigEndian24(std::span<const uint8_t> bytes);
uint64_t BigEndian64(std::span<const uint8_t> bytes);
uint32_t LittleEndian32(std::span<const uint8_t> bytes);

}  // namespace tokalux
