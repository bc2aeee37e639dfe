// Starting and watching the programs under test, and finding their windows, as an outside
// tool would.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/win32_handles.h"

namespace tokalux::e2e {

using namespace std::chrono_literals;

// The folder that holds this test executable, tokalux.scr and tokalux-demo-player.exe.
std::wstring ExecutableDir();

// Full path of a file beside the test executable.
std::wstring BesideTests(const std::wstring& file_name);

// A unique path for a scratch file (a log, a playlist) in the temp folder.
std::wstring ScratchPath(const std::wstring& stem);

// A child process; killed when the object goes away, if still running.
class ChildProcess {
 public:
  ChildProcess() = default;
  // Started on the given desktop ("WinSta0\\<name>"), or on ours when desktop is empty.
  ChildProcess(const std::wstring& exe, const std::wstring& arguments,
               const std::wstring& desktop = L"");
  ~ChildProcess();
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;

  bool started() const { return static_cast<bool>(process_); }
  bool IsRunning() const;
  // Waits up to timeout for the process to end; true when it ended.
  bool WaitForExit(std::chrono::milliseconds timeout);
  // The exit code once ended; STILL_ACTIVE while running.
  DWORD ExitCode() const;
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  void Kill();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// Runs the message queue of the calling thread for the given time (so windows this thread owns
// keep answering while a test waits).
void PumpFor(std::chrono::milliseconds duration);

// Polls condition (pumping messages meanwhile) until it holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// A top-level window of the class owned by the process (any process when processId is 0), or
// nullptr.
HWND FindWindowOfProcess(const wchar_t* windowClass, DWORD processId);

// A shown top-level window of the class, optionally owned by the given process; nullptr when
// none is shown within the timeout. Both programs show their window only once it is complete, so
// a window that exists but is not yet shown is still being built and is not returned.
HWND WaitForWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout,
                   DWORD processId = 0);

// A descendant of parent with the given control ID (searched through every level).
HWND FindControl(HWND parent, int controlId);

// A window's text, read with WM_GETTEXT (bounded wait); nullopt when there is no such window or
// it did not answer, so an empty caption is never mistaken for a missing or hung control.
std::optional<std::wstring> WindowText(HWND window);

// The window's rectangle in screen pixels.
RECT ScreenRect(HWND window);

// A desktop of this window station, made (or opened, when it exists) for the object's life, as
// Windows makes the "Screen-saver" desktop for a screen saver. Windows are found and messages sent
// only between threads of one desktop: use RunOnDesktop to reach what runs there.
class Desktop {
 public:
  explicit Desktop(const std::wstring& name);

  HDESK handle() const { return desktop_.get(); }
  const std::wstring& name() const { return name_; }
  // The name a process is started with to run on it.
  std::wstring StartupName() const { return L"WinSta0\\" + name_; }

 private:
  std::wstring name_;
  UniqueDesktop desktop_;
};

// Runs work on a thread of its own attached to the desktop, and waits for it. GoogleTest's
// EXPECT_* work there; an ASSERT_* ends only the work.
void RunOnDesktop(const Desktop& desktop, const std::function<void()>& work);

// The name of the desktop each thread of a process sits on, by thread ID ("" when unknown).
std::vector<std::pair<DWORD, std::wstring>> ThreadDesktops(const ChildProcess& process);

}  // namespace tokalux::e2e
