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
