#include "thumbnail.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "async_operation.h"
#include "base/win32_handles.h"
#include "hub.h"

namespace tokalux::session_double {
namespace {

using Bytes = std::vector<BYTE>;
using StreamOperation = AsyncOperation<media::IRandomAccessStreamWithContentType*>;

// A larger picture file is refused: the thumbnail operation ends with an error.
constexpr LONGLONG MaxPictureBytes = 32 << 20;

// The file's bytes, or the error that kept them.
HRESULT ReadFileBytes(const std::wstring& path, Bytes* bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
  const UniqueHandle owner(file);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) return HRESULT_FROM_WIN32(::GetLastError());
  if (size.QuadPart > MaxPictureBytes) return E_OUTOFMEMORY;
  bytes->resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  if (!::ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr)) {
    return HRESULT_FROM_WIN32(::GetLastError());
  }
  bytes->resize(got);
  return S_OK;
}

// The picture's bytes as a read-only stream.
class PictureStream
    : public Object<PictureStream, media::IRandomAccessStreamWithContentType, IStream> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Storage.Streams.IRandomAccessStreamWithContentType";

  PictureStream(std::shared_ptr<const Bytes> bytes, ULONGLONG position)
      : bytes_(std::move(bytes)), position_(position) {}

  HRESULT STDMETHODCALLTYPE Read(void* into, ULONG count, ULONG* got) override {
    if (!into) return STG_E_INVALIDPOINTER;
    const std::lock_guard lock(mutex_);
    const ULONGLONG size = bytes_->size();
    const ULONG taken =
        static_cast<ULONG>(std::min<ULONGLONG>(count, size - std::min(position_, size)));
    if (taken > 0) std::copy_n(bytes_->data() + position_, taken, static_cast<BYTE*>(into));
    position_ += taken;
    if (got) *got = taken;
    return taken == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override {
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* newPosition) override {
    const std::lock_guard lock(mutex_);
    LONGLONG base = 0;
    if (origin == STREAM_SEEK_CUR) {
      base = static_cast<LONGLONG>(position_);
    } else if (origin == STREAM_SEEK_END) {
      base = static_cast<LONGLONG>(bytes_->size());
    } else if (origin != STREAM_SEEK_SET) {
      return STG_E_INVALIDFUNCTION;
    }
    const LONGLONG target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONGLONG>(target);
    if (newPosition) newPosition->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override {
    if (!to) return STG_E_INVALIDPOINTER;
    Bytes chunk;
    {
      const std::lock_guard lock(mutex_);
      const ULONGLONG size = bytes_->size();
      const ULONGLONG start = std::min(position_, size);
      const ULONGLONG taken = std::min<ULONGLONG>(count.QuadPart, size - start);
      chunk.assign(bytes_->begin() + static_cast<std::ptrdiff_t>(start),
                   bytes_->begin() + static_cast<std::ptrdiff_t>(start + taken));
      position_ = start + taken;
    }
    ULONG put = 0;
    const HRESULT wrote = to->Write(chunk.data(), static_cast<ULONG>(chunk.size()), &put);
    if (read) read->QuadPart = chunk.size();
    if (written) written->QuadPart = put;
    return wrote;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_->size();
    stat->grfMode = STGM_READ;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override {
    if (!copy) return STG_E_INVALIDPOINTER;
    const std::lock_guard lock(mutex_);
    const ComPtr<PictureStream> clone = MakeComObject<PictureStream>(bytes_, position_);
    *copy = static_cast<IStream*>(clone.get());
    (*copy)->AddRef();
    return S_OK;
  }

 private:
  const std::shared_ptr<const Bytes> bytes_;
  std::mutex mutex_;
  ULONGLONG position_;
};

class Thumbnail : public Object<Thumbnail, media::IRandomAccessStreamReference> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Storage.Streams.RandomAccessStreamReference";

  explicit Thumbnail(std::wstring path) : path_(std::move(path)) {}

  HRESULT STDMETHODCALLTYPE OpenReadAsync(
      media::IAsyncOperation<media::IRandomAccessStreamWithContentType*>** operation) override {
    if (!operation) return E_POINTER;
    Hub* hub = Hub::Get();
    const int32_t delay = hub ? hub->DelayMs(Operation::Thumbnail) : 0;
    StreamOperation::Start(delay, [path = path_](media::IRandomAccessStreamWithContentType** out) {
      Bytes bytes;
      const HRESULT read = ReadFileBytes(path, &bytes);
      if (FAILED(read)) return read;
      auto shared = std::make_shared<const Bytes>(std::move(bytes));
      MakeComObject<PictureStream>(std::move(shared), 0).CopyTo(out);
      return S_OK;
    }).CopyTo(operation);
    return S_OK;
  }

 private:
  std::wstring path_;
};

}  // namespace

ComPtr<media::IRandomAccessStreamReference> MakeThumbnail(std::wstring path) {
  return MakeComObject<Thumbnail>(std::move(path));
}

}  // namespace tokalux::session_double
