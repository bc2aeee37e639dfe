// The functions of the Windows Runtime that the session client calls, looked up at run time in
// combase.dll and shcore.dll: a static import of any of them would stop Windows 7 from loading
// the screen saver at all. Where they are missing the client simply finds no sessions.
#pragma once

#include <windows.h>

#include <hstring.h>

namespace tokalux::media {

struct WindowsRuntime {
  HRESULT(WINAPI* roGetActivationFactory)(HSTRING classId, REFIID iid, void** factory) = nullptr;
  HRESULT(WINAPI* createString)(const wchar_t* text, UINT32 length, HSTRING* string) = nullptr;
  HRESULT(WINAPI* deleteString)(HSTRING string) = nullptr;
  const wchar_t*(WINAPI* stringRawBuffer)(HSTRING string, UINT32* length) = nullptr;
  // shcore.dll, Windows 8 and later; may be missing (or, under Wine, a stub that must not be
  // called first: the thumbnail is asked for IStream before this is tried).
  HRESULT(WINAPI* createStreamOverRandomAccessStream)
  (IUnknown* stream, REFIID iid, void** out) = nullptr;

  // The functions, looked up once; nullptr when combase.dll lacks any of the first four (Windows
  // 7). The libraries stay loaded until the process ends: a session thread left behind at exit may
  // still be inside them.
  static const WindowsRuntime* Get();
};

}  // namespace tokalux::media
