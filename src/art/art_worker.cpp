#include "art/art_worker.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "art/embedded_picture.h"
#include "art/file_source.h"
#include "art/picture_decoder.h"
#include "art/track_path.h"
#include "base/com.h"
#include "base/desktop_thread.h"
#include "base/wide_text.h"
#include "base/win32_handles.h"

namespace tokalux {
namespace {

struct Job {
  uint64_t number = 0;
  std::wstring trackPath;
  int side = 0;
  std::shared_ptr<const std::vector<uint8_t>> bytes;
};

bool IsSet(HANDLE event) {
  return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// The names in folder (with its trailing separator) that are pictures to look for beside a
// track, best first.
std::vector<std::u16string> SidePictures(std::u16string_view folder, HANDLE giveUp) {
  std::vector<std::u16string> names;
  const std::wstring pattern = Wide(LongPathForm(std::u16string(folder) + u"*"));
  WIN32_FIND_DATAW found{};
  const UniqueFileSearch search(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                                   FindExSearchNameMatch, nullptr,
                                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return names;
  do {
    const std::u16string name(found.cFileName, found.cFileName + wcslen(found.cFileName));
    if (SidePictureRank(name)) names.push_back(name);  // a folder of that name fails to open
  } while (!IsSet(giveUp) && ::FindNextFileW(search.get(), &found));
  return SidePicturesInOrder(std::move(names));
}

// Each open and each decode is preceded by a look at giveUp: once a newer request came, the
// older one ends at the next of them.
std::optional<Pixels> FindPicture(const Job& job, const ArtWorker::Opener& open,
                                  const PictureDecoder& decoder, HANDLE giveUp) {
  const std::u16string path(job.trackPath.begin(), job.trackPath.end());
  if (!IsTrackFile(path) || IsSet(giveUp)) return std::nullopt;
  // A track that is not there (moved, deleted, on a share that is gone) is no track of the album
  // whose pictures may lie in that folder.
  const auto track = open(job.trackPath, giveUp);
  if (!track) return std::nullopt;
  if (const auto bytes = FindEmbeddedPicture(*track); bytes && !IsSet(giveUp)) {
    if (auto pixels = decoder.Decode(*bytes, job.side)) return pixels;
  }
  if (IsSet(giveUp)) return std::nullopt;
  const std::u16string_view folder = FolderOf(path);
  for (const std::u16string& name : SidePictures(folder, giveUp)) {
    if (IsSet(giveUp)) break;
    const auto file = open(Wide(std::u16string(folder) + name), giveUp);
    const auto bytes = file ? ReadAt(*file, 0, file->Size()) : std::nullopt;
    if (bytes && !IsSet(giveUp)) {
      if (auto pixels = decoder.Decode(*bytes, job.side)) return pixels;
    }
  }
  return std::nullopt;
}

}  // namespace

// What the worker thread and its owner share. The thread holds it too, so a thread left to end
// on its own still finds it.
struct ArtWorker::Shared {
  HWND window;
  UINT message;
  Opener open;
  // Set when the work under way is no longer wanted (a newer request, the end); reset when the
  // thread starts on the next request.
  UniqueHandle giveUp{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle thread;  // the worker thread's own handle, to cancel its blocking calls

  std::mutex mutex;
  std::condition_variable wake;
  std::optional<Job> pending;      // the latest request, not yet started
  uint64_t latest = 0;             // the latest request's number
  uint64_t running = 0;            // the request being worked on; 0 for none
  std::optional<ArtResult> ready;  // the latest request's result, not yet taken
  bool stopping = false;
  static constexpr int CancelEveryMs = 20;

  void Run(std::promise<void> started);
  // The canceller's loop: while a newer request waits behind the one being worked on, the
  // worker's blocking calls are cancelled again every CancelEveryMs, since one may start right
  // after a cancel (an open that begins just after the request came).
  void CancelWhileOvertaken();
  // Gives up the work under way (with the mutex held).
  void GiveUp() {
    ::SetEvent(giveUp.get());
    if (running != 0) ::CancelSynchronousIo(thread.get());
  }
};

ArtWorker::Opener ArtWorker::DefaultOpener() {
  return [](const std::wstring& path, HANDLE giveUp) -> std::unique_ptr<ByteSource> {
    return FileSource::Open(path, giveUp);
  };
}

ArtWorker::ArtWorker(HWND window, UINT message, Opener open) : shared_(std::make_shared<Shared>()) {
  shared_->window = window;
  shared_->message = message;
  shared_->open = std::move(open);
  std::promise<void> started;
  std::future<void> ready = started.get_future();
  // Both threads work on the desktop of the window the worker posts to.
  const HDESK desktop = ::GetThreadDesktop(::GetWindowThreadProcessId(window, nullptr));
  thread_ = ThreadOnDesktop(desktop, [shared = shared_, started = std::move(started)]() mutable {
    shared->Run(std::move(started));
  });
  ready.wait();  // the thread's handle is there to cancel with from now on
  canceller_ = ThreadOnDesktop(desktop, [shared = shared_] { shared->CancelWhileOvertaken(); });
}

ArtWorker::~ArtWorker() {
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    shared_->pending.reset();
    shared_->GiveUp();
  }
  shared_->wake.notify_all();
  canceller_.join();
  // A blocking call may begin right after a cancel; cancel again until the thread ends.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (::WaitForSingleObject(shared_->thread.get(), 10) == WAIT_TIMEOUT) {
    ::CancelSynchronousIo(shared_->thread.get());
    if (std::chrono::steady_clock::now() > giveUp) {
      thread_.detach();
      return;
    }
  }
  thread_.join();
}

void ArtWorker::Request(std::wstring trackPath, int side,
                        std::shared_ptr<const std::vector<uint8_t>> bytes) {
  const std::lock_guard lock(shared_->mutex);
  shared_->pending = Job{++shared_->latest, std::move(trackPath), side, std::move(bytes)};
  shared_->ready.reset();  // an older track's result, not taken yet
  shared_->GiveUp();
  shared_->wake.notify_all();
}

std::optional<ArtResult> ArtWorker::Take() {
  const std::lock_guard lock(shared_->mutex);
  return std::exchange(shared_->ready, std::nullopt);
}

void ArtWorker::Shared::CancelWhileOvertaken() {
  std::unique_lock lock(mutex);
  for (;;) {
    wake.wait(lock, [this] { return stopping || (pending && running != 0); });
    if (stopping) return;
    ::CancelSynchronousIo(thread.get());
    wake.wait_for(lock, std::chrono::milliseconds(CancelEveryMs), [this] { return stopping; });
  }
}

void ArtWorker::Shared::Run(std::promise<void> started) {
  HANDLE self = nullptr;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
  thread.reset(self);
  started.set_value();

  const ScopedCom com;  // ends after the decoder is gone
  const PictureDecoder decoder;
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex);
      wake.wait(lock, [this] { return stopping || pending; });
      if (stopping) break;
      job = std::move(*pending);
      pending.reset();
      running = job.number;
      ::ResetEvent(giveUp.get());
    }
    std::optional<Pixels> picture = job.bytes ? decoder.Decode(*job.bytes, job.side)
                                              : FindPicture(job, open, decoder, giveUp.get());

    const std::lock_guard lock(mutex);
    running = 0;
    if (stopping || latest != job.number) continue;
    ready = ArtResult{std::move(job.trackPath), job.side, std::move(picture)};
    // Posted, never sent, and under the lock, so nothing is posted once the owner has begun
    // to stop.
    ::PostMessageW(window, message, 0, 0);
  }
}

}  // namespace tokalux
