// Fade arithmetic: which events animate, the step factor and the blended step.
#include "skin/core/sFade.h"

#include <gtest/gtest.h>

#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

TEST(AnimEffect, OwnEventsWinAndGlobalDefaultAsksTheManager) {
  const TacAnimatEvents own = AnimatEventBit(aeMouseDown);
  EXPECT_TRUE(AnimEffectEnabled(aeMouseDown, own, 0));
  EXPECT_FALSE(AnimEffectEnabled(aeMouseEnter, own, beMouseEnter)) << "no aeGlobalDef";
  const struct {
    TacAnimatEvent event;
    TacBtnEvents manager;
  } mapped[] = {{aeMouseEnter, beMouseEnter},
                {aeMouseLeave, beMouseLeave},
                {aeMouseDown, beMouseDown},
                {aeMouseUp, beMouseUp}};
  for (const auto& m : mapped) {
    EXPECT_TRUE(AnimEffectEnabled(m.event, DefaultAnimatEvents, m.manager)) << m.event;
    EXPECT_FALSE(AnimEffectEnabled(m.event, DefaultAnimatEvents, 0xF & ~m.manager)) << m.event;
  }
}

TEST(FadeFactor, RunsFromNearlyOldToNew) {
  EXPECT_EQ(255, FadeFactor(0, 4));
  EXPECT_EQ(191, FadeFactor(1, 4));
  EXPECT_EQ(0, FadeFactor(4, 4));
  EXPECT_EQ(0, FadeFactor(9, 4)) << "past the end stays on the new picture";
  EXPECT_EQ(255, FadeFactor(-1, 4));
}

std::unique_ptr<TBitmap> Solid(TPixelFormat format, std::uint8_t b, std::uint8_t g,
                               std::uint8_t r) {
  auto bitmap = format == pf32bit ? NewBitmap32(3, 2) : NewBitmap24(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = bitmap->ScanLine(y) + x * bitmap->BytesPerPixel();
      p[0] = b, p[1] = g, p[2] = r;
      if (format == pf32bit) p[3] = 255;
    }
  return bitmap;
}

TEST(BlendFadeStep, MixesTwentyFourAndThirtyTwoBitPicturesAlike) {
  for (TPixelFormat oldFormat : {pf24bit, pf32bit})
    for (TPixelFormat newFormat : {pf24bit, pf32bit}) {
      auto old = Solid(oldFormat, 0, 100, 200);
      auto now = Solid(newFormat, 200, 100, 0);
      auto step = BlendFadeStep(*old, *now, 64);
      ASSERT_TRUE(step) << oldFormat << "/" << newFormat;
      ASSERT_EQ(pf24bit, step->PixelFormat());
      const std::uint8_t* p = step->ScanLine(1) + 2 * 3;
      // (new * 191 + old * 64 + 127) shr 8
      EXPECT_EQ(149, p[0]) << oldFormat << "/" << newFormat;
      EXPECT_EQ(100, p[1]);
      EXPECT_EQ(50, p[2]);
      for (std::uint8_t end : {0, 255}) {
        auto shown = BlendFadeStep(*old, *now, end);
        EXPECT_EQ(end ? 200 : 0, shown->ScanLine(0)[2]) << "a = " << int{end} << " is exact";
      }
    }
}

TEST(BlendFadeStep, RefusesPicturesOfAnotherSize) {
  auto old = Solid(pf24bit, 1, 2, 3);
  auto bigger = NewBitmap24(4, 2);
  EXPECT_EQ(nullptr, BlendFadeStep(*old, *bigger, 10));
}

}  // namespace
}  // namespace kv
