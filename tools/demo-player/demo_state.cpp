#include "demo_state.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "demo_protocol.h"
#include "player/player_messages.h"

namespace tokalux::demo {

namespace {

// A whole token as a number of type T, nothing before or after it.
template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

template <typename T>
std::optional<T> ParseInRange(std::string_view text, T low, T high) {
  const auto value = ParseNumber<T>(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

// ASCII text as UTF-16.
std::u16string Ascii16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits a control command into space-separated words; a TEXT argument is whatever follows the
// single space after the last word taken.
class Words {
 public:
  explicit Words(std::string_view text) : rest_(text) {}

  std::optional<std::string_view> Next() {
    const std::size_t start = rest_.find_first_not_of(' ');
    if (start == std::string_view::npos) {
      rest_ = {};
      return std::nullopt;
    }
    rest_.remove_prefix(start);
    const std::size_t end = std::min(rest_.find(' '), rest_.size());
    const std::string_view word = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return word;
  }

  // Only spaces are left.
  bool AtEnd() const { return rest_.find_first_not_of(' ') == std::string_view::npos; }

  // The rest of the command after one separating space; nullopt when there is not even that
  // space (an empty TEXT is written as a trailing space).
  std::optional<std::string_view> Text() const {
    if (rest_.empty()) return std::nullopt;
    return rest_.substr(1);
  }

 private:
  std::string_view rest_;
};

constexpr std::array<const char*, 11> Artists = {
    "The Quiet Engines", "Mara Lindqvist", "Northbound Static", "Orla & The Tides",
    "Pixel Harbour",     "Juno Falk",      "Sundial Choir",     "Velvet Circuit",
    "Kasimir Drei",      "Lowland Radio",  "Amber Wires"};
constexpr std::array<const char*, 13> FirstWords = {
    "Midnight", "Paper", "Silver",  "Electric", "Hollow",   "Summer", "Distant",
    "Neon",     "Glass", "Falling", "Golden",   "Northern", "Quiet"};
constexpr std::array<const char*, 13> SecondWords = {
    "Lights", "Rivers",  "Avenue", "Dreams",  "Static", "Gardens", "Signals",
    "Echoes", "Harbour", "Skies",  "Letters", "Motion", "Hearts"};
constexpr std::array<int32_t, 5> SampleRates = {44, 48, 44, 32, 22};
constexpr std::array<int32_t, 6> BitRates = {192, 128, 320, 256, 160, 96};

}  // namespace

std::vector<Entry> GeneratedPlaylist(std::size_t count) {
  std::vector<Entry> entries;
  entries.reserve(count);
  constexpr std::size_t combinations = Artists.size() * FirstWords.size();
  for (std::size_t i = 0; i < count; ++i) {
    Entry entry;
    std::string title = std::string(Artists[i % Artists.size()]) + " - " +
                        FirstWords[(i / Artists.size()) % FirstWords.size()] + " " +
                        SecondWords[(i * 5 + i / Artists.size()) % SecondWords.size()];
    if (i >= combinations) title += " (Take " + std::to_string(i / combinations + 1) + ")";
    // A library's file for it (which no disk here has: no picture).
    entry.path = Ascii16("C:\\Music\\" + std::string(Artists[i % Artists.size()]) + "\\" +
                         std::to_string(i + 1) + " " + title + ".mp3");
    entry.title = Ascii16(title);
    entry.lengthS = static_cast<int32_t>(90 + (i * 53) % 331);
    entry.stream = {SampleRates[i % SampleRates.size()], BitRates[i % BitRates.size()],
                    i % 7 == 6 ? 1 : 2};
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<Entry>> ParsePlaylist(std::string_view text) {
  std::vector<Entry> entries;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    Entry entry;
    const std::size_t tab = line.find('\t');
    if (tab != std::string_view::npos) {
      std::string_view length = line.substr(tab + 1);
      const std::size_t pathTab = length.find('\t');
      if (pathTab != std::string_view::npos) {
        const std::string_view path = length.substr(pathTab + 1);
        if (path.size() > MaxPathBytes) return std::nullopt;
        entry.path = DecodeUtf8(path);
        length = length.substr(0, pathTab);
      }
      if (!length.empty() || pathTab == std::string_view::npos) {
        const auto seconds = ParseInRange<int32_t>(length, StreamLengthS, MaxTrackLengthS);
        if (!seconds) return std::nullopt;
        entry.lengthS = *seconds;
      }
      line = line.substr(0, tab);
    }
    if (line.size() > MaxTitleBytes || entries.size() == MaxEntries) return std::nullopt;
    entry.title = DecodeUtf8(line);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == '\\') {
      bytes.push_back('\\');
      ++i;
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
               HexDigit(text[i + 3]) >= 0) {
      bytes.push_back(static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3])));
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned lead = byte(i);
    if (lead < 0x80) {
      text.push_back(static_cast<char16_t>(lead));
      ++i;
      continue;
    }
    // The sequence's length and the least value that needs that length.
    std::size_t length = 0;
    uint32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      least = 0x10000;
    }
    uint32_t value = lead & (0x7Fu >> length);  // the lead byte's payload
    bool wellFormed = length > 0 && i + length <= bytes.size();
    for (std::size_t k = 1; wellFormed && k < length; ++k) {
      wellFormed = (byte(i + k) & 0xC0) == 0x80;
      value = value << 6 | (byte(i + k) & 0x3F);
    }
    wellFormed =
        wellFormed && value >= least && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
    if (!wellFormed) {
      text.push_back(u'\uFFFD');
      ++i;
    } else if (value >= 0x10000) {
      text.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
      i += length;
    } else {
      text.push_back(static_cast<char16_t>(value));
      i += length;
    }
  }
  return text;
}

