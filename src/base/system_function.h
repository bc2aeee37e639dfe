// A system function that later versions of Windows have and Windows 7 lacks, looked up at run
// time: a static import of it would stop Windows 7 and 8.1 from loading the program at all.
#pragma once

#include <windows.h>

namespace tokalux {

// The function `name` of an already loaded system DLL (user32.dll, kernel32.dll, ...) as a
// pointer of type Function, e.g. UINT(WINAPI*)(HWND); nullptr where this Windows lacks it.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleW(module);
  if (!loaded) return nullptr;
  // Through the generic function pointer type, which any function pointer converts to and from.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(loaded, name)));
}

}  // namespace tokalux
