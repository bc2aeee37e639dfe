#include "harness/process_stats.h"

#include <psapi.h>

#include <cstdio>
#include <vector>

namespace tokalux::e2e {
namespace {

// The layout of one row of the system handle table (SystemHandleInformation, class 16).
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandleTable {
  ULONG count;
  SystemHandleEntry handles[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

std::size_t CountHandlesInSystemTable(DWORD pid) {
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  constexpr LONG BufferTooSmall = static_cast<LONG>(0xC0000004L);
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  LONG status;
  while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
             BufferTooSmall &&
         buffer.size() < (256u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return 0;
  const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
  std::size_t count = 0;
  for (ULONG i = 0; i < table->count; ++i) count += table->handles[i].ownerPid == pid;
  return count;
}

std::size_t SumPrivateCommitted(HANDLE process) {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* address = static_cast<const char*>(nullptr);
       ::VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region);
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
  }
  return total;
}

}  // namespace

ProcessStats SampleProcess(HANDLE process) {
  ProcessStats stats;
  DWORD handles = 0;
  if (::GetProcessHandleCount(process, &handles)) stats.handles = handles;
  if (stats.handles == 0) stats.handles = CountHandlesInSystemTable(::GetProcessId(process));
  stats.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  stats.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
    stats.privateBytes = memory.PrivateUsage;
    stats.workingSet = memory.WorkingSetSize;
    stats.peakWorkingSet = memory.PeakWorkingSetSize;
  }
  if (stats.privateBytes == 0) stats.privateBytes = SumPrivateCommitted(process);
  return stats;
}

std::string FormatStats(const ProcessStats& stats) {
  const auto mib = [](std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
  const auto counted = [](std::size_t n) { return n ? std::to_string(n) : std::string("n/a"); };
  char line[200];
  std::snprintf(line, sizeof(line),
                "handles %zu  gdi %s  user %s  private %.1f MiB  working set %.1f MiB",
                stats.handles, counted(stats.gdiObjects).c_str(),
                counted(stats.userObjects).c_str(), mib(stats.privateBytes), mib(stats.workingSet));
  return line;
}

}  // namespace tokalux::e2e
