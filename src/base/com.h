// Owners for COM, after wil's com_ptr and CoInitializeEx: an interface pointer, and COM started
// on the calling thread for a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace tokalux {

// A COM interface pointer, released with its owner.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // The place for a function to store a new reference in; what was held is released first.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void reset() {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

// COM in the multithreaded apartment on the calling thread for the scope. Each start that
// succeeded (also the one that finds COM already started) is paired with its end; one that
// failed (the thread is in another apartment) ends nothing.
class ScopedCom {
 public:
  ScopedCom() : started_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ScopedCom() {
    if (started_) ::CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

  explicit operator bool() const { return started_; }

 private:
  bool started_;
};

}  // namespace tokalux
