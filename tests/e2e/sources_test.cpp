// The classic player and media sessions on one screen: the running tokalux.scr against demo
// players that publish sessions through the session manager double, beside a classic one or not.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/com.h"
#include "screen/control_ids.h"
#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/screen_saver.h"
#include "harness/session_double.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Log = std::vector<std::string>;

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
const std::wstring Kino = L"Kino - Gruppa krovi";
const std::wstring KinoLine = L"Spotify - " + Kino;
const AsSession Foobar{L"C:\\Apps\\foobar2000.exe"};
// The classic player's caption and the title the screen takes from it.
constexpr const char* ClassicCaption = "caption Classic - Song - Winamp";
const std::wstring ClassicTitle = L"Classic - Song ";
const std::wstring ClassicLine = L"Winamp - Classic - Song";  // without the space at its end

// Gives a demo player control commands in order; false at the first it did not take.
bool Steer(DemoPlayer& player, std::initializer_list<const char*> commands) {
  return std::ranges::all_of(commands,
                             [&](const char* command) { return player.Control(command); });
}

// Every test has a paused session, at 0:30 of 4:30 of the first of three songs.
class SourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Steer(session_, {"title 0 Kino - Gruppa krovi", "tracklength 270", "time 30000"}));
  }
  bool Start() {
    saver_.emplace(L"/S");
    return saver_->WaitForForm() != nullptr;
  }
  bool Shows(int controlId, const std::wstring& caption, std::chrono::milliseconds timeout = 5s) {
    return saver_->WaitForCaption(controlId, caption, timeout);
  }
  std::optional<std::wstring> Text(int controlId) const {
    return WindowText(saver_->Control(controlId));
  }
  // Clicks the control, dx pixels right of its centre: two clicks on one spot in quick succession
  // are a double click, which a static reports as no click.
  void Click(int controlId, int dx = 0) {
    const POINT centre = CentreOf(saver_->Control(controlId));
    ClickAt({centre.x + dx, centre.y});
  }
  bool Enabled(int controlId) const { return ::IsWindowEnabled(saver_->Control(controlId)); }
  // Waits until the line shows in the colour (it repaints after its caption changed).
  bool LineIs(int line, COLORREF colour) const {
    const HWND control = saver_->Control(id::lblplaylist(line));
    return WaitUntil([&] { return RectShowsColour(ScreenRect(control), colour); }, 2s);
  }
  // Waits until the middle of the picture square shows the colour.
  bool PictureIs(COLORREF colour) const {
    const HWND picture = saver_->Control(id::picCover);
    return WaitUntil([&] { return ScreenPixel(CentreOf(picture)) == colour; }, 5s);
  }
  // Waits until the session has had exactly these requests, in order.
  static bool Requested(const DemoPlayer& session, const Log& requests) {
    return WaitUntil([&] { return session.SessionRequests() == requests; }, 3s);
  }

  DemoPlayer session_{AsSession{L"C:\\Program Files\\Spotify\\Spotify.exe"},
                      L"--entries 3 --paused"};
  std::optional<ScreenSaver> saver_;
};

TEST_F(SourcesTest, ASessionAloneIsShownWithItsTitleTimesAndLine) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lblSongName, Kino));
  const int controls[] = {id::lblTime,        id::lblTimegesamt, id::lblSample,
                          id::lblBitrate,     id::lblChannels,   id::lbltrackvontracks,
                          id::lblplaylist(1), id::lblplaylist(2)};
  const std::wstring texts[] = {L"00:30",        L"04:30",           L"-", L"-", L"-",
                                L"Track 1 of 3", L"1 . " + KinoLine, L""};
  for (std::size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(Text(controls[i]), texts[i]) << controls[i];
  EXPECT_TRUE(LineIs(1, Red));
}

// A playing source before a paused one, a paused one before a stopped one; a source that ends
// gives way. Each change shows within a poll or two.
TEST_F(SourcesTest, TheSourceThatPlaysTakesTheScreenBothWays) {
  DemoPlayer classic(L"--entries 5 --stopped");
  ASSERT_TRUE(Steer(classic, {ClassicCaption}));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lblSongName, Kino));
  EXPECT_EQ(Text(id::lblplaylist(1)), L"1 . " + ClassicLine);
  EXPECT_EQ(Text(id::lblplaylist(2)), L"2 . " + KinoLine);

  ASSERT_TRUE(Steer(classic, {"state playing"}));
  EXPECT_TRUE(Shows(id::lblSongName, ClassicTitle, 3s));
  ASSERT_TRUE(Steer(classic, {"state stopped"}));
  EXPECT_TRUE(Shows(id::lblSongName, Kino, 3s));
  EXPECT_EQ(Text(id::lblSample), L"-");
  session_.process().Kill();
  EXPECT_TRUE(Shows(id::lblSongName, ClassicTitle, 3s));
  EXPECT_TRUE(Shows(id::lbltrackvontracks, L"Track 1 of 5"));
}

