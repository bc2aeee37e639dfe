// tokalux-session-double.dll: a stand-in for the system's media session manager, for tests under
// Wine, which has none. Registered in a test prefix as the activatable class's DLL, it gives the
// manager's activation factory; the sessions are what the demo players publish (shared_state.h).
#include <windows.h>

#include <string_view>

#include "async_operation.h"
#include "com_object.h"
#include "hub.h"
#include "manager.h"

namespace tokalux::session_double {
namespace {

using ManagerOperation = AsyncOperation<media::ISessionManager*>;

class Factory : public Object<Factory, IActivationFactory, media::ISessionManagerStatics> {
 public:
  static constexpr const wchar_t* ClassName = media::SessionManagerClass;

  explicit Factory(Hub& hub) : hub_(hub) {}

  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override {
    if (instance) *instance = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  RequestAsync(media::IAsyncOperation<media::ISessionManager*>** operation) override {
    if (!operation) return E_POINTER;
    Hub* hub = &hub_;
    ManagerOperation::Start(hub_.DelayMs(Operation::Manager), [hub](media::ISessionManager** out) {
      hub->manager().CopyTo(out);
      return S_OK;
    }).CopyTo(operation);
    return S_OK;
  }

 private:
  Hub& hub_;
};

// Keeps this DLL loaded until the process ends: its threads and the objects it gave out run its
// code until then.
void PinThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinThisModule), &module);
}

}  // namespace
}  // namespace tokalux::session_double

extern "C" HRESULT WINAPI DllGetActivationFactory(HSTRING classId, IActivationFactory** factory) {
  using namespace tokalux::session_double;
  if (!factory) return E_POINTER;
  *factory = nullptr;
  UINT32 length = 0;
  const wchar_t* name = ::WindowsGetStringRawBuffer(classId, &length);
  if (!name || std::wstring_view(name, length) != tokalux::media::SessionManagerClass) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  Hub* hub = Hub::Get();
  if (!hub) return E_FAIL;
  PinThisModule();
  tokalux::MakeComObject<Factory>(*hub).CopyTo(factory);
  return S_OK;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return S_FALSE;
}
