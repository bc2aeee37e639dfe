// Owners for the session client's COM references and strings, and the base of the few COM
// objects it implements itself (the completion and event handlers).
#pragma once

#include <windows.h>

#include <hstring.h>
#include <unknwn.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "base/unique_any.h"
#include "session/media_session_abi.h"
#include "session/windows_runtime.h"

namespace tokalux::media {

// One reference to a COM object, released when the owner goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller holds.
  static ComPtr Adopt(T* raw) {
    ComPtr owner;
    owner.raw_ = raw;
    return owner;
  }
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) : raw_(other.raw_) {
    if (raw_) raw_->AddRef();
  }
  ComPtr& operator=(const ComPtr& other) {
    ComPtr copy(other);
    std::swap(raw_, copy.raw_);
    return *this;
  }
  ComPtr(ComPtr&& other) noexcept : raw_(std::exchange(other.raw_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr moved(std::move(other));
    std::swap(raw_, moved.raw_);
    return *this;
  }

  T* get() const { return raw_; }
  T* operator->() const { return raw_; }
  explicit operator bool() const { return raw_ != nullptr; }
  // For an out parameter: lets go of the old reference first.
  T** put() {
    reset();
    return &raw_;
  }
  void reset() {
    if (T* old = std::exchange(raw_, nullptr)) old->Release();
  }

  // The same object through another of its interfaces; empty when it has none.
  template <typename U>
  ComPtr<U> As(const GUID& iid) const {
    ComPtr<U> other;
    if (raw_ && FAILED(raw_->QueryInterface(iid, reinterpret_cast<void**>(other.put())))) {
      other.reset();
    }
    return other;
  }

 private:
  T* raw_ = nullptr;
};

namespace detail {
inline void DeleteHString(HSTRING string) {
  if (const WindowsRuntime* runtime = WindowsRuntime::Get()) runtime->deleteString(string);
}
}  // namespace detail

using HString = UniqueAny<HSTRING, detail::DeleteHString>;

// Strings from a player are cut to this many characters.
inline constexpr UINT32 MaxStringChars = 1024;

// The text of a string the caller owns (nullptr is the empty string).
inline std::wstring TextOf(const HString& string) {
  const WindowsRuntime* runtime = WindowsRuntime::Get();
  if (!string || !runtime) return {};
  UINT32 length = 0;
  const wchar_t* chars = runtime->stringRawBuffer(string.get(), &length);
  if (!chars) return {};
  return std::wstring(chars, std::min(length, MaxStringChars));
}

inline constexpr GUID UnknownIid{
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The reference counting and QueryInterface of an object of ours that implements one interface
// (derived from IUnknown only) with the given IID. It is agile: it answers IAgileObject, since
// the system calls it on any thread. It lives as long as anyone holds a reference, so a call that
// comes after its creator stopped waiting still finds it.
template <typename Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const GUID& iid) : iid_(iid) {}
  virtual ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == UnknownIid || iid == iid::AgileObject || iid == iid_) {
      AddRef();
      *out = static_cast<Interface*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      const std::unique_ptr<ComObject> last(this);  // the last reference deletes the object
    }
    return left;
  }

 private:
  const GUID iid_;
  std::atomic<ULONG> references_{1};
};

// A new object of ours, with the one reference the caller gets.
template <typename Object, typename... Arguments>
ComPtr<Object> MakeComObject(Arguments&&... arguments) {
  return ComPtr<Object>::Adopt(
      std::make_unique<Object>(std::forward<Arguments>(arguments)...).release());
}

}  // namespace tokalux::media
