#include "screen/monitor_blackouts.h"

#include <gtest/gtest.h>

#include <vector>

namespace tokalux {
namespace {

using Areas = std::vector<ScreenArea>;

// The form always stands on the primary monitor, whose top-left corner is the desktop's origin.
constexpr ScreenArea Form{0, 0, 1920, 1080};

TEST(ChooseBlackouts, OneBlackoutForEachMonitorBesideThePrimaryWhereverItStands) {
  EXPECT_EQ(ChooseBlackouts(Form, Areas{Form}), Areas{});

  const ScreenArea right{1920, 0, 3200, 1024};
  EXPECT_EQ(ChooseBlackouts(Form, Areas{Form, right}), Areas{right});

  // The primary neither left-most nor first: one monitor to its left, one above, at negative
  // coordinates, in the system's order.
  const ScreenArea left{-1280, 200, 0, 1224};
  const ScreenArea above{0, -1200, 1600, 0};
  EXPECT_EQ(ChooseBlackouts(Form, Areas{left, Form, above}), (Areas{left, above}));
}

TEST(ChooseBlackouts, MirrorsOfThePrimaryAndRepeatedMonitorsNeedNoBlackoutOfTheirOwn) {
  const ScreenArea same = Form;
  const ScreenArea inside{0, 0, 1280, 720};  // the primary mirrored at a lower resolution
  const ScreenArea beside{1920, 0, 3840, 1080};
  EXPECT_EQ(ChooseBlackouts(Form, Areas{Form, same, inside, beside, beside}), Areas{beside});
  // A mirror of a side monitor at a lower resolution lies inside that monitor's blackout.
  EXPECT_EQ(ChooseBlackouts(Form, Areas{Form, beside, {1920, 0, 3200, 1024}}), Areas{beside});
}

TEST(ChooseBlackouts, AMonitorOverlappingTheFormGetsTheBandsAroundIt) {
  // Wider than the form and reaching below it: the blackouts surround the form, never lie over it.
  const Areas blackouts = ChooseBlackouts(Form, Areas{Form, {-100, 900, 2100, 1500}});
  EXPECT_EQ(blackouts,
            (Areas{{-100, 1080, 2100, 1500}, {-100, 900, 0, 1080}, {1920, 900, 2100, 1080}}));
}

TEST(ChooseBlackouts, EmptyOrInvertedMonitorAreasAreSkipped) {
  EXPECT_EQ(ChooseBlackouts(Form, Areas{Form, {1920, 0, 1920, 1080}, {3000, 500, 2000, 0}}),
            Areas{});
  EXPECT_EQ(ChooseBlackouts(Form, Areas{}), Areas{});
}

}  // namespace
}  // namespace tokalux
