#include "skin/graphics/acGlow.h"

#include <gtest/gtest.h>

#include "Pixels.h"

namespace kv {
namespace {

using testing::Px;
using testing::SetPx;

// A control at (100, 50), 80 x 25; glow mask margins 10, 8, 12, 6; margin 3.
TEST(GlowPlacement, CutsTheHaloWhereTheControlIsHidden) {
  const TRect r{100, 50, 180, 75}, margins{10, 8, 12, 6};
  struct Case {
    TRect clip;
    int cutLeft, cutTop, x, y, w, h;
  } cases[] = {
      {{0, 0, 80, 25}, 0, 0, 93, 45, 96, 33},    // fully visible
      {{20, 0, 80, 25}, 27, 0, 120, 45, 69, 33},  // cut at the left
      {{0, 0, 50, 25}, 0, 0, 93, 45, 57, 33},     // at the right
      {{20, 0, 50, 25}, 27, 0, 120, 45, 30, 33},  // both sides
      {{0, 5, 80, 25}, 0, 10, 93, 55, 96, 23},    // at the top
  };
  for (const Case& c : cases) {
    const TacGlowPlacement p = GlowPlacement(r, c.clip, margins, 3);
    EXPECT_EQ(p.FullWidth, 96);
    EXPECT_EQ(p.FullHeight, 33);
    const int got[] = {p.CutLeft, p.CutTop, p.X, p.Y, p.Width, p.Height};
    const int want[] = {c.cutLeft, c.cutTop, c.x, c.y, c.w, c.h};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], want[i]) << "value " << i << " of clip " << c.clip.Left;
  }
}

TEST(GlowPlacement, HostileClipsNeverGrowTheHaloAndTinyControlsHaveNone) {
  const TRect r{0, 0, 80, 25}, margins{10, 8, 12, 6};
  for (const TRect& clip : {TRect{-500, 0, 80, 25}, TRect{70, 0, 10, 25}, TRect{0, 90, 80, -4}}) {
    const TacGlowPlacement p = GlowPlacement(r, clip, margins, 3);
    EXPECT_GE(p.CutLeft, 0);
    EXPECT_GE(p.Width, 0);
    EXPECT_LE(p.CutLeft + p.Width, p.FullWidth);
    EXPECT_LE(p.CutTop + p.Height, p.FullHeight);
  }
  EXPECT_TRUE(GlowPlacement({5, 5, 5, 30}, {0, 0, 0, 25}, {3, 3, 3, 3}, 3).Empty());
}

TEST(GlowPicture, IsTheCutPartOfTheHaloWithAClearCentre) {
  TsMaskData mask;
  mask.Bmp = std::make_shared<TBitmap>(9, 9, pf32bit);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) SetPx(*mask.Bmp, x, y, (20u * x + y) << 24 | 0x406080);
  mask.R = {0, 0, 9, 9};
  mask.ImageCount = 1;
  mask.StretchMode = 4;
  mask.WL = mask.WT = mask.WR = mask.WB = 3;
  TacGlowPlacement p = GlowPlacement({0, 0, 10, 10}, {0, 0, 10, 10}, {3, 3, 3, 3}, 0);
  const auto full = MakeGlowPicture(p, mask, nullptr);
  ASSERT_TRUE(full);
  EXPECT_EQ(Px(*full, 1, 1), Px(*mask.Bmp, 1, 1));
  EXPECT_EQ(Px(*full, 8, 8), 0u) << "the centre stays clear";
  p = GlowPlacement({0, 0, 10, 10}, {4, 2, 10, 10}, {3, 3, 3, 3}, 0);
  const auto cut = MakeGlowPicture(p, mask, nullptr);
  ASSERT_TRUE(cut);
  ASSERT_EQ(cut->Width(), p.Width);
  for (int y = 0; y < cut->Height(); ++y)
    for (int x = 0; x < cut->Width(); ++x)
      ASSERT_EQ(Px(*cut, x, y), Px(*full, x + p.CutLeft, y + p.CutTop)) << x << "," << y;
}

TEST(PremultipliedCopy, MultipliesColoursByAlphaToTheNearest) {
  TBitmap b(3, 1, pf32bit);
  SetPx(b, 0, 0, 0x80C86432);  // a 128: 200, 100, 50 -> 100, 50, 25
  SetPx(b, 1, 0, 0xFFC86432);
  SetPx(b, 2, 0, 0x00FFFFFF);
  const auto pre = PremultipliedCopy(b);
  EXPECT_EQ(Px(*pre, 0, 0), 0x80643219u);
  EXPECT_EQ(Px(*pre, 1, 0), 0xFFC86432u);
  EXPECT_EQ(Px(*pre, 2, 0), 0u);
  EXPECT_EQ(Px(b, 0, 0), 0x80C86432u) << "the original keeps straight alpha";
}

}  // namespace
}  // namespace kv
