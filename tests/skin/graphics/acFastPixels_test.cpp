#include "skin/graphics/acFastPixels.h"

#include <gtest/gtest.h>

#include "Pixels.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

TEST(TacFast24, AttachesOnlyToTwentyFourBitBitmapsOfAtLeastTwoByTwo) {
  TacFast24 f;
  TBitmap thin(1, 100, pf24bit), flat(100, 1, pf24bit), ok(2, 2, pf24bit), wide(2, 2, pf32bit);
  EXPECT_FALSE(f.Attach(nullptr));
  EXPECT_FALSE(f.Attach(&thin));
  EXPECT_EQ(f.Width, 0);
  EXPECT_FALSE(f.Attach(&flat));
  EXPECT_FALSE(f.Attach(&wide));
  ASSERT_TRUE(f.Attach(&ok));
  EXPECT_EQ(f.Width, 2);
  EXPECT_EQ(f.Height, 2);
}

TEST(TacFast24, StoresColoursAsBgrBytes) {
  TBitmap b(3, 2, pf24bit);
  TacFast24 f;
  ASSERT_TRUE(f.Attach(&b));
  f.SetPixel(2, 1, static_cast<TColor>(0xFF336699));  // top byte ignored
  const std::uint8_t* p = b.ScanLine(1) + 6;
  EXPECT_EQ(p[0], 0x33);
  EXPECT_EQ(p[1], 0x66);
  EXPECT_EQ(p[2], 0x99);
  EXPECT_EQ(f.GetPixel(2, 1), 0x336699);
  EXPECT_EQ(f.GetPixel(0, 1), 0);
  EXPECT_LT(f.RowStep, 0) << "rows run bottom-up in memory";
}

TEST(TacFast32, ReadsAndWritesAlphaInTheTopByte) {
  TBitmap b(2, 3, pf32bit);
  TacFast32 f;
  ASSERT_TRUE(f.Attach(&b));
  f.SetPixel(1, 2, 0x80112233u);
  EXPECT_EQ(Px(b, 1, 2), 0x80332211u);  // bytes B 0x11, G 0x22, R 0x33, A 0x80
  EXPECT_EQ(f.GetPixel(1, 2), 0x80112233u);
}

TEST(FillRect32, FillsOpaqueColourCutToTheBitmapAndNothingForAnInvertedRectangle) {
  TBitmap b(4, 3, pf32bit);
  FillRect32(&b, {-2, 1, 2, 10}, ColorFromRGB(1, 2, 3));
  EXPECT_EQ(Px(b, 1, 2), 0xFF010203u);  // bytes B 3, G 2, R 1, A 255
  EXPECT_EQ(Px(b, 1, 1), 0xFF010203u);
  EXPECT_EQ(Px(b, 2, 1), 0u);
  EXPECT_EQ(Px(b, 0, 0), 0u);
  TacFast32 f;
  ASSERT_TRUE(f.Attach(&b));
  f.FillRect({3, 0, 1, 4}, 0xFFFFFFFFu);
  for (int y = 0; y < 3; ++y)
    for (int x = 2; x < 4; ++x) EXPECT_EQ(Px(b, x, y), 0u);
}

TEST(TacFastSum24, BlendsWithAlphaAsTheDestinationWeight) {
  struct Case {
    std::uint8_t alpha, src, dst, want;
  } cases[] = {{0, 255, 0, 254},   {0, 255, 255, 254},  {128, 0, 255, 127},
               {255, 0, 255, 254}, {255, 77, 100, 100}, {255, 0, 0, 0}};
  for (const Case& c : cases) {
    TBitmap s = Filled(2, 2, pf24bit, c.src * 0x010101u);
    TBitmap d = Filled(2, 2, pf24bit, c.dst * 0x010101u);
    TacFastSum24 sum;
    ASSERT_TRUE(sum.Attach(&s, &d));
    sum.Alpha = c.alpha;
    sum.DstRect = {0, 0, 2, 2};
    sum.SrcRect = {0, 0, 2, 2};
    sum.Blend();
    EXPECT_EQ(Px(d, 1, 1), c.want * 0x010101u) << int(c.alpha) << " " << int(c.src);
  }
}

TEST(TacFastSum32, BlendsTheAlphaByteLikeAColourByte) {
  TBitmap s = Filled(3, 3, pf32bit, 0xFFFFFFFFu);
  TBitmap d = Filled(3, 3, pf32bit, 0);
  TacFastSum32 sum;
  ASSERT_TRUE(sum.Attach(&s, &d));
  sum.Alpha = 0;
  sum.SrcRect = {0, 0, 1, 1};
  sum.DstRect = {2, 2, 3, 3};
  sum.Blend();
  EXPECT_EQ(Px(d, 2, 2), 0xFEFEFEFEu);
  EXPECT_EQ(Px(d, 1, 1), 0u);
}

TEST(TacFastSum24, CutsRectanglesThatLeaveEitherBitmap) {
  TBitmap s = Filled(4, 4, pf24bit, 0xFFFFFF);
  TBitmap d(3, 3, pf24bit);
  TacFastSum24 sum;
  ASSERT_TRUE(sum.Attach(&s, &d));
  sum.Alpha = 0;
  sum.SrcRect = {-1, -1, 5, 5};
  sum.DstRect = {-1, -1, 5, 5};
  sum.Blend();  // must stay inside both bitmaps (ASan)
  EXPECT_EQ(Px(d, 0, 0), 0xFEFEFEu);
  EXPECT_EQ(Px(d, 2, 2), 0xFEFEFEu);
  sum.DstRect = {10, 10, 12, 12};
  sum.Blend();
}

}  // namespace
}  // namespace kv
