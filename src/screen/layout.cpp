#include "screen/layout.h"

#include <algorithm>
#include <cmath>

#include "screen/control_ids.h"

namespace tokalux {
namespace {

namespace id = ControlId;

constexpr FontSpec ArialHeading{L"Arial", 9.75, true, true};
constexpr FontSpec ArialLine{L"Arial", 9.75, false, false};
constexpr FontSpec ArialTitle{L"Arial", 48, false, false};
constexpr FontSpec ArialTime{L"Arial", 96, false, false};
constexpr FontSpec FormFont{L"MS Sans Serif", 8.25, false, false};
constexpr FontSpec ButtonLarge{L"MS Sans Serif", 9.75, true, false};
constexpr FontSpec ButtonSmall{L"MS Sans Serif", 8.25, true, false};

constexpr ControlSpec Label(int control, std::wstring_view caption, FontSpec font, uint32_t text,
                            uint32_t back, TwipRect design, Sizing sizing) {
  return {
      control, ControlKind::Label, Container::Form, caption, {}, font, text, back, design, sizing,
      0};
}

constexpr ControlSpec FrameLabel(int control, std::wstring_view caption, uint32_t text,
                                 TwipRect design, Sizing sizing) {
  return {control,
          ControlKind::Label,
          Container::Frame1,
          caption,
          {},
          FormFont,
          text,
          ColourButtonText,
          design,
          sizing,
          0};
}

// Member i (1..15) of the playlist lines: one left-aligned column, 360 twips apart.
constexpr ControlSpec PlaylistLine(int i) {
  return {id::lblplaylist(i),
          ControlKind::PlaylistLine,
          Container::Form,
          L"",
          {},
          ArialLine,
          ColourGreen,
          ColourBlack,
          {7920, 4680 + 360 * (i - 1), 60, 240},
          Sizing::Auto,
          0};
}

constexpr ControlSpec Button(int control, std::wstring_view caption, std::wstring_view tooltip,
                             TwipRect design, FontSpec font, int tab) {
  return {control,          ControlKind::Button, Container::Form, caption,       tooltip, font,
          ColourButtonText, ColourMediumGreen,   design,          Sizing::Fixed, tab};
}

constexpr ControlSpec Slider(int control, std::wstring_view tooltip, TwipRect design, int tab) {
  return {control,     ControlKind::Slider, Container::Form, L"",           tooltip, FormFont,
          ColourBlack, ColourBlack,         design,          Sizing::Fixed, tab};
}

// clang-format off
constexpr std::array<ControlSpec, ControlCount> Controls{{
  // Labels on the form.        caption               font          text               background        left    top    width  height sizing
  Label(id::lblInterpret_Titel, L"Interpret - Title", ArialHeading, ColourGreen,       ColourBlack,      {120,   480,   1350,  240},  Sizing::Auto),
  Label(id::lblSongName,        L"---",               ArialTitle,   ColourGreen,       ColourBlack,      {120,   720,   15225, 1320}, Sizing::AutoWrap),
  Label(id::lbltrackvontracks,  L"Track 10 of 20",    ArialHeading, ColourRed,         ColourBlack,      {1320,  4320,  1305,  240},  Sizing::Auto),
  Label(id::lblTime,            L"01:20",             ArialTime,    ColourRed,         ColourBlack,      {1440,  4680,  4800,  2145}, Sizing::Auto),
  Label(id::Label5,             L"now",               ArialHeading, ColourRed,         ColourBlack,      {1320,  6840,  390,   240},  Sizing::Auto),
  Label(id::lblTimegesamt,      L"04:30",             ArialTime,    ColourRed,         ColourWindowText, {1320,  7680,  4800,  2145}, Sizing::Auto),
  Label(id::lblkom2,            L"total",             ArialHeading, ColourRed,         ColourBlack,      {1200,  9840,  405,   240},  Sizing::Auto),
  Label(id::lbl_lauts,          L"Volume",            FormFont,     ColourMediumGreen, ColourButtonText, {9960,  14520, 525,   195},  Sizing::Auto),

  // The playlist lines, lblplaylist(1) .. lblplaylist(15).
  PlaylistLine(1),  PlaylistLine(2),  PlaylistLine(3),  PlaylistLine(4),  PlaylistLine(5),
  PlaylistLine(6),  PlaylistLine(7),  PlaylistLine(8),  PlaylistLine(9),  PlaylistLine(10),
  PlaylistLine(11), PlaylistLine(12), PlaylistLine(13), PlaylistLine(14), PlaylistLine(15),

  // The frame and its labels (positions relative to the frame).
  {id::Frame1, ControlKind::Frame, Container::Form, L"Trackinfo", {}, FormFont, ColourMediumGreen, ColourBlack, {13680, 12960, 1695, 1095}, Sizing::Fixed, 0},
  //                          caption           text               left   top  width  height  sizing
  FrameLabel(id::Label2,      L"Samplingrate:", ColourMediumGreen, {120,  240, 975,   255},   Sizing::Fixed),
  FrameLabel(id::Label3,      L"Bitrate:",      ColourMediumGreen, {120,  480, 975,   255},   Sizing::Fixed),
  FrameLabel(id::Label4,      L"Channels:",     ColourMediumGreen, {120,  720, 975,   255},   Sizing::Fixed),
  FrameLabel(id::lblSample,   L"-",             ColourGreen,       {1320, 240, 45,    195},   Sizing::Auto),
  FrameLabel(id::lblBitrate,  L"-",             ColourGreen,       {1320, 480, 45,    195},   Sizing::Auto),
  FrameLabel(id::lblChannels, L"-",             ColourGreen,       {1320, 720, 45,    195},   Sizing::Auto),

  // Buttons.            caption       tooltip                           left    top    width height font       tab
  Button(id::cmdPrev,    L"|<",        L"Track back",                    {120,   14520, 495,  375}, ButtonLarge, 2),
  Button(id::cmdFRW,     L"<<",        L"5 sec back",                    {600,   14520, 495,  375}, ButtonLarge, 3),
  Button(id::cmdStop,    L"[]",        L"STOP",                          {1080,  14520, 495,  375}, ButtonLarge, 6),
  Button(id::cmdPlay,    L">",         L"PLAY",                          {1560,  14520, 495,  375}, ButtonLarge, 4),
  Button(id::cmdPause,   L"||",        L"PAUSE",                         {2040,  14520, 495,  375}, ButtonLarge, 5),
  Button(id::cmdFFW,     L">>",        L"5 SEK forward",                 {2520,  14520, 495,  375}, ButtonLarge, 7),
  Button(id::cmdNext,    L">|",        L"TRACK forward",                 {3000,  14520, 495,  375}, ButtonLarge, 8),
  Button(id::cmdPLStart, L"PL Begin",  L"to begin of Playlist",          {3720,  14280, 1095, 255}, ButtonSmall, 12),
  Button(id::cmdPLEnd,   L"PL End",    L"to End of Playlist",            {3720,  14640, 1095, 255}, ButtonSmall, 13),
  Button(id::cmdPLMitte, L"PL Middle", L"to middle of the Playlist ",    {5040,  14280, 1095, 590}, ButtonSmall, 17),
  Button(id::cmdPLp10,   L"PL +10",    L"10 Tracks forward in Playlist", {6360,  14280, 975,  255}, ButtonSmall, 15),
  Button(id::cmdPLm10,   L"PL  -10",   L"10 Tracks back in Playlist",    {6360,  14640, 975,  255}, ButtonSmall, 16),
  Button(id::cmdVolIncr, L"+",         L"Volume increase",               {12840, 14280, 375,  255}, ButtonLarge, 11),
  Button(id::cmdVolDecr, L"-",         L"Volume decrease",               {12840, 14640, 375,  255}, ButtonLarge, 10),
  Button(id::cmdEnd,     L"Exit",      L"push Exit or Esc",              {13680, 14640, 1695, 255}, ButtonSmall, 14),

  // Sliders.           tooltip                   left    top    width  height tab
  Slider(id::sldLength, L"",                      {120,   15000, 15255, 255}, 1),
  Slider(id::sldVol,    L"Lautst\u00e4rkeregler", {10680, 14400, 2055,  495}, 9),
}};
// clang-format on

enum class Property { Left, Top, Width };
enum class Anchor { Absolute, ScreenWidth, ScreenHeight };

struct PlacementStep {
  int control;
  Property property;
  Anchor anchor;
  int32_t offset;  // added to the anchor (0 for Absolute)
};

// The placement, step by step, in the order it runs.
// clang-format off
constexpr std::array<PlacementStep, 29> PlacementSteps{{
  /*  1 */ {id::lblSongName, Property::Width, Anchor::ScreenWidth,  -100},
  /*  2 */ {id::lblSongName, Property::Left,  Anchor::Absolute,     50},
  /*  3 */ {id::cmdFFW,      Property::Top,   Anchor::ScreenHeight, -900},
  /*  4 */ {id::cmdFRW,      Property::Top,   Anchor::ScreenHeight, -900},
  /*  5 */ {id::cmdNext,     Property::Top,   Anchor::ScreenHeight, -900},
  /*  6 */ {id::cmdPrev,     Property::Top,   Anchor::ScreenHeight, -900},
  /*  7 */ {id::cmdPause,    Property::Top,   Anchor::ScreenHeight, -900},
  /*  8 */ {id::cmdPlay,     Property::Top,   Anchor::ScreenHeight, -900},
  /*  9 */ {id::cmdPLEnd,    Property::Top,   Anchor::ScreenHeight, -800},
  /* 10 */ {id::cmdPLp10,    Property::Top,   Anchor::ScreenHeight, -1100},
  /* 11 */ {id::cmdPLm10,    Property::Top,   Anchor::ScreenHeight, -800},
  /* 12 */ {id::cmdPLMitte,  Property::Top,   Anchor::ScreenHeight, -1100},
  /* 13 */ {id::cmdPLStart,  Property::Top,   Anchor::ScreenHeight, -1100},
  /* 14 */ {id::cmdStop,     Property::Top,   Anchor::ScreenHeight, -900},
  /* 15 */ {id::cmdEnd,      Property::Top,   Anchor::ScreenHeight, -800},
  /* 16 */ {id::cmdEnd,      Property::Left,  Anchor::ScreenWidth,  -2000},
  /* 17 */ {id::sldLength,   Property::Width, Anchor::ScreenWidth,  -100},
  /* 18 */ {id::sldLength,   Property::Left,  Anchor::Absolute,     50},
  /* 19 */ {id::sldLength,   Property::Top,   Anchor::ScreenHeight, -400},
  /* 20 */ {id::Frame1,      Property::Top,   Anchor::ScreenHeight, -2200},
  /* 21 */ {id::Frame1,      Property::Left,  Anchor::ScreenWidth,  -2000},
  /* 22 */ {id::lbl_lauts,   Property::Top,   Anchor::ScreenHeight, -800},
  /* 23 */ {id::lbl_lauts,   Property::Left,  Anchor::ScreenWidth,  -6000},
  /* 24 */ {id::cmdVolIncr,  Property::Top,   Anchor::ScreenHeight, -1100},
  /* 25 */ {id::cmdVolIncr,  Property::Left,  Anchor::ScreenWidth,  -2900},
  /* 26 */ {id::cmdVolDecr,  Property::Top,   Anchor::ScreenHeight, -800},
  /* 27 */ {id::cmdVolDecr,  Property::Left,  Anchor::ScreenWidth,  -2900},
  /* 28 */ {id::sldVol,      Property::Top,   Anchor::ScreenHeight, -1050},
  /* 29 */ {id::sldVol,      Property::Left,  Anchor::ScreenWidth,  -5000},
}};
// clang-format on

std::optional<std::size_t> IndexOf(int control) {
  for (std::size_t i = 0; i < Controls.size(); ++i) {
    if (Controls[i].id == control) return i;
  }
  return std::nullopt;
}

int32_t RoundedRatio(int64_t numerator, int64_t denominator) {
  // Halves away from zero, for negative positions (controls off the top or left) as well.
  const int64_t half = denominator / 2;
  const int64_t rounded =
      numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
  return static_cast<int32_t>(rounded);
}

// Whether a placement step sets this property of the control from the screen's size.
bool FollowsEdge(int control, Property property) {
  return std::any_of(PlacementSteps.begin(), PlacementSteps.end(), [&](const PlacementStep& step) {
    return step.control == control && step.property == property && step.anchor != Anchor::Absolute;
  });
}

// The transport row, the playlist buttons and the seek slider: anchored to the bottom edge but
// not to the right one.
bool OnLowerLeft(int control) {
  return FollowsEdge(control, Property::Top) && !FollowsEdge(control, Property::Left);
}

// Every control's rectangle after the placement steps, with `lowerLeftHeight` standing in for the
// screen height for the lower left-hand controls.
std::array<TwipRect, ControlCount> RunSteps(int32_t screenWidthTwips, int32_t screenHeightTwips,
                                            int32_t lowerLeftHeight) {
  std::array<TwipRect, ControlCount> rects{};
  for (std::size_t i = 0; i < Controls.size(); ++i) rects[i] = Controls[i].design;

  for (const PlacementStep& step : PlacementSteps) {
    const auto index = IndexOf(step.control);
    if (!index) continue;
    int32_t value = step.offset;
    if (step.anchor == Anchor::ScreenWidth) value += screenWidthTwips;
    if (step.anchor == Anchor::ScreenHeight) {
      value += OnLowerLeft(step.control) ? lowerLeftHeight : screenHeightTwips;
    }
    TwipRect& rect = rects[*index];
    switch (step.property) {
      case Property::Left:
        rect.left = value;
        break;
      case Property::Top:
        rect.top = value;
        break;
      case Property::Width:
        rect.width = value;
        break;
    }
  }
  return rects;
}

}  // namespace

const std::array<ControlSpec, ControlCount>& ControlTable() {
  return Controls;
}

const ControlSpec* FindControlSpec(int control) {
  const auto index = IndexOf(control);
  return index ? &Controls[*index] : nullptr;
}

TwipRect Placement::Rect(int control) const {
  const auto index = IndexOf(control);
  return index ? rects_[*index] : TwipRect{};
}

TwipRect Placement::FormRect(int control) const {
  TwipRect rect = Rect(control);
  const ControlSpec* spec = FindControlSpec(control);
  if (spec && spec->container == Container::Frame1) {
    const TwipRect frame = Rect(ControlId::Frame1);
    rect.left += frame.left;
    rect.top += frame.top;
  }
  return rect;
}

Placement AnchoredPlacement(int32_t screenWidthTwips, int32_t screenHeightTwips) {
  return Placement(RunSteps(screenWidthTwips, screenHeightTwips, screenHeightTwips));
}

int32_t LowerLeftClearance(int32_t screenWidthTwips) {
  // At height 0 a bottom-anchored top is its offset from the bottom edge.
  const std::array<TwipRect, ControlCount> rects = RunSteps(screenWidthTwips, 0, 0);
  int32_t clearance = 0;
  for (std::size_t lower = 0; lower < Controls.size(); ++lower) {
    if (!OnLowerLeft(Controls[lower].id)) continue;
    for (std::size_t upper = 0; upper < Controls.size(); ++upper) {
      const ControlSpec& spec = Controls[upper];
      if (spec.container != Container::Form || FollowsEdge(spec.id, Property::Top)) continue;
      const bool sameColumns =
          rects[lower].left < rects[upper].right() && rects[upper].left < rects[lower].right();
      if (sameColumns) clearance = std::max(clearance, rects[upper].bottom() - rects[lower].top);
    }
  }
  return clearance;
}

Placement PlaceControls(int32_t screenWidthTwips, int32_t screenHeightTwips) {
  if (screenWidthTwips < FittedMinWidth || screenHeightTwips < FittedMinHeight) {
    return AnchoredPlacement(screenWidthTwips, screenHeightTwips);
  }
  const int32_t clearance = LowerLeftClearance(screenWidthTwips);
  if (screenHeightTwips >= clearance) return AnchoredPlacement(screenWidthTwips, screenHeightTwips);

  std::array<TwipRect, ControlCount> rects =
      RunSteps(screenWidthTwips, screenHeightTwips, clearance);
  for (std::size_t i = 0; i < Controls.size(); ++i) {
    TwipRect& rect = rects[i];
    if (OnLowerLeft(Controls[i].id) && rect.bottom() > screenHeightTwips) {
      rect.top = screenHeightTwips - rect.height;
    }
  }
  return Placement(rects);
}

int32_t TwipsToPixels(int32_t twips, int dpi) {
  return RoundedRatio(int64_t{twips} * dpi, 1440);
}

int32_t PixelsToTwips(int32_t pixels, int dpi) {
  if (dpi <= 0) return 0;
  return RoundedRatio(int64_t{pixels} * 1440, dpi);
}

int32_t FontPixelHeight(double points, int dpi) {
  return static_cast<int32_t>(std::lround(points * dpi / 72.0));
}

bool KeepsOffOthers(const ControlSpec& spec) {
  return spec.id == ControlId::lblSongName || spec.kind == ControlKind::PlaylistLine;
}

std::optional<TwipRect> ArtSquare(const Placement& placement, int32_t screenHeightTwips, int dpi) {
  // Below the lowest the song title may reach, at its right edge, and right of the lines' room.
  const TwipRect title = placement.Rect(ControlId::lblSongName);
  const std::vector<TwipRect> underTitle = TextObstacles(placement, ControlId::lblSongName);
  const int32_t top = BottomLimit<TwipRect>(title, underTitle, screenHeightTwips) + ArtMargin;
  const int32_t left = placement.Rect(ControlId::lblplaylist(1)).left + LineRoomBesideArt;
  const int32_t right = title.right();
  // Down to the highest control under it in those columns; the lines give way, the title is
  // above it.
  std::vector<TwipRect> below;
  for (const ControlSpec& spec : Controls) {
    if (spec.container == Container::Form && spec.kind != ControlKind::PlaylistLine &&
        spec.id != ControlId::lblSongName) {
      below.push_back(placement.Rect(spec.id));
    }
  }
  const TwipRect columns{left, top, right - left, 0};
  const int32_t bottom = BottomLimit<TwipRect>(columns, below, screenHeightTwips) - ArtMargin;
  const int32_t side = std::min(right - left, bottom - top);
  const TwipRect square{right - side, top, side, side};
  if (side <= 0 || SquareToPixels(square, dpi).width < MinArtPixels) return std::nullopt;
  return square;
}

TwipRect ArtObstacle(const TwipRect& square) {
  return {square.left - ArtMargin, square.top, square.width + ArtMargin, square.height};
}

PixelRect SquareToPixels(const TwipRect& square, int dpi) {
  const PixelRect rect = ToPixels(square, dpi);
  return {rect.left, rect.top, rect.width, rect.width};
}

std::vector<TwipRect> TextObstacles(const Placement& placement, int controlId,
                                    std::span<const TwipRect> extra) {
  std::vector<TwipRect> obstacles;
  for (const ControlSpec& spec : Controls) {
    if (spec.id != controlId && spec.container == Container::Form) {
      obstacles.push_back(placement.Rect(spec.id));
    }
  }
  obstacles.insert(obstacles.end(), extra.begin(), extra.end());
  return obstacles;
}

PixelRect ToPixels(const TwipRect& rect, int dpi) {
  const int32_t left = TwipsToPixels(rect.left, dpi);
  const int32_t top = TwipsToPixels(rect.top, dpi);
  return {left, top, TwipsToPixels(rect.right(), dpi) - left,
          TwipsToPixels(rect.bottom(), dpi) - top};
}

}  // namespace tokalux
