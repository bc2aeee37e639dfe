// The form's controls as data (kind, container, texts, font, colours, design rectangle, sizing,
// tab order) and the start-up placement that anchors the lower controls to the screen's bottom
// and right edges. Lengths are twips (1440 to the inch); the form converts them to pixels once.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tokalux {

enum class ControlKind { Label, PlaylistLine, Button, Frame, Slider };

// Where a control's Left and Top are measured from.
enum class Container { Form, Frame1 };

// Auto: one line, the rectangle follows the caption (left and top fixed). AutoWrap: the width
// stays, the caption wraps at words and the height follows. Fixed: the rectangle stays and the
// caption is clipped.
enum class Sizing { Auto, AutoWrap, Fixed };

struct FontSpec {
  std::wstring_view face;
  double points = 0;
  bool bold = false;
  bool italic = false;
};

// Colours are 0x00BBGGRR; a value with the top bit set names a system colour by the index in its
// low byte. The labels are green, the times and the current playlist line red.
inline constexpr uint32_t SystemColourFlag = 0x80000000;
inline constexpr uint32_t ColourBlack = 0x00000000;
inline constexpr uint32_t ColourGreen = 0x0000FF00;
inline constexpr uint32_t ColourRed = 0x000000FF;
inline constexpr uint32_t ColourMediumGreen = 0x0000C000;
inline constexpr uint32_t ColourButtonText = 0x80000012;  // system colour 18
inline constexpr uint32_t ColourWindowText = 0x80000008;  // system colour 8

constexpr bool IsSystemColour(uint32_t colour) {
  return (colour & SystemColourFlag) != 0;
}
constexpr int SystemColourIndex(uint32_t colour) {
  return static_cast<int>(colour & 0xFF);
}

struct TwipRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;

  constexpr int32_t right() const { return left + width; }
  constexpr int32_t bottom() const { return top + height; }
  friend constexpr bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct ControlSpec {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  Container container = Container::Form;
  std::wstring_view caption;
  std::wstring_view tooltip;
  FontSpec font;
  uint32_t textColour = ColourBlack;
  uint32_t backColour = ColourBlack;
  TwipRect design;
  Sizing sizing = Sizing::Fixed;
  int tabOrder = 0;  // 1-based position in the Tab order; 0 for controls that take no focus
};

// Both sliders run from 0 to 10 with these steps and start at 0.
struct SliderRange {
  int32_t minimum = 0;
  int32_t maximum = 10;
  int32_t largeStep = 5;
  int32_t smallStep = 1;
  int32_t value = 0;
};
inline constexpr SliderRange DesignSliderRange{};

inline constexpr int ControlCount = 47;

// Every control of the form, one row each.
const std::array<ControlSpec, ControlCount>& ControlTable();

// The row of a control ID; nullptr for an unknown ID.
const ControlSpec* FindControlSpec(int id);

// How many controls take the focus (have a place in the Tab order).
inline constexpr int FocusableCount = 17;

// The design client area the fixed positions were laid out for.
inline constexpr int32_t DesignClientWidth = 15720;
inline constexpr int32_t DesignClientHeight = 15360;

// Every control's rectangle in twips, in its container's coordinates, after placement.
class Placement {
 public:
  explicit Placement(const std::array<TwipRect, ControlCount>& rects) : rects_(rects) {}

  // The rectangle of a control ID (design rectangle for IDs the placement does not move); an
  // empty rectangle for an unknown ID.
  TwipRect Rect(int id) const;
  // The rectangle in the form's coordinates (adds Frame1's position for its labels).
  TwipRect FormRect(int id) const;

  friend bool operator==(const Placement&, const Placement&) = default;

 private:
  std::array<TwipRect, ControlCount> rects_;
};

// The anchored placement for a screen of the given size in twips: the upper display keeps its
// design positions; the lower rows, the frame, the volume controls, the Exit button and the seek
// slider are anchored to the bottom and right edges. Values are taken as they come (nothing is
// clamped), so on a small screen controls may overlap or lie off screen.
Placement AnchoredPlacement(int32_t screenWidthTwips, int32_t screenHeightTwips);

// Screens at least this large (1024 pixels wide at 96 dpi, 720 pixels high at 96 dpi or 1080 at
// 144 dpi) are fitted: see PlaceControls.
inline constexpr int32_t FittedMinWidth = 15360;
inline constexpr int32_t FittedMinHeight = 10800;

