#include "harness/demo_player.h"

#include <algorithm>

#include "base/win32_handles.h"
#include "control_sender.h"
#include "demo_protocol.h"
#include "harness/session_double.h"

namespace tokalux::e2e {

DemoPlayer::DemoPlayer(const std::wstring& options)
    : logPath_(ScratchPath(L"demo-player-log")),
      process_(BesideTests(L"tokalux-demo-player.exe"), L"--log \"" + logPath_ + L"\" " + options) {
  if (process_.started()) window_ = WaitForWindow(L"Winamp v1.x", 30s, process_.id());
}

DemoPlayer::DemoPlayer(const AsSession& session, const std::wstring& options)
    : logPath_(ScratchPath(L"demo-player-log")) {
  RegisterSessionDouble();
  process_ =
      ChildProcess(BesideTests(L"tokalux-demo-player.exe"),
                   L"--log \"" + logPath_ + L"\" --session \"" + session.appId + L"\" " + options);
  if (process_.started()) window_ = WaitForWindow(L"tokalux demo session", 30s, process_.id());
}

DemoPlayer::~DemoPlayer() {
  process_.Kill();
  ::DeleteFileW(logPath_.c_str());
}

bool DemoPlayer::Control(std::string_view command, std::chrono::milliseconds timeout) {
  return window_ && demo::SendControlCommand(window_, command, timeout).value_or(false);
}

std::optional<std::vector<std::string>> DemoPlayer::LogLines() const {
  const UniqueFile file(::CreateFileW(logPath_.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    text.append(chunk, got);
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::wstring ThroughCodePage(const std::wstring& text) {
  char bytes[1024] = {};
  ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
  wchar_t wide[1024] = {};
  ::MultiByteToWideChar(CP_ACP, 0, bytes, -1, wide, 1024);
  return wide;
}

bool IsActionLine(std::string_view line) {
  if (line.starts_with(demo::LogCommand) || line == demo::LogFileDialog) return true;
  if (line.starts_with(demo::LogSession)) return true;
  if (line == "request 122 -666") return false;  // the poll's volume query
  for (const std::string_view request : {"request 106 ", "request 121 ", "request 122 "}) {
    if (line.starts_with(request)) return true;
  }
  return false;
}

std::optional<std::vector<std::string>> DemoPlayer::ActionLog() const {
  auto lines = LogLines();
  if (!lines) return std::nullopt;
  std::vector<std::string> actions;
  for (std::string& line : *lines) {
    if (IsActionLine(line)) actions.push_back(std::move(line));
  }
  return actions;
}

bool DemoPlayer::Logged(std::string_view action) const {
  const auto actions = ActionLog();
  return actions && std::find(actions->begin(), actions->end(), action) != actions->end();
}

bool DemoPlayer::ClearLog() {
  return Control("log clear");
}

std::string ControlText(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  std::string utf8;
  for (const char byte : bytes) {
    utf8 += byte;
    if (byte == '\\') utf8 += '\\';
  }
  return utf8;
}

bool DemoPlayer::SessionControls(std::string_view names) {
  return Control(std::string(demo::ControlSessionControls) + " " + std::string(names));
}

bool DemoPlayer::SessionPicture(const std::wstring& path) {
  return Control(std::string(demo::ControlSessionPicture) + " " + ControlText(path));
}

bool DemoPlayer::SessionAsync(std::string_view operation, std::string_view when) {
  return Control(std::string(demo::ControlSessionAsync) + " " + std::string(operation) + " " +
                 std::string(when));
}

bool DemoPlayer::FireSessionEvent(std::string_view event) {
  return Control(std::string(demo::ControlSessionEvent) + " " + std::string(event));
}

bool DemoPlayer::MakeSessionCurrent() {
  return Control(demo::ControlSessionCurrent);
}

std::optional<std::vector<std::string>> DemoPlayer::SessionRequests() const {
  auto lines = LogLines();
  if (!lines) return std::nullopt;
  std::vector<std::string> requests;
  for (std::string& line : *lines) {
    if (line.starts_with(demo::LogSession)) requests.push_back(std::move(line));
  }
  return requests;
}

}  // namespace tokalux::e2e
