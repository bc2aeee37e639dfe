#include "demo_state.h"

#include <algorithm>
#include <iterator>

#include "demo_protocol.h"
#include "demo_text.h"
#include "player/player_messages.h"

namespace tokalux::demo {

std::span<const RequestRow> DemoState::Requests() {
  // clang-format off
  // The requests the player knows, one row each, as the README's table lists them. A request it
  // does not know answers UnknownRequestAnswer.
  static constexpr RequestRow table[] = {
    {RequestPlayState, std::nullopt, "1 playing, 3 paused, 0 stopped",
     [](DemoState& s, int32_t) -> int64_t {
       return s.state() == PlayState::Playing ? 1 : s.state() == PlayState::Paused ? 3 : 0; }},
    {RequestPlayTime, 0, "elapsed ms of the loaded entry; -1 when stopped or the list is empty",
     [](DemoState& s, int32_t) -> int64_t { return s.Started() ? s.elapsedMs_ : -1; }},
    {RequestPlayTime, 1, "length of the loaded entry in s, -1 for a stream; -1 when stopped or the list is empty",
     [](DemoState& s, int32_t) -> int64_t { return s.Started() ? s.entries_[s.loaded_].lengthS : -1; }},
    {RequestSeek, std::nullopt, "seeks the loaded entry there (within its length) and answers 0; -1 when stopped, empty or a stream",
     [](DemoState& s, int32_t ms) -> int64_t {
       if (!s.Started() || s.IsStream()) return -1;
       s.Seek(ms);
       return 0; }},
    {RequestSetListPosition, std::nullopt, "moves the list position to that entry (ignored outside the list) and answers 0; playback is left alone",
     [](DemoState& s, int32_t index) -> int64_t {
       if (index >= 0 && static_cast<std::size_t>(index) < s.entries_.size()) s.Move(static_cast<std::size_t>(index));
       return 0; }},
    {RequestSetVolume, VolumeQueryArgument, "the volume 0..255, changing nothing",
     [](DemoState& s, int32_t) -> int64_t { return s.volume_; }},
    {RequestSetVolume, std::nullopt, "sets the volume (cut to 0..255) and answers 0",
     [](DemoState& s, int32_t volume) -> int64_t { s.volume_ = std::clamp(volume, 0, MaxVolume); return 0; }},
    {RequestListLength, std::nullopt, "the number of entries",
     [](DemoState& s, int32_t) -> int64_t { return static_cast<int64_t>(s.entries_.size()); }},
    {RequestListPosition, std::nullopt, "the 0-based list position (0 for an empty list)",
     [](DemoState& s, int32_t) -> int64_t { return static_cast<int64_t>(s.position_); }},
    {RequestStreamInfo, 0, "sample rate of the loaded entry in whole kHz (44 for 44.1 kHz), kept after Stop; 0 for an empty list",
     [](DemoState& s, int32_t) -> int64_t { return s.entries_.empty() ? 0 : s.entries_[s.loaded_].stream.sampleRateKhz; }},
    {RequestStreamInfo, 1, "bit rate of the loaded entry in kbps, kept after Stop; 0 for an empty list",
     [](DemoState& s, int32_t) -> int64_t { return s.entries_.empty() ? 0 : s.entries_[s.loaded_].stream.bitRateKbps; }},
    {RequestStreamInfo, 2, "channels of the loaded entry, kept after Stop; 0 for an empty list",
     [](DemoState& s, int32_t) -> int64_t { return s.entries_.empty() ? 0 : s.entries_[s.loaded_].stream.channels; }},
    {RequestEntryTitleAddress, std::nullopt, "address of the entry's title, zero-terminated ANSI bytes below 2 GiB; 0 outside the list",
     [](DemoState& s, int32_t index) -> int64_t { return s.AddressIn(s.titles_, index, false); }},
    {RequestEntryTitleAddressUtf16, std::nullopt, "address of the entry's title, zero-terminated UTF-16 below 2 GiB; 0 outside the list; an old player does not know it",
     [](DemoState& s, int32_t index) -> int64_t {
       return s.oldPlayer_ ? UnknownRequestAnswer : s.AddressIn(s.titles_, index, true); }},
    {RequestEntryPathAddress, std::nullopt, "address of the entry's file path, zero-terminated ANSI bytes below 2 GiB; 0 outside the list",
     [](DemoState& s, int32_t index) -> int64_t { return s.AddressIn(s.paths_, index, false); }},
    {RequestEntryPathAddressUtf16, std::nullopt, "address of the entry's file path, zero-terminated UTF-16 below 2 GiB; 0 outside the list; an old player does not know it",
     [](DemoState& s, int32_t index) -> int64_t {
       return s.oldPlayer_ ? UnknownRequestAnswer : s.AddressIn(s.paths_, index, true); }},
  };
  // clang-format on
  return table;
}

std::span<const CommandRow> DemoState::Commands() {
  // clang-format off
  // The commands, one row each. Previous and Next stop at the first and the last entry.
  static constexpr CommandRow table[] = {
    {CommandPrevious, "list position one back (not before the first); playing or paused, that entry is loaded from 0:00", [](DemoState& s) { return s.Step(-1); }},
    {CommandPlay, "paused: resumes the loaded entry; playing or stopped: plays the entry at the list position from 0:00; an empty list: the \"Open file(s)\" dialog", [](DemoState& s) {
       if (s.entries_.empty()) return CommandOutcome::FileDialog;
       if (s.state_ == PlayState::Paused) {
         s.state_ = PlayState::Playing;
         ++s.captionRevision_;
       } else {
         s.Load(PlayState::Playing);
       }
       return CommandOutcome::Done; }},
    {CommandPause, "playing: pauses; paused: plays on; stopped: nothing", [](DemoState& s) {
       if (s.state_ != PlayState::Stopped) {
         s.state_ = s.state_ == PlayState::Playing ? PlayState::Paused : PlayState::Playing;
         ++s.captionRevision_;
       }
       return CommandOutcome::Done; }},
    {CommandStop, "stops; the elapsed time goes, the stream details stay", [](DemoState& s) {
       s.state_ = PlayState::Stopped;
       s.elapsedMs_ = 0;
       ++s.captionRevision_;
       return CommandOutcome::Done; }},
    {CommandNext, "list position one on (not past the last); playing or paused, that entry is loaded from 0:00", [](DemoState& s) { return s.Step(1); }},
    {CommandVolumeUp, "volume up by 4 (at most 255)", [](DemoState& s) {
       s.volume_ = std::min(s.volume_ + VolumeStep, MaxVolume);
       return CommandOutcome::Done; }},
    {CommandVolumeDown, "volume down by 4 (at least 0)", [](DemoState& s) {
       s.volume_ = std::max(s.volume_ - VolumeStep, 0);
       return CommandOutcome::Done; }},
    {CommandBack5s, "5 s back in the loaded entry (not before 0:00); nothing while stopped or on a stream", [](DemoState& s) {
       if (s.Started() && !s.IsStream()) s.Seek(s.elapsedMs_ - SkipMs);
       return CommandOutcome::Done; }},
    {CommandForward5s, "5 s on in the loaded entry (not past its end); nothing while stopped or on a stream", [](DemoState& s) {
       if (s.Started() && !s.IsStream()) s.Seek(s.elapsedMs_ + SkipMs);
       return CommandOutcome::Done; }},
  };
  // clang-format on
  return table;
}

const Entry* DemoState::shownEntry() const {
  if (entries_.empty()) return nullptr;
  return &entries_[state_ == PlayState::Stopped ? position_ : loaded_];
}

int64_t DemoState::LoadedLengthMs() const {
  return entries_.empty() ? 0 : int64_t{entries_[loaded_].lengthS} * 1000;
}

bool DemoState::IsStream() const {
  return !entries_.empty() && entries_[loaded_].lengthS == StreamLengthS;
}

void DemoState::Move(std::size_t position) {
  position_ = position;
  ++captionRevision_;
}

void DemoState::Load(PlayState state) {
  loaded_ = position_;
  state_ = state;
  elapsedMs_ = 0;
  ++captionRevision_;
}

void DemoState::Seek(int64_t ms) {
  elapsedMs_ = std::clamp<int64_t>(ms, 0, LoadedLengthMs());
}

CommandOutcome DemoState::Step(int direction) {
  if (entries_.empty()) return CommandOutcome::Done;
  if (direction < 0 && position_ > 0) Move(position_ - 1);
  if (direction > 0 && position_ + 1 < entries_.size()) Move(position_ + 1);
  if (state_ != PlayState::Stopped) Load(state_);
  return CommandOutcome::Done;
}

int64_t DemoState::AddressIn(const TitleStore& store, int32_t argument, bool utf16) const {
  if (argument < 0 || static_cast<std::size_t>(argument) >= entries_.size()) return 0;
  const auto index = static_cast<std::size_t>(argument);
  return static_cast<int64_t>(utf16 ? store.Utf16Address(index) : store.Address(index));
}

bool DemoState::SetPlaylist(std::vector<Entry> entries) {
  entries_ = std::move(entries);
  position_ = 0;
  loaded_ = 0;
  elapsedMs_ = 0;
  if (entries_.empty()) state_ = PlayState::Stopped;
  ++captionRevision_;
  titles_.Clear();
  paths_.Clear();
  bool stored = true;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& entry = entries_[i];
    entry.ansiTitle = titles_.ToAnsi(entry.title);
    entry.ansiPath = paths_.ToAnsi(entry.path);
    stored = titles_.Store(i, entry.ansiTitle, entry.title, TitlePlacement::Packed) && stored;
    stored = paths_.Store(i, entry.ansiPath, entry.path, TitlePlacement::Packed) && stored;
  }
  return stored;
}

