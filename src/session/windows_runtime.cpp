#include "session/windows_runtime.h"

namespace tokalux::media {

namespace {

// Only from the system folder, so no DLL of the same name beside the screen saver is loaded.
// (Windows 7 without its 2011 loader update refuses the flag: it has no sessions anyway.)
HMODULE LoadSystemLibrary(const wchar_t* name) {
  return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

template <typename Function>
bool Find(HMODULE module, const char* name, Function& function) {
  if (!module) return false;
  // Through the generic function pointer type, which any function pointer converts to and from.
  function =
      reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
  return function != nullptr;
}

WindowsRuntime Load() {
  WindowsRuntime runtime;
  const HMODULE combase = LoadSystemLibrary(L"combase.dll");
  const bool complete = Find(combase, "RoGetActivationFactory", runtime.roGetActivationFactory) &&
                        Find(combase, "WindowsCreateString", runtime.createString) &&
                        Find(combase, "WindowsDeleteString", runtime.deleteString) &&
                        Find(combase, "WindowsGetStringRawBuffer", runtime.stringRawBuffer);
  if (!complete) runtime.roGetActivationFactory = nullptr;
  Find(LoadSystemLibrary(L"shcore.dll"), "CreateStreamOverRandomAccessStream",
       runtime.createStreamOverRandomAccessStream);
  return runtime;
}

}  // namespace

const WindowsRuntime* WindowsRuntime::Get() {
  static const WindowsRuntime runtime = Load();
  return runtime.roGetActivationFactory ? &runtime : nullptr;
}

}  // namespace tokalux::media
