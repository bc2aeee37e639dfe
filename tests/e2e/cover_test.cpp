// The current track's picture on the running screen saver: from the entry's file or its folder,
// in the empty area right of the playlist, the same place for every track, changing with the
// track, and black where there is none.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "art_files.h"
#include "base/com.h"
#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/screen_saver.h"
#include "screen/layout.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;

constexpr COLORREF Orange = RGB(0xE0, 0x80, 0x20);
constexpr COLORREF Teal = RGB(0x20, 0x90, 0xA0);
constexpr COLORREF Black = RGB(0, 0, 0);

// Whether a screen pixel is the colour, within what JPEG's rounding moves it.
bool Near(COLORREF pixel, COLORREF colour) {
  for (const int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>(pixel >> shift & 0xFF) -
                 static_cast<int>(colour >> shift & 0xFF)) > 8) {
      return false;
    }
  }
  return true;
}

class CoverTest : public ::testing::Test {
 protected:
  // Entries: a track with its picture in its tags, one whose folder has one, a stream, a track
  // with none anywhere, a file that is not there, and one on a share that stopped answering.
  static std::wstring Playlist(const std::vector<std::wstring>& paths) {
    const std::wstring list = ScratchPath(L"covers");
    std::ofstream file(std::filesystem::path(list), std::ios::binary);
    const char* const titles[] = {"Tagged", "Folder", "Radio", "Bare", "Gone", "Stalled"};
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const std::u8string path = std::filesystem::path(paths[i]).u8string();
      file << titles[i]
           << " - a title long enough to run past the middle of any screen and on\t200\t"
           << std::string(path.begin(), path.end()) << "\n";
    }
    return list;
  }

  // Files under C:\stalled open as on a share that stopped answering: the screen saver's open
  // blocks until it is cancelled (a seam for tests: Wine has no such share).
  static void SetUpTestSuite() {
    ::SetEnvironmentVariableW(L"TOKALUX_TEST_STALLED_FILES", L"C:\\stalled\\");
  }
  void SetUp() override {
    ASSERT_NE(player_.window(), nullptr);
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_NE(saver_.WaitForForm(), nullptr);
    ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 6"));
    cover_ = saver_.Control(id::picCover);
    ASSERT_NE(cover_, nullptr);
  }
  void TearDown() override { ::DeleteFileW(playlist_.c_str()); }

  // Moves the player to the entry and waits for the centre of the picture to show the colour.
  bool ShowsFor(int entry, COLORREF colour) {
    if (!player_.Control("position " + std::to_string(entry))) return false;
    return WaitUntil([&] { return Near(ScreenPixel(CentreOf(cover_)), colour); }, 5s);
  }

  ScopedCom com_;  // for the encoders that make the pictures
  ScratchFolder root_{ScratchPath(L"music")};
  ScratchFolder album_{root_.path() + L"\\album"};
  ScratchFolder bare_{root_.path() + L"\\bare"};
  std::wstring playlist_ = Playlist({
      root_.Put(L"tagged.mp3",
                testing::Mp3WithCover(EncodePicture(PictureFormat::Jpeg, 400, 400, 0xE08020))),
      [&] {
        album_.Put(L"Folder.JPG", EncodePicture(PictureFormat::Png, 64, 64, 0x2090A0));
        return album_.Put(L"track.flac", testing::FlacFile({}));
      }(),
      L"http://radio.example/stream",
      bare_.Put(L"plain.mp3", testing::Bytes(4000, 0xFB)),
      root_.path() + L"\\gone.mp3",
      L"C:\\stalled\\track.mp3",
  });
  DemoPlayer player_{L"--playlist \"" + playlist_ + L"\""};
  ScreenSaver saver_{L"/S"};
  HWND cover_ = nullptr;
};

TEST_F(CoverTest, ThePictureOfEachTrackInTheSamePlaceAndBlackWhereThereIsNone) {
  const RECT place = ScreenRect(cover_);
  EXPECT_TRUE(::IsWindowVisible(cover_));
  EXPECT_EQ(place.right - place.left, place.bottom - place.top);
  EXPECT_GE(place.right - place.left, 200);  // on 1024 x 768 at 96 dpi, or larger
  // It covers no control, and the playlist lines beside it stop short of it.
  for (const ControlSpec& spec : ControlTable()) {
    const RECT control = ScreenRect(saver_.Control(spec.id));
    RECT both{};
    EXPECT_FALSE(::IntersectRect(&both, &control, &place)) << spec.id;
  }

  EXPECT_TRUE(ShowsFor(0, Orange)) << "the picture in the track's tags";
  PumpFor(1500ms);
  const uintptr_t paints = PaintCount(cover_);
  PumpFor(2500ms);  // two polls or more, the same track
  EXPECT_EQ(PaintCount(cover_), paints) << "the picture repainted while it did not change";
  EXPECT_TRUE(ShowsFor(1, Teal)) << "the picture in the track's folder";
  for (const int entry : {2, 3, 4, 0, 2}) {  // a stream, no picture, no file; and back, and away
    const COLORREF expected = entry == 0 ? Orange : Black;
    EXPECT_TRUE(ShowsFor(entry, expected)) << "entry " << entry;
    const RECT now = ScreenRect(cover_);
    EXPECT_TRUE(::EqualRect(&place, &now)) << "entry " << entry;
  }
  EXPECT_FALSE(RectShowsColour(place, Orange));
}

// The last track's picture never stands beside a title whose own picture is slow to come: it
// goes within a quarter of a second or so, and the next track's picture still shows.
TEST_F(CoverTest, NoPictureOutstaysItsTrack) {
  ASSERT_TRUE(ShowsFor(0, Orange));
  ASSERT_TRUE(player_.Control("position 5"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lbltrackvontracks, L"Track 6 of 6"));
  const auto titled = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([&] { return Near(ScreenPixel(CentreOf(cover_)), Black); }, 1s));
  EXPECT_LT(std::chrono::steady_clock::now() - titled, 1s);
  EXPECT_TRUE(ShowsFor(1, Teal)) << "the next track's picture, its open given up";
}

}  // namespace
}  // namespace tokalux::e2e
