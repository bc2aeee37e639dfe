// A session as the double gives it out: its data read from its slot at each call, its requests
// queued for its publisher, its three change events. After its publisher ends, the object stays
// usable: it reads as a closed session with nothing in it, and every request answers false.
#pragma once

#include <windows.h>

#include <string>

#include "com_object.h"
#include "event_source.h"
#include "hub.h"

namespace tokalux::session_double {

class Session : public Object<Session, media::ISession> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSession";
  using BooleanOperation = media::BooleanOperation;

  // Made by the hub with the session's data as it is now.
  Session(Hub& hub, std::size_t slot, uint32_t generation, const SessionData& data);

  std::size_t slot() const { return slot_; }
  uint32_t generation() const { return generation_; }
  // Fires the events of what changed since the last call (the watching thread's only).
  void FireChanges();

  HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) override;
  HRESULT STDMETHODCALLTYPE
  TryGetMediaPropertiesAsync(media::IAsyncOperation<media::IMediaProperties*>** operation) override;
  HRESULT STDMETHODCALLTYPE GetTimelineProperties(media::ITimelineProperties** value) override;
  HRESULT STDMETHODCALLTYPE GetPlaybackInfo(media::IPlaybackInfo** value) override;
  HRESULT STDMETHODCALLTYPE TryPlayAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryPauseAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryStopAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryRecordAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryFastForwardAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryRewindAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TrySkipNextAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TrySkipPreviousAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangeChannelUpAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangeChannelDownAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryTogglePlayPauseAsync(BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangeAutoRepeatModeAsync(INT32 mode,
                                                         BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangePlaybackRateAsync(double rate,
                                                       BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangeShuffleActiveAsync(media::Boolean active,
                                                        BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE TryChangePlaybackPositionAsync(INT64 position,
                                                           BooleanOperation** operation) override;
  HRESULT STDMETHODCALLTYPE add_TimelinePropertiesChanged(
      media::ITypedEventHandler<media::ISession>* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_TimelinePropertiesChanged(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE add_PlaybackInfoChanged(
      media::ITypedEventHandler<media::ISession>* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_PlaybackInfoChanged(EventRegistrationToken token) override;
  HRESULT STDMETHODCALLTYPE add_MediaPropertiesChanged(
      media::ITypedEventHandler<media::ISession>* handler, EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE remove_MediaPropertiesChanged(EventRegistrationToken token) override;

 private:
  // The session's data now; a closed, empty session's once it has ended.
  SessionData Data();
  // Queues the request and answers with an operation whose result says whether the session
  // accepts that action.
  HRESULT Request(Action action, int64_t argument, BooleanOperation** operation);

  Hub& hub_;
  const std::size_t slot_;
  const uint32_t generation_;
  std::wstring appId_;
  EventSource<media::ISession> timelineChanged_;
  EventSource<media::ISession> playbackChanged_;
  EventSource<media::ISession> mediaChanged_;
  // The revisions the events were last fired for.
  uint32_t seenMedia_ = 0;
  uint32_t seenPlayback_ = 0;
  uint32_t seenTimeline_ = 0;
};

}  // namespace tokalux::session_double
