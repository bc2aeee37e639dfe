// The fifteen playlist lines around the current entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "remote/status_screen.h"

namespace tokalux {

// The playlist window: the entries on the lines, by the 1-based entry numbers shown on the first
// line and on the last line filled; no line is filled when first > last.
struct PlaylistRange {
  int32_t first = 1;
  int32_t last = 0;
};

// The range for a playlist of length entries whose current entry is position (1-based): the
// current entry on the middle line, except near either end, where the range stops at the first
// or the last entry.
PlaylistRange ComputePlaylistWindow(int16_t length, int16_t position);

// Writes "<number> . <title>" on the lines of the range, the line of the current entry marked
// current; titles[i] belongs to entry range.first + i (a missing title shows as empty). Lines
// past the last one filled are cleared (empty, not current), so nothing of an earlier, longer
// playlist stays on screen.
void FillPlaylistLines(const PlaylistRange& range, int16_t position,
                       const std::vector<std::wstring>& titles, StatusScreen& screen);

}  // namespace tokalux
