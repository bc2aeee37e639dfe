// The demo player's pure state: its clock, commands, requests, answer overrides, control
// commands and command line, plus the slot bookkeeping of its title memory.
#include "demo_state.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "demo_options.h"
#include "demo_text.h"
#include "player/player_messages.h"
#include "session_view.h"
#include "title_slots.h"

namespace tokalux::demo {
namespace {

struct StoredTitle {
  std::string ansi;
  std::u16string utf16;
  TitlePlacement placement;
  bool operator==(const StoredTitle&) const = default;
};

// Remembers what was stored; entry i's titles live at made-up addresses. Its code page is
// Latin-1 (the first 256 characters are the bytes, anything else becomes '?'), except that byte
// 0x81 is no character of it and widens to U+FFFD.
class FakeTitleStore final : public TitleStore {
 public:
  explicit FakeTitleStore(uint64_t base = 0x10000) : base_(base) {}
  void Clear() override {
    titles.clear();
    ++clears;
  }
  bool Store(std::size_t index, std::string_view ansi, std::u16string_view utf16,
             TitlePlacement placement) override {
    if (refuse) return false;
    titles[index] = {std::string(ansi), std::u16string(utf16), placement};
    return true;
  }
  uint64_t Address(std::size_t index) const override {
    return titles.count(index) ? base_ + index * 0x100 : 0;
  }
  uint64_t Utf16Address(std::size_t index) const override {
    return titles.count(index) ? 2 * base_ + index * 0x200 : 0;
  }
  std::string ToAnsi(std::u16string_view text) const override {
    std::string bytes;
    for (const char16_t c : text) bytes.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return bytes;
  }
  std::u16string FromAnsi(std::string_view bytes) const override {
    std::u16string text;
    for (const char c : bytes)
      text.push_back(c == '\x81' ? u'\uFFFD' : static_cast<unsigned char>(c));
    return text;
  }

  std::map<std::size_t, StoredTitle> titles;
  int clears = 0;
  bool refuse = false;

 private:
  uint64_t base_;
};

Entry Track(const std::u16string& title, int32_t lengthS, StreamDetails stream = {}) {
  return Entry{title, lengthS, stream, {}, {}, {}};
}

class DemoStateTest : public ::testing::Test {
 protected:
  DemoStateTest() {
    state.SetPlaylist(
        {Track(u"One", 10, {44, 128, 2}), Track(u"Two", 20, {48, 320, 1}), Track(u"Three", 30)});
  }

  int64_t Ask(int32_t number, int32_t argument = 0) { return state.Request(number, argument); }
  bool Control(std::string_view command) { return state.Control(command).accepted; }

  // Everything a client can observe, to check that a rejected command changed nothing.
  std::u16string Snapshot() {
    const auto number = [](int64_t value) {
      const std::string digits = std::to_string(value);
      return std::u16string(digits.begin(), digits.end());
    };
    std::u16string text = state.Caption() + u"|" + number(state.position()) + u"|" +
                          number(state.loaded()) + u"|" + number(state.scrolling()) + u"|" +
                          number(static_cast<int>(state.state())) + u"|" +
                          number(state.elapsedMs()) + u"|" + number(state.volume()) + u"|" +
                          number(state.clockRunning()) + u"|" + number(state.oldPlayer()) + u"|" +
                          number(state.slowMs());
    for (const Entry& entry : state.playlist()) {
      text += u"|" + entry.title + u"/" + store.FromAnsi(entry.ansiTitle) + u"/" +
              number(entry.lengthS) + u"/" + number(entry.stream.sampleRateKhz);
    }
    for (const int32_t request : {104, 105, 124, 125, 126, 211, 212, 213, 214}) {
      text += u"|" + number(state.Request(request, 1));
    }
    return text;
  }

  FakeTitleStore store;
  FakeTitleStore paths{0x100000};
  DemoState state{store, paths};
};

TEST_F(DemoStateTest, ClockRunsOnlyWhilePlayingAndNotFrozen) {
  state.AdvanceClock(1500);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 1500);
  state.Command(CommandPause);
  state.AdvanceClock(1000);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 1500);
  state.Command(CommandPause);  // toggles back
  ASSERT_TRUE(Control("clock off"));
  state.AdvanceClock(1000);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 1500);
  ASSERT_TRUE(Control("clock on"));
  state.AdvanceClock(-50);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 1500);
  state.Command(CommandStop);
  state.AdvanceClock(1000);
  EXPECT_EQ(Ask(RequestPlayTime, 0), -1);
  EXPECT_EQ(state.elapsedMs(), 0);
  EXPECT_EQ(state.state(), PlayState::Stopped);
}

TEST_F(DemoStateTest, ClockMovesOnAtTrackEndCarryingTheRestAndStopsAfterTheLast) {
  state.AdvanceClock(10'000);  // exactly the end of "One"
  EXPECT_EQ(state.position(), 1u);
  EXPECT_EQ(state.loaded(), 1u);
  EXPECT_EQ(state.elapsedMs(), 0);
  state.AdvanceClock(20'250);
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.elapsedMs(), 250);
  state.AdvanceClock(29'800);  // past the last entry: the player stops there
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.state(), PlayState::Stopped);
  EXPECT_EQ(Ask(RequestPlayTime, 0), -1);
  EXPECT_EQ(state.Caption(), u"3. Three - Winamp [Stopped]");
}

TEST_F(DemoStateTest, ClockSurvivesHugeLeapsZeroLengthTracksAndStreams) {
  state.AdvanceClock(int64_t{1} << 60);
  EXPECT_EQ(state.state(), PlayState::Stopped);
  ASSERT_TRUE(Control("entries 3"));
  ASSERT_TRUE(Control("state playing"));
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(Control("position " + std::to_string(i)));
    ASSERT_TRUE(Control("tracklength 0"));
  }
  ASSERT_TRUE(Control("position 0"));
  state.AdvanceClock(100);  // every track is empty: must return, not spin
  EXPECT_EQ(state.elapsedMs(), 0);

  // A stream never ends, cannot seek, and has no length.
  ASSERT_TRUE(Control("position 1"));
  ASSERT_TRUE(Control("state playing"));
  ASSERT_TRUE(Control("tracklength -1"));
  state.AdvanceClock(int64_t{1} << 40);
  EXPECT_EQ(state.position(), 1u);
  EXPECT_EQ(Ask(RequestPlayTime, 1), -1);
  EXPECT_EQ(Ask(RequestSeek, 1000), -1);
  state.Command(CommandForward5s);
  EXPECT_EQ(state.state(), PlayState::Playing);
}

