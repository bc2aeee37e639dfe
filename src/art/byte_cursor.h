// A read position in a tag already in memory. Every take checks the bytes are there; a short one
// marks the cursor failed for good, takes nothing and leaves the rest of a parse reading zeros
// and empty spans, so a parser checks ok() once where it matters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "art/byte_source.h"

namespace tokalux {

class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }

  std::span<const uint8_t> Take(uint64_t count) {
    if (!ok_ || count > remaining()) {
      ok_ = false;
      pos_ = bytes_.size();
      return {};
    }
    const auto taken = bytes_.subspan(pos_, static_cast<std::size_t>(count));
    pos_ += static_cast<std::size_t>(count);
    return taken;
  }
  void Skip(uint64_t count) { Take(count); }
  std::span<const uint8_t> Rest() { return Take(remaining()); }

  uint8_t Byte() {
    const auto b = Take(1);
    return b.empty() ? 0 : b[0];
  }
  uint32_t BigEndian32() {
    const auto b = Take(4);
    return b.empty() ? 0 : tokalux::BigEndian32(b);
  }
  uint32_t LittleEndian32() {
    const auto b = Take(4);
    return b.empty() ? 0 : tokalux::LittleEndian32(b);
  }

  // Moves past the first run of unitSize zero bytes that starts a multiple of unitSize bytes
  // from here (a text's terminator in one- or two-byte units).
  void SkipTerminated(std::size_t unitSize) {
    for (std::size_t i = pos_; ok_ && i + unitSize <= bytes_.size(); i += unitSize) {
      bool zero = true;
      for (std::size_t k = 0; k < unitSize; ++k) zero = zero && bytes_[i + k] == 0;
      if (zero) {
        pos_ = i + unitSize;
        return;
      }
    }
    Take(remaining() + 1);  // no terminator: fail
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace tokalux
