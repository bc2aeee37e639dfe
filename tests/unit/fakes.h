// Small fakes of the player and the screen for the status display's tests.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "remote/colours.h"
#include "remote/control_ids.h"
#include "remote/status_poll.h"
#include "remote/status_screen.h"
#include "player/player_link.h"
#include "player/player_messages.h"

namespace tokalux::testing {

class FakePlayer final : public PlayerLink {
 public:
  // Answers by (request number, argument); anything not set answers 0, like a vanished player.
  std::map<std::pair<int32_t, int32_t>, int32_t> answers;
  // Requests (by number) and titles and paths (by entry) the player does not answer; stalled, it
  // answers none of them.
  std::set<int32_t> silentRequests;
  std::set<int32_t> silentTitles;
  bool stalled = false;
  std::map<int32_t, std::wstring> titles;  // by 1-based entry number
  std::map<int32_t, std::wstring> paths;   // likewise; an entry without one has none
  std::wstring songTitle;
  std::vector<std::string> sent;  // "command 40045", "request 121 5"
  std::vector<int32_t> titleReads;
  std::vector<int32_t> pathReads;

  void Set(int32_t number, int32_t argument, int32_t answer) {
    answers[{number, argument}] = answer;
  }
  void SetPlaylist(int32_t length, int32_t zeroBasedPosition) {
    Set(RequestListLength, 0, length);
    Set(RequestListPosition, 0, zeroBasedPosition);
  }

  void SendCommand(int32_t identifier) override {
    sent.push_back("command " + std::to_string(identifier));
  }
  void SendSetting(int32_t number, int32_t argument) override {
    sent.push_back("setting " + std::to_string(number) + " " + std::to_string(argument));
  }
  std::optional<int32_t> SendRequest(int32_t number, int32_t argument) override {
    sent.push_back("request " + std::to_string(number) + " " + std::to_string(argument));
    if (stalled || silentRequests.contains(number)) return std::nullopt;
    const auto it = answers.find({number, argument});
    return it == answers.end() ? 0 : it->second;
  }
  std::wstring ReadSongTitle() override { return songTitle; }
  std::optional<std::wstring> ReadPlaylistTitle(int32_t n) override {
    titleReads.push_back(n);
    if (stalled || silentTitles.contains(n)) return std::nullopt;
    const auto it = titles.find(n);
    return it == titles.end() ? L"Title " + std::to_wstring(n) : it->second;
  }
  std::optional<std::wstring> ReadEntryPath(int32_t n) override {
    pathReads.push_back(n);
    if (stalled || silentTitles.contains(n)) return std::nullopt;
    const auto it = paths.find(n);
    return it == paths.end() ? std::wstring() : it->second;
  }
};

class FakeScreen final : public StatusScreen {
 public:
  std::map<int, std::wstring> captions;
  std::map<int, uint32_t> colours;
  int32_t seekMaximum = 10;
  int32_t seekValue = 0;
  std::optional<int32_t> volumePosition;  // never set until a poll sets it
  int captionWrites = 0;

  FakeScreen() {
    for (int i = 1; i <= ControlId::PlaylistLineCount; ++i)
      colours[ControlId::lblplaylist(i)] = ColourGreen;
  }

  void SetCaption(int id, std::wstring_view caption) override {
    ++captionWrites;
    captions[id] = std::wstring(caption);
  }
  std::wstring Caption(int id) const override {
    const auto it = captions.find(id);
    return it == captions.end() ? std::wstring() : it->second;
  }
  void SetTextColour(int id, uint32_t colour) override { colours[id] = colour; }
  // Like the trackbar: a maximum below the minimum 0, or a value outside the range, is refused.
  bool SetSeekMaximum(int32_t maximum) override {
    if (maximum < 0) return false;
    seekMaximum = maximum;
    return true;
  }
  void SetVolumePosition(int32_t position) override { volumePosition = position; }
  bool SetSeekValue(int32_t value) override {
    if (value < 0 || value > seekMaximum) return false;
    seekValue = value;
    return true;
  }

  std::wstring Line(int i) const { return Caption(ControlId::lblplaylist(i)); }
  uint32_t LineColour(int i) const { return colours.at(ControlId::lblplaylist(i)); }
  // The lines shown red, by index.
  std::vector<int> RedLines() const {
    std::vector<int> red;
    for (int i = 1; i <= ControlId::PlaylistLineCount; ++i) {
      if (LineColour(i) == ColourRed) red.push_back(i);
    }
    return red;
  }
};

// One whole poll, handed over and shown as the screen saver does, asked at once on this thread.
inline void PollOnce(StatusPoll& poll, PlayerLink& player) {
  poll.Tick(AskAtOnce(player), std::chrono::milliseconds(0));
}

}  // namespace tokalux::testing
