// The player link over Win32: window messages sent with a bounded wait, the caption read with
// GetWindowTextA, playlist titles read out of the player's process memory.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "player/player_link.h"
#include "player/unique_handle.h"

namespace tokalux {

// The player's main window, looked up by its class and no window name; nullptr when none runs.
HWND FindPlayerWindow();

// ANSI bytes in the system code page, widened.
std::wstring WidenAnsi(std::string_view bytes);

class Win32Player final : public PlayerLink {
 public:
  // How long one message may wait for the player before it counts as unanswered.
  static constexpr UINT SendTimeoutMs = 250;
  // After an unanswered message, further messages answer 0 at once for this long, so a hung
  // player costs the screen one timeout per poll rather than one per message.
  static constexpr DWORD QuietAfterTimeoutMs = 500;
  // How long a title-read lookup of the player window is reused while that window lives.
  static constexpr DWORD LookupReuseMs = 500;

  explicit Win32Player(HWND player_window) : window_(player_window) {}

  void SendCommand(int32_t identifier) override;
  int32_t SendRequest(int32_t number, int32_t argument) override;
  std::wstring ReadSongTitle() override;
  std::wstring ReadPlaylistTitle(int32_t n) override;

  HWND window() const { return window_; }

 private:
  // Sends with a bounded wait; false (and *result 0) when the window is gone, hung or too slow.
  bool Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result);
  // The player window for title reads, looked up by class at most once per LookupReuseMs: the
  // fifteen reads of one poll share a lookup, and a player started again is found by the next.
  HWND TitleWindow(DWORD* process_id);
  // A handle on the player's process for reading memory, kept while the process stays the same.
  HANDLE PlayerProcess(DWORD process_id);
  // Reads the title at address: a full buffer, or up to the end of its page when that fails.
  std::string ReadTitleBytes(HANDLE process, uint64_t address) const;

  HWND window_;
  bool quiet_ = false;
  DWORD quiet_since_ = 0;
  HWND title_window_ = nullptr;
  DWORD title_window_process_ = 0;
  DWORD title_window_found_ = 0;
  DWORD process_id_ = 0;
  bool process_is_32_bit_ = false;
  UniqueHandle process_;
};

}  // namespace tokalux
