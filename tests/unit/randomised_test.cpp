// The pure logic over random player answers, captions and buffers (seeded, so a failure repeats).
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "fakes.h"
#include "player/player_source.h"
#include "player/title_text.h"
#include "remote/click_arithmetic.h"
#include "remote/status_poll.h"

namespace tokalux {
namespace {

using testing::FakePlayer;
using testing::FakeScreen;

class Randomised : public ::testing::Test {
 protected:
  // Mostly the int32 edges, sometimes any value.
  int32_t Answer() {
    static constexpr int32_t edges[] = {0,      1,  -1, 32767,     -32767,    32768,
                                        -32768, 14, 15, INT32_MIN, INT32_MAX, 7};
    if (rng() % 3 == 0) return static_cast<int32_t>(rng());
    return edges[rng() % std::size(edges)];
  }
  std::string Bytes(std::size_t maxSize) {
    std::string bytes(rng() % (maxSize + 1), '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 4 == 0 ? "- Winamp"[rng() % 8] : rng());
    return bytes;
  }

  std::mt19937 rng{20261207};
};

TEST_F(Randomised, PollKeepsItsInvariantsOverAnyAnswers) {
  testing::PlayerOnScreen wired;
  auto& [player, queue, source, screen, shared, poll] = wired;
  for (int round = 0; round < 3000; ++round) {
    const int16_t previousLength = shared.listLength;
    for (int32_t number : {RequestPlayTime, RequestStreamInfo}) {
      for (int32_t argument : {0, 1, 2}) player.Set(number, argument, Answer());
    }
    const int32_t length = Answer();
    const int32_t position = Answer();
    player.SetPlaylist(length, position);
    shared.seekInProgress = rng() % 4 == 0;
    player.titleReads.clear();
    poll.Tick(std::chrono::milliseconds(0));

    const bool lengthFits = length >= -32768 && length <= 32767;
    EXPECT_EQ(shared.listLength, lengthFits ? length : previousLength);
    const auto current = screen.CurrentLines();
    ASSERT_LE(current.size(), 1u);
    ASSERT_LE(player.titleReads.size(), 15u);
    if (!current.empty()) {
      // The line marked current shows the current entry.
      EXPECT_TRUE(
          screen.Line(current[0]).starts_with(std::to_wstring(shared.listPosition) + L" . "));
    }
    // Lines are filled from the top, the rest are empty.
    const auto filled = player.titleReads.size();
    for (int line = 1; line <= 15; ++line) {
      EXPECT_EQ(screen.Line(line).empty(), static_cast<std::size_t>(line) > filled) << line;
    }
    // Every filled line's number is a valid click target for that very entry.
    for (std::size_t i = 0; i < filled; ++i) {
      EXPECT_EQ(PlaylistLineIndex(screen.Line(static_cast<int>(i) + 1)), player.titleReads[i] - 1);
    }
  }
}

TEST_F(Randomised, ByteReadersOverRandomCaptionsAndBuffers) {
  for (int round = 0; round < 20000; ++round) {
    // The caption rule on characters: a prefix that stops right before the first marker.
    const std::string caption = Bytes(300);
    std::u16string wideCaption;
    for (const char c : caption) wideCaption.push_back(static_cast<unsigned char>(c));
    const std::u16string_view title = SongTitleChars(wideCaption);
    ASSERT_EQ(wideCaption.compare(0, title.size(), title), 0);
    const std::size_t marker = caption.find(PlayerCaptionMarker);
    ASSERT_EQ(title.size(), marker == std::string::npos ? 0 : marker);

    const std::string buffer = Bytes(TitleBufferSize);
    const std::string_view entry = TitleFromBuffer(buffer);
    ASSERT_EQ(entry.find('\0'), std::string_view::npos);
    ASSERT_EQ(entry.size(), std::min(buffer.find('\0'), buffer.size()));

    // A UTF-16 title is a prefix of the units read, without a zero, at most 256 characters.
    const std::string wideBuffer = Bytes(Utf16TitleBufferSize + 100);
    const std::u16string wideEntry = Utf16TitleFromBytes(wideBuffer);
    const std::u16string units = DecodeUtf16Le(wideBuffer.substr(0, Utf16TitleBufferSize));
    ASSERT_LE(wideEntry.size(), Utf16TitleMaxChars);
    ASSERT_EQ(wideEntry.find(u'\0'), std::u16string::npos);
    ASSERT_EQ(units.compare(0, wideEntry.size(), wideEntry), 0);
  }
}

TEST_F(Randomised, ClickArithmeticOverRandomCaptionsAndSixteenBitValues) {
  for (int round = 0; round < 20000; ++round) {
    const auto length = static_cast<int16_t>(rng());
    const auto position = static_cast<int16_t>(rng());
    for (const PlaylistButton button :
         {PlaylistButton::Begin, PlaylistButton::Minus10, PlaylistButton::Middle,
          PlaylistButton::Plus10, PlaylistButton::End}) {
      const auto index = PlaylistButtonIndex(button, length, position);
      if (index) {
        ASSERT_TRUE(*index >= -32768 && *index <= 32767);
      }
    }
    // A caption as the poll writes it always gives back its entry.
    const auto entry = static_cast<int16_t>(rng());
    const std::string noise = Bytes(40);
    const std::wstring caption =
        std::to_wstring(entry) + L" . " + std::wstring(noise.begin(), noise.end());
    ASSERT_EQ(PlaylistLineIndex(caption), entry - 1);
    // Anything else gives a defined answer.
    const std::string junk = Bytes(20);
    (void)PlaylistLineIndex(std::wstring(junk.begin(), junk.end()));
  }
}

}  // namespace
}  // namespace tokalux
