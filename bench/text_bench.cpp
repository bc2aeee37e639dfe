// Figures for laying captions out, what a label does when its caption changes (an unchanged one
// costs nothing):
//   title     the song title of 156 characters, too long for its room at 48 points, fitted by
//             shrinking (room of 1024x768 at 96 dpi), first with fresh fonts, then as again later
//   lines     fifteen playlist lines that all change at once (the list scrolled), in four scripts,
//             the long ones cut with an ellipsis at the screen's edge
//   missing   fifteen changed lines, each with characters no installed face has (a private-use
//             character, an emoji newer than the emoji fonts) and a TAB: the first time, with
//             fresh fonts (every installed face's coverage read once), then again; with the fonts
//             the text layout made and holds, and the process's GDI objects (Wine counts none)
// The fallback walk grows with the installed faces: run it with and without many (Debian's
// fonts-noto-core, fonts-noto-extra and fonts-noto-ui-core give about 1,900 font files).
// Usage: text_bench.exe [--runs N] (run under Wine: scripts/bench.sh).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_common.h"
#include "screen/fonts.h"
#include "screen/layout.h"
#include "text/text_fonts.h"
#include "text/text_layout.h"

namespace {

using namespace tokalux;

template <typename Work>
double MedianMs(int runs, Work&& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = bench::Now() * 1000.0;
    work(i);
    times.push_back(bench::Now() * 1000.0 - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

const std::wstring Title =
    L"12. Mara Lindqvist, Juno Falk & Orla & The Tides - Where The Northern Rivers Meet The Sea At "
    L"Last (feat. The Sundial Choir & The Velvet Circuit Strings) [De";

const std::wstring Lines[] = {
    L"Northbound Static - Electric Motion (feat. Amber Wires, Kasimir Drei & The Lowland Radio "
    L"Orchestra) [2024 Remaster]",
    L"\u661f\u91ce\u307f\u306a\u3068 - \u591c\u660e\u3051\u306e\u30e1\u30ed\u30c7\u30a3\u30fc",
    L"\u0641\u0631\u0642\u0629 \u0627\u0644\u0646\u0648\u0631 - \u0646\u0633\u0645 \u0639\u0644"
    L"\u064a\u0646\u0627 \u0627\u0644\u0647\u0648\u0649",
    L"Juno Falk - Distant Gardens",
    L"Lowland Radio 24/7 | Now playing: Amber Wires - Golden Echoes (Extended Club Mix) | "
    L"lowlandradio.example"};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = bench::ArgValue(argc, argv, L"--runs", 50);
  constexpr int dpi = 96;
  // Each set of fonts below makes its own title and line fonts, as the screen saver's does.
  const FontSpec& titleSpec = FindControlSpec(102)->font;
  const FontSpec& lineSpec = FindControlSpec(401)->font;
  const FitRoom titleRoom{1018, 240, true, FontPixelHeight(48, dpi), FontPixelHeight(24, dpi)};
  // A line first takes all the width it wants and is fitted again when that is too much, as the
  // label does.
  const int lineHeight = FontPixelHeight(9.75, dpi);
  // The room down to the next line, as a line has it.
  const int pitch = 24 * dpi / 96;
  const FitRoom anyWidth{1 << 30, pitch, false, lineHeight, lineHeight};
  const FitRoom lineRoom{1024 - 528, pitch, false, lineHeight, lineHeight};

  TextFonts cold;
  const HFONT coldTitleFont = ControlFont(cold, titleSpec, dpi);
  TextLayout layout;
  double start = bench::Now() * 1000.0;
  layout.Fit(cold, coldTitleFont, Title, titleRoom);
  const double first = bench::Now() * 1000.0 - start;
  std::printf("title, first (fonts made):   %6.2f ms, drawn at %d px of %d, %zu-character title\n",
              first, layout.fontHeight(), titleRoom.fontHeight, Title.size());

  TextFonts fonts;
  const HFONT titleFont = ControlFont(fonts, titleSpec, dpi);
  const HFONT lineFont = ControlFont(fonts, lineSpec, dpi);
  layout.Fit(fonts, titleFont, Title, titleRoom);
  const double title = MedianMs(runs, [&](int) { layout.Fit(fonts, titleFont, Title, titleRoom); });
  std::printf("title, again:                %6.2f ms (median of %d)\n", title, runs);

  std::vector<TextLayout> lines(15);
  const double all = MedianMs(runs, [&](int run) {
    for (int i = 0; i < 15; ++i) {
      const std::wstring caption = std::to_wstring(run * 15 + i) + L" . " + Lines[(run + i) % 5];
      TextLayout& line = lines[static_cast<std::size_t>(i)];
      line.Fit(fonts, lineFont, caption, anyWidth);
      if (line.width() > lineRoom.width) line.Fit(fonts, lineFont, caption, lineRoom);
    }
  });
  std::printf("fifteen changed lines:       %6.2f ms (median of %d)\n", all, runs);

  const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  TextFonts fresh;
  HFONT freshLineFont = nullptr;
  const auto missing = [&](int run) {
    for (int i = 0; i < 15; ++i) {
      const std::wstring caption = std::to_wstring(run * 15 + i) +
                                   L" . Amber Wires\t\uE000 Falling Hearts \U0001FAE0 (Live)";
      lines[static_cast<std::size_t>(i)].Fit(fresh, freshLineFont, caption, anyWidth);
    }
  };
  start = bench::Now() * 1000.0;
  freshLineFont = ControlFont(fresh, lineSpec, dpi);  // the installed faces listed here
  missing(0);
  const double missingFirst = bench::Now() * 1000.0 - start;
  const int madeFirst = fresh.fontsMade();
  const double missingAgain = MedianMs(runs, [&](int run) { missing(run + 1); });
  const DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  std::printf("%zu installed faces\n", fresh.AllFaces().size());
  std::printf("fifteen lines, missing characters, first (fonts made): %8.2f ms, %d fonts made\n",
              missingFirst, madeFirst);
  std::printf("fifteen changed lines, missing characters, again:      %8.2f ms (median of %d)\n",
              missingAgain, runs);
  std::printf("fonts made in all %d, held %d", fresh.fontsMade(), fresh.fontsHeld());
  if (gdiAfter == 0) {
    std::printf("; GDI objects of the process n/a (not counted here)\n");
  } else {
    std::printf("; GDI objects of the process %lu, %+ld over these lines\n",
                static_cast<unsigned long>(gdiAfter),
                static_cast<long>(gdiAfter) - static_cast<long>(gdiBefore));
  }
  return 0;
}
