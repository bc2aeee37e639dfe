// A session's thumbnail: a reference to a picture file whose OpenReadAsync gives a stream of the
// file's bytes. The stream answers QueryInterface for IStream (what WIC reads), since a client
// under Wine cannot turn it into one with CreateStreamOverRandomAccessStream (a stub there).
#pragma once

#include <string>

#include "com_object.h"

namespace tokalux::session_double {

ComPtr<media::IRandomAccessStreamReference> MakeThumbnail(std::wstring path);

}  // namespace tokalux::session_double
