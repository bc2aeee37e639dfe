#include "player/player_thread.h"

#include <windows.h>

#include "base/win32_handles.h"
#include "player/win32_player.h"

namespace tokalux {

// The link a job gets: clicks made while the job runs are posted before its next request, and
// from then on the job's requests get no answer, so the player is free to take the clicks.
class PlayerThread::ClicksFirst final : public PlayerLink {
 public:
  ClicksFirst(PlayerThread& thread, PlayerLink& link) : thread_(thread), link_(link) {}

  void SendCommand(int32_t identifier) override { link_.SendCommand(identifier); }
  void SendSetting(int32_t number, int32_t argument) override {
    link_.SendSetting(number, argument);
  }
  std::optional<int32_t> SendRequest(int32_t number, int32_t argument) override {
    if (ClicksCameFirst()) return std::nullopt;
    return link_.SendRequest(number, argument);
  }
  std::wstring ReadSongTitle() override {
    std::wstring title = link_.ReadSongTitle();
    thread_.titleWatch_.Read(title);  // this poll shows it: no other poll is needed for it
    return title;
  }
  bool IsThere() override { return link_.IsThere(); }
  std::optional<std::wstring> ReadPlaylistTitle(int32_t n) override {
    if (ClicksCameFirst()) return std::nullopt;
    return link_.ReadPlaylistTitle(n);
  }
  std::optional<std::wstring> ReadEntryPath(int32_t n) override {
    if (ClicksCameFirst()) return std::nullopt;
    return link_.ReadEntryPath(n);
  }

 private:
  bool ClicksCameFirst() {
    if (thread_.PostClicks(link_)) clicked_ = true;
    return clicked_;
  }

  PlayerThread& thread_;
  PlayerLink& link_;
  bool clicked_ = false;
};

PlayerThread::PlayerThread() : titleChanged_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  std::promise<bool> found;
  std::future<bool> answer = found.get_future();
  // The desktop this process runs on, as its first thread sees it. (Windows gives a new thread
  // that desktop; Wine gives it "Default".)
  const HDESK ownDesktop = ::GetThreadDesktop(::GetCurrentThreadId());
  thread_ = std::thread([this, ownDesktop, found = std::move(found)]() mutable {
    Run(ownDesktop, std::move(found));
  });
  playerFound_ = answer.get();
}

PlayerThread::~PlayerThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void PlayerThread::Enqueue(std::function<void(PlayerLink&)> job) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void PlayerThread::Add(const Click& click) {
  {
    const std::lock_guard lock(mutex_);
    clicks_.push_back(click);
  }
  wake_.notify_one();
}

void PlayerThread::SendCommand(int32_t identifier) {
  Add({true, identifier, 0});
}

void PlayerThread::SendSetting(int32_t number, int32_t argument) {
  Add({false, number, argument});
}

HANDLE PlayerThread::WatchTitle() {
  const std::lock_guard lock(mutex_);
  watchTitle_ = static_cast<bool>(titleChanged_);
  return titleChanged_.get();
}

bool PlayerThread::PostClicks(PlayerControl& player) {
  std::deque<Click> clicks;
  {
    const std::lock_guard lock(mutex_);
    clicks.swap(clicks_);
  }
  for (const Click& click : clicks) {
    if (click.isCommand) {
      player.SendCommand(click.number);
    } else {
      player.SendSetting(click.number, click.argument);
    }
  }
  return !clicks.empty();
}

void PlayerThread::Run(HDESK ownDesktop, std::promise<bool> found) {
  // This thread has no window and no hook yet, so it may still move between desktops: to ours
  // first, then to "Default" when the player is not on ours. The handle of "Default" stays open
  // while the thread sits there.
  const HDESK firstDesktop = ::GetThreadDesktop(::GetCurrentThreadId());
  UniqueDesktop defaultDesktop;
  HWND window = ::SetThreadDesktop(ownDesktop) ? FindPlayerWindow() : nullptr;
  if (!window) {
    defaultDesktop.reset(::OpenDesktopW(
        L"Default", 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS | DESKTOP_ENUMERATE));
    if (defaultDesktop && ::SetThreadDesktop(defaultDesktop.get())) window = FindPlayerWindow();
  }
  Win32Player player(window);
  found.set_value(window != nullptr);

  for (;;) {
    std::function<void(PlayerLink&)> job;
    {
      std::unique_lock lock(mutex_);
      const auto woken = [this] { return stopping_ || !jobs_.empty() || !clicks_.empty(); };
      if (!watchTitle_) {
        wake_.wait(lock, woken);
      } else if (!wake_.wait_for(lock, TitleCheckInterval, woken)) {
        // Nothing to do for a while: is the player on another song?
        lock.unlock();
        if (titleWatch_.Read(player.ReadSongTitle()) && titleChanged_) {
          ::SetEvent(titleChanged_.get());
        }
        continue;
      }
      if (jobs_.empty() && clicks_.empty()) break;
      if (!jobs_.empty()) {
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
    }
    PostClicks(player);
    if (job) {
      ClicksFirst link(*this, player);
      job(link);  // a job's own failure ends up in its future
    }
  }
  // Back where the thread started: a desktop in use cannot be closed, and the handles of the
  // other two are not this thread's to close when it ends.
  ::SetThreadDesktop(firstDesktop);
}

}  // namespace tokalux
