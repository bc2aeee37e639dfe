#include "screen/label.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "gui/buffered_paint.h"

namespace tokalux {

Label::Label(HWND parent, int controlId, std::wstring_view caption, const LabelStyle& style)
    : id_(controlId), style_(style), caption_(caption) {
  DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX;
  if (style.clickable) windowStyle |= SS_NOTIFY;
  const bool made = MakeWindow({.className = L"Static",
                                .text = caption_.c_str(),
                                .style = windowStyle,
                                .parent = parent,
                                .controlId = controlId,
                                .font = style.font});
  if (made) FitToCaption();
}

bool Label::SetCaption(std::wstring_view caption) {
  if (!hwnd() || caption == caption_) return false;
  const std::wstring text(caption);
  ::SendMessageW(hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

void Label::SetTextColour(COLORREF colour) {
  if (colour == style_.text) return;
  style_.text = colour;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void Label::SetFont(HFONT font) {
  if (!hwnd() || font == style_.font) return;
  style_.font = font;
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  FitToCaption();
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void Label::Place(const PixelRect& rect) {
  if (!hwnd()) return;
  if (style_.sizing == Sizing::Fixed) {
    MoveTo(rect.left, rect.top, rect.width, rect.height);
    return;
  }
  RECT now{};
  ::GetWindowRect(hwnd(), &now);
  MoveTo(rect.left, rect.top, now.right - now.left, now.bottom - now.top);
  if (style_.sizing != Sizing::AutoWrap || rect.width == fixedWidth_) return;
  fixedWidth_ = rect.width;
  FitToCaption();
  ::InvalidateRect(hwnd(), nullptr, FALSE);  // the caption wraps anew
}

bool Label::TakeCaption(const wchar_t* text) {
  const std::wstring_view caption = text ? std::wstring_view(text) : std::wstring_view();
  if (caption == caption_) return false;
  caption_ = caption;
  FitToCaption();
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  return true;
}

void Label::KeepOff(std::vector<PixelRect> obstacles) {
  obstacles_ = std::move(obstacles);
  if (!hwnd()) return;
  FitToCaption();
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

namespace {

// The character height of a font, in pixels.
int CharacterHeight(HFONT font) {
  LOGFONTW logFont{};
  ::GetObjectW(font, sizeof(logFont), &logFont);
  return std::max(1, static_cast<int>(std::abs(logFont.lfHeight)));
}

}  // namespace

void Label::FitToCaption() {
  if (!style_.fonts) return;
  HWND parent = ::GetParent(hwnd());
  RECT room{};
  ::GetClientRect(parent, &room);
  RECT placed{};
  ::GetWindowRect(hwnd(), &placed);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&placed), 2);
  const PixelRect own{placed.left, placed.top, placed.right - placed.left,
                      placed.bottom - placed.top};

  const int fontHeight = CharacterHeight(style_.font);
  constexpr int32_t unlimited = std::numeric_limits<int32_t>::max();
  FitRoom fit{unlimited, unlimited, style_.sizing == Sizing::AutoWrap, fontHeight, fontHeight};
  if (fit.wrap) {
    fit.width = fixedWidth_;
    if (obstacles_) {
      const PixelRect columns{own.left, own.top, fixedWidth_, 0};
      fit.height = BottomLimit<PixelRect>(columns, *obstacles_, room.bottom) - own.top;
      fit.floorHeight = (fontHeight + 1) / 2;  // still readable from across the room
    }
  }
  if (!fit.wrap && obstacles_) {
    // A line stands no taller than the room down to what is under it (the next playlist line):
    // a fallback face that wants more gives it up (see FitLineBox), so its line neither covers
    // the next one nor finds it in its way and keeps no room at all.
    const PixelRect column{own.left, own.top, 1, 0};
    fit.height = BottomLimit<PixelRect>(column, *obstacles_, room.bottom) - own.top;
  }
  layout_.Fit(*style_.fonts, style_.font, caption_, fit);
  if (!fit.wrap && obstacles_) {
    // The row's height is the text's own: a line in a taller fallback font takes more rows.
    const PixelRect row{own.left, own.top, layout_.width(), layout_.height()};
    fit.width = std::max(0, RightLimit<PixelRect>(row, *obstacles_, room.right) - own.left);
    if (layout_.width() > fit.width) layout_.Fit(*style_.fonts, style_.font, caption_, fit);
  }
  if (style_.sizing == Sizing::Fixed) return;

  const int width = fit.wrap ? fixedWidth_ : std::min(layout_.width(), fit.width);
  const int height = layout_.height();
  if (own.width == width && own.height == height) return;
  ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The parent repaints what a shrinking label uncovered; the label repaints itself.
}

void Label::PaintContent(HDC dc, const RECT& client) const {
  UniqueBrush back(::CreateSolidBrush(style_.back));
  ::FillRect(dc, &client, back.get());
  layout_.Draw(dc, client.left, client.top, style_.text);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd();
  const auto paint = [this](HDC dc, const RECT& client) { PaintContent(dc, client); };
  if (const auto answer = AnswerPaintMessage(window, message, wparam, paint)) return *answer;
  switch (message) {
    case WM_SETTEXT:
      // The window keeps the text (for outside readers); the static's own WM_SETTEXT would
      // also paint it in its own colours, so it is bypassed.
      if (!TakeCaption(reinterpret_cast<const wchar_t*>(lparam))) return TRUE;
      return ::DefWindowProcW(window, message, wparam, lparam);
    case ReflectedMessage(WM_COMMAND):
      if (HIWORD(wparam) == STN_CLICKED && onClick) onClick();
      return 0;
    default:
      return ::DefSubclassProc(window, message, wparam, lparam);
  }
}

}  // namespace tokalux
