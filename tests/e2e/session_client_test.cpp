// The session client against the session manager double, with demo players publishing sessions:
// what a poll reads, the requests in order, operations that never complete, and no manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "harness/demo_player.h"
#include "harness/picture_files.h"
#include "harness/process.h"
#include "harness/session_double.h"
#include "session/session_client.h"
#include "session/session_values.h"

namespace tokalux::e2e {
namespace {

constexpr int64_t S = TicksPerSecond;
const SessionKey Key{L"Tokalux.Test.exe", 0};

// Polls until a snapshot satisfies `done` (or the timeout passes) and answers the last one.
SessionsSnapshot PollUntil(SessionClient& client,
                           const std::function<bool(const SessionsSnapshot&)>& done,
                           std::chrono::milliseconds timeout = 5s) {
  SessionsSnapshot last;
  WaitUntil(
      [&] {
        auto next = client.Poll();
        if (next.wait_for(SessionClient::FirstPollBound) != std::future_status::ready) return false;
        last = next.get();
        return done(last);
      },
      timeout);
  return last;
}

bool HasMedia(const SessionsSnapshot& snapshot) {
  return snapshot.sessions.size() == 1 && snapshot.sessions[0].media;
}

TEST(SessionClientTest, ReadsTitlesTimesControlsAndThumbnailAndHearsTheEvents) {
  ScratchFolder folder(ScratchPath(L"session-client"));
  const std::vector<uint8_t> picture = {0x89, 'P', 'N', 'G', 1, 2, 3};
  DemoPlayer player(AsSession{Key.appId}, L"--entries 3 --paused");
  ASSERT_TRUE(player.Control("title 0 Kino - Gruppa krovi"));
  ASSERT_TRUE(player.Control("tracklength 270"));
  ASSERT_TRUE(player.Control("time 30000"));
  ASSERT_TRUE(player.SessionPicture(folder.Put(L"cover.png", picture)));
  ASSERT_TRUE(player.MakeSessionCurrent());
  std::atomic<int> changes{0};
  SessionClient client([&] { ++changes; });

  SessionsSnapshot snapshot = PollUntil(client, [](const SessionsSnapshot& s) {
    return HasMedia(s) && s.sessions[0].thumbnail && s.sessions[0].thumbnail->bytes;
  });
  ASSERT_TRUE(snapshot.available && snapshot.answered);
  ASSERT_TRUE(HasMedia(snapshot));
  const SessionSnapshot& session = snapshot.sessions[0];
  EXPECT_EQ(session.key, Key);
  EXPECT_TRUE(session.isCurrent);
  EXPECT_EQ(session.media->title, L"Gruppa krovi");
  EXPECT_EQ(session.media->artist, L"Kino");
  EXPECT_EQ(session.media->trackNumber, 1);
  EXPECT_EQ(session.media->trackCount, 3);
  ASSERT_TRUE(session.playback && session.timeline);
  EXPECT_EQ(PlayStateFromStatus(session.playback->status), PlayState::Paused);
  const SessionControls& all = session.playback->controls;
  EXPECT_TRUE(all.play && all.pause && all.stop && all.next && all.previous &&
              all.playPauseToggle && all.playbackPosition);
  EXPECT_EQ(SessionLength(*session.timeline), 270 * S);
  EXPECT_EQ(session.timeline->position, 30 * S);
  ASSERT_TRUE(session.thumbnail->bytes);
  EXPECT_EQ(*session.thumbnail->bytes, picture);

  // A new picture replaces the old one, under a new serial, also once the reads that follow a
  // change are used up: the change event has the client read it again.
  for (int i = 0; i < 4; ++i) client.Poll().wait();
  const std::vector<uint8_t> next = {0xFF, 0xD8, 0xFF, 9, 8};
  ASSERT_TRUE(player.SessionPicture(folder.Put(L"next.jpg", next)));
  snapshot = PollUntil(client, [&](const SessionsSnapshot& s) {
    return HasMedia(s) && s.sessions[0].thumbnail && s.sessions[0].thumbnail->bytes &&
           *s.sessions[0].thumbnail->bytes == next;
  });
  ASSERT_TRUE(HasMedia(snapshot) && snapshot.sessions[0].thumbnail);
  EXPECT_NE(snapshot.sessions[0].thumbnail->serial, session.thumbnail->serial);

  // Disabled controls read as such.
  ASSERT_TRUE(player.SessionControls("play next"));
  snapshot = PollUntil(client, [](const SessionsSnapshot& s) {
    return !s.sessions.empty() && s.sessions[0].playback && !s.sessions[0].playback->controls.pause;
  });
  ASSERT_FALSE(snapshot.sessions.empty());
  ASSERT_TRUE(snapshot.sessions[0].playback);
  const SessionControls& some = snapshot.sessions[0].playback->controls;
  EXPECT_TRUE(some.play && some.next);
  EXPECT_FALSE(some.pause || some.stop || some.previous || some.playPauseToggle ||
               some.playbackPosition);

  // A change event calls back, once until the next poll. (A late event of an earlier change may
  // take the one call first: then the event is fired again after the next poll.)
  for (const char* event : {"media", "playback", "timeline", "sessions", "current"}) {
    bool calledBack = false;
    for (int attempt = 0; attempt < 3 && !calledBack; ++attempt) {
      client.Poll().wait();
      const int before = changes;
      ASSERT_TRUE(player.FireSessionEvent(event));
      calledBack = WaitUntil([&] { return changes > before; }, 2s);
    }
    EXPECT_TRUE(calledBack) << event;
  }
}

TEST(SessionClientTest, RequestsReachTheSessionOnceAndInOrderAndAHungOneHoldsNoneBack) {
  DemoPlayer player(AsSession{Key.appId}, L"--entries 3 --paused");
  SessionClient client;
  ASSERT_TRUE(HasMedia(PollUntil(client, HasMedia)));
  ASSERT_TRUE(player.ClearLog());
  client.Act({Key, SessionCommand::Play});
  client.Act({Key, SessionCommand::ChangePosition, 60 * S});
  client.Act({Key, SessionCommand::Next});
  client.Act({Key, SessionCommand::Pause});
  client.Act({{L"Nobody.exe", 0}, SessionCommand::Stop});
  const std::vector<std::string> sent = {"session play", "session position 600000000",
                                         "session next", "session pause"};
  EXPECT_TRUE(WaitUntil([&] { return player.SessionRequests() == sent; }, 5s));

  // Requests whose operations never complete: each is given up after its bound, in order.
  ASSERT_TRUE(player.SessionAsync("requests", "never"));
  ASSERT_TRUE(player.ClearLog());
  client.Act({Key, SessionCommand::Stop});
  client.Act({Key, SessionCommand::Previous});
  client.Act({Key, SessionCommand::TogglePlayPause});
  const std::vector<std::string> hung = {"session stop", "session previous", "session toggle"};
  EXPECT_TRUE(WaitUntil([&] { return player.SessionRequests() == hung; }, 5s));
}

TEST(SessionClientTest, AnOperationThatNeverCompletesIsNoAnswerAndTheClientStillStops) {
  DemoPlayer player(AsSession{Key.appId}, L"--entries 3 --paused");
  ASSERT_TRUE(player.SessionAsync("properties", "never"));
  SessionClient client;
  const SessionsSnapshot snapshot =
      PollUntil(client, [](const SessionsSnapshot& s) { return s.sessions.size() == 1; });
  ASSERT_EQ(snapshot.sessions.size(), 1u);
  EXPECT_FALSE(snapshot.sessions[0].media);
  EXPECT_FALSE(snapshot.sessions[0].thumbnail);
  EXPECT_TRUE(snapshot.sessions[0].playback && snapshot.sessions[0].timeline);

  // Stopped in the middle of a poll that waits on such an operation.
  auto pending = client.Poll();
  PumpFor(50ms);
  EXPECT_TRUE(client.Stop());
  EXPECT_FALSE(client.Poll().get().available);
}

TEST(SessionClientTest, NoManagerOrOneThatNeverComesMeansNoSessions) {
  // Wine connects to the display at a process's first window call, which takes a second or two;
  // the screen saver has made it long before it asks for sessions.
  ::GetDesktopWindow();
  {
    const WithoutSessionManager none;
    ASSERT_TRUE(none.removed());
    const auto started = std::chrono::steady_clock::now();
    SessionClient client;
    auto first = client.Poll();
    ASSERT_EQ(first.wait_for(SessionClient::FirstPollBound), std::future_status::ready);
    const SessionsSnapshot snapshot = first.get();
    EXPECT_FALSE(snapshot.available);
    EXPECT_TRUE(snapshot.sessions.empty());
    client.Act({Key, SessionCommand::Play});
    EXPECT_EQ(client.Poll().wait_for(500ms), std::future_status::ready);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  }
  DemoPlayer player(AsSession{Key.appId});
  ASSERT_TRUE(player.SessionAsync("manager", "never"));
  {
    SessionClient stopped;  // while it waits for the manager
    PumpFor(100ms);
    EXPECT_TRUE(stopped.Stop());
  }
  SessionClient client;
  auto first = client.Poll();
  ASSERT_EQ(first.wait_for(SessionClient::FirstPollBound), std::future_status::ready);
  EXPECT_FALSE(first.get().available);
}

}  // namespace
}  // namespace tokalux::e2e
