#include "player/win32_player.h"

#include <array>

#include "player/player_messages.h"
#include "player/title_text.h"

namespace tokalux {

HWND FindPlayerWindow() {
  return ::FindWindowA(PlayerWindowClass, nullptr);
}

std::wstring WidenAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (wide <= 0) return {};
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), wide);
  return text;
}

bool Win32Player::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
  *result = 0;
  if (quiet_) {
    if (::GetTickCount() - quiet_since_ < QuietAfterTimeoutMs) return false;
    quiet_ = false;
  }
  if (!window) return false;
  if (::SendMessageTimeoutA(window, message, wparam, lparam, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                            SendTimeoutMs, result) != 0) {
    return true;
  }
  *result = 0;
  if (::IsWindow(window)) {  // hung or slow, not gone: stop waiting on it for a moment
    quiet_ = true;
    quiet_since_ = ::GetTickCount();
  }
  return false;
}

void Win32Player::SendCommand(int32_t identifier) {
  DWORD_PTR ignored;
  Send(window_, PlayerCommandMessage, static_cast<WPARAM>(identifier), 0, &ignored);
}

int32_t Win32Player::SendRequest(int32_t number, int32_t argument) {
  DWORD_PTR answer;
  // Sign-extend the argument, so a negative index reaches the player as that negative number.
  Send(window_, PlayerRequestMessage, static_cast<WPARAM>(static_cast<INT_PTR>(argument)),
       static_cast<LPARAM>(number), &answer);
  return static_cast<int32_t>(static_cast<uint32_t>(answer));
}

std::wstring Win32Player::ReadSongTitle() {
  std::array<char, CaptionBufferSize> caption{};
  const int length = ::GetWindowTextA(window_, caption.data(), static_cast<int>(caption.size()));
  if (length <= 0) return {};
  const std::string_view text(caption.data(), static_cast<std::size_t>(length));
  return CutSongTitle(WidenAnsi(SongTitleBytes(text)));
}

HANDLE Win32Player::PlayerProcess(DWORD process_id) {
  if (process_ && process_id == process_id_) return process_.get();
  process_.reset(
      ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process_) process_.reset(::OpenProcess(PROCESS_VM_READ, FALSE, process_id));
  process_id_ = process_ ? process_id : 0;
  BOOL wow64 = FALSE;
  process_is_32_bit_ =
      process_ && sizeof(void*) == 8 && ::IsWow64Process(process_.get(), &wow64) && wow64;
  return process_.get();
}

std::string Win32Player::ReadTitleBytes(HANDLE process, uint64_t address) const {
  std::array<char, TitleBufferSize> buffer{};
  const auto remote = reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address));
  SIZE_T got = 0;
  if (!::ReadProcessMemory(process, remote, buffer.data(), buffer.size(), &got) ||
      got != buffer.size()) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::size_t count = BytesToPageEnd(address, system.dwPageSize);
    got = 0;
    if (count == 0 || !::ReadProcessMemory(process, remote, buffer.data(), count, &got)) return {};
  }
  return std::string(TitleFromBuffer(std::string_view(buffer.data(), got)));
}

HWND Win32Player::TitleWindow(DWORD* process_id) {
  const DWORD now = ::GetTickCount();
  if (!title_window_ || now - title_window_found_ >= LookupReuseMs || !::IsWindow(title_window_)) {
    title_window_ = FindPlayerWindow();
    title_window_found_ = now;
    title_window_process_ = 0;
    if (title_window_) ::GetWindowThreadProcessId(title_window_, &title_window_process_);
  }
  *process_id = title_window_process_;
  return title_window_;
}

std::wstring Win32Player::ReadPlaylistTitle(int32_t n) {
  // The player is looked up by class, not taken from start-up: a player that restarted since
  // is still read.
  DWORD process_id = 0;
  const HWND window = TitleWindow(&process_id);
  if (!window || process_id == 0) return {};
  DWORD_PTR answer = 0;
  const int32_t index = static_cast<int32_t>(static_cast<int64_t>(n) - 1);
  if (!Send(window, PlayerRequestMessage, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
            RequestEntryTitleAddress, &answer)) {
    return {};
  }
  const HANDLE process = PlayerProcess(process_id);
  if (!process) return {};
  const uint64_t address = TitleAddress(answer, process_is_32_bit_);
  if (address == 0) return {};
  return WidenAnsi(ReadTitleBytes(process, address));
}

}  // namespace tokalux
