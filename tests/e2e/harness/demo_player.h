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

class DemoPlayer {
 public:
  // Starts tokalux-demo-player.exe with these options and a log in a scratch file, and waits
  // for its window.
  explicit DemoPlayer(const std::wstring& options = L"");
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
  // opens, and the seek, jump and volume requests (106, 121, 122); the poll's read-only requests
  // (the volume query among them) and control commands are left out.
  std::optional<std::vector<std::string>> ActionLog() const;
  // Whether the action log holds this line (false too when the log cannot be read).
  bool Logged(std::string_view action) const;
  // Empties the log; true when the player did.
  [[nodiscard]] bool ClearLog();

 private:
  std::wstring logPath_;
  ChildProcess process_;
  HWND window_ = nullptr;
};

// Text as an old player (--old-player) hands it over: through the system code page and back,
// so what the code page lacks comes back as "?".
std::wstring ThroughCodePage(const std::wstring& text);

// Whether a log line belongs in ActionLog().
bool IsActionLine(std::string_view line);

}  // namespace tokalux::e2e
