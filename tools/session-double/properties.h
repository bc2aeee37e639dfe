// What a session answers with, each a snapshot of its data at the time of the call: its media
// properties (with the thumbnail), its timeline, and its playback information and controls.
#pragma once

#include "com_object.h"
#include "shared_state.h"

namespace tokalux::session_double {

ComPtr<media::IMediaProperties> MakeMediaProperties(const SessionData& data);
ComPtr<media::ITimelineProperties> MakeTimelineProperties(const SessionData& data);
ComPtr<media::IPlaybackInfo> MakePlaybackInfo(const SessionData& data);

}  // namespace tokalux::session_double
