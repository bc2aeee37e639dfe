#include "session/session_client.h"

#include <windows.h>

#include <objidl.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/com.h"
#include "base/desktop_thread.h"
#include "session/async_wait.h"
#include "session/com_owners.h"
#include "session/media_session_abi.h"
#include "session/windows_runtime.h"

namespace tokalux {

using namespace media;

namespace {

// At most this many sessions are read in one poll.
constexpr UINT32 MaxSessions = 32;
// A thumbnail larger than this counts as none.
constexpr std::size_t MaxThumbnailBytes = 4 << 20;
constexpr ULONG ThumbnailChunk = 64 << 10;
// After a change of the media properties the thumbnail is read again at this many polls: a player
// may still give the previous track's for a moment, and the event that it changed may not come.
constexpr int ThumbnailReadsAfterChange = 3;

// The "something changed" callback, called at most once until the next poll rearms it, and
// never again once disabled.
struct ChangeSignal {
  std::mutex mutex;
  std::function<void()> callback;
  bool pending = false;

  void Fire() {
    const std::lock_guard lock(mutex);
    if (pending || !callback) return;
    pending = true;
    callback();
  }
  void Rearm() {
    const std::lock_guard lock(mutex);
    pending = false;
  }
  void Disable() {
    const std::lock_guard lock(mutex);
    callback = nullptr;
  }
};

// Handles one change event: marks its flag (when it has one) and fires the signal.
template <typename Sender>
class EventHandler final : public ComObject<ITypedEventHandler<Sender>> {
 public:
  EventHandler(const GUID& iid, std::shared_ptr<ChangeSignal> signal,
               std::shared_ptr<std::atomic<bool>> flag = {})
      : ComObject<ITypedEventHandler<Sender>>(iid),
        signal_(std::move(signal)),
        flag_(std::move(flag)) {}

  HRESULT STDMETHODCALLTYPE Invoke(Sender*, IInspectable*) override {
    if (flag_) flag_->store(true);
    signal_->Fire();
    return S_OK;
  }

 private:
  std::shared_ptr<ChangeSignal> signal_;
  std::shared_ptr<std::atomic<bool>> flag_;
};

// Adds a handler for one event of `source`; the token when the source took it.
template <typename Source, typename Sender, typename Add>
std::optional<EventRegistrationToken> Register(Source& source, Add add, const GUID& handlerIid,
                                               const std::shared_ptr<ChangeSignal>& signal,
                                               std::shared_ptr<std::atomic<bool>> flag = {}) {
  auto handler = MakeComObject<EventHandler<Sender>>(handlerIid, signal, std::move(flag));
  EventRegistrationToken token{};
  if (FAILED((source.*add)(handler.get(), &token))) return std::nullopt;
  return token;
}

template <typename Source, typename Getter>
std::wstring ReadText(Source& source, Getter get) {
  HSTRING raw = nullptr;
  if (FAILED((source.*get)(&raw))) return {};
  return TextOf(HString(raw));
}

bool ReadFlag(IPlaybackControls& controls,
              HRESULT (STDMETHODCALLTYPE IPlaybackControls::*get)(Boolean*)) {
  Boolean value = 0;
  return SUCCEEDED((controls.*get)(&value)) && value != 0;
}

// A session the thread follows: its change events stay registered while it exists.
struct TrackedSession {
  ComPtr<ISession> session;
  ComPtr<IUnknown> identity;
  std::shared_ptr<std::atomic<bool>> mediaChanged = std::make_shared<std::atomic<bool>>(false);
  std::optional<EventRegistrationToken> mediaToken, playbackToken, timelineToken;
  std::wstring mediaSeen;
  int thumbnailReads = ThumbnailReadsAfterChange;
  std::optional<SessionThumbnail> thumbnail;
  bool seen = false;

  TrackedSession() = default;
  TrackedSession(const TrackedSession&) = delete;
  TrackedSession& operator=(const TrackedSession&) = delete;
  ~TrackedSession() {
    if (mediaToken) session->remove_MediaPropertiesChanged(*mediaToken);
    if (playbackToken) session->remove_PlaybackInfoChanged(*playbackToken);
    if (timelineToken) session->remove_TimelinePropertiesChanged(*timelineToken);
  }
};

// The manager and its two events.
struct ManagerLink {
  ComPtr<ISessionManager> manager;
  std::optional<EventRegistrationToken> sessionsToken, currentToken;