TEST_F(DemoStateTest, PreviousAndNextStopAtTheEnds) {
  state.AdvanceClock(3000);
  state.Command(CommandPrevious);  // at the first: the first again, from its start
  EXPECT_EQ(state.position(), 0u);
  EXPECT_EQ(state.elapsedMs(), 0);
  state.Command(CommandNext);
  state.Command(CommandNext);
  state.Command(CommandNext);
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.loaded(), 2u);
  state.Command(CommandPrevious);
  EXPECT_EQ(state.position(), 1u);
  state.Command(CommandStop);
  state.Command(CommandNext);  // stopped: only the list position moves
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.loaded(), 1u);
  EXPECT_EQ(state.state(), PlayState::Stopped);
  state.Command(12345);  // unknown: nothing happens
  EXPECT_EQ(state.position(), 2u);
}

TEST_F(DemoStateTest, PlayResumesAPausedSongAndOtherwisePlaysTheListPosition) {
  state.AdvanceClock(4000);
  state.Command(CommandPause);
  EXPECT_EQ(state.state(), PlayState::Paused);
  EXPECT_EQ(Ask(RequestPlayState), 3);
  // A jump while paused moves only the list position: Play then resumes the old song.
  EXPECT_EQ(Ask(RequestSetListPosition, 2), 0);
  EXPECT_EQ(Ask(RequestListPosition), 2);
  state.Command(CommandPlay);
  EXPECT_EQ(state.state(), PlayState::Playing);
  EXPECT_EQ(state.loaded(), 0u);
  EXPECT_EQ(state.elapsedMs(), 4000);
  EXPECT_EQ(state.Caption(), u"1. One - Winamp");
  // Playing, Play starts the entry at the list position.
  state.Command(CommandPlay);
  EXPECT_EQ(state.loaded(), 2u);
  EXPECT_EQ(state.elapsedMs(), 0);
  EXPECT_EQ(Ask(RequestPlayState), 1);
  // Stop, jump, Play: the jumped-to entry plays.
  state.Command(CommandStop);
  EXPECT_EQ(Ask(RequestPlayState), 0);
  state.Command(CommandPause);  // stopped stays stopped
  EXPECT_EQ(state.state(), PlayState::Stopped);
  Ask(RequestSetListPosition, 1);
  EXPECT_EQ(state.Command(CommandPlay), CommandOutcome::Done);
  EXPECT_EQ(state.loaded(), 1u);
  EXPECT_EQ(state.Caption(), u"2. Two - Winamp");
}

TEST_F(DemoStateTest, VolumeAndSkipsAreClamped) {
  ASSERT_TRUE(Control("volume 253"));
  state.Command(CommandVolumeUp);
  EXPECT_EQ(state.volume(), 255);
  ASSERT_TRUE(Control("volume 3"));
  state.Command(CommandVolumeDown);
  EXPECT_EQ(state.volume(), 0);
  state.Command(CommandVolumeUp);
  EXPECT_EQ(state.volume(), 4);

  state.AdvanceClock(3000);
  state.Command(CommandBack5s);
  EXPECT_EQ(state.elapsedMs(), 0);
  state.Command(CommandForward5s);
  state.Command(CommandForward5s);
  state.Command(CommandForward5s);
  EXPECT_EQ(state.elapsedMs(), 10'000);  // the end of the 10 s track, no further
  EXPECT_EQ(state.position(), 0u);
  state.Command(CommandStop);
  state.Command(CommandForward5s);  // nothing to skip in while stopped
  EXPECT_EQ(state.elapsedMs(), 0);
}

TEST_F(DemoStateTest, RequestsAnswerFromTheState) {
  state.AdvanceClock(1234);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 1234);
  EXPECT_EQ(Ask(RequestPlayTime, 1), 10);
  EXPECT_EQ(Ask(RequestPlayTime, 2), 1);  // no such mode: as a request the player does not know
  EXPECT_EQ(Ask(RequestPlayState), 1);
  EXPECT_EQ(Ask(RequestListLength), 3);
  EXPECT_EQ(Ask(RequestListPosition), 0);
  EXPECT_EQ(Ask(RequestStreamInfo, 0), 44);
  EXPECT_EQ(Ask(RequestStreamInfo, 1), 128);
  EXPECT_EQ(Ask(RequestStreamInfo, 2), 2);
  EXPECT_EQ(Ask(RequestStreamInfo, 3), 1);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 2), 0x10200);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 3), 0);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, -1), 0);
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, 2), 0x20400);
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, 3), 0);
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, -1), 0);
  EXPECT_EQ(Ask(RequestGetVolume, VolumeQueryArgument), 200);
  EXPECT_EQ(state.volume(), 200);  // asked, not set
  EXPECT_EQ(Ask(215, 0), 1);       // requests the player does not know answer 1
  EXPECT_EQ(Ask(0, 0), 1);
  // After Stop the times are unknown and the stream details stay the last song's.
  state.Command(CommandNext);
  state.Command(CommandStop);
  EXPECT_EQ(Ask(RequestPlayTime, 0), -1);
  EXPECT_EQ(Ask(RequestPlayTime, 1), -1);
  Ask(RequestSetListPosition, 0);
  EXPECT_EQ(Ask(RequestStreamInfo, 0), 48);
  EXPECT_EQ(Ask(RequestStreamInfo, 1), 320);
}

