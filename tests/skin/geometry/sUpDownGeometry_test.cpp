#include "skin/geometry/sUpDownGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

TEST(UpDownGeometry, HalvesSplitAlongTheOrientation) {
  EXPECT_EQ((TRect{0, 0, 17, 11}), UpDownHalfRect(17, 23, true, true));
  EXPECT_EQ((TRect{0, 11, 17, 23}), UpDownHalfRect(17, 23, true, false));
  EXPECT_EQ((TRect{0, 0, 16, 20}), UpDownHalfRect(33, 20, false, true));
  EXPECT_EQ((TRect{16, 0, 33, 20}), UpDownHalfRect(33, 20, false, false));
}

// Each half is inaccessible at the limit it moves toward, in both
// orientations; pressing follows the same rule, so a horizontal up-down's
// left half cannot be pressed at Min.
TEST(UpDownGeometry, InaccessibleAndPressedFollowTheOrientation) {
  const struct {
    bool vertical;
    int position;
    bool firstBlocked, secondBlocked;
  } rows[] = {{true, 100, true, false}, {true, 0, false, true},    {true, 50, false, false},
              {false, 0, true, false},  {false, 100, false, true}, {false, 50, false, false}};
  for (const auto& r : rows) {
    const TsUpDownRange range{0, 100, r.position, r.vertical};
    const std::string what =
        (r.vertical ? "vertical at " : "horizontal at ") + std::to_string(r.position);
    EXPECT_EQ(UpDownInaccessible(range, true), r.firstBlocked) << what;
    EXPECT_EQ(UpDownInaccessible(range, false), r.secondBlocked) << what;
    EXPECT_EQ(UpDownPressState(udsFirstHot, range), r.firstBlocked ? udsFirstHot : udsFirstPressed)
        << what;
    EXPECT_EQ(UpDownPressState(udsSecondHot, range),
              r.secondBlocked ? udsSecondHot : udsSecondPressed)
        << what;
    EXPECT_EQ(UpDownHoverState(udsNone, true, false, false, true, range),
              r.firstBlocked ? udsNone : udsFirstHot)
        << what;
    EXPECT_EQ(UpDownHoverState(udsNone, true, false, false, false, range), udsFirstHot)
        << what << ", inaccessibility not shown";
  }
}

TEST(UpDownGeometry, HoverHoldsWhileTheButtonIsDownAndReleaseReturnsToHot) {
  const TsUpDownRange middle{0, 10, 5, true};
  EXPECT_EQ(UpDownHoverState(udsFirstPressed, false, true, true, true, middle), udsFirstPressed);
  EXPECT_EQ(UpDownHoverState(udsFirstHot, false, true, false, true, middle), udsSecondHot);
  EXPECT_EQ(UpDownHoverState(udsSecondHot, false, false, false, true, middle), udsSecondHot);
  EXPECT_EQ(UpDownReleaseState(udsSecondPressed, true, middle), udsSecondHot);
  EXPECT_EQ(UpDownReleaseState(udsFirstHot, true, middle), udsFirstHot) << "no press, no change";
  const TsUpDownRange top{0, 10, 10, true};
  EXPECT_EQ(UpDownReleaseState(udsFirstPressed, true, top), udsNone) << "the press reached Max";
  EXPECT_EQ(UpDownReleaseState(udsFirstPressed, false, top), udsFirstHot);
  EXPECT_EQ(UpDownHalfLook(udsSecondPressed, false), 2);
  EXPECT_EQ(UpDownHalfLook(udsSecondPressed, true), 0);
  EXPECT_EQ(UpDownHalfLook(udsFirstHot, true), 1);
}

}  // namespace
}  // namespace kv