  ManagerLink() = default;
  ManagerLink(const ManagerLink&) = delete;
  ManagerLink& operator=(const ManagerLink&) = delete;
  ~ManagerLink() {
    if (sessionsToken) manager->remove_SessionsChanged(*sessionsToken);
    if (currentToken) manager->remove_CurrentSessionChanged(*currentToken);
  }
};

}  // namespace

using Job = std::variant<std::promise<SessionsSnapshot>, SessionAction>;

struct SessionShared {
  std::shared_ptr<Wake> wake = std::make_shared<Wake>();
  std::shared_ptr<ChangeSignal> signal = std::make_shared<ChangeSignal>();
  // Under wake's mutex.
  std::deque<Job> jobs;
  bool finished = false;
};

namespace {

// Everything COM of the session thread; it lives and dies on that thread.
class SessionWorker {
 public:
  SessionWorker(SessionShared& shared, const WindowsRuntime* runtime)
      : shared_(shared), wake_(shared.wake), runtime_(runtime) {
    if (runtime_) FindManager();
  }

  // Runs the jobs until the stop; the requests still queued then are sent without waiting.
  void Run() {
    for (;;) {
      Job job;
      {
        std::unique_lock lock(wake_->mutex);
        wake_->changed.wait(lock, [this] { return wake_->stopping || !shared_.jobs.empty(); });
        if (wake_->stopping) break;
        job = std::move(shared_.jobs.front());
        shared_.jobs.pop_front();
      }
      if (auto* poll = std::get_if<std::promise<SessionsSnapshot>>(&job)) {
        poll->set_value(Poll());
      } else {
        Act(std::get<SessionAction>(job), true);
      }
    }
    for (const SessionAction& action : TakeActions()) Act(action, false);
  }

 private:
  bool Stopping() const {
    const std::lock_guard lock(wake_->mutex);
    return wake_->stopping;
  }

  Clock::time_point OperationDeadline(Clock::time_point pollDeadline) const {
    return std::min(Clock::now() + SessionClient::OperationBound, pollDeadline);
  }

  void FindManager() {
    HSTRING rawName = nullptr;
    const std::wstring_view name = SessionManagerClass;
    if (FAILED(runtime_->createString(name.data(), static_cast<UINT32>(name.size()), &rawName))) {
      return;
    }
    const HString className(rawName);
    // No class (Windows 8.1, a bare Wine: REGDB_E_CLASSNOTREG) is no sessions, for good.
    ComPtr<ISessionManagerStatics> statics;
    if (FAILED(runtime_->roGetActivationFactory(className.get(), iid::SessionManagerStatics,
                                                reinterpret_cast<void**>(statics.put()))) ||
        !statics) {
      return;
    }
    ComPtr<IAsyncOperation<ISessionManager*>> request;
    if (FAILED(statics->RequestAsync(request.put()))) return;
    auto manager = Await(std::move(request), iid::ManagerOperationHandler, wake_,
                         Clock::now() + SessionClient::ManagerBound);
    if (!manager || !*manager) return;
    link_.manager = std::move(*manager);
    link_.sessionsToken = Register<ISessionManager, ISessionManager>(
        *link_.manager.get(), &ISessionManager::add_SessionsChanged, iid::SessionsChangedHandler,
        shared_.signal);
    link_.currentToken = Register<ISessionManager, ISessionManager>(
        *link_.manager.get(), &ISessionManager::add_CurrentSessionChanged,
        iid::CurrentSessionChangedHandler, shared_.signal);
  }

  std::vector<SessionAction> TakeActions() {
    std::vector<SessionAction> actions;
    const std::lock_guard lock(wake_->mutex);
    std::erase_if(shared_.jobs, [&](Job& job) {
      if (auto* action = std::get_if<SessionAction>(&job)) {
        actions.push_back(*action);
        return true;
      }
      return false;
    });
    return actions;
  }

