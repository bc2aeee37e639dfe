// Figures for the cover-art worker: from a request to the delivered pixels (the message posted
// to the window, the result taken), for an MP3 whose ID3v2 tag holds a 1000 x 1000 JPEG, scaled
// to a 400-pixel square; median, fastest and slowest of many, each request a new track. Also the
// WIC decode and scale alone, on the calling thread. Then the screen saver's peak working set,
// against the demo player, while it shows a 4000 x 4000 JPEG cover, and while it is handed each of
// a few made-to-hurt files, each followed by a good picture, which must still show.
// Usage: art_bench.exe [--runs N] [--side S] [--skip-largest 1] (run under Wine: wine
// build/windows/art_bench.exe). --skip-largest leaves out the JPEG that says 65500 x 65500, for
// a build without a decoding budget, which would try to take 12.9 GB for it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "art/art_worker.h"
#include "art/picture_decoder.h"
#include "art_files.h"
#include "base/com.h"
#include "bench_common.h"
#include "gui/gui_handles.h"
#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/process.h"
#include "harness/screen_saver.h"

namespace {

using namespace tokalux;
using namespace tokalux::e2e;

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A zlib stream of count zero bytes: a literal zero, then copies of 258 bytes from one back, in
// one block of the fixed Huffman codes.
std::vector<uint8_t> ZlibOfZeros(uint64_t count) {
  std::vector<uint8_t> out = {0x78, 0x01};
  uint32_t bits = 0;
  int used = 0;
  const auto put = [&](uint32_t code, int length, bool huffman) {  // Huffman codes go MSB first
    for (int i = 0; i < length; ++i) {
      const uint32_t bit = huffman ? code >> (length - 1 - i) & 1 : code >> i & 1;
      bits |= bit << used;
      if (++used == 8) {
        out.push_back(static_cast<uint8_t>(bits));
        bits = 0;
        used = 0;
      }
    }
  };
  put(1, 1, false);    // the last block
  put(1, 2, false);    // of fixed codes
  put(0x30, 8, true);  // literal 0
  for (uint64_t i = 0; i < (count - 1) / 258; ++i) {
    put(0xC5, 8, true);  // length 258
    put(0, 5, true);     // distance 1
  }
  for (uint64_t i = 0; i < (count - 1) % 258; ++i) put(0x30, 8, true);
  put(0, 7, true);  // end of block
  if (used > 0) out.push_back(static_cast<uint8_t>(bits));
  const auto adler = static_cast<uint32_t>(count % 65521) << 16 | 1;
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(adler >> shift));
  return out;
}

uint32_t Crc32(const std::vector<uint8_t>& bytes, std::size_t from) {
  uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  for (const int shift : {24, 16, 8, 0}) png.push_back(static_cast<uint8_t>(data.size() >> shift));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const uint32_t crc = Crc32(png, start);
  for (const int shift : {24, 16, 8, 0}) png.push_back(static_cast<uint8_t>(crc >> shift));
}

