// Threads that work on a given desktop. Window messages pass only between threads of one
// desktop, and Windows starts a new thread on the process's desktop while Wine starts it on
// "Default"; so a thread of ours sets its desktop itself, first thing, before it has any window
// or hook.
#pragma once

#include <windows.h>

#include <thread>
#include <utility>

namespace tokalux {

// The calling thread's desktop.
inline HDESK CurrentDesktop() {
  return ::GetThreadDesktop(::GetCurrentThreadId());
}

// Starts a thread that moves to the desktop (none: it stays where it starts) and then runs `run`.
template <typename Run>
std::thread ThreadOnDesktop(HDESK desktop, Run run) {
  return std::thread([desktop, run = std::move(run)]() mutable {
    if (desktop) ::SetThreadDesktop(desktop);
    run();
  });
}

}  // namespace tokalux
