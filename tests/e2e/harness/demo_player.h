// The demo player as the end-to-end tests use it: started with a log of its own, driven with
// control commands, its log read back while it runs.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness/process.h"

namespace tokalux::e2e {

// A demo player that publishes a media session with this app ID through the session manager
// double, instead of being a classic player window.
struct AsSession {
  std::wstring appId;
};

class DemoPlayer {
 public:
  // Starts tokalux-demo-player.exe with these options and a log in a scratch file, and waits
  // for its window.
  explicit DemoPlayer(const std::wstring& options = L"");
  // The same as a media session (registering the double first, should a test have left the
  // prefix without it); its session exists once its window is there.
  explicit DemoPlayer(const AsSession& session, const std::wstring& options = L"");
  // Ends the player if it still runs and removes its log.
  ~DemoPlayer();
  DemoPlayer(const DemoPlayer&) = delete;
  DemoPlayer& operator=(const DemoPlayer&) = delete;

  // The player's window (owned by its process); nullptr when it did not appear.
  HWND window() const { return window_; }
  ChildProcess& process() { return process_; }
  const std::wstring& logPath() const { return logPath_; }

  // Sends a control command; true when the player accepted it, false when it rejected it or
  // did not answer within the timeout.
  bool Control(std::string_view command, std::chrono::milliseconds timeout = 5s);

  // Every line of the log so far; nullopt when the log cannot be read, so a check that nothing
  // was sent cannot pass on a broken log.
  std::optional<std::vector<std::string>> LogLines() const;
  // Only the lines a user's action causes: commands, the file dialog a Play on an empty list
  // opens, the seek, jump and volume requests (106, 121, 122), and the requests that reached a
  // session; the poll's read-only requests (the volume query among them) and control commands
  // are left out.
  std::optional<std::vector<std::string>> ActionLog() const;
  // Whether the action log holds this line (false too when the log cannot be read).
  bool Logged(std::string_view action) const;
  // Empties the log; true when the player did.
  [[nodiscard]] bool ClearLog();

  // Steering the session (see demo_protocol.h); true when the player took the command.
  // The accepted actions by name ("play pause next", or "none").
  bool SessionControls(std::string_view names);
  // The thumbnail: a picture file, or none for an empty path.
  bool SessionPicture(const std::wstring& path);
  // When the double's operations complete: operation is "manager", "properties", "requests",
  // "thumbnail" or "all"; when, "now", "never" or a delay in ms.
  bool SessionAsync(std::string_view operation, std::string_view when);
  // Fires an event with nothing changed: "media", "playback", "timeline", "sessions", "current".
  bool FireSessionEvent(std::string_view event);
  // Makes this session the system's current one.
  bool MakeSessionCurrent();
  // The requests that reached the session, in order ("session pause", "session position
  // 600000000"); nullopt when the log cannot be read.
  std::optional<std::vector<std::string>> SessionRequests() const;

 private:
  std::wstring logPath_;
  ChildProcess process_;
  HWND window_ = nullptr;
};

// Text as a control command carries it: UTF-8, with backslashes escaped.
std::string ControlText(const std::wstring& text);

// Text as an old player (--old-player) hands it over: through the system code page and back,
// so what the code page lacks comes back as "?".
std::wstring ThroughCodePage(const std::wstring& text);

// Whether a log line belongs in ActionLog().
bool IsActionLine(std::string_view line);

}  // namespace tokalux::e2e
