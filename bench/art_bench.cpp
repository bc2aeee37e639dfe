// Figures for the cover-art worker: from a request to the delivered pixels (the message posted
// to the window, the result taken), for an MP3 whose ID3v2 tag holds a 1000 x 1000 JPEG, scaled
// to a 400-pixel square; median, fastest and slowest of many, each request a new track. Also the
// WIC decode and scale alone, on the calling thread.
// Usage: art_bench.exe [--runs N] [--side S] (run under Wine: wine build/windows/art_bench.exe).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "art/art_worker.h"
#include "art/picture_decoder.h"
#include "art_files.h"
#include "bench_common.h"
#include "harness/picture_files.h"
#include "harness/process.h"

namespace {

using namespace tokalux;
using namespace tokalux::e2e;

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-40s median %7.2f ms   fastest %7.2f ms   slowest %7.2f ms   (%zu runs)\n", what,
              times[times.size() / 2], times.front(), times.back(), times.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = bench::ArgValue(argc, argv, L"--runs", 40);
  const int side = bench::ArgValue(argc, argv, L"--side", 400);
  ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);

  // A photo-like picture: gradients with some noise, so the JPEG is of a usual size.
  const std::vector<uint8_t> jpeg =
      EncodePicture(PictureFormat::Jpeg, 1000, 1000, 0, [](uint32_t x, uint32_t y) {
        const uint32_t noise = (x * 7919u ^ y * 104729u) % 41u;
        return ((x / 4 + noise) & 0xFF) << 16 | ((y / 4 + noise) & 0xFF) << 8 |
               ((x + y) / 8 & 0xFF);
      });
  if (jpeg.empty()) {
    std::fprintf(stderr, "the JPEG encoder failed\n");
    return 1;
  }
  std::vector<std::wstring> tracks;
  for (int i = 0; i < 2; ++i) {
    tracks.push_back(ScratchPath(L"art-bench") + L".mp3");
    if (!WriteBytes(tracks.back(), testing::Mp3WithCover(jpeg))) return 1;
  }
  std::printf("1000 x 1000 JPEG of %zu KiB in an MP3, scaled to %d x %d\n", jpeg.size() / 1024,
              side, side);

  const PictureDecoder decoder;
  std::vector<double> decodes;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!decoder.Decode(jpeg, side)) return 1;
    decodes.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
  }

  constexpr UINT Ready = WM_APP;
  const HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  std::vector<double> requests;
  {
    ArtWorker worker(window, Ready);
    for (int i = 0; i < runs; ++i) {
      const auto start = std::chrono::steady_clock::now();
      worker.Request(tracks[i % 2], side);
      MSG message;
      while (::GetMessageW(&message, window, Ready, Ready) > 0) {
        if (const auto result = worker.Take()) {
          if (!result->picture) return 1;
          break;
        }
      }
      requests.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
  }
  ::DestroyWindow(window);
  for (const std::wstring& track : tracks) ::DeleteFileW(track.c_str());

  Print("decode and scale alone", decodes);
  Print("request to delivered pixels (worker)", requests);
  std::printf("%-40s %7.2f ms\n", "first request", requests.front());
  ::CoUninitialize();
  return 0;
}
