#include "remote/playlist_lines.h"

#include <string>

namespace tokalux {

PlaylistRange ComputePlaylistWindow(int16_t length, int16_t position) {
  constexpr int32_t size = PlaylistLineCount;
  // Half the range on either side of the current entry: (15 - 1) / 2 = 7, a whole number.
  constexpr int32_t half = (size - 1) / 2;
  PlaylistRange range{position - half, half + position};
  // The tests look only at the position and the length, and a later rule overrides an earlier.
  // The range at the end starts at length - 14, which would leave 16 bits only for a length
  // below -32754: the last rule overrides it there anyway.
  if (half >= position) range = {1, size};
  if (half + position > length) range = {length - size + 1, length};
  if (length < size) range = {1, length};
  return range;
}

void FillPlaylistLines(const PlaylistRange& range, int16_t position,
                       const std::vector<std::wstring>& titles, StatusScreen& screen) {
  int line = 1;
  for (int32_t entry = range.first; entry <= range.last && line <= PlaylistLineCount;
       ++entry, ++line) {
    std::wstring caption = std::to_wstring(entry) + L" . ";
    if (static_cast<std::size_t>(line) <= titles.size()) caption += titles[line - 1];
    screen.SetPlaylistLine(line, caption, entry == position);
  }
  for (; line <= PlaylistLineCount; ++line) screen.SetPlaylistLine(line, L"", false);
}

}  // namespace tokalux
