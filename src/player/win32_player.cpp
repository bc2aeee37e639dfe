#include "player/win32_player.h"

#include <array>

#include "base/wide_text.h"
#include "player/player_messages.h"
#include "player/title_text.h"

namespace tokalux {
namespace {

// A request argument as wParam: sign-extended, so a negative index reaches the player as that
// negative number whatever the width of WPARAM.
WPARAM ArgumentParam(int32_t argument) {
  return static_cast<WPARAM>(static_cast<INT_PTR>(argument));
}

}  // namespace

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

template <typename Attempt>
bool Win32Player::OnWindow(Attempt&& attempt) {
  if (window_ && attempt(window_)) return true;
  if (window_ && ::IsWindow(window_)) return false;  // it failed, but the window is still there
  const HWND found = FindPlayerWindow();
  if (found != window_) {
    window_ = found;
    windowProcessId_ = 0;
    titles_.utf16Misses = 0;
    paths_.utf16Misses = 0;
  }
  return window_ && attempt(window_);
}

DWORD Win32Player::WindowProcessId() {
  if (windowProcessId_ == 0 && window_) ::GetWindowThreadProcessId(window_, &windowProcessId_);
  return windowProcessId_;
}

bool Win32Player::Quiet() {
  if (quiet_ && ::GetTickCount() - quietSince_ >= QuietAfterTimeoutMs) quiet_ = false;
  return quiet_;
}

std::optional<DWORD_PTR> Win32Player::Ask(WPARAM wparam, LPARAM lparam) {
  if (Quiet()) return std::nullopt;
  DWORD_PTR result = 0;
  if (OnWindow([&](HWND window) {
        return ::SendMessageTimeoutA(window, PlayerRequestMessage, wparam, lparam,
                                     SMTO_BLOCK | SMTO_ABORTIFHUNG, SendTimeoutMs, &result) != 0;
      })) {
    return result;
  }
  if (!window_ || !::IsWindow(window_)) return 0;  // no player: the answer of a vanished window
  // Hung or slow, not gone: stop waiting on it a moment.
  quiet_ = true;
  quietSince_ = ::GetTickCount();
  return std::nullopt;
}

void Win32Player::Post(UINT message, WPARAM wparam, LPARAM lparam) {
  OnWindow([&](HWND window) { return ::PostMessageA(window, message, wparam, lparam) != 0; });
}

void Win32Player::SendCommand(int32_t identifier) {
  Post(PlayerCommandMessage, static_cast<WPARAM>(identifier), 0);
}

void Win32Player::SendSetting(int32_t number, int32_t argument) {
  Post(PlayerRequestMessage, ArgumentParam(argument), static_cast<LPARAM>(number));
}

std::optional<int32_t> Win32Player::SendRequest(int32_t number, int32_t argument) {
  const auto answer = Ask(ArgumentParam(argument), static_cast<LPARAM>(number));
  if (!answer) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(*answer));
}

std::wstring Win32Player::ReadSongTitle() {
  std::array<wchar_t, CaptionBufferSize> caption{};
  int length = 0;
  // Another process's caption is copied by the system without a message to the player, so a
  // hung player cannot hold this read. An old player's ANSI caption arrives widened.
  OnWindow([&](HWND window) {
    length = ::GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
    return length > 0 || ::IsWindow(window);
  });
  if (length <= 0) return {};
  const std::u16string text(caption.begin(), caption.begin() + length);
  return Wide(SongTitleFromCaption(text));
}

bool Win32Player::IsThere() {
  return OnWindow([](HWND window) { return ::IsWindow(window) != FALSE; });
}

HANDLE Win32Player::PlayerProcess(DWORD processId) {
  if (process_ && processId == processId_) return process_.get();
  process_.reset(
      ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process_) process_.reset(::OpenProcess(PROCESS_VM_READ, FALSE, processId));
  processId_ = process_ ? processId : 0;
  BOOL wow64 = FALSE;
  processIs32Bit_ =
      process_ && sizeof(void*) == 8 && ::IsWow64Process(process_.get(), &wow64) && wow64;
  return process_.get();
}

std::optional<std::wstring> Win32Player::ReadPlaylistTitle(int32_t n) {
  return ReadEntryText(titles_, n);
}

std::optional<std::wstring> Win32Player::ReadEntryPath(int32_t n) {
  return ReadEntryText(paths_, n);
}

std::optional<std::wstring> Win32Player::ReadEntryText(EntryText& text, int32_t n) {
  const WPARAM index = ArgumentParam(static_cast<int32_t>(static_cast<int64_t>(n) - 1));
  const bool askUtf16 = text.utf16Misses < Utf16MissesBeforeAnsiOnly;
  if (askUtf16) {
    const auto answer = Ask(index, text.utf16Request);
    if (!answer) return std::nullopt;
    if (const auto bytes = ReadTextAt(*answer, 2 * text.maxChars, 2)) {
      text.utf16Misses = 0;
      return Wide(Utf16TextFromBytes(*bytes, text.maxChars));
    }
  }
  // No readable UTF-16 text (an older player answers 1 to a request it does not know): the same
  // text through the ANSI request.
  const auto answer = Ask(index, text.ansiRequest);
  if (!answer) return std::nullopt;
  const auto bytes = ReadTextAt(*answer, text.maxChars, 1);
  if (!bytes) return std::wstring();
  if (askUtf16) ++text.utf16Misses;
  return WidenAnsi(TitleFromBuffer(*bytes));
}

std::optional<std::string> Win32Player::ReadTextAt(DWORD_PTR answer, std::size_t maxBytes,
                                                   std::size_t unitBytes) {
  const DWORD processId = WindowProcessId();
  const HANDLE process = processId ? PlayerProcess(processId) : nullptr;
  if (!process) return std::nullopt;
  const uint64_t address = TitleAddress(answer, processIs32Bit_);
  if (!CanBeTitleAddress(address)) return std::nullopt;
  static const std::size_t pageSize = [] {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return static_cast<std::size_t>(system.dwPageSize);
  }();
  // A page at a time: the text may end right before memory that cannot be read, and a read
  // into that fails as a whole.
  std::string bytes;
  while (bytes.size() < maxBytes && !HoldsZeroUnit(bytes, unitBytes)) {
    const uint64_t at = address + bytes.size();
    const std::size_t count = BytesToPageEnd(at, pageSize, maxBytes - bytes.size());
    const std::size_t had = bytes.size();
    bytes.resize(had + count);
    SIZE_T got = 0;
    const auto remote = reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(at));
    if (count == 0 || !::ReadProcessMemory(process, remote, bytes.data() + had, count, &got)) {
      bytes.resize(had);
      break;
    }
    bytes.resize(had + got);
    if (got < count) break;
  }
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

}  // namespace tokalux
