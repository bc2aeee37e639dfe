#include "remote/status_poll.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "remote/number_text.h"
#include "remote/playlist_lines.h"
#include "remote/volume_scale.h"

namespace tokalux {
namespace {

// "mm:ss" of a time in whole seconds, at least 0; minutes are not limited to two digits.
std::wstring TimeText(int32_t seconds) {
  return TwoDigits(std::to_wstring(seconds / 60)) + L":" + TwoDigits(std::to_wstring(seconds % 60));
}

// What the total shows while the source does not know the length.
constexpr const wchar_t* UnknownLengthText = L"--:--";

}  // namespace

void StatusPoll::Tick(std::chrono::milliseconds bound) {
  if (!pending_.valid()) {
    clicksAtHandover_ = shared_.clicks;
    pending_ = source_.Poll({shared_.listLength, shared_.listPosition});
  }
  if (pending_.wait_for(bound) != std::future_status::ready) return;
  Show(pending_.get());
}

void StatusPoll::Show(const Status& status) {
  const bool clickedSince = shared_.clicks != clicksAtHandover_;
  if (status.elapsedMs) elapsedMs_ = status.elapsedMs;
  if (status.lengthS) lengthS_ = status.lengthS;
  const bool lengthKnown = lengthS_ && *lengthS_ >= 0;
  const int32_t seconds = elapsedMs_ ? std::max(*elapsedMs_ / 1000, 0) : 0;
  if (!shared_.seekInProgress && !clickedSince && elapsedMs_ && lengthS_) {
    // A setting the slider refuses leaves it as it was; the other one still runs.
    screen_.SetSeekMaximum(lengthKnown ? *lengthS_ : 0);
    screen_.SetSeekValue(lengthKnown ? seconds : 0);
  }
  if (elapsedMs_) screen_.SetElapsed(TimeText(seconds));
  if (lengthS_) screen_.SetTotal(lengthKnown ? TimeText(*lengthS_) : UnknownLengthText);
  if (status.songTitle) screen_.SetSongTitle(*status.songTitle);
  for (std::size_t which = 0; which < status.stream.size(); ++which) {
    if (status.stream[which]) {
      screen_.SetStreamDetail(static_cast<StreamDetail>(which), *status.stream[which]);
    }
  }
  // A volume outside 0..255 leaves the slider where it is.
  const auto volumePosition = status.volume ? PositionForVolume(*status.volume) : std::nullopt;
  if (!clickedSince) {
    if (volumePosition && !shared_.volumeInProgress) screen_.SetVolumePosition(*volumePosition);
    if (status.playState) shared_.playState = *status.playState;
    shared_.listLength = status.list.length;
    shared_.listPosition = status.list.position;
  }
  screen_.SetTrackCounter(status.trackText ? *status.trackText
                                           : L"Track " + std::to_wstring(status.list.position) +
                                                 L" of " + std::to_wstring(status.list.length));
  shared_.accepted = status.accepted;
  screen_.SetAccepted(status.accepted);

  shared_.sourceLines = status.sourceLines.has_value();
  if (status.sourceLines) {
    ShowSourceLines(*status.sourceLines);
  } else {
    ShowPlaylist(status);
  }

  if (status.entryPath && status.entryPath != entryPath_) {
    entryPath_ = status.entryPath;
    if (onEntryPath) onEntryPath(*entryPath_, status.pictureBytes);
  }
}

void StatusPoll::ShowSourceLines(const SourceLines& sources) {
  // More sources than lines: the window around the shown one, as for a playlist.
  const auto count = static_cast<int16_t>(std::min<std::size_t>(
      sources.names.size(), std::size_t{std::numeric_limits<int16_t>::max()}));
  const auto shown = static_cast<int16_t>(
      std::min<std::size_t>(sources.shown + 1, std::size_t{std::numeric_limits<int16_t>::max()}));
  const PlaylistRange range = ComputePlaylistWindow(count, shown);
  std::vector<std::wstring> names;
  for (int32_t entry = range.first; entry <= range.last; ++entry) {
    names.push_back(sources.names[static_cast<std::size_t>(entry - 1)]);
  }
  FillPlaylistLines(range, shown, names, screen_);
}

void StatusPoll::ShowPlaylist(const Status& status) {
  // A title the source did not give keeps the one the last range showed for that entry.
  std::map<int32_t, std::wstring> titles;
  std::vector<std::wstring> shown;
  for (std::size_t i = 0; i < status.titles.size(); ++i) {
    const int32_t entry = status.range.first + static_cast<int32_t>(i);
    const auto kept = titles_.find(entry);
    std::wstring title = status.titles[i]        ? *status.titles[i]
                         : kept != titles_.end() ? kept->second
                                                 : std::wstring();
    titles[entry] = title;
    shown.push_back(std::move(title));
  }
  titles_ = std::move(titles);
  FillPlaylistLines(status.range, status.list.position, shown, screen_);
}

}  // namespace tokalux
