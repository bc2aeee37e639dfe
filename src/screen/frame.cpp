#include "screen/frame.h"

#include "gui/buffered_paint.h"

namespace tokalux {

bool Frame::Register(HINSTANCE instance) {
  return RegisterWindowClass(instance, ClassName);
}

Frame::Frame(HWND parent, int controlId, std::wstring_view caption, const FrameStyle& style)
    : id_(controlId), caption_(caption), style_(style) {
  MakeWindow({.className = ClassName,
              .text = caption_.c_str(),
              .style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
              .parent = parent,
              .controlId = controlId,
              .font = style.font});
}

void Frame::SetFont(HFONT font) {
  if (!hwnd() || font == style_.font) return;
  style_.font = font;
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void Frame::PaintContent(HDC dc, const RECT& client) const {
  UniqueBrush back(::CreateSolidBrush(style_.back));
  ::FillRect(dc, &client, back.get());

  ScopedSelect font(dc, style_.font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  RECT border = client;
  border.top += metrics.tmHeight / 2;
  ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

  // The caption interrupts the top edge near its left end, on the frame's background.
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &extent);
  const int inset = metrics.tmAveCharWidth;
  RECT caption{client.left + inset, client.top, client.left + inset + extent.cx + 4,
               client.top + metrics.tmHeight};
  ::FillRect(dc, &caption, back.get());
  ::SetTextColor(dc, style_.text);
  ::SetBkMode(dc, TRANSPARENT);
  ::OffsetRect(&caption, 2, 0);
  ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &caption,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const auto paint = [this](HDC dc, const RECT& client) { PaintContent(dc, client); };
  if (const auto answer = AnswerPaintMessage(hwnd(), message, wparam, paint)) return *answer;
  return ::DefWindowProcW(hwnd(), message, wparam, lparam);
}

}  // namespace tokalux
