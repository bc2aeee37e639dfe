#include "harness/screen_saver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "gui/gui_handles.h"
#include "gui/paint_count.h"
#include "screen/layout.h"

namespace tokalux::e2e {

ScreenSaver::ScreenSaver(const std::wstring& arguments, const std::wstring& desktop)
    : process_(BesideTests(L"tokalux.scr"), arguments, desktop) {}

HWND ScreenSaver::WaitForForm(std::chrono::milliseconds timeout) {
  if (!process_.started()) return nullptr;
  form_ = WaitForWindow(ScreenSaverClass, timeout, process_.id());
  if (form_) PumpFor(300ms);  // shown: give the first paint a moment
  return form_;
}

HWND ScreenSaver::Control(int controlId) const {
  return form_ ? FindControl(form_, controlId) : nullptr;
}

HWND ScreenSaver::Focus() const {
  if (!form_) return nullptr;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(form_, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool ScreenSaver::WaitForCaption(int controlId, const std::wstring& caption,
                                 std::chrono::milliseconds timeout) const {
  HWND control = Control(controlId);
  return control && WaitUntil([&] { return WindowText(control) == caption; }, timeout);
}

bool ShowedAWindowBeforeExit(ChildProcess& process, std::chrono::milliseconds timeout) {
  bool showed = false;
  WaitUntil(
      [&] {
        showed = showed || FindWindowOfProcess(ScreenSaverClass, process.id()) != nullptr;
        return showed || !process.IsRunning();
      },
      timeout);
  return showed;
}

namespace {

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void SendNow(std::vector<INPUT> inputs) {
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Send(std::vector<INPUT> inputs) {
  SendNow(std::move(inputs));
  PumpFor(150ms);
}

}  // namespace

void PressKey(WORD virtualKey) {
  Send({KeyInput(virtualKey, false), KeyInput(virtualKey, true)});
}

void SendKeyNow(WORD virtualKey) {
  SendNow({KeyInput(virtualKey, false), KeyInput(virtualKey, true)});
}

void PressKeyWithShift(WORD virtualKey) {
  Send({KeyInput(VK_SHIFT, false), KeyInput(virtualKey, false), KeyInput(virtualKey, true),
        KeyInput(VK_SHIFT, true)});
}

void PressKeyWithAlt(WORD virtualKey) {
  Send({KeyInput(VK_MENU, false), KeyInput(virtualKey, false), KeyInput(virtualKey, true),
        KeyInput(VK_MENU, true)});
}

void MoveMouseTo(POINT point) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 across the primary screen.
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((point.x * 65536 + width / 2) / width);
  input.mi.dy = static_cast<LONG>((point.y * 65536 + height / 2) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send({input});
}

void MouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  Send({input});
}

void ClickAt(POINT point) {
  MoveMouseTo(point);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
}

POINT CentreOf(HWND window) {
  const RECT rect = ScreenRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

COLORREF ScreenPixel(POINT point) {
  ScopedWindowDc screen(nullptr);
  return ::GetPixel(screen.get(), point.x, point.y) & 0x00FFFFFF;
}

std::vector<COLORREF> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  // One copy of the screen area, read back as 32-bit pixels.
  ScopedWindowDc screen(nullptr);
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || !bits) return {};
  {
    ScopedSelect select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
  }
  ::GdiFlush();
  // DIB pixels are 0x00RRGGBB.
  const auto* dib = static_cast<const DWORD*>(bits);
  std::vector<COLORREF> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = RGB((dib[i] >> 16) & 0xFF, (dib[i] >> 8) & 0xFF, dib[i] & 0xFF);
  }
  return pixels;
}

bool RectShowsColour(const RECT& rect, COLORREF colour) {
  const std::vector<COLORREF> pixels = ScreenPixels(rect);
  return std::find(pixels.begin(), pixels.end(), colour & 0x00FFFFFF) != pixels.end();
}

uintptr_t PaintCount(HWND control) {
  return ::tokalux::PaintCount(control);
}

std::vector<HWND> ShownWindowsOf(DWORD processId, const wchar_t* windowClass) {
  struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    std::vector<HWND> shown;
  } search{processId, windowClass, {}};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t className[64] = {};
        ::GetClassNameW(window, className, 64);
        const std::wstring name(className);
        if (owner == s->processId && ::IsWindowVisible(window) && name != TOOLTIPS_CLASSW &&
            (!s->windowClass || name == s->windowClass)) {
          s->shown.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.shown;
}

void ExpectControlsPlaced(const ScreenSaver& saver, int width, int height, int dpi) {
  const Placement placement = PlaceControls(PixelsToTwips(width, dpi), PixelsToTwips(height, dpi));
  for (const ControlSpec& spec : ControlTable()) {
    const PixelRect want = ToPixels(placement.FormRect(spec.id), dpi);
    const RECT have = ScreenRect(saver.Control(spec.id));
    EXPECT_NEAR(have.left, want.left, 2) << spec.id;
    EXPECT_NEAR(have.top, want.top, 2) << spec.id;
    if (spec.sizing != Sizing::Auto) {  // auto-sized labels follow their caption instead
      EXPECT_NEAR(have.right - have.left, want.width, 2) << spec.id;
    }
    if (spec.sizing == Sizing::Fixed) {
      EXPECT_NEAR(have.bottom - have.top, want.height, 2) << spec.id;
    }
  }
}

}  // namespace tokalux::e2e
