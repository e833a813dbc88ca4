// The progress bar's rectangles, blocks, pieces, cache rule and marquee.
#include "skin/controls/acProgressBarGeometry.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// 200 x 20 inside the frame: blocks of 11 with gaps of 2, 15 of them.
TacProgressBarShape Across(int position, int max = 100) {
  TacProgressBarShape bar;
  bar.Width = 202;
  bar.Height = 22;
  bar.Max = max;
  bar.Position = position;
  return bar;
}

TacProgressBarShape Upright(int position) {
  TacProgressBarShape bar = Across(position);
  bar.Width = 22;
  bar.Height = 202;
  bar.Vertical = true;
  return bar;
}

TEST(ProgressGeometry, RectanglesAndBlocksFollowTheOrientation) {
  TacProgressBarShape bordered = Across(0);
  bordered.BorderWidth = 2;
  EXPECT_EQ((TRect{3, 3, 199, 19}), ProgressInnerRect(bordered));

  const struct {
    TacProgressBarShape bar;
    TRect progress;
    TSize block;
    int blocks, filled;
  } rows[] = {{Across(0), {1, 1, 1, 21}, {11, 20}, 15, 0},
              {Across(50), {1, 1, 101, 21}, {11, 20}, 15, 8},  // 7.5 rounds to even
              {Across(100), {1, 1, 201, 21}, {11, 20}, 15, 15},
              {Upright(50), {1, 101, 21, 201}, {20, 11}, 15, 8},
              {Upright(100), {1, 1, 21, 201}, {20, 11}, 15, 15}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message()
                 << "position " << r.bar.Position << ", vertical " << r.bar.Vertical);
    EXPECT_EQ(r.progress, ProgressRect(r.bar));
    EXPECT_EQ(r.block, ProgressBlockSize(r.bar));
    EXPECT_EQ(r.blocks, ProgressBlockCount(r.bar));
    EXPECT_EQ(r.filled, ProgressFilledBlocks(r.bar));
  }
}

TEST(ProgressGeometry, BlocksGrowFromTheStartAndAFullBarFillsTheRest) {
  const auto half = ProgressPieces(Across(50));
  ASSERT_EQ(8u, half.size());
  EXPECT_EQ((TRect{1, 1, 12, 21}), half.front());
  EXPECT_EQ((TRect{92, 1, 103, 21}), half.back());

  const auto full = ProgressPieces(Across(100));
  ASSERT_EQ(16u, full.size());
  EXPECT_EQ((TRect{183, 1, 194, 21}), full[14]);
  EXPECT_EQ((TRect{196, 1, 201, 21}), full[15]) << "the room after the last block";

  const auto up = ProgressPieces(Upright(100));
  ASSERT_EQ(16u, up.size());
  EXPECT_EQ((TRect{1, 190, 21, 201}), up.front()) << "blocks grow upward";
  EXPECT_EQ((TRect{1, 1, 21, 6}), up.back());

  EXPECT_TRUE(ProgressPieces(Across(0)).empty());

  TacProgressBarShape wideGaps = Across(100);  // 6 blocks, gaps of 3
  wideGaps.Width = 89;
  const auto clipped = ProgressPieces(wideGaps);
  ASSERT_EQ(7u, clipped.size());
  EXPECT_EQ((TRect{85, 1, 88, 21}), clipped.back()) << "the rest stays off the frame";
}

TEST(ProgressGeometry, SmoothBarIsOnePiece) {
  TacProgressBarShape bar = Across(50);
  bar.Smooth = true;
  EXPECT_EQ((TSize{100, 20}), ProgressBlockSize(bar));
  EXPECT_EQ((std::vector<TRect>{{1, 1, 101, 21}}), ProgressPieces(bar));
  bar.Position = 0;
  EXPECT_TRUE(ProgressPieces(bar).empty());
}

// The configurator's own bar has Max = Min = 0, and bars may be squeezed to
// nothing: they paint background and frame only, without dividing by zero.
TEST(ProgressGeometry, EmptyRangesAndThinBarsPaintNoProgress) {
  TacProgressBarShape bars[] = {Across(0, 0), Across(5, 5), Across(50),
                                Across(50),   Across(50),   Upright(50)};
  bars[1].Min = 5;
  bars[2].Height = 3;  // one pixel inside the frame
  bars[3].Height = 2;
  bars[4].Height = 0;
  bars[5].Width = 1;
  for (const TacProgressBarShape& bar : bars) {
    SCOPED_TRACE(testing::Message() << bar.Width << " x " << bar.Height << ", max " << bar.Max);
    const TSize block = ProgressBlockSize(bar);
    EXPECT_GE(block.cx, 0);
    EXPECT_GE(block.cy, 0);
    EXPECT_EQ(0, ProgressFilledBlocks(bar));
    EXPECT_TRUE(ProgressPieces(bar).empty());
    TacProgressBlockCache cache;
    EXPECT_TRUE(cache.NeedsBuild(bar, true));
  }
  EXPECT_EQ(ProgressInnerRect(Across(0, 0)), ProgressRect(Across(0, 0)));
}

TEST(ProgressCache, RebuiltOnlyWhenABlockBoundaryIsCrossedOrAtTheMaximum) {
  TacProgressBlockCache cache;
  const struct {
    int position;
    bool build;
  } steps[] = {{50, true},  {52, false}, {56, false}, {57, true},
               {57, false}, {100, true}, {100, true}, {0, true}};
  for (const auto& s : steps)
    EXPECT_EQ(s.build, cache.NeedsBuild(Across(s.position), true)) << "at " << s.position;
  EXPECT_TRUE(cache.NeedsBuild(Across(50), false)) << "a cache of another size";
  EXPECT_FALSE(cache.NeedsBuild(Across(52), true)) << "the blocks that build showed";
  TacProgressBarShape smooth = Across(0);
  smooth.Smooth = true;
  EXPECT_TRUE(cache.NeedsBuild(smooth, true));
}

TEST(ProgressMarquee, FiveBlocksWrapAroundTheBar) {
  TacProgressBarShape bar = Across(0);
  bar.Marquee = true;
  EXPECT_EQ((TRect{1, 1, 41, 21}), ProgressRect(bar));
  const struct {
    bool vertical;
    int pos;
    int starts[5];
  } rows[] = {{false, 0, {1, 11, 21, 31, 41}},
              {false, 180, {181, 191, 201, 9, 19}},
              {true, 0, {192, 182, 172, 162, 152}},
              {true, 180, {12, 2, 194, 184, 174}}};
  for (const auto& r : rows) {
    TacProgressBarShape m = r.vertical ? Upright(0) : Across(0);
    m.Marquee = true;
    m.MarqueePos = r.pos;
    const auto pieces = ProgressPieces(m);
    ASSERT_EQ(5u, pieces.size());
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(r.starts[i], r.vertical ? pieces[i].Top : pieces[i].Left) << r.pos << "/" << i;
      EXPECT_EQ(9, r.vertical ? pieces[i].Height() : pieces[i].Width());
    }
  }
}

TEST(ProgressMarquee, StepsRestartAtTheLeftEdge) {
  const struct { int pos, next; } rows[] = {{0, 6}, {189, 195}, {190, 0}, {195, 0}};
  for (const auto& r : rows) EXPECT_EQ(r.next, MarqueeNextPos(r.pos, 6, 1, 202)) << r.pos;
}

}  // namespace
}  // namespace kv
