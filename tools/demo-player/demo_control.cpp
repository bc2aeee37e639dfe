// The control commands (see demo_protocol.h): how each word changes the demo player's state or
// asks its window to misbehave.
#include <limits>

#include "demo_protocol.h"
#include "demo_state.h"
#include "demo_text.h"

namespace tokalux::demo {
namespace {

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

}  // namespace

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