bool DemoState::SetPath(std::size_t index, std::u16string path) {
  std::string ansi = paths_.ToAnsi(path);
  if (!paths_.Store(index, ansi, path, TitlePlacement::Packed)) return false;
  entries_[index].path = std::move(path);
  entries_[index].ansiPath = std::move(ansi);
  return true;
}

bool DemoState::SetTitle(std::size_t index, std::u16string text, std::string ansi,
                         TitlePlacement placement) {
  if (!titles_.Store(index, ansi, text, placement)) return false;
  entries_[index].title = std::move(text);
  entries_[index].ansiTitle = std::move(ansi);
  ++captionRevision_;
  return true;
}

void DemoState::AdvanceClock(int64_t ms) {
  if (ms <= 0) return;
  if (scrolling_) {
    const int64_t before = scrollMs_ / ScrollStepMs;
    scrollMs_ = (scrollMs_ + std::min<int64_t>(ms, int64_t{1} << 40)) % (ScrollStepMs << 20);
    if (scrollMs_ / ScrollStepMs != before) ++captionRevision_;
  }
  if (!clockRunning_ || state_ != PlayState::Playing || entries_.empty() || IsStream()) return;
  elapsedMs_ += ms;
  // Each pass finishes one track; a leap longer than the rest of the playlist (or a run of
  // tracks of length 0) ends at the last entry, where the player stops.
  while (elapsedMs_ >= LoadedLengthMs()) {
    elapsedMs_ -= LoadedLengthMs();
    if (position_ + 1 >= entries_.size()) {
      state_ = PlayState::Stopped;
      elapsedMs_ = 0;
      ++captionRevision_;
      return;
    }
    Move(position_ + 1);
    loaded_ = position_;
    if (IsStream()) {
      elapsedMs_ = 0;
      return;
    }
  }
}