// The line clicked is shown and controlled from then on, also when another source plays, until
// its source ends: one that comes back is one among the others.
TEST_F(SourcesTest, ALineClickChoosesTheSessionTheButtonsControl) {
  std::optional<DemoPlayer> second(std::in_place, Foobar, L"--entries 4 --paused");
  ASSERT_TRUE(Steer(*second, {"title 0 B - Two"}));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lblSongName, Kino));
  ASSERT_TRUE(Shows(id::lblplaylist(2), L"2 . foobar2000 - B - Two"));

  Click(id::lblplaylist(2));
  EXPECT_TRUE(Shows(id::lblSongName, L"B - Two"));
  EXPECT_TRUE(LineIs(2, Red) && LineIs(1, Green));
  ASSERT_TRUE(Steer(session_, {"state playing", "title 0 Kino - Live"}));
  EXPECT_TRUE(Shows(id::lblplaylist(1), L"1 . Spotify - Kino - Live"));
  EXPECT_EQ(Text(id::lblSongName), L"B - Two");
  Click(id::cmdNext);
  EXPECT_TRUE(Requested(*second, {"session next"}));
  EXPECT_TRUE(Shows(id::lbltrackvontracks, L"Track 2 of 4"));
  EXPECT_EQ(session_.SessionRequests(), Log{});

  second.reset();
  EXPECT_TRUE(Shows(id::lblSongName, L"Kino - Live", 3s));
  DemoPlayer again(Foobar, L"--entries 4 --paused");
  ASSERT_TRUE(Steer(again, {"title 0 B - Again"}));
  ASSERT_TRUE(Shows(id::lblplaylist(2), L"2 . foobar2000 - B - Again"));
  EXPECT_EQ(Text(id::lblSongName), L"Kino - Live");
}

// The thumbnail is the picture, replaced when the session has a new one, and gone with it.
TEST_F(SourcesTest, TheSessionsThumbnailIsThePicture) {
  const ScopedCom com;  // for the encoder that makes the pictures
  ScratchFolder folder(ScratchPath(L"thumbnails"));
  ASSERT_TRUE(Start());
  for (const auto& [name, rgb] : {std::pair{L"orange.png", 0xE08020u}, {L"teal.png", 0x2090A0u}}) {
    ASSERT_TRUE(
        session_.SessionPicture(folder.Put(name, EncodePicture(PictureFormat::Png, 64, 64, rgb))));
    EXPECT_TRUE(PictureIs(RGB(rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF))) << name;
  }
  ASSERT_TRUE(session_.SessionPicture(L""));
  EXPECT_TRUE(PictureIs(RGB(0, 0, 0)));
}

TEST_F(SourcesTest, EachControlSendsItsRequestOnceAndInOrder) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lblTime, L"00:30"));
  const HWND seek = saver_->Control(id::sldLength);
  const RECT track = ScreenRect(seek);
  // Five seconds on and back, then a click in the seek slider's channel: one page on. Each with
  // the elapsed time shown once the session took it, so the next one counts from there.
  const std::tuple<int, const char*, const wchar_t*> rows[] = {
      {id::cmdFFW, "session position 350000000", L"00:35"},
      {id::cmdFRW, "session position 300000000", L"00:30"},
      {id::sldLength, "session position 350000000", L"00:35"},
      {id::cmdPlay, "session play", L""},
      {id::cmdPause, "session pause", L""},
      {id::cmdStop, "session stop", L""},
      {id::cmdNext, "session next", L""},
      {id::cmdPrev, "session previous", L""}};
  Log expected;
  for (const auto& [control, request, elapsed] : rows) {
    ClickAt(control == id::sldLength
                ? POINT{(track.left + track.right * 3) / 4, ThumbCentre(seek).y}
                : CentreOf(saver_->Control(control)));
    expected.push_back(request);
    ASSERT_TRUE(Requested(session_, expected)) << request;
    ASSERT_TRUE(!*elapsed || Shows(id::lblTime, elapsed)) << request;
  }
}

