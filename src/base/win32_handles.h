// Owners for kernel objects, for the Windows build of any folder: a handle (a process, a file, a
// thread) and a desktop. The window and GDI kinds are in gui/gui_handles.h.
#pragma once

#include <windows.h>

#include "base/unique_any.h"

namespace tokalux {

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void CloseDesktopHandle(HDESK h) {
  ::CloseDesktop(h);
}
}  // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
using UniqueDesktop = UniqueAny<HDESK, detail::CloseDesktopHandle>;

}  // namespace tokalux