TEST_F(DemoStateTest, SettingRequestsChangeTheStateAndAnswerZero) {
  EXPECT_EQ(Ask(RequestSeek, 7000), 0);
  EXPECT_EQ(state.elapsedMs(), 7000);
  Ask(RequestSeek, 999'999);
  EXPECT_EQ(state.elapsedMs(), 10'000);
  Ask(RequestSeek, -5);
  EXPECT_EQ(state.elapsedMs(), 0);

  state.Command(CommandPause);
  Ask(RequestSeek, 3000);
  EXPECT_EQ(Ask(RequestSetListPosition, 2), 0);
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.loaded(), 0u);  // the list position only: playback is left alone
  EXPECT_EQ(state.elapsedMs(), 3000);
  EXPECT_EQ(state.state(), PlayState::Paused);
  EXPECT_EQ(Ask(RequestStreamInfo, 0), 44);
  Ask(RequestSetListPosition, 3);
  Ask(RequestSetListPosition, -1);
  EXPECT_EQ(state.position(), 2u);
  state.Command(CommandStop);
  EXPECT_EQ(Ask(RequestSeek, 1000), -1);

  EXPECT_EQ(Ask(RequestSetVolume, 300), 0);
  EXPECT_EQ(state.volume(), 255);
  Ask(RequestSetVolume, -1);
  EXPECT_EQ(state.volume(), 0);
  Ask(RequestSetVolume, 77);
  EXPECT_EQ(state.volume(), 77);
}

TEST_F(DemoStateTest, AnEmptyPlaylistSurvivesEveryCommandAndPlayOpensTheFileDialog) {
  ASSERT_TRUE(Control("entries 0"));
  for (const int32_t id :
       {CommandPrevious, CommandNext, CommandPause, CommandBack5s, CommandForward5s, CommandStop}) {
    EXPECT_EQ(state.Command(id), CommandOutcome::Done);
  }
  EXPECT_EQ(state.Command(CommandPlay), CommandOutcome::FileDialog);
  EXPECT_EQ(state.state(), PlayState::Stopped);
  state.AdvanceClock(5000);
  for (const int32_t argument : {-1, 0, 1, 2}) {
    for (const int32_t number : {104, 121, 124, 125, 212, 213}) {
      EXPECT_EQ(Ask(number, argument), 0) << number << " " << argument;
    }
  }
  EXPECT_EQ(Ask(RequestPlayTime, 0), -1);
  EXPECT_EQ(Ask(RequestPlayTime, 1), -1);
  EXPECT_EQ(Ask(RequestSeek, 100), -1);
  EXPECT_EQ(Ask(RequestStreamInfo, 0), 0);
  EXPECT_EQ(state.Caption(), u"Winamp 5.92");
  EXPECT_EQ(state.AnsiCaption(), "Winamp 5.92");
  EXPECT_FALSE(Control("position 0"));
  EXPECT_FALSE(Control("title 0 x"));
  EXPECT_FALSE(Control("stream 1 2 3"));
  EXPECT_FALSE(Control("time 0"));
}

// The README's table of answers says what the demo player's own tables do, row by row.
TEST(DemoAnswers, TheReadmeListsEveryRowOfTheAnswerTables) {
  std::ifstream file(std::string(TOKALUX_SOURCE_DIR) + "/README.md", std::ios::binary);
  ASSERT_TRUE(file);
  const std::string readme((std::istreambuf_iterator<char>(file)), {});
  for (const RequestRow& row : DemoState::Requests()) {
    const std::string argument = row.argument ? std::to_string(*row.argument) : "any";
    const std::string line = "| " + std::to_string(row.number) + " | " + argument + " | " +
                             std::string(row.answers) + " |\n";
    EXPECT_NE(readme.find(line), std::string::npos) << line;
  }
  for (const CommandRow& row : DemoState::Commands()) {
    const std::string line =
        "| " + std::to_string(row.identifier) + " | " + std::string(row.does) + " |\n";
    EXPECT_NE(readme.find(line), std::string::npos) << line;
  }
}

TEST(LowSigned32, TakesTheLowHalfOfAMessageArgumentAsSigned) {
  EXPECT_EQ(LowSigned32(0xFFFF'FFFF'FFFF'FFFFull), -1);  // sign-extended -1
  EXPECT_EQ(LowSigned32(0x0000'0000'FFFF'FFFFull), -1);
  EXPECT_EQ(LowSigned32(0x0000'0001'0000'0005ull), 5);
  EXPECT_EQ(LowSigned32(0x8000'0000ull), INT32_MIN);
}

TEST_F(DemoStateTest, AnswerOverridesReplaceTheAnswerButKeepTheEffect) {
  ASSERT_TRUE(Control("answer 105 1 -1"));
  ASSERT_TRUE(Control("answer 105 * 0x7FFFFFFF"));
  ASSERT_TRUE(Control("answer 124 0 0xFFFFFFFFFFFFFFFF"));
  ASSERT_TRUE(Control("answer 106 * 42"));
  ASSERT_TRUE(Control("answer 212 5 -0x10"));
  EXPECT_EQ(Ask(RequestPlayTime, 1), -1);  // the exact argument wins over *
  EXPECT_EQ(Ask(RequestPlayTime, 0), 0x7FFF'FFFF);
  EXPECT_EQ(Ask(RequestListLength, 0), -1);
  EXPECT_EQ(Ask(RequestListLength, 1), 3);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 5), -16);
  EXPECT_EQ(Ask(RequestSeek, 4000), 42);
  EXPECT_EQ(state.elapsedMs(), 4000);
  ASSERT_TRUE(Control("answer 105 0 -9223372036854775808"));
  EXPECT_EQ(Ask(RequestPlayTime, 0), INT64_MIN);
  ASSERT_TRUE(Control("answer clear"));
  EXPECT_EQ(Ask(RequestPlayTime, 1), 10);
  EXPECT_EQ(Ask(RequestListLength), 3);
}

TEST_F(DemoStateTest, RandomAnswersAreSeededAndOverridesStillWin) {
  ASSERT_TRUE(Control("random on 7"));
  std::vector<int64_t> first;
  for (int i = 0; i < 20; ++i) first.push_back(Ask(RequestEntryTitleAddress, 0));
  ASSERT_TRUE(Control("random on 7"));
  std::vector<int64_t> again;
  for (int i = 0; i < 20; ++i) again.push_back(Ask(RequestEntryTitleAddress, 0));
  EXPECT_EQ(first, again);
  EXPECT_GT(std::set<int64_t>(first.begin(), first.end()).size(), 15u);
  for (const int64_t value : first) {
    EXPECT_GE(value, INT32_MIN);
    EXPECT_LE(value, INT32_MAX);
  }
  ASSERT_TRUE(Control("answer 124 * 9"));
  EXPECT_EQ(Ask(RequestListLength), 9);
  ASSERT_TRUE(Control("random off"));
  ASSERT_TRUE(Control("answer clear"));
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 0), 0x10000);
}

TEST_F(DemoStateTest, CaptionFollowsTheLoadedEntryAndStateUnlessFixed) {
  EXPECT_EQ(state.Caption(), u"1. One - Winamp");
  uint64_t revision = state.captionRevision();
  state.Command(CommandVolumeUp);
  state.AdvanceClock(100);
  EXPECT_EQ(state.captionRevision(), revision);  // nothing the caption shows changed

  state.Command(CommandNext);
  EXPECT_EQ(state.Caption(), u"2. Two - Winamp");
  EXPECT_NE(state.captionRevision(), revision);
  revision = state.captionRevision();
  ASSERT_TRUE(Control("title 1 Second"));
  EXPECT_EQ(state.Caption(), u"2. Second - Winamp");
  EXPECT_NE(state.captionRevision(), revision);
  state.Command(CommandPause);
  EXPECT_EQ(state.Caption(), u"2. Second - Winamp [Paused]");
  Ask(RequestSetListPosition, 2);  // the loaded song is still the one shown
  EXPECT_EQ(state.Caption(), u"2. Second - Winamp [Paused]");
  state.Command(CommandStop);  // stopped: the entry Play would start
  EXPECT_EQ(state.Caption(), u"3. Three - Winamp [Stopped]");

  ASSERT_TRUE(Control("caption No marker here"));
  EXPECT_EQ(state.Caption(), u"No marker here");
  state.Command(CommandNext);
  EXPECT_EQ(state.Caption(), u"No marker here");
  ASSERT_TRUE(Control("caption auto"));
  EXPECT_EQ(state.Caption(), u"3. Three - Winamp [Stopped]");
}

TEST_F(DemoStateTest, AScrollingCaptionTurnsByOneCharacterEveryStep) {
  ASSERT_TRUE(Control("scroll on"));
  const std::u16string whole = u"1. One - Winamp *** ";
  EXPECT_EQ(state.Caption(), whole);
  uint64_t revision = state.captionRevision();
  state.AdvanceClock(ScrollStepMs - 1);
  EXPECT_EQ(state.captionRevision(), revision);
  state.AdvanceClock(1);
  EXPECT_EQ(state.Caption(), whole.substr(1) + whole.substr(0, 1));
  EXPECT_NE(state.captionRevision(), revision);
  state.Command(CommandPause);  // it scrolls while paused too, with the state in it
  state.AdvanceClock(3 * ScrollStepMs);
  EXPECT_EQ(state.Caption(), u"ne - Winamp [Paused] *** 1. O");
  ASSERT_TRUE(Control("old on"));
  EXPECT_EQ(state.AnsiCaption(), "1. One - Winamp [Paused] *** ");
  ASSERT_TRUE(Control("scroll off"));
  EXPECT_EQ(state.AnsiCaption(), "1. One - Winamp [Paused]");
}

TEST_F(DemoStateTest, TheCaptionInUtf16AndAsAnOldPlayerShowsIt) {
  ASSERT_TRUE(Control("title 0 Καλημέρα \xC3\xA9t\xC3\xA9"));
  EXPECT_EQ(state.Caption(), u"1. Καλημέρα été - Winamp");
  EXPECT_EQ(state.AnsiCaption(), "1. ???????? \xE9t\xE9 - Winamp");
  // Raw bytes stay the old player's caption byte for byte, even where widening loses them.
  ASSERT_TRUE(Control("titlebytes 0 41FF81"));
  EXPECT_EQ(state.AnsiCaption(), "1. A\xFF\x81 - Winamp");
  EXPECT_EQ(state.Caption(), u"1. A\u00FF\uFFFD - Winamp");
  ASSERT_TRUE(Control("caption Ж - Winamp"));
  EXPECT_EQ(state.Caption(), u"Ж - Winamp");
  EXPECT_EQ(state.AnsiCaption(), "? - Winamp");

  const uint64_t revision = state.captionRevision();
  ASSERT_TRUE(Control("old on"));
  EXPECT_TRUE(state.oldPlayer());
  EXPECT_NE(state.captionRevision(), revision);  // shown again, now in ANSI
  ASSERT_TRUE(Control("old off"));
  EXPECT_FALSE(state.oldPlayer());
}

TEST_F(DemoStateTest, AnOldPlayerDoesNotKnowTheUtf16TitleRequest) {
  ASSERT_TRUE(Control("old on"));
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, 0), 1);
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, 2), 1);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 2), 0x10200);  // the ANSI titles stay
  ASSERT_TRUE(Control("old off"));
  EXPECT_EQ(Ask(RequestEntryTitleAddressUtf16, 2), 0x20400);
}

