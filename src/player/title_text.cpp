#include "player/title_text.h"

#include "player/player_messages.h"

namespace tokalux {

std::string_view SongTitleBytes(std::string_view caption) {
  const std::size_t marker = caption.find(PlayerCaptionMarker);
  if (marker == std::string_view::npos) return {};
  return caption.substr(0, marker);
}

std::wstring CutSongTitle(std::wstring title) {
  if (title.size() > SongTitleMaxChars) title.resize(SongTitleMaxChars);
  return title;
}

std::string_view TitleFromBuffer(std::string_view buffer) {
  const std::size_t zero = buffer.find('\0');
  return zero == std::string_view::npos ? buffer : buffer.substr(0, zero);
}

uint64_t TitleAddress(uint64_t answer, bool player_is_32_bit) {
  return player_is_32_bit ? (answer & 0xFFFF'FFFFu) : answer;
}

std::size_t BytesToPageEnd(uint64_t address, std::size_t page_size) {
  if (page_size == 0) return 0;
  const uint64_t to_end = page_size - address % page_size;
  return to_end < TitleBufferSize ? static_cast<std::size_t>(to_end) : TitleBufferSize;
}

}  // namespace tokalux
