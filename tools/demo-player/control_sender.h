// Sends one control command (see demo_protocol.h) to a running demo player: the one sender that
// the player's own --send, the tests and the scripts share.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string_view>

namespace tokalux::demo {

// True when the player took the command, false when it rejected it; nullopt when it did not
// answer within the timeout (hung, gone, or not a player at all).
std::optional<bool> SendControlCommand(HWND player, std::string_view command,
                                       std::chrono::milliseconds timeout);

}  // namespace tokalux::demo
