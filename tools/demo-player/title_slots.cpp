#include "title_slots.h"

namespace tokalux::demo {

std::size_t SlotArena::ClassOf(std::size_t bytes) {
  std::size_t size = MinSlot;
  std::size_t index = 0;
  while (size < bytes) {
    size *= 2;
    ++index;
  }
  return index;
}

std::optional<SlotArena::Slot> SlotArena::Allocate(std::size_t bytes) {
  if (bytes > MaxSlot) return std::nullopt;
  const std::size_t index = ClassOf(bytes);
  const std::size_t size = MinSlot << index;
  auto& freeList = free_[index];
  if (!freeList.empty()) {
    const std::size_t offset = freeList.back();
    freeList.pop_back();
    return Slot{offset, size};
  }
  if (capacity_ < size || next_ > capacity_ - size) return std::nullopt;
  const Slot slot{next_, size};
  next_ += size;
  return slot;
}

void SlotArena::Free(Slot slot) {
  if (slot.size < MinSlot || slot.size > MaxSlot || slot.offset + slot.size > next_) return;
  const std::size_t index = ClassOf(slot.size);
  if ((MinSlot << index) != slot.size) return;
  free_[index].push_back(slot.offset);
}

void SlotArena::Reset() {
  next_ = 0;
  for (auto& freeList : free_) freeList.clear();
}

}  // namespace tokalux::demo
