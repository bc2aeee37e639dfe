// The text of control commands and playlist files: escapes, UTF-8, hex bytes and numbers. Every
// UTF-8 conversion of the demo player is here; the ANSI ones are the system's (title_memory.h).
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tokalux::demo {

// A whole token as a number of type T, nothing before or after it.
template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

// The same, and within low..high.
template <typename T>
std::optional<T> ParseInRange(std::string_view text, T low, T high) {
  const auto value = ParseNumber<T>(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

// ASCII text as UTF-16.
inline std::u16string Ascii16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// TEXT arguments: \xNN (two hex digits) gives that byte, \\ a backslash; nullopt for any other
// backslash.
std::optional<std::string> Unescape(std::string_view text);

// UTF-8 bytes to UTF-16. Each byte that does not belong to a well-formed sequence (a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate, a value above
// U+10FFFF) becomes one U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes);

// UTF-16 to UTF-8 (a command line's arguments). A surrogate without its pair becomes U+FFFD, as
// the system's conversion makes it.
std::string EncodeUtf8(std::u16string_view text);

// Pairs of hex digits to bytes; nullopt for an odd count or a non-hex character.
std::optional<std::string> DecodeHex(std::string_view hex);

// An answer value: decimal, or hex with 0x (the 64-bit pattern), either with a leading minus.
std::optional<int64_t> ParseAnswerValue(std::string_view text);

}  // namespace tokalux::demo
