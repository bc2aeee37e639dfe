// The demo player's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tokalux::demo {

inline constexpr int DefaultEntries = 20;

struct Options {
  std::string logFile;  // empty: no log
  bool corner = false;  // topmost, at the top-right corner of the screen
  // --send: hand this control command to the running player and exit.
  std::optional<std::string> send;
  // --session: publish the state as a media session with this app ID (UTF-8) through the session
  // manager double, with no classic player window.
  std::optional<std::string> session;
  // Control commands that set up the state at start-up, in this order.
  std::vector<std::string> setup;
};

// Options: --log FILE, --entries N, --playlist FILE, --position K, --stopped, --paused, --corner,
// --old-player, --scroll, --send COMMAND, --session APPID. Numbers are checked when the set-up
// commands run. nullopt, with a message in *error, for an unknown option or a missing value.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string* error);

}  // namespace tokalux::demo
