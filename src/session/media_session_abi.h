// The system media session's interfaces, declared by hand in slot order: the manager of the
// sessions that players publish, a session, its media properties, timeline, playback information
// and controls, the asynchronous operations they answer with, and the event handlers they call.
// The screen saver calls them; the test double of the manager implements them.
//
// Every interface here derives from IInspectable (slots 0-5), so its own methods start at slot 6;
// the handlers derive from IUnknown only (Invoke at slot 3). None of these may be declared with
// internal linkage (an anonymous namespace): g++ would then see that nothing in the program
// implements an interface it only calls, and compile each call as unreachable.
#pragma once

#include <windows.h>

#include <activation.h>
#include <eventtoken.h>
#include <hstring.h>
#include <inspectable.h>

namespace tokalux::media {

// The runtime class whose activation factory gives the manager.
inline constexpr const wchar_t* SessionManagerClass =
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

// A WinRT boolean is one byte.
using Boolean = unsigned char;

// IAsyncInfo's status of an operation.
enum class AsyncStatus : INT32 { Started = 0, Completed = 1, Canceled = 2, Error = 3 };

// A session's playback status (GlobalSystemMediaTransportControlsSessionPlaybackStatus).
enum class PlaybackStatus : INT32 {
  Closed = 0,
  Opened = 1,
  Changing = 2,
  Stopped = 3,
  Playing = 4,
  Paused = 5
};

// HRESULTs the ABI gives meaning to.
inline constexpr HRESULT BoundsError = static_cast<HRESULT>(0x8000000B);        // E_BOUNDS
inline constexpr HRESULT IllegalMethodCall = static_cast<HRESULT>(0x8000000E);  // not yet complete
inline constexpr HRESULT IllegalDelegateAssignment = static_cast<HRESULT>(0x80000018);

// Any operation, asked for with QueryInterface.
struct IAsyncInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* error) = 0;
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

template <typename Result>
struct IAsyncOperation;

// AsyncOperationCompletedHandler<Result>.
template <typename Result>
struct IAsyncOperationCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperation<Result>* operation,
                                           AsyncStatus status) = 0;
};

// IAsyncOperation<Result>; Result is an interface pointer or Boolean.
template <typename Result>
struct IAsyncOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  put_Completed(IAsyncOperationCompletedHandler<Result>* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_Completed(IAsyncOperationCompletedHandler<Result>** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(Result* results) = 0;
};

// TypedEventHandler<Sender, Args>.
template <typename Sender>
struct ITypedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(Sender* sender, IInspectable* args) = 0;
};

// IVectorView<Item>; an index past the end answers BoundsError.
template <typename Item>
struct IVectorView : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, Item* item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE IndexOf(Item value, UINT32* index, Boolean* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 start, UINT32 capacity, Item* items,
                                            UINT32* actual) = 0;
};

// Windows.Storage.Streams.IRandomAccessStreamWithContentType has no methods of its own that we
// call: the thumbnail's bytes are read through IStream (QueryInterface, or
// CreateStreamOverRandomAccessStream).
struct IRandomAccessStreamWithContentType : IInspectable {};

struct IRandomAccessStreamReference : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  OpenReadAsync(IAsyncOperation<IRandomAccessStreamWithContentType*>** operation) = 0;
};

