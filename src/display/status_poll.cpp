#include "display/status_poll.h"

#include <string>

#include "display/carry_on.h"
#include "display/control_ids.h"
#include "display/number_text.h"
#include "display/playlist_window.h"
#include "player/player_messages.h"

namespace tokalux {
namespace {

// "mm:ss" of a time in whole seconds; minutes are not limited to two digits, and a negative
// remainder keeps its sign (so -1 s shows as "00:-1").
std::wstring TimeText(int32_t seconds) {
  return TwoDigits(DecimalText(TruncDiv(seconds, 60))) + L":" +
         TwoDigits(DecimalText(TruncRem(seconds, 60)));
}

}  // namespace

void StatusPoll::Tick() {
  int32_t playPosition = 0;
  int32_t trackLength = 0;
  CarryOn([&] { playPosition = player_.SendRequest(RequestPlayTime, 0); });
  CarryOn([&] { trackLength = player_.SendRequest(RequestPlayTime, 1); });
  if (!shared_.seekInProgress) {
    // A setting the slider refuses leaves it as it was; the other one still runs.
    CarryOn([&] { screen_.SetSeekMaximum(trackLength); });
    CarryOn([&] { screen_.SetSeekValue(TruncDiv(playPosition, 1000)); });
  }
  playPosition = TruncDiv(playPosition, 1000);
  CarryOn([&] { screen_.SetCaption(ControlId::lblTime, TimeText(playPosition)); });
  CarryOn([&] { screen_.SetCaption(ControlId::lblTimegesamt, TimeText(trackLength)); });
  CarryOn([&] { screen_.SetCaption(ControlId::lblSongName, player_.ReadSongTitle()); });

  const int stream_labels[] = {ControlId::lblSample, ControlId::lblBitrate, ControlId::lblChannels};
  for (int32_t which = 0; which < 3; ++which) {
    CarryOn([&] {
      screen_.SetCaption(stream_labels[which],
                         DecimalText(player_.SendRequest(RequestStreamInfo, which)));
    });
  }

  // An answer that does not fit in 16 bits leaves the value of the previous poll in place.
  CarryOn([&] { shared_.listLength = CheckedInt16(player_.SendRequest(RequestListLength, 0)); });
  CarryOn(
      [&] { shared_.listPosition = CheckedInt16(player_.SendRequest(RequestListPosition, 0)); });
  CarryOn([&] { shared_.listPosition = CheckedInt16(int32_t{shared_.listPosition} + 1); });

  const int16_t length = shared_.listLength;
  const int16_t position = shared_.listPosition;
  const PlaylistWindow window = ComputePlaylistWindow(length, position);
  CarryOn([&] {
    screen_.SetCaption(ControlId::lbltrackvontracks,
                       L"Track " + DecimalText(position) + L" of " + DecimalText(length));
  });
  currentLine_ = FillPlaylistLines(window, position, player_, screen_);
}

}  // namespace tokalux
