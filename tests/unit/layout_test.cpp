#include "screen/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <span>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screen/control_ids.h"

namespace tokalux {
namespace {

namespace id = ControlId;

// ---- The control table ----

// The rows themselves are data, which the end-to-end tests see on screen; these are the rules the
// code relies on.
TEST(ControlTable, EveryIdOnceTheLinesInOrderAndEveryFocusableControlInTheTabOrder) {
  std::set<int> ids;
  std::set<int> tabPlaces;  // of the buttons and sliders
  std::vector<int> lines;
  for (const ControlSpec& spec : ControlTable()) {
    EXPECT_TRUE(ids.insert(spec.id).second) << "duplicate ID " << spec.id;
    EXPECT_EQ(FindControlSpec(spec.id), &spec);
    if (spec.kind == ControlKind::PlaylistLine) lines.push_back(spec.id);
    if (spec.kind == ControlKind::Button || spec.kind == ControlKind::Slider) {
      tabPlaces.insert(spec.tabOrder);
    } else {
      EXPECT_EQ(spec.tabOrder, 0) << spec.id;
    }
  }
  EXPECT_EQ(FindControlSpec(400), nullptr);
  EXPECT_EQ(FindControlSpec(416), nullptr);

  // The form wires the clicks of lblplaylist(1) .. lblplaylist(15) by their IDs.
  ASSERT_EQ(lines.size(), 15u);
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(lines[i - 1], id::lblplaylist(i));

  // Every button and slider has a place of its own in the Tab order, the seek slider first.
  std::set<int> places;
  for (int place = 1; place <= FocusableCount; ++place) places.insert(place);
  EXPECT_EQ(tabPlaces, places);
  EXPECT_EQ(FindControlSpec(id::sldLength)->tabOrder, 1);
}

TEST(ControlTable, SystemColoursNameTheirIndex) {
  EXPECT_TRUE(IsSystemColour(ColourButtonText));
  EXPECT_EQ(SystemColourIndex(ColourButtonText), 18);  // COLOR_BTNTEXT
  EXPECT_EQ(SystemColourIndex(ColourWindowText), 8);   // COLOR_WINDOWTEXT
  EXPECT_FALSE(IsSystemColour(ColourRed));
  EXPECT_EQ(FindControlSpec(id::lblTimegesamt)->backColour, ColourWindowText);
}

// ---- Conversions ----

TEST(Twips, ConvertWithTheScreensDpi) {
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(12, 120), 1);
  EXPECT_EQ(TwipsToPixels(50, 96), 3);    // 3.33
  EXPECT_EQ(TwipsToPixels(590, 96), 39);  // 39.33
  EXPECT_EQ(TwipsToPixels(-50, 96), -3);  // off the left edge, rounded the same way
  EXPECT_EQ(TwipsToPixels(-53, 96), -4);  // -3.53
  EXPECT_EQ(PixelsToTwips(1024, 96), 15360);
  EXPECT_EQ(PixelsToTwips(768, 96), 11520);
  EXPECT_EQ(PixelsToTwips(1024, 120), 12288);
  EXPECT_EQ(PixelsToTwips(768, 120), 9216);
  EXPECT_EQ(PixelsToTwips(100, 0), 0);
}

TEST(Twips, FontHeightsAreExactPointSizes) {
  EXPECT_EQ(FontPixelHeight(8.25, 96), 11);
  EXPECT_EQ(FontPixelHeight(9.75, 96), 13);
  EXPECT_EQ(FontPixelHeight(48, 96), 64);
  EXPECT_EQ(FontPixelHeight(96, 96), 128);
  EXPECT_EQ(FontPixelHeight(9.75, 120), 16);  // 16.25
  EXPECT_EQ(FontPixelHeight(8.25, 120), 14);  // 13.75
}

TEST(Twips, EdgesAreConvertedSoSharedEdgesStayShared) {
  // Two rectangles meeting at 3720 twips (248 px) meet in pixels too.
  const PixelRect a = ToPixels({3000, 100, 720, 50}, 96);
  const PixelRect b = ToPixels({3720, 100, 1095, 50}, 96);
  EXPECT_EQ(a.left + a.width, b.left);
  EXPECT_EQ(ToPixels({50, 0, 15260, 255}, 96), (PixelRect{3, 0, 1018, 17}));
}

// ---- Placement ----

struct Screen {
  int32_t width;  // twips
  int32_t height;
};

// The lower controls stand at fixed distances from the bottom and right edges.
void ExpectAnchoredTo(const Placement& p, Screen s) {
  const TwipRect seek = p.Rect(id::sldLength);
  EXPECT_EQ(seek.left, 50);
  EXPECT_EQ(seek.right(), s.width - 50);
  EXPECT_EQ(seek.top, s.height - 400);
  EXPECT_EQ(seek.bottom(), s.height - 145);

  for (int button :
       {id::cmdPrev, id::cmdFRW, id::cmdStop, id::cmdPlay, id::cmdPause, id::cmdFFW, id::cmdNext}) {
    EXPECT_EQ(p.Rect(button).top, s.height - 900) << button;
    EXPECT_EQ(p.Rect(button).left, FindControlSpec(button)->design.left) << button;
  }
  for (int lower : {id::cmdPLEnd, id::cmdPLm10, id::lbl_lauts, id::cmdVolDecr, id::cmdEnd}) {
    EXPECT_EQ(p.Rect(lower).top, s.height - 800) << lower;
  }
  for (int upper : {id::cmdPLStart, id::cmdPLMitte, id::cmdPLp10, id::cmdVolIncr}) {
    EXPECT_EQ(p.Rect(upper).top, s.height - 1100) << upper;
  }
  EXPECT_EQ(p.Rect(id::sldVol).top, s.height - 1050);
  EXPECT_EQ(p.Rect(id::Frame1).top, s.height - 2200);

  EXPECT_EQ(p.Rect(id::Frame1).left, s.width - 2000);
  EXPECT_EQ(p.Rect(id::cmdEnd).left, s.width - 2000);
  EXPECT_EQ(p.Rect(id::cmdVolIncr).left, s.width - 2900);
  EXPECT_EQ(p.Rect(id::cmdVolDecr).left, s.width - 2900);
  EXPECT_EQ(p.Rect(id::sldVol).left, s.width - 5000);
  EXPECT_EQ(p.Rect(id::lbl_lauts).left, s.width - 6000);

  const TwipRect title = p.Rect(id::lblSongName);
  EXPECT_EQ(title.left, 50);
  EXPECT_EQ(title.width, s.width - 100);
  EXPECT_EQ(title.top, 720);
}

// Sizes never change, the upper display and the frame's labels never move.
void ExpectUpperDisplayAndSizesKept(const Placement& p) {
  for (const ControlSpec& spec : ControlTable()) {
    const TwipRect rect = p.Rect(spec.id);
    if (spec.id != id::lblSongName && spec.id != id::sldLength) {
      EXPECT_EQ(rect.width, spec.design.width) << spec.id;
    }
    EXPECT_EQ(rect.height, spec.design.height) << spec.id;
    const bool upper =
        spec.kind == ControlKind::PlaylistLine || spec.container == Container::Frame1 ||
        (spec.kind == ControlKind::Label && spec.id != id::lbl_lauts && spec.id != id::lblSongName);
    if (upper) {
      EXPECT_EQ(rect, spec.design) << spec.id;
    }
  }
}

bool Overlap(const TwipRect& a, const TwipRect& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

TEST(Placement, Screen1024x768At96Dpi) {
  const Screen s{PixelsToTwips(1024, 96), PixelsToTwips(768, 96)};
  const Placement p = PlaceControls(s.width, s.height);
  ExpectAnchoredTo(p, s);
  ExpectUpperDisplayAndSizesKept(p);

  // In pixels, 15 twips to the pixel.
  EXPECT_EQ(ToPixels(p.Rect(id::cmdEnd), 96), (PixelRect{891, 715, 113, 17}));
  EXPECT_EQ(ToPixels(p.Rect(id::Frame1), 96), (PixelRect{891, 621, 113, 73}));
  EXPECT_EQ(ToPixels(p.Rect(id::sldVol), 96), (PixelRect{691, 698, 137, 33}));
  EXPECT_EQ(ToPixels(p.FormRect(id::lblSample), 96), (PixelRect{979, 637, 3, 13}));
  EXPECT_EQ(ToPixels(p.Rect(id::lblplaylist(1)), 96), (PixelRect{528, 312, 4, 16}));

  // Nothing of the lower part overlaps at this size, apart from the middle playlist button,
  // which stands in both rows by design.
  EXPECT_FALSE(Overlap(p.Rect(id::sldVol), p.Rect(id::cmdPLp10)));
  EXPECT_FALSE(Overlap(p.Rect(id::lbl_lauts), p.Rect(id::cmdPLm10)));
}

TEST(Placement, Screen800x600At96DpiOverlaps) {
  const Screen s{PixelsToTwips(800, 96), PixelsToTwips(600, 96)};
  const Placement p = PlaceControls(s.width, s.height);
  ExpectAnchoredTo(p, s);
  ExpectUpperDisplayAndSizesKept(p);

  EXPECT_TRUE(Overlap(p.Rect(id::sldVol), p.Rect(id::cmdPLp10)));
  EXPECT_TRUE(Overlap(p.Rect(id::sldVol), p.Rect(id::cmdPLm10)));
  EXPECT_TRUE(Overlap(p.Rect(id::lbl_lauts), p.Rect(id::cmdPLm10)));
  // The button rows lie over the lower part of the track length.
  EXPECT_TRUE(Overlap(p.Rect(id::cmdPLStart), p.Rect(id::lblTimegesamt)));
  EXPECT_TRUE(Overlap(p.Rect(id::cmdPlay), p.Rect(id::lblTimegesamt)));
  // Playlist lines 13 to 15 and "total" begin at or below the bottom edge.
  for (int i = 13; i <= 15; ++i) EXPECT_GE(p.Rect(id::lblplaylist(i)).top, s.height) << i;
  EXPECT_LT(p.Rect(id::lblplaylist(12)).top, s.height);
  EXPECT_GE(p.Rect(id::lblkom2).top, s.height);
}

TEST(Placement, FollowsTwipsNotPixels1024x768At120Dpi) {
  const Screen s{PixelsToTwips(1024, 120), PixelsToTwips(768, 120)};
  EXPECT_EQ(s.width, 12288);
  const Placement p = PlaceControls(s.width, s.height);
  ExpectAnchoredTo(p, s);
  ExpectUpperDisplayAndSizesKept(p);
  EXPECT_TRUE(Overlap(p.Rect(id::sldVol), p.Rect(id::cmdPLp10)));
  EXPECT_TRUE(Overlap(p.Rect(id::lbl_lauts), p.Rect(id::cmdPLm10)));
  EXPECT_TRUE(Overlap(p.Rect(id::cmdPLStart), p.Rect(id::lblTimegesamt)));
  // 12 twips to the pixel.
  EXPECT_EQ(ToPixels(p.Rect(id::cmdEnd), 120), (PixelRect{857, 701, 142, 22}));
}

TEST(Placement, DesignClientAreaMovesNoEdgeMoreThan240Twips) {
  const Placement p = PlaceControls(DesignClientWidth, DesignClientHeight);
  int largest = 0;
  for (const ControlSpec& spec : ControlTable()) {
    const TwipRect rect = p.Rect(spec.id);
    largest = std::max(
        {largest, std::abs(rect.left - spec.design.left), std::abs(rect.top - spec.design.top)});
  }
  EXPECT_LE(largest, 240);
  EXPECT_EQ(largest, 240);  // lbl_lauts: 9960 -> 9720
}

TEST(Placement, TakesValuesAsTheyComeOnATinyScreen) {
  const Placement p = PlaceControls(1500, 1200);
  EXPECT_EQ(p.Rect(id::lbl_lauts).left, -4500);
  EXPECT_EQ(p.Rect(id::Frame1).top, -1000);
  EXPECT_EQ(p.Rect(id::lblSongName).width, 1400);
  EXPECT_EQ(ToPixels(p.Rect(id::lbl_lauts), 96).left, -300);
}

TEST(Placement, FrameLabelsMoveWithTheFrame) {
  const Placement p = PlaceControls(15360, 11520);
  const TwipRect frame = p.Rect(id::Frame1);
  EXPECT_EQ(p.Rect(id::Label3), (TwipRect{120, 480, 975, 255}));
  EXPECT_EQ(p.FormRect(id::Label3), (TwipRect{frame.left + 120, frame.top + 480, 975, 255}));
  EXPECT_EQ(p.FormRect(id::cmdEnd), p.Rect(id::cmdEnd));
  EXPECT_EQ(p.Rect(9999), TwipRect{});
}

// ---- Fitting screens from 1024 pixels wide and 720 high at 96 dpi ----

// What each control covers of another, in the covered control's own coordinates, keyed by
// (covering, covered). A frame and its own labels move together, so what they cover of each other
// is the same on every screen and needs no exception.
using CoveredParts = std::map<std::pair<int, int>, TwipRect>;

CoveredParts Covered(const Placement& p) {
  std::vector<std::pair<int, TwipRect>> rects;
  for (const ControlSpec& spec : ControlTable()) rects.emplace_back(spec.id, p.FormRect(spec.id));
  CoveredParts parts;
  for (const auto& [a, ra] : rects) {
    for (const auto& [b, rb] : rects) {
      const int32_t left = std::max(ra.left, rb.left);
      const int32_t top = std::max(ra.top, rb.top);
      const int32_t right = std::min(ra.right(), rb.right());
      const int32_t bottom = std::min(ra.bottom(), rb.bottom());
      if (a != b && left < right && top < bottom) {
        parts[{a, b}] = {left - rb.left, top - rb.top, right - left, bottom - top};
      }
    }
  }
  return parts;
}

std::string Covers(int control, int covered) {
  return std::to_string(control) + " covers " + std::to_string(covered);
}

// The cover that 1024 x 768 at 96 dpi does not have, and the controls not wholly on the screen;
// empty when the placement fits.
std::set<std::string> Misfits(const Placement& p, Screen s) {
  static const CoveredParts reference = Covered(AnchoredPlacement(15360, 11520));
  std::set<std::string> misfits;
  for (const auto& [pair, part] : Covered(p)) {
    const auto known = reference.find(pair);
    const bool within = known != reference.end() && part.left >= known->second.left &&
                        part.top >= known->second.top && part.right() <= known->second.right() &&
                        part.bottom() <= known->second.bottom();
    if (!within) {
      misfits.insert(Covers(pair.first, pair.second));
    }
  }
  for (const ControlSpec& spec : ControlTable()) {
    const TwipRect r = p.FormRect(spec.id);
    if (r.left < 0 || r.top < 0 || r.right() > s.width || r.bottom() > s.height) {
      misfits.insert(std::to_string(spec.id) + " off screen");
    }
  }
  return misfits;
}

TEST(FittedPlacement, Reference1024x768At96DpiCoversOnlyNeighboursThatMoveTogether) {
  std::set<std::pair<int, int>> pairs;
  for (const auto& [pair, part] : Covered(AnchoredPlacement(15360, 11520))) {
    pairs.insert(std::minmax(pair.first, pair.second));
  }
  const std::set<std::pair<int, int>> expected = {
      // The transport buttons are 495 wide and 480 apart.
      std::minmax(id::cmdPrev, id::cmdFRW), std::minmax(id::cmdFRW, id::cmdStop),
      std::minmax(id::cmdStop, id::cmdPlay), std::minmax(id::cmdPlay, id::cmdPause),
      std::minmax(id::cmdPause, id::cmdFFW), std::minmax(id::cmdFFW, id::cmdNext),
      // The frame's labels: inside it, and the first three 255 high and 240 apart.
      std::minmax(id::Frame1, id::Label2), std::minmax(id::Frame1, id::Label3),
      std::minmax(id::Frame1, id::Label4), std::minmax(id::Frame1, id::lblSample),
      std::minmax(id::Frame1, id::lblBitrate), std::minmax(id::Frame1, id::lblChannels),
      std::minmax(id::Label2, id::Label3), std::minmax(id::Label3, id::Label4)};
  EXPECT_EQ(pairs, expected);
}

TEST(FittedPlacement, CommonScreens) {
  struct Case {
    int width, height, dpi;
    bool anchored;  // the anchored placement fits as it is
  };
  for (const Case c :
       {Case{1024, 768, 96, true}, Case{1280, 720, 96, false}, Case{1366, 768, 96, true},
        Case{1920, 1080, 96, true}, Case{1920, 1080, 120, true}, Case{1920, 1080, 144, false},
        Case{2560, 1440, 144, true}, Case{3840, 2160, 192, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "@" +
                 std::to_string(c.dpi));
    const Screen s{PixelsToTwips(c.width, c.dpi), PixelsToTwips(c.height, c.dpi)};
    const Placement anchored = AnchoredPlacement(s.width, s.height);
    EXPECT_EQ(Misfits(anchored, s).empty(), c.anchored);
    const Placement p = PlaceControls(s.width, s.height);
    EXPECT_EQ(Misfits(p, s), std::set<std::string>{});
    EXPECT_EQ(p == anchored, c.anchored);
  }
}

TEST(FittedPlacement, At10800TwipsHighTheLowerLeftRowsStandBelowTheUpperDisplay) {
  // 1280 x 720 at 96 dpi and 1920 x 1080 at 144 dpi.
  const Screen s{19200, 10800};
  EXPECT_EQ(
      Misfits(AnchoredPlacement(s.width, s.height), s),
      (std::set<std::string>{
          Covers(id::cmdStop, id::lblkom2), Covers(id::cmdPlay, id::lblkom2),
          Covers(id::cmdPLStart, id::lblTimegesamt), Covers(id::cmdPLMitte, id::lblTimegesamt),
          Covers(id::lblkom2, id::cmdStop), Covers(id::lblkom2, id::cmdPlay),
          Covers(id::lblTimegesamt, id::cmdPLStart), Covers(id::lblTimegesamt, id::cmdPLMitte)}));

  // The transport row and the playlist buttons stand as on a screen 10980 high, the transport
  // row right below "total"; the seek slider ends at the bottom edge; the rest stays anchored.
  EXPECT_EQ(LowerLeftClearance(s.width), 10980);
  const Placement p = PlaceControls(s.width, s.height);
  const Placement anchored = AnchoredPlacement(s.width, s.height);
  const Placement clear = AnchoredPlacement(s.width, 10980);
  EXPECT_EQ(p.Rect(id::cmdPlay).top, p.Rect(id::lblkom2).bottom());
  const std::set<int> rows = {id::cmdPrev,  id::cmdFRW,     id::cmdStop,  id::cmdPlay,
                              id::cmdPause, id::cmdFFW,     id::cmdNext,  id::cmdPLStart,
                              id::cmdPLEnd, id::cmdPLMitte, id::cmdPLp10, id::cmdPLm10};
  for (const ControlSpec& spec : ControlTable()) {
    const TwipRect expected = spec.id == id::sldLength ? TwipRect{50, 10800 - 255, 19200 - 100, 255}
                              : rows.count(spec.id)    ? clear.Rect(spec.id)
                                                       : anchored.Rect(spec.id);
    EXPECT_EQ(p.Rect(spec.id), expected) << spec.id;
  }
}

TEST(FittedPlacement, EveryScreenFrom15360By10800TwipsFits) {
  // Every height around the clearance, coarser steps elsewhere, at the smallest widths and larger.
  for (int32_t w : {15360, 15361, 19200, 28800, 76800}) {
    const int32_t clearance = LowerLeftClearance(w);
    EXPECT_EQ(clearance, 10980) << w;
    for (int32_t h = FittedMinHeight; h <= 32400; h += std::abs(h - clearance) <= 20 ? 1 : 97) {
      SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " twips");
      const Screen s{w, h};
      const Placement anchored = AnchoredPlacement(w, h);
      // The anchored placement fits exactly from the clearance up, and is kept there.
      const bool fits = Misfits(anchored, s).empty();
      EXPECT_EQ(fits, h >= clearance);
      const Placement p = PlaceControls(w, h);
      EXPECT_EQ(Misfits(p, s), std::set<std::string>{});
      if (fits) {
        EXPECT_TRUE(p == anchored);
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
}

TEST(FittedPlacement, SmallerScreensKeepTheAnchoredPlacement) {
  for (const Screen s : {Screen{15359, 11520}, Screen{19200, 10799}, Screen{12288, 9216},
                         Screen{12000, 9000}, Screen{1500, 1200}, Screen{0, 0}}) {
    EXPECT_TRUE(PlaceControls(s.width, s.height) == AnchoredPlacement(s.width, s.height))
        << s.width << " x " << s.height;
  }
  // Too narrow, though high enough: still covers "total".
  EXPECT_FALSE(Misfits(PlaceControls(15359, 10800), {15359, 10800}).empty());
}

// ---- Room for captions of any length ----

TEST(TextRoom, OnlyTheSongTitleAndThePlaylistLinesKeepOffOthers) {
  std::set<int> keepOff;
  for (const ControlSpec& spec : ControlTable()) {
    if (KeepsOffOthers(spec)) keepOff.insert(spec.id);
  }
  std::set<int> expected{id::lblSongName};
  for (int i = 1; i <= 15; ++i) expected.insert(id::lblplaylist(i));
  EXPECT_EQ(keepOff, expected);
}

// How far right each playlist line may reach, and how far down the song title.
struct Limits {
  int32_t titleBottom;
  std::array<int32_t, 15> lineRight;
};

Limits LimitsOf(const Placement& p, Screen s, std::span<const TwipRect> extra = {}) {
  Limits limits{};
  limits.titleBottom = BottomLimit<TwipRect>(p.Rect(id::lblSongName),
                                             TextObstacles(p, id::lblSongName, extra), s.height);
  for (int i = 1; i <= 15; ++i) {
    const std::vector<TwipRect> obstacles = TextObstacles(p, id::lblplaylist(i), extra);
    limits.lineRight[i - 1] = RightLimit<TwipRect>(p.Rect(id::lblplaylist(i)), obstacles, s.width);
  }
  return limits;
}

TEST(TextRoom, TheTitleStopsAtTheTrackCounterAndLinesAtWhatStandsToTheirRight) {
  // 1024 x 768 at 96 dpi: lines 14 and 15 meet the frame, the others run to the screen's edge.
  const Screen small{15360, 11520};
  const Placement p = PlaceControls(small.width, small.height);
  Limits limits = LimitsOf(p, small);
  EXPECT_EQ(limits.titleBottom, p.Rect(id::lbltrackvontracks).top);
  EXPECT_EQ(limits.titleBottom, 4320);
  for (int i = 1; i <= 15; ++i) {
    EXPECT_EQ(limits.lineRight[i - 1], i >= 14 ? p.Rect(id::Frame1).left : 15360) << i;
  }

  // 1280 x 720 at 96 dpi and 1920 x 1080 at 144 dpi: lines 12 to 14 meet the frame, line 15 the
  // volume slider (before the + button).
  const Screen wide{19200, 10800};
  const Placement q = PlaceControls(wide.width, wide.height);
  limits = LimitsOf(q, wide);
  EXPECT_EQ(limits.titleBottom, 4320);
  for (int i = 1; i <= 15; ++i) {
    const int32_t expected = i == 15   ? q.Rect(id::sldVol).left
                             : i >= 12 ? q.Rect(id::Frame1).left
                                       : 19200;
    EXPECT_EQ(limits.lineRight[i - 1], expected) << i;
  }
  EXPECT_LT(q.Rect(id::sldVol).left, q.Rect(id::cmdVolIncr).left);

  // One more obstacle, a square right of lines 3 to 6, cuts those lines as well.
  const std::array<TwipRect, 1> square{TwipRect{12000, 5400, 2400, 1440}};
  limits = LimitsOf(p, small, square);
  for (int i = 1; i <= 15; ++i) {
    const int32_t expected = i >= 14 ? 13360 : (i >= 3 && i <= 6) ? 12000 : 15360;
    EXPECT_EQ(limits.lineRight[i - 1], expected) << i;
  }
}

TEST(TextRoom, LimitsTakeOnlyWhatStandsAheadInTheSameRowsOrColumns) {
  const TwipRect row{100, 100, 50, 20};
  const std::array<TwipRect, 4> obstacles{
      TwipRect{400, 119, 10, 10},  // shares the row's last twip: the limit
      TwipRect{300, 120, 10, 10},  // just below the row
      TwipRect{50, 100, 60, 20},   // starts left of the row
      TwipRect{600, 90, 10, 200}};
  EXPECT_EQ(RightLimit<TwipRect>(row, obstacles, 1000), 400);
  EXPECT_EQ(RightLimit<TwipRect>(row, {}, 1000), 1000);

  const TwipRect columns{100, 100, 200, 10};
  const std::array<TwipRect, 4> below{
      TwipRect{250, 500, 100, 10},  // shares the columns' last twips: the limit
      TwipRect{300, 200, 10, 10},   // starts right of the columns
      TwipRect{0, 50, 100, 300},    // ends left of them
      TwipRect{150, 90, 10, 20}};   // above their top
  EXPECT_EQ(BottomLimit<TwipRect>(columns, below, 5000), 500);
  EXPECT_EQ(BottomLimit<TwipRect>(columns, {}, 5000), 5000);
}

// The picture's square: as large as fits right of the lines' room, below the song title's reach and
// above the lower controls, covering none of them; the lines it cuts give way at its margin.
TEST(ArtSquare, FitsTheEmptyAreaOfEveryScreenAndCutsTheLinesBesideIt) {
  struct Case {
    int width, height, dpi;
    int32_t minSide;  // pixels
  };
  for (const Case c : {Case{1024, 768, 96, 200}, Case{1280, 720, 96, 250},
                       Case{1920, 1080, 144, 300}, Case{1600, 900, 120, 250}}) {
    const Screen s{PixelsToTwips(c.width, c.dpi), PixelsToTwips(c.height, c.dpi)};
    const Placement p = PlaceControls(s.width, s.height);
    const auto square = ArtSquare(p, s.height, c.dpi);
    ASSERT_TRUE(square) << c.width << "x" << c.height;
    const PixelRect pixels = SquareToPixels(*square, c.dpi);
    EXPECT_GE(pixels.width, c.minSide) << c.width << "x" << c.height;
    EXPECT_EQ(pixels.width, pixels.height);
    EXPECT_LE(pixels.right(), c.width);
    EXPECT_EQ(square->right(), p.Rect(id::lblSongName).right());
    EXPECT_GE(square->top, LimitsOf(p, s).titleBottom + ArtMargin);
    EXPECT_GE(square->left, p.Rect(id::lblplaylist(1)).left + LineRoomBesideArt);
    for (const ControlSpec& spec : ControlTable()) {
      if (spec.kind != ControlKind::PlaylistLine && spec.id != id::lblSongName) {
        EXPECT_FALSE(Overlap(*square, p.FormRect(spec.id))) << spec.id << " " << c.width;
      }
    }
    // The lines in its rows stop a margin short of it.
    const std::array<TwipRect, 1> extra{ArtObstacle(*square)};
    const Limits limits = LimitsOf(p, s, extra);
    for (int i = 1; i <= 15; ++i) {
      const TwipRect line = p.Rect(id::lblplaylist(i));
      if (line.top < square->bottom() && square->top < line.bottom()) {
        EXPECT_EQ(limits.lineRight[i - 1], square->left - ArtMargin) << i;
      }
    }
  }
  // 800 x 600 has no room for one worth showing.
  const Placement small = PlaceControls(12000, 9000);
  EXPECT_FALSE(ArtSquare(small, 9000, 96));
}

}  // namespace
}  // namespace tokalux
