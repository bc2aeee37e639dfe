// A stand-in for the player that lives in the test process: a window of the player's class that
// answers every request with 0 or a value the test chose, and records what it receives. The test
// must keep pumping messages while it waits (WaitUntil and PumpFor do).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tokalux::e2e {

class FakePlayer {
 public:
  // A message as received: a command (WM_COMMAND) or a request (WM_USER).
  struct Message {
    bool command = false;
    int32_t number = 0;    // command identifier or request number
    int32_t argument = 0;  // a request's argument (wParam)
    friend bool operator==(const Message&, const Message&) = default;
  };
  friend void PrintTo(const Message& m, std::ostream* out) {
    *out << (m.command ? "command " : "request ") << m.number;
    if (!m.command) *out << "(" << m.argument << ")";
  }

  explicit FakePlayer(const std::string& caption = "1. Fake Song - Winamp");
  ~FakePlayer();
  FakePlayer(const FakePlayer&) = delete;
  FakePlayer& operator=(const FakePlayer&) = delete;

  HWND window() const { return window_; }

  // The answer to a request with this argument, or with any argument.
  void Answer(int32_t request, int32_t argument, int32_t value);
  void AnswerAny(int32_t request, int32_t value);

  const std::vector<Message>& received() const { return received_; }
  void ClearReceived() { received_.clear(); }
  // The received messages that a user's action causes: every command and the seek, jump and
  // volume requests (the poll only reads).
  std::vector<Message> Actions() const;

  // Called with each command or request as it arrives, before it is answered (the sender still
  // waits for the answer meanwhile).
  std::function<void(const Message&)> onMessage;

  static Message Command(int32_t id) { return {true, id, 0}; }
  static Message Request(int32_t number, int32_t argument) { return {false, number, argument}; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  std::map<std::pair<int32_t, int32_t>, int32_t> answers_;
  std::map<int32_t, int32_t> anyArgument_;
  std::vector<Message> received_;
};

}  // namespace tokalux::e2e
