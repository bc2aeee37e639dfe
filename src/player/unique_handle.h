// One template for "a Win32 value and how to close it", with an alias per kernel handle kind the
// player link needs. The window and GDI kinds are in gui/gui_handles.h.
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
  // The old value is let go before it is closed, so whatever the close calls back into (a window
  // procedure, say) already finds the holder empty.
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
inline void CloseDesktopHandle(HDESK h) {
  ::CloseDesktop(h);
}
}  // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
using UniqueDesktop = UniqueAny<HDESK, detail::CloseDesktopHandle>;

}  // namespace tokalux
