// One event of a manager or a session: the handlers added to it, each with its token, and the
// firing, which calls them (on the double's watching thread) with an argument object of the
// event's kind.
#pragma once

#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "com_object.h"

namespace tokalux::session_double {

// An event argument: an interface of its own with no methods, told apart by its ID.
template <const GUID& Iid>
struct IEventArgs : IInspectable {};
template <const GUID& Iid>
struct InterfaceId<IEventArgs<Iid>> {
  static constexpr const GUID& value = Iid;
};

template <const GUID& Iid>
class EventArgs : public Object<EventArgs<Iid>, IEventArgs<Iid>> {
 public:
  static constexpr const wchar_t* ClassName = L"Windows.Media.Control.EventArgs";
};

template <typename Sender>
class EventSource {
 public:
  using Handler = media::ITypedEventHandler<Sender>;

  HRESULT Add(Handler* handler, EventRegistrationToken* token) {
    if (!handler || !token) return E_POINTER;
    const std::lock_guard lock(mutex_);
    token->value = next_++;
    handlers_.emplace_back(token->value, ComPtr<Handler>(handler));
    return S_OK;
  }
  HRESULT Remove(EventRegistrationToken token) {
    const std::lock_guard lock(mutex_);
    std::erase_if(handlers_, [&](const auto& entry) { return entry.first == token.value; });
    return S_OK;
  }

  // Calls every handler, outside the lock, so a handler may add, remove or call back.
  template <const GUID& Iid>
  void Fire(Sender* sender) {
    std::vector<std::pair<INT64, ComPtr<Handler>>> handlers;
    {
      const std::lock_guard lock(mutex_);
      handlers = handlers_;
    }
    if (handlers.empty()) return;
    const ComPtr<EventArgs<Iid>> args = MakeComObject<EventArgs<Iid>>();
    for (const auto& entry : handlers) entry.second->Invoke(sender, args.get());
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<INT64, ComPtr<Handler>>> handlers_;
  INT64 next_ = 1;
};

}  // namespace tokalux::session_double