TEST_F(DemoStateTest, TitleCommandsStoreTheTextInBothForms) {
  // UTF-8 after unescaping; the ANSI form is the store's code-page conversion.
  ASSERT_TRUE(Control("title 0 Caf\\xC3\\xA9 \\\\ Ёж  two spaces "));
  EXPECT_EQ(store.titles[0], (StoredTitle{"Caf\xE9 \\ ??  two spaces ", u"Café \\ Ёж  two spaces ",
                                          TitlePlacement::Packed}));
  EXPECT_EQ(state.playlist()[0].title, u"Café \\ Ёж  two spaces ");
  EXPECT_EQ(state.playlist()[0].ansiTitle, "Caf\xE9 \\ ??  two spaces ");

  ASSERT_TRUE(Control("title 1 "));  // an empty title
  EXPECT_EQ(store.titles[1], (StoredTitle{"", u"", TitlePlacement::Packed}));
  // Raw bytes are the ANSI form as given; the UTF-16 form is them widened.
  ASSERT_TRUE(Control("titlebytes 2 41ff00"));
  EXPECT_EQ(store.titles[2].ansi, std::string("A\xFF\0", 3));
  EXPECT_EQ(store.titles[2].utf16, std::u16string(u"A\u00FF\0", 3));
  ASSERT_TRUE(Control("titlebytes 2 " + std::string(512, 'a')));
  EXPECT_EQ(store.titles[2].ansi, std::string(256, '\xAA'));
  ASSERT_TRUE(Control("titleatpageend 1 Edge"));
  EXPECT_EQ(store.titles[1], (StoredTitle{"Edge", u"Edge", TitlePlacement::AtPageEnd}));
  ASSERT_TRUE(Control("titleodd 2 日本"));
  EXPECT_EQ(store.titles[2], (StoredTitle{"??", u"日本", TitlePlacement::Utf16AtOddAddress}));

  store.refuse = true;  // no memory: the command fails and the old title stays
  EXPECT_FALSE(Control("title 1 Lost"));
  EXPECT_EQ(state.playlist()[1].title, u"Edge");
}

