#include "harness/process.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tokalux::e2e {

std::wstring ExecutableDir() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring BesideTests(const std::wstring& file_name) {
  return ExecutableDir() + L"\\" + file_name;
}

std::wstring ScratchPath(const std::wstring& stem) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"tokalux-" + stem + L"-" + std::to_wstring(::GetCurrentProcessId()) +
         L"-" + std::to_wstring(counter++) + L".txt";
}

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& arguments,
                           const std::wstring& desktop) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  std::wstring desktopName = desktop;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!desktopName.empty()) startup.lpDesktop = desktopName.data();
  PROCESS_INFORMATION info{};
  if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
    const UniqueHandle thread(info.hThread);  // not needed
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  Kill();
}

bool ChildProcess::IsRunning() const {
  return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!process_) return true;
  return WaitUntil([&] { return !IsRunning(); }, timeout);
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

void ChildProcess::Kill() {
  if (IsRunning()) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(duration.count());
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return;
    ::MsgWaitForMultipleObjects(
        0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= end) return false;
    PumpFor(20ms);
  }
}

HWND FindWindowOfProcess(const wchar_t* windowClass, DWORD processId) {
  for (HWND window = ::FindWindowExW(nullptr, nullptr, windowClass, nullptr); window;
       window = ::FindWindowExW(nullptr, window, windowClass, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (processId == 0 || owner == processId) return window;
  }
  return nullptr;
}

HWND WaitForWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout, DWORD processId) {
  HWND found = nullptr;
  const bool shown = WaitUntil(
      [&] {
        found = FindWindowOfProcess(windowClass, processId);
        return found && ::IsWindowVisible(found);
      },
      timeout);
  return shown ? found : nullptr;
}

HWND FindControl(HWND parent, int controlId) {
  struct Search {
    int id;
    HWND found;
  } search{controlId, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (::GetDlgCtrlID(window) == s->id) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::wstring> WindowText(HWND window) {
  if (!window || !::IsWindow(window)) return std::nullopt;
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return std::nullopt;
  }
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
    return std::nullopt;
  }
  return std::wstring(text.data(), std::min<std::size_t>(copied, length));
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

}  // namespace tokalux::e2e

namespace tokalux::e2e {

Desktop::Desktop(const std::wstring& name)
    : name_(name),
      desktop_(::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr)) {}

void RunOnDesktop(const Desktop& desktop, const std::function<void()>& work) {
  std::thread thread([&] {
    const HDESK original = ::GetThreadDesktop(::GetCurrentThreadId());
    if (!::SetThreadDesktop(desktop.handle())) {
      ADD_FAILURE() << "cannot attach a thread to the desktop: error " << ::GetLastError();
      return;
    }
    work();
    // Back on its first desktop before it ends: Wine closes the handle of a thread's other
    // desktop when the thread ends.
    ::SetThreadDesktop(original);
  });
  thread.join();
}

namespace {

std::wstring DesktopName(HANDLE desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (!::GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name), &needed)) return {};
  return name;
}

}  // namespace

std::vector<std::pair<DWORD, std::wstring>> ThreadDesktops(const ChildProcess& process) {
  std::vector<std::pair<DWORD, std::wstring>> desktops;
  const UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
       more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != process.id()) continue;
    // Windows opens the thread's desktop for the caller; Wine hands back the handle as the other
    // process holds it, which is read through a copy.
    const HDESK desktop = ::GetThreadDesktop(entry.th32ThreadID);
    std::wstring name = desktop ? DesktopName(desktop) : std::wstring();
    HANDLE copy = nullptr;
    if (name.empty() && desktop &&
        ::DuplicateHandle(process.handle(), desktop, ::GetCurrentProcess(), &copy, 0, FALSE,
                          DUPLICATE_SAME_ACCESS)) {
      const UniqueHandle owned(copy);
      name = DesktopName(copy);
    }
    desktops.emplace_back(entry.th32ThreadID, name);
  }
  return desktops;
}

}  // namespace tokalux::e2e
