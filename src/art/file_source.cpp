#include "art/file_source.h"

#include <algorithm>

#include "art/track_path.h"

namespace tokalux {

std::unique_ptr<FileSource> FileSource::Open(const std::wstring& path, HANDLE giveUp) {
  const std::u16string longForm = LongPathForm(std::u16string(path.begin(), path.end()));
  const std::wstring openPath(longForm.begin(), longForm.end());
  UniqueFile file(::CreateFileW(openPath.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  LARGE_INTEGER size{};
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) ||
      size.QuadPart < 0) {
    return nullptr;
  }
  return std::make_unique<FileSource>(std::move(file), static_cast<uint64_t>(size.QuadPart),
                                      giveUp);
}

FileSource::FileSource(UniqueFile file, uint64_t size, HANDLE giveUp)
    : file_(std::move(file)),
      size_(size),
      giveUp_(giveUp),
      done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

bool FileSource::Read(uint64_t offset, std::span<uint8_t> out) {
  constexpr std::size_t Chunk = 1024 * 1024;
  if (!FitsIn(size_, offset, out.size()) || !done_) return false;
  for (std::size_t done = 0; done < out.size();) {
    const uint64_t at = offset + done;
    OVERLAPPED read{};
    read.Offset = static_cast<DWORD>(at);
    read.OffsetHigh = static_cast<DWORD>(at >> 32);
    read.hEvent = done_.get();
    const auto count = static_cast<DWORD>(std::min(Chunk, out.size() - done));
    DWORD got = 0;
    if (giveUp_ && ::WaitForSingleObject(giveUp_, 0) == WAIT_OBJECT_0) return false;
    if (!::ReadFile(file_.get(), out.data() + done, count, nullptr, &read)) {
      if (::GetLastError() != ERROR_IO_PENDING) return false;
      const HANDLE events[] = {done_.get(), giveUp_};
      if (::WaitForMultipleObjects(giveUp_ ? 2 : 1, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        ::CancelIoEx(file_.get(), &read);
      }
    }
    // Waits for the read's end (or its cancellation) before the buffer may go.
    if (!::GetOverlappedResult(file_.get(), &read, &got, TRUE) || got == 0) return false;
    done += got;
  }
  return true;
}

}  // namespace tokalux
