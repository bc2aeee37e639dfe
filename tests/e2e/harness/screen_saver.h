// Driving tokalux.scr from outside, as a user or a scripting tool would: starting it with its
// command line, finding its form and controls, real keyboard and mouse input, and reading what
// the screen shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "harness/process.h"

namespace tokalux::e2e {

// The form's window class.
inline constexpr const wchar_t* ScreenSaverClass = L"tokalux";

class ScreenSaver {
 public:
  // Starts tokalux.scr (beside the tests) with the arguments, e.g. L"/S", on our desktop or on
  // the one named ("WinSta0\\Screen-saver"). Its windows are then found only from a thread on
  // that desktop (RunOnDesktop).
  explicit ScreenSaver(const std::wstring& arguments, const std::wstring& desktop = L"");

  ChildProcess& process() { return process_; }

  // Waits for the form of this process; nullptr when none appears in time.
  HWND WaitForForm(std::chrono::milliseconds timeout = 30s);
  HWND form() const { return form_; }

  // The control with this ID anywhere in the form; nullptr when there is none.
  HWND Control(int controlId) const;

  // The window that has the keyboard focus in the screen saver's user-interface thread.
  HWND Focus() const;

  // Waits (pumping messages) until the process has ended; true when it did.
  bool WaitForExit(std::chrono::milliseconds timeout = 10s) {
    return process_.WaitForExit(timeout);
  }
  bool IsRunning() const { return process_.IsRunning(); }

  // Waits until a control's window text is the given one; true when it got there in time.
  bool WaitForCaption(int controlId, const std::wstring& caption,
                      std::chrono::milliseconds timeout = 5s) const;

 private:
  ChildProcess process_;
  HWND form_ = nullptr;
};

// True when a top-level window of the screen saver's class appears for the process before it
// ends (or before the timeout).
bool ShowedAWindowBeforeExit(ChildProcess& process, std::chrono::milliseconds timeout);

// Real input through SendInput: to whatever has the focus / wherever the mouse is. Each pumps
// this thread's messages for 150 ms afterwards, so the input is handled before the next step.
void PressKey(WORD virtualKey);
void PressKeyWithShift(WORD virtualKey);
void PressKeyWithAlt(WORD virtualKey);
void MoveMouseTo(POINT screenPoint);
void MouseButton(DWORD downOrUpFlag);  // MOUSEEVENTF_LEFTDOWN, ..._LEFTUP, ...
void ClickAt(POINT screenPoint);
// A key's press and release, returning as soon as both are sent (for timing what follows).
void SendKeyNow(WORD virtualKey);

// The centre of a window, in screen pixels.
POINT CentreOf(HWND window);
// Where a trackbar in another process has its thumb, in screen pixels.
POINT ThumbCentre(HWND trackbar);

// The colour of one screen pixel, as 0x00BBGGRR.
COLORREF ScreenPixel(POINT screenPoint);
// The pixels of a rectangle of the screen, row by row, as 0x00BBGGRR; none when it cannot be read.
std::vector<COLORREF> ScreenPixels(const RECT& screenRect);
// True when some pixel of the rectangle (screen pixels) has exactly this colour.
bool RectShowsColour(const RECT& screenRect, COLORREF colour);

// How often a control of the screen saver has painted itself so far.
uintptr_t PaintCount(HWND control);

// The shown top-level windows of a process, tooltips aside (they show while the mouse rests);
// only those of the class when one is given.
std::vector<HWND> ShownWindowsOf(DWORD processId, const wchar_t* windowClass = nullptr);

// Checks that every control of the form stands where the layout puts it on a primary screen of
// width x height pixels at this DPI (auto-sized labels only by their left and top edges, as they
// follow their captions).
void ExpectControlsPlaced(const ScreenSaver& saver, int width, int height, int dpi);

}  // namespace tokalux::e2e
