// tokalux-demo-player.exe: a stand-in for the media player. It owns a top-level window of the
// player's class, answers every command and request with a simulated playlist and clock, logs
// each message it receives, and takes control commands (WM_COPYDATA) from tests and scripts.
//
// Its window is a Unicode window, like a current player's, so a caption set in UTF-16 keeps every
// script. As an old player it sets the caption with ANSI bytes instead, which the system widens
// with the code page, as it does for a real old player's ANSI window.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/wide_text.h"
#include "control_sender.h"
#include "demo_log.h"
#include "demo_options.h"
#include "demo_protocol.h"
#include "demo_state.h"
#include "demo_text.h"
#include "gui/base_window.h"
#include "gui/buffered_paint.h"
#include "player/player_messages.h"
#include "session_mode.h"
#include "state_view.h"
#include "title_memory.h"

namespace tokalux::demo {
namespace {

constexpr UINT_PTR ClockTimer = 1;
constexpr UINT ClockTickMs = 100;
constexpr int WindowWidth = 360;
constexpr int WindowHeight = 120;
constexpr std::chrono::milliseconds SendTimeout{5000};

// Text for whoever started us from a console or with redirected output (a GUI program has no
// console of its own).
void Print(std::string_view text) {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) {
    ::AttachConsole(ATTACH_PARENT_PROCESS);
    out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  }
  if (!out || out == INVALID_HANDLE_VALUE) return;
  const std::string line = std::string(text) + "\n";
  DWORD written = 0;
  ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void FreeArgumentList(LPWSTR* list) {
  ::LocalFree(list);
}
using UniqueArgumentList = UniqueAny<LPWSTR*, FreeArgumentList>;

// The command line's arguments after the program name, in UTF-8 like every control command, so
// that --send carries text in any script.
std::vector<std::string> Utf8Arguments() {
  int count = 0;
  const UniqueArgumentList arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::string> utf8;
  if (!arguments) return utf8;
  for (int i = 1; i < count; ++i) {
    const wchar_t* argument = arguments.get()[i];
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, argument, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(size, 1)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, argument, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    utf8.push_back(std::move(text));
  }
  return utf8;
}

class PlayerWindow : public BaseWindow<PlayerWindow> {
 public:
  // With a session, the player publishes through it instead of being a classic player window.
  PlayerWindow(DemoState& state, DemoLog& log, SessionMode* session)
      : state_(state), log_(log), session_(session) {}

  bool Create(HINSTANCE instance, bool corner);
  // Carries out the requests queued for the session.
  void OnSessionRequests();

 private:
  friend class BaseWindow<PlayerWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnControl(const COPYDATASTRUCT* data);
  void OnTimer();
  // Brings the caption up to date and marks the view for the next repaint.
  void Changed();
  // Keeps the sender of a command or request waiting first: once for a hang a control command
  // asked for, and every time while the player is slow.
  void HangIfAsked();
  // Sets the caption, in UTF-16 or, as an old player, in ANSI.
  void ShowCaption();

