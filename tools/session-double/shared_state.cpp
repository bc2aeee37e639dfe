#include "shared_state.h"

namespace tokalux::session_double {

std::wstring RequestEventName(std::size_t slot) {
  return L"Local\\tokalux-session-double-requests-" + std::to_wstring(slot);
}

bool ProcessRunning(uint32_t processId) {
  if (processId == 0) return false;
  const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
  return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

SharedState::Lock::Lock(HANDLE mutex, DWORD timeoutMs) : mutex_(mutex) {
  if (!mutex_) return;
  const DWORD waited = ::WaitForSingleObject(mutex_, timeoutMs);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

SharedState::Lock::~Lock() {
  if (held_) ::ReleaseMutex(mutex_);
}

bool SharedState::Open() {
  lock_.reset(::CreateMutexW(nullptr, FALSE, LockName));
  if (!lock_) return false;
  constexpr DWORD size = sizeof(SharedLayout);
  mapping_.reset(
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, MappingName));
  if (!mapping_) return false;
  view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, size));
  if (!view_) return false;
  const Lock lock = Acquire();
  if (!lock.held()) return false;
  SharedLayout& shared = layout();
  if (shared.magic == 0) {
    // The first to open it: a new mapping is all zeros, which is no session, no current one, and
    // every operation completing at once.
    Registry registry{};
    registry.currentSlot = -1;
    WriteSequenced(shared.registry, registry);
    shared.version = LayoutVersion;
    shared.magic = LayoutMagic;
  }
  return shared.magic == LayoutMagic && shared.version == LayoutVersion;
}

std::optional<Registry> SharedState::ReadRegistry() const {
  Registry registry{};
  if (!ReadSequenced(layout().registry, &registry)) return std::nullopt;
  return registry;
}

}  // namespace tokalux::session_double