TEST_F(SourcesTest, ControlsTheSessionDoesNotTakeAreDisabled) {
  ASSERT_TRUE(session_.SessionControls("play next"));
  ASSERT_TRUE(Start());
  // Play, Next and Exit only: no volume and no playlist either.
  std::vector<std::pair<int, bool>> controls = {{id::sldLength, false}, {id::sldVol, false}};
  for (int button = id::cmdPrev; button <= id::cmdEnd; ++button) {
    controls.emplace_back(button,
                          button == id::cmdPlay || button == id::cmdNext || button == id::cmdEnd);
  }
  const auto asTaken = [&] {
    return std::ranges::all_of(controls,
                               [&](const auto& c) { return Enabled(c.first) == c.second; });
  };
  EXPECT_TRUE(WaitUntil(asTaken, 5s));
  for (const auto& [control, enabled] : controls) EXPECT_EQ(Enabled(control), enabled) << control;
  // A click on a disabled button reaches nobody; the one after it does.
  Click(id::cmdPause);
  Click(id::cmdNext);
  EXPECT_TRUE(Requested(session_, {"session next"}));
}

TEST_F(SourcesTest, AnOperationThatNeverCompletesKeepsTheScreenAndEscStillEndsIt) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lblSongName, Kino));
  ASSERT_TRUE(session_.SessionAsync("all", "never"));
  ASSERT_TRUE(Steer(session_, {"title 0 Other - Song", "time 60000"}));
  // The timeline is read without an operation: its change shows, the title keeps its last answer.
  ASSERT_TRUE(Shows(id::lblTime, L"01:00"));
  EXPECT_EQ(Text(id::lblSongName), Kino);
  EXPECT_EQ(Text(id::lblplaylist(1)), L"1 . " + KinoLine);

  for (const int button : {id::cmdPlay, id::cmdNext, id::cmdPause}) {
    ASSERT_TRUE(::PostMessageW(saver_->Control(button), BM_CLICK, 0, 0));
  }
  ASSERT_NE(saver_->Focus(), nullptr);
  SendKeyNow(VK_ESCAPE);
  const ULONGLONG sent = ::GetTickCount64();
  EXPECT_TRUE(saver_->WaitForExit(1s)) << ::GetTickCount64() - sent << " ms after Esc";
}

// As on Windows 7: a session there is unknown, so no player ends it at once, and a classic
// player is shown and controlled alone, its playlist on the lines.
TEST_F(SourcesTest, WithoutTheKeyOnlyTheClassicPlayerCounts) {
  const WithoutSessionManager none;
  ASSERT_TRUE(none.removed());
  {
    ScreenSaver alone(L"/S");
    EXPECT_FALSE(ShowedAWindowBeforeExit(alone.process(), 10s));
    EXPECT_TRUE(alone.WaitForExit(10s));
  }
  DemoPlayer classic(L"--entries 5");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lbltrackvontracks, L"Track 1 of 5"));
  const auto playlist = Text(id::lblplaylist(1));
  Click(id::lbltrackvontracks);
  Click(id::cmdNext);
  EXPECT_TRUE(Shows(id::lbltrackvontracks, L"Track 2 of 5"));
  EXPECT_EQ(Text(id::lblplaylist(1)), playlist);
  EXPECT_TRUE(Enabled(id::sldVol) && Enabled(id::cmdPLEnd));
  EXPECT_EQ(session_.SessionRequests(), Log{});
}

// While the classic player is shown, its counter puts the list of sources on the lines and back.
TEST_F(SourcesTest, TheTrackCounterTogglesTheLinesBetweenPlaylistAndSources) {
  DemoPlayer classic(L"--entries 5");
  ASSERT_TRUE(Steer(classic, {ClassicCaption}));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Shows(id::lbltrackvontracks, L"Track 1 of 5"));
  const auto playlist = Text(id::lblplaylist(1));

  Click(id::lbltrackvontracks);
  EXPECT_TRUE(Shows(id::lblplaylist(1), L"1 . " + ClassicLine));
  EXPECT_EQ(Text(id::lblplaylist(2)), L"2 . " + KinoLine);
  EXPECT_TRUE(LineIs(1, Red) && LineIs(2, Green));
  Click(id::lbltrackvontracks, 8);
  EXPECT_TRUE(Shows(id::lblplaylist(1), *playlist));
  // From the list, a click on the session's line shows it.
  Click(id::lbltrackvontracks);
  ASSERT_TRUE(Shows(id::lblplaylist(2), L"2 . " + KinoLine));
  Click(id::lblplaylist(2));
  EXPECT_TRUE(Shows(id::lblSongName, Kino));
}

}  // namespace
}  // namespace tokalux::e2e
