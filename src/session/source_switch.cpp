#include "session/source_switch.h"

#include <optional>
#include <utility>

namespace tokalux {

int64_t FiletimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

SourceSwitch::SourceSwitch(Source& classic, SessionClient& sessions)
    : classic_(classic),
      sessions_(sessions),
      desktop_(::GetThreadDesktop(::GetCurrentThreadId())) {}

bool SourceSwitch::Do(const Action& action) {
  const std::lock_guard lock(mutex_);
  RoutedAction routed = sources_.Route(action, FiletimeNow());
  switch (routed.to) {
    case RoutedAction::To::Classic:
      return classic_.Do(action);
    case RoutedAction::To::Session:
      sessions_.Act(routed.request);
      return true;
    case RoutedAction::To::Done:
      return true;
    case RoutedAction::To::Nobody:
      break;
  }
  return false;
}

std::future<Status> SourceSwitch::Poll(ListPlace shown) {
  std::future<Status> classic = classic_.Poll(shown);
  // A poll of the sessions still under way is waited for again rather than queued behind.
  const bool underWay = sessionsPoll_.valid() && sessionsPoll_.wait_for(std::chrono::seconds(0)) !=
                                                     std::future_status::ready;
  if (!underWay) sessionsPoll_ = sessions_.Poll().share();
  return std::async(std::launch::async,
                    [this, classic = std::move(classic), sessions = sessionsPoll_]() mutable {
                      // Windows starts a thread on the process's desktop, Wine on "Default".
                      if (desktop_) ::SetThreadDesktop(desktop_);
                      Status status = classic.get();
                      std::optional<SessionsSnapshot> snapshot;
                      if (sessions.wait_for(SessionsBound) == std::future_status::ready) {
                        snapshot = sessions.get();
                      }
                      const std::lock_guard lock(mutex_);
                      return sources_.Combine(std::move(status), snapshot, FiletimeNow());
                    });
}

}  // namespace tokalux
