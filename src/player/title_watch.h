// Whether the player's song title has changed since it was read last: the title is read from the
// caption several times a second (and by every poll), and only another title counts. A caption
// that scrolls, or that gains or loses " [Paused]", keeps its title (SongTitleFromCaption).
#pragma once

#include <optional>
#include <string>

namespace tokalux {

class TitleWatch {
 public:
  // Takes the title just read; whether it is another than the one read before. The first read
  // has nothing to compare with and counts as no change.
  bool Read(const std::wstring& title) {
    const bool changed = last_ && *last_ != title;
    last_ = title;
    return changed;
  }

 private:
  std::optional<std::wstring> last_;
};

}  // namespace tokalux
