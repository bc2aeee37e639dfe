// One template for "a value and how to close it", after wil's unique_any: the player link, the
// window and GDI helpers and the demo player each give it a one-line alias per handle kind. Plain
// C++, so any folder of ours may use it.
#pragma once

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

}  // namespace tokalux