CommandOutcome DemoState::Command(int32_t identifier) {
  for (const CommandRow& row : Commands()) {
    if (row.identifier == identifier) return row.run(*this);
  }
  return CommandOutcome::Done;
}

int64_t DemoState::Request(int32_t number, int32_t argument) {
  int64_t answer = UnknownRequestAnswer;
  for (const RequestRow& row : Requests()) {
    if (row.number == number && (!row.argument || *row.argument == argument)) {
      answer = row.answer(*this, argument);
      break;
    }
  }
  if (!answers_.empty() || !answersAny_.empty()) {
    if (const auto exact = answers_.find({number, argument}); exact != answers_.end()) {
      return exact->second;
    }
    if (const auto any = answersAny_.find(number); any != answersAny_.end()) return any->second;
  }
  if (random_) return static_cast<int32_t>(randomEngine_());
  return answer;
}

template <typename Text>
Text DemoState::CaptionFor(const Text& title, const Text& idle) const {
  const auto ascii = [](std::string_view text) { return Text(text.begin(), text.end()); };
  if (entries_.empty()) return idle;
  const std::size_t shown = state_ == PlayState::Stopped ? position_ : loaded_;
  Text caption =
      ascii(std::to_string(shown + 1) + ". ") + title + ascii(" ") + ascii(PlayerCaptionMarker);
  if (state_ == PlayState::Paused) caption += ascii(PlayerPausedMarker);
  if (state_ == PlayState::Stopped) caption += ascii(PlayerStoppedMarker);
  return caption;
}

template <typename Text>
Text DemoState::Scrolled(Text caption) const {
  if (!scrolling_) return caption;
  const std::string_view joint = PlayerScrollJoint;
  caption.append(joint.begin(), joint.end());
  const auto steps = static_cast<std::size_t>(scrollMs_ / ScrollStepMs) % caption.size();
  std::rotate(caption.begin(), caption.begin() + static_cast<std::ptrdiff_t>(steps), caption.end());
  return caption;
}

std::u16string DemoState::Caption() const {
  if (fixedCaption_) return *fixedCaption_;
  const Entry* entry = shownEntry();
  return Scrolled(CaptionFor(entry ? entry->title : std::u16string(), Ascii16(IdleCaption)));
}

std::string DemoState::AnsiCaption() const {
  if (fixedCaption_) return titles_.ToAnsi(*fixedCaption_);
  const Entry* entry = shownEntry();
  return Scrolled(CaptionFor(entry ? entry->ansiTitle : std::string(), std::string(IdleCaption)));
}

bool DemoState::LoadPlaylistFile(std::string_view path) {
  auto entries = ReadPlaylistFile(path);
  return entries && SetPlaylist(std::move(*entries));
}

}  // namespace tokalux::demo
