#include "control_sender.h"

#include "demo_protocol.h"

namespace tokalux::demo {

std::optional<bool> SendControlCommand(HWND player, std::string_view command,
                                       std::chrono::milliseconds timeout) {
  COPYDATASTRUCT data{};
  data.dwData = ControlTag;
  data.cbData = static_cast<DWORD>(command.size());
  data.lpData = const_cast<char*>(command.data());
  DWORD_PTR answer = FALSE;
  if (!::SendMessageTimeoutA(player, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()), &answer)) {
    return std::nullopt;
  }
  return answer != FALSE;
}

}  // namespace tokalux::demo