  SessionsSnapshot Poll() {
    SessionsSnapshot snapshot;
    ISessionManager* manager = link_.manager.get();
    snapshot.available = manager != nullptr;
    if (!manager) return snapshot;
    shared_.signal->Rearm();
    const Clock::time_point deadline = Clock::now() + SessionClient::PollBound;

    ComPtr<ISession> current;
    ComPtr<IUnknown> currentIdentity;
    if (SUCCEEDED(manager->GetCurrentSession(current.put())) && current) {
      currentIdentity = current.As<IUnknown>(UnknownIid);
    }
    ComPtr<IVectorView<ISession*>> list;
    UINT32 size = 0;
    if (FAILED(manager->GetSessions(list.put())) || !list || FAILED(list->get_Size(&size))) {
      return snapshot;
    }
    snapshot.answered = true;
    for (auto& tracked : tracked_) tracked->seen = false;
    std::map<std::wstring, uint32_t> occurrences;
    for (UINT32 i = 0; i < std::min(size, MaxSessions) && !Stopping(); ++i) {
      // The remote control's requests go before the rest of the poll.
      for (const SessionAction& action : TakeActions()) Act(action, true);
      ComPtr<ISession> session;
      const HRESULT got = list->GetAt(i, session.put());
      if (got == BoundsError) break;
      if (FAILED(got) || !session) continue;
      TrackedSession& tracked = Track(session);
      SessionSnapshot& shot = snapshot.sessions.emplace_back();
      shot.key.appId = ReadText(*session.get(), &ISession::get_SourceAppUserModelId);
      shot.key.occurrence = occurrences[shot.key.appId]++;
      shot.isCurrent = currentIdentity && tracked.identity.get() == currentIdentity.get();
      ReadMedia(tracked, shot, deadline);
      ReadPlayback(*session.get(), shot);
      ReadTimeline(*session.get(), shot);
      shot.thumbnail = tracked.thumbnail;
    }
    // Sessions that are gone lose their event handlers.
    std::erase_if(tracked_, [](const auto& tracked) { return !tracked->seen; });
    return snapshot;
  }

  TrackedSession& Track(const ComPtr<ISession>& session) {
    const ComPtr<IUnknown> identity = session.As<IUnknown>(UnknownIid);
    for (auto& tracked : tracked_) {
      if (tracked->identity.get() == identity.get() && identity) {
        tracked->seen = true;
        return *tracked;
      }
    }
    auto tracked = std::make_unique<TrackedSession>();
    tracked->session = session;
    tracked->identity = identity;
    tracked->seen = true;
    ISession& source = *session.get();
    tracked->mediaToken = Register<ISession, ISession>(
        source, &ISession::add_MediaPropertiesChanged, iid::MediaPropertiesChangedHandler,
        shared_.signal, tracked->mediaChanged);
    tracked->playbackToken =
        Register<ISession, ISession>(source, &ISession::add_PlaybackInfoChanged,
                                     iid::PlaybackInfoChangedHandler, shared_.signal);
    tracked->timelineToken =
        Register<ISession, ISession>(source, &ISession::add_TimelinePropertiesChanged,
                                     iid::TimelinePropertiesChangedHandler, shared_.signal);
    return *tracked_.emplace_back(std::move(tracked));
  }

  void ReadMedia(TrackedSession& tracked, SessionSnapshot& shot, Clock::time_point deadline) {
    ComPtr<IAsyncOperation<IMediaProperties*>> request;
    if (Clock::now() >= deadline ||
        FAILED(tracked.session->TryGetMediaPropertiesAsync(request.put()))) {
      return;
    }
    auto answer = Await(std::move(request), iid::MediaPropertiesOperationHandler, wake_,
                        OperationDeadline(deadline));
    if (!answer || !*answer) return;
    IMediaProperties& properties = *answer->get();
    SessionMedia& media = shot.media.emplace();
    media.title = ReadText(properties, &IMediaProperties::get_Title);
    media.artist = ReadText(properties, &IMediaProperties::get_Artist);
    media.albumTitle = ReadText(properties, &IMediaProperties::get_AlbumTitle);
    if (FAILED(properties.get_TrackNumber(&media.trackNumber))) media.trackNumber = 0;
    if (FAILED(properties.get_AlbumTrackCount(&media.trackCount))) media.trackCount = 0;

    std::wstring seen = media.title + L'\n' + media.artist + L'\n' + media.albumTitle + L'\n' +
                        std::to_wstring(media.trackNumber);
    const bool announced = tracked.mediaChanged->exchange(false);
    if (announced || seen != tracked.mediaSeen) {
      tracked.mediaSeen = std::move(seen);
      tracked.thumbnailReads = ThumbnailReadsAfterChange;
    }
    if (tracked.thumbnailReads <= 0 || Clock::now() >= deadline) return;
    const auto bytes = ReadThumbnail(properties, deadline);
    if (!bytes) return;  // no answer: asked again at the next poll
    --tracked.thumbnailReads;
    const auto& known = tracked.thumbnail;
    const bool same =
        known && (known->bytes == *bytes || (known->bytes && *bytes && *known->bytes == **bytes));
    if (!same) tracked.thumbnail = SessionThumbnail{++thumbnailSerial_, *bytes};
  }

