// Bookkeeping for the packed title memory: slots within one address range, handed out as
// offsets from its start. Kept free of Win32 so it is tested natively.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace tokalux::demo {

// Slots come in power-of-two sizes from MinSlot to MaxSlot bytes. A freed slot goes on the free
// list of its size and is reused before the range grows, so rewriting titles again and again
// stays within the memory the largest playlist needed; Reset() starts over from offset 0.
class SlotArena {
 public:
  static constexpr std::size_t MinSlot = 16;
  static constexpr std::size_t MaxSlot = 4096;

  struct Slot {
    std::size_t offset = 0;
    std::size_t size = 0;
  };

  explicit SlotArena(std::size_t capacity) : capacity_(capacity) {}

  // A slot of at least bytes bytes; nullopt when bytes is above MaxSlot or the range is full.
  std::optional<Slot> Allocate(std::size_t bytes);
  // Gives a slot from Allocate back for reuse.
  void Free(Slot slot);
  // Forgets every slot.
  void Reset();

  // Bytes from the start of the range that have ever been handed out since the last Reset: the
  // part that must be backed by memory.
  std::size_t highWater() const { return next_; }

 private:
  static constexpr std::size_t ClassCount = 9;  // 16, 32, ..., 4096
  static std::size_t ClassOf(std::size_t bytes);

  std::size_t capacity_;
  std::size_t next_ = 0;
  std::array<std::vector<std::size_t>, ClassCount> free_{};
};

}  // namespace tokalux::demo
