// The playlist titles in this process's memory, below 2 GiB so that every title's address fits
// the player's 32-bit answer to the title-address request.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "base/win32_handles.h"
#include "title_slots.h"
#include "title_store.h"

namespace tokalux::demo {

// Reserves size bytes at the lowest free address from start (at least 16 MiB) up whose region
// ends at or below 2 GiB; empty when there is no such room.
UniqueVirtualMemory ReserveBelow2GiB(std::size_t size, uintptr_t start = 0);

// Whether another process could read the byte at address in this one.
bool ReadableByOthers(const void* address);

// Each title is kept twice, as ANSI bytes and as UTF-16. Either form of up to SlotArena::MaxSlot
// bytes takes a slot of one shared reserved range, committed as far as it is used; longer forms
// and forms placed at a page end get a region of their own. Rewriting a title frees its old
// storage, and replacing the playlist starts the shared range over and gives its memory back, so
// the memory used follows the playlist rather than its history. The code-page conversions are
// the system's (CP_ACP).
class TitleMemory final : public TitleStore {
 public:
  static constexpr std::size_t ArenaBytes = 64u << 20;

  TitleMemory();

  // False when the shared range could not be reserved (nothing can be stored then).
  bool ready() const { return static_cast<bool>(arena_); }

  void Clear() override;
  bool Store(std::size_t index, std::string_view ansi, std::u16string_view utf16,
             TitlePlacement placement) override;
  uint64_t Address(std::size_t index) const override;
  uint64_t Utf16Address(std::size_t index) const override;
  std::string ToAnsi(std::u16string_view text) const override;
  std::u16string FromAnsi(std::string_view bytes) const override;

 private:
  // Where one form's bytes go.
  enum class Spot {
    Packed,
    Odd,        // at an odd address
    AtPageEnd,  // ending at the end of a page whose next page is unreadable
  };

  // One form of a title in memory.
  struct Text {
    char* start = nullptr;
    std::optional<SlotArena::Slot> slot;  // in the shared range
    UniqueVirtualMemory region;           // or a region of its own
  };
  struct Title {
    Text ansi;
    Text utf16;
  };

  // Commits the shared range up to end (plus room for a full read past any title).
  bool CommitArena(std::size_t end);
  // A copy of image (a form with its terminating zero) at spot; nullopt when there is no room.
  std::optional<Text> Place(std::string_view image, Spot spot);
  std::optional<Text> PlaceInArena(std::size_t bytes, std::size_t skip);
  std::optional<Text> PlaceInRegion(std::size_t bytes, std::size_t skip, Spot spot) const;
  void Release(Text& text);

  std::size_t pageSize_ = 4096;
  UniqueVirtualMemory arena_;
  SlotArena slots_;
  std::size_t committed_ = 0;
  std::vector<Title> titles_;
};

}  // namespace tokalux::demo
