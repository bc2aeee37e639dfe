// Waiting for one asynchronous operation of the session manager, with a bound. The operation may
// call our completion handler at once on this thread, later on any thread, or never; its results
// are read only after it completed. One that does not complete in time is cancelled and let go,
// and counts as no answer. The handler outlives the wait: the system may call it after we stopped
// waiting.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

#include "session/com_owners.h"
#include "session/media_session_abi.h"

namespace tokalux::media {

using Clock = std::chrono::steady_clock;

// Where the session thread sleeps: woken by a completed operation, by a new job, and by the stop.
struct Wake {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;
};

template <typename Result>
class CompletionHandler final : public ComObject<IAsyncOperationCompletedHandler<Result>> {
 public:
  CompletionHandler(const GUID& iid, std::shared_ptr<Wake> wake)
      : ComObject<IAsyncOperationCompletedHandler<Result>>(iid), wake_(std::move(wake)) {}

  HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperation<Result>*, AsyncStatus status) override {
    if (status == AsyncStatus::Started) return S_OK;
    {
      const std::lock_guard lock(wake_->mutex);
      if (!status_) status_ = status;  // the first end counts
    }
    wake_->changed.notify_all();
    return S_OK;
  }

  // Under wake's mutex.
  std::optional<AsyncStatus> status() const { return status_; }

 private:
  std::shared_ptr<Wake> wake_;
  std::optional<AsyncStatus> status_;
};

// What an operation gives: an owned reference for an interface, the value for a boolean.
template <typename Result>
using Answer =
    std::conditional_t<std::is_pointer_v<Result>, ComPtr<std::remove_pointer_t<Result>>, Result>;

// The operation's result, or nothing when it failed, was cancelled, or did not complete by the
// deadline or before the stop.
template <typename Result>
std::optional<Answer<Result>> Await(ComPtr<IAsyncOperation<Result>> operation,
                                    const GUID& handlerIid, const std::shared_ptr<Wake>& wake,
                                    Clock::time_point deadline) {
  if (!operation) return std::nullopt;
  auto handler = MakeComObject<CompletionHandler<Result>>(handlerIid, wake);
  std::optional<AsyncStatus> status;
  if (SUCCEEDED(operation->put_Completed(handler.get()))) {
    std::unique_lock lock(wake->mutex);
    wake->changed.wait_until(lock, deadline,
                             [&] { return handler->status().has_value() || wake->stopping; });
    status = handler->status();
  }
  const ComPtr<IAsyncInfo> info = operation.template As<IAsyncInfo>(iid::AsyncInfo);
  if (!status && info) {
    // An operation that completed without calling the handler still answers.
    AsyncStatus asked = AsyncStatus::Started;
    if (SUCCEEDED(info->get_Status(&asked)) && asked == AsyncStatus::Completed) status = asked;
  }
  if (status != AsyncStatus::Completed) {
    if (!status && info) info->Cancel();
    return std::nullopt;
  }
  Result result{};
  if (FAILED(operation->GetResults(&result))) return std::nullopt;
  if constexpr (std::is_pointer_v<Result>) {
    return Answer<Result>::Adopt(result);
  } else {
    return result;
  }
}

}  // namespace tokalux::media
