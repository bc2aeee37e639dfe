#include "remote/click_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tokalux {

std::optional<int32_t> PlaylistButtonIndex(PlaylistButton button, int16_t listLength,
                                           int16_t listPosition) {
  if (button == PlaylistButton::Begin) return 0;
  if (listLength <= 0) return std::nullopt;  // no entry to jump to
  const int32_t last = int32_t{listLength} - 1;
  const int32_t position = listPosition;  // in 32 bits no sum below can overflow
  switch (button) {
    case PlaylistButton::Minus10:
      return std::clamp(position - 11, 0, last);
    case PlaylistButton::Middle:
      // Half the length, halves to even (std::nearbyint in the default rounding mode, which this
      // program never changes): within 0..last for every length from 1 on.
      return static_cast<int32_t>(std::nearbyint(listLength * 0.5));
    case PlaylistButton::Plus10:
      return std::clamp(position + 9, 0, last);
    case PlaylistButton::End:
      return last;
    case PlaylistButton::Begin:
      return 0;
  }
  return std::nullopt;
}

std::optional<int32_t> PlaylistLineIndex(std::wstring_view caption) {
  const std::size_t dot = caption.find(L'.');
  if (dot == std::wstring_view::npos) return std::nullopt;
  std::wstring_view number = caption.substr(0, dot);
  const std::size_t begin = number.find_first_not_of(L' ');
  if (begin == std::wstring_view::npos) return std::nullopt;
  number = number.substr(begin, number.find_last_not_of(L' ') - begin + 1);

  bool negative = false;
  if (number.front() == L'-' || number.front() == L'+') {
    negative = number.front() == L'-';
    number.remove_prefix(1);
  }
  if (number.empty() || number.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (const wchar_t c : number) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  const int64_t index = (negative ? -value : value) - 1;
  if (index < std::numeric_limits<int32_t>::min() || index > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(index);
}

}  // namespace tokalux
