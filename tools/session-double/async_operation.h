// An asynchronous operation as the runtime's are: its completion handler may be set once (a
// second time answers IllegalDelegateAssignment); set on an operation already complete, it is
// called at once on the caller's thread, otherwise when the operation completes, on the thread
// that completes it. GetResults before completion answers IllegalMethodCall; Cancel makes it
// Canceled and calls the handler. IAsyncInfo is reached with QueryInterface.
//
// Tests steer when it completes: at once (before the call that made it returns), after a delay
// on a thread of its own, or never.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "com_object.h"
#include "session_protocol.h"

namespace tokalux::session_double {

inline constexpr HRESULT ClosedError = static_cast<HRESULT>(0x80000013);  // RO_E_CLOSED
inline constexpr HRESULT IllegalStateChange = static_cast<HRESULT>(0x8000000D);

namespace detail {
// Keeps an operation's result: a value, or a reference to an interface.
template <typename Result>
struct ResultHolder {
  Result value{};
  void Take(Result result) { value = result; }
  void Give(Result* out) const { *out = value; }
  void Clear() {}
};
template <typename Interface>
struct ResultHolder<Interface*> {
  ComPtr<Interface> value;
  void Take(Interface* owned) { value = ComPtr<Interface>::Adopt(owned); }
  void Give(Interface** out) const { value.CopyTo(out); }
  void Clear() { value = ComPtr<Interface>(); }
};
}  // namespace detail

template <typename Result>
class AsyncOperation
    : public Object<AsyncOperation<Result>, media::IAsyncOperation<Result>, media::IAsyncInfo> {
 public:
  static constexpr const wchar_t* ClassName = L"Windows.Foundation.IAsyncOperation`1";
  using Handler = media::IAsyncOperationCompletedHandler<Result>;
  // Makes the result when the operation completes (an interface with a reference for the
  // caller); a failure makes the operation end with status Error and that code.
  using Produce = std::function<HRESULT(Result*)>;

  explicit AsyncOperation(Produce produce) : produce_(std::move(produce)) {}

  // An operation that completes after delayMs: 0 at once, CompleteNever never.
  static ComPtr<AsyncOperation> Start(int32_t delayMs, Produce produce) {
    ComPtr<AsyncOperation> operation = MakeComObject<AsyncOperation>(std::move(produce));
    if (delayMs == 0) {
      operation->Complete();
    } else if (delayMs > 0) {
      try {
        std::thread([operation, delayMs] {
          ::Sleep(static_cast<DWORD>(delayMs));
          operation->Complete();
        }).detach();
      } catch (const std::system_error&) {
        operation->Complete();  // no thread to wait on: at once rather than never
      }
    }
    return operation;
  }

  // IAsyncOperation<Result>
  HRESULT STDMETHODCALLTYPE put_Completed(Handler* handler) override {
    if (!handler) return E_POINTER;
    std::unique_lock lock(mutex_);
    if (closed_) return ClosedError;
    if (handlerSet_) return media::IllegalDelegateAssignment;
    handlerSet_ = true;
    if (status_ == media::AsyncStatus::Started) {
      handler_ = ComPtr<Handler>(handler);
      return S_OK;
    }
    const media::AsyncStatus status = status_;
    lock.unlock();
    handler->Invoke(this, status);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Completed(Handler** handler) override {
    if (!handler) return E_POINTER;
    const std::lock_guard lock(mutex_);
    handler_.CopyTo(handler);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetResults(Result* results) override {
    if (!results) return E_POINTER;
    const std::lock_guard lock(mutex_);
    if (closed_) return ClosedError;
    switch (status_) {
      case media::AsyncStatus::Completed:
        result_.Give(results);
        return S_OK;
      case media::AsyncStatus::Started:
        return media::IllegalMethodCall;
      case media::AsyncStatus::Canceled:
        return HRESULT_FROM_WIN32(ERROR_CANCELLED);
      default:
        return error_;
    }
  }

  // IAsyncInfo
  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override {
    if (!id) return E_POINTER;
    *id = id_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Status(media::AsyncStatus* status) override {
    if (!status) return E_POINTER;
    const std::lock_guard lock(mutex_);
    *status = status_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* error) override {
    if (!error) return E_POINTER;
    const std::lock_guard lock(mutex_);
    *error = status_ == media::AsyncStatus::Error ? error_ : S_OK;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override {
    Finish(media::AsyncStatus::Canceled, S_OK, nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override {
    const std::lock_guard lock(mutex_);
    if (status_ == media::AsyncStatus::Started) return IllegalStateChange;
    closed_ = true;
    result_.Clear();
    return S_OK;
  }

  // Makes the result and completes; nothing when already canceled.
  void Complete() {
    Result result{};
    const HRESULT made = produce_(&result);
    detail::ResultHolder<Result> holder;
    if (SUCCEEDED(made)) holder.Take(result);
    Finish(SUCCEEDED(made) ? media::AsyncStatus::Completed : media::AsyncStatus::Error, made,
           &holder);
  }

 private:
  // Ends the operation (once) and calls the handler, if set, with the lock let go.
  void Finish(media::AsyncStatus status, HRESULT error, detail::ResultHolder<Result>* result) {
    ComPtr<Handler> handler;
    {
      const std::lock_guard lock(mutex_);
      if (status_ != media::AsyncStatus::Started) return;
      status_ = status;
      error_ = error;
      if (result) result_ = std::move(*result);
      handler = std::move(handler_);
      handler_ = ComPtr<Handler>();
    }
    if (handler) handler->Invoke(this, status);
  }

  static UINT32 NextId() {
    static std::atomic<UINT32> next{1};
    return next++;
  }

  Produce produce_;
  const UINT32 id_ = NextId();
  std::mutex mutex_;
  media::AsyncStatus status_ = media::AsyncStatus::Started;
  HRESULT error_ = S_OK;
  detail::ResultHolder<Result> result_;
  ComPtr<Handler> handler_;
  bool handlerSet_ = false;
  bool closed_ = false;
};

}  // namespace tokalux::session_double
