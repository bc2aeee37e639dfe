#include "text/text_layout.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "text/font_fallback.h"
#include "text/text_script.h"

namespace tokalux {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::u16string_view Utf16(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// The label's own face (font 0) and the fallbacks found for a text (1 up).
class Faces final : public FontSource {
 public:
  Faces(TextFonts& fonts, const LOGFONTW& like)
      : fonts_(fonts), like_(like), covers_{&fonts.Coverage(fonts.Font(like, Height()))} {}

  bool Covers(int font, char32_t c) override {
    if (font < 0 || font >= static_cast<int>(covers_.size())) return false;
    return covers_[static_cast<std::size_t>(font)]->Contains(c);
  }

  int Fallback(Script script, std::u32string_view chars) override {
    const std::wstring face = fonts_.FallbackFace(script, chars);
    if (face.empty()) return 0;
    const auto known = std::find(faces_.begin(), faces_.end(), face);
    if (known != faces_.end()) return static_cast<int>(known - faces_.begin()) + 1;
    faces_.push_back(face);
    covers_.push_back(&fonts_.Coverage(fonts_.Font(like_, Height(), face)));
    return static_cast<int>(faces_.size());
  }

  // Every font of the text at a size: the own one first, then the fallbacks.
  std::vector<HFONT> At(int height) {
    std::vector<HFONT> fonts{fonts_.Font(like_, height)};
    for (const std::wstring& face : faces_) fonts.push_back(fonts_.Font(like_, height, face));
    return fonts;
  }

  int Height() const { return std::max(1, static_cast<int>(std::abs(like_.lfHeight))); }

 private:
  TextFonts& fonts_;
  LOGFONTW like_;
  std::vector<std::wstring> faces_;
  std::vector<const CharacterSet*> covers_;  // by font, the own one first
};

// Whether a run needs Uniscribe's shaping: right-to-left text, a script whose letters change
// with their neighbours, or characters beyond the basic plane. The rest is drawn as GDI draws plain
// text, as the labels always drew it, to the pixel.
bool NeedsShaping(const SCRIPT_ANALYSIS& analysis, const wchar_t* chars, int count) {
  if (analysis.fRTL) return true;
  const SCRIPT_PROPERTIES** properties = nullptr;
  int scripts = 0;
  if (SUCCEEDED(::ScriptGetProperties(&properties, &scripts)) && analysis.eScript < scripts &&
      properties[analysis.eScript]->fComplex) {
    return true;
  }
  return std::any_of(chars, chars + count, [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
}

// Measures plain text in one font, as GDI measures it.
bool MeasurePlain(HDC dc, HFONT font, const wchar_t* chars, int count, TextLayout::Run& run,
                  int* logicalWidths) {
  ScopedSelect select(dc, font);
  std::vector<int> extents(static_cast<std::size_t>(count));
  SIZE size{};
  if (!::GetTextExtentExPointW(dc, chars, count, 0, nullptr, extents.data(), &size)) return false;
  run.font = font;
  run.text.assign(chars, static_cast<std::size_t>(count));
  run.width = size.cx;
  if (logicalWidths) {
    for (int i = 0; i < count; ++i) logicalWidths[i] = extents[i] - (i > 0 ? extents[i - 1] : 0);
  }
  return true;
}

// Shapes and places `count` characters of one item in one font. False when Uniscribe cannot.
bool ShapeRun(HDC dc, TextFonts& fonts, HFONT font, const wchar_t* chars, int count,
              SCRIPT_ANALYSIS analysis, TextLayout::Run& run, int* logicalWidths) {
  run.font = font;
  run.cache = fonts.ScriptCache(font);
  if (!run.cache) return false;
  ScopedSelect select(dc, font);
  std::vector<WORD> clusters(static_cast<std::size_t>(count));
  std::vector<SCRIPT_VISATTR> attributes;
  int maxGlyphs = count * 3 / 2 + 16;
  int glyphCount = 0;
  HRESULT result = E_FAIL;
  for (int attempt = 0; attempt < 4; ++attempt) {
    run.glyphs.resize(static_cast<std::size_t>(maxGlyphs));
    attributes.resize(static_cast<std::size_t>(maxGlyphs));
    result = ::ScriptShape(dc, run.cache, chars, count, maxGlyphs, &analysis, run.glyphs.data(),
                           clusters.data(), attributes.data(), &glyphCount);
    if (result == E_OUTOFMEMORY) {
      maxGlyphs *= 2;
    } else if (result == USP_E_SCRIPT_NOT_IN_FONT && analysis.eScript != SCRIPT_UNDEFINED) {
      analysis.eScript = SCRIPT_UNDEFINED;  // the font's own glyphs, unshaped
    } else {
      break;
    }
  }
  if (FAILED(result)) return false;
  const auto glyphs = static_cast<std::size_t>(glyphCount);
  run.glyphs.resize(glyphs);
  attributes.resize(glyphs);
  run.advances.assign(glyphs, 0);
  run.offsets.assign(glyphs, GOFFSET{});
  ABC abc{};
  if (FAILED(::ScriptPlace(dc, run.cache, run.glyphs.data(), glyphCount, attributes.data(),
                           &analysis, run.advances.data(), run.offsets.data(), &abc))) {
    return false;
  }
  run.analysis = analysis;
  run.width = std::accumulate(run.advances.begin(), run.advances.end(), 0);
  if (logicalWidths &&
      FAILED(::ScriptGetLogicalWidths(&analysis, count, glyphCount, run.advances.data(),
                                      clusters.data(), attributes.data(), logicalWidths))) {
    std::fill(logicalWidths, logicalWidths + count, 0);
    logicalWidths[0] = run.width;
  }
  return true;
}

// A run its font could not shape (Uniscribe answers USP_E_SCRIPT_NOT_IN_FONT for a face whose
// tables it cannot use for the script, or fails otherwise): shaped in the next face that has its
// characters, else drawn unshaped, a glyph per character, else as GDI draws plain text. Counted
// as nothing, the run would take its width with it, and the line could vanish.
bool ShapeElsewhere(TextFonts& fonts, HFONT font, const wchar_t* chars, int count,
                    SCRIPT_ANALYSIS analysis, TextLayout::Run& run, int* logicalWidths) {
  LOGFONTW like{};
  ::GetObjectW(font, sizeof(like), &like);
  std::u32string points;
  Script script = Script::Common;
  for (const CodePoint& point :
       CodePoints(Utf16(std::wstring_view(chars, static_cast<std::size_t>(count))))) {
    points.push_back(point.value);
    const Script its = ScriptOf(point.value);
    if (script == Script::Common && its != Script::Common && its != Script::Inherited) {
      script = its;
    }
  }
  std::vector<std::wstring> tried{like.lfFaceName};
  constexpr int MostFacesTried = 3;  // each try can make a font: the walk stays short
  for (int attempt = 0; attempt < MostFacesTried; ++attempt) {
    std::wstring face = fonts.FallbackFace(script, points, tried);
    if (face.empty()) break;
    const HFONT other = fonts.Font(like, std::abs(like.lfHeight), face);
    if (ShapeRun(fonts.dc(), fonts, other, chars, count, analysis, run, logicalWidths)) {
      return true;
    }
    tried.push_back(std::move(face));
  }
  SCRIPT_ANALYSIS unshaped = analysis;
  unshaped.eScript = SCRIPT_UNDEFINED;
  run = TextLayout::Run{};
  run.analysis = analysis;
  if (ShapeRun(fonts.dc(), fonts, font, chars, count, unshaped, run, logicalWidths)) return true;
  run = TextLayout::Run{};
  run.analysis = analysis;
  return MeasurePlain(fonts.dc(), font, chars, count, run, logicalWidths);
}

// The text in runs of one font, script and direction, in logical order: Uniscribe's items cut at
// the font runs, with neighbouring plain runs of one font and direction drawn as one, as GDI
// would draw them. Each unit's width goes to `logicalWidths` when given.
std::vector<TextLayout::Run> ShapeText(TextFonts& fonts, std::wstring_view text,
                                       const std::vector<FontRun>& fontRuns,
                                       const std::vector<HFONT>& slotFonts,
                                       std::vector<int>* logicalWidths) {
  std::vector<TextLayout::Run> runs;
  if (logicalWidths) logicalWidths->assign(text.size(), 0);
  if (text.empty()) return runs;
  const int length = static_cast<int>(text.size());
  std::vector<SCRIPT_ITEM> items(text.size() + 2);
  SCRIPT_CONTROL control{};
  SCRIPT_STATE state{};  // a left-to-right paragraph, as the labels are left-aligned
  int itemCount = 0;
  if (FAILED(::ScriptItemize(text.data(), length, static_cast<int>(items.size()) - 1, &control,
                             &state, items.data(), &itemCount))) {
    items[0] = SCRIPT_ITEM{};
    items[1].iCharPos = length;
    itemCount = 1;
  }

  struct Piece {
    std::size_t begin;
    std::size_t end;
    SCRIPT_ANALYSIS analysis;
    HFONT font;
    bool plain;
  };
  std::vector<Piece> pieces;
  for (int i = 0; i < itemCount; ++i) {
    const auto itemBegin = static_cast<std::size_t>(items[i].iCharPos);
    const auto itemEnd = static_cast<std::size_t>(items[i + 1].iCharPos);
    for (const FontRun& fontRun : fontRuns) {
      const std::size_t begin = std::max(itemBegin, fontRun.begin);
      const std::size_t end = std::min(itemEnd, fontRun.end);
      if (begin >= end) continue;
      const auto slot = static_cast<std::size_t>(fontRun.font);
      HFONT font = slot < slotFonts.size() ? slotFonts[slot] : slotFonts[0];
      const SCRIPT_ANALYSIS& analysis = items[i].a;
      const bool plain =
          !NeedsShaping(analysis, text.data() + begin, static_cast<int>(end - begin));
      if (plain && !pieces.empty() && pieces.back().plain && pieces.back().font == font &&
          pieces.back().analysis.s.uBidiLevel == analysis.s.uBidiLevel) {
        pieces.back().end = end;
      } else {
        pieces.push_back({begin, end, analysis, font, plain});
      }
    }
  }

  for (const Piece& piece : pieces) {
    TextLayout::Run run;
    run.analysis = piece.analysis;
    const wchar_t* chars = text.data() + piece.begin;
    const int count = static_cast<int>(piece.end - piece.begin);
    int* widths = logicalWidths ? logicalWidths->data() + piece.begin : nullptr;
    const bool done =
        piece.plain
            ? MeasurePlain(fonts.dc(), piece.font, chars, count, run, widths)
            : ShapeRun(fonts.dc(), fonts, piece.font, chars, count, piece.analysis, run, widths) ||
                  ShapeElsewhere(fonts, piece.font, chars, count, piece.analysis, run, widths);
    if (done) runs.push_back(std::move(run));
  }
  return runs;
}

// The runs of one line in visual order, left to right, by their embedding levels.
std::vector<TextLayout::Run> InVisualOrder(std::vector<TextLayout::Run> runs) {
  if (runs.size() < 2) return runs;
  std::vector<BYTE> levels;
  for (const TextLayout::Run& run : runs)
    levels.push_back(static_cast<BYTE>(run.analysis.s.uBidiLevel));
  std::vector<int> visualToLogical(runs.size());
  if (FAILED(::ScriptLayout(static_cast<int>(runs.size()), levels.data(), visualToLogical.data(),
                            nullptr))) {
    return runs;
  }
  std::vector<TextLayout::Run> visual;
  visual.reserve(runs.size());
  for (const int logical : visualToLogical)
    visual.push_back(std::move(runs[static_cast<std::size_t>(logical)]));
  return visual;
}

// The font runs of [begin, end) of a text, moved to start at 0.
std::vector<FontRun> Slice(const std::vector<FontRun>& runs, std::size_t begin, std::size_t end) {
  std::vector<FontRun> slice;
  for (const FontRun& run : runs) {
    const std::size_t from = std::max(begin, run.begin);
    const std::size_t to = std::min(end, run.end);
    if (from < to) slice.push_back({from - begin, to - begin, run.font});
  }
  return slice;
}

// The box of a line of a text: the tallest ascent and descent of the fonts it uses (the own one
// always), for one line within the room's height.
LineBox BoxOf(TextFonts& fonts, const std::vector<HFONT>& slotFonts,
              const std::vector<FontRun>& runs, const FitRoom& room) {
  LineBox box;
  std::vector<bool> used(slotFonts.size(), false);
  used[0] = true;
  for (const FontRun& run : runs) {
    if (static_cast<std::size_t>(run.font) < used.size())
      used[static_cast<std::size_t>(run.font)] = true;
  }
  for (std::size_t slot = 0; slot < slotFonts.size(); ++slot) {
    if (!used[slot]) continue;
    const TEXTMETRICW& tm = fonts.Metrics(slotFonts[slot]);
    box.ascent = std::max(box.ascent, static_cast<int32_t>(tm.tmAscent));
    box.descent = std::max(box.descent, static_cast<int32_t>(tm.tmDescent));
  }
  if (room.wrap) return box;
  const TEXTMETRICW& own = fonts.Metrics(slotFonts[0]);
  return FitLineBox({own.tmAscent, own.tmDescent}, box, room.height);
}

// TextMeasure through a function.
template <typename Function>
class MeasureWith final : public TextMeasure {
 public:
  explicit MeasureWith(Function function) : function_(std::move(function)) {}
  MeasuredText Measure(int32_t fontHeight) override { return function_(fontHeight); }

 private:
  Function function_;
};

}  // namespace

void TextLayout::Fit(TextFonts& fonts, HFONT font, std::wstring_view text, const FitRoom& room) {
  LOGFONTW like{};
  ::GetObjectW(font, sizeof(like), &like);
  Faces faces(fonts, like);
  const std::vector<FontRun> fontRuns = AssignFonts(Utf16(text), faces);
  const bool ellipsisInFont = faces.Covers(0, U'\u2026');
  const std::wstring ellipsis = ellipsisInFont ? L"\u2026" : L"...";

  MeasureWith measure([&](int32_t height) {
    const std::vector<HFONT> slotFonts = faces.At(height);
    MeasuredText measured;
    std::vector<int> widths;
    ShapeText(fonts, text, fontRuns, slotFonts, &widths);
    measured.advances.assign(widths.begin(), widths.end());
    const LineBox box = BoxOf(fonts, slotFonts, fontRuns, room);
    measured.lineHeight = box.ascent + box.descent;
    for (const Run& run :
         ShapeText(fonts, ellipsis, {{0, ellipsis.size(), 0}}, slotFonts, nullptr)) {
      measured.ellipsisWidth += run.width;
    }
    return measured;
  });
  const FittedText fitted = FitText(Utf16(text), measure, room);

  const std::vector<HFONT> slotFonts = faces.At(fitted.fontHeight);
  const LineBox box = BoxOf(fonts, slotFonts, fontRuns, room);
  lines_.clear();
  width_ = 0;
  ascent_ = box.ascent;
  lineHeight_ = fitted.lineHeight;
  fontHeight_ = fitted.fontHeight;
  const bool cut = fitted.ellipsis;
  const std::vector<uint8_t> breaks = cut ? TextBreaks(Utf16(text)) : std::vector<uint8_t>();
  for (std::size_t i = 0; i < fitted.lines.size(); ++i) {
    TextLine shown = fitted.lines[i];
    const bool last = i + 1 == fitted.lines.size();
    Line line;
    // An ellipsis line shaped as a whole can come out a little wider than its parts measured
    // (letters that join differently at the cut): it then gives up a character or two.
    for (int attempt = 0; attempt < 8; ++attempt) {
      std::wstring lineText(text.substr(shown.begin, shown.end - shown.begin));
      std::vector<FontRun> lineRuns = Slice(fontRuns, shown.begin, shown.end);
      if (cut && last) {
        lineRuns.push_back({lineText.size(), lineText.size() + ellipsis.size(), 0});
        lineText += ellipsis;
      }
      line.runs = InVisualOrder(ShapeText(fonts, lineText, lineRuns, slotFonts, nullptr));
      line.width = 0;
      for (const Run& run : line.runs) line.width += run.width;
      if (!(cut && last) || line.width <= room.width || shown.end == shown.begin) break;
      do {
        --shown.end;
      } while (shown.end > shown.begin && !(breaks[shown.end] & CutBefore));
      while (shown.end > shown.begin && (breaks[shown.end - 1] & Space)) --shown.end;
    }
    width_ = std::max(width_, line.width);
    lines_.push_back(std::move(line));
  }
}

void TextLayout::Draw(HDC dc, int left, int top, COLORREF colour) const {
  const UINT align = ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  ::SetTextColor(dc, colour);
  ::SetBkMode(dc, TRANSPARENT);
  int baseline = top + ascent_;
  for (const Line& line : lines_) {
    int x = left;
    for (const Run& run : line.runs) {
      ScopedSelect select(dc, run.font);
      if (run.cache) {
        ::ScriptTextOut(dc, run.cache, x, baseline, 0, nullptr, &run.analysis, nullptr, 0,
                        run.glyphs.data(), static_cast<int>(run.glyphs.size()), run.advances.data(),
                        nullptr, run.offsets.data());
      } else {
        ::ExtTextOutW(dc, x, baseline, 0, nullptr, run.text.c_str(),
                      static_cast<UINT>(run.text.size()), nullptr);
      }
      x += run.width;
    }
    baseline += lineHeight_;
  }
  ::SetTextAlign(dc, align);
}

}  // namespace tokalux
