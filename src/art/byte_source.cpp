#include "art/byte_source.h"

#include <cstring>

namespace tokalux {

bool MemorySource::Read(uint64_t offset, std::span<uint8_t> out) {
  if (!FitsIn(bytes_.size(), offset, out.size())) return false;
  if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

std::optional<std::vector<uint8_t>> ReadAt(ByteSource& source, uint64_t offset, uint64_t count) {
  if (count > MaxReadBytes || !FitsIn(source.Size(), offset, count)) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<std::size_t>(count));
  if (!source.Read(offset, bytes)) return std::nullopt;
  return bytes;
}

uint32_t BigEndian32(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

uint32_t BigEndian24(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
}

uint64_t BigEndian64(std::span<const uint8_t> bytes) {
  return uint64_t{BigEndian32(bytes)} << 32 | BigEndian32(bytes.subspan(4));
}

uint32_t LittleEndian32(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[3]} << 24 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[1]} << 8 | bytes[0];
}

}  // namespace tokalux
