#include "player/player_source.h"

#include <limits>
#include <utility>

#include "player/player_messages.h"
#include "remote/playlist_lines.h"

namespace tokalux {
namespace {

// The list length and position are 16-bit and never wrap: nothing when the value does not fit.
std::optional<int16_t> ToInt16(int32_t value) {
  if (!std::in_range<int16_t>(value)) return std::nullopt;
  return static_cast<int16_t>(value);
}

// The command each action without an argument sends.
struct ActionCommand {
  ActionKind action;
  int32_t command;
};
constexpr ActionCommand ActionCommands[] = {
    {ActionKind::Play, CommandPlay},
    {ActionKind::Pause, CommandPause},
    {ActionKind::Stop, CommandStop},
    {ActionKind::Next, CommandNext},
    {ActionKind::Previous, CommandPrevious},
    {ActionKind::Back5s, CommandBack5s},
    {ActionKind::Forward5s, CommandForward5s},
    {ActionKind::VolumeUp, CommandVolumeUp},
    {ActionKind::VolumeDown, CommandVolumeDown},
};

// The classic player takes every action but the choice of a source, which is not its own.
constexpr ActionSet PlayerActions =
    AllActions & ~ActionBit(ActionKind::ShowSource) & ~ActionBit(ActionKind::ListSources);

}  // namespace

Status AskPlayer(PlayerLink& player, PollBasis& basis) {
  ListPlace list = basis.list;
  Status status;
  status.present = player.IsThere();
  status.accepted = PlayerActions;
  status.elapsedMs = player.SendRequest(RequestPlayTime, 0);
  status.lengthS = player.SendRequest(RequestPlayTime, 1);
  status.songTitle = player.ReadSongTitle();
  for (int32_t which = 0; which < 3; ++which) {
    if (const auto detail = player.SendRequest(RequestStreamInfo, which)) {
      status.stream[static_cast<std::size_t>(which)] = std::to_wstring(*detail);
    }
  }
  status.volume = player.SendRequest(RequestGetVolume, VolumeQueryArgument);

  // An answer that does not fit in 16 bits keeps the value of the previous poll. The position
  // then still gets its +1, on the kept value; at 32767 the +1 does not fit and is skipped, so
  // the position stays 32767. No answer keeps the previous values as they are.
  if (const auto length = player.SendRequest(RequestListLength, 0)) {
    if (const auto fits = ToInt16(*length)) list.length = *fits;
  }
  if (const auto position = player.SendRequest(RequestListPosition, 0)) {
    if (const auto fits = ToInt16(*position)) list.position = *fits;
    if (const auto next = ToInt16(list.position + 1)) list.position = *next;
  }
  status.list = list;
  if (const auto state = player.SendRequest(RequestPlayState, 0)) {
    status.playState = PlayStateFromAnswer(*state);
  }
  const bool inList = list.position >= 1 && list.position <= list.length;
  const int16_t pathEntry = inList ? list.position : int16_t{0};
  if (basis.pathEntry != pathEntry || basis.pathSongTitle != status.songTitle) {
    status.entryPath = inList ? player.ReadEntryPath(list.position) : std::wstring();
    if (status.entryPath) {
      basis.pathEntry = pathEntry;
      basis.pathSongTitle = *status.songTitle;
    }
  }

  status.range = ComputePlaylistWindow(list.length, list.position);
  for (int32_t entry = status.range.first;
       entry <= status.range.last && status.titles.size() < std::size_t{PlaylistLineCount};
       ++entry) {
    status.titles.push_back(player.ReadPlaylistTitle(entry));
  }
  return status;
}

PlayState PlayStateFromAnswer(int32_t answer) {
  switch (answer) {
    case 0:
      return PlayState::Stopped;
    case 1:
      return PlayState::Playing;
    case 3:
      return PlayState::Paused;
    default:
      return PlayState::Unknown;
  }
}

std::optional<int32_t> SeekMilliseconds(int32_t seconds) {
  const int64_t ms = int64_t{seconds} * 1000;
  if (ms < std::numeric_limits<int32_t>::min() || ms > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(ms);
}

bool SendAction(PlayerControl& player, const Action& action) {
  for (const ActionCommand& entry : ActionCommands) {
    if (entry.action == action.kind) {
      player.SendCommand(entry.command);
      return true;
    }
  }
  switch (action.kind) {
    case ActionKind::SeekTo:
      if (const auto ms = SeekMilliseconds(action.argument)) {
        player.SendSetting(RequestSeek, *ms);
        return true;
      }
      return false;
    case ActionKind::VolumeTo:
      player.SendSetting(RequestSetVolume, action.argument);
      return true;
    case ActionKind::JumpTo:
      player.SendSetting(RequestSetListPosition, action.argument);
      return true;
    default:
      return false;
  }
}

bool PlayerSource::Do(const Action& action) {
  return SendAction(queue_, action);
}

std::future<Status> PlayerSource::Poll(ListPlace shown) {
  return queue_.Submit<Status>([basis = basis_, shown](PlayerLink& link) {
    basis->list = shown;
    return AskPlayer(link, *basis);
  });
}

}  // namespace tokalux
