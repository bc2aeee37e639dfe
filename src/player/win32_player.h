// The player link over Win32: requests sent with a bounded wait, commands and settings posted,
// the caption read in UTF-16, playlist titles read out of the player's process memory (UTF-16
// where the player offers it, ANSI otherwise). Every call touches the player's window, so a
// Win32Player is used only from the thread that sits on the player's desktop (see
// player_thread.h).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "player/player_link.h"
#include "player/player_messages.h"
#include "player/title_text.h"
#include "base/win32_handles.h"

namespace tokalux {

// The player's main window on the calling thread's desktop, looked up by its class and no window
// name; nullptr when none runs there.
HWND FindPlayerWindow();

// ANSI bytes in the system code page, widened.
std::wstring WidenAnsi(std::string_view bytes);

class Win32Player final : public PlayerLink {
 public:
  // How long one request may wait for the player before it counts as unanswered.
  static constexpr UINT SendTimeoutMs = 250;
  // After an unanswered request, further requests get no answer at once for this long, so a hung
  // player costs the screen one timeout per poll rather than one per message.
  static constexpr DWORD QuietAfterTimeoutMs = 500;

  // Starts with the window found at start-up; a call that finds that window gone looks the
  // player up again and goes to the new one, so a player that was closed and started again is
  // followed. (Whether a window exists is asked only when a call to it failed: each asking is a
  // round trip to the system, about as dear as a message under Wine.)
  explicit Win32Player(HWND playerWindow) : window_(playerWindow) {}

  // Posted: a posted message waits in the player's queue, in order, for as long as the player
  // takes, and is not lost, whereas a send that timed out is delivered late on Windows (ahead of
  // what was posted before it) and dropped under Wine.
  void SendCommand(int32_t identifier) override;
  void SendSetting(int32_t number, int32_t argument) override;
  std::optional<int32_t> SendRequest(int32_t number, int32_t argument) override;
  std::wstring ReadSongTitle() override;
  bool IsThere() override;
  std::optional<std::wstring> ReadPlaylistTitle(int32_t n) override;
  std::optional<std::wstring> ReadEntryPath(int32_t n) override;

 private:
  // Runs attempt(window) on the player's window; attempt answers whether it reached the window.
  // When it did not because the window is gone, the player is looked up again and, when one
  // runs, attempt runs once more on its window. Whether attempt finally reached a window.
  template <typename Attempt>
  bool OnWindow(Attempt&& attempt);
  // The process that owns the window in use; 0 when there is none.
  DWORD WindowProcessId();
  // Inside the quiet period after an unanswered request.
  bool Quiet();
  // A request, waited for (bounded): its answer; 0 when no player window is there; nullopt when
  // the player is there but hung or too slow (a timeout starts the quiet period), or quiet.
  std::optional<DWORD_PTR> Ask(WPARAM wparam, LPARAM lparam);
  // A command or setting, posted to the player's window (or to a new one when it is gone).
  void Post(UINT message, WPARAM wparam, LPARAM lparam);
  // A handle on the player's process for reading memory, kept while the process stays the same.
  HANDLE PlayerProcess(DWORD processId);
  // A text the player keeps per entry (a title, a path), asked through a UTF-16 request and,
  // where that gives nothing readable, through the ANSI one; after a run of entries that only the
  // ANSI request gave (Utf16MissesBeforeAnsiOnly), only through that.
  struct EntryText {
    int32_t utf16Request;
    int32_t ansiRequest;
    std::size_t maxChars;
    int utf16Misses = 0;
  };
  std::optional<std::wstring> ReadEntryText(EntryText& text, int32_t n);
  // The bytes of the text the player's answer points at, up to maxBytes, read a page at a time
  // until a zero unit ends it or a page cannot be read; nullopt when the answer is no address or
  // nothing can be read.
  std::optional<std::string> ReadTextAt(DWORD_PTR answer, std::size_t maxBytes,
                                        std::size_t unitBytes);

  HWND window_;
  DWORD windowProcessId_ = 0;
  EntryText titles_{RequestEntryTitleAddressUtf16, RequestEntryTitleAddress, TitleBufferSize};
  EntryText paths_{RequestEntryPathAddressUtf16, RequestEntryPathAddress, PathMaxChars};
  bool quiet_ = false;
  DWORD quietSince_ = 0;
  DWORD processId_ = 0;
  bool processIs32Bit_ = false;
  UniqueHandle process_;
};

}  // namespace tokalux