  DemoState& state_;
  DemoLog& log_;
  SessionMode* session_;
  StateView view_;
  uint64_t shownCaption_ = ~uint64_t{0};
  bool viewDirty_ = true;
  int32_t hangAtNextMessageMs_ = 0;
  ULONGLONG lastTick_ = 0;
};

bool PlayerWindow::Create(HINSTANCE instance, bool corner) {
  const std::string className = session_ ? SessionWindowClass : PlayerWindowClass;
  const std::wstring wideClassName(className.begin(), className.end());
  if (!RegisterWindowClass(instance, wideClassName.c_str())) return false;

  const int x = corner ? ::GetSystemMetrics(SM_CXSCREEN) - WindowWidth : 0;
  const DWORD exStyle = corner ? WS_EX_TOPMOST : 0;
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  // Created with its caption, so whoever finds the window reads the right one at once. The
  // class's procedure is Unicode either way; the ANSI call only passes an ANSI caption.
  shownCaption_ = state_.captionRevision();
  const HWND window =
      state_.oldPlayer()
          ? ::CreateWindowExA(exStyle, className.c_str(), state_.AnsiCaption().c_str(), style, x, 0,
                              WindowWidth, WindowHeight, nullptr, nullptr, instance, this)
          : ::CreateWindowExW(exStyle, wideClassName.c_str(), Wide(state_.Caption()).c_str(), style,
                              x, 0, WindowWidth, WindowHeight, nullptr, nullptr, instance, this);
  if (!window) return false;
  lastTick_ = ::GetTickCount64();
  ::SetTimer(window, ClockTimer, ClockTickMs, nullptr);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window);
  return true;
}

LRESULT PlayerWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd();
  const auto paint = [this](HDC dc, const RECT& area) { view_.PaintContent(dc, area, state_); };
  if (const auto answer = AnswerPaintMessage(window, message, wparam, paint)) return *answer;
  switch (message) {
    case PlayerCommandMessage: {
      HangIfAsked();
      const int32_t identifier = LowSigned32(wparam);
      log_.Command(identifier);
      // The real player would now sit in its modal file dialog on its own desktop, where
      // nobody sees it: the log says so, and the demo player goes on answering.
      if (state_.Command(identifier) == CommandOutcome::FileDialog) log_.FileDialog();
      Changed();
      return 0;
    }
    case PlayerRequestMessage: {
      HangIfAsked();
      const int32_t number = LowSigned32(static_cast<uint64_t>(lparam));
      const int32_t argument = LowSigned32(wparam);
      log_.Request(number, static_cast<int64_t>(wparam));
      const int64_t answer = state_.Request(number, argument);
      Changed();
      return static_cast<LRESULT>(answer);
    }
    case WM_COPYDATA:
      return OnControl(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_TIMER:
      if (wparam == ClockTimer) OnTimer();
      return 0;
    case WM_DESTROY:
      ::KillTimer(window, ClockTimer);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT PlayerWindow::OnControl(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != ControlTag || (!data->lpData && data->cbData > 0)) return FALSE;
  std::string_view text(static_cast<const char*>(data->lpData), data->cbData);
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);  // a sent terminator
  log_.Control(text);
  if (const auto taken = session_ ? session_->Control(text, state_) : std::nullopt) {
    Changed();
    return *taken;
  }
  const ControlOutcome outcome = state_.Control(text);
  Changed();
  if (!outcome.accepted || outcome.action == ShellAction::None) return outcome.accepted;

  if (outcome.action == ShellAction::ClearLog) {
    log_.Clear();
    return TRUE;
  }
  if (outcome.action == ShellAction::HangAtNextMessage) {
    hangAtNextMessageMs_ = outcome.hangMs;
    return TRUE;
  }
  // The sender gets its TRUE now; what follows happens after that answer, before this thread
  // looks at any other message.
  if (::InSendMessage()) ::ReplyMessage(TRUE);
  switch (outcome.action) {
    case ShellAction::Hang:
      ::Sleep(static_cast<DWORD>(outcome.hangMs));
      break;
    case ShellAction::Vanish:
      ::DestroyWindow(hwnd());  // WM_DESTROY ends the message loop, and the process with it
      break;
    case ShellAction::Die:
      ::TerminateProcess(::GetCurrentProcess(), DieExitCode);
      break;
    default:
      break;
  }
  return TRUE;
}

void PlayerWindow::OnTimer() {
  const ULONGLONG now = ::GetTickCount64();
  const bool playing = state_.state() == PlayState::Playing && state_.clockRunning();
  state_.AdvanceClock(static_cast<int64_t>(now - lastTick_));
  lastTick_ = now;
  Changed();
  if (viewDirty_ || playing) {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    viewDirty_ = false;
  }
}

void PlayerWindow::HangIfAsked() {
  if (hangAtNextMessageMs_ > 0) ::Sleep(static_cast<DWORD>(std::exchange(hangAtNextMessageMs_, 0)));
  if (state_.slowMs() > 0) ::Sleep(static_cast<DWORD>(state_.slowMs()));
}

void PlayerWindow::OnSessionRequests() {
  session_->TakeRequests(state_, log_);
  Changed();
}

void PlayerWindow::Changed() {
  viewDirty_ = true;
  if (session_) session_->Update(state_);
  if (state_.captionRevision() == shownCaption_) return;
  ShowCaption();
  shownCaption_ = state_.captionRevision();
}

void PlayerWindow::ShowCaption() {
  if (state_.oldPlayer()) {
    ::SetWindowTextA(hwnd(), state_.AnsiCaption().c_str());
  } else {
    ::SetWindowTextW(hwnd(), Wide(state_.Caption()).c_str());
  }
}

// --send: hands one control command to the running player (a classic one first, else one that
// publishes a session).
int SendControl(const std::string& command) {
  HWND player = ::FindWindowA(PlayerWindowClass, nullptr);
  if (!player) player = ::FindWindowA(SessionWindowClass, nullptr);
  if (!player) {
    Print("no player");
    return SendNoPlayer;
  }
  const auto accepted = SendControlCommand(player, command, SendTimeout);
  if (!accepted) {
    Print("no answer");
    return SendNoPlayer;
  }
  Print(*accepted ? "accepted" : "rejected");
  return *accepted ? SendAccepted : SendRejected;
}

// The message loop of a player with a session: it also wakes for the session's requests.
template <typename OnWake>
int RunMessages(HANDLE wake, OnWake onWake) {
  for (;;) {
    const DWORD woke =
        ::MsgWaitForMultipleObjectsEx(1, &wake, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) onWake();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

int Run(HINSTANCE instance, const std::vector<std::string>& arguments) {
  std::string error;
  const auto options = ParseOptions(arguments, &error);
  if (!options) {
    Print("tokalux-demo-player: " + error);
    return StartFailed;
  }
  if (options->send) return SendControl(*options->send);

  TitleMemory titles;
  TitleMemory paths;
  if (!titles.ready() || !paths.ready()) {
    Print("tokalux-demo-player: no room for titles below 2 GiB");
    return StartFailed;
  }
  DemoLog log;
  if (!options->logFile.empty() && !log.Open(options->logFile)) {
    Print("tokalux-demo-player: cannot write " + options->logFile);
    return StartFailed;
  }
  DemoState state(titles, paths);
  for (const std::string& command : options->setup) {
    if (!state.Control(command).accepted) {
      Print("tokalux-demo-player: cannot apply \"" + command + "\"");
      return StartFailed;
    }
  }
  std::unique_ptr<SessionMode> session;
  if (options->session) {
    session = SessionMode::Start(DecodeUtf8(*options->session), state);
    if (!session) {
      Print("tokalux-demo-player: cannot publish a session");
      return StartFailed;
    }
  }
  PlayerWindow window(state, log, session.get());
  if (!window.Create(instance, options->corner)) return StartFailed;
  if (session) return RunMessages(session->requestsQueued(), [&] { window.OnSessionRequests(); });
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace
}  // namespace tokalux::demo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return tokalux::demo::Run(instance, tokalux::demo::Utf8Arguments());
  } catch (...) {
    return tokalux::demo::StartFailed;
  }
}
