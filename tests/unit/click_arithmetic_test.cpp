#include "remote/click_arithmetic.h"

#include <gtest/gtest.h>

#include "player/player_source.h"
#include "remote/volume_scale.h"
#include "screen/command_line.h"

namespace tokalux {
namespace {

using enum PlaylistButton;

TEST(PlaylistButtonIndex, ComputesFromTheLastPoll) {
  EXPECT_EQ(PlaylistButtonIndex(Begin, 50, 20), 0);
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 50, 20), 9);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 50, 20), 29);
  EXPECT_EQ(PlaylistButtonIndex(End, 50, 1), 49);
}

TEST(PlaylistButtonIndex, JumpsStayInTheList) {
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 40, 5), 0);
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 40, 11), 0);
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 40, 12), 1);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 40, 35), 39);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 40, 30), 39);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 40, 29), 38);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 1, 1), 0);
  // A position the list does not hold still lands in it.
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 40, 60), 39);
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 40, -20), 0);
  // The extremes of the 16-bit values cannot overflow.
  EXPECT_EQ(PlaylistButtonIndex(Plus10, 32767, 32767), 32766);
  EXPECT_EQ(PlaylistButtonIndex(Minus10, 32767, -32768), 0);
  EXPECT_EQ(PlaylistButtonIndex(End, 32767, 0), 32766);
}

TEST(PlaylistButtonIndex, AnEmptyListOnlyGoesToTheBeginning) {
  for (const int16_t length : std::initializer_list<int16_t>{0, -1, -32768}) {
    EXPECT_EQ(PlaylistButtonIndex(Begin, length, 0), 0);
    EXPECT_EQ(PlaylistButtonIndex(End, length, 0), std::nullopt) << length;
    EXPECT_EQ(PlaylistButtonIndex(Middle, length, 0), std::nullopt) << length;
    EXPECT_EQ(PlaylistButtonIndex(Minus10, length, 1), std::nullopt) << length;
    EXPECT_EQ(PlaylistButtonIndex(Plus10, length, 1), std::nullopt) << length;
  }
}

TEST(PlaylistButtonIndex, MiddleRoundsHalvesToEven) {
  EXPECT_EQ(PlaylistButtonIndex(Middle, 5, 1), 2);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 7, 1), 4);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 1, 1), 0);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 2, 1), 1);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 3, 1), 2);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 100, 1), 50);
  EXPECT_EQ(PlaylistButtonIndex(Middle, 32767, 1), 16384);
}

TEST(VolumeScale, StepsMatchTheVolumeTableAndEveryVolumeShowsOnItsNearestStep) {
  const int32_t expected[] = {0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255};
  for (int32_t position = 0; position <= 10; ++position) {
    EXPECT_EQ(VolumeForPosition(position), expected[position]) << position;
    EXPECT_EQ(PositionForVolume(expected[position]), position) << position;
  }
  // Between the steps: the nearest one (no whole volume lies exactly halfway).
  const std::pair<int32_t, int32_t> between[] = {{12, 0},  {13, 1},  {38, 1},  {39, 2},  {200, 8},
                                                 {115, 5}, {114, 4}, {242, 9}, {243, 10}};
  for (const auto& [volume, position] : between) EXPECT_EQ(PositionForVolume(volume), position);
  for (const int32_t outside : {-1, 256, -666, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(PositionForVolume(outside), std::nullopt) << outside;
  }
}

TEST(SeekMilliseconds, WholeSecondsToMillisecondsWithoutOverflow) {
  EXPECT_EQ(SeekMilliseconds(95), 95'000);
  EXPECT_EQ(SeekMilliseconds(0), 0);
  EXPECT_EQ(SeekMilliseconds(2'147'483), 2'147'483'000);
  EXPECT_EQ(SeekMilliseconds(2'147'484), std::nullopt);
  EXPECT_EQ(SeekMilliseconds(-2'147'483), -2'147'483'000);
  EXPECT_EQ(SeekMilliseconds(INT32_MIN), std::nullopt);
}

TEST(PlaylistLineIndex, TakesTheNumberBeforeTheFirstDot) {
  EXPECT_EQ(PlaylistLineIndex(L"12 . Intro"), 11);
  EXPECT_EQ(PlaylistLineIndex(L"1 . A. B. C."), 0);
  EXPECT_EQ(PlaylistLineIndex(L"32767 . x"), 32766);
  EXPECT_EQ(PlaylistLineIndex(L"-3 . x"), -4);
  EXPECT_EQ(PlaylistLineIndex(L"0 . x"), -1);
  EXPECT_EQ(PlaylistLineIndex(L"7."), 6);
}

TEST(PlaylistLineIndex, NoNumberMeansNothingToDo) {
  EXPECT_EQ(PlaylistLineIndex(L""), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L"no dot here"), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L" . title"), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L"abc . title"), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L"- . title"), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L"99999999999 . title"), std::nullopt);
  EXPECT_EQ(PlaylistLineIndex(L"1 2 . title"), std::nullopt);
}

TEST(ParseStartMode, OnlyTheFirstTwoCharactersCount) {
  EXPECT_EQ(ParseStartMode(L"/C"), StartMode::Configure);
  EXPECT_EQ(ParseStartMode(L"/c"), StartMode::Configure);
  EXPECT_EQ(ParseStartMode(L"-C"), StartMode::Configure);
  EXPECT_EQ(ParseStartMode(L"/c:1234"), StartMode::Configure);
  EXPECT_EQ(ParseStartMode(L"/P 5678"), StartMode::Preview);
  EXPECT_EQ(ParseStartMode(L"-p"), StartMode::Preview);
  EXPECT_EQ(ParseStartMode(L"/S"), StartMode::Run);
  EXPECT_EQ(ParseStartMode(L""), StartMode::Run);
  EXPECT_EQ(ParseStartMode(L"/"), StartMode::Run);
  EXPECT_EQ(ParseStartMode(L"hello"), StartMode::Run);
  EXPECT_EQ(ParseStartMode(L"C/"), StartMode::Run);
  EXPECT_EQ(ParseStartMode(L"  /p"), StartMode::Preview);
}

}  // namespace
}  // namespace tokalux