// Each entry has a file, kept like its title; an old player knows only the ANSI request.
TEST_F(DemoStateTest, EntryPathsAreKeptLikeTitles) {
  ASSERT_TRUE(Control("path 1 D:\\\\Музыка\\\\Two.flac"));
  EXPECT_EQ(paths.titles[1],
            (StoredTitle{"D:\\??????\\Two.flac", u"D:\\Музыка\\Two.flac", TitlePlacement::Packed}));
  EXPECT_EQ(Ask(RequestEntryPathAddressUtf16, 1), 0x200200);
  EXPECT_EQ(Ask(RequestEntryPathAddress, 1), 0x100100);
  EXPECT_EQ(Ask(RequestEntryPathAddressUtf16, 3), 0);
  ASSERT_TRUE(Control("old on"));
  EXPECT_EQ(Ask(RequestEntryPathAddressUtf16, 1), 1);
  EXPECT_EQ(Ask(RequestEntryPathAddress, 1), 0x100100);
  EXPECT_FALSE(Control("path 3 x"));
  EXPECT_FALSE(Control("path 1 " + std::string(MaxPathBytes + 1, 'x')));

  ASSERT_TRUE(Control("entries 2"));  // a generated list: a library's file for each entry
  EXPECT_EQ(paths.titles[1].utf16,
            u"C:\\Music\\Mara Lindqvist\\2 Mara Lindqvist - Midnight Gardens.mp3");
  const auto listed = ParsePlaylist("Radio\t-1\thttp://radio.example/stream\nSong\t\tC:\\a.mp3\n");
  ASSERT_TRUE(listed);
  EXPECT_EQ((*listed)[0].path, u"http://radio.example/stream");
  EXPECT_EQ((*listed)[0].lengthS, StreamLengthS);
  EXPECT_EQ((*listed)[1].path, u"C:\\a.mp3");
  EXPECT_GT((*listed)[1].lengthS, 0);
}

TEST(DecodeUtf8, DecodesEveryScriptAndEachBadByteAsOneReplacement) {
  EXPECT_EQ(DecodeUtf8("Abc Ωμέγα Жук 東京 \xF0\x9F\x8E\xB5"), u"Abc Ωμέγα Жук 東京 \U0001F3B5");
  EXPECT_EQ(DecodeUtf8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(DecodeUtf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
  EXPECT_EQ(DecodeUtf8("\xEF\xBF\xBD"), u"\uFFFD");
  // Stray continuation bytes, a lone lead byte, and bytes no UTF-8 uses.
  EXPECT_EQ(DecodeUtf8("Caf\xE9"), u"Caf\uFFFD");
  EXPECT_EQ(DecodeUtf8("\x80\xBFx\xFE\xFF"), u"\uFFFD\uFFFDx\uFFFD\uFFFD");
  // A sequence cut short, at the end or by another character: one replacement per byte.
  EXPECT_EQ(DecodeUtf8("\xE2\x82"), u"\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xE2\x82x"), u"\uFFFD\uFFFDx");
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x8E"), u"\uFFFD\uFFFD\uFFFD");
  // Overlong forms, surrogates and values above U+10FFFF are not characters.
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xF0\x8F\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8(""), u"");
}