std::optional<std::string> DecodeHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

std::optional<int64_t> ParseAnswerValue(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    uint64_t bits = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, bits, 16);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return static_cast<int64_t>(negative ? 0 - bits : bits);
  }
  if (digits.empty() || digits.front() == '-') return std::nullopt;
  return ParseNumber<int64_t>(text);
}

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
  if (path.empty()) return false;
  // The path is UTF-8, like every control command's text.
  std::ifstream file{std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary};
  if (!file) return false;
  constexpr std::size_t maxFileBytes = 64u << 20;
  std::string text;
  std::array<char, 64 * 1024> chunk;
  while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
    text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    if (text.size() > maxFileBytes) return false;
  }
  if (file.bad()) return false;
  auto entries = ParsePlaylist(text);
  if (!entries) return false;
  return SetPlaylist(std::move(*entries));
}

ControlOutcome DemoState::SetAnswer(std::string_view arguments) {
  Words words(arguments);
  const auto first = words.Next();
  if (!first) return {};
  if (*first == "clear") {
    if (!words.AtEnd()) return {};
    answers_.clear();
    answersAny_.clear();
    return {true};
  }
  const auto number = ParseNumber<int32_t>(*first);
  const auto argument = words.Next();
  const auto valueText = words.Next();
  if (!number || !argument || !valueText || !words.AtEnd()) return {};
  const auto value = ParseAnswerValue(*valueText);
  if (!value) return {};
  if (*argument == "*") {
    answersAny_[*number] = *value;
    return {true};
  }
  const auto exact = ParseNumber<int32_t>(*argument);
  if (!exact) return {};
  answers_[{*number, *exact}] = *value;
  return {true};
}

