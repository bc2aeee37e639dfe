// Where the demo player keeps its playlist titles so another process can read them: the Win32
// side stores them in memory below 2 GiB (title_memory.h), unit tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tokalux::demo {

enum class TitlePlacement {
  Packed,     // anywhere, with readable memory after it
  AtPageEnd,  // the terminating zero is the last byte of a committed page; the next page is
              // unreadable
};

class TitleStore {
 public:
  virtual ~TitleStore() = default;

  // Forgets every title: the whole playlist is about to be replaced.
  virtual void Clear() = 0;

  // Entry index's title becomes these bytes followed by a zero. False when there is no memory
  // for it; the entry's previous title is then kept.
  virtual bool Store(std::size_t index, std::string_view bytes, TitlePlacement placement) = 0;

  // Where entry index's title starts, as seen by another process; 0 when it has none.
  virtual uint64_t Address(std::size_t index) const = 0;
};

}  // namespace tokalux::demo