TEST(EncodeUtf8, EncodesEveryScriptAndAnUnpairedSurrogateAsOneReplacement) {
  EXPECT_EQ(EncodeUtf8(u"Abc Ωμέγα Жук 東京 \U0001F3B5 \U0010FFFF"),
            "Abc Ωμέγα Жук 東京 \xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF");
  EXPECT_EQ(EncodeUtf8(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(EncodeUtf8(u"x\xD83Cy\xDFB5"), "x\uFFFDy\uFFFD");
  EXPECT_EQ(EncodeUtf8(u"\xD83C"), "\uFFFD");
}

TEST_F(DemoStateTest, OtherControlCommandsApply) {
  ASSERT_TRUE(Control("position 2"));
  EXPECT_EQ(state.position(), 2u);
  EXPECT_EQ(state.loaded(), 2u);
  ASSERT_TRUE(Control("time 12345"));
  EXPECT_EQ(Ask(RequestPlayTime, 0), 12345);
  ASSERT_TRUE(Control("tracklength 5"));
  EXPECT_EQ(Ask(RequestPlayTime, 1), 5);
  EXPECT_EQ(Ask(RequestPlayTime, 0), 5000);  // cut to the shorter track
  ASSERT_TRUE(Control("stream 22 -1 6"));
  EXPECT_EQ(Ask(RequestStreamInfo, 1), -1);
  ASSERT_TRUE(Control("state paused"));
  EXPECT_EQ(state.state(), PlayState::Paused);
  ASSERT_TRUE(Control("state stopped"));
  EXPECT_EQ(state.elapsedMs(), 0);
  ASSERT_TRUE(Control("state playing"));
  ASSERT_TRUE(Control("scroll on"));
  EXPECT_TRUE(state.scrolling());
  ASSERT_TRUE(Control("volume 0"));
  ASSERT_TRUE(Control("  volume   255  "));
  EXPECT_EQ(state.volume(), 255);

  EXPECT_EQ(state.Control("hang 250").action, ShellAction::Hang);
  EXPECT_EQ(state.Control("hang 250").hangMs, 250);
  EXPECT_EQ(state.Control("hang 300 next").action, ShellAction::HangAtNextMessage);
  EXPECT_EQ(state.Control("hang 300 next").hangMs, 300);
  // Slow answers stay on, for every command and request, until "slow 0".
  EXPECT_EQ(state.slowMs(), 0);
  EXPECT_EQ(state.Control("slow 200").action, ShellAction::None);
  EXPECT_EQ(state.slowMs(), 200);
  ASSERT_TRUE(Control("slow 0"));
  EXPECT_EQ(state.slowMs(), 0);
  EXPECT_EQ(state.Control("vanish").action, ShellAction::Vanish);
  EXPECT_EQ(state.Control("die").action, ShellAction::Die);
  EXPECT_EQ(state.Control("log clear").action, ShellAction::ClearLog);
  EXPECT_EQ(state.Control("volume 3").action, ShellAction::None);
}

TEST_F(DemoStateTest, MalformedControlCommandsAreRejectedAndChangeNothing) {
  ASSERT_TRUE(Control("position 1"));
  ASSERT_TRUE(Control("time 3000"));
  ASSERT_TRUE(Control("slow 100"));
  const std::u16string before = Snapshot();
  const std::vector<std::string> malformed = {"",
                                              " ",
                                              "Position 1",
                                              "nonsense",
                                              "entries",
                                              "entries -1",
                                              "entries 1x",
                                              "entries 100001",
                                              "entries 99999999999999999999",
                                              "position 3",
                                              "position -1",
                                              "position 1 2",
                                              "position",
                                              "title 3 x",
                                              "title x y",
                                              "title 1",
                                              "title 1 bad\\q",
                                              "title 1 \\x4",
                                              "title 1 end\\",
                                              "titlebytes 1 ABC",
                                              "titlebytes 1 zz",
                                              "titleatpageend 9 x",
                                              "titleodd 3 x",
                                              "titleodd 1",
                                              "old",
                                              "old maybe",
                                              "old on now",
                                              "time -1",
                                              "time 20001",
                                              "time 1.5",
                                              "tracklength -2",
                                              "scroll",
                                              "scroll up",
                                              "tracklength 2147484",
                                              "volume 256",
                                              "volume -1",
                                              "state running",
                                              "state",
                                              "state playing now",
                                              "stream 44 192",
                                              "stream 44 192 2 1",
                                              "stream a b c",
                                              "clock maybe",
                                              "clock",
                                              "answer",
                                              "answer 105",
                                              "answer 105 0",
                                              "answer 105 x 1",
                                              "answer 105 0 0x",
                                              "answer 105 0 12a",
                                              "answer 105 0 --1",
                                              "answer 105 0 0x1FFFFFFFFFFFFFFFF",
                                              "answer clear now",
                                              "random on x",
                                              "random sometimes",
                                              "random off 3",
                                              "hang -5",
                                              "hang 600001",
                                              "hang",
                                              "hang 300 later",
                                              "hang 300 next 1",
                                              "slow",
                                              "slow -1",
                                              "slow 600001",
                                              "slow 200 next",
                                              "vanish now",
                                              "die 1",
                                              "log",
                                              "log flush",
                                              "playlist",
                                              "playlist C:\\no\\such\\file.txt",
                                              "caption \\z",
                                              "caption",
                                              std::string("volume 3\0", 9)};
  for (const std::string& command : malformed) {
    EXPECT_FALSE(Control(command)) << '"' << command << '"';
    EXPECT_EQ(Snapshot(), before) << '"' << command << '"';
  }
}

TEST_F(DemoStateTest, GeneratedPlaylistsReplaceTheTitleMemory) {
  ASSERT_TRUE(Control("position 2"));
  ASSERT_TRUE(Control("entries 10000"));
  EXPECT_EQ(Ask(RequestListLength), 10000);
  EXPECT_EQ(state.position(), 0u);
  EXPECT_EQ(store.titles.size(), 10000u);
  EXPECT_NE(Ask(RequestEntryTitleAddress, 9999), 0);
  ASSERT_TRUE(Control("entries 5"));
  EXPECT_EQ(store.titles.size(), 5u);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 5), 0);
  EXPECT_EQ(Ask(RequestEntryTitleAddress, 9999), 0);
}

TEST(GeneratedPlaylist, IsVariedAndRepeatable) {
  const auto entries = GeneratedPlaylist(1000);
  ASSERT_EQ(entries.size(), 1000u);
  std::set<std::string> titles;
  std::set<int32_t> lengths, rates, bitRates, channels;
  for (const Entry& entry : entries) {
    titles.insert(std::string(entry.title.begin(), entry.title.end()));
    lengths.insert(entry.lengthS);
    rates.insert(entry.stream.sampleRateKhz);
    bitRates.insert(entry.stream.bitRateKbps);
    channels.insert(entry.stream.channels);
    EXPECT_NE(entry.title.find(u" - "), std::u16string::npos);
    EXPECT_GT(entry.lengthS, 0);
  }
  EXPECT_EQ(titles.size(), 1000u);
  EXPECT_GT(lengths.size(), 100u);
  EXPECT_GT(rates.size(), 2u);
  EXPECT_GT(bitRates.size(), 3u);
  EXPECT_EQ(channels.size(), 2u);
  EXPECT_EQ(GeneratedPlaylist(1000)[517].title, entries[517].title);
}

