#include "skin/graphics/sBorders.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "Pixels.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kKey = 0xFF00FF, kOld = 0x445566, kBorder = 0x0000C0;

// One frame of 16 x 10, margins 6 left and right, 5 top and bottom; transparent pixels at
// (0, 0), (1, 0), (0, 1) (top-left), (15, 0) (top-right), (0, 9) (bottom-left),
// one on the top edge at (8, 0), and (5, 1), (10, 0) inside the corners only
// while they keep their full 6 pixels.
TsMaskData FrameMask(TPixelFormat f) {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(Filled(16, 10, f, kBorder | (f == pf32bit ? 0xFF000000 : 0)));
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {15, 0}, {0, 9}, {8, 0}, {5, 1}, {10, 0}})
    SetPx(*m.Bmp, x, y, kKey);
  m.R = {0, 0, 16, 10};
  m.ImageCount = 1;
  m.WL = m.WR = 6;
  m.WT = m.WB = 5;
  return m;
}

using Cells = std::set<std::pair<int, int>>;
Cells CellsOf(const TRectList& runs) {
  Cells c;
  for (const TRect& r : runs) {
    EXPECT_EQ(r.Height(), 1);
    for (int x = r.Left; x < r.Right; ++x) c.insert({x, r.Top});
  }
  return c;
}

class BuildRegion : public ::testing::TestWithParam<TPixelFormat> {};
INSTANTIATE_TEST_SUITE_P(Formats, BuildRegion, ::testing::Values(pf24bit, pf32bit));

// Width 11 with margins 6/6 gives corners 6 and 5 pixels wide, 10 gives 5/5;
// only corner pixels leave the region, and they keep the bitmap's colour.
TEST_P(BuildRegion, CutsTheTransparentCornerPixelsOnly) {
  const TsMaskData m = FrameMask(GetParam());
  for (const auto& [width, left, right] : {std::tuple{11, 6, 5}, {10, 5, 5}, {20, 6, 6}}) {
    TBitmap dst = Filled(width, 10, pf24bit, kOld);
    TRectList cut;
    BuildRegionFromMask(&dst, &cut, true, 0, m, nullptr);
    Cells want{{0, 0}, {1, 0}, {0, 1}, {width - 1, 0}, {0, 9}};
    if (left == 6) want.insert({5, 1});
    if (right == 6) want.insert({width - 6, 0});
    EXPECT_EQ(CellsOf(cut), want) << "width " << width;
    for (const auto& [x, y] : want) EXPECT_EQ(Px(dst, x, y), kOld);
    EXPECT_EQ(Px(dst, 2, 2), kBorder);
  }
  TBitmap dst = Filled(20, 10, pf24bit, kOld);
  BuildRegionFromMask(&dst, nullptr, true, 0, m, nullptr);  // the top edge's key is copied as is
  EXPECT_EQ(Px(dst, 8, 0), kKey);
  TBitmap tiny = Filled(1, 5, pf24bit, kOld);
  TRectList cut;
  BuildRegionFromMask(&tiny, &cut, true, 0, m, nullptr);
  EXPECT_TRUE(cut.empty());
  EXPECT_EQ(Px(tiny, 0, 0), kOld);
}

// Margins that overlap by a pixel keep their sizes: the right (bottom)
// corner is laid over the left (top) one, and its first column (row), here
// transparent, leaves the region.
TEST_P(BuildRegion, OverlappingCornersKeepTheirWholeMargins) {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(Filled(16, 16, GetParam(), 0xFF000000 | kBorder));
  SetPx(*m.Bmp, 11, 0, kKey);  // the first column of a right corner 5 wide
  SetPx(*m.Bmp, 0, 11, kKey);  // the first row of a bottom corner 5 high
  m.R = {0, 0, 16, 16};
  m.ImageCount = 1;
  m.WL = m.WT = 6;
  m.WR = m.WB = 5;
  for (const auto& [width, height] : {std::pair{10, 16}, {16, 10}, {10, 10}, {11, 11}}) {
    TBitmap dst = Filled(width, height, pf24bit, kOld);
    TRectList cut;
    BuildRegionFromMask(&dst, &cut, true, 0, m, nullptr);
    EXPECT_EQ(CellsOf(cut), (Cells{{width - 5, 0}, {0, height - 5}})) << width << " x " << height;
  }
}

// A stretched edge that shrinks takes the mean of the source pixels falling
// on each pixel, as a halftone stretch does: 10, 30, 50, 70 on two pixels
// give 20 and 60.
TEST_P(BuildRegion, AStretchedEdgeAveragesItsSource) {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(Filled(8, 6, GetParam(), 0xFF000000 | kBorder));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) SetPx(*m.Bmp, 2 + x, y, 0xFF000000 | (10u + 20 * x) * 0x010101);
  m.R = {0, 0, 8, 6};
  m.ImageCount = 1;
  m.WL = m.WT = m.WR = m.WB = 2;
  m.StretchMode = 1;
  TBitmap dst = Filled(6, 6, pf24bit, kOld);
  BuildRegionFromMask(&dst, nullptr, false, 0, m, nullptr);
  EXPECT_EQ(Px(dst, 2, 0), 20u * 0x010101);
  EXPECT_EQ(Px(dst, 3, 1), 60u * 0x010101);
  EXPECT_EQ(Px(dst, 0, 3), kBorder) << "the left edge";
}

// Copies are cut to the bitmap's width and to the image, however wide asked.
TEST(CopyMaskPart, CutsWidthAndSource) {
  const TsMaskData m = FrameMask(pf24bit);
  const std::tuple<TRect, TRect, int> cases[] = {
      // dst (inclusive), src (inclusive), expected copied width
      {{3, 2, 40, 2}, {2, 2, 40, 2}, 3},  // bitmap 6 wide
      {{0, 0, 5, 0}, {13, 3, 20, 3}, 3},  // image 16 wide
      {{1, 0, 2, 0}, {2, 2, 9, 2}, 2},    // the smaller rectangle
  };
  for (const auto& [d, s, copied] : cases) {
    TBitmap dst = Filled(6, 4, pf24bit, kOld);
    CopyMaskPart(d.Left, d.Top, d.Right, d.Bottom, s.Left, s.Top, s.Right, s.Bottom, &dst, nullptr,
                 m, nullptr, false);
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(Px(dst, x, d.Top), x >= d.Left && x < d.Left + copied ? kBorder : kOld) << x;
  }
  TBitmap dst = Filled(6, 4, pf24bit, kOld);
  CopyMaskPart(-1, 0, 3, 3, 0, 0, 4, 4, &dst, nullptr, m, nullptr, false);
  EXPECT_EQ(Px(dst, 0, 0), kOld);
}

TEST(AddMaskTransparentRects, AppendsCornerRunsInWindowCoordinates) {
  const TsMaskData m = FrameMask(pf24bit);
  TRectList top;
  AddMaskTransparentRects(top, 100, m, nullptr, 7, false);
  EXPECT_EQ(top,
            (TRectList{{0, 7, 2, 8}, {94, 7, 95, 8}, {99, 7, 100, 8}, {0, 8, 1, 9}, {5, 8, 6, 9}}));
  TRectList bottom;
  AddMaskTransparentRects(bottom, 100, m, nullptr, 0, true);
  EXPECT_EQ(bottom, (TRectList{{0, 4, 1, 5}}));
  TsMaskData opaque = m;
  opaque.Bmp = std::make_shared<TBitmap>(Filled(16, 10, pf24bit, kBorder));
  TRectList none;
  AddMaskTransparentRects(none, 100, opaque, nullptr, 0, false);
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace kv
