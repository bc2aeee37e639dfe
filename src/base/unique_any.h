// One template for "a value and how to close it", after wil's unique_any. Every owner alias is
// one line over it: the kernel ones in base/win32_handles.h, the window and GDI ones in
// gui/gui_handles.h. Plain C++, so any folder of ours may use it.
#pragma once

#include <type_traits>
#include <utility>

namespace tokalux {

// Invalid is the value that means "none": T{} unless given. A handle kind whose "none" is a
// pointer made from a number (a file's INVALID_HANDLE_VALUE, -1) gives that number, since a
// pointer made from a number cannot be a template argument; the owner makes the pointer.
template <typename T, auto Close, auto Invalid = T{}>
class UniqueAny {
 public:
  UniqueAny() = default;
  // Takes what a create function answered, failure included: a failure makes an empty owner.
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
  explicit operator bool() const { return value_ != None(); }

  T release() { return std::exchange(value_, None()); }
  // The old value is let go before it is closed, so whatever the close calls back into (a window
  // procedure, say) already finds the holder empty.
  void reset(T value = None()) {
    const T old = std::exchange(value_, value);
    if (old != None()) Close(old);
  }

 private:
  static T None() {
    if constexpr (std::is_pointer_v<T> && std::is_integral_v<decltype(Invalid)>) {
      return reinterpret_cast<T>(Invalid);
    } else {
      return Invalid;
    }
  }

  T value_ = None();
};

}  // namespace tokalux
