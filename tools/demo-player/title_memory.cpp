#include "title_memory.h"

#include <algorithm>
#include <cstring>

namespace tokalux::demo {

namespace {

constexpr uintptr_t LowestBase = 0x0100'0000;
constexpr uintptr_t TwoGiB = 0x8000'0000;
// A reader takes 256 bytes from an ANSI title's start and 512 from a UTF-16 one's; keep that
// much committed past the last title.
constexpr std::size_t ReadSlack = 512;
// The shared range is committed in steps of this size.
constexpr std::size_t CommitStep = 64 * 1024;

constexpr uintptr_t RoundUp(uintptr_t value, uintptr_t step) {
  return (value + step - 1) / step * step;
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

// UTF-16 text as the bytes a reader in another process sees: little-endian units, then a zero
// character.
std::string Utf16Image(std::u16string_view text) {
  std::string image;
  image.reserve(text.size() * 2 + 2);
  for (const char16_t unit : text) {
    image.push_back(static_cast<char>(unit & 0xFF));
    image.push_back(static_cast<char>(unit >> 8));
  }
  image.append(2, '\0');
  return image;
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
    const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (region.State == MEM_FREE && regionEnd - candidate >= size) {
      if (void* base = ::VirtualAlloc(reinterpret_cast<void*>(candidate), size, MEM_RESERVE,
                                      PAGE_NOACCESS)) {
        return UniqueVirtualMemory(base);
      }
      candidate += granularity;  // taken meanwhile: try the next spot
    } else {
      candidate = RoundUp(regionEnd, granularity);
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
    : pageSize_(SystemInfo().dwPageSize),
      arena_(ReserveBelow2GiB(ArenaBytes)),
      slots_(arena_ ? ArenaBytes - RoundUp(ReadSlack, pageSize_) : 0) {}

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

std::optional<TitleMemory::Text> TitleMemory::Place(std::string_view image, Spot spot) {
  // Slots and regions start at even addresses: one byte more, skipped, gives an odd one.
  const std::size_t skip = spot == Spot::Odd ? 1 : 0;
  std::optional<Text> text;
  if (spot != Spot::AtPageEnd) text = PlaceInArena(image.size() + skip, skip);
  if (!text) text = PlaceInRegion(image.size() + skip, skip, spot);
  if (text) std::memcpy(text->start, image.data(), image.size());
  return text;
}

std::optional<TitleMemory::Text> TitleMemory::PlaceInArena(std::size_t bytes, std::size_t skip) {
  if (!arena_) return std::nullopt;
  const auto slot = slots_.Allocate(bytes);
  if (!slot) return std::nullopt;
  if (!CommitArena(slot->offset + slot->size)) {
    slots_.Free(*slot);
    return std::nullopt;
  }
  Text text;
  text.start = static_cast<char*>(arena_.get()) + slot->offset + skip;
  text.slot = slot;
  return text;
}

std::optional<TitleMemory::Text> TitleMemory::PlaceInRegion(std::size_t bytes, std::size_t skip,
                                                            Spot spot) const {
  if (spot != Spot::AtPageEnd) {
    const std::size_t size = RoundUp(bytes + ReadSlack, pageSize_);
    UniqueVirtualMemory region = ReserveBelow2GiB(size);
    if (!region || !::VirtualAlloc(region.get(), size, MEM_COMMIT, PAGE_READWRITE)) {
      return std::nullopt;
    }
    Text text;
    text.start = static_cast<char*>(region.get()) + skip;
    text.region = std::move(region);
    return text;
  }
  // At a page end: the title fills the end of the region's last page, and the page after the
  // region must not be readable. Only the region itself is reserved, so on Windows the rest of
  // its allocation granule stays free; a Wine process may still have address space mapped there
  // (readable by ReadProcessMemory though never allocated), so that is checked, the way a reader
  // in another process would see it, and the search moves on past such areas in large steps.
  constexpr uintptr_t SkipAhead = 16u << 20;
  const std::size_t size = RoundUp(bytes, pageSize_);
  uintptr_t start = LowestBase;
  while (UniqueVirtualMemory region = ReserveBelow2GiB(size, start)) {
    char* base = static_cast<char*>(region.get());
    if (::VirtualAlloc(base, size, MEM_COMMIT, PAGE_READWRITE) && !ReadableByOthers(base + size)) {
      Text text;
      text.start = base + size - bytes;
      text.region = std::move(region);
      return text;
    }
    start = reinterpret_cast<uintptr_t>(base) + SkipAhead;
  }
  return std::nullopt;
}

void TitleMemory::Release(Text& text) {
  if (text.slot) slots_.Free(*text.slot);
  text = Text{};
}

void TitleMemory::Clear() {
  std::vector<Title>().swap(titles_);
  slots_.Reset();
  if (committed_ > 0) {
    ::VirtualFree(arena_.get(), committed_, MEM_DECOMMIT);
    committed_ = 0;
  }
}

bool TitleMemory::Store(std::size_t index, std::string_view ansi, std::u16string_view utf16,
                        TitlePlacement placement) {
  std::string ansiImage(ansi);
  ansiImage.push_back('\0');
  const Spot ansiSpot = placement == TitlePlacement::AtPageEnd ? Spot::AtPageEnd : Spot::Packed;
  Spot utf16Spot = ansiSpot;
  if (placement == TitlePlacement::Utf16AtOddAddress) utf16Spot = Spot::Odd;

  Title title;
  auto ansiText = Place(ansiImage, ansiSpot);
  if (!ansiText) return false;
  title.ansi = std::move(*ansiText);
  auto utf16Text = Place(Utf16Image(utf16), utf16Spot);
  if (!utf16Text) {
    Release(title.ansi);
    return false;
  }
  title.utf16 = std::move(*utf16Text);
  if (index >= titles_.size()) titles_.resize(index + 1);
  Release(titles_[index].ansi);
  Release(titles_[index].utf16);
  titles_[index] = std::move(title);
  return true;
}

uint64_t TitleMemory::Address(std::size_t index) const {
  return index < titles_.size() ? reinterpret_cast<uintptr_t>(titles_[index].ansi.start) : 0;
}

uint64_t TitleMemory::Utf16Address(std::size_t index) const {
  return index < titles_.size() ? reinterpret_cast<uintptr_t>(titles_[index].utf16.start) : 0;
}

std::string TitleMemory::ToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int count = ::WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return std::string(text.size(), '?');
  std::string bytes(static_cast<std::size_t>(count), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, size, bytes.data(), count, nullptr, nullptr);
  return bytes;
}

std::u16string TitleMemory::FromAnsi(std::string_view bytes) const {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int count = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (count <= 0) return std::u16string(bytes.size(), u'?');
  std::u16string text(static_cast<std::size_t>(count), u'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                        count);
  return text;
}

}  // namespace tokalux::demo