  // The thumbnail's bytes (null when the session has none or too many); nothing when it did not
  // answer in time.
  std::optional<std::shared_ptr<const std::vector<uint8_t>>> ReadThumbnail(
      IMediaProperties& properties, Clock::time_point deadline) {
    ComPtr<IRandomAccessStreamReference> reference;
    if (FAILED(properties.get_Thumbnail(reference.put()))) return std::nullopt;
    if (!reference) return nullptr;
    ComPtr<IAsyncOperation<IRandomAccessStreamWithContentType*>> request;
    if (FAILED(reference->OpenReadAsync(request.put()))) return std::nullopt;
    auto opened =
        Await(std::move(request), iid::StreamOperationHandler, wake_, OperationDeadline(deadline));
    if (!opened || !*opened) return std::nullopt;
    // IStream first: Wine's CreateStreamOverRandomAccessStream is a stub that raises.
    ComPtr<IStream> stream = opened->As<IStream>(iid::Stream);
    if (!stream && runtime_->createStreamOverRandomAccessStream &&
        FAILED(runtime_->createStreamOverRandomAccessStream(
            opened->get(), iid::Stream, reinterpret_cast<void**>(stream.put())))) {
      stream.reset();
    }
    if (!stream) return std::nullopt;
    std::vector<uint8_t> bytes;
    for (;;) {
      if (Clock::now() >= deadline) return std::nullopt;
      const std::size_t had = bytes.size();
      if (had > MaxThumbnailBytes) return nullptr;
      bytes.resize(had + ThumbnailChunk);
      ULONG read = 0;
      const HRESULT result = stream->Read(bytes.data() + had, ThumbnailChunk, &read);
      if (FAILED(result)) return std::nullopt;
      bytes.resize(had + std::min(read, ThumbnailChunk));
      if (read == 0 || result == S_FALSE) break;
    }
    if (bytes.empty()) return nullptr;
    if (bytes.size() > MaxThumbnailBytes) return nullptr;
    return std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  }

  static void ReadPlayback(ISession& session, SessionSnapshot& shot) {
    ComPtr<IPlaybackInfo> info;
    PlaybackStatus status = PlaybackStatus::Closed;
    if (FAILED(session.GetPlaybackInfo(info.put())) || !info ||
        FAILED(info->get_PlaybackStatus(&status))) {
      return;
    }
    SessionPlayback& playback = shot.playback.emplace();
    playback.status = static_cast<int32_t>(status);
    ComPtr<IPlaybackControls> controls;
    if (FAILED(info->get_Controls(controls.put())) || !controls) return;
    IPlaybackControls& c = *controls.get();
    SessionControls& enabled = playback.controls;
    enabled.play = ReadFlag(c, &IPlaybackControls::get_IsPlayEnabled);
    enabled.pause = ReadFlag(c, &IPlaybackControls::get_IsPauseEnabled);
    enabled.stop = ReadFlag(c, &IPlaybackControls::get_IsStopEnabled);
    enabled.next = ReadFlag(c, &IPlaybackControls::get_IsNextEnabled);
    enabled.previous = ReadFlag(c, &IPlaybackControls::get_IsPreviousEnabled);
    enabled.playPauseToggle = ReadFlag(c, &IPlaybackControls::get_IsPlayPauseToggleEnabled);
    enabled.playbackPosition = ReadFlag(c, &IPlaybackControls::get_IsPlaybackPositionEnabled);
  }

  static void ReadTimeline(ISession& session, SessionSnapshot& shot) {
    ComPtr<ITimelineProperties> properties;
    SessionTimeline timeline;
    if (FAILED(session.GetTimelineProperties(properties.put())) || !properties ||
        FAILED(properties->get_StartTime(&timeline.start)) ||
        FAILED(properties->get_EndTime(&timeline.end)) ||
        FAILED(properties->get_Position(&timeline.position)) ||
        FAILED(properties->get_LastUpdatedTime(&timeline.lastUpdated))) {
      return;
    }
    shot.timeline = timeline;
  }

