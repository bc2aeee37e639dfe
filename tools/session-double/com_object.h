// The double's building blocks for COM objects (held by base's ComPtr, made with MakeComObject):
// the interface ID of each interface it implements, and a base that answers IUnknown and
// IInspectable for a class that implements a list of interfaces. Every object is free-threaded and
// says so (IAgileObject): the client calls it from its own thread, the double's threads call the
// client's handlers.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <winstring.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "base/com.h"
#include "session/media_session_abi.h"

namespace tokalux::session_double {

// The interface ID of each interface the double implements.
template <typename Interface>
struct InterfaceId;
#define TOKALUX_INTERFACE_ID(Interface, Guid)  \
  template <>                                  \
  struct InterfaceId<Interface> {              \
    static constexpr const GUID& value = Guid; \
  }
TOKALUX_INTERFACE_ID(IActivationFactory, media::iid::ActivationFactory);
TOKALUX_INTERFACE_ID(media::ISessionManagerStatics, media::iid::SessionManagerStatics);
TOKALUX_INTERFACE_ID(media::ISessionManager, media::iid::SessionManager);
TOKALUX_INTERFACE_ID(media::ISession, media::iid::Session);
TOKALUX_INTERFACE_ID(media::IMediaProperties, media::iid::MediaProperties);
TOKALUX_INTERFACE_ID(media::ITimelineProperties, media::iid::TimelineProperties);
TOKALUX_INTERFACE_ID(media::IPlaybackInfo, media::iid::PlaybackInfo);
TOKALUX_INTERFACE_ID(media::IPlaybackControls, media::iid::PlaybackControls);
TOKALUX_INTERFACE_ID(media::IRandomAccessStreamReference, media::iid::RandomAccessStreamReference);
TOKALUX_INTERFACE_ID(media::IRandomAccessStreamWithContentType,
                     media::iid::RandomAccessStreamWithContentType);
TOKALUX_INTERFACE_ID(media::IAsyncInfo, media::iid::AsyncInfo);
TOKALUX_INTERFACE_ID(media::IAsyncOperation<media::ISessionManager*>, media::iid::ManagerOperation);
TOKALUX_INTERFACE_ID(media::IAsyncOperation<media::IMediaProperties*>,
                     media::iid::MediaPropertiesOperation);
TOKALUX_INTERFACE_ID(media::IAsyncOperation<media::Boolean>, media::iid::BooleanOperation);
TOKALUX_INTERFACE_ID(media::IAsyncOperation<media::IRandomAccessStreamWithContentType*>,
                     media::iid::StreamOperation);
TOKALUX_INTERFACE_ID(media::IVectorView<media::ISession*>, media::iid::SessionVectorView);
TOKALUX_INTERFACE_ID(media::IVectorView<HSTRING>, media::iid::StringVectorView);
TOKALUX_INTERFACE_ID(IStream, media::iid::Stream);
#undef TOKALUX_INTERFACE_ID

// IUnknown and IInspectable for Derived, which implements Interfaces (the first of them derives
// from IInspectable and stands for the object's identity). Derived names its runtime class in
// a static ClassName.
template <typename Derived, typename First, typename... Rest>
class Object : public First, public Rest... {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == media::iid::Inspectable || iid == media::iid::AgileObject ||
        iid == InterfaceId<First>::value) {
      *out = static_cast<First*>(this);
    } else {
      (void)((iid == InterfaceId<Rest>::value ? (*out = static_cast<Rest*>(this), true) : false) ||
             ... || false);
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    // The last reference owns the object.
    if (left == 0) std::unique_ptr<Derived> last(static_cast<Derived*>(this));
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
    if (!count || !iids) return E_POINTER;
    constexpr ULONG n = 1 + sizeof...(Rest);
    *iids = static_cast<IID*>(::CoTaskMemAlloc(n * sizeof(IID)));
    if (!*iids) return E_OUTOFMEMORY;
    const IID all[] = {InterfaceId<First>::value, InterfaceId<Rest>::value...};
    for (ULONG i = 0; i < n; ++i) (*iids)[i] = all[i];
    *count = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* name) override {
    if (!name) return E_POINTER;
    return ::WindowsCreateString(
        Derived::ClassName,
        static_cast<UINT32>(std::char_traits<wchar_t>::length(Derived::ClassName)), name);
  }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override {
    if (!level) return E_POINTER;
    *level = BaseTrust;
    return S_OK;
  }

 protected:
  ~Object() = default;

 private:
  std::atomic<ULONG> references_{1};
};

// An HSTRING of text (nullptr for an empty one, as the ABI allows).
HRESULT MakeString(std::wstring_view text, HSTRING* out);

}  // namespace tokalux::session_double
