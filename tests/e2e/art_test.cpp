// The cover-art worker's Win32 half: decoding with WIC into pixels of the asked size, the bitmap
// the screen draws, and the worker thread: where it looks, what it delivers, how it gives up.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "art/art_worker.h"
#include "art/file_source.h"
#include "art/picture_decoder.h"
#include "art_files.h"
#include "base/com.h"
#include "gui/gui_handles.h"
#include "harness/picture_files.h"
#include "harness/process.h"
#include "screen/art_view.h"

namespace tokalux::e2e {
namespace {

using testing::Bytes;

constexpr uint32_t Orange = 0xE08020;  // 0xRRGGBB
constexpr uint32_t Teal = 0x2090A0;
constexpr UINT ArtReady = WM_APP + 7;

// COM for the test thread, as the screen's worker has it.
class ArtTest : public ::testing::Test {
 protected:
  ScopedCom com_;
};

// The pixel at (x, y) as 0xAARRGGBB.
uint32_t At(const Pixels& pixels, int x, int y) {
  return pixels.bgra[static_cast<std::size_t>(y) * pixels.width + x];
}

// Whether a premultiplied pixel is the opaque colour, within what JPEG's rounding moves it.
bool IsColour(uint32_t pixel, uint32_t rgb) {
  if (pixel >> 24 != 0xFF) return false;
  for (const int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(rgb >> shift & 0xFF)) >
        6) {
      return false;
    }
  }
  return true;
}

TEST_F(ArtTest, DecodesEachFormatIntoTheAskedSquare) {
  const PictureDecoder decoder;
  ASSERT_TRUE(decoder);
  for (const auto format :
       {PictureFormat::Png, PictureFormat::Bmp, PictureFormat::Gif, PictureFormat::Jpeg}) {
    SCOPED_TRACE(static_cast<int>(format));
    // 48 by 24 into 64: 64 by 32 in the middle rows, transparent bars above and below.
    const Bytes picture = EncodePicture(format, 48, 24, Orange);
    ASSERT_FALSE(picture.empty());
    const auto pixels = decoder.Decode(picture, 64);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(pixels->width, 64);
    ASSERT_EQ(pixels->height, 64);
    for (const int y : {16, 32, 47}) {
      for (const int x : {0, 31, 63}) EXPECT_TRUE(IsColour(At(*pixels, x, y), Orange)) << x << y;
    }
    for (const int y : {0, 15, 48, 63}) EXPECT_EQ(At(*pixels, 32, y), 0u) << y;
  }
  // Translucent pixels come premultiplied.
  const auto translucent =
      decoder.Decode(EncodePicture(PictureFormat::TranslucentPng, 4, 4, 0xFF8000), 4);
  ASSERT_TRUE(translucent);
  EXPECT_EQ(At(*translucent, 1, 1), 0x80804000u);
  // Tall, and scaled up.
  const auto tall = decoder.Decode(EncodePicture(PictureFormat::Png, 3, 6, Teal), 100);
  ASSERT_TRUE(tall);
  EXPECT_TRUE(IsColour(At(*tall, 50, 0), Teal));
  EXPECT_TRUE(IsColour(At(*tall, 25, 99), Teal));
  EXPECT_EQ(At(*tall, 24, 50), 0u);
  EXPECT_EQ(At(*tall, 75, 50), 0u);
}

TEST_F(ArtTest, ABrokenPictureIsNoPicture) {
  const PictureDecoder decoder;
  const Bytes png = EncodePicture(PictureFormat::Png, 20, 20, Orange);
  ASSERT_TRUE(decoder.Decode(png, 10));
  const Bytes cut(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
  for (const Bytes& broken : {cut, testing::FakePicture('x'), Bytes{}}) {
    EXPECT_FALSE(decoder.Decode(broken, 10));
  }
  EXPECT_FALSE(decoder.Decode(png, 0));
  EXPECT_FALSE(decoder.Decode(png, MaxSide + 1));
  // A JPEG that says 5000 x 5000 would decode to 75 MB: past the budget, it is never decoded.
  const Bytes jpeg = EncodePicture(PictureFormat::Jpeg, 16, 16, Orange);
  EXPECT_TRUE(decoder.Decode(WithJpegSize(jpeg, 1000, 1000), 10));
  EXPECT_FALSE(decoder.Decode(WithJpegSize(jpeg, 5000, 5000), 10));
}

TEST_F(ArtTest, PixelsBecomeATopDownDibSection) {
  const Pixels pixels{2, 3, {0xFF000001, 2, 3, 4, 5, 0xFF102030}};
  const UniqueBitmap bitmap = MakeDibSection(pixels);
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  ASSERT_EQ(::GetObjectW(bitmap.get(), sizeof(info), &info), sizeof(info));
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmBitsPixel, 32);
  // The first pixel is the top left one, the last the bottom right one.
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  const ScopedSelect select(dc.get(), bitmap.get());
  EXPECT_EQ(::GetPixel(dc.get(), 0, 0), RGB(0, 0, 1));
  EXPECT_EQ(::GetPixel(dc.get(), 1, 2), RGB(0x10, 0x20, 0x30));
  EXPECT_FALSE(MakeDibSection(Pixels{}));
}

