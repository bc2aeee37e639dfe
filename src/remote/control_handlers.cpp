#include "remote/control_handlers.h"

#include <utility>

#include "remote/volume_scale.h"

namespace tokalux {
namespace {

// The media keys' app commands and the buttons they stand for; play/pause is OnMediaKey's.
constexpr int AppCommandPlayPause = 14;
struct MediaKeyButton {
  int appCommand;
  ActionKind action;
};
constexpr MediaKeyButton MediaKeyButtons[] = {
    {11, ActionKind::Next}, {12, ActionKind::Previous}, {13, ActionKind::Stop},
    {46, ActionKind::Play}, {47, ActionKind::Pause},
};

}  // namespace

void ControlHandlers::OnButton(ActionKind action) {
  if (action == ActionKind::Play) {
    // Play with nothing in the list opens the player's modal file dialog, on its own desktop
    // behind the screen saver, where nobody sees it.
    if (HasPlaylist() && shared_.listLength <= 0) return;
    shared_.playState = PlayState::Playing;
  }
  if (action == ActionKind::Stop) shared_.playState = PlayState::Stopped;
  if (action == ActionKind::Pause) {
    // The player's Pause toggles; stopped, it does nothing.
    if (shared_.playState == PlayState::Playing) {
      shared_.playState = PlayState::Paused;
    } else if (shared_.playState == PlayState::Paused) {
      shared_.playState = PlayState::Playing;
    }
  }
  Ask(action);
}

void ControlHandlers::OnPlaylistButton(PlaylistButton button) {
  // An empty playlist has nowhere to jump but its beginning: the others ask nothing.
  if (const auto index = PlaylistButtonIndex(button, shared_.listLength, shared_.listPosition)) {
    JumpTo(*index);
  }
}

void ControlHandlers::Ask(ActionKind kind, int32_t argument) {
  if (!source_.Do({kind, argument})) return;
  ++shared_.clicks;
  if (onAsked) onAsked();
}

void ControlHandlers::JumpTo(int32_t index) {
  Ask(ActionKind::JumpTo, index);
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
  if (moved) Ask(ActionKind::SeekTo, seconds);
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
  Ask(ActionKind::VolumeTo, VolumeForPosition(position));
}

void ControlHandlers::OnPlaylistLineClick(std::wstring_view caption) {
  const auto index = PlaylistLineIndex(caption);
  if (shared_.sourceLines) {
    // The lines list the sources: the one clicked is shown and controlled from now on.
    if (index) Ask(ActionKind::ShowSource, *index);
    return;
  }
  // A line may still show an entry of a list the player has emptied since: Play there would
  // open the player's file dialog, as the Play button would.
  if (!index || shared_.listLength <= 0) return;
  // The player's Play resumes a paused song rather than the one at the new list position: a
  // paused player is stopped first, so the clicked entry is the one that plays.
  if (shared_.playState == PlayState::Paused) Ask(ActionKind::Stop);
  JumpTo(*index);
  Ask(ActionKind::Play);
  shared_.playState = PlayState::Playing;
}

void ControlHandlers::OnTrackCounterClick() {
  Ask(ActionKind::ListSources);
}

bool ControlHandlers::HasPlaylist() const {
  return (shared_.accepted & ActionBit(ActionKind::JumpTo)) != 0;
}

bool ControlHandlers::OnMediaKey(int appCommand) {
  if (appCommand == AppCommandPlayPause) {
    // Pause is the player's toggle: while it plays it pauses, and a state the last poll could not
    // tell is left to the player. Paused or stopped, Play resumes or starts.
    const bool toPlay =
        shared_.playState == PlayState::Paused || shared_.playState == PlayState::Stopped;
    OnButton(toPlay ? ActionKind::Play : ActionKind::Pause);
    return true;
  }
  for (const MediaKeyButton& key : MediaKeyButtons) {
    if (key.appCommand == appCommand) {
      OnButton(key.action);
      return true;
    }
  }
  return false;
}

}  // namespace tokalux
