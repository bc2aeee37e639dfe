#include "screen/label.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/buffered_paint.h"
#include "screen/paint_count.h"

namespace tokalux {

Label::Label(HWND parent, int controlId, std::wstring_view caption, const PixelRect& rect,
             const LabelStyle& style)
    : id_(controlId), style_(style), caption_(caption), fixedWidth_(rect.width) {
  DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX;
  if (style.clickable) windowStyle |= SS_NOTIFY;
  Subclass(::CreateWindowExW(
      0, L"Static", caption_.c_str(), windowStyle, rect.left, rect.top, rect.width, rect.height,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr));
  if (!hwnd()) return;
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(style.font), FALSE);
  FitToCaption();
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

UINT Label::DrawFlags() const {
  UINT flags = DT_LEFT | DT_TOP | DT_NOPREFIX;
  flags |= style_.sizing == Sizing::AutoWrap ? DT_WORDBREAK : DT_SINGLELINE;
  return flags;
}

void Label::FitToCaption() {
  if (style_.sizing == Sizing::Fixed) return;
  ScopedWindowDc dc(hwnd());
  ScopedSelect font(dc.get(), style_.font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);

  RECT measured{0, 0, style_.sizing == Sizing::AutoWrap ? fixedWidth_ : 0, 0};
  if (!caption_.empty()) {
    ::DrawTextW(dc.get(), caption_.c_str(), static_cast<int>(caption_.size()), &measured,
                DrawFlags() | DT_CALCRECT);
  }
  int width = measured.right - measured.left;
  const int height =
      caption_.empty() ? metrics.tmHeight : std::max<int>(measured.bottom - measured.top, 0);
  if (style_.sizing == Sizing::AutoWrap) width = fixedWidth_;

  RECT current{};
  ::GetWindowRect(hwnd(), &current);
  if (current.right - current.left == width && current.bottom - current.top == height) return;
  ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The parent repaints what a shrinking label uncovered; the label repaints itself.
}

void Label::PaintContent(HDC dc, const RECT& client) const {
  UniqueBrush back(::CreateSolidBrush(style_.back));
  ::FillRect(dc, &client, back.get());
  ScopedSelect font(dc, style_.font);
  ::SetTextColor(dc, style_.text);
  ::SetBkMode(dc, TRANSPARENT);
  RECT area = client;
  ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &area, DrawFlags());
}

LRESULT Label::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd();
  CountPaintMessage(window, message);
  const auto paint = [this](HDC dc, const RECT& client) { PaintContent(dc, client); };
  if (const auto answer = AnswerPaintMessage(window, message, wparam, paint)) return *answer;
  switch (message) {
    case WM_SETTEXT:
      // The window keeps the text (for outside readers); the static's own WM_SETTEXT would
      // also paint it in its own colours, so it is bypassed.
      if (!TakeCaption(reinterpret_cast<const wchar_t*>(lparam))) return TRUE;
      return ::DefWindowProcW(window, message, wparam, lparam);
    default:
      return ::DefSubclassProc(window, message, wparam, lparam);
  }
}

}  // namespace tokalux
