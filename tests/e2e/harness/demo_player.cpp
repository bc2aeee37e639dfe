#include "harness/demo_player.h"

#include <algorithm>

#include "base/win32_handles.h"
#include "control_sender.h"
#include "demo_protocol.h"

namespace tokalux::e2e {

DemoPlayer::DemoPlayer(const std::wstring& options)
    : logPath_(ScratchPath(L"demo-player-log")),
      process_(BesideTests(L"tokalux-demo-player.exe"), L"--log \"" + logPath_ + L"\" " + options) {
  if (process_.started()) window_ = WaitForWindow(L"Winamp v1.x", 15s, process_.id());
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

}  // namespace tokalux::e2e