struct IMediaProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TrackNumber(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Genres(IVectorView<HSTRING>** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;  // IReference<T>
  virtual HRESULT STDMETHODCALLTYPE get_Thumbnail(IRandomAccessStreamReference** value) = 0;
};

// The TimeSpan values are 100 ns units; LastUpdatedTime is a DateTime, 100 ns units since
// 1601-01-01 UTC, as a FILETIME.
struct ITimelineProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_StartTime(INT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_EndTime(INT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Position(INT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* value) = 0;
};

struct IPlaybackControls : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IsPlayEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPauseEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsStopEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRecordEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsFastForwardEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRewindEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsNextEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPreviousEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsChannelUpEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsChannelDownEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPlayPauseToggleEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsShuffleEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRepeatEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPlaybackRateEnabled(Boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsPlaybackPositionEnabled(Boolean* value) = 0;
};

struct IPlaybackInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Controls(IPlaybackControls** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(PlaybackStatus* value) = 0;
  // IReference<T> each; not read.
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackRate(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsShuffleActive(IInspectable** value) = 0;
};

struct ISession;
struct ISessionManager;
using BooleanOperation = IAsyncOperation<Boolean>;

struct ISession : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  TryGetMediaPropertiesAsync(IAsyncOperation<IMediaProperties*>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(ITimelineProperties** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPlaybackInfo(IPlaybackInfo** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryPlayAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryPauseAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryStopAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryRecordAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryFastForwardAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryRewindAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TrySkipNextAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TrySkipPreviousAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeChannelUpAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeChannelDownAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryTogglePlayPauseAsync(BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeAutoRepeatModeAsync(INT32 mode,
                                                                 BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangePlaybackRateAsync(double rate,
                                                               BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryChangeShuffleActiveAsync(Boolean active,
                                                                BooleanOperation** operation) = 0;
  // The position in 100 ns units.
  virtual HRESULT STDMETHODCALLTYPE
  TryChangePlaybackPositionAsync(INT64 position, BooleanOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_TimelinePropertiesChanged(
      ITypedEventHandler<ISession>* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  remove_TimelinePropertiesChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_PlaybackInfoChanged(ITypedEventHandler<ISession>* handler,
                                                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PlaybackInfoChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_MediaPropertiesChanged(
      ITypedEventHandler<ISession>* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_MediaPropertiesChanged(EventRegistrationToken token) = 0;
};

struct ISessionManager : IInspectable {
  // The system's current session; null when there is none.
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSession(ISession** session) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSessions(IVectorView<ISession*>** sessions) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_CurrentSessionChanged(
      ITypedEventHandler<ISessionManager>* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_CurrentSessionChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_SessionsChanged(
      ITypedEventHandler<ISessionManager>* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_SessionsChanged(EventRegistrationToken token) = 0;
};

struct ISessionManagerStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE RequestAsync(IAsyncOperation<ISessionManager*>** operation) = 0;
};

// Interface IDs.
namespace iid {

inline constexpr GUID SessionManagerStatics{
    0x2050c4ee, 0x11a0, 0x57de, {0xae, 0xd7, 0xc9, 0x7c, 0x70, 0x33, 0x82, 0x45}};
inline constexpr GUID SessionManager{
    0xcace8eac, 0xe86e, 0x504a, {0xab, 0x31, 0x5f, 0xf8, 0xff, 0x1b, 0xce, 0x49}};
inline constexpr GUID Session{
    0x7148c835, 0x9b14, 0x5ae2, {0xab, 0x85, 0xdc, 0x9b, 0x1c, 0x14, 0xe1, 0xa8}};
inline constexpr GUID MediaProperties{
    0x68856cf6, 0xadb4, 0x54b2, {0xac, 0x16, 0x05, 0x83, 0x79, 0x07, 0xac, 0xb6}};
inline constexpr GUID PlaybackInfo{
    0x94b4b6cf, 0xe8ba, 0x51ad, {0x87, 0xa7, 0xc1, 0x0a, 0xde, 0x10, 0x61, 0x27}};
inline constexpr GUID PlaybackControls{
    0x6501a3e6, 0xbc7a, 0x503a, {0xbb, 0x1b, 0x68, 0xf1, 0x58, 0xf3, 0xfb, 0x03}};
inline constexpr GUID TimelineProperties{
    0xede34136, 0x6f25, 0x588d, {0x8e, 0xcf, 0xea, 0x5b, 0x67, 0x35, 0xaa, 0xa5}};

// Event arguments (no methods of their own).
inline constexpr GUID CurrentSessionChangedEventArgs{
    0x6969cb39, 0x0bfa, 0x5fe0, {0x8d, 0x73, 0x09, 0xcc, 0x5e, 0x54, 0x08, 0xe1}};
inline constexpr GUID SessionsChangedEventArgs{
    0xbbf0cd32, 0x42c4, 0x5a58, {0xb3, 0x17, 0xf3, 0x4b, 0xbf, 0xbd, 0x26, 0xe0}};
inline constexpr GUID MediaPropertiesChangedEventArgs{
    0x7d3741cb, 0xadf0, 0x5cef, {0x91, 0xba, 0xcf, 0xab, 0xcd, 0xd7, 0x76, 0x78}};
inline constexpr GUID PlaybackInfoChangedEventArgs{
    0x786756c2, 0xbc0d, 0x50a5, {0x88, 0x07, 0x05, 0x42, 0x91, 0xfe, 0xf1, 0x39}};
inline constexpr GUID TimelinePropertiesChangedEventArgs{
    0x29033a2f, 0xc923, 0x5a77, {0xbc, 0xaf, 0x05, 0x5f, 0xf4, 0x15, 0xad, 0x32}};

inline constexpr GUID AsyncInfo{
    0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID Inspectable{
    0xaf86e2e0, 0xb12d, 0x4c6a, {0x9c, 0x5a, 0xd7, 0xaa, 0x65, 0x10, 0x1e, 0x90}};
inline constexpr GUID ActivationFactory{
    0x00000035, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID AgileObject{
    0x94ea2b94, 0xe9cc, 0x49e0, {0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90}};
inline constexpr GUID Stream{
    0x0000000c, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline constexpr GUID RandomAccessStreamReference{
    0x33ee3134, 0x1dd6, 0x4e3a, {0x80, 0x67, 0xd1, 0xc1, 0x62, 0xe8, 0x64, 0x2b}};
inline constexpr GUID RandomAccessStreamWithContentType{
    0xcc254827, 0x4b3d, 0x438f, {0x92, 0x32, 0x10, 0xc7, 0x6b, 0xc7, 0xe0, 0x38}};
inline constexpr GUID RandomAccessStream{
    0x905a0fe1, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};
inline constexpr GUID InputStream{
    0x905a0fe2, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};
inline constexpr GUID Buffer{
    0x905a0fe0, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};
inline constexpr GUID BufferByteAccess{
    0x905a0fef, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};

// The generic instances.
inline constexpr GUID ManagerOperation{
    0x3eec115e, 0x7346, 0x5c27, {0x8c, 0x5f, 0xda, 0x78, 0x51, 0x4a, 0x27, 0x7b}};
inline constexpr GUID ManagerOperationHandler{
    0x10f0074e, 0x923d, 0x5510, {0x8f, 0x4a, 0xdd, 0xe3, 0x77, 0x54, 0xca, 0x0e}};
inline constexpr GUID MediaPropertiesOperation{
    0xb185e6f3, 0xe0d8, 0x51cb, {0x91, 0x3f, 0xc9, 0x8d, 0x48, 0xc9, 0x3c, 0x46}};
inline constexpr GUID MediaPropertiesOperationHandler{
    0x84593a3d, 0x951a, 0x55b6, {0x83, 0x53, 0x52, 0x05, 0xe5, 0x77, 0x79, 0x7b}};
inline constexpr GUID BooleanOperation{
    0xcdb5efb3, 0x5788, 0x509d, {0x9b, 0xe1, 0x71, 0xcc, 0xb8, 0xa3, 0x36, 0x2a}};
inline constexpr GUID BooleanOperationHandler{
    0xc1d3d1a2, 0xae17, 0x5a5f, {0xb5, 0xa2, 0xbd, 0xcc, 0x88, 0x44, 0x88, 0x9a}};
inline constexpr GUID StreamOperation{
    0xc4a57c5e, 0x32b0, 0x55b3, {0xad, 0x13, 0xce, 0x1c, 0x23, 0x04, 0x1e, 0xd6}};
inline constexpr GUID StreamOperationHandler{
    0x3dddecf4, 0x1d39, 0x58e8, {0x83, 0xb1, 0xdb, 0xed, 0x54, 0x1c, 0x7f, 0x35}};
inline constexpr GUID MediaPropertiesChangedHandler{
    0x0f2ce2b7, 0xafa7, 0x5ed0, {0x8c, 0xb6, 0x8c, 0x40, 0xcf, 0x9b, 0x3a, 0x5f}};
inline constexpr GUID PlaybackInfoChangedHandler{
    0x2bdf1426, 0xd41f, 0x5896, {0x89, 0x7f, 0xef, 0xc0, 0xb0, 0xfa, 0x73, 0x92}};
inline constexpr GUID TimelinePropertiesChangedHandler{
    0xe8bf62af, 0xfac1, 0x5fff, {0x90, 0x53, 0x0b, 0xf1, 0x91, 0xae, 0x77, 0x7e}};
inline constexpr GUID CurrentSessionChangedHandler{
    0x228bd0ed, 0x1fa2, 0x5e9b, {0xa6, 0xec, 0x42, 0x56, 0x61, 0x73, 0x10, 0x3b}};
inline constexpr GUID SessionsChangedHandler{
    0x2e2a8630, 0xdc8c, 0x530a, {0x97, 0x46, 0xbc, 0x98, 0x4d, 0x4b, 0x02, 0x9e}};
inline constexpr GUID SessionVectorView{
    0x9b2672da, 0x5088, 0x5a1d, {0xac, 0xd9, 0xa3, 0xfc, 0x5e, 0xf1, 0xcf, 0xa4}};
inline constexpr GUID StringVectorView{
    0x2f13c006, 0xa03a, 0x5f69, {0xb0, 0x90, 0x75, 0xa4, 0x3e, 0x33, 0x42, 0x3e}};

}  // namespace iid
}  // namespace tokalux::media
