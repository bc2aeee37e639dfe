#include "text/text_fonts.h"

#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <set>

namespace tokalux {
namespace {

// A table tag as GetFontData takes it: the four letters in file order, read as a little-endian
// number.
constexpr DWORD TableTag(const char (&name)[5]) {
  return static_cast<DWORD>(static_cast<uint8_t>(name[0])) |
         static_cast<DWORD>(static_cast<uint8_t>(name[1])) << 8 |
         static_cast<DWORD>(static_cast<uint8_t>(name[2])) << 16 |
         static_cast<DWORD>(static_cast<uint8_t>(name[3])) << 24;
}

// Character maps beyond this are not fonts we can use.
constexpr DWORD LargestCmap = 16 * 1024 * 1024;

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfCharSet == b.lfCharSet && a.lfQuality == b.lfQuality &&
         SameFace(a.lfFaceName, b.lfFaceName);
}

// What a font has glyphs for: its character map, or, for a font without one (a bitmap font),
// the ranges GDI reports for it.
CharacterSet ReadFontCoverage(HDC dc, HFONT font) {
  ScopedSelect select(dc, font);
  constexpr DWORD cmap = TableTag("cmap");
  const DWORD size = ::GetFontData(dc, cmap, 0, nullptr, 0);
  if (size != GDI_ERROR && size > 0 && size <= LargestCmap) {
    std::string bytes(size, '\0');
    if (::GetFontData(dc, cmap, 0, bytes.data(), size) == size) {
      if (auto set = ReadCmap(bytes)) return std::move(*set);
    }
  }
  const DWORD glyphSetSize = ::GetFontUnicodeRanges(dc, nullptr);
  if (glyphSetSize < sizeof(GLYPHSET)) return {};
  std::vector<DWORD> buffer((glyphSetSize + sizeof(DWORD) - 1) / sizeof(DWORD));
  auto* glyphSet = reinterpret_cast<GLYPHSET*>(buffer.data());
  if (::GetFontUnicodeRanges(dc, glyphSet) == 0) return {};
  const std::size_t room = (glyphSetSize - offsetof(GLYPHSET, ranges)) / sizeof(WCRANGE);
  const std::size_t count = std::min<std::size_t>(glyphSet->cRanges, room);
  std::vector<CharacterSet::Range> ranges;
  for (std::size_t i = 0; i < count; ++i) {
    const WCRANGE& range = glyphSet->ranges[i];
    if (range.cGlyphs > 0) {
      ranges.emplace_back(range.wcLow, char32_t{range.wcLow} + range.cGlyphs - 1);
    }
  }
  return CharacterSet(std::move(ranges));
}

// Orders face names as GDI compares them, without regard to case (see SameFace).
struct FaceLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return std::towupper(x) < std::towupper(y); });
  }
};

// What a listing of installed faces collects: each face once in each list.
struct Listing {
  std::vector<std::wstring> all;
  std::vector<std::wstring> drawing;
  std::set<std::wstring, FaceLess> seen;
  std::set<std::wstring, FaceLess> seenDrawing;
};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto& faces = *reinterpret_cast<Listing*>(data);
  const std::wstring face = font->lfFaceName;
  if (face.empty()) return 1;
  if (faces.seen.insert(face).second) faces.all.push_back(face);
  // Vertical faces ("@..."), bitmap fonts and symbol fonts draw no script's text.
  if (face[0] == L'@' || (type & RASTER_FONTTYPE) || font->lfCharSet == SYMBOL_CHARSET) return 1;
  if (faces.seenDrawing.insert(face).second) faces.drawing.push_back(face);
  return 1;
}

}  // namespace