// The worker's owners: a failed open or search is an empty owner, and COM that the thread has in
// another apartment already is left as it was.
TEST_F(ArtTest, AFailedOpenSearchOrStartOwnsNothing) {
  const std::wstring missing = ScratchPath(L"missing");
  EXPECT_FALSE(UniqueFile(
      ::CreateFileW(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
  WIN32_FIND_DATAW found{};
  EXPECT_FALSE(UniqueFileSearch(::FindFirstFileExW(missing.c_str(), FindExInfoBasic, &found,
                                                   FindExSearchNameMatch, nullptr, 0)));
  std::thread([] {
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_FALSE(ScopedCom());
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);  // still started
    ::CoUninitialize();
    ::CoUninitialize();
  }).join();
}

// A message-only window that counts the worker's messages.
class Receiver {
 public:
  Receiver() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
      if (message == ArtReady) ++messages;
      return ::DefWindowProcW(window, message, w, l);
    };
    windowClass.lpszClassName = L"tokalux art test";
    ::RegisterClassW(&windowClass);
    window_.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, nullptr, nullptr));
    messages = 0;
  }
  HWND window() const { return window_.get(); }

  // Waits for a message from the worker and takes the result.
  std::optional<ArtResult> Next(ArtWorker& worker, int wanted = 1) {
    if (!WaitUntil([&] { return messages >= wanted; }, 10s)) return std::nullopt;
    return worker.Take();
  }
  static inline std::atomic<int> messages{0};

 private:
  UniqueWindow window_;
};

TEST_F(ArtTest, WorkerTakesTheEmbeddedPictureElseTheBestBesideTheTrack) {
  ScratchFolder folder(ScratchPath(L"art"));
  const std::wstring tagged = folder.Put(
      L"tagged.mp3", testing::Mp3WithCover(EncodePicture(PictureFormat::Jpeg, 30, 30, Orange)));
  const std::wstring plain = folder.Put(L"plain.flac", Bytes(300, 0));
  folder.Put(L"Cover.PNG", EncodePicture(PictureFormat::Png, 10, 10, Teal));
  folder.Put(L"AlbumArtSmall.jpg", EncodePicture(PictureFormat::Jpeg, 10, 10, Orange));
  folder.Put(L"folder.jpg", Bytes(50, 'x'));  // the best name, but no picture

  // A tag editor has the file open for writing, letting others read.
  const UniqueFile editor(::CreateFileW(tagged.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(editor);
  Receiver receiver;
  ArtWorker worker(receiver.window(), ArtReady);
  const struct {
    std::wstring path;
    std::optional<uint32_t> colour;
  } cases[] = {
      {tagged, Orange},
      {plain, Teal},
      {L"http://radio.example/stream.mp3", std::nullopt},
      {folder.path() + L"\\missing.mp3", std::nullopt},  // not the folder's pictures either
      {L"Q:\\no such folder\\x.mp3", std::nullopt},
  };
  int expected = 0;
  for (const auto& c : cases) {
    worker.Request(c.path, 40);
    const auto result = receiver.Next(worker, ++expected);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->trackPath, c.path);
    EXPECT_EQ(result->side, 40);
    ASSERT_EQ(result->picture.has_value(), c.colour.has_value());
    if (c.colour) {
      EXPECT_TRUE(IsColour(At(*result->picture, 20, 20), *c.colour));
    }
    EXPECT_FALSE(worker.Take());  // taken once
  }

  // A path longer than MAX_PATH, given without the \\?\ prefix.
  ScratchFolder deep(folder.path() + L"\\" + std::wstring(200, L'd'));
  const std::wstring longTrack = deep.Put(std::wstring(100, L't') + L".mp3", Bytes(10, 0));
  deep.Put(L"front.png", EncodePicture(PictureFormat::Png, 10, 10, Orange));
  ASSERT_GT(longTrack.size(), MAX_PATH);
  worker.Request(longTrack, 40);
  const auto result = receiver.Next(worker, ++expected);
  ASSERT_TRUE(result && result->picture);
  EXPECT_TRUE(IsColour(At(*result->picture, 20, 20), Orange));
}

// A worker whose track C:\blocked\a.mp3 is a pipe that nobody writes to: its reads block as
// those from a share that stopped answering do, until the worker gives them up.
struct BlockingWorker {
  std::wstring pipeName = L"\\\\.\\pipe\\tokalux-art-" + std::to_wstring(::GetCurrentProcessId());
  UniqueFile pipe{::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096,
                                     4096, 0, nullptr)};
  UniqueHandle opened{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::unique_ptr<ArtWorker> worker;

  explicit BlockingWorker(HWND window) {
    worker = std::make_unique<ArtWorker>(
        window, ArtReady,
        [this](const std::wstring& path, HANDLE giveUp) -> std::unique_ptr<ByteSource> {
          if (path != L"C:\\blocked\\a.mp3") return ArtWorker::DefaultOpener()(path, giveUp);
          UniqueFile client(::CreateFileW(pipeName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OVERLAPPED, nullptr));
          ::SetEvent(opened.get());
          return std::make_unique<FileSource>(std::move(client), 1 << 20, giveUp);
        });
  }
  // Whether the worker has opened the pipe (and is reading it, or about to).
  bool Opened() const { return ::WaitForSingleObject(opened.get(), 5000) == WAIT_OBJECT_0; }
  // Whether the worker has let go of the pipe: its read ended and its source is gone.
  bool LetGo() const {
    DWORD available = 0;
    return !::PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &available, nullptr) &&
           ::GetLastError() == ERROR_BROKEN_PIPE;
  }
};