// A PNG, black (all zero), of the colour type and depth: small on disk, however large.
std::vector<uint8_t> BlackPng(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType,
                              int channels) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> header;
  for (const uint32_t value : {width, height}) {
    for (const int shift : {24, 16, 8, 0}) header.push_back(static_cast<uint8_t>(value >> shift));
  }
  header.insert(header.end(), {depth, colourType, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  const uint64_t row = 1 + uint64_t{width} * channels * depth / 8;  // the filter byte first
  PutChunk(png, "IDAT", ZlibOfZeros(row * height));
  PutChunk(png, "IEND", {});
  return png;
}

// Shows the track in the screen saver, against the demo player, then the good track, and prints
// the screen saver's peak working set, whether the track's picture showed and whether the good
// one still did.
bool PrintPeak(const char* what, const std::wstring& track, const std::wstring& good) {
  const std::wstring list = ScratchPath(L"art-bench-list");
  {
    std::ofstream file(std::filesystem::path(list), std::ios::binary);
    for (const std::wstring& path : {track, good}) {
      const std::u8string utf8 = std::filesystem::path(path).u8string();
      file << "Track\t200\t" << std::string(utf8.begin(), utf8.end()) << "\n";
    }
  }
  DemoPlayer player(L"--playlist \"" + list + L"\"");
  ScreenSaver saver(L"/S");
  const HWND cover = player.Control("clock off") && saver.WaitForForm()
                         ? saver.Control(ControlId::picCover)
                         : nullptr;
  const auto centre = [&] { return ScreenPixel(CentreOf(cover)); };
  const bool shown = cover && WaitUntil([&] { return centre() != RGB(0, 0, 0); }, 5s);
  const COLORREF first = cover ? centre() : 0;
  const bool next = cover && player.Control("position 1") &&
                    WaitUntil([&] { return centre() != first && centre() != RGB(0, 0, 0); }, 10s);
  PROCESS_MEMORY_COUNTERS memory{};
  const bool read = saver.IsRunning() &&
                    ::GetProcessMemoryInfo(saver.process().handle(), &memory, sizeof(memory));
  ::DeleteFileW(list.c_str());
  std::printf("%-44s screen saver's peak working set %7.1f MiB   its picture %-8s next %s\n", what,
              static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0),
              shown ? "shown" : "black", next ? "shown" : "MISSING");
  return read && next;
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
  const ScopedCom com;

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
  const UniqueWindow window(
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  std::vector<double> requests;
  {
    ArtWorker worker(window.get(), Ready);
    for (int i = 0; i < runs; ++i) {
      const auto start = std::chrono::steady_clock::now();
      worker.Request(tracks[i % 2], side);
      MSG message;
      while (::GetMessageW(&message, window.get(), Ready, Ready) > 0) {
        if (const auto result = worker.Take()) {
          if (!result->picture) return 1;
          break;
        }
      }
      requests.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
  }

  // What the system's JPEG decoder offers for decoding at a fraction of the size.
  {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> jpegDecoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IUnknown> transform;
    const bool offered =
        SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(factory.put()))) &&
        SUCCEEDED(factory->CreateStream(stream.put())) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data()),
                                               static_cast<DWORD>(jpeg.size()))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(
            stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, jpegDecoder.put())) &&
        SUCCEEDED(jpegDecoder->GetFrame(0, frame.put())) &&
        SUCCEEDED(frame->QueryInterface(IID_WICBitmapSourceTransform,
                                        reinterpret_cast<void**>(transform.put())));
    std::printf("%-40s %s\n", "JPEG decoder's IWICBitmapSourceTransform",
                offered ? "offered" : "not offered");
  }
  Print("decode and scale alone", decodes);
  Print("request to delivered pixels (worker)", requests);
  std::printf("%-40s %7.2f ms\n", "first request", requests.front());

  // Peak memory, each file in a screen saver of its own (the 1000 x 1000 JPEG's track as the good
  // one after it).
  std::printf("\nthe screen saver's peak working set, a track's picture then a good one\n");
  const std::vector<uint8_t> small = EncodePicture(PictureFormat::Jpeg, 16, 16, 0x808080);
  const auto noise = [](uint32_t x, uint32_t y) { return (x ^ y) * 2654435761u >> 8; };
  const struct {
    const char* what;
    std::vector<uint8_t> picture;
  } files[] = {
      {"4000 x 4000 JPEG cover", EncodePicture(PictureFormat::Jpeg, 4000, 4000, 0, noise)},
      {"8192 x 8192 grey PNG (the budget's most)", BlackPng(8192, 8192, 8, 0, 1)},
      {"2896 x 2896 16-bit RGBA PNG (likewise)", BlackPng(2896, 2896, 16, 6, 4)},
      {"20000 x 20000 grey PNG", BlackPng(20000, 20000, 8, 0, 1)},
      {"5800 x 5800 16-bit RGBA PNG", BlackPng(5800, 5800, 16, 6, 4)},
      {"JPEG that says 20000 x 20000", WithJpegSize(small, 20000, 20000)},
      {"JPEG that says 65500 x 65500", WithJpegSize(small, 65500, 65500)},
  };
  const bool skipLargest = bench::ArgValue(argc, argv, L"--skip-largest", 0) != 0;
  bool measured = true;
  for (const auto& file : files) {
    if (skipLargest && file.what == files[std::size(files) - 1].what) continue;
    const std::wstring track = ScratchPath(L"art-bench-peak") + L".mp3";
    std::printf("%-44s %zu KiB in an MP3\n", file.what, file.picture.size() / 1024);
    if (file.picture.empty() || !WriteBytes(track, testing::Mp3WithCover(file.picture))) return 1;
    measured = PrintPeak(file.what, track, tracks[0]) && measured;
    ::DeleteFileW(track.c_str());
  }
  for (const std::wstring& track : tracks) ::DeleteFileW(track.c_str());
  return measured ? 0 : 1;
}
