#include "text/text_fit.h"

#include <algorithm>
#include <array>

#include "text/text_script.h"

namespace tokalux {
namespace {

bool IsSpace(char32_t c) {
  return c == u' ' || c == u'\t' || c == 0x3000;  // the ideographic space too
}

// CJK punctuation that closes (no line starts with it) or opens (no line ends with it).
constexpr std::array<char32_t, 20> Closing = {
    0x3001, 0x3002, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0x3015, 0x3017, 0x30FB,
    0x30FC, 0xFF01, 0xFF09, 0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF3D, 0xFF5D};
constexpr std::array<char32_t, 10> Opening = {0x3008, 0x300A, 0x300C, 0x300E, 0x3010,
                                              0x3014, 0x3016, 0xFF08, 0xFF3B, 0xFF5B};

bool OneOf(char32_t c, const auto& set) {
  return std::find(set.begin(), set.end(), c) != set.end();
}

}  // namespace

std::vector<uint8_t> TextBreaks(std::u16string_view text) {
  std::vector<uint8_t> breaks(text.size(), 0);
  const std::vector<CodePoint> points = CodePoints(text);
  for (std::size_t k = 0; k < points.size(); ++k) {
    const CodePoint& point = points[k];
    const Script script = ScriptOf(point.value);
    uint8_t& flags = breaks[point.begin];
    if (IsSpace(point.value)) flags |= Space;
    if (k == 0) {
      flags |= CutBefore;
      continue;
    }
    const char32_t previous = points[k - 1].value;
    // A mark, a joiner or what a joiner joins belongs to the character before it.
    if (script == Script::Inherited || previous == 0x200D) continue;
    flags |= CutBefore;
    if (IsSpace(point.value)) continue;
    const bool afterSpace = IsSpace(previous);
    const bool cjk = IsCjk(script) || IsCjk(ScriptOf(previous));
    if (afterSpace || (cjk && !OneOf(point.value, Closing) && !OneOf(previous, Opening))) {
      flags |= BreakBefore;
    }
  }
  return breaks;
}

int32_t LineWidth(const std::vector<int32_t>& advances, TextLine line) {
  int32_t width = 0;
  for (std::size_t i = line.begin; i < line.end && i < advances.size(); ++i) width += advances[i];
  return width;
}

namespace {

// The end of [begin, end) without its trailing spaces.
std::size_t TrimSpaces(const std::vector<uint8_t>& breaks, std::size_t begin, std::size_t end) {
  while (end > begin && (breaks[end - 1] & Space)) --end;
  return end;
}

}  // namespace

std::vector<TextLine> WrapLines(const std::vector<int32_t>& advances,
                                const std::vector<uint8_t>& breaks, int32_t width) {
  std::vector<TextLine> lines;
  const std::size_t size = std::min(advances.size(), breaks.size());
  std::size_t start = 0;
  while (start < size) {
    int32_t used = 0;
    std::size_t lastBreak = 0;  // 0: none in this line yet
    std::size_t lastCut = 0;
    std::size_t next = size;
    for (std::size_t i = start; i < size; ++i) {
      if (i > start && (breaks[i] & BreakBefore)) lastBreak = i;
      if (i > start && (breaks[i] & CutBefore)) lastCut = i;
      used += advances[i];
      // Spaces hang past the edge; anything else that reaches past it goes to the next line.
      if (used <= width || (breaks[i] & Space)) continue;
      if (lastBreak > start) {
        next = lastBreak;
      } else if (lastCut > start) {
        next = lastCut;
      } else {
        // Not even one character fits: it stands alone on its line.
        next = i + 1;
        while (next < size && !(breaks[next] & CutBefore)) ++next;
      }
      break;
    }
    lines.push_back({start, TrimSpaces(breaks, start, next)});
    start = next;
  }
  return lines;
}

std::size_t CutToWidth(const std::vector<int32_t>& advances, const std::vector<uint8_t>& breaks,
                       std::size_t begin, std::size_t end, int32_t width) {
  end = std::min({end, advances.size(), breaks.size()});
  std::size_t best = begin;
  int32_t used = 0;
  for (std::size_t i = begin; i < end; ++i) {
    // A cut before unit i keeps [begin, i).
    if (i > begin && (breaks[i] & CutBefore) &&
        LineWidth(advances, {begin, TrimSpaces(breaks, begin, i)}) <= width) {
      best = i;
    }
    used += advances[i];
    if (used > width && !(breaks[i] & Space)) return TrimSpaces(breaks, begin, best);
  }
  return TrimSpaces(breaks, begin, used <= width ? end : best);
}

std::vector<int32_t> ShrinkSteps(int32_t fontHeight, int32_t floorHeight) {
  std::vector<int32_t> steps{fontHeight};
  const int32_t step = std::max(1, fontHeight / 16);
  for (int32_t height = fontHeight - step; height > floorHeight; height -= step) {
    steps.push_back(height);
  }
  if (floorHeight < fontHeight) steps.push_back(std::max(floorHeight, 1));
  return steps;
}

LineBox FitLineBox(LineBox own, LineBox wanted, int32_t height) {
  int32_t excess = wanted.ascent + wanted.descent - height;
  const int32_t top = std::clamp(excess, 0, std::max(0, wanted.ascent - own.ascent));
  excess -= top;
  const int32_t bottom = std::clamp(excess, 0, std::max(0, wanted.descent - own.descent));
  return {wanted.ascent - top, wanted.descent - bottom};
}

FittedText FitText(std::u16string_view text, TextMeasure& measure, const FitRoom& room) {
  const std::vector<uint8_t> breaks = TextBreaks(text);
  const std::size_t size = text.size();
  const std::vector<int32_t> sizes = room.wrap ? ShrinkSteps(room.fontHeight, room.floorHeight)
                                               : std::vector<int32_t>{room.fontHeight};
  FittedText fitted;
  MeasuredText measured;
  std::vector<TextLine> lines;
  for (const int32_t height : sizes) {
    measured = measure.Measure(height);
    measured.advances.resize(size, 0);
    fitted.fontHeight = height;
    fitted.lineHeight = measured.lineHeight;
    if (size == 0) return fitted;
    if (!room.wrap) {
      // One line shows its trailing spaces as well, as wide as the whole text.
      fitted.lines = {{0, size}};
      if (LineWidth(measured.advances, {0, size}) <= room.width) return fitted;
      continue;
    }
    lines = WrapLines(measured.advances, breaks, room.width);
    if (static_cast<int64_t>(lines.size()) * measured.lineHeight <= room.height) {
      fitted.lines = std::move(lines);
      return fitted;
    }
  }

  // Too long even at the smallest size: what fits, cut with an ellipsis.
  const int32_t textRoom = room.width - measured.ellipsisWidth;
  if (!room.wrap) {
    fitted.lines = {{0, CutToWidth(measured.advances, breaks, 0, size, textRoom)}};
  } else {
    const std::size_t shown =
        measured.lineHeight > 0
            ? static_cast<std::size_t>(std::max<int32_t>(1, room.height / measured.lineHeight))
            : 1;
    lines.resize(std::min(lines.size(), shown));
    TextLine& last = lines.back();
    last.end = CutToWidth(measured.advances, breaks, last.begin, size, textRoom);
    fitted.lines = std::move(lines);
  }
  fitted.ellipsis = true;
  return fitted;
}

}  // namespace tokalux
