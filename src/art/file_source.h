// A file read through the Win32 API for the picture readers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "art/byte_source.h"
#include "base/win32_handles.h"

namespace tokalux {

class FileSource final : public ByteSource {
 public:
  // The file at path (any length: long paths get the \\?\ prefix), or nullptr when it cannot be
  // opened or is no disk file. Opened for reading with every sharing mode, so a player or tag
  // editor that has the file open, even for writing or renaming, does not stop it. giveUp is a
  // manual-reset event that its owner sets when the reads are no longer wanted (or nullptr).
  static std::unique_ptr<FileSource> Open(const std::wstring& path, HANDLE giveUp);
  // A file (or pipe) opened for overlapped reading, taken as size bytes long.
  FileSource(UniqueFile file, uint64_t size, HANDLE giveUp);

  uint64_t Size() const override { return size_; }
  // Reads in chunks of at most 1 MiB, each waited for together with giveUp: once giveUp is set,
  // a read under way is cancelled and this and every later read fails, so a network share that
  // stopped answering holds the worker up no longer than it takes to notice.
  bool Read(uint64_t offset, std::span<uint8_t> out) override;

 private:
  UniqueFile file_;
  uint64_t size_;
  HANDLE giveUp_;
  UniqueHandle done_;  // the overlapped reads' event
};

}  // namespace tokalux
