// One line per message the player receives, written straight to the file so a test can read it
// while the player runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/win32_handles.h"

namespace tokalux::demo {

class DemoLog {
 public:
  // Creates (or empties) the file (a UTF-8 path), shared for reading and writing. False when it
  // cannot.
  bool Open(const std::string& path);

  void Command(int32_t identifier);  // command <id>
  // request <number> <wparam>: the whole wParam as a signed number, so an argument that was
  // zero-extended into it (4294967288) is told from a sign-extended one (-8).
  void Request(int32_t number, int64_t wparam);
  void Control(std::string_view text);  // control <text>, control bytes as \xNN
  void FileDialog();                    // dialog Open file(s)
  void Line(std::string_view text);     // the text as it is
  void Clear();

 private:
  void Write(const char* line, std::size_t size);

  UniqueFile file_;
};

}  // namespace tokalux::demo
