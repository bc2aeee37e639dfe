// One template for "a Win32 value and how to close it", with an alias per handle kind.
#pragma once

#include <windows.h>

#include <utility>

namespace tokalux {

template <typename T, auto Close, T Invalid = T{}>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  ~UniqueAny() { reset(); }

  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid; }

  T release() { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) {
    const T old = std::exchange(value_, value);
    if (old != Invalid) Close(old);
  }

 private:
  T value_ = Invalid;
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
  ::DeleteObject(h);
}
inline void DeleteFontHandle(HFONT h) {
  ::DeleteObject(h);
}
inline void DeleteBrushHandle(HBRUSH h) {
  ::DeleteObject(h);
}
inline void DeleteBitmapHandle(HBITMAP h) {
  ::DeleteObject(h);
}
inline void DeleteMemoryDc(HDC h) {
  ::DeleteDC(h);
}
inline void DestroyWindowHandle(HWND h) {
  ::DestroyWindow(h);
}
inline void DestroyIconHandle(HICON h) {
  ::DestroyIcon(h);
}
inline void CloseDesktopHandle(HDESK h) {
  ::CloseDesktop(h);
}
inline void ReleaseVirtualMemory(void* address) {
  ::VirtualFree(address, 0, MEM_RELEASE);
}
}  // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
using UniqueFont = UniqueAny<HFONT, detail::DeleteFontHandle>;
using UniqueBrush = UniqueAny<HBRUSH, detail::DeleteBrushHandle>;
using UniqueBitmap = UniqueAny<HBITMAP, detail::DeleteBitmapHandle>;
using UniqueMemoryDc = UniqueAny<HDC, detail::DeleteMemoryDc>;
using UniqueWindow = UniqueAny<HWND, detail::DestroyWindowHandle>;
using UniqueIcon = UniqueAny<HICON, detail::DestroyIconHandle>;
using UniqueDesktop = UniqueAny<HDESK, detail::CloseDesktopHandle>;
// A region reserved with VirtualAlloc (the base address it returned).
using UniqueVirtualMemory = UniqueAny<void*, detail::ReleaseVirtualMemory>;

// Selects a GDI object into a DC for the scope and puts the old one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~ScopedSelect() { ::SelectObject(dc_, old_); }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window DC from GetDC, released at the end of the scope.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace tokalux
