#include "harness/fake_player.h"

#include "player/player_messages.h"

namespace tokalux::e2e {

FakePlayer::FakePlayer(const std::string& caption) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = PlayerWindowClass;
  ::RegisterClassA(&window_class);  // fails harmlessly when already registered
  window_ = ::CreateWindowExA(0, PlayerWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200,
                              100, nullptr, nullptr, window_class.hInstance, this);
}

FakePlayer::~FakePlayer() {
  if (window_) ::DestroyWindow(window_);
}

void FakePlayer::Answer(int32_t request, int32_t argument, int32_t value) {
  answers_[{request, argument}] = value;
}

void FakePlayer::AnswerAny(int32_t request, int32_t value) {
  anyArgument_[request] = value;
}

std::vector<FakePlayer::Message> FakePlayer::Actions() const {
  std::vector<Message> actions;
  for (const Message& m : received_) {
    const bool volumeQuery = m.number == RequestGetVolume && m.argument == VolumeQueryArgument;
    if (m.command || m.number == RequestSeek || m.number == RequestSetListPosition ||
        (m.number == RequestSetVolume && !volumeQuery)) {
      actions.push_back(m);
    }
  }
  return actions;
}

LRESULT FakePlayer::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == PlayerCommandMessage) {
    received_.push_back(Command(static_cast<int32_t>(LOWORD(wparam))));
    if (onMessage) onMessage(received_.back());
    return 0;
  }
  if (message == PlayerRequestMessage) {
    const auto number = static_cast<int32_t>(lparam);
    const auto argument = static_cast<int32_t>(static_cast<INT_PTR>(wparam));
    received_.push_back(Request(number, argument));
    if (onMessage) onMessage(received_.back());
    if (auto it = answers_.find({number, argument}); it != answers_.end()) return it->second;
    if (auto it = anyArgument_.find(number); it != anyArgument_.end()) return it->second;
    return 0;
  }
  return ::DefWindowProcA(window_, message, wparam, lparam);
}

LRESULT CALLBACK FakePlayer::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FakePlayer*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self || self->window_ != window) return ::DefWindowProcA(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

}  // namespace tokalux::e2e
