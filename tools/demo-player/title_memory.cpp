#include "title_memory.h"

#include <algorithm>
#include <cstring>

namespace tokalux::demo {

namespace {

constexpr uintptr_t LowestBase = 0x0100'0000;
constexpr uintptr_t TwoGiB = 0x8000'0000;
// A reader takes 256 bytes from a title's start; keep that much committed past the last one.
constexpr std::size_t ReadSlack = 256;
// The shared range is committed in steps of this size.
constexpr std::size_t CommitStep = 64 * 1024;

constexpr uintptr_t RoundUp(uintptr_t value, uintptr_t step) {
  return (value + step - 1) / step * step;
}

SYSTEM_INFO SystemInfo() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return info;
}

}  // namespace

UniqueVirtualMemory ReserveBelow2GiB(std::size_t size, uintptr_t start) {
  const uintptr_t granularity = SystemInfo().dwAllocationGranularity;
  uintptr_t candidate = RoundUp(std::max(start, LowestBase), granularity);
  while (size <= TwoGiB && candidate <= TwoGiB - size) {
    MEMORY_BASIC_INFORMATION region{};
    if (::VirtualQuery(reinterpret_cast<void*>(candidate), &region, sizeof(region)) == 0) break;
    const uintptr_t region_end =
        reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (region.State == MEM_FREE && region_end - candidate >= size) {
      if (void* base = ::VirtualAlloc(reinterpret_cast<void*>(candidate), size, MEM_RESERVE,
                                      PAGE_NOACCESS)) {
        return UniqueVirtualMemory(base);
      }
      candidate += granularity;  // taken meanwhile: try the next spot
    } else {
      candidate = RoundUp(region_end, granularity);
    }
  }
  return {};
}

bool ReadableByOthers(const void* address) {
  char byte = 0;
  SIZE_T got = 0;
  return ::ReadProcessMemory(::GetCurrentProcess(), address, &byte, 1, &got) && got == 1;
}

TitleMemory::TitleMemory()
    : page_size_(SystemInfo().dwPageSize),
      arena_(ReserveBelow2GiB(ArenaBytes)),
      slots_(arena_ ? ArenaBytes - RoundUp(ReadSlack, page_size_) : 0) {}

bool TitleMemory::CommitArena(std::size_t end) {
  const std::size_t wanted = std::min(RoundUp(end + ReadSlack, CommitStep), ArenaBytes);
  if (wanted <= committed_) return true;
  char* base = static_cast<char*>(arena_.get());
  if (!::VirtualAlloc(base + committed_, wanted - committed_, MEM_COMMIT, PAGE_READWRITE)) {
    return false;
  }
  committed_ = wanted;
  return true;
}

std::optional<TitleMemory::Title> TitleMemory::PlaceInArena(std::size_t bytes) {
  if (!arena_) return std::nullopt;
  const auto slot = slots_.Allocate(bytes);
  if (!slot) return std::nullopt;
  if (!CommitArena(slot->offset + slot->size)) {
    slots_.Free(*slot);
    return std::nullopt;
  }
  Title title;
  title.text = static_cast<char*>(arena_.get()) + slot->offset;
  title.slot = slot;
  return title;
}

std::optional<TitleMemory::Title> TitleMemory::PlaceInRegion(std::size_t bytes,
                                                             TitlePlacement placement) const {
  if (placement == TitlePlacement::Packed) {
    const std::size_t size = RoundUp(bytes + ReadSlack, page_size_);
    UniqueVirtualMemory region = ReserveBelow2GiB(size);
    if (!region || !::VirtualAlloc(region.get(), size, MEM_COMMIT, PAGE_READWRITE)) {
      return std::nullopt;
    }
    Title title;
    title.text = static_cast<char*>(region.get());
    title.region = std::move(region);
    return title;
  }
  // At a page end: the title fills the end of the region's last page, and the page after the
  // region must not be readable. Only the region itself is reserved, so on Windows the rest of
  // its allocation granule stays free; a Wine process may still have address space mapped there
  // (readable by ReadProcessMemory though never allocated), so that is checked, the way a reader
  // in another process would see it, and the search moves on past such areas in large steps.
  constexpr uintptr_t SkipAhead = 16u << 20;
  const std::size_t size = RoundUp(bytes, page_size_);
  uintptr_t start = LowestBase;
  while (UniqueVirtualMemory region = ReserveBelow2GiB(size, start)) {
    char* base = static_cast<char*>(region.get());
    if (::VirtualAlloc(base, size, MEM_COMMIT, PAGE_READWRITE) && !ReadableByOthers(base + size)) {
      Title title;
      title.text = base + size - bytes;
      title.region = std::move(region);
      return title;
    }
    start = reinterpret_cast<uintptr_t>(base) + SkipAhead;
  }
  return std::nullopt;
}

void TitleMemory::Release(Title& title) {
  if (title.slot) slots_.Free(*title.slot);
  title = Title{};
}

void TitleMemory::Clear() {
  std::vector<Title>().swap(titles_);
  slots_.Reset();
  if (committed_ > 0) {
    ::VirtualFree(arena_.get(), committed_, MEM_DECOMMIT);
    committed_ = 0;
  }
}

bool TitleMemory::Store(std::size_t index, std::string_view bytes, TitlePlacement placement) {
  const std::size_t size = bytes.size() + 1;
  std::optional<Title> title;
  if (placement == TitlePlacement::Packed) title = PlaceInArena(size);
  if (!title) title = PlaceInRegion(size, placement);
  if (!title) return false;
  std::memcpy(title->text, bytes.data(), bytes.size());
  title->text[bytes.size()] = '\0';
  if (index >= titles_.size()) titles_.resize(index + 1);
  Release(titles_[index]);
  titles_[index] = std::move(*title);
  return true;
}

uint64_t TitleMemory::Address(std::size_t index) const {
  return index < titles_.size() ? reinterpret_cast<uintptr_t>(titles_[index].text) : 0;
}

}  // namespace tokalux::demo
