// The owner of the session client's strings, and the base of the few COM objects it implements
// itself (the completion and event handlers). Its interface pointers are base's ComPtr.
#pragma once

#include <windows.h>

#include <hstring.h>
#include <unknwn.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "base/com.h"
#include "base/unique_any.h"
#include "session/media_session_abi.h"
#include "session/windows_runtime.h"

namespace tokalux::media {

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

}  // namespace tokalux::media
