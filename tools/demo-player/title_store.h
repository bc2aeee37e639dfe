// Where the demo player keeps its playlist titles so another process can read them, and how it
// converts text to and from the system's ANSI code page: the Win32 side stores them in memory
// below 2 GiB and converts with the system (title_memory.h), unit tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tokalux::demo {

enum class TitlePlacement {
  Packed,     // anywhere, with readable memory after it
  AtPageEnd,  // each form's terminating zero ends a committed page (its last byte is the page's
              // last byte); the next page is unreadable
  Utf16AtOddAddress,  // the UTF-16 form starts at an odd address; the ANSI form is packed
};

class TitleStore {
 public:
  virtual ~TitleStore() = default;

  // Forgets every title: the whole playlist is about to be replaced.
  virtual void Clear() = 0;

  // Entry index's title becomes these two forms: ANSI bytes followed by a zero byte, and UTF-16
  // characters (little-endian) followed by a zero character. False when there is no memory for
  // them; the entry's previous title is then kept.
  virtual bool Store(std::size_t index, std::string_view ansi, std::u16string_view utf16,
                     TitlePlacement placement) = 0;

  // Where entry index's ANSI or UTF-16 title starts, as seen by another process; 0 when it has
  // none.
  virtual uint64_t Address(std::size_t index) const = 0;
  virtual uint64_t Utf16Address(std::size_t index) const = 0;

  // The system's ANSI code page: text to its bytes (a character the code page lacks becomes
  // '?'), and bytes to text.
  virtual std::string ToAnsi(std::u16string_view text) const = 0;
  virtual std::u16string FromAnsi(std::string_view bytes) const = 0;
};

}  // namespace tokalux::demo
