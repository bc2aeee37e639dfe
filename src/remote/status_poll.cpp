#include "remote/status_poll.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "remote/control_ids.h"
#include "remote/number_text.h"
#include "remote/volume_scale.h"
#include "player/player_messages.h"

namespace tokalux {
namespace {

// "mm:ss" of a time in whole seconds, at least 0; minutes are not limited to two digits.
std::wstring TimeText(int32_t seconds) {
  return TwoDigits(std::to_wstring(seconds / 60)) + L":" + TwoDigits(std::to_wstring(seconds % 60));
}

// The list length and position are 16-bit and never wrap: nothing when the value does not fit.
std::optional<int16_t> ToInt16(int32_t value) {
  if (!std::in_range<int16_t>(value)) return std::nullopt;
  return static_cast<int16_t>(value);
}

// What the total shows while the player does not know the length.
constexpr const wchar_t* UnknownLengthText = L"--:--";

}  // namespace

PlayerStatus AskPlayer(PlayerLink& player, const PollBasis& basis) {
  int16_t listLength = basis.listLength;
  int16_t listPosition = basis.listPosition;
  PlayerStatus status;
  status.playPosition = player.SendRequest(RequestPlayTime, 0);
  status.trackLength = player.SendRequest(RequestPlayTime, 1);
  status.songTitle = player.ReadSongTitle();
  for (int32_t which = 0; which < 3; ++which) {
    status.stream[which] = player.SendRequest(RequestStreamInfo, which);
  }
  status.volume = player.SendRequest(RequestGetVolume, VolumeQueryArgument);

  // An answer that does not fit in 16 bits keeps the value of the previous poll. The position
  // then still gets its +1, on the kept value; at 32767 the +1 does not fit and is skipped, so
  // the position stays 32767. No answer keeps the previous values as they are.
  if (const auto length = player.SendRequest(RequestListLength, 0)) {
    if (const auto fits = ToInt16(*length)) listLength = *fits;
  }
  if (const auto position = player.SendRequest(RequestListPosition, 0)) {
    if (const auto fits = ToInt16(*position)) listPosition = *fits;
    if (const auto next = ToInt16(listPosition + 1)) listPosition = *next;
  }
  status.listLength = listLength;
  status.listPosition = listPosition;
  status.playState = player.SendRequest(RequestPlayState, 0);
  const bool inList = listPosition >= 1 && listPosition <= listLength;
  status.pathEntry = inList ? listPosition : int16_t{0};
  if (basis.pathEntry != status.pathEntry || basis.pathSongTitle != status.songTitle) {
    status.entryPath = inList ? player.ReadEntryPath(listPosition) : std::wstring();
  }

  status.range = ComputePlaylistWindow(listLength, listPosition);
  status.titles = ReadRangeTitles(status.range, player);
  return status;
}

StatusPoll::Job StatusPoll::NextJob() const {
  const PollBasis basis{shared_.listLength, shared_.listPosition, pathEntry_, pathSongTitle_};
  return [basis](PlayerLink& link) { return AskPlayer(link, basis); };
}

void StatusPoll::Tick(const Submit& submit, std::chrono::milliseconds bound) {
  if (!pending_.valid()) {
    clicksAtHandover_ = shared_.clicks;
    pending_ = submit(NextJob());
  }
  if (pending_.wait_for(bound) != std::future_status::ready) return;
  Show(pending_.get());
}

StatusPoll::Submit AskAtOnce(PlayerLink& player) {
  return [&player](const StatusPoll::Job& job) {
    std::promise<PlayerStatus> status;
    status.set_value(job(player));
    return status.get_future();
  };
}

void StatusPoll::Show(const PlayerStatus& status) {
  const bool clickedSince = shared_.clicks != clicksAtHandover_;
  if (status.playPosition) elapsedMs_ = status.playPosition;
  if (status.trackLength) lengthS_ = status.trackLength;
  const bool lengthKnown = lengthS_ && *lengthS_ >= 0;
  const int32_t seconds = elapsedMs_ ? std::max(*elapsedMs_ / 1000, 0) : 0;
  if (!shared_.seekInProgress && !clickedSince && elapsedMs_ && lengthS_) {
    // A setting the slider refuses leaves it as it was; the other one still runs.
    screen_.SetSeekMaximum(lengthKnown ? *lengthS_ : 0);
    screen_.SetSeekValue(lengthKnown ? seconds : 0);
  }
  if (elapsedMs_) screen_.SetCaption(ControlId::lblTime, TimeText(seconds));
  if (lengthS_) {
    screen_.SetCaption(ControlId::lblTimegesamt,
                       lengthKnown ? TimeText(*lengthS_) : UnknownLengthText);
  }
  screen_.SetCaption(ControlId::lblSongName, status.songTitle);
  const int streamLabels[] = {ControlId::lblSample, ControlId::lblBitrate, ControlId::lblChannels};
  for (std::size_t which = 0; which < status.stream.size(); ++which) {
    if (status.stream[which]) {
      screen_.SetCaption(streamLabels[which], std::to_wstring(*status.stream[which]));
    }
  }
  // A volume outside 0..255 leaves the slider where it is.
  const auto volumePosition = status.volume ? PositionForVolume(*status.volume) : std::nullopt;
  if (!clickedSince) {
    if (volumePosition && !shared_.volumeInProgress) screen_.SetVolumePosition(*volumePosition);
    if (status.playState) shared_.playState = PlayStateFromAnswer(*status.playState);
    shared_.listLength = status.listLength;
    shared_.listPosition = status.listPosition;
  }
  screen_.SetCaption(ControlId::lbltrackvontracks,
                     L"Track " + std::to_wstring(status.listPosition) + L" of " +
                         std::to_wstring(status.listLength));

  // A title the player did not give keeps the one the last range showed for that entry.
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
  currentLine_ = FillPlaylistLines(status.range, status.listPosition, shown, screen_);

  if (status.entryPath) {
    pathEntry_ = status.pathEntry;
    pathSongTitle_ = status.songTitle;
    if (status.entryPath != entryPath_) {
      entryPath_ = status.entryPath;
      if (onEntryPath) onEntryPath(*entryPath_);
    }
  }
}

}  // namespace tokalux
