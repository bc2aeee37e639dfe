// tokalux.scr end to end under Wine: start-up and exit, every control with its ID, caption and
// place, the Tab order, the colours on screen and no needless repaints, against the demo player;
// long titles and titles in every script on whatever screen the tests run.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "display/control_ids.h"
#include "gui/gui_handles.h"
#include "harness/demo_player.h"
#include "harness/process.h"
#include "harness/screen_saver.h"
#include "player/player_messages.h"
#include "screen/fonts.h"
#include "screen/layout.h"
#include "text/text_fit.h"
#include "text/text_fonts.h"

namespace tokalux::e2e {
namespace {

namespace id = ControlId;
using Log = std::vector<std::string>;

// ---- Start-up and exit without a form ----

TEST(StartUp, ConfigurationAndPreviewEndAtOnceWithoutAWindow) {
  DemoPlayer player;
  ASSERT_TRUE(player.window());
  for (const wchar_t* arguments : {L"/C", L"/c:123", L"-C", L"/P 456", L"-p"}) {
    ScreenSaver saver(arguments);
    ASSERT_TRUE(saver.process().started());
    EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s)) << arguments;
    EXPECT_TRUE(saver.WaitForExit(5s)) << arguments;
    EXPECT_EQ(saver.process().ExitCode(), 0u) << arguments;
  }
  EXPECT_EQ(player.LogLines(), Log{});  // not even asked anything
}

TEST(StartUp, WithoutAPlayerEndsSilently) {
  ASSERT_EQ(::FindWindowA(PlayerWindowClass, nullptr), nullptr);
  ScreenSaver saver(L"/S");
  EXPECT_FALSE(ShowedAWindowBeforeExit(saver.process(), 10s));
  EXPECT_TRUE(saver.WaitForExit(10s));
  EXPECT_EQ(saver.process().ExitCode(), 0u);
}

// ---- The running screen saver ----

class Running : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player_.window());
    ASSERT_TRUE(saver_.WaitForForm()) << "no form appeared";
  }
  void TearDown() override { saver_.process().Kill(); }

  HWND Control(int controlId) const { return saver_.Control(controlId); }

  bool WaitForFocus(int controlId) {
    return WaitUntil([&] { return saver_.Focus() == Control(controlId); }, 3s);
  }

  // The first poll has run: the stream labels show numbers instead of their design "-".
  bool WaitForFirstPoll() {
    return WaitUntil(
        [&] {
          const auto text = WindowText(Control(id::lblSample));
          return text && *text != L"-";
        },
        5s);
  }

  DemoPlayer player_;
  ScreenSaver saver_{L"/S"};
};

// Design captions: what the screen shows until the first poll. The demo player answers every
// message only after 200 ms, as a player under heavy load does (within the screen saver's 250 ms
// bound, so nothing counts as unanswered). The first poll is handed to the player thread a second
// after the form is made, and the screen shows it only once its two dozen messages are answered,
// seconds later: the captions read as soon as the form shows are the design ones by a wide margin.
// The form's thread may be waiting for that poll meanwhile, so they are read without a message to
// it, as the system keeps them.
TEST(DesignCaptions, EveryControlHasItsIdAndDesignCaptionBeforeTheFirstPoll) {
  DemoPlayer player;
  ASSERT_TRUE(player.Control("slow 200"));
  ScreenSaver saver(L"/S");
  const HWND form = saver.WaitForForm();
  ASSERT_TRUE(form);
  std::vector<std::wstring> captions;  // in the order of ControlTable()
  for (const ControlSpec& spec : ControlTable()) {
    wchar_t text[256] = {};
    const HWND control = FindControl(form, spec.id);
    if (control) ::InternalGetWindowText(control, text, 256);
    captions.push_back(text);
  }

  std::size_t row = 0;
  for (const ControlSpec& spec : ControlTable()) {
    const HWND control = FindControl(form, spec.id);
    ASSERT_TRUE(control) << spec.name << " " << spec.id;
    if (spec.kind != ControlKind::Slider) {
      EXPECT_EQ(captions[row], std::wstring(spec.caption)) << spec.name;
    }
    ++row;
    EXPECT_EQ(::GetParent(control),
              spec.container == Container::Frame1 ? FindControl(form, id::Frame1) : form)
        << spec.name;
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    if (spec.kind == ControlKind::Slider) {
      EXPECT_STREQ(className, TRACKBAR_CLASSW) << spec.name;
    } else if (spec.kind == ControlKind::Button) {
      EXPECT_STREQ(className, L"Button") << spec.name;
    }
  }

  // The first poll does come (at full speed from here on): the captions above were read before
  // it, not in place of it.
  ASSERT_TRUE(player.Control("slow 0"));
  EXPECT_TRUE(saver.WaitForCaption(id::lbltrackvontracks, L"Track 1 of 20", 10s));
  EXPECT_EQ(player.ActionLog(), Log{});
}

