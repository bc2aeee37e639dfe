#include "display/playlist_window.h"

#include <string>

#include "display/carry_on.h"
#include "display/control_ids.h"
#include "display/number_text.h"

namespace tokalux {

PlaylistWindow ComputePlaylistWindow(int16_t length, int16_t position) {
  // Half the window on either side of the current entry: (15 - 1) / 2 = 7, a whole number.
  constexpr int32_t half = (PlaylistWindowSize - 1) / 2;
  const int32_t size = PlaylistWindowSize;
  PlaylistWindow window{position - half, half + position};
  // The tests look only at the position and the length, and a later rule overrides an earlier.
  if (half >= position) window = {1, size};
  if (half + position > length) {
    CarryOn([&] { window.first = CheckedInt16(int32_t{length} - size + 1); });
    window.last = length;
  }
  if (length < size) window = {1, length};
  return window;
}

int FillPlaylistLines(const PlaylistWindow& window, int16_t position, PlayerLink& player,
                      StatusScreen& screen) {
  int line = 1;
  int current_line = 0;
  for (int32_t entry = window.first; entry <= window.last && line <= ControlId::PlaylistLineCount;
       ++entry, ++line) {
    const int id = ControlId::lblplaylist(line);
    const bool is_current = entry == position;
    if (is_current) current_line = line;
    CarryOn([&] {
      screen.SetCaption(id, DecimalText(entry) + L" . " + player.ReadPlaylistTitle(entry));
    });
    CarryOn([&] { screen.SetTextColour(id, is_current ? ColourRed : ColourGreen); });
  }
  for (; line <= ControlId::PlaylistLineCount; ++line) {
    const int id = ControlId::lblplaylist(line);
    CarryOn([&] { screen.SetCaption(id, L""); });
    CarryOn([&] { screen.SetTextColour(id, ColourGreen); });
  }
  return current_line;
}

}  // namespace tokalux
