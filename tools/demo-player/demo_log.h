// One line per message the player receives, written straight to the file so a test can read it
// while the player runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "player/unique_handle.h"

namespace tokalux::demo {

class DemoLog {
 public:
  // Creates (or empties) the file (a UTF-8 path), shared for reading and writing. False when it
  // cannot.
  bool Open(const std::string& path);

  void Command(int32_t identifier);                // command <id>
  void Request(int32_t number, int32_t argument);  // request <number> <wparam>
  void Control(std::string_view text);             // control <text>, control bytes as \xNN
  void Clear();

 private:
  void Write(const char* line, std::size_t size);

  UniqueHandle file_;
};

}  // namespace tokalux::demo
