#include "session/source_switch.h"

#include <optional>
#include <utility>

#include "base/desktop_thread.h"

namespace tokalux {

int64_t FiletimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return static_cast<int64_t>((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

SourceSwitch::SourceSwitch(Source& classic, SessionClient& sessions)
    : classic_(classic), sessions_(sessions) {
  // The thread works on the screen's desktop, like every thread of ours but the player's.
  thread_ = ThreadOnDesktop(CurrentDesktop(), [this] { Run(); });
}

SourceSwitch::~SourceSwitch() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

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
  if (!sessionsAvailable_) return classic_.Poll(shown);
  Job job{classic_.Poll(shown), {}, {}};
  // A poll of the sessions still under way is waited for again rather than queued behind.
  const bool underWay = sessionsPoll_.valid() && sessionsPoll_.wait_for(std::chrono::seconds(0)) !=
                                                     std::future_status::ready;
  if (!underWay) sessionsPoll_ = sessions_.Poll().share();
  job.sessions = sessionsPoll_;
  std::future<Status> status = job.status.get_future();
  {
    const std::lock_guard lock(mutex_);
    job_ = std::move(job);  // the caller hands over one poll at a time
  }
  wake_.notify_all();
  return status;
}

void SourceSwitch::Run() {
  for (;;) {
    std::optional<Job> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || job_; });
      if (!job_) return;  // stopping, with no poll left
      job.swap(job_);
    }
    Status status = job->classic.get();
    std::optional<SessionsSnapshot> snapshot;
    if (job->sessions.wait_for(SessionsBound) == std::future_status::ready) {
      snapshot = job->sessions.get();
      if (!snapshot->available) sessionsAvailable_ = false;
    }
    const std::lock_guard lock(mutex_);
    job->status.set_value(sources_.Combine(std::move(status), snapshot, FiletimeNow()));
  }
}

}  // namespace tokalux
