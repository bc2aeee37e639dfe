#include "remote/control_handlers.h"

#include <array>
#include <utility>

#include "remote/click_arithmetic.h"
#include "remote/control_ids.h"
#include "remote/volume_scale.h"
#include "player/player_messages.h"

namespace tokalux {
namespace {

struct ButtonCommand {
  int control;
  int32_t command;
};

constexpr std::array<ButtonCommand, 9> ButtonCommands{{
    {ControlId::cmdPrev, CommandPrevious},
    {ControlId::cmdFRW, CommandBack5s},
    {ControlId::cmdPlay, CommandPlay},
    {ControlId::cmdPause, CommandPause},
    {ControlId::cmdStop, CommandStop},
    {ControlId::cmdFFW, CommandForward5s},
    {ControlId::cmdNext, CommandNext},
    {ControlId::cmdVolIncr, CommandVolumeUp},
    {ControlId::cmdVolDecr, CommandVolumeDown},
}};

constexpr std::array<int, 5> PlaylistButtons{ControlId::cmdPLStart, ControlId::cmdPLm10,
                                             ControlId::cmdPLMitte, ControlId::cmdPLp10,
                                             ControlId::cmdPLEnd};

}  // namespace

bool ControlHandlers::OnButtonClick(int controlId) {
  for (const ButtonCommand& entry : ButtonCommands) {
    if (entry.control != controlId) continue;
    if (entry.command == CommandPlay) {
      // Play with nothing in the list opens the player's modal file dialog, on its own desktop
      // behind the screen saver, where nobody sees it.
      if (shared_.listLength <= 0) return true;
      shared_.playState = PlayState::Playing;
    }
    if (entry.command == CommandStop) shared_.playState = PlayState::Stopped;
    if (entry.command == CommandPause) {
      // The player's Pause toggles; stopped, it does nothing.
      if (shared_.playState == PlayState::Playing) {
        shared_.playState = PlayState::Paused;
      } else if (shared_.playState == PlayState::Paused) {
        shared_.playState = PlayState::Playing;
      }
    }
    Command(entry.command);
    return true;
  }
  for (const int button : PlaylistButtons) {
    if (button == controlId) {
      // An empty playlist has nowhere to jump but its beginning: the others send nothing.
      const auto index = PlaylistButtonIndex(controlId, shared_.listLength, shared_.listPosition);
      if (index) JumpTo(*index);
      return true;
    }
  }
  return false;
}

void ControlHandlers::Command(int32_t identifier) {
  player_.SendCommand(identifier);
  ++shared_.clicks;
}

void ControlHandlers::Setting(int32_t number, int32_t argument) {
  player_.SendSetting(number, argument);
  ++shared_.clicks;
}

void ControlHandlers::JumpTo(int32_t index) {
  Setting(RequestSetListPosition, index);
  // The next jump counts from here, as the player will, even before a poll has seen it.
  if (std::in_range<int16_t>(index + int64_t{1})) {
    shared_.listPosition = static_cast<int16_t>(index + 1);
  }
}

void ControlHandlers::OnSeekPress(int32_t seconds) {
  shared_.seekInProgress = true;
  seekPressSeconds_ = seconds;
  seekMoved_ = false;
}

void ControlHandlers::OnSeekScroll(int32_t seconds) {
  if (shared_.seekInProgress && seconds != seekPressSeconds_) seekMoved_ = true;
}

void ControlHandlers::OnSeekRelease(int32_t seconds) {
  const bool moved = shared_.seekInProgress && (seekMoved_ || seconds != seekPressSeconds_);
  if (moved) {
    if (const auto ms = SeekMilliseconds(seconds)) Setting(RequestSeek, *ms);
  }
  shared_.seekInProgress = false;
  seekMoved_ = false;
}

void ControlHandlers::OnSeekCancelled() {
  shared_.seekInProgress = false;
}

void ControlHandlers::OnVolumeHeld(bool held) {
  shared_.volumeInProgress = held;
}

void ControlHandlers::OnVolumeScroll(int32_t position) {
  Setting(RequestSetVolume, VolumeForPosition(position));
}

void ControlHandlers::OnPlaylistLineClick(std::wstring_view caption) {
  const auto index = PlaylistLineIndex(caption);
  // A line may still show an entry of a list the player has emptied since: Play there would
  // open the player's file dialog, as the Play button would.
  if (!index || shared_.listLength <= 0) return;
  // The player's Play resumes a paused song rather than the one at the new list position: a
  // paused player is stopped first, so the clicked entry is the one that plays.
  if (shared_.playState == PlayState::Paused) Command(CommandStop);
  JumpTo(*index);
  Command(CommandPlay);
  shared_.playState = PlayState::Playing;
}

}  // namespace tokalux