// The start-up placement: the anchored one, except on a fitted screen too low for the lower
// left-hand controls (the transport row, the playlist buttons and the seek slider) to clear the
// upper display. There those controls stand as on the lowest screen where they clear it, except
// that the seek slider ends at the bottom edge where it would reach past it; the right-hand group
// stays anchored.
Placement PlaceControls(int32_t screenWidthTwips, int32_t screenHeightTwips);

// The lowest screen height, for this width, at which no lower left-hand control reaches up into a
// control of the upper display that stands in the same columns.
int32_t LowerLeftClearance(int32_t screenWidthTwips);

// pixels = twips x dpi / 1440, rounded to the nearest pixel (halves away from zero).
int32_t TwipsToPixels(int32_t twips, int dpi);
// twips = pixels x 1440 / dpi, rounded likewise.
int32_t PixelsToTwips(int32_t pixels, int dpi);

// A font's height in pixels for a point size: points x dpi / 72, rounded to the nearest pixel.
int32_t FontPixelHeight(double points, int dpi);

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;

  constexpr int32_t right() const { return left + width; }
  constexpr int32_t bottom() const { return top + height; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A twip rectangle in pixels. The edges are converted, not the sizes, so controls that share an
// edge in twips share it in pixels too.
PixelRect ToPixels(const TwipRect& rect, int dpi);

// ---- Room for captions of any length ----

// The labels whose captions come from the player, and so may be of any length: the song title,
// which shrinks and then ends with an ellipsis where it would reach a control below it, and the
// playlist lines, which end with an ellipsis where they would reach one to their right. Every
// other label shows short texts of its own and grows as its caption asks.
bool KeepsOffOthers(const ControlSpec& spec);

// What a label's caption must not cover: every other control on the form (in form coordinates;
// the frame stands for its labels), and the extra obstacles, such as a picture beside the lines.
std::vector<TwipRect> TextObstacles(const Placement& placement, int controlId,
                                    std::span<const TwipRect> extra = {});

// How far right one line of text standing in `row` may reach: to the left edge of the nearest
// obstacle to its right whose top-to-bottom span the row shares, else to `edge` (the screen's
// right edge). Twips or pixels alike.
template <typename Rect>
int32_t RightLimit(const Rect& row, std::span<const Rect> obstacles, int32_t edge) {
  int32_t limit = edge;
  for (const Rect& obstacle : obstacles) {
    const bool sharesRows = obstacle.top < row.bottom() && row.top < obstacle.bottom();
    if (sharesRows && obstacle.left >= row.left) limit = std::min(limit, obstacle.left);
  }
  return limit;
}

// How far down text wrapped within `columns` may reach: to the top of the highest obstacle under
// its top whose left-to-right span the columns share, else to `edge` (the screen's bottom edge).
template <typename Rect>
int32_t BottomLimit(const Rect& columns, std::span<const Rect> obstacles, int32_t edge) {
  int32_t limit = edge;
  for (const Rect& obstacle : obstacles) {
    const bool sharesColumns = obstacle.left < columns.right() && columns.left < obstacle.right();
    if (sharesColumns && obstacle.top >= columns.top) limit = std::min(limit, obstacle.top);
  }
  return limit;
}

// ---- The current track's picture ----

// Twips between the picture and what stands around it.
inline constexpr int32_t ArtMargin = 120;
// Twips the playlist lines keep for themselves left of the picture: their numbers and the start of
// their titles (a 2-inch line of the lines' type).
inline constexpr int32_t LineRoomBesideArt = 2880;
// A picture of fewer pixels a side is not worth showing.
inline constexpr int32_t MinArtPixels = 96;

// The square for the current track's picture, the same for every track on a screen: as large as
// fits at the right edge below where the song title may reach, above the lower controls in its
// columns, and right of the room the playlist lines keep, covering no control; the lines that
// reach it are cut there. Nothing where the square would have fewer than MinArtPixels pixels a
// side at this dpi.
std::optional<TwipRect> ArtSquare(const Placement& placement, int32_t screenHeightTwips, int dpi);

// What the playlist lines keep off besides the other controls: the picture and its margin.
TwipRect ArtObstacle(const TwipRect& square);

// The square in pixels, as a square: its left and top edges converted, its side from its width.
PixelRect SquareToPixels(const TwipRect& square, int dpi);

}  // namespace tokalux
