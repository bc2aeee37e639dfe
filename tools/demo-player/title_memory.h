// The playlist titles in this process's memory, below 2 GiB so that every title's address fits
// the player's 32-bit answer to the title-address request.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "player/unique_handle.h"
#include "title_slots.h"
#include "title_store.h"

namespace tokalux::demo {

// Reserves size bytes at the lowest free address from start (at least 16 MiB) up whose region
// ends at or below 2 GiB; empty when there is no such room.
UniqueVirtualMemory ReserveBelow2GiB(std::size_t size, uintptr_t start = 0);

// Whether another process could read the byte at address in this one.
bool ReadableByOthers(const void* address);

// Titles of up to SlotArena::MaxSlot bytes share one reserved range, committed as far as it is
// used; longer titles and titles placed at a page end get a region of their own. Rewriting a
// title frees its old storage, and replacing the playlist starts the shared range over and gives
// its memory back, so the memory used follows the playlist rather than its history.
class TitleMemory final : public TitleStore {
 public:
  static constexpr std::size_t ArenaBytes = 64u << 20;

  TitleMemory();

  // False when the shared range could not be reserved (nothing can be stored then).
  bool ready() const { return static_cast<bool>(arena_); }

  void Clear() override;
  bool Store(std::size_t index, std::string_view bytes, TitlePlacement placement) override;
  uint64_t Address(std::size_t index) const override;

 private:
  struct Title {
    char* text = nullptr;
    std::optional<SlotArena::Slot> slot;  // in the shared range
    UniqueVirtualMemory region;           // or a region of its own
  };

  // Commits the shared range up to end (plus room for a full 256-byte read past any title).
  bool CommitArena(std::size_t end);
  std::optional<Title> PlaceInArena(std::size_t bytes);
  std::optional<Title> PlaceInRegion(std::size_t bytes, TitlePlacement placement) const;
  void Release(Title& title);

  std::size_t page_size_ = 4096;
  UniqueVirtualMemory arena_;
  SlotArena slots_;
  std::size_t committed_ = 0;
  std::vector<Title> titles_;
};

}  // namespace tokalux::demo
