// Owners for the kernel objects of the Windows build of any folder: a handle, a file, a
// directory search, a desktop, reserved memory and memory the system allocated for us. The COM
// ones are in base/com.h; the window and GDI ones, which need gdi32, in gui/gui_handles.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/unique_any.h"

namespace tokalux {

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void CloseFileSearch(HANDLE h) {
  ::FindClose(h);
}
inline void CloseDesktopHandle(HDESK h) {
  ::CloseDesktop(h);
}
inline void ReleaseVirtualMemory(void* address) {
  ::VirtualFree(address, 0, MEM_RELEASE);
}
template <typename Pointer>
void FreeLocalMemory(Pointer memory) {
  ::LocalFree(memory);
}
// What CreateFileW, CreateNamedPipeW, CreateToolhelp32Snapshot and FindFirstFileExW answer on
// failure.
inline constexpr intptr_t InvalidHandleValue = -1;
}  // namespace detail

// A handle whose failure value is nullptr: a process, thread, event or pipe end.
using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
// A handle whose failure value is INVALID_HANDLE_VALUE: a file or pipe from CreateFileW or
// CreateNamedPipeW, a snapshot.
using UniqueFile = UniqueAny<HANDLE, detail::CloseKernelHandle, detail::InvalidHandleValue>;
// A FindFirstFileExW search.
using UniqueFileSearch = UniqueAny<HANDLE, detail::CloseFileSearch, detail::InvalidHandleValue>;
using UniqueDesktop = UniqueAny<HDESK, detail::CloseDesktopHandle>;
// A region reserved with VirtualAlloc (the base address it answered).
using UniqueVirtualMemory = UniqueAny<void*, detail::ReleaseVirtualMemory>;
// Memory the system allocated with LocalAlloc for the caller to free (CommandLineToArgvW's list).
template <typename Pointer>
using UniqueLocalMemory = UniqueAny<Pointer, detail::FreeLocalMemory<Pointer>>;

}  // namespace tokalux
