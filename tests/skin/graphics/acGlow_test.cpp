#include "skin/graphics/acGlow.h"

#include <gtest/gtest.h>

#include "Pixels.h"

namespace kv {
namespace {

using testing::Px;
using testing::SetPx;

// A control at (100, 50), 80 x 25; glow mask margins 10, 8, 12, 6; margin 3:
// the whole halo is 96 x 33, cut where the control is hidden.
TEST(GlowPlacement, CutsTheHaloWhereTheControlIsHidden) {
  const struct {
    TRect clip;
    int cutLeft, cutTop, x, y, w, h;
  } cases[] = {
      {{0, 0, 80, 25}, 0, 0, 93, 45, 96, 33},     // fully visible
      {{20, 0, 80, 25}, 27, 0, 120, 45, 69, 33},  // cut at the left
      {{0, 0, 50, 25}, 0, 0, 93, 45, 57, 33},     // at the right
      {{20, 0, 50, 25}, 27, 0, 120, 45, 30, 33},  // both sides
      {{0, 5, 80, 25}, 0, 10, 93, 55, 96, 23},    // at the top
      {{-500, 0, 80, 25}, 0, 0, 93, 45, 96, 33},  // a cut never grows the halo
      {{70, 0, 10, 25}, 77, 0, 170, 45, 0, 33},   // nor takes more than there is
  };
  for (const auto& c : cases) {
    const TacGlowPlacement p = GlowPlacement({100, 50, 180, 75}, c.clip, {10, 8, 12, 6}, 3);
    EXPECT_EQ(
        (std::vector{p.FullWidth, p.FullHeight, p.CutLeft, p.CutTop, p.X, p.Y, p.Width, p.Height}),
        (std::vector{96, 33, c.cutLeft, c.cutTop, c.x, c.y, c.w, c.h}))
        << "clip from " << c.clip.Left << "," << c.clip.Top;
  }
  EXPECT_TRUE(GlowPlacement({5, 5, 5, 30}, {0, 0, 0, 25}, {3, 3, 3, 3}, 3).Empty());
}

// A 12 x 12 glow mask with margins 4: corners red, green, blue and white,
// edges grey at a quarter, the centre black (never painted).
TsMaskData GlowMask() {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(12, 12, pf32bit);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool left = x < 4, right = x >= 8, top = y < 4, bottom = y >= 8;
      std::uint32_t v = 0x40808080;
      if (top && left) v = 0xC8FF0000;
      if (top && right) v = 0xC800FF00;
      if (bottom && left) v = 0xC80000FF;
      if (bottom && right) v = 0xC8FFFFFF;
      if (!left && !right && !top && !bottom) v = 0xFF000000;
      SetPx(*m.Bmp, x, y, v);
    }
  m.R = {0, 0, 12, 12};
  m.ImageCount = 1;
  m.WL = m.WT = m.WR = m.WB = 4;
  return m;
}

// The halo round a 20 x 10 control: its corners from the mask's, its edges
// from the mask's edges, its middle clear so that the control shows; a halo
// cut where the control is hidden is the same picture without the cut part.
TEST(MakeGlowPicture, PaintsTheMaskRoundAClearMiddleAndCutsItWhereHidden) {
  const TsMaskData mask = GlowMask();
  const TRect control{100, 50, 120, 60};
  const TacGlowPlacement whole = GlowPlacement(control, {0, 0, 20, 10}, {4, 4, 4, 4}, 1);
  const auto full = MakeGlowPicture(whole, mask, nullptr);
  ASSERT_TRUE(full);
  ASSERT_EQ(full->Width(), 26);
  ASSERT_EQ(full->Height(), 16);
  const struct {
    int x, y;
    std::uint32_t want;
  } pixels[] = {{0, 0, 0xC8FF0000},  {25, 0, 0xC800FF00}, {0, 15, 0xC80000FF}, {25, 15, 0xC8FFFFFF},
                {12, 1, 0x40808080}, {1, 8, 0x40808080},  {24, 8, 0x40808080}, {12, 14, 0x40808080},
                {12, 8, 0},          {4, 4, 0},           {21, 11, 0}};
  for (const auto& p : pixels) EXPECT_EQ(Px(*full, p.x, p.y), p.want) << p.x << "," << p.y;

  for (const TRect& clip : {TRect{5, 0, 20, 10}, TRect{0, 3, 14, 10}}) {
    const TacGlowPlacement cut = GlowPlacement(control, clip, {4, 4, 4, 4}, 1);
    const auto part = MakeGlowPicture(cut, mask, nullptr);
    ASSERT_TRUE(part);
    ASSERT_EQ(part->Width(), cut.Width);
    ASSERT_EQ(part->Height(), cut.Height);
    for (int y = 0; y < cut.Height; ++y)
      for (int x = 0; x < cut.Width; ++x)
        ASSERT_EQ(Px(*part, x, y), Px(*full, x + cut.CutLeft, y + cut.CutTop))
            << "clip from " << clip.Left << "," << clip.Top << " at " << x << "," << y;
  }
  EXPECT_FALSE(
      MakeGlowPicture(GlowPlacement(control, {20, 0, 20, 10}, {4, 4, 4, 4}, 30), mask, nullptr))
      << "an empty halo has no picture";
}

TEST(PremultipliedCopy, MultipliesColoursByAlphaToTheNearest) {
  TBitmap b(3, 1, pf32bit);
  SetPx(b, 0, 0, 0x80C86432);  // alpha 128: 200, 100, 50 -> 100, 50, 25
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