TEST(ParsePlaylist, TitlesWithOptionalLengths) {
  const auto entries = ParsePlaylist("First\t125\r\n\nВторая\nThird\t0\n\r\n");
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 3u);
  EXPECT_EQ((*entries)[0].title, u"First");
  EXPECT_EQ((*entries)[0].lengthS, 125);
  EXPECT_EQ((*entries)[1].title, u"Вторая");
  EXPECT_GT((*entries)[1].lengthS, 0);
  EXPECT_EQ((*entries)[2].lengthS, 0);
  EXPECT_EQ(ParsePlaylist("")->size(), 0u);
  EXPECT_FALSE(ParsePlaylist("Song\tlong\n"));
  EXPECT_FALSE(ParsePlaylist("Song\t-3\n"));
  EXPECT_EQ((*ParsePlaylist("Radio\t-1\n"))[0].lengthS, StreamLengthS);
  EXPECT_FALSE(ParsePlaylist("Song\t\n"));
}

TEST_F(DemoStateTest, PlaylistFileLoadsOrChangesNothing) {
  const std::string path = ::testing::TempDir() + "demo_state_test_playlist.txt";
  {
    std::ofstream file(path, std::ios::binary);
    file << "Άλφα\t61\nBeta\n";
  }
  ASSERT_TRUE(Control("playlist " + path));
  EXPECT_EQ(Ask(RequestListLength), 2);
  EXPECT_EQ(state.Caption(), u"1. Άλφα - Winamp");
  EXPECT_EQ(store.titles[0], (StoredTitle{"????", u"Άλφα", TitlePlacement::Packed}));
  EXPECT_EQ(Ask(RequestPlayTime, 1), 61);
  {
    std::ofstream file(path, std::ios::binary);
    file << "Gamma\tbad\n";
  }
  EXPECT_FALSE(Control("playlist " + path));
  EXPECT_EQ(Ask(RequestListLength), 2);
  std::remove(path.c_str());
}

TEST(SlotArena, ReusesFreedSlotsBeforeGrowing) {
  SlotArena arena(1 << 20);
  const auto a = arena.Allocate(5);
  const auto b = arena.Allocate(17);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->size, 16u);
  EXPECT_EQ(b->size, 32u);
  EXPECT_EQ(b->offset, 16u);
  arena.Free(*a);
  const auto c = arena.Allocate(16);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->offset, a->offset);
  // Rewriting one title many times keeps to the same few slots.
  auto slot = *arena.Allocate(100);
  const std::size_t high = arena.highWater();
  for (int i = 0; i < 1000; ++i) {
    const auto next = arena.Allocate(static_cast<std::size_t>(90 + i % 30));
    ASSERT_TRUE(next);
    arena.Free(slot);
    slot = *next;
  }
  EXPECT_LE(arena.highWater(), high + 128);
  arena.Reset();
  EXPECT_EQ(arena.highWater(), 0u);
  EXPECT_EQ(arena.Allocate(1)->offset, 0u);
}

TEST(SlotArena, RefusesOversizedTitlesAndAFullRange) {
  SlotArena arena(4096 + 64);
  EXPECT_FALSE(arena.Allocate(SlotArena::MaxSlot + 1));
  EXPECT_EQ(arena.Allocate(SlotArena::MaxSlot)->size, 4096u);
  EXPECT_TRUE(arena.Allocate(64));
  EXPECT_FALSE(arena.Allocate(1));
  SlotArena none(0);
  EXPECT_FALSE(none.Allocate(1));
}

TEST(ParseOptions, TurnsTheCommandLineIntoSetUpCommands) {
  std::string error;
  auto options = ParseOptions({}, &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->setup, std::vector<std::string>{"entries 20"});
  EXPECT_FALSE(options->corner);

  options = ParseOptions({"--stopped", "--old-player", "--position", "4", "--log", "C:\\x y.log",
                          "--playlist", "C:\\my list.txt", "--corner", "--scroll"},
                         &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->setup, (std::vector<std::string>{"playlist C:\\my list.txt", "position 4",
                                                      "state stopped", "old on", "scroll on"}));
  EXPECT_EQ(options->logFile, "C:\\x y.log");
  EXPECT_TRUE(options->corner);

  options = ParseOptions({"--send", "title 2 A B"}, &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->send, "title 2 A B");
  EXPECT_FALSE(options->session);
  options = ParseOptions({"--session", "Spotify.exe"}, &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->session, "Spotify.exe");

  EXPECT_FALSE(ParseOptions({"--entries"}, &error));
  EXPECT_NE(error.find("--entries"), std::string::npos);
  EXPECT_FALSE(ParseOptions({"--loud"}, &error));
}

TEST_F(DemoStateTest, ASessionShowsTheShownEntry) {
  using session_double::Status;
  ASSERT_TRUE(Control("title 1 Kino - Gruppa - Krovi"));
  ASSERT_TRUE(Control("position 1"));
  state.AdvanceClock(1500);
  SessionSettings settings;
  settings.picture = u"C:\\a.png";
  SessionView view = ComposeSession(state, settings);
  EXPECT_EQ(view.artist, u"Kino");
  EXPECT_EQ(view.title, u"Gruppa - Krovi");
  EXPECT_EQ(view.trackNumber, 2);
  EXPECT_EQ(view.trackCount, 3);
  EXPECT_EQ(view.status, Status::Playing);
  EXPECT_EQ(view.positionMs, 1500);
  EXPECT_EQ(view.lengthMs, 20000);
  EXPECT_EQ(view.picture, u"C:\\a.png");
  EXPECT_EQ(view.controls, session_double::DefaultControls);

  ASSERT_TRUE(Control("state paused"));
  EXPECT_EQ(ComposeSession(state, settings).status, Status::Paused);
  ASSERT_TRUE(Control("tracklength -1"));  // a stream: no track number, no length
  view = ComposeSession(state, settings);
  EXPECT_EQ(view.trackNumber, 0);
  EXPECT_EQ(view.trackCount, 0);
  EXPECT_EQ(view.lengthMs, 0);
  ASSERT_TRUE(Control("position 0"));
  ASSERT_TRUE(Control("state stopped"));
  view = ComposeSession(state, settings);
  EXPECT_EQ(view.title, u"One");
  EXPECT_EQ(view.artist, u"");
  EXPECT_EQ(view.status, Status::Stopped);
  EXPECT_EQ(view.positionMs, 0);
}

