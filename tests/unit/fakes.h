// Small fakes for the remote control's tests: a source and a screen that speak in meanings, and a
// classic player that answers by message number.
#pragma once

#include <array>
#include <cstdint>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "player/player_link.h"
#include "player/player_messages.h"
#include "player/player_source.h"
#include "remote/source.h"
#include "remote/status.h"
#include "remote/status_poll.h"
#include "remote/status_screen.h"

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
  std::vector<std::string> sent;  // "command 40045", "setting 121 5", "request 124 0"
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

class FakeSource final : public Source {
 public:
  Status status;                 // what each poll answers
  std::set<ActionKind> refused;  // actions it cannot take
  std::vector<Action> actions;   // the actions it took, in order
  std::vector<ListPlace> polls;  // what each poll handed over went by
  // Set, the next poll's status comes only when the test sets it here.
  std::optional<std::promise<Status>> late;

  bool Do(const Action& action) override {
    if (refused.contains(action.kind)) return false;
    actions.push_back(action);
    return true;
  }
  std::future<Status> Poll(ListPlace shown) override {
    polls.push_back(shown);
    if (late) return late->get_future();
    std::promise<Status> now;
    now.set_value(status);
    return now.get_future();
  }
};

class FakeScreen final : public StatusScreen {
 public:
  // nullopt: never written.
  std::optional<std::wstring> elapsed;
  std::optional<std::wstring> total;
  std::optional<std::wstring> songTitle;
  std::optional<std::wstring> trackCounter;
  std::array<std::optional<std::wstring>, StreamDetailCount> stream;
  std::array<std::wstring, PlaylistLineCount> lines;  // lines[0] is line 1
  std::array<bool, PlaylistLineCount> current{};
  int32_t seekMaximum = 10;
  int32_t seekValue = 0;
  std::optional<int32_t> volumePosition;
  ActionSet accepted = AllActions;

  void SetElapsed(std::wstring_view text) override { elapsed = text; }
  void SetTotal(std::wstring_view text) override { total = text; }
  void SetSongTitle(std::wstring_view text) override { songTitle = text; }
  void SetTrackCounter(std::wstring_view text) override { trackCounter = text; }
  void SetStreamDetail(StreamDetail detail, std::wstring_view text) override {
    stream[static_cast<std::size_t>(detail)] = text;
  }
  void SetPlaylistLine(int line, std::wstring_view caption, bool isCurrent) override {
    lines.at(static_cast<std::size_t>(line - 1)) = caption;
    current.at(static_cast<std::size_t>(line - 1)) = isCurrent;
  }
  // Like the trackbar: a maximum below the minimum 0, or a value outside the range, is refused.
  bool SetSeekMaximum(int32_t maximum) override {
    if (maximum < 0) return false;
    seekMaximum = maximum;
    return true;
  }
  bool SetSeekValue(int32_t value) override {
    if (value < 0 || value > seekMaximum) return false;
    seekValue = value;
    return true;
  }
  void SetVolumePosition(int32_t position) override { volumePosition = position; }
  void SetAccepted(ActionSet taken) override { accepted = taken; }

  const std::wstring& Line(int i) const { return lines.at(static_cast<std::size_t>(i - 1)); }
  // The lines shown as current, by number.
  std::vector<int> CurrentLines() const {
    std::vector<int> marked;
    for (int i = 1; i <= PlaylistLineCount; ++i) {
      if (current[static_cast<std::size_t>(i - 1)]) marked.push_back(i);
    }
    return marked;
  }
  // Every text on the screen, so a test can see that a poll changed none or wrote each afresh.
  std::vector<std::optional<std::wstring>> Texts() const {
    std::vector<std::optional<std::wstring>> texts = {elapsed, total, songTitle, trackCounter};
    texts.insert(texts.end(), stream.begin(), stream.end());
    texts.insert(texts.end(), lines.begin(), lines.end());
    return texts;
  }
  void SetEveryText(const std::wstring& text) {
    elapsed = total = songTitle = trackCounter = text;
    stream.fill(text);
    lines.fill(text);
  }
};

// Both halves of the poll: the classic player's source over a fake player, shown on a fake screen.
struct PlayerOnScreen {
  FakePlayer player;
  LinkAtOnce queue{player};
  PlayerSource source{queue};
  FakeScreen screen;
  SharedValues shared;
  StatusPoll poll{source, screen, shared};
};

}  // namespace tokalux::testing
