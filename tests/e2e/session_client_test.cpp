// The session client against the session manager double.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "session/session_client.h"

namespace tokalux::e2e {
namespace {

using namespace std::chrono_literals;

TEST(SessionClientTest, NoManagerMeansNoSessions) {
  // Wine connects to the display at a process's first window call, which takes a second or two;
  // the screen saver has made it long before it asks for sessions.
  ::GetDesktopWindow();
  const auto started = std::chrono::steady_clock::now();
  SessionClient client;
  auto first = client.Poll();
  ASSERT_EQ(first.wait_for(SessionClient::FirstPollBound), std::future_status::ready);
  const SessionsSnapshot snapshot = first.get();
  EXPECT_FALSE(snapshot.available);
  EXPECT_TRUE(snapshot.sessions.empty());
  client.Act({{L"x", 0}, SessionCommand::Play, 0});
  EXPECT_EQ(client.Poll().wait_for(100ms), std::future_status::ready);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
}

}  // namespace
}  // namespace tokalux::e2e