TEST_F(DemoStateTest, SessionRequestsActAsThePlayersCommandsWhenAccepted) {
  using session_double::Action;
  const uint32_t all = ~uint32_t{0};
  EXPECT_TRUE(ApplySessionRequest(state, Action::Play, 0, all));  // playing: nothing
  EXPECT_EQ(state.state(), PlayState::Playing);
  state.AdvanceClock(3000);
  EXPECT_EQ(state.elapsedMs(), 3000);
  EXPECT_TRUE(ApplySessionRequest(state, Action::TogglePlayPause, 0, all));
  EXPECT_EQ(state.state(), PlayState::Paused);
  EXPECT_TRUE(ApplySessionRequest(state, Action::Pause, 0, all));  // paused: stays paused
  EXPECT_EQ(state.state(), PlayState::Paused);
  EXPECT_TRUE(ApplySessionRequest(state, Action::Play, 0, all));  // resumes
  EXPECT_EQ(state.state(), PlayState::Playing);
  EXPECT_EQ(state.elapsedMs(), 3000);
  EXPECT_TRUE(ApplySessionRequest(state, Action::PlaybackPosition, 72'000'000, all));
  EXPECT_EQ(state.elapsedMs(), 7200);
  EXPECT_TRUE(ApplySessionRequest(state, Action::Next, 0, all));
  EXPECT_EQ(state.loaded(), 1u);
  EXPECT_TRUE(ApplySessionRequest(state, Action::Previous, 0, all));
  EXPECT_EQ(state.loaded(), 0u);
  EXPECT_FALSE(ApplySessionRequest(state, Action::Record, 0, all));  // no meaning here

  const std::u16string before = Snapshot();
  EXPECT_FALSE(ApplySessionRequest(state, Action::Stop, 0, ~ActionBit(Action::Stop)));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(ApplySessionRequest(state, Action::Stop, 0, ActionBit(Action::Stop)));
  EXPECT_EQ(state.state(), PlayState::Stopped);
}

TEST(SessionTimeline, IsPublishedAgainWhenItNoLongerRunsOnAsPublished) {
  SessionView published;
  published.status = session_double::Status::Playing;
  published.positionMs = 10'000;
  published.lengthMs = 60'000;
  SessionView now = published;
  now.positionMs = 12'000;
  EXPECT_FALSE(TimelineStale(published, 2'000, now));  // ran on as extrapolated
  EXPECT_FALSE(TimelineStale(published, 2'000 + TimelineToleranceMs, now));
  EXPECT_TRUE(TimelineStale(published, 2'001 + TimelineToleranceMs, now));  // a frozen clock
  now.positionMs = 40'000;
  EXPECT_TRUE(TimelineStale(published, 2'000, now));  // a seek
  now.positionMs = 10'000 + TimelinePeriodMs;
  EXPECT_TRUE(TimelineStale(published, TimelinePeriodMs, now));  // the periodic update
  now = published;
  now.status = session_double::Status::Paused;
  EXPECT_TRUE(TimelineStale(published, 0, now));
  published.status = now.status;
  EXPECT_FALSE(TimelineStale(published, TimelinePeriodMs * 3, now));  // paused: it stands
  now.lengthMs = 1;
  EXPECT_TRUE(TimelineStale(published, 0, now));
}

TEST(ParseSessionControl, TakesTheSessionWordsAndRejectsMalformedOnes) {
  using session_double::Action;
  using session_double::ActionBit;
  using Kind = SessionControl::Kind;
  auto control = ParseSessionControl("sessioncontrols play next position");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->kind, Kind::Controls);
  EXPECT_EQ(control->controls, ActionBit(Action::Play) | ActionBit(Action::Next) |
                                   ActionBit(Action::PlaybackPosition));
  control = ParseSessionControl("sessioncontrols none");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->controls, 0u);
  control = ParseSessionControl("sessionpicture C:\\\\m\\xC3\\xA9.png");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->picture, u"C:\\m\u00E9.png");
  control = ParseSessionControl("sessionpicture ");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->picture, u"");
  control = ParseSessionControl("sessionasync properties never");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->operation, session_double::Operation::Properties);
  EXPECT_EQ(control->delayMs, session_double::CompleteNever);
  control = ParseSessionControl("sessionasync all 250");
  ASSERT_TRUE(control);
  EXPECT_FALSE(control->operation);
  EXPECT_EQ(control->delayMs, 250);
  EXPECT_EQ(ParseSessionControl("sessionasync thumbnail now")->delayMs, 0);
  control = ParseSessionControl("sessionevent timeline");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->event, session_double::EventKind::Timeline);
  EXPECT_EQ(ParseSessionControl("sessioncurrent")->kind, Kind::Current);

  for (const char* bad :
       {"sessioncontrols", "sessioncontrols play jump", "sessionpicture", "sessionpicture \\q",
        "sessionasync all", "sessionasync every now", "sessionasync all 0", "sessionasync all -5",
        "sessionasync all 600001", "sessionasync all now x", "sessionevent", "sessionevent all",
        "sessioncurrent now", "sessions", ""}) {
    EXPECT_FALSE(ParseSessionControl(bad)) << bad;
  }
}

TEST(SessionLogLine, NamesTheActionAndItsArgument) {
  using session_double::Action;
  EXPECT_EQ(SessionLogLine(Action::Pause, 0), "session pause");
  EXPECT_EQ(SessionLogLine(Action::PlaybackPosition, 600'000'000), "session position 600000000");
  EXPECT_EQ(SessionLogLine(Action::Shuffle, 1), "session shuffle 1");
  EXPECT_EQ(SessionLogLine(Action::Repeat, 2), "session repeat 2");
  EXPECT_EQ(SessionLogLine(Action::PlaybackRate, std::bit_cast<int64_t>(1.5)), "session rate 1.5");
}

}  // namespace
}  // namespace tokalux::demo
