#include "demo_text.h"

namespace tokalux::demo {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

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

std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  const auto isHigh = [](uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto isLow = [](uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  for (std::size_t i = 0; i < text.size(); ++i) {
    uint32_t value = text[i];
    if (isHigh(value) && i + 1 < text.size() && isLow(text[i + 1])) {
      value = 0x10000 + ((value - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (isHigh(value) || isLow(value)) {
      value = 0xFFFD;
    }
    // The count of continuation bytes, and the lead byte's marker for it.
    const int more = value < 0x80 ? 0 : value < 0x800 ? 1 : value < 0x10000 ? 2 : 3;
    constexpr uint32_t leadMarker[] = {0x00, 0xC0, 0xE0, 0xF0};
    bytes.push_back(static_cast<char>(leadMarker[more] | value >> (6 * more)));
    for (int k = more - 1; k >= 0; --k) {
      bytes.push_back(static_cast<char>(0x80 | (value >> (6 * k) & 0x3F)));
    }
  }
  return bytes;
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

}  // namespace tokalux::demo
