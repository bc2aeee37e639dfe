#include "session.h"

#include <bit>
#include <cstring>

#include "async_operation.h"
#include "properties.h"

namespace tokalux::session_double {
namespace {

using BooleanAsync = AsyncOperation<media::Boolean>;
using PropertiesOperation = AsyncOperation<media::IMediaProperties*>;

SessionData ClosedSession() {
  SessionData data{};
  data.playbackStatus = static_cast<int32_t>(Status::Closed);
  return data;
}

}  // namespace

Session::Session(Hub& hub, std::size_t slot, uint32_t generation, const SessionData& data)
    : hub_(hub),
      slot_(slot),
      generation_(generation),
      appId_(TextOf(data.appId)),
      seenMedia_(data.mediaRevision),
      seenPlayback_(data.playbackRevision),
      seenTimeline_(data.timelineRevision) {}

SessionData Session::Data() {
  return hub_.Read(slot_, generation_).value_or(ClosedSession());
}

void Session::FireChanges() {
  const auto data = hub_.Read(slot_, generation_);
  if (!data) return;
  if (data->mediaRevision != seenMedia_) {
    seenMedia_ = data->mediaRevision;
    mediaChanged_.Fire<media::iid::MediaPropertiesChangedEventArgs>(this);
  }
  if (data->playbackRevision != seenPlayback_) {
    seenPlayback_ = data->playbackRevision;
    playbackChanged_.Fire<media::iid::PlaybackInfoChangedEventArgs>(this);
  }
  if (data->timelineRevision != seenTimeline_) {
    seenTimeline_ = data->timelineRevision;
    timelineChanged_.Fire<media::iid::TimelinePropertiesChangedEventArgs>(this);
  }
}

HRESULT Session::get_SourceAppUserModelId(HSTRING* value) {
  return MakeString(appId_, value);
}

HRESULT Session::TryGetMediaPropertiesAsync(
    media::IAsyncOperation<media::IMediaProperties*>** operation) {
  if (!operation) return E_POINTER;
  const ComPtr<Session> self(this);
  PropertiesOperation::Start(hub_.DelayMs(Operation::Properties),
                             [self](media::IMediaProperties** out) {
                               MakeMediaProperties(self->Data()).CopyTo(out);
                               return S_OK;
                             })
      .CopyTo(operation);
  return S_OK;
}

HRESULT Session::GetTimelineProperties(media::ITimelineProperties** value) {
  if (!value) return E_POINTER;
  MakeTimelineProperties(Data()).CopyTo(value);
  return S_OK;
}

HRESULT Session::GetPlaybackInfo(media::IPlaybackInfo** value) {
  if (!value) return E_POINTER;
  MakePlaybackInfo(Data()).CopyTo(value);
  return S_OK;
}

HRESULT Session::Request(Action action, int64_t argument, media::BooleanOperation** operation) {
  if (!operation) return E_POINTER;
  const auto data = hub_.Read(slot_, generation_);
  const bool enabled = data && (data->enabledControls & ActionBit(action)) != 0;
  const bool queued = hub_.Post(slot_, generation_, action, argument);
  const media::Boolean accepted = enabled && queued ? 1 : 0;
  BooleanAsync::Start(hub_.DelayMs(Operation::Requests), [accepted](media::Boolean* out) {
    *out = accepted;
    return S_OK;
  }).CopyTo(operation);
  return S_OK;
}

HRESULT Session::TryPlayAsync(media::BooleanOperation** operation) {
  return Request(Action::Play, 0, operation);
}
HRESULT Session::TryPauseAsync(media::BooleanOperation** operation) {
  return Request(Action::Pause, 0, operation);
}
HRESULT Session::TryStopAsync(media::BooleanOperation** operation) {
  return Request(Action::Stop, 0, operation);
}
HRESULT Session::TryRecordAsync(media::BooleanOperation** operation) {
  return Request(Action::Record, 0, operation);
}
HRESULT Session::TryFastForwardAsync(media::BooleanOperation** operation) {
  return Request(Action::FastForward, 0, operation);
}
HRESULT Session::TryRewindAsync(media::BooleanOperation** operation) {
  return Request(Action::Rewind, 0, operation);
}
HRESULT Session::TrySkipNextAsync(media::BooleanOperation** operation) {
  return Request(Action::Next, 0, operation);
}
HRESULT Session::TrySkipPreviousAsync(media::BooleanOperation** operation) {
  return Request(Action::Previous, 0, operation);
}
HRESULT Session::TryChangeChannelUpAsync(media::BooleanOperation** operation) {
  return Request(Action::ChannelUp, 0, operation);
}
HRESULT Session::TryChangeChannelDownAsync(media::BooleanOperation** operation) {
  return Request(Action::ChannelDown, 0, operation);
}
HRESULT Session::TryTogglePlayPauseAsync(media::BooleanOperation** operation) {
  return Request(Action::TogglePlayPause, 0, operation);
}
HRESULT Session::TryChangeAutoRepeatModeAsync(INT32 mode, media::BooleanOperation** operation) {
  return Request(Action::Repeat, mode, operation);
}
HRESULT Session::TryChangePlaybackRateAsync(double rate, media::BooleanOperation** operation) {
  // The rate's bits travel as they are.
  return Request(Action::PlaybackRate, std::bit_cast<int64_t>(rate), operation);
}
HRESULT Session::TryChangeShuffleActiveAsync(media::Boolean active,
                                             media::BooleanOperation** operation) {
  return Request(Action::Shuffle, active != 0 ? 1 : 0, operation);
}
HRESULT Session::TryChangePlaybackPositionAsync(INT64 position,
                                                media::BooleanOperation** operation) {
  return Request(Action::PlaybackPosition, position, operation);
}

HRESULT Session::add_TimelinePropertiesChanged(media::ITypedEventHandler<media::ISession>* handler,
                                               EventRegistrationToken* token) {
  return timelineChanged_.Add(handler, token);
}
HRESULT Session::remove_TimelinePropertiesChanged(EventRegistrationToken token) {
  return timelineChanged_.Remove(token);
}
HRESULT Session::add_PlaybackInfoChanged(media::ITypedEventHandler<media::ISession>* handler,
                                         EventRegistrationToken* token) {
  return playbackChanged_.Add(handler, token);
}
HRESULT Session::remove_PlaybackInfoChanged(EventRegistrationToken token) {
  return playbackChanged_.Remove(token);
}
HRESULT Session::add_MediaPropertiesChanged(media::ITypedEventHandler<media::ISession>* handler,
                                            EventRegistrationToken* token) {
  return mediaChanged_.Add(handler, token);
}
HRESULT Session::remove_MediaPropertiesChanged(EventRegistrationToken token) {
  return mediaChanged_.Remove(token);
}

}  // namespace tokalux::session_double
