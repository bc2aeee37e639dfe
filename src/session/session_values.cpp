#include "session/session_values.h"

#include <algorithm>
#include <limits>

namespace tokalux {

namespace {

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) {
    return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  }
  return sum;
}

bool EndsWithExe(std::wstring_view name) {
  if (name.size() < 4) return false;
  const std::wstring_view tail = name.substr(name.size() - 4);
  return tail[0] == L'.' && (tail[1] | 0x20) == L'e' && (tail[2] | 0x20) == L'x' &&
         (tail[3] | 0x20) == L'e';
}

}  // namespace

std::wstring SessionSongTitle(std::wstring_view artist, std::wstring_view title) {
  if (artist.empty()) return std::wstring(title);
  if (title.empty()) return std::wstring(artist);
  std::wstring text(artist);
  text += L" - ";
  text += title;
  return text;
}

PlayState PlayStateFromStatus(int32_t status) {
  switch (status) {
    case 4:
      return PlayState::Playing;
    case 5:
      return PlayState::Paused;
    default:
      return PlayState::Stopped;
  }
}

int64_t SessionElapsed(const SessionTimeline& timeline, PlayState state, int64_t now) {
  int64_t elapsed = timeline.position;
  if (state == PlayState::Playing && timeline.lastUpdated > 0 && now > timeline.lastUpdated) {
    int64_t since = 0;
    if (__builtin_sub_overflow(now, timeline.lastUpdated, &since)) {
      since = std::numeric_limits<int64_t>::max();
    }
    elapsed = SaturatingAdd(elapsed, since);
  }
  if (SessionLength(timeline)) elapsed = std::min(elapsed, timeline.end);
  return std::max(elapsed, timeline.start);
}

std::optional<int64_t> SessionLength(const SessionTimeline& timeline) {
  int64_t length = 0;
  if (timeline.end == 0 || timeline.end <= timeline.start ||
      __builtin_sub_overflow(timeline.end, timeline.start, &length)) {
    return std::nullopt;
  }
  return length;
}

int32_t WholeSeconds(int64_t ticks) {
  const int64_t seconds = std::max<int64_t>(ticks / TicksPerSecond, 0);
  return static_cast<int32_t>(std::min<int64_t>(seconds, std::numeric_limits<int32_t>::max()));
}

std::wstring SessionTrackText(int32_t trackNumber, int32_t trackCount) {
  if (trackNumber <= 0 || trackCount <= 0) return {};
  return L"Track " + std::to_wstring(trackNumber) + L" of " + std::to_wstring(trackCount);
}

std::wstring PlayerNameFromAppId(std::wstring_view appId) {
  std::wstring_view name = appId;
  const std::size_t bang = name.find(L'!');
  if (bang != std::wstring_view::npos && name.find_first_of(L"\\/") == std::wstring_view::npos) {
    // A packaged app: "Publisher.AppName_hash!EntryPoint".
    name = name.substr(0, std::min(bang, name.find(L'_')));
    if (const std::size_t dot = name.rfind(L'.'); dot != std::wstring_view::npos) {
      name = name.substr(dot + 1);
    }
  } else {
    if (const std::size_t slash = name.find_last_of(L"\\/"); slash != std::wstring_view::npos) {
      name = name.substr(slash + 1);
    }
    if (EndsWithExe(name)) name.remove_suffix(4);
  }
  return name.empty() ? std::wstring(L"Media") : std::wstring(name);
}

}  // namespace tokalux
