// What a process holds, sampled from outside: for watching a long run for leaks.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>

namespace tokalux::e2e {

struct ProcessStats {
  std::size_t handles = 0;       // kernel handles
  std::size_t gdiObjects = 0;    // 0 where the system does not count them (Wine)
  std::size_t userObjects = 0;   // likewise
  std::size_t privateBytes = 0;  // committed private memory
  std::size_t workingSet = 0;
  std::size_t peakWorkingSet = 0;
};

// Samples the process (opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ). Where the
// usual counters answer 0 (as under Wine), handles are counted from the system's handle table
// and private bytes by walking the process's address space.
ProcessStats SampleProcess(HANDLE process);

// What the process holds at rest: the least of each count over two seconds of samples. Work in
// flight holds handles for a moment (each status poll's hand-off makes two semaphores, for about
// a tenth of a second every second), and one sample that meets them would read as growth.
ProcessStats SampleSteady(HANDLE process);

// The process's kernel handles by type name ("Event", "Thread", "Key"; "?" for one that cannot
// be named), from the system's handle table; empty where the system does not give it.
std::map<std::wstring, int> HandleTypes(HANDLE process);
// One line of what changed between two such counts: "Event +1, Thread +1", or "none".
std::string FormatGrowth(const std::map<std::wstring, int>& before,
                         const std::map<std::wstring, int>& after);

// One line: "handles 57  gdi 31  user 45  private 4.2 MiB  working set 12.0 MiB".
std::string FormatStats(const ProcessStats& stats);

}  // namespace tokalux::e2e