ControlOutcome DemoState::Control(std::string_view command) {
  Words words(command);
  const auto name = words.Next();
  if (!name) return {};
  const std::size_t count = entries_.size();
  const auto noMore = [&](ControlOutcome outcome) {
    return words.AtEnd() ? outcome : ControlOutcome{};
  };
  const auto entryIndex = [&]() -> std::optional<std::size_t> {
    const auto word = words.Next();
    if (!word || count == 0) return std::nullopt;
    return ParseInRange<std::size_t>(*word, 0, count - 1);
  };
  // "on" or "off" and nothing after it.
  const auto onOff = [&]() -> std::optional<bool> {
    const auto word = words.Next();
    if (!word || !words.AtEnd() || (*word != "on" && *word != "off")) return std::nullopt;
    return *word == "on";
  };
  const auto numberWord = [&](auto low, auto high) {
    const auto word = words.Next();
    return word ? ParseInRange<decltype(low)>(*word, low, high) : std::nullopt;
  };

  if (*name == ControlEntries) {
    const auto n = numberWord(std::size_t{0}, MaxEntries);
    if (!n || !words.AtEnd()) return {};
    return {SetPlaylist(GeneratedPlaylist(*n))};
  }
  if (*name == ControlPlaylist) {
    const auto path = words.Text();
    return {path && LoadPlaylistFile(*path)};
  }
  if (*name == ControlTitle || *name == ControlTitleAtPageEnd || *name == ControlTitleOdd ||
      *name == ControlTitleBytes) {
    const auto index = entryIndex();
    if (!index) return {};
    const auto text = words.Text();
    if (!text) return {};
    const bool rawBytes = *name == ControlTitleBytes;
    const auto bytes = rawBytes ? DecodeHex(*text) : Unescape(*text);
    if (!bytes || bytes->size() > MaxTitleBytes) return {};
    auto placement = TitlePlacement::Packed;
    if (*name == ControlTitleAtPageEnd) placement = TitlePlacement::AtPageEnd;
    if (*name == ControlTitleOdd) placement = TitlePlacement::Utf16AtOddAddress;
    if (rawBytes) return {SetTitle(*index, titles_.FromAnsi(*bytes), *bytes, placement)};
    std::u16string title = DecodeUtf8(*bytes);
    std::string ansi = titles_.ToAnsi(title);
    return {SetTitle(*index, std::move(title), std::move(ansi), placement)};
  }
  if (*name == ControlPath) {
    const auto index = entryIndex();
    const auto text = index ? words.Text() : std::nullopt;
    const auto bytes = text ? Unescape(*text) : std::nullopt;
    if (!bytes || bytes->size() > MaxPathBytes) return {};
    return {SetPath(*index, DecodeUtf8(*bytes))};
  }
  if (*name == ControlPosition) {
    const auto index = entryIndex();
    if (!index || !words.AtEnd()) return {};
    Move(*index);
    Load(state_);
    return {true};
  }
  if (*name == ControlTime) {
    const auto ms = numberWord(int64_t{0}, LoadedLengthMs());
    if (!ms || !words.AtEnd() || !Started()) return {};
    elapsedMs_ = *ms;
    return {true};
  }
  if (*name == ControlTrackLength) {
    const auto seconds = numberWord(StreamLengthS, MaxTrackLengthS);
    if (!seconds || !words.AtEnd() || count == 0) return {};
    entries_[loaded_].lengthS = *seconds;
    elapsedMs_ = IsStream() ? elapsedMs_ : std::min(elapsedMs_, LoadedLengthMs());
    return {true};
  }
  if (*name == ControlState) {
    const auto word = words.Next();
    if (!word || !words.AtEnd()) return {};
    PlayState wanted = PlayState::Stopped;
    if (*word == "playing") {
      wanted = PlayState::Playing;
    } else if (*word == "paused") {
      wanted = PlayState::Paused;
    } else if (*word != "stopped") {
      return {};
    }
    if (wanted == PlayState::Stopped) elapsedMs_ = 0;
    if (state_ == PlayState::Stopped && wanted != PlayState::Stopped) {
      Load(wanted);  // what was stopped starts from the list position
    } else {
      state_ = wanted;
    }
    ++captionRevision_;
    return {true};
  }
  if (*name == ControlVolume) {
    const auto volume = numberWord(int32_t{0}, MaxVolume);
    if (!volume || !words.AtEnd()) return {};
    volume_ = *volume;
    return {true};
  }
  if (*name == ControlStream) {
    constexpr auto low = std::numeric_limits<int32_t>::min();
    constexpr auto high = std::numeric_limits<int32_t>::max();
    const auto rate = numberWord(low, high);
    const auto bitRate = numberWord(low, high);
    const auto channels = numberWord(low, high);
    if (!rate || !bitRate || !channels || !words.AtEnd() || count == 0) return {};
    entries_[loaded_].stream = {*rate, *bitRate, *channels};
    return {true};
  }
  if (*name == ControlClock) {
    const auto on = onOff();
    if (!on) return {};
    clockRunning_ = *on;
    return {true};
  }
  if (*name == ControlAnswer) return SetAnswer(words.Text().value_or(""));
  if (*name == ControlRandom) {
    const auto word = words.Next();
    if (word == "off" && words.AtEnd()) {
      random_ = false;
      return {true};
    }
    if (word != "on") return {};
    std::optional<uint32_t> seed;
    if (const auto seedWord = words.Next()) {
      seed = ParseNumber<uint32_t>(*seedWord);
      if (!seed || !words.AtEnd()) return {};
    }
    randomEngine_.seed(seed ? *seed : std::random_device{}());
    random_ = true;
    return {true};
  }
  if (*name == ControlCaption) {
    const auto text = words.Text();
    if (!text) return {};
    if (*text == "auto") {
      fixedCaption_.reset();
    } else {
      const auto bytes = Unescape(*text);
      if (!bytes || bytes->size() > MaxTitleBytes) return {};
      fixedCaption_ = DecodeUtf8(*bytes);
    }
    ++captionRevision_;
    return {true};
  }
  if (*name == ControlOldPlayer || *name == ControlScroll) {
    const auto on = onOff();
    if (!on) return {};
    (*name == ControlOldPlayer ? oldPlayer_ : scrolling_) = *on;
    scrollMs_ = 0;
    ++captionRevision_;
    return {true};
  }
  if (*name == ControlHang) {
    const auto ms = numberWord(int32_t{0}, MaxHangMs);
    if (!ms) return {};
    const auto when = words.Next();
    if (!when) return {true, ShellAction::Hang, *ms};
    if (*when != "next" || !words.AtEnd()) return {};
    return {true, ShellAction::HangAtNextMessage, *ms};
  }
  if (*name == ControlSlow) {
    const auto ms = numberWord(int32_t{0}, MaxHangMs);
    if (!ms || !words.AtEnd()) return {};
    slowMs_ = *ms;
    return {true};
  }
  if (*name == ControlVanish) return noMore({true, ShellAction::Vanish});
  if (*name == ControlDie) return noMore({true, ShellAction::Die});
  if (*name == ControlLog) {
    const auto word = words.Next();
    if (word != "clear") return {};
    return noMore({true, ShellAction::ClearLog});
  }
  return {};
}

}  // namespace tokalux::demo
