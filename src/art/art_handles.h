// Owners for the Win32 and COM objects of the cover-art worker beside the kernel handles of
// base/win32_handles.h: a directory search, a COM interface.
#pragma once

#include <windows.h>

#include <utility>

#include "base/unique_any.h"
#include "base/win32_handles.h"

namespace tokalux {

namespace detail {
inline void CloseFileSearch(HANDLE h) {
  ::FindClose(h);
}
}  // namespace detail

// A FindFirstFileExW search; nullptr is "none".
using UniqueFileSearch = UniqueAny<HANDLE, detail::CloseFileSearch>;

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

}  // namespace tokalux