TEST_F(Running, ButtonsAndTheVolumeSliderHaveTooltips) {
  HWND tooltip = nullptr;
  for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w && !tooltip;
       w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (::GetWindow(w, GW_OWNER) == saver_.form()) tooltip = w;
  }
  ASSERT_TRUE(tooltip);
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 16);  // 15 buttons and sldVol
}

TEST_F(Running, FormCoversTheWholeScreenOnTop) {
  const RECT form = ScreenRect(saver_.form());
  EXPECT_EQ(form.left, 0);
  EXPECT_EQ(form.top, 0);
  EXPECT_EQ(form.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(form.bottom, ::GetSystemMetrics(SM_CYSCREEN));
  const LONG_PTR style = ::GetWindowLongPtrW(saver_.form(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(::GetWindowLongPtrW(saver_.form(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Under Wine on Xvfb there is one monitor, the form's: it is the only window shown (a tooltip
  // aside), with no black cover for another monitor.
  EXPECT_EQ(ShownWindowsOf(saver_.process().id()), std::vector<HWND>{saver_.form()});
}

TEST_F(Running, ControlsArePlacedForThisScreen) {
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
  ExpectControlsPlaced(saver_, 1024, 768, 96);
  // An auto-sized label is as wide as its caption: "Interpret - Title" in bold italic Arial.
  const RECT heading = ScreenRect(Control(id::lblInterpret_Titel));
  EXPECT_NEAR(heading.right - heading.left, 90, 12);
  EXPECT_NEAR(heading.bottom - heading.top, 16, 2);
}

// Windows tells a per-monitor DPI aware window that its monitor's scaling changed with the new
// DPI in wParam; Wine never does, so the test sends it as Windows would. The suggested rectangle
// in lParam goes unread (the form covers the primary screen whatever it suggests): here it is 0.
TEST_F(Running, ControlsAndFontsFollowADpiChange) {
  ASSERT_TRUE(player_.Control("clock off"));  // every answer stays the same from here on
  ASSERT_TRUE(WaitForFirstPoll());
  PumpFor(1500ms);
  const RECT screen{0, 0, 1024, 768};
  const std::vector<COLORREF> before = ScreenPixels(screen);
  const RECT heading = ScreenRect(Control(id::lblInterpret_Titel));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(::SendMessageTimeoutW(saver_.form(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0,
                                    SMTO_NORMAL, 5000, &answer));
  ExpectControlsPlaced(saver_, 1024, 768, 144);
  // The fonts are made again at 144 dpi: the heading's line is half as tall again.
  const RECT larger = ScreenRect(Control(id::lblInterpret_Titel));
  EXPECT_NEAR(larger.bottom - larger.top, (heading.bottom - heading.top) * 3 / 2, 2);
  EXPECT_EQ(ScreenRect(saver_.form()).right, 1024);
  EXPECT_EQ(ScreenRect(saver_.form()).bottom, 768);

  // And back: everything where it was, and on screen as it was, pixel for pixel.
  ASSERT_TRUE(::SendMessageTimeoutW(saver_.form(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0,
                                    SMTO_NORMAL, 5000, &answer));
  ExpectControlsPlaced(saver_, 1024, 768, 96);
  EXPECT_EQ(ScreenRect(Control(id::lblInterpret_Titel)).bottom, heading.bottom);
  PumpFor(500ms);
  EXPECT_TRUE(ScreenPixels(screen) == before);
  EXPECT_TRUE(saver_.IsRunning());
}

TEST_F(Running, SeekSliderHasTheFocusAndTabWalksTheListedOrder) {
  const std::array<int, FocusableCount> order = TabOrder();
  EXPECT_TRUE(WaitForFocus(order[0]));
  for (std::size_t i = 1; i <= order.size(); ++i) {
    PressKey(VK_TAB);
    const int expected = order[i % order.size()];
    EXPECT_TRUE(WaitForFocus(expected)) << "Tab " << i << ": expected " << expected;
  }
  PressKeyWithShift(VK_TAB);
  EXPECT_TRUE(WaitForFocus(order.back()));
  EXPECT_TRUE(saver_.IsRunning());
}

TEST_F(Running, EscEndsItWithTheFocusOnAPlaylistButton) {
  ASSERT_TRUE(WaitForFocus(id::sldLength));
  for (int i = 0; i < 11; ++i) PressKey(VK_TAB);
  ASSERT_TRUE(WaitForFocus(id::cmdPLStart));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(saver_.WaitForExit(10s));
  EXPECT_EQ(saver_.process().ExitCode(), 0u);
  EXPECT_EQ(player_.ActionLog(), Log{});  // Esc clicked nothing
}

TEST_F(Running, ExitButtonEndsIt) {
  ClickAt(CentreOf(Control(id::cmdEnd)));
  EXPECT_TRUE(saver_.WaitForExit(10s));
  EXPECT_EQ(saver_.process().ExitCode(), 0u);
}

TEST_F(Running, OtherKeysMouseMovesAndClicksLeaveItRunning) {
  for (WORD key :
       {WORD{'A'}, WORD{VK_SPACE}, WORD{VK_RETURN}, WORD{VK_F1}, WORD{VK_LEFT}, WORD{VK_DELETE}}) {
    PressKey(key);
  }
  PressKeyWithAlt(VK_F4);
  MoveMouseTo({700, 100});
  MoveMouseTo({20, 20});
  ClickAt({900, 150});                                 // the black ground
  ClickAt(CentreOf(Control(id::lblInterpret_Titel)));  // a label
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  PumpFor(1500ms);
  EXPECT_TRUE(saver_.IsRunning());
  EXPECT_TRUE(::IsWindowVisible(saver_.form()));
  EXPECT_EQ(player_.ActionLog(), Log{}) << "a key or click sent a command";
}

TEST_F(Running, ColoursOnScreen) {
  auto shows = [](HWND control, COLORREF colour) {
    return WaitUntil([&] { return RectShowsColour(ScreenRect(control), colour); }, 5s);
  };
  // A medium-green button face beside the caption.
  const RECT button = ScreenRect(Control(id::cmdPLStart));
  const POINT face{button.left + 5, (button.top + button.bottom) / 2};
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(face) == RGB(0, 192, 0); }, 5s));
  // Red time digits, a green title, a green frame caption, black ground.
  EXPECT_TRUE(shows(Control(id::lblTime), RGB(255, 0, 0)));
  EXPECT_TRUE(shows(Control(id::lblTimegesamt), RGB(255, 0, 0)));
  EXPECT_TRUE(shows(Control(id::lblSongName), RGB(0, 255, 0)));
  EXPECT_TRUE(shows(Control(id::Frame1), RGB(0, 192, 0)));
  EXPECT_EQ(ScreenPixel({1000, 150}), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel({700, 40}), RGB(0, 0, 0));
}

uintptr_t TotalPaints(const ScreenSaver& saver) {
  uintptr_t total = 0;
  for (const ControlSpec& spec : ControlTable()) total += PaintCount(saver.Control(spec.id));
  return total + PaintCount(saver.Control(ControlId::picCover));
}

TEST_F(Running, NothingRepaintsWhileNothingChanges) {
  ASSERT_TRUE(player_.Control("clock off"));  // every answer stays the same from here on
  ASSERT_TRUE(WaitForFirstPoll());
  PumpFor(1500ms);  // let the first polls' changes paint

  const uintptr_t before = TotalPaints(saver_);
  constexpr int seconds = 5;
  PumpFor(std::chrono::seconds(seconds));
  const uintptr_t after = TotalPaints(saver_);
  std::printf("paints per second with nothing changing: %.1f (%u in %d s, every control)\n",
              static_cast<double>(after - before) / seconds, static_cast<unsigned>(after - before),
              seconds);
  EXPECT_EQ(after, before);

  // One changed caption repaints that label and nothing else.
  const uintptr_t sampleBefore = PaintCount(Control(id::lblSample));
  ASSERT_TRUE(player_.Control("answer " + std::to_string(RequestStreamInfo) + " 0 48000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblSample, L"48000"));
  PumpFor(500ms);
  const uintptr_t samplePaints = PaintCount(Control(id::lblSample)) - sampleBefore;
  EXPECT_GE(samplePaints, 1u);
  EXPECT_EQ(TotalPaints(saver_) - after, samplePaints);
}

TEST_F(Running, SeekSliderTakesThePollsValuesAndRefusesImpossibleOnes) {
  const HWND seek = Control(id::sldLength);
  ASSERT_TRUE(player_.Control("clock off"));
  ASSERT_TRUE(player_.Control("tracklength 270"));
  ASSERT_TRUE(player_.Control("time 83456"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"01:23"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver_.WaitForCaption(id::lblTimegesamt, L"04:30"));

  // An elapsed time past the end of the track: the slider refuses it and stays where it was.
  ASSERT_TRUE(player_.Control("answer " + std::to_string(RequestPlayTime) + " 0 300000"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblTime, L"05:00"));
  EXPECT_EQ(::SendMessageW(seek, TBM_GETRANGEMAX, 0, 0), 270);
  EXPECT_EQ(::SendMessageW(seek, TBM_GETPOS, 0, 0), 83);
  EXPECT_TRUE(saver_.IsRunning());
}

// ---- Long titles, and titles in every script ----
// Nothing here assumes a screen size or DPI: scripts/test.sh runs this suite on 1024x768 at 96 dpi,
// 1920x1080 at 144 dpi and 1280x720 at 96 dpi.

// What a new user's player holds: remasters with their featured artists and an internet radio's
// title line, of a hundred characters and more, and titles in other scripts.
const std::wstring Remaster =
    L"Northbound Static - Electric Motion (feat. Amber Wires, Kasimir Drei & The Lowland Radio "
    L"Orchestra) [2024 Remaster]";
const std::wstring Radio =
    L"Lowland Radio 24/7 | Now playing: Amber Wires - Golden Echoes (Extended Club Mix) | Next: "
    L"Kasimir Drei - Silver Dreams (Radio Edit) | lowlandradio.example";
// Short enough to fit beside the album's picture on every screen.
const std::wstring Japanese =
    L"\u661f\u91ce\u307f\u306a\u3068 - \u591c\u660e\u3051";  // 星野みなと - 夜明け
// النور - حفلة 1975 - الهوى: with a year among its words, runs of both directions.
const std::wstring Arabic =
    L"\u0627\u0644\u0646\u0648\u0631 - \u062d\u0641\u0644\u0629 1975 - "
    L"\u0627\u0644\u0647\u0648\u0649";
// The current entry: the song title shows its first 156 characters.
const std::wstring Longest =
    L"Mara Lindqvist, Juno Falk & Orla & The Tides - Where The Northern Rivers Meet The Sea At "
    L"Last (feat. The Sundial Choir & The Velvet Circuit Strings) [Deluxe Edition]";

// Entry n's title: 12 is the current one (line 8), 6 and 7 (lines 2 and 3) in other scripts.
std::wstring LongTitle(int entry) {
  if (entry == 12) return Longest;
  if (entry == 6) return Japanese;
  if (entry == 7) return Arabic;
  return entry % 2 ? Radio : Remaster;
}

std::string Utf8(const std::wstring& text) {
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();
  return bytes;
}

std::wstring LongTitleList() {
  const std::wstring path = ScratchPath(L"playlist");
  std::ofstream file(std::filesystem::path{path}, std::ios::binary);
  for (int entry = 1; entry <= 30; ++entry) file << Utf8(LongTitle(entry)) << "\t300\n";
  return path;
}

// A picture: its pixels row by row, as 0x00BBGGRR.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;

  int Lit() const {
    return static_cast<int>(pixels.size() - std::count(pixels.begin(), pixels.end(), 0u));
  }
  friend bool operator==(const Picture&, const Picture&) = default;
};

void PrintTo(const Picture& picture, std::ostream* out) {
  *out << picture.width << "x" << picture.height << " pixels, " << picture.Lit() << " lit";
}

Picture ScreenPicture(const RECT& rect) {
  return {rect.right - rect.left, rect.bottom - rect.top, ScreenPixels(rect)};
}

// What `draw` paints in the colour on black on a picture of this size.
Picture Drawn(int width, int height, COLORREF colour, const std::function<void(HDC)>& draw) {
  ScopedWindowDc screen(nullptr);
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  Picture picture{width, height, {}};
  if (!memory || !bitmap || !bits) return picture;
  {
    ScopedSelect select(memory.get(), bitmap.get());
    const RECT all{0, 0, width, height};
    ::FillRect(memory.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SetTextColor(memory.get(), colour);
    ::SetBkMode(memory.get(), TRANSPARENT);
    draw(memory.get());
  }
  ::GdiFlush();
  const auto* dib = static_cast<const DWORD*>(bits);  // 0x00RRGGBB
  for (int i = 0; i < width * height; ++i) {
    picture.pixels.push_back(RGB((dib[i] >> 16) & 0xFF, (dib[i] >> 8) & 0xFF, dib[i] & 0xFF));
  }
  return picture;
}

// Text drawn as the labels drew it before they had fallbacks and room: DrawText, in the label's
// own font.
Picture DrawnText(HFONT font, const std::wstring& text, int width, int height, COLORREF colour,
                  UINT flags) {
  return Drawn(width, height, colour, [&](HDC dc) {
    ScopedSelect select(dc, font);
    RECT area{0, 0, width, height};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                DT_LEFT | DT_TOP | DT_NOPREFIX | flags);
  });
}

SIZE TextSize(HFONT font, const std::wstring& text, int width, UINT flags) {
  ScopedWindowDc screen(nullptr);
  ScopedSelect select(screen.get(), font);
  RECT area{0, 0, width, 0};
  ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_CALCRECT | flags);
  return {area.right, area.bottom};
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class LongTitles : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetProcessDPIAware();  // screen pixels as they are, at any DPI
    ASSERT_TRUE(player_.window());
    ASSERT_TRUE(player_.Control("clock off"));
    ASSERT_TRUE(saver_.WaitForForm());
    ASSERT_TRUE(saver_.WaitForCaption(id::lblplaylist(15), L"19 . " + LongTitle(19), 10s));
    PumpFor(500ms);  // the lines' paints
    ScopedWindowDc screen(nullptr);
    dpi_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  void TearDown() override { saver_.process().Kill(); }
  ~LongTitles() override { ::DeleteFileW(playlist_.c_str()); }

  HWND Control(int controlId) const { return saver_.Control(controlId); }
  HFONT FontOf(int controlId) {
    return ControlFont(fonts_, FindControlSpec(controlId)->font, dpi_);
  }

  // How far right a line may reach: the nearest control to its right that shares its rows (the
  // picture with its margin), or the screen's edge.
  int RoomRight(const RECT& line) const {
    int room = ::GetSystemMetrics(SM_CXSCREEN);
    const auto keepOff = [&](const RECT& other, int margin) {
      const bool sharesRows = other.top < line.bottom && line.top < other.bottom;
      if (sharesRows && other.left >= line.left) room = std::min<int>(room, other.left - margin);
    };
    for (const ControlSpec& spec : ControlTable()) {
      if (spec.kind != ControlKind::PlaylistLine) keepOff(ScreenRect(Control(spec.id)), 0);
    }
    // The margin in twips converted on its own may round a pixel the other way.
    keepOff(ScreenRect(Control(id::picCover)), TwipsToPixels(ArtMargin, dpi_) - 1);
    return room;
  }

  std::wstring playlist_ = LongTitleList();
  DemoPlayer player_{L"--playlist \"" + playlist_ + L"\" --position 11"};
  ScreenSaver saver_{L"/S"};
  int dpi_ = 96;
  TextFonts fonts_;
};

TEST_F(LongTitles, NoControlCoversAnotherAndEveryOneStaysOnTheScreen) {
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_TRUE(saver_.WaitForCaption(id::lblSongName, (L"12. " + Longest).substr(0, 156)));
  PumpFor(300ms);
  // The transport buttons each stand over their neighbour, and the frame holds its labels.
  const auto together = [](const ControlSpec& a, const ControlSpec& b) {
    const bool transport = a.id >= id::cmdPrev && a.id <= id::cmdNext && b.id >= id::cmdPrev &&
                           b.id <= id::cmdNext && std::abs(a.id - b.id) == 1;
    const auto inFrame = [](const ControlSpec& c) {
      return c.id == id::Frame1 || c.container == Container::Frame1;
    };
    return transport || (inFrame(a) && inFrame(b));
  };
  const auto name = [](const ControlSpec& spec) {
    return spec.kind == ControlKind::PlaylistLine
               ? "line " + std::to_string(spec.id - id::lblplaylist(0))
               : std::string(spec.name);
  };
  std::vector<std::string> misfits;
  const auto& table = ControlTable();
  for (std::size_t a = 0; a < table.size(); ++a) {
    const RECT ra = ScreenRect(Control(table[a].id));
    if (ra.left < 0 || ra.top < 0 || ra.right > screen.right || ra.bottom > screen.bottom) {
      misfits.push_back(name(table[a]) + " off the screen");
    }
    for (std::size_t b = a + 1; b < table.size(); ++b) {
      if (Overlap(ra, ScreenRect(Control(table[b].id))) && !together(table[a], table[b])) {
        misfits.push_back(name(table[a]) + " and " + name(table[b]));
      }
    }
    if (Overlap(ra, ScreenRect(Control(id::picCover)))) {
      misfits.push_back(name(table[a]) + " and the picture");
    }
  }
  EXPECT_EQ(misfits, std::vector<std::string>{});

  EXPECT_LE(ScreenRect(Control(id::lblSongName)).bottom,
            ScreenRect(Control(id::lbltrackvontracks)).top);
}

TEST_F(LongTitles, ASongTitleTooLongForItsPlaceIsDrawnWholeAtASmallerSize) {
  const std::wstring song = (L"12. " + Longest).substr(0, 156);
  ASSERT_TRUE(saver_.WaitForCaption(id::lblSongName, song));
  PumpFor(300ms);
  const RECT title = ScreenRect(Control(id::lblSongName));
  const int room = ScreenRect(Control(id::lbltrackvontracks)).top - title.top;
  EXPECT_LE(title.bottom - title.top, room);
  const Picture picture = ScreenPicture(title);
  LOGFONTW like{};
  ::GetObjectW(FontOf(id::lblSongName), sizeof(like), &like);
  const int full = std::abs(like.lfHeight);
  EXPECT_GT(TextSize(FontOf(id::lblSongName), song, picture.width, DT_WORDBREAK).cy, room);

  // Wrapped as DrawText wraps it at some smaller size, down to half its own, every word shown.
  int drawnAt = 0;
  for (int height = full - 1; height >= full / 2 && drawnAt == 0; --height) {
    LOGFONTW smaller = like;
    smaller.lfHeight = -height;
    UniqueFont font(::CreateFontIndirectW(&smaller));
    if (TextSize(font.get(), song, picture.width, DT_WORDBREAK).cy == picture.height &&
        picture == DrawnText(font.get(), song, picture.width, picture.height, RGB(0, 255, 0),
                             DT_WORDBREAK)) {
      drawnAt = height;
    }
  }
  EXPECT_GT(drawnAt, 0) << "not the whole title at a smaller size";
  std::printf("song title of %zu characters drawn at %d of %d pixels\n", song.size(), drawnAt,
              full);
}

TEST_F(LongTitles, LinesTooLongForTheirRoomEndWithAnEllipsisAndClickAsBefore) {
  const HFONT font = FontOf(id::lblplaylist(1));
  ScopedWindowDc screen(nullptr);
  SIZE dots{};
  {
    ScopedSelect select(screen.get(), font);
    ::GetTextExtentPoint32W(screen.get(), L"\u2026", 1, &dots);
  }
  int cutAtEdge = 0;
  int cutAtControl = 0;
  for (int line = 1; line <= 15; ++line) {
    const int entry = line + 4;
    if (entry == 6 || entry == 7) continue;  // other scripts: see below
    SCOPED_TRACE("line " + std::to_string(line));
    const HWND window = Control(id::lblplaylist(line));
    const std::wstring caption = std::to_wstring(entry) + L" . " + LongTitle(entry);
    EXPECT_EQ(WindowText(window), caption);  // what a reader or a click gets: all of it
    const RECT shown = ScreenRect(window);
    const int room = RoomRight(shown);
    const int wanted = TextSize(font, caption, 0, DT_SINGLELINE).cx;
    const COLORREF colour = entry == 12 ? RGB(255, 0, 0) : RGB(0, 255, 0);  // the current one red
    const Picture picture = ScreenPicture(shown);
    const auto drawn = [&](const std::wstring& text) {
      return DrawnText(font, text, picture.width, picture.height, colour, DT_SINGLELINE);
    };
    if (shown.left + wanted <= room) {
      EXPECT_EQ(shown.right - shown.left, wanted);
      EXPECT_EQ(picture, drawn(caption));
    } else {
      ++(room == ::GetSystemMetrics(SM_CXSCREEN) ? cutAtEdge : cutAtControl);  // or the picture
      EXPECT_LE(shown.right, room);
      EXPECT_GT(shown.right, room - 2 * dots.cx);
      // The caption's beginning, then an ellipsis.
      bool ellipsis = false;
      for (std::size_t k = caption.size(); k > 0 && !ellipsis; --k) {
        const std::wstring text = caption.substr(0, k) + L"\u2026";
        if (TextSize(font, text, 0, DT_SINGLELINE).cx == picture.width) {
          ellipsis = picture == drawn(text);
        }
      }
      EXPECT_TRUE(ellipsis) << "not the caption's beginning and an ellipsis";
    }
  }
  EXPECT_GE(cutAtControl, 1);
  if (::GetSystemMetrics(SM_CXSCREEN) == 1024) {
    EXPECT_GE(cutAtEdge, 1);  // line 13, below the picture
  }

  // A click on a cut line jumps to its entry and plays it, as on any line.
  ASSERT_TRUE(player_.ClearLog());
  const RECT first = ScreenRect(Control(id::lblplaylist(1)));
  ClickAt({first.right - 3, (first.top + first.bottom) / 2});
  EXPECT_TRUE(WaitUntil([&] { return player_.Logged("command 40045"); }, 3s));
  EXPECT_EQ(player_.ActionLog(), (Log{"request 121 4", "command 40045"}));
}

// Faces installed here with glyphs for every character of the text.
std::vector<std::wstring> FacesCovering(const std::wstring& text, int height) {
  ScopedWindowDc screen(nullptr);
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::vector<std::wstring> faces;
  ::EnumFontFamiliesExW(
      screen.get(), &query,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
        auto& list = *reinterpret_cast<std::vector<std::wstring>*>(data);
        if (font->lfFaceName[0] != L'@' &&
            std::find(list.begin(), list.end(), font->lfFaceName) == list.end()) {
          list.emplace_back(font->lfFaceName);
        }
        return 1;
      },
      reinterpret_cast<LPARAM>(&faces), 0);
  std::vector<std::wstring> covering;
  for (const std::wstring& face : faces) {
    UniqueFont font(::CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  0, 0, 0, 0, face.c_str()));
    ScopedSelect select(screen.get(), font.get());
    std::vector<WORD> glyphs(text.size());
    ::GetGlyphIndicesW(screen.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS);
    if (std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end()) covering.push_back(face);
  }
  return covering;
}

TEST_F(LongTitles, OtherScriptsAreDrawnWithGlyphsInTheirOrderNotAsBoxes) {
  const HFONT own = FontOf(id::lblplaylist(1));
  LOGFONTW like{};
  ::GetObjectW(own, sizeof(like), &like);
  for (const int line : {2, 3}) {
    const std::wstring title = LongTitle(line + 4);
    const std::wstring number = std::to_wstring(line + 4) + L" . ";
    SCOPED_TRACE(Utf8(number + title));
    const RECT shown = ScreenRect(Control(id::lblplaylist(line)));
    const Picture picture = ScreenPicture(shown);
    ASSERT_GT(picture.Lit(), 0);
    const COLORREF green = RGB(0, 255, 0);

    // The label's font alone draws boxes for these.
    EXPECT_NE(picture,
              DrawnText(own, number + title, picture.width, picture.height, green, DT_SINGLELINE));

    // The number in the label's font, then the title as the system itself draws it (its glyphs
    // shaped and in their order, right to left for Arabic) in some face that has them all.
    std::vector<std::string> tried;
    bool drawnSo = false;
    for (const std::wstring& face : FacesCovering(title, std::abs(like.lfHeight))) {
      LOGFONTW other = like;
      other.lfCharSet = DEFAULT_CHARSET;
      ::wcsncpy(other.lfFaceName, face.c_str(), LF_FACESIZE - 1);
      UniqueFont fallback(::CreateFontIndirectW(&other));
      const Picture expected = Drawn(picture.width, picture.height, green, [&](HDC dc) {
        TEXTMETRICW ownMetrics{}, otherMetrics{};
        SIZE numberSize{};
        {
          ScopedSelect select(dc, fallback.get());
          ::GetTextMetricsW(dc, &otherMetrics);
        }
        ScopedSelect select(dc, own);
        ::GetTextMetricsW(dc, &ownMetrics);
        ::GetTextExtentPoint32W(dc, number.c_str(), static_cast<int>(number.size()), &numberSize);
        // A face taller than the line's row gives up its top first (see FitLineBox).
        const int baseline = FitLineBox({ownMetrics.tmAscent, ownMetrics.tmDescent},
                                        {std::max(ownMetrics.tmAscent, otherMetrics.tmAscent),
                                         std::max(ownMetrics.tmDescent, otherMetrics.tmDescent)},
                                        picture.height)
                                 .ascent;
        ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        ::ExtTextOutW(dc, 0, baseline, 0, nullptr, number.c_str(), static_cast<UINT>(number.size()),
                      nullptr);
        ::SelectObject(dc, fallback.get());
        ::ExtTextOutW(dc, numberSize.cx, baseline, 0, nullptr, title.c_str(),
                      static_cast<UINT>(title.size()), nullptr);
        ::SelectObject(dc, own);
      });
      tried.push_back(Utf8(face));
      drawnSo = drawnSo || expected == picture;
    }
    EXPECT_TRUE(drawnSo) << "drawn unlike the system draws it in any of "
                         << ::testing::PrintToString(tried);
  }
}

TEST_F(LongTitles, EveryLineInEveryScriptIsDrawnNumberAndAll) {
  // Arabic alone, with Latin and among Latin and Hebrew (Noto Sans Arabic, from Debian's
  // fonts-noto-core, wants nearly twice a Latin line's height), and the other scripts beside it.
  const std::wstring titles[] = {
      L"\u0641\u0631\u0642\u0629 \u0627\u0644\u0646\u0648\u0631 - \u0646\u0633\u0645",
      L"Amber Wires - \u0646\u0633\u0645 \u0639\u0644\u064a\u0646\u0627 (Remix)",
      L"Live in \u0627\u0644\u0642\u0627\u0647\u0631\u0629 and "
      L"\u05d9\u05e8\u05d5\u05e9\u05dc\u05d9\u05dd",
      L"\u05dc\u05d4\u05e7\u05ea \u05d4\u05d9\u05dd - \u05e9\u05d9\u05e8",
      L"\u0e01\u0e49\u0e2d\u0e07 - \u0e04\u0e33\u0e41\u0e1e\u0e07",
      L"\u0932\u0924\u093e - \u0932\u0917 \u091c\u093e \u0917\u0932\u0947",
      L"\u661f\u91ce\u307f\u306a\u3068 - \u591c\u660e\u3051",
      L"\u6797\u5c0f\u96e8 - \u7ea2\u8c46",
      L"\uae40\uc11c\uc5f0 - \ubc24\ud558\ub298",
      L"\u039d\u03af\u03ba\u03bf\u03c2 - \u0421\u0435\u0432\u0435\u0440",
      L"Falling Hearts \u2605 \U0001F60A \uE000 \U0001FAE0"};
  for (std::size_t i = 0; i < std::size(titles); ++i) {
    ASSERT_TRUE(player_.Control("title " + std::to_string(i + 4) + " " + Utf8(titles[i])));
  }
  ASSERT_TRUE(saver_.WaitForCaption(id::lblplaylist(11), L"15 . " + titles[10], 10s));
  PumpFor(500ms);
  const HFONT font = FontOf(id::lblplaylist(1));
  for (int line = 1; line <= 15; ++line) {  // lines 12 to 15 in Latin
    const std::wstring number = std::to_wstring(line + 4) + L" . ";
    SCOPED_TRACE(Utf8(*WindowText(Control(id::lblplaylist(line)))));
    const Picture picture = ScreenPicture(ScreenRect(Control(id::lblplaylist(line))));
    const SIZE size = TextSize(font, number, 0, DT_SINGLELINE);
    EXPECT_GT(picture.width, size.cx);
    // More lit than its number alone: the number and the title's glyphs.
    EXPECT_GT(
        picture.Lit(),
        DrawnText(font, number, size.cx, size.cy, RGB(0, 255, 0), DT_SINGLELINE).Lit() * 3 / 2);
  }
}

TEST_F(LongTitles, TitlesThatFitAreDrawnAsBefore) {
  // A title of three lines at most, a playlist line that fits, the heading and the time.
  const std::wstring song =
      L"The Quiet Engines - Northern Lights Over The Harbour (Live At The Old Town Hall) ";
  ASSERT_TRUE(player_.Control("caption " + Utf8(song) + "- Winamp"));
  ASSERT_TRUE(player_.Control("title 4 Juno Falk - Distant Gardens"));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblSongName, song));
  ASSERT_TRUE(saver_.WaitForCaption(id::lblplaylist(1), L"5 . Juno Falk - Distant Gardens"));
  PumpFor(500ms);
  for (const int control :
       {id::lblSongName, id::lblplaylist(1), id::lblInterpret_Titel, id::lblTime}) {
    const ControlSpec& spec = *FindControlSpec(control);
    SCOPED_TRACE(spec.name);
    const HWND window = Control(control);
    const RECT shown = ScreenRect(window);
    const HFONT font = FontOf(control);
    const UINT flags = spec.sizing == Sizing::AutoWrap ? DT_WORDBREAK : DT_SINGLELINE;
    const std::wstring caption = *WindowText(window);
    const int width = shown.right - shown.left;
    const SIZE size = TextSize(font, caption, width, flags);
    if (spec.sizing == Sizing::Auto) {
      EXPECT_EQ(width, size.cx);
    }
    EXPECT_EQ(shown.bottom - shown.top, size.cy);
    const COLORREF colour = ResolveColour(spec.textColour);
    EXPECT_EQ(ScreenPicture(shown), DrawnText(font, caption, width, size.cy, colour, flags));
  }
}

}  // namespace
}  // namespace tokalux::e2e
