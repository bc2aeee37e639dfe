#include "screen/control_actions.h"

#include <cmath>
#include <limits>

#include "display/control_ids.h"

namespace tokalux {
namespace {

// n rounded to the nearest integer, halves to the even neighbour.
int64_t RoundHalfEven(double n) {
  const double floor = std::floor(n);
  const double fraction = n - floor;
  auto whole = static_cast<int64_t>(floor);
  if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0)) ++whole;
  return whole;
}

std::optional<int32_t> FitsInt16(int32_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<int32_t> PlaylistButtonIndex(int control_id, int16_t listLength,
                                           int16_t listPosition) {
  switch (control_id) {
    case ControlId::cmdPLStart:
      return 0;
    case ControlId::cmdPLm10:
      return FitsInt16(int32_t{listPosition} - 11);
    case ControlId::cmdPLMitte:
      return FitsInt16(static_cast<int32_t>(RoundHalfEven(listLength * 0.5)));
    case ControlId::cmdPLp10:
      return FitsInt16(int32_t{listPosition} + 9);
    case ControlId::cmdPLEnd:
      return FitsInt16(int32_t{listLength} - 1);
    default:
      return std::nullopt;
  }
}

int32_t VolumeForPosition(int32_t position) {
  return static_cast<int32_t>(RoundHalfEven(position * 25.5));
}

std::optional<int32_t> SeekMilliseconds(int32_t seconds) {
  const int64_t ms = int64_t{seconds} * 1000;
  if (ms < std::numeric_limits<int32_t>::min() || ms > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(ms);
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
