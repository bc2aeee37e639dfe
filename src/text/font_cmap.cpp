#include "text/font_cmap.h"

#include <algorithm>
#include <cstdint>

namespace tokalux {
namespace {

constexpr char32_t LastCodePoint = 0x10FFFF;

// Big-endian reads that answer nothing past the end of the bytes.
struct Bytes {
  std::string_view data;

  std::optional<uint32_t> Read(std::size_t offset, std::size_t size) const {
    if (offset > data.size() || size > data.size() - offset) return std::nullopt;
    uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
      value = (value << 8) | static_cast<uint8_t>(data[offset + i]);
    }
    return value;
  }
  std::optional<uint32_t> U16(std::size_t offset) const { return Read(offset, 2); }
  std::optional<uint32_t> U32(std::size_t offset) const { return Read(offset, 4); }
};

// Format 12: groups of consecutive characters mapped to consecutive glyphs.
std::optional<CharacterSet> ReadFormat12(Bytes table) {
  const auto groups = table.U32(12);
  if (!groups || *groups > (table.data.size() - 16) / 12) return std::nullopt;
  std::vector<CharacterSet::Range> ranges;
  for (std::size_t g = 0; g < *groups; ++g) {
    const std::size_t at = 16 + g * 12;
    auto first = *table.U32(at);
    const auto last = std::min<uint32_t>(*table.U32(at + 4), LastCodePoint);
    if (first > LastCodePoint) continue;
    if (*table.U32(at + 8) == 0) ++first;  // its first character maps to the missing glyph
    if (first <= last) ranges.emplace_back(first, last);
  }
  return CharacterSet(std::move(ranges));
}

// Format 4: segments of the basic plane, mapped by a delta or through an array of glyphs.
std::optional<CharacterSet> ReadFormat4(Bytes table) {
  const auto segCountX2 = table.U16(6);
  if (!segCountX2 || *segCountX2 == 0 || *segCountX2 % 2 != 0) return std::nullopt;
  const std::size_t segments = *segCountX2 / 2;
  const std::size_t ends = 14;
  const std::size_t starts = ends + 2 * segments + 2;
  const std::size_t deltas = starts + 2 * segments;
  const std::size_t rangeOffsets = deltas + 2 * segments;
  if (!table.U16(rangeOffsets + 2 * segments - 2)) return std::nullopt;

  std::vector<CharacterSet::Range> ranges;
  uint32_t next = 0;  // segments ascend: one that reaches back is read from here on only
  for (std::size_t s = 0; s < segments; ++s) {
    const uint32_t segmentStart = *table.U16(starts + 2 * s);
    const uint32_t start = std::max(segmentStart, next);
    const uint32_t end = *table.U16(ends + 2 * s);
    if (end >= next) next = end + 1;
    const uint32_t delta = *table.U16(deltas + 2 * s);
    const std::size_t offsetAt = rangeOffsets + 2 * s;
    const uint32_t rangeOffset = *table.U16(offsetAt);
    for (uint32_t c = start; c <= end && c != 0xFFFF; ++c) {
      uint32_t glyph = 0;
      if (rangeOffset == 0) {
        glyph = (c + delta) & 0xFFFF;
      } else if (const auto raw = table.U16(offsetAt + rangeOffset + 2 * (c - segmentStart))) {
        glyph = *raw == 0 ? 0 : (*raw + delta) & 0xFFFF;
      }
      if (glyph == 0) continue;
      if (!ranges.empty() && ranges.back().second + 1 == c) {
        ranges.back().second = c;
      } else {
        ranges.emplace_back(c, c);
      }
    }
  }
  return CharacterSet(std::move(ranges));
}

}  // namespace

CharacterSet::CharacterSet(std::vector<Range> ranges) {
  std::sort(ranges.begin(), ranges.end());
  for (const Range& range : ranges) {
    if (range.first > range.second) continue;
    if (!ranges_.empty() && range.first <= ranges_.back().second + 1) {
      ranges_.back().second = std::max(ranges_.back().second, range.second);
    } else {
      ranges_.push_back(range);
    }
  }
}

bool CharacterSet::Contains(char32_t c) const {
  const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), c,
                                      [](char32_t v, const Range& r) { return v < r.first; });
  return after != ranges_.begin() && c <= (after - 1)->second;
}

std::optional<CharacterSet> ReadCmap(std::string_view data) {
  const Bytes table{data};
  const auto count = table.U16(2);
  if (!count) return std::nullopt;
  // The best subtable: Windows' full Unicode (3, 10) or Unicode's full repertoire (0, 4 and up)
  // in format 12, else Windows' basic plane (3, 1) or Unicode's (0, 0..3) in format 4.
  std::optional<std::size_t> full;
  std::optional<std::size_t> basic;
  for (std::size_t i = 0; i < *count; ++i) {
    const auto platform = table.U16(4 + 8 * i);
    const auto encoding = table.U16(6 + 8 * i);
    const auto offset = table.U32(8 + 8 * i);
    if (!platform || !encoding || !offset) return std::nullopt;
    const auto format = table.U16(*offset);
    if (!format) continue;
    const bool unicode = *platform == 0 || (*platform == 3 && (*encoding == 1 || *encoding == 10));
    if (unicode && *format == 12 && !full) full = *offset;
    if (unicode && *format == 4 && !basic) basic = *offset;
  }
  if (full) {
    if (auto set = ReadFormat12(Bytes{data.substr(*full)})) return set;
  }
  if (basic) return ReadFormat4(Bytes{data.substr(*basic)});
  return std::nullopt;
}

}  // namespace tokalux