  // The session with this key now, if any.
  ComPtr<ISession> Find(const SessionKey& key) {
    ComPtr<IVectorView<ISession*>> list;
    UINT32 size = 0;
    if (!link_.manager || FAILED(link_.manager->GetSessions(list.put())) || !list ||
        FAILED(list->get_Size(&size))) {
      return {};
    }
    uint32_t occurrence = 0;
    for (UINT32 i = 0; i < std::min(size, MaxSessions); ++i) {
      ComPtr<ISession> session;
      if (FAILED(list->GetAt(i, session.put())) || !session) continue;
      if (ReadText(*session.get(), &ISession::get_SourceAppUserModelId) != key.appId) continue;
      if (occurrence++ == key.occurrence) return session;
    }
    return {};
  }

  void Act(const SessionAction& action, bool waitForAnswer) {
    const ComPtr<ISession> session = Find(action.target);
    if (!session) return;
    ComPtr<BooleanOperation> request;
    HRESULT sent = E_INVALIDARG;
    switch (action.command) {
      case SessionCommand::Play:
        sent = session->TryPlayAsync(request.put());
        break;
      case SessionCommand::Pause:
        sent = session->TryPauseAsync(request.put());
        break;
      case SessionCommand::Stop:
        sent = session->TryStopAsync(request.put());
        break;
      case SessionCommand::Next:
        sent = session->TrySkipNextAsync(request.put());
        break;
      case SessionCommand::Previous:
        sent = session->TrySkipPreviousAsync(request.put());
        break;
      case SessionCommand::TogglePlayPause:
        sent = session->TryTogglePlayPauseAsync(request.put());
        break;
      case SessionCommand::ChangePosition:
        sent = session->TryChangePlaybackPositionAsync(action.position, request.put());
        break;
    }
    // Waiting for the answer keeps the requests in order: the next goes when this one was taken,
    // or when its bound ran out.
    if (SUCCEEDED(sent) && waitForAnswer) {
      Await(std::move(request), iid::BooleanOperationHandler, wake_,
            Clock::now() + SessionClient::OperationBound);
    }
  }

  SessionShared& shared_;
  std::shared_ptr<Wake> wake_;
  const WindowsRuntime* runtime_;
  // Destroyed in reverse: the sessions' handlers go before the manager's.
  ManagerLink link_;
  std::vector<std::unique_ptr<TrackedSession>> tracked_;
  uint32_t thumbnailSerial_ = 0;
};

void RunSessionThread(const std::shared_ptr<SessionShared>& shared) {
  {
    // The thread's multithreaded apartment: CoInitializeEx is RoInitialize's equal for it.
    const ScopedCom com;
    SessionWorker worker(*shared, com ? WindowsRuntime::Get() : nullptr);
    worker.Run();
  }
  {
    const std::lock_guard lock(shared->wake->mutex);
    shared->finished = true;
  }
  shared->wake->changed.notify_all();
}

}  // namespace

SessionClient::SessionClient(std::function<void()> changed)
    : shared_(std::make_shared<SessionShared>()) {
  shared_->signal->callback = std::move(changed);
  // The thread works on the desktop of the thread that made the client: it has no window, but it
  // holds no other desktop either.
  thread_ = ThreadOnDesktop(CurrentDesktop(), [shared = shared_] { RunSessionThread(shared); });
}

SessionClient::~SessionClient() {
  Stop();
}

bool SessionClient::Stop() {
  if (!thread_.joinable()) return true;
  shared_->signal->Disable();
  Wake& wake = *shared_->wake;
  bool finished = false;
  {
    std::unique_lock lock(wake.mutex);
    wake.stopping = true;
    wake.changed.notify_all();
    finished = wake.changed.wait_for(lock, StopBound, [this] { return shared_->finished; });
  }
  if (finished) {
    thread_.join();
  } else {
    thread_.detach();
  }
  return finished;
}

std::future<SessionsSnapshot> SessionClient::Poll() {
  std::promise<SessionsSnapshot> promise;
  std::future<SessionsSnapshot> snapshot = promise.get_future();
  {
    const std::lock_guard lock(shared_->wake->mutex);
    if (shared_->wake->stopping) {
      promise.set_value({});
      return snapshot;
    }
    shared_->jobs.emplace_back(std::move(promise));
  }
  shared_->wake->changed.notify_all();
  return snapshot;
}

void SessionClient::Act(const SessionAction& action) {
  {
    const std::lock_guard lock(shared_->wake->mutex);
    if (shared_->wake->stopping) return;
    shared_->jobs.emplace_back(action);
  }
  shared_->wake->changed.notify_all();
}

}  // namespace tokalux