TEST_F(ArtTest, WorkerDeliversOnlyTheLatestRequest) {
  ScratchFolder folder(ScratchPath(L"art"));
  const std::wstring orange =
      folder.Put(L"o.mp3", testing::Mp3WithCover(EncodePicture(PictureFormat::Png, 8, 8, Orange)));
  const std::wstring teal =
      folder.Put(L"t.mp3", testing::Mp3WithCover(EncodePicture(PictureFormat::Png, 8, 8, Teal)));
  Receiver receiver;
  BlockingWorker blocking(receiver.window());
  ArtWorker& worker = *blocking.worker;

  // Two quick requests: whatever the first got to, only the second's picture arrives.
  worker.Request(orange, 16);
  worker.Request(teal, 16);
  std::optional<ArtResult> result;
  ASSERT_TRUE(WaitUntil([&] { return (result = worker.Take()).has_value(); }, 10s));
  ASSERT_TRUE(result->picture);
  EXPECT_EQ(result->trackPath, teal);
  EXPECT_TRUE(IsColour(At(*result->picture, 8, 8), Teal));

  // A result not taken before the next request is never taken. A request whose read blocks
  // gives way to the next: its read is given up, its result dropped, and the next track's
  // picture arrives.
  PumpFor(100ms);
  const int before = receiver.messages;
  worker.Request(teal, 16);
  ASSERT_TRUE(WaitUntil([&] { return receiver.messages > before; }, 10s));
  receiver.messages = 0;
  worker.Request(L"C:\\blocked\\a.mp3", 16);
  EXPECT_FALSE(worker.Take());
  ASSERT_TRUE(blocking.Opened());
  PumpFor(100ms);
  EXPECT_FALSE(blocking.LetGo());
  worker.Request(orange, 16);
  result = receiver.Next(worker);
  ASSERT_TRUE(result && result->picture);
  EXPECT_EQ(result->trackPath, orange);
  EXPECT_TRUE(blocking.LetGo());
  PumpFor(200ms);
  EXPECT_EQ(receiver.messages, 1);
  EXPECT_FALSE(worker.Take());
}

// An open that blocks in a call only CancelSynchronousIo ends, and that began right after a newer
// request came (whose own cancel found nothing to cancel yet), still gives way to that request.
TEST_F(ArtTest, AnOpenThatBlocksBehindANewerRequestIsCancelledAgain) {
  ScratchFolder folder(ScratchPath(L"art"));
  const std::wstring teal =
      folder.Put(L"t.mp3", testing::Mp3WithCover(EncodePicture(PictureFormat::Png, 8, 8, Teal)));
  const UniqueHandle entered(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      overtaken(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const auto open = [&](const std::wstring& path, HANDLE giveUp) -> std::unique_ptr<ByteSource> {
    if (path == teal) return FileSource::Open(path, giveUp);
    ::SetEvent(entered.get());
    ::WaitForSingleObject(overtaken.get(), 5000);
    HANDLE read = nullptr, write = nullptr;
    ::CreatePipe(&read, &write, nullptr, 0);
    const UniqueHandle reader(read), writer(write);
    DWORD got = 0;
    ::ReadFile(read, &got, 1, &got, nullptr);  // nobody writes
    return nullptr;
  };
  Receiver receiver;
  ArtWorker worker(receiver.window(), ArtReady, open);
  worker.Request(L"C:\\stalled\\a.mp3", 16);
  ASSERT_EQ(::WaitForSingleObject(entered.get(), 5000), WAIT_OBJECT_0);
  worker.Request(teal, 16);
  ::SetEvent(overtaken.get());
  const auto result = receiver.Next(worker);
  ASSERT_TRUE(result && result->picture);
  EXPECT_EQ(result->trackPath, teal);
}

TEST_F(ArtTest, AWorkerDestroyedDuringAReadEndsPromptly) {
  Receiver receiver;
  BlockingWorker blocking(receiver.window());
  blocking.worker->Request(L"C:\\blocked\\a.mp3", 16);
  ASSERT_TRUE(blocking.Opened());
  PumpFor(100ms);
  const auto start = std::chrono::steady_clock::now();
  blocking.worker.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  // The read was given up, not left behind with its thread.
  EXPECT_TRUE(blocking.LetGo());
  PumpFor(100ms);
  EXPECT_EQ(receiver.messages, 0);
}

}  // namespace
}  // namespace tokalux::e2e
