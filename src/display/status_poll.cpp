#include "display/status_poll.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "display/control_ids.h"
#include "display/number_text.h"
#include "display/volume_scale.h"
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

PlayerStatus AskPlayer(PlayerLink& player, int16_t listLength, int16_t listPosition) {
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
  // the position stays 32767.
  if (const auto length = ToInt16(player.SendRequest(RequestListLength, 0))) listLength = *length;
  if (const auto position = ToInt16(player.SendRequest(RequestListPosition, 0))) {
    listPosition = *position;
  }
  if (const auto next = ToInt16(listPosition + 1)) listPosition = *next;
  status.listLength = listLength;
  status.listPosition = listPosition;
  status.playState = player.SendRequest(RequestPlayState, 0);

  status.window = ComputePlaylistWindow(listLength, listPosition);
  status.titles = ReadWindowTitles(status.window, player);
  return status;
}

int ShowStatus(const PlayerStatus& status, StatusScreen& screen, SharedValues& shared) {
  const bool lengthKnown = status.trackLength >= 0;
  const int32_t seconds = std::max(status.playPosition / 1000, 0);
  if (!shared.seekInProgress) {
    // A setting the slider refuses leaves it as it was; the other one still runs.
    screen.SetSeekMaximum(lengthKnown ? status.trackLength : 0);
    screen.SetSeekValue(lengthKnown ? seconds : 0);
  }
  screen.SetCaption(ControlId::lblTime, TimeText(seconds));
  screen.SetCaption(ControlId::lblTimegesamt,
                    lengthKnown ? TimeText(status.trackLength) : UnknownLengthText);
  screen.SetCaption(ControlId::lblSongName, status.songTitle);
  const int streamLabels[] = {ControlId::lblSample, ControlId::lblBitrate, ControlId::lblChannels};
  for (std::size_t which = 0; which < status.stream.size(); ++which) {
    screen.SetCaption(streamLabels[which], std::to_wstring(status.stream[which]));
  }
  // A volume outside 0..255 leaves the slider where it is.
  const auto volumePosition = PositionForVolume(status.volume);
  if (volumePosition && !shared.volumeInProgress) screen.SetVolumePosition(*volumePosition);

  shared.listLength = status.listLength;
  shared.listPosition = status.listPosition;
  shared.playState = PlayStateFromAnswer(status.playState);
  screen.SetCaption(ControlId::lbltrackvontracks, L"Track " + std::to_wstring(status.listPosition) +
                                                      L" of " + std::to_wstring(status.listLength));
  return FillPlaylistLines(status.window, status.listPosition, status.titles, screen);
}

}  // namespace tokalux
