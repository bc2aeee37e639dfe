#include "screen/fonts.h"

#include <array>
#include <cwchar>

namespace tokalux {
namespace {

bool SystemHasFace(std::wstring_view face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  if (face.size() >= LF_FACESIZE) return false;
  face.copy(query.lfFaceName, face.size());
  bool found = false;
  ScopedWindowDc screen(nullptr);
  ::EnumFontFamiliesExW(
      screen.get(), &query,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
        *reinterpret_cast<bool*>(data) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

struct FaceFallbacks {
  std::wstring_view wanted;
  std::array<std::wstring_view, 4> twins;
};

// Metric-compatible twins first, then close relatives.
constexpr std::array<FaceFallbacks, 2> Fallbacks{{
    {L"Arial", {L"Liberation Sans", L"Arimo", L"Helvetica", L"Nimbus Sans"}},
    {L"MS Sans Serif", {L"Microsoft Sans Serif", L"Arial", L"Liberation Sans", L"Tahoma"}},
}};

}  // namespace

std::wstring MatchFontFace(std::wstring_view wanted) {
  if (SystemHasFace(wanted)) return std::wstring(wanted);
  for (const FaceFallbacks& entry : Fallbacks) {
    if (entry.wanted != wanted) continue;
    for (const std::wstring_view twin : entry.twins) {
      if (SystemHasFace(twin)) return std::wstring(twin);
    }
  }
  return std::wstring(wanted);
}

COLORREF ResolveColour(uint32_t colour) {
  if (IsSystemColour(colour)) return ::GetSysColor(SystemColourIndex(colour));
  return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

HFONT FontCache::Get(const FontSpec& spec) {
  for (const Entry& entry : entries_) {
    const FontSpec& have = entry.spec;
    if (have.face == spec.face && have.points == spec.points && have.bold == spec.bold &&
        have.italic == spec.italic) {
      return entry.font.get();
    }
  }
  LOGFONTW font{};
  font.lfHeight = -FontPixelHeight(spec.points, dpi_);
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = spec.italic ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::wstring face = MatchFontFace(spec.face);
  ::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  entries_.push_back({spec, UniqueFont(::CreateFontIndirectW(&font))});
  return entries_.back().font.get();
}

}  // namespace tokalux
