// The demo player's model and its answers: a playlist, a clock, a volume, and how each player
// message changes them (the tables below), and the control commands (demo_control.cpp). Plain
// C++ so it is tested natively; the Win32 shell (main.cpp) only feeds it messages and shows the
// result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "demo_playlist.h"
#include "title_store.h"

namespace tokalux::demo {

enum class PlayState { Playing, Paused, Stopped };

inline constexpr int32_t MaxHangMs = 600'000;
inline constexpr int32_t MaxVolume = 255;
inline constexpr int32_t VolumeStep = 4;
inline constexpr int64_t SkipMs = 5'000;
// A scrolling caption moves on by one character this often.
inline constexpr int64_t ScrollStepMs = 200;
// The caption with nothing loaded: the player's name and version.
inline constexpr const char* IdleCaption = "Winamp 5.92";

// What a window message argument carries: its low 32 bits as a signed number (a sign-extended
// WPARAM of -1 and a zero-extended 0xFFFFFFFF are both -1).
inline int32_t LowSigned32(uint64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFF'FFFFu));
}

// Control commands that the window, not the state, carries out.
// HangAtNextMessage: the hang starts when the next command or request arrives, before it is
// answered, so its sender is the one kept waiting.
enum class ShellAction { None, Hang, HangAtNextMessage, Vanish, Die, ClearLog };

struct ControlOutcome {
  bool accepted = false;
  ShellAction action = ShellAction::None;
  int32_t hangMs = 0;
};

// What a command did beyond the state: Play on an empty list opens the real player's modal
// "Open file(s)" dialog, which the demo player only reports.
enum class CommandOutcome { Done, FileDialog };

class DemoState;

// One row of the demo player's answers: the request, its wParam (nullopt: any), what it answers
// in words (the README's table says the same), and the answer with its effect.
struct RequestRow {
  int32_t number;
  std::optional<int32_t> argument;
  std::string_view answers;
  int64_t (*answer)(DemoState& state, int32_t argument);
};

// One row of the commands: identifier, what it does in words, and the doing.
struct CommandRow {
  int32_t identifier;
  std::string_view does;
  CommandOutcome (*run)(DemoState& state);
};

class DemoState {
 public:
  // Starts with an empty playlist, playing, volume 200, the clock running. The entries' titles
  // and file paths are kept in the two stores.
  DemoState(TitleStore& titles, TitleStore& paths) : titles_(titles), paths_(paths) {}

  // The answers to every request and command the player knows, as the README lists them.
  static std::span<const RequestRow> Requests();
  static std::span<const CommandRow> Commands();

  // Replaces the playlist; list position and loaded entry 0, elapsed 0, play state kept (an empty
  // list stops). False when a title could not be stored (that entry then has no title address).
  bool SetPlaylist(std::vector<Entry> entries);

  // Moves the clock on by ms: a scrolling caption moves on, and while playing (and the clock is
  // not frozen) the elapsed time. At the end of a track play goes on with the entry after the
  // list position; after the last entry the player stops.
  void AdvanceClock(int64_t ms);

  // A command message (WM_COMMAND identifier); unknown identifiers are ignored.
  CommandOutcome Command(int32_t identifier);

  // A request message: its side effect and its answer (see Requests(); UnknownRequestAnswer for
  // a request the player does not know), unless an answer override or random answers replace it.
  int64_t Request(int32_t number, int32_t argument);

  // A control command; see demo_protocol.h. Malformed commands change nothing.
  ControlOutcome Control(std::string_view command);

  // The caption, as the player writes it: "<n>. <title> - Winamp", then " [Paused]" or
  // " [Stopped]" in those states (n and title of the loaded entry, or while stopped of the entry
  // at the list position); IdleCaption with an empty playlist; the fixed caption when one is set.
  // Scrolling, the caption and the scroll joint " *** " turned left by one character a step.
  std::u16string Caption() const;
  // The same caption as an old player shows it: in the ANSI code page, with the entries' ANSI
  // titles.
  std::string AnsiCaption() const;
  // Changes whenever Caption() may have changed.
  uint64_t captionRevision() const { return captionRevision_; }

  const std::vector<Entry>& playlist() const { return entries_; }
  // The list position (request 125, moved by request 121), and the entry the player has loaded:
  // playing, paused, or the last one that played. They differ after a jump that played nothing.
  std::size_t position() const { return position_; }
  std::size_t loaded() const { return loaded_; }
  // The entry the player shows: the loaded one, or while stopped the one at the list position;
  // nullptr with an empty playlist.
  const Entry* shownEntry() const;
  PlayState state() const { return state_; }
  int64_t elapsedMs() const { return elapsedMs_; }
  int32_t volume() const { return volume_; }
  bool clockRunning() const { return clockRunning_; }
  // An old player: no UTF-16 titles, an ANSI caption.
  bool oldPlayer() const { return oldPlayer_; }
  // The caption scrolls.
  bool scrolling() const { return scrolling_; }
  // How long the player waits before it answers each command and request (0: not at all).
  int32_t slowMs() const { return slowMs_; }

 private:
  // The unrotated caption built from the entry's title in either form.
  template <typename Text>
  Text CaptionFor(const Text& title, const Text& idle) const;
  template <typename Text>
  Text Scrolled(Text caption) const;

  int64_t LoadedLengthMs() const;
  bool Started() const { return state_ != PlayState::Stopped && !entries_.empty(); }
  bool IsStream() const;
  void Move(std::size_t position);
  // The entry at the list position starts from 0:00 in the given state.
  void Load(PlayState state);
  void Seek(int64_t ms);
  CommandOutcome Step(int direction);
  bool SetTitle(std::size_t index, std::u16string text, std::string ansi, TitlePlacement placement);
  bool SetPath(std::size_t index, std::u16string path);
  bool LoadPlaylistFile(std::string_view path);
  ControlOutcome SetAnswer(std::string_view arguments);
  // The address in the store of entry `argument`'s text; 0 outside the list.
  int64_t AddressIn(const TitleStore& store, int32_t argument, bool utf16) const;

  TitleStore& titles_;
  TitleStore& paths_;
  std::vector<Entry> entries_;
  std::size_t position_ = 0;
  std::size_t loaded_ = 0;
  PlayState state_ = PlayState::Playing;
  int64_t elapsedMs_ = 0;
  int32_t volume_ = 200;
  bool clockRunning_ = true;
  std::optional<std::u16string> fixedCaption_;
  bool oldPlayer_ = false;
  bool scrolling_ = false;
  int64_t scrollMs_ = 0;  // time scrolled: the caption has moved on scrollMs_ / ScrollStepMs
  int32_t slowMs_ = 0;
  uint64_t captionRevision_ = 0;

  // Answers set by control commands: for one argument, and for any argument of a request.
  std::map<std::pair<int32_t, int32_t>, int64_t> answers_;
  std::map<int32_t, int64_t> answersAny_;
  bool random_ = false;
  std::mt19937 randomEngine_;
};

}  // namespace tokalux::demo