TextFonts::FaceList TextFonts::ListFaces(std::wstring_view face) const {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  if (face.size() >= LF_FACESIZE) return {};
  face.copy(query.lfFaceName, face.size());
  Listing faces;
  ::EnumFontFamiliesExW(dc_.get(), &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  return {std::move(faces.all), std::move(faces.drawing)};
}

TextFonts::TextFonts() {
  ScopedWindowDc screen(nullptr);
  dc_.reset(::CreateCompatibleDC(screen.get()));
}

HFONT TextFonts::Font(const FontRequest& request) {
  auto twin = std::find_if(twins_.begin(), twins_.end(),
                           [&](const auto& known) { return known.first == request.face; });
  if (twin == twins_.end()) {
    const auto installed = [this](std::wstring_view face) { return !ListFaces(face).all.empty(); };
    twins_.emplace_back(request.face, FaceOrTwin(request.face, installed));
    twin = twins_.end() - 1;
  }
  LOGFONTW like{};
  like.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
  like.lfItalic = request.italic ? TRUE : FALSE;
  like.lfCharSet = ANSI_CHARSET;
  like.lfOutPrecision = OUT_DEFAULT_PRECIS;
  like.lfQuality = DEFAULT_QUALITY;
  like.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  twin->second.copy(like.lfFaceName, LF_FACESIZE - 1);
  return Font(like, request.height);
}

HFONT TextFonts::Font(const LOGFONTW& like, int height, std::wstring_view face) {
  LOGFONTW wanted = like;
  wanted.lfHeight = -std::max(1, height);
  if (!face.empty()) {
    std::fill(std::begin(wanted.lfFaceName), std::end(wanted.lfFaceName), L'\0');
    face.substr(0, LF_FACESIZE - 1).copy(wanted.lfFaceName, LF_FACESIZE - 1);
    wanted.lfCharSet = DEFAULT_CHARSET;  // a fallback is asked for by face alone
    wanted.lfPitchAndFamily = DEFAULT_PITCH;
  }
  for (const auto& entry : entries_) {
    if (SameFont(entry->logFont, wanted)) return entry->font.get();
  }
  auto entry = std::make_unique<Entry>();
  entry->logFont = wanted;
  entry->font.reset(::CreateFontIndirectW(&wanted));
  ++fontsMade_;
  if (entry->font && dc_) {
    ScopedSelect select(dc_.get(), entry->font.get());
    ::GetTextMetricsW(dc_.get(), &entry->metrics);
  }
  entries_.push_back(std::move(entry));
  return entries_.back()->font.get();
}

TextFonts::Entry* TextFonts::Find(HFONT font) {
  for (const auto& entry : entries_) {
    if (entry->font.get() == font) return entry.get();
  }
  return nullptr;
}

SCRIPT_CACHE* TextFonts::ScriptCache(HFONT font) {
  Entry* entry = Find(font);
  return entry ? entry->cache.get() : nullptr;
}

const TEXTMETRICW& TextFonts::Metrics(HFONT font) {
  static const TEXTMETRICW none{};
  const Entry* entry = Find(font);
  return entry ? entry->metrics : none;
}

const CharacterSet& TextFonts::Coverage(HFONT font) {
  LOGFONTW logFont{};
  ::GetObjectW(font, sizeof(logFont), &logFont);
  return fallback_.Coverage(logFont.lfFaceName);
}

std::wstring TextFonts::FallbackFace(Script script, std::u32string_view chars,
                                     std::span<const std::wstring> skip) {
  return fallback_.Find(script, chars, skip);
}

const TextFonts::FaceList& TextFonts::Installed() {
  if (!installed_) installed_ = ListFaces({});
  return *installed_;
}

std::vector<std::wstring> TextFonts::InstalledFaces() {
  return Installed().drawing;
}

CharacterSet TextFonts::ReadCoverage(std::wstring_view face) {
  LOGFONTW wanted{};
  wanted.lfHeight = -16;  // any size: the character map is the same at all of them
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.substr(0, LF_FACESIZE - 1).copy(wanted.lfFaceName, LF_FACESIZE - 1);
  UniqueFont font(::CreateFontIndirectW(&wanted));
  ++fontsMade_;
  if (!font || !dc_) return {};
  return ReadFontCoverage(dc_.get(), font.get());
}

}  // namespace tokalux
