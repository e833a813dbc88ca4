// The status bar's panel layout, dividers, text room and grip.
#include "skin/geometry/sStatusBarGeometry.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(StatusPanels, SitSideBySideAndTheLastReachesTheRightEdge) {
  const auto places = StatusPanelPlaces({50, 80, 30}, 300, 20, 4);
  ASSERT_EQ(3u, places.size());
  EXPECT_EQ((TRect{0, 0, 50, 20}), places[0].Bounds);
  EXPECT_EQ((TRect{50, 0, 130, 20}), places[1].Bounds);
  EXPECT_EQ((TRect{130, 0, 300, 20}), places[2].Bounds) << "stretched past its own width";
  EXPECT_EQ((TRect{2, 2, 48, 18}), places[0].Frame);
  EXPECT_EQ((TRect{4, 2, 44, 17}), places[0].Text)
      << "indented 2, 4 off the right, 1 off the bottom";
  EXPECT_EQ((TRect{46, 1, 50, 19}), places[0].Divider);
  EXPECT_EQ((TRect{126, 1, 130, 19}), places[1].Divider);
  EXPECT_TRUE(IsRectEmpty(places[2].Divider)) << "no divider after the last panel";
  EXPECT_TRUE(StatusPanelPlaces({}, 300, 20, 4).empty());
}

TEST(StatusPanels, DividersNeedRoomOnTheBar) {
  const struct {
    int height, width;
    TRect divider;
  } rows[] = {{20, 6, {46, 1, 52, 19}},
              {20, 0, {48, 1, 50, 19}},  // never narrower than 2
              {3, 2, {48, 1, 50, 2}},
              {2, 2, {}},  // too low: skipped
              {0, 2, {}}};
  for (const auto& r : rows)
    EXPECT_EQ(r.divider, StatusDividerRect(50, r.height, r.width))
        << "height " << r.height << ", width " << r.width;
  const auto low = StatusPanelPlaces({50, 50}, 200, 1, 4);
  EXPECT_TRUE(IsRectEmpty(low[0].Divider));
}

TEST(StatusPanels, SimpleBarFramesTheWholeBar) {
  const TsStatusPanelPlace simple = StatusSimplePlace(200, 22);
  EXPECT_EQ((TRect{0, 1, 199, 21}), simple.Bounds);
  EXPECT_EQ((TRect{0, 0, 200, 22}), simple.Frame);
  EXPECT_EQ((TRect{3, 2, 194, 19}), simple.Text);
  EXPECT_TRUE(IsRectEmpty(simple.Divider));
}

TEST(StatusGrip, GlyphSizeCountsFramesOfAtLeastOne) {
  const TRect master{10, 10, 70, 50};
  const struct {
    bool own;
    int imageCount, maskType;
    TSize size;
  } rows[] = {{true, 0, 0, {16, 16}},  // own bitmaps hold 3 x 2 frames
              {false, 3, 1, {20, 20}},
              {false, 0, 1, {60, 20}},
              {false, -2, -1, {60, 40}},
              {false, 1, -5, {60, 40}}};
  for (const auto& r : rows)
    EXPECT_EQ(r.size, StatusGripGlyphSize(r.own, 48, 32, master, r.imageCount, r.maskType))
        << r.imageCount << " frames, mask type " << r.maskType;
}

TEST(StatusGrip, SitsInTheBottomRightCornerInsideTheBorder) {
  EXPECT_EQ((TPoint{284, 4}), StatusGripPos(300, 20, 0, {16, 16}));
  EXPECT_EQ((TPoint{282, 2}), StatusGripPos(300, 20, 2, {16, 16}));
}

}  // namespace
}  // namespace kv
