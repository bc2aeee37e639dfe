// The once-a-second status poll: hands a poll to the source and writes the status it comes back
// with on the screen. The source answers wherever it reaches its player (the classic player on
// the player thread); Show runs on the user-interface thread, which owns the screen and the
// shared values. The screen saver, the tests and the benchmark all poll through Tick.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "remote/shared_values.h"
#include "remote/source.h"
#include "remote/status.h"
#include "remote/status_screen.h"

namespace tokalux {

class StatusPoll {
 public:
  // How long the user-interface thread waits for a poll before it goes on without it. The poll
  // stays handed over, and is shown at a later tick when it comes.
  static constexpr std::chrono::milliseconds HandOffBound{400};

  StatusPoll(Source& source, StatusScreen& screen, SharedValues& shared)
      : source_(source), screen_(screen), shared_(shared) {}

  // One tick: hands the next poll to the source, going by the list values shown now, unless the
  // last one handed over has not come back yet (no second poll queues behind a late one); waits
  // up to bound for it, and shows it if it came.
  void Tick(std::chrono::milliseconds bound);

  // Writes a status on the screen (leaving a slider alone while the user holds it) and stores the
  // list length and position and the play state for the controls. A poll handed over before a
  // click since leaves alone what clicks set: the play state, the list values and both sliders;
  // the next poll shows them as the source answers. What the source did not answer keeps its last
  // answered value: the times, both sliders, the stream details, the volume, the play state, the
  // list values (the source hands back the ones it was given) and each playlist line's title. A
  // length the source does not know (negative: a stream, nothing loaded) shows as "--:--" with the
  // seek slider at 0 of 0; a negative elapsed time shows as "00:00". The lines list the sources
  // when the status has them, else the playlist; the track counter is the source's own text, else
  // counts the playlist. The controls follow what the source takes now.
  void Show(const Status& status);

  // Called with the current entry's file path whenever a poll learns a path other than the one
  // before (empty: no entry, or none readable); with the picture's bytes when the source handed
  // them over itself (the path is then their name), else null.
  std::function<void(const std::wstring& path,
                     const std::shared_ptr<const std::vector<uint8_t>>& bytes)>
      onEntryPath;

 private:
  // The lines: the sources to choose from, or the playlist's titles in the range.
  void ShowSourceLines(const SourceLines& sources);
  void ShowPlaylist(const Status& status);

  Source& source_;
  StatusScreen& screen_;
  SharedValues& shared_;
  std::future<Status> pending_;
  uint32_t clicksAtHandover_ = 0;  // SharedValues::clicks when pending_ was handed over
  std::optional<int32_t> elapsedMs_;
  std::optional<int32_t> lengthS_;
  std::map<int32_t, std::wstring> titles_;  // the last range's titles, by entry number
  std::optional<std::wstring> entryPath_;   // the last path answered
};

}  // namespace tokalux
