#include "harness/session_double.h"

#include "harness/process.h"

namespace tokalux::e2e {
namespace {

// The key's DllPath; nullopt without the key or the value.
std::optional<std::wstring> RegisteredDll() {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = sizeof(path) - sizeof(wchar_t);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, SessionManagerKey, L"DllPath",
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path,
                     &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(path);
}

bool SetRegisteredDll(const std::wstring& path) {
  const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
  return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, SessionManagerKey, L"DllPath", REG_SZ, path.c_str(),
                           bytes) == ERROR_SUCCESS;
}

}  // namespace

bool RegisterSessionDouble() {
  const std::wstring path = BesideTests(SessionDoubleDll);
  return RegisteredDll() == path || SetRegisteredDll(path);
}

WithoutSessionManager::WithoutSessionManager() : dllPath_(RegisteredDll()) {
  const LSTATUS deleted = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, SessionManagerKey);
  removed_ = deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

WithoutSessionManager::~WithoutSessionManager() {
  if (dllPath_) SetRegisteredDll(*dllPath_);
}

}  // namespace tokalux::e2e
