// The session manager double (tools/session-double) as the end-to-end tests use it: registered
// in the prefix as the system's session manager, and taken away for a test that needs a machine
// without one. The sessions themselves are demo players started with DemoPlayer(AsSession{...}).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tokalux::e2e {

// The activatable class's key under HKEY_LOCAL_MACHINE, and the DLL the tests register there.
inline constexpr const wchar_t* SessionManagerKey =
    L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\"
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";
inline constexpr const wchar_t* SessionDoubleDll = L"tokalux-session-double.dll";

// Registers the double beside the tests as the session manager (the key's DllPath); true when
// the key holds it.
bool RegisterSessionDouble();

// While it lives, the prefix has no session manager, as on Windows 7 or a bare Wine: the key is
// removed, and put back as it was when the object goes, also when the test fails midway. Should
// the test process die in between, the next session a test starts (DemoPlayer with AsSession)
// registers the double again, and so does the prefix's preparation (scripts/lib.sh).
class WithoutSessionManager {
 public:
  WithoutSessionManager();
  ~WithoutSessionManager();
  WithoutSessionManager(const WithoutSessionManager&) = delete;
  WithoutSessionManager& operator=(const WithoutSessionManager&) = delete;

  // Whether the key is gone now.
  bool removed() const { return removed_; }

 private:
  std::optional<std::wstring> dllPath_;  // the value the key had, if any
  bool removed_ = false;
};

}  // namespace tokalux::e2e
