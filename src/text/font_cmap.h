// The characters a font has glyphs for, read from its character-to-glyph table ('cmap', as the
// system hands it over). The bytes come from whatever font is installed, so every read is bounded.
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tokalux {

class CharacterSet {
 public:
  using Range = std::pair<char32_t, char32_t>;  // first and last, inclusive

  CharacterSet() = default;
  // Any ranges, in any order, overlapping or not.
  explicit CharacterSet(std::vector<Range> ranges);

  bool Contains(char32_t c) const;
  // Sorted, apart and not touching.
  const std::vector<Range>& ranges() const { return ranges_; }

 private:
  std::vector<Range> ranges_;
};

// The characters of the table's best Unicode subtable: format 12 (all planes) where there is one,
// else format 4 (the basic plane); characters mapped to glyph 0 (the missing glyph) are left out.
// Nothing when the table has no readable Unicode subtable (a symbol font, or broken bytes).
std::optional<CharacterSet> ReadCmap(std::string_view table);

}  // namespace tokalux
