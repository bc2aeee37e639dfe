// Owners for COM, after wil's com_ptr and CoInitializeEx: an interface pointer, and COM started
// on the calling thread for a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <concepts>
#include <memory>
#include <utility>

namespace tokalux {

// IUnknown's interface ID: asked for, it gives an object's identity.
inline constexpr GUID UnknownIid{
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// One reference to a COM object, released with its owner. A copy holds a reference of its own.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Shares the object: takes a reference of its own.
  explicit ComPtr(Interface* object) : pointer_(object) {
    if (pointer_) pointer_->AddRef();
  }
  // Takes over a reference the caller holds.
  static ComPtr Adopt(Interface* object) {
    ComPtr owner;
    owner.pointer_ = object;
    return owner;
  }
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  // The same object through an interface it derives from (implicit, as the raw pointers convert).
  template <std::derived_from<Interface> Derived>
  ComPtr(const ComPtr<Derived>& other) : ComPtr(other.get()) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
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

  // Hands a new reference out through an out parameter (of this interface or one it derives
  // from).
  template <typename Base>
  void CopyTo(Base** out) const {
    *out = pointer_;
    if (pointer_) pointer_->AddRef();
  }

  // The same object through another of its interfaces; empty when it has none.
  template <typename Other>
  ComPtr<Other> As(REFIID iid) const {
    ComPtr<Other> other;
    if (pointer_ && FAILED(pointer_->QueryInterface(iid, reinterpret_cast<void**>(other.put())))) {
      other.reset();
    }
    return other;
  }

 private:
  Interface* pointer_ = nullptr;
};

// A new object of a COM class of ours whose count starts at one reference: the one returned.
template <typename Object, typename... Arguments>
ComPtr<Object> MakeComObject(Arguments&&... arguments) {
  return ComPtr<Object>::Adopt(
      std::make_unique<Object>(std::forward<Arguments>(arguments)...).release());
}

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
