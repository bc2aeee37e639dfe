#include "harness/process_stats.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/win32_handles.h"

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

// The process's rows of the system handle table; empty where the system does not answer.
std::vector<SystemHandleEntry> HandlesInSystemTable(DWORD pid) {
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return {};
  constexpr LONG BufferTooSmall = static_cast<LONG>(0xC0000004L);
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  LONG status;
  while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
             BufferTooSmall &&
         buffer.size() < (256u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return {};
  const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
  std::vector<SystemHandleEntry> rows;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->handles[i].ownerPid == pid) rows.push_back(table->handles[i]);
  }
  return rows;
}

// The type name of another process's handle ("Event", "Thread", "Key"), through a duplicate of
// it; "?" where it cannot be duplicated or named.
std::wstring HandleTypeName(HANDLE process, HANDLE handle) {
  using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryObject>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  HANDLE copy = nullptr;
  if (!query || !::DuplicateHandle(process, handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                                   DUPLICATE_SAME_ACCESS)) {
    return L"?";
  }
  const UniqueHandle owned(copy);
  struct TypeName {  // the start of OBJECT_TYPE_INFORMATION: the name as a UNICODE_STRING
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
  };
  alignas(TypeName) char buffer[1024]{};
  ULONG needed = 0;
  constexpr ULONG ObjectTypeInformation = 2;
  if (query(copy, ObjectTypeInformation, buffer, sizeof(buffer), &needed) != 0) return L"?";
  const auto* name = reinterpret_cast<const TypeName*>(buffer);
  return std::wstring(name->buffer, name->length / sizeof(wchar_t));
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

std::map<std::wstring, int> HandleTypes(HANDLE process) {
  std::map<std::wstring, int> types;
  for (const SystemHandleEntry& row : HandlesInSystemTable(::GetProcessId(process))) {
    const auto value = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(row.value));
    ++types[HandleTypeName(process, value)];
  }
  return types;
}

std::string FormatGrowth(const std::map<std::wstring, int>& before,
                         const std::map<std::wstring, int>& after) {
  std::map<std::wstring, int> change;
  for (const auto& [type, count] : after) change[type] += count;
  for (const auto& [type, count] : before) change[type] -= count;
  std::string line;
  for (const auto& [type, count] : change) {
    if (count == 0) continue;
    char item[160];
    std::snprintf(item, sizeof(item), "%s%ls %+d", line.empty() ? "" : ", ", type.c_str(), count);
    line += item;
  }
  return line.empty() ? "none" : line;
}

ProcessStats SampleProcess(HANDLE process) {
  ProcessStats stats;
  DWORD handles = 0;
  if (::GetProcessHandleCount(process, &handles)) stats.handles = handles;
  if (stats.handles == 0) stats.handles = HandlesInSystemTable(::GetProcessId(process)).size();
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

ProcessStats SampleSteady(HANDLE process) {
  ProcessStats steady = SampleProcess(process);
  for (int i = 1; i < 40; ++i) {
    ::Sleep(50);
    const ProcessStats now = SampleProcess(process);
    steady.handles = std::min(steady.handles, now.handles);
    steady.gdiObjects = std::min(steady.gdiObjects, now.gdiObjects);
    steady.userObjects = std::min(steady.userObjects, now.userObjects);
    steady.privateBytes = std::min(steady.privateBytes, now.privateBytes);
    steady.workingSet = now.workingSet;
    steady.peakWorkingSet = now.peakWorkingSet;
  }
  return steady;
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
