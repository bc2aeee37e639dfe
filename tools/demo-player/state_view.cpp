#include "state_view.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "base/wide_text.h"

namespace tokalux::demo {

namespace {

constexpr COLORREF Background = RGB(20, 22, 30);
constexpr COLORREF Foreground = RGB(225, 228, 235);
constexpr COLORREF Dim = RGB(140, 145, 160);
constexpr COLORREF Track = RGB(55, 60, 75);
constexpr COLORREF Progress = RGB(0, 200, 90);

HFONT MakeFont(int height, int weight) {
  return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Arial");
}

std::wstring Clock(int64_t ms) {
  const int64_t seconds = ms / 1000;
  wchar_t text[32];
  std::swprintf(text, 32, L"%02lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

void Text(HDC dc, const std::wstring& text, RECT box, COLORREF colour, UINT format) {
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              format | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
}

// A play, pause or stop symbol in the box, drawn rather than taken from a font that may lack it.
void PaintStateSymbol(HDC dc, PlayState state, const RECT& box, COLORREF colour) {
  UniqueBrush brush(::CreateSolidBrush(colour));
  if (state == PlayState::Playing) {
    // Without a pen the polygon is one pixel short at the right and bottom: draw it that much
    // larger.
    const POINT triangle[] = {{box.left, box.top},
                              {box.right + 1, (box.top + box.bottom) / 2},
                              {box.left, box.bottom + 1}};
    ScopedSelect selectPen(dc, ::GetStockObject(NULL_PEN));
    ScopedSelect selectBrush(dc, brush.get());
    ::Polygon(dc, triangle, 3);
  } else if (state == PlayState::Paused) {
    const int bar = (box.right - box.left) / 3;
    const RECT first{box.left, box.top, box.left + bar, box.bottom};
    const RECT second{box.right - bar, box.top, box.right, box.bottom};
    ::FillRect(dc, &first, brush.get());
    ::FillRect(dc, &second, brush.get());
  } else {
    ::FillRect(dc, &box, brush.get());
  }
}

}  // namespace

StateView::StateView()
    : textFont_(MakeFont(14, FW_NORMAL)),
      boldFont_(MakeFont(15, FW_BOLD)),
      background_(::CreateSolidBrush(Background)),
      track_(::CreateSolidBrush(Track)),
      progress_(::CreateSolidBrush(Progress)) {}

void StateView::PaintContent(HDC dc, const RECT& area, const DemoState& state) const {
  ::FillRect(dc, &area, background_.get());
  ::SetBkMode(dc, TRANSPARENT);
  const int left = area.left + 8;
  const int right = area.right - 8;
  const int row = 20;
  const int top = area.top + 4;

  const auto [stateText, stateColour] = [&]() -> std::pair<const wchar_t*, COLORREF> {
    switch (state.state()) {
      case PlayState::Playing:
        return {L"Playing", RGB(0, 220, 100)};
      case PlayState::Paused:
        return {L"Paused", RGB(240, 200, 40)};
      case PlayState::Stopped:
        break;
    }
    return {L"Stopped", RGB(235, 80, 70)};
  }();
  PaintStateSymbol(dc, state.state(), {left, top + 5, left + 10, top + 15}, stateColour);
  {
    ScopedSelect font(dc, boldFont_.get());
    Text(dc, stateText, {left + 16, top, right, top + row}, stateColour, DT_LEFT);
  }
  ScopedSelect font(dc, textFont_.get());
  const std::wstring volume = L"Volume " + std::to_wstring(state.volume()) +
                              (state.clockRunning() ? L"" : L"   clock frozen") +
                              (state.oldPlayer() ? L"   old player" : L"");
  Text(dc, volume, {left, top, right, top + row}, Dim, DT_RIGHT);

  const Entry* entry = state.shownEntry();
  const std::size_t shown = state.state() == PlayState::Stopped ? state.position() : state.loaded();
  std::wstring line = entry ? std::to_wstring(shown + 1) + L"/" +
                                  std::to_wstring(state.playlist().size()) + L": " +
                                  Wide(entry->title)
                            : std::wstring(L"(empty playlist)");
  if (entry && state.position() != shown) {
    line += L"   (list at " + std::to_wstring(state.position() + 1) + L")";
  }
  Text(dc, line, {left, top + row, right, top + 2 * row}, Foreground, DT_LEFT | DT_END_ELLIPSIS);

  const int64_t lengthMs = entry && entry->lengthS > 0 ? int64_t{entry->lengthS} * 1000 : 0;
  const int64_t elapsedMs = state.state() == PlayState::Stopped ? 0 : state.elapsedMs();
  const std::wstring times =
      Clock(elapsedMs) + L" / " + (entry && entry->lengthS < 0 ? L"stream" : Clock(lengthMs));
  Text(dc, times, {left, top + 2 * row, right, top + 3 * row}, Foreground, DT_LEFT);

  if (entry) {
    const StreamDetails& stream = entry->stream;
    const std::wstring details = std::to_wstring(stream.sampleRateKhz) + L" kHz   " +
                                 std::to_wstring(stream.bitRateKbps) + L" kbps   " +
                                 std::to_wstring(stream.channels) + L" ch";
    Text(dc, details, {left, top + 3 * row, right, top + 4 * row}, Dim, DT_LEFT);
  }

  // The position within the track as a bar right of the times.
  RECT bar{left + 110, top + 2 * row + 7, right, top + 2 * row + 13};
  ::FillRect(dc, &bar, track_.get());
  if (lengthMs > 0 && elapsedMs > 0) {
    bar.right = bar.left + static_cast<LONG>((bar.right - bar.left) *
                                             std::min<int64_t>(elapsedMs, lengthMs) / lengthMs);
    ::FillRect(dc, &bar, progress_.get());
  }
}

}  // namespace tokalux::demo
