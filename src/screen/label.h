// A label: a "Static" child window that paints itself, double-buffered, in its own font and
// colours, left-aligned, with no "&" prefix processing, and with fallback fonts for characters
// its font lacks. Auto-sized labels follow their caption. Setting the caption or colour a label
// already has repaints nothing. The window text is always the whole caption, however much of it
// shows.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/base_window.h"
#include "screen/layout.h"
#include "text/text_layout.h"

namespace tokalux {

struct LabelStyle {
  HFONT font = nullptr;
  COLORREF text = 0;
  COLORREF back = 0;
  Sizing sizing = Sizing::Fixed;
  bool clickable = false;      // reports clicks (SS_NOTIFY)
  TextFonts* fonts = nullptr;  // the sizes and fallbacks of fonts it draws with
};

class Label : public BaseWindow<Label> {
 public:
  // Creates the label as a child of parent with the control ID, caption and rectangle (pixels,
  // in the parent's client coordinates), and sizes it to its caption at once if it is auto-sized.
  Label(HWND parent, int controlId, std::wstring_view caption, const PixelRect& rect,
        const LabelStyle& style);

  int id() const { return id_; }

  // False when the caption was already this (and nothing happened).
  bool SetCaption(std::wstring_view caption);
  const std::wstring& caption() const { return caption_; }

  void SetTextColour(COLORREF colour);

  // A new font (the screen's DPI changed); an auto-sized label fits its caption again.
  void SetFont(HFONT font);
  // Moves the label to the rectangle's left and top. A fixed label takes its size; an auto-sized
  // one keeps following its caption, and one that wraps wraps within the rectangle's width.
  void Place(const PixelRect& rect);
  // Keeps the caption off the obstacles (pixels, in the parent's client coordinates). A one-line
  // label grows right only to the nearest obstacle in its row, or the parent's right edge, and
  // ends with an ellipsis there. A wrapping label grows down only to the highest obstacle under
  // it, or the parent's bottom edge: a caption too long for that is drawn smaller, down to half
  // its font's size, and what still does not fit ends with an ellipsis.
  void KeepOff(std::vector<PixelRect> obstacles);

  // A click on a clickable label.
  std::function<void()> onClick;

 private:
  friend class BaseWindow<Label>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Takes a new caption (the path of WM_SETTEXT, so outside tools take it too).
  bool TakeCaption(const wchar_t* text);
  void FitToCaption();
  void PaintContent(HDC dc, const RECT& client) const;

  int id_;
  LabelStyle style_;
  std::wstring caption_;
  int fixedWidth_;  // the width an AutoWrap label wraps within
  std::optional<std::vector<PixelRect>> obstacles_;
  TextLayout layout_;
};

}  // namespace tokalux
