#include "properties.h"

#include <string>

#include "session_protocol.h"
#include "thumbnail.h"

namespace tokalux::session_double {
namespace {

using media::Boolean;

// A published status is handed out as the interface's PlaybackStatus by value: the two enums must
// agree on every value.
constexpr bool SameStatus(Status published, media::PlaybackStatus given) {
  return static_cast<int32_t>(published) == static_cast<int32_t>(given);
}
static_assert(SameStatus(Status::Closed, media::PlaybackStatus::Closed));
static_assert(SameStatus(Status::Opened, media::PlaybackStatus::Opened));
static_assert(SameStatus(Status::Changing, media::PlaybackStatus::Changing));
static_assert(SameStatus(Status::Stopped, media::PlaybackStatus::Stopped));
static_assert(SameStatus(Status::Playing, media::PlaybackStatus::Playing));
static_assert(SameStatus(Status::Paused, media::PlaybackStatus::Paused));

// The genres: always none.
class NoGenres : public Object<NoGenres, media::IVectorView<HSTRING>> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Foundation.Collections.IVectorView`1<String>";

  HRESULT STDMETHODCALLTYPE GetAt(UINT32, HSTRING* item) override {
    if (!item) return E_POINTER;
    *item = nullptr;
    return media::BoundsError;
  }
  HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) override {
    if (!size) return E_POINTER;
    *size = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IndexOf(HSTRING, UINT32* index, Boolean* found) override {
    if (!index || !found) return E_POINTER;
    *index = 0;
    *found = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMany(UINT32, UINT32, HSTRING*, UINT32* actual) override {
    if (!actual) return E_POINTER;
    *actual = 0;
    return S_OK;
  }
};

template <typename T>
HRESULT Give(T value, T* out) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

// An IReference<T> the double never has: null.
HRESULT NoReference(IInspectable** out) {
  return Give<IInspectable*>(nullptr, out);
}

class MediaProperties : public Object<MediaProperties, media::IMediaProperties> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionMediaProperties";

  explicit MediaProperties(const SessionData& data)
      : title_(TextOf(data.title)),
        artist_(TextOf(data.artist)),
        albumTitle_(TextOf(data.albumTitle)),
        thumbnail_(TextOf(data.thumbnail)),
        trackNumber_(data.trackNumber),
        albumTrackCount_(data.albumTrackCount) {}

  HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) override { return MakeString(title_, value); }
  HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) override { return MakeString({}, value); }
  HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) override {
    return MakeString({}, value);
  }
  HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) override {
    return MakeString(artist_, value);
  }
  HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) override {
    return MakeString(albumTitle_, value);
  }
  HRESULT STDMETHODCALLTYPE get_TrackNumber(INT32* value) override {
    return Give(trackNumber_, value);
  }
  HRESULT STDMETHODCALLTYPE get_Genres(media::IVectorView<HSTRING>** value) override {
    if (!value) return E_POINTER;
    MakeComObject<NoGenres>().CopyTo(value);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(INT32* value) override {
    return Give(albumTrackCount_, value);
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) override {
    return NoReference(value);
  }
  HRESULT STDMETHODCALLTYPE get_Thumbnail(media::IRandomAccessStreamReference** value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (!thumbnail_.empty()) MakeThumbnail(thumbnail_).CopyTo(value);
    return S_OK;
  }

 private:
  std::wstring title_;
  std::wstring artist_;
  std::wstring albumTitle_;
  std::wstring thumbnail_;
  INT32 trackNumber_;
  INT32 albumTrackCount_;
};

class TimelineProperties : public Object<TimelineProperties, media::ITimelineProperties> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionTimelineProperties";

  explicit TimelineProperties(const SessionData& data) : data_(data) {}

  HRESULT STDMETHODCALLTYPE get_StartTime(INT64* value) override {
    return Give<INT64>(data_.startTime, value);
  }
  HRESULT STDMETHODCALLTYPE get_EndTime(INT64* value) override {
    return Give<INT64>(data_.endTime, value);
  }
  HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* value) override {
    return Give<INT64>(data_.minSeekTime, value);
  }
  HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* value) override {
    return Give<INT64>(data_.maxSeekTime, value);
  }
  HRESULT STDMETHODCALLTYPE get_Position(INT64* value) override {
    return Give<INT64>(data_.position, value);
  }
  HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* value) override {
    return Give<INT64>(data_.lastUpdatedTime, value);
  }

 private:
  SessionData data_;
};

class PlaybackControls : public Object<PlaybackControls, media::IPlaybackControls> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionPlaybackControls";

  explicit PlaybackControls(uint32_t enabled) : enabled_(enabled) {}

  HRESULT STDMETHODCALLTYPE get_IsPlayEnabled(Boolean* value) override {
    return Enabled(Action::Play, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsPauseEnabled(Boolean* value) override {
    return Enabled(Action::Pause, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsStopEnabled(Boolean* value) override {
    return Enabled(Action::Stop, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsRecordEnabled(Boolean* value) override {
    return Enabled(Action::Record, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsFastForwardEnabled(Boolean* value) override {
    return Enabled(Action::FastForward, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsRewindEnabled(Boolean* value) override {
    return Enabled(Action::Rewind, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsNextEnabled(Boolean* value) override {
    return Enabled(Action::Next, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsPreviousEnabled(Boolean* value) override {
    return Enabled(Action::Previous, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsChannelUpEnabled(Boolean* value) override {
    return Enabled(Action::ChannelUp, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsChannelDownEnabled(Boolean* value) override {
    return Enabled(Action::ChannelDown, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsPlayPauseToggleEnabled(Boolean* value) override {
    return Enabled(Action::TogglePlayPause, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsShuffleEnabled(Boolean* value) override {
    return Enabled(Action::Shuffle, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsRepeatEnabled(Boolean* value) override {
    return Enabled(Action::Repeat, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsPlaybackRateEnabled(Boolean* value) override {
    return Enabled(Action::PlaybackRate, value);
  }
  HRESULT STDMETHODCALLTYPE get_IsPlaybackPositionEnabled(Boolean* value) override {
    return Enabled(Action::PlaybackPosition, value);
  }

 private:
  HRESULT Enabled(Action action, Boolean* value) const {
    return Give<Boolean>((enabled_ & ActionBit(action)) != 0 ? 1 : 0, value);
  }

  uint32_t enabled_;
};

class PlaybackInfo : public Object<PlaybackInfo, media::IPlaybackInfo> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionPlaybackInfo";

  explicit PlaybackInfo(const SessionData& data)
      : status_(data.playbackStatus), controls_(data.enabledControls) {}

  HRESULT STDMETHODCALLTYPE get_Controls(media::IPlaybackControls** value) override {
    if (!value) return E_POINTER;
    MakeComObject<PlaybackControls>(controls_).CopyTo(value);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackStatus(media::PlaybackStatus* value) override {
    return Give(static_cast<media::PlaybackStatus>(status_), value);
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) override {
    return NoReference(value);
  }
  HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** value) override {
    return NoReference(value);
  }
  HRESULT STDMETHODCALLTYPE get_PlaybackRate(IInspectable** value) override {
    return NoReference(value);
  }
  HRESULT STDMETHODCALLTYPE get_IsShuffleActive(IInspectable** value) override {
    return NoReference(value);
  }

 private:
  int32_t status_;
  uint32_t controls_;
};

}  // namespace

ComPtr<media::IMediaProperties> MakeMediaProperties(const SessionData& data) {
  return MakeComObject<MediaProperties>(data);
}

ComPtr<media::ITimelineProperties> MakeTimelineProperties(const SessionData& data) {
  return MakeComObject<TimelineProperties>(data);
}

ComPtr<media::IPlaybackInfo> MakePlaybackInfo(const SessionData& data) {
  return MakeComObject<PlaybackInfo>(data);
}

}  // namespace tokalux::session_double
