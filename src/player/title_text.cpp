#include "player/title_text.h"

#include <algorithm>

#include "player/player_messages.h"

namespace tokalux {

namespace {

constexpr bool IsHighSurrogate(uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

std::u16string Ascii16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// The caption marker in UTF-16, made once.
const std::u16string& Marker16() {
  static const std::u16string marker = Ascii16(PlayerCaptionMarker);
  return marker;
}

template <typename Char>
std::basic_string_view<Char> UpToZero(std::basic_string_view<Char> buffer) {
  const std::size_t zero = buffer.find(Char{0});
  return zero == std::basic_string_view<Char>::npos ? buffer : buffer.substr(0, zero);
}

}  // namespace

std::u16string_view SongTitleChars(std::u16string_view caption) {
  const std::size_t at = caption.rfind(Marker16());
  if (at == std::u16string_view::npos) return {};
  return caption.substr(0, at);
}

std::u16string UnscrollCaption(std::u16string_view caption) {
  static const std::u16string joint = Ascii16(PlayerScrollJoint);
  const auto endsLikeACaption = [](std::u16string_view text) {
    static const std::u16string endings[] = {Marker16(), Marker16() + Ascii16(PlayerPausedMarker),
                                             Marker16() + Ascii16(PlayerStoppedMarker)};
    return std::any_of(std::begin(endings), std::end(endings),
                       [&](const std::u16string& end) { return text.ends_with(end); });
  };
  if (caption.size() <= joint.size()) return std::u16string(caption);
  // Every turn of the caption is a piece of it written twice over; the whole caption is the turn
  // that ends in the joint, less the joint. (A caption that is not scrolled has no such turn,
  // unless its title holds the joint right after the marker.)
  const std::u16string twice = std::u16string(caption) + std::u16string(caption);
  const std::size_t size = caption.size();
  for (std::size_t start = 0; start < size; ++start) {
    const std::u16string_view turn = std::u16string_view(twice).substr(start, size);
    if (!turn.ends_with(joint)) continue;
    const std::u16string_view whole = turn.substr(0, size - joint.size());
    if (endsLikeACaption(whole)) return std::u16string(whole);
  }
  return std::u16string(caption);
}

std::u16string CutSongTitle(std::u16string title) {
  if (title.size() <= SongTitleMaxChars) return title;
  title.resize(SongTitleMaxChars);
  if (IsHighSurrogate(title.back())) title.pop_back();  // not half a surrogate pair
  return title;
}

std::u16string SongTitleFromCaption(std::u16string_view caption) {
  return CutSongTitle(std::u16string(SongTitleChars(UnscrollCaption(caption))));
}

std::string_view TitleFromBuffer(std::string_view buffer) {
  return UpToZero(buffer);
}

std::u16string_view TitleFromBuffer(std::u16string_view buffer) {
  return UpToZero(buffer);
}

std::u16string DecodeUtf16Le(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto low = static_cast<unsigned char>(bytes[2 * i]);
    const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(low | high << 8);
  }
  return units;
}

std::u16string Utf16TitleFromBytes(std::string_view bytes) {
  return Utf16TextFromBytes(bytes, Utf16TitleMaxChars);
}

bool HoldsZeroUnit(std::string_view bytes, std::size_t unitBytes) {
  if (unitBytes <= 1) return bytes.find('\0') != std::string_view::npos;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    if (bytes[at] == '\0' && bytes[at + 1] == '\0') return true;
  }
  return false;
}

std::u16string Utf16TextFromBytes(std::string_view bytes, std::size_t maxChars) {
  const std::u16string units = DecodeUtf16Le(bytes.substr(0, 2 * maxChars));
  std::u16string_view title = TitleFromBuffer(std::u16string_view(units));
  // A title that ends at its zero keeps whatever it holds; only one the read cut is mended.
  const bool cut = title.size() == units.size();
  if (cut && !title.empty() && IsHighSurrogate(title.back())) title.remove_suffix(1);
  return std::u16string(title);
}

uint64_t TitleAddress(uint64_t answer, bool playerIs32Bit) {
  return playerIs32Bit ? (answer & 0xFFFF'FFFFu) : answer;
}

bool CanBeTitleAddress(uint64_t address) {
  return address >= 0x10000;
}

std::size_t BytesToPageEnd(uint64_t address, std::size_t pageSize, std::size_t bufferSize) {
  if (pageSize == 0) return 0;
  const uint64_t toEnd = pageSize - address % pageSize;
  return toEnd < bufferSize ? static_cast<std::size_t>(toEnd) : bufferSize;
}

}  // namespace tokalux
