#include "skin/graphics/sGraphUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "Pixels.h"
#include "skin/model/sMaskData.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Numbered;
using testing::Px;
using testing::SetPx;

// --- colours -----------------------------------------------------------------------

TEST(ChangeColorSaturation, MovesChannelsTowardOrAwayFromTheirMean) {
  struct Case {
    TColor in;
    int amount;
    TColor want;
  } cases[] = {
      {ColorFromRGB(255, 0, 0), 100, ColorFromRGB(85, 85, 85)},
      {ColorFromRGB(255, 0, 0), -100, ColorFromRGB(255, 0, 0)},
      {ColorFromRGB(255, 0, 0), 50, ColorFromRGB(170, 42, 42)},  // 42.5 rounds to even
      {ColorFromRGB(10, 20, 30), 0, ColorFromRGB(10, 20, 30)},
      {static_cast<TColor>(0xFF00000F), 0, static_cast<TColor>(0xFF00000F)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChangeColorSaturation(c.in, c.amount), c.want) << c.in << " by " << c.amount;
}

TEST(ChangeColorHue, TurnsThePrimariesEitherWayAndLeavesGreysAlone) {
  struct Case {
    int degrees;
    TColor red, green, blue;  // what each primary becomes
  };
  const Case cases[] = {{120, clLime, clBlue, clRed},  {240, clBlue, clRed, clLime},
                        {-120, clBlue, clRed, clLime}, {-240, clLime, clBlue, clRed},
                        {-480, clBlue, clRed, clLime}, {360, clRed, clLime, clBlue},
                        {-360, clRed, clLime, clBlue}};
  const TColor grey = ColorFromRGB(90, 90, 90);
  for (const Case& c : cases) {
    EXPECT_EQ(ChangeColorHue(c.degrees, clRed), c.red) << c.degrees;
    EXPECT_EQ(ChangeColorHue(c.degrees, clLime), c.green) << c.degrees;
    EXPECT_EQ(ChangeColorHue(c.degrees, clBlue), c.blue) << c.degrees;
    EXPECT_EQ(ChangeColorHue(c.degrees, grey), grey) << c.degrees;
  }
  EXPECT_EQ(ChangeColorHue(360, ColorFromRGB(200, 100, 50)), ColorFromRGB(200, 100, 50));
}

TEST(MixColorsByFraction, WeighsTheFirstColourAndKeepsItsTopByte) {
  const TColor c1 = static_cast<TColor>(0x05102030), c2 = ColorFromRGB(1, 2, 3);
  EXPECT_EQ(MixColorsByFraction(c1, c2, 1.0), c1);
  EXPECT_EQ(MixColorsByFraction(c1, c2, 0.0), static_cast<TColor>(0x05000000 | c2));
  // 0.5 * (1 + 2) = 1.5 -> 2, 0.5 * (3 + 4) = 3.5 -> 4: halves go to even.
  EXPECT_EQ(MixColorsByFraction(ColorFromRGB(1, 3, 0), ColorFromRGB(2, 4, 0), 0.5),
            ColorFromRGB(2, 4, 0));
}

// --- blends ----------------------------------------------------------------------------

// The blend's arithmetic is TacFastSum's; here, what it takes and where it
// lands. With alpha 0 over black, values below 128 come out unchanged.
TEST(BlendBitmapRectFast, BlendsTheSourceRectangleAtThePoint) {
  TBitmap src = Numbered(8, 8, pf24bit);
  TBitmap dst(8, 8, pf24bit);
  BlendBitmapRectFast(&dst, &src, 0, {1, 5, 3, 7}, {2, 1});
  EXPECT_EQ(Px(dst, 2, 1), Px(src, 1, 5));
  EXPECT_EQ(Px(dst, 3, 2), Px(src, 2, 6));
  for (TPoint outside : {TPoint{1, 1}, TPoint{4, 1}, TPoint{2, 0}, TPoint{2, 3}})
    EXPECT_EQ(Px(dst, outside.X, outside.Y), 0u) << outside.X << "," << outside.Y;
}

// Alpha is the weight of what lies there: at 255 the source is all but
// gone and each destination byte d becomes (255 d + 127) shr 8, d or d - 1.
TEST(BlendBitmapRectFast, AtFullAlphaKeepsTheDestinationToWithinOne) {
  for (TPixelFormat f : {pf24bit, pf32bit}) {
    TBitmap src = Filled(2, 2, f, 0xFFFFFFFFu);
    TBitmap dst = Filled(2, 2, f, 0x0080FF01u);
    BlendBitmapRectFast(&dst, &src, 255, {0, 0, 2, 2}, {0, 0});
    EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, 0x7FFE01u) << f;
  }
}

TEST(BlendBitmapRectFast, ClipsAtEveryEdge) {
  struct Case {
    TRect src;
    TPoint at;
    int blended;  // pixels changed in a 4 x 4 destination
  } cases[] = {
      {{0, 0, 4, 4}, {-2, 0}, 8},  {{0, 0, 4, 4}, {0, -3}, 4},      {{0, 0, 4, 4}, {3, 3}, 1},
      {{-1, -1, 2, 2}, {0, 0}, 4}, {{2, 2, 9, 9}, {0, 0}, 4},       {{0, 0, 4, 4}, {4, 0}, 0},
      {{0, 0, 4, 4}, {-4, 0}, 0},  {{4, 4, 6, 6}, {0, 0}, 0},       {{0, 0, 0, 4}, {0, 0}, 0},
      {{0, 0, 4, 4}, {1, -10}, 0}, {{-10, -10, -5, -5}, {0, 0}, 0},
  };
  for (TPixelFormat f : {pf24bit, pf32bit}) {
    for (const Case& c : cases) {
      TBitmap src = Filled(4, 4, f, 0xFFFFFFFFu);
      TBitmap dst(4, 4, f);
      BlendBitmapRectFast(&dst, &src, 0, c.src, c.at);
      int changed = 0;
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) changed += Px(dst, x, y) != 0;
      EXPECT_EQ(changed, c.blended)
          << c.src.Left << "," << c.src.Top << " at " << c.at.X << "," << c.at.Y;
    }
  }
}

// A 24-bit child over a 32-bit parent cache, and the reverse: each bitmap is
// read by its own pixel size and the colours come out as the blend within
// the source's format gives them; a 32-bit destination keeps its alpha.
TEST(BlendBitmapRectFast, BlendsAcrossPixelFormatsAsWithinOne) {
  for (auto [from, onto] : {std::pair{pf24bit, pf32bit}, std::pair{pf32bit, pf24bit}}) {
    TBitmap src = Numbered(6, 5, from);
    TBitmap dst = Filled(6, 5, onto, 0x80405060u);
    TBitmap reference = Filled(6, 5, from, 0x80405060u);
    BlendBitmapRectFast(&dst, &src, 64, {1, 1, 4, 4}, {2, 1});
    BlendBitmapRectFast(&reference, &src, 64, {1, 1, 4, 4}, {2, 1});
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(Px(dst, x, y) & 0xFFFFFF, Px(reference, x, y) & 0xFFFFFF) << x << "," << y;
        if (onto == pf32bit) {
          EXPECT_EQ(Px(dst, x, y) >> 24, 0x80u) << x << "," << y;
        }
      }
    EXPECT_NE(Px(dst, 2, 1) & 0xFFFFFF, 0x405060u);  // something was blended
  }
}

TEST(BlendBitmapRect, RoundsTheFractionBlendAndSkipsTheTransparentColour) {
  TBitmap src = Filled(2, 1, pf24bit, 0x0000FF);  // blue bytes B 0xFF
  SetPx(src, 1, 0, 0xFF00FF);
  TBitmap dst = Filled(2, 1, pf24bit, 0x000000);
  // 255 - 255 * 0.5 = 127.5 -> 128 (half to even)
  BlendBitmapRect(&dst, 0, 0, &src, {0, 0, 1, 0}, 0.5, clFuchsia);
  EXPECT_EQ(Px(dst, 0, 0), 0x000080u);
  EXPECT_EQ(Px(dst, 1, 0), 0u);
  // A transparent colour whose top byte is 255 skips nothing.
  BlendBitmapRect(&dst, 0, 0, &src, {0, 0, 1, 0}, 0.0, static_cast<TColor>(0xFFFF00FF));
  EXPECT_EQ(Px(dst, 1, 0), 0xFF00FFu);
}

TEST(BlendBitmapRect, ComparesWhole32BitSourcePixelsWithTheKey) {
  TBitmap src = Filled(2, 1, pf32bit, 0x00FF00FFu);  // magenta, alpha 0
  SetPx(src, 1, 0, 0x01FF00FFu);                     // magenta, alpha 1
  TBitmap dst(2, 1, pf24bit);
  BlendBitmapRect(&dst, 0, 0, &src, {0, 0, 1, 0}, 0.0, clFuchsia);
  EXPECT_EQ(Px(dst, 0, 0), 0u);
  EXPECT_EQ(Px(dst, 1, 0), 0xFF00FFu);
}

TEST(BlendBitmapRect, ClipsTheInclusiveRectangleAndTheDestination) {
  TBitmap src = Filled(3, 3, pf32bit, 0xFF102030u);
  TBitmap dst = Filled(3, 3, pf32bit, 0x44000000u);
  BlendBitmapRect(&dst, 2, -1, &src, {-1, 0, 9, 9}, 0.0, clFuchsia);
  // Left -1 moves the destination to x 3: no column lies inside.
  EXPECT_EQ(Px(dst, 2, 0), 0x44000000u);
  BlendBitmapRect(&dst, 1, -1, &src, {0, 0, 9, 9}, 0.0, clFuchsia);
  EXPECT_EQ(Px(dst, 1, 0), 0x44102030u);  // alpha of a 32-bit destination untouched
  EXPECT_EQ(Px(dst, 2, 1), 0x44102030u);
  EXPECT_EQ(Px(dst, 0, 0), 0x44000000u);
  EXPECT_EQ(Px(dst, 1, 2), 0x44000000u);
}

TEST(TintBitmap, MovesPixelsTowardTheColourExceptTheTransparentOnes) {
  TBitmap b = Filled(2, 1, pf32bit, 0x7F000064u);
  SetPx(b, 1, 0, 0x7FFF00FFu);
  TintBitmap(&b, ColorFromRGB(0, 0, 0), clFuchsia, 0.5);
  EXPECT_EQ(Px(b, 0, 0), 0x7F000032u);
  EXPECT_EQ(Px(b, 1, 0), 0x7FFF00FFu);
}

TEST(ShadeByMask, KeepsThePictureWhereTheMaskIsWhiteAndTakesTheColourWhereBlack) {
  TBitmap b = Filled(2, 1, pf24bit, 0x102030);
  TBitmap m(2, 1, pf24bit);
  SetPx(m, 0, 0, 0xFFFFFF);
  ShadeByMask(&b, &m, ColorFromRGB(0xAA, 0xBB, 0xCC));
  EXPECT_EQ(Px(b, 0, 0), 0x102030u);  // ((p - c) * 255 + c * 256) shr 8 keeps p
  EXPECT_EQ(Px(b, 1, 0), 0xAABBCCu);
}

TEST(GrayscaleBitmap, AveragesTheColourBytesAndKeepsAlpha) {
  TBitmap b = Filled(2, 1, pf32bit, 0x80030609u);
  GrayscaleBitmap(&b);
  EXPECT_EQ(Px(b, 0, 0), 0x80060606u);
  TBitmap c = Filled(2, 1, pf24bit, 0xFF00FF);
  SetPx(c, 1, 0, 0x0000FF);
  GrayscaleBitmapExcept(&c, clFuchsia);
  EXPECT_EQ(Px(c, 0, 0), 0xFF00FFu);
  EXPECT_EQ(Px(c, 1, 0), 0x555555u);
}

TEST(CopyBitmapChannel, MovesOneByteOfEachPixelBothWays) {
  TBitmap b32 = Filled(3, 2, pf32bit, 0x11223344u);
  TBitmap b8(2, 2, pf8bit);
  CopyBitmapChannel(&b32, &b8, 3, true);
  EXPECT_EQ(Px(b8, 1, 1), 0x11u);
  SetPx(b8, 0, 0, 0x99);
  CopyBitmapChannel(&b32, &b8, 0, false);
  EXPECT_EQ(Px(b32, 0, 0), 0x11223399u);
  EXPECT_EQ(Px(b32, 2, 0), 0x11223344u);  // beyond the 8-bit bitmap
}

// --- copies ---------------------------------------------------------------------------------

TEST(CopyBitmapSkipTransparent, SetsAlphaOnCopiedPixelsOnly) {
  TBitmap src = Filled(2, 2, pf24bit, 0x123456);
  SetPx(src, 1, 1, 0xFF00FF);
  TBitmap dst(3, 3, pf32bit);
  CopyBitmapSkipTransparent(&dst, &src, 1, 1, clFuchsia);
  EXPECT_EQ(Px(dst, 1, 1), 0xFF123456u);
  EXPECT_EQ(Px(dst, 2, 2), 0u);
  EXPECT_EQ(Px(dst, 0, 0), 0u);
  CopyBitmapSkipTransparent(&dst, &src, -1, -1, clFuchsia);
  EXPECT_EQ(Px(dst, 0, 0), 0u);  // source (1, 1) is transparent
  CopyBitmapSkipTransparent(&dst, &src, 5, 5, clFuchsia);
}

TEST(CopyRectSkipTransparent24, CopiesAnInclusiveRectangleClippedOnEverySide) {
  TBitmap src = Numbered(4, 4, pf24bit);
  TBitmap dst(3, 3, pf24bit);
  CopyRectSkipTransparent24(&dst, &src, 1, 1, {-2, -2, 9, 9}, clFuchsia);
  EXPECT_EQ(Px(dst, 1, 1), Px(src, 0, 0) & 0xFFFFFF);
  EXPECT_EQ(Px(dst, 2, 2), Px(src, 1, 1) & 0xFFFFFF);
  EXPECT_EQ(Px(dst, 0, 0), 0u);
}

TEST(CopyRectWithTransparency, BlendsAlphaAndFillsMagentaFromTheBackground) {
  TBitmap src(3, 1, pf32bit);
  SetPx(src, 0, 0, 0x80FF0000u);  // red at half alpha
  SetPx(src, 1, 0, 0x00FF00FFu);  // magenta
  SetPx(src, 2, 0, 0xFF0000FFu);  // opaque blue
  TBitmap bg = Filled(10, 10, pf24bit, 0x00FF00);
  TBitmap dst(3, 1, pf24bit);
  const TsBgCacheInfo info{&bg, 2, 2, 0xFF00FF, true};
  CopyRectWithTransparency({0, 0, 3, 1}, {0, 0, 3, 1}, &dst, &src, info, true);
  EXPECT_EQ(Px(dst, 0, 0), 0x7F0000u);  // (255 - 0) * 128 shr 8
  EXPECT_EQ(Px(dst, 1, 0), 0x00FF00u);
  EXPECT_EQ(Px(dst, 2, 0), 0x0000FEu);
  TBitmap plain(3, 1, pf24bit);
  CopyRectWithTransparency({0, 0, 3, 1}, {0, 0, 3, 1}, &plain, &src, EmptyBgCacheInfo, true);
  EXPECT_EQ(Px(plain, 1, 0), 0u);
}

TEST(CopyRectWithTransparency, LeavesBackgroundOutsideItsBitmapAlone) {
  TBitmap src = Filled(2, 2, pf24bit, 0xFF00FF);
  TBitmap bg = Filled(2, 2, pf24bit, 0x00FF00);
  TBitmap dst = Filled(2, 2, pf24bit, 0x111111);
  const TsBgCacheInfo info{&bg, 1, 1, 0xFF00FF, true};
  CopyRectWithTransparency({0, 0, 5, 5}, {-1, -1, 5, 5}, &dst, &src, info, true);
  EXPECT_EQ(Px(dst, 1, 0), 0x111111u);  // (1 + 1 + 1, 0 + 1 + 1) lies outside bg
}

TEST(CopyRectWithBackground, ReplacesTheTransparentColourFromTheBackground) {
  TBitmap src = Filled(2, 2, pf24bit, 0x010203);
  SetPx(src, 0, 0, 0xFF00FF);
  TBitmap bg = Filled(4, 4, pf24bit, 0x00FF00);
  TBitmap dst(4, 4, pf32bit);
  const TsBgCacheInfo info{&bg, 0, 0, 0, true};
  CopyRectWithBackground(&dst, &src, 2, true, info, clFuchsia, {0, 0, 1, 1}, 2);
  EXPECT_EQ(Px(dst, 2, 2), 0x0000FF00u);
  EXPECT_EQ(Px(dst, 3, 3), 0xFF010203u);
  CopyRectWithBackground(&dst, &src, -1, false, info, clFuchsia, {0, 0, 1, 1}, -1);
  EXPECT_EQ(Px(dst, 0, 0), 0xFF010203u);
}

TEST(PaintAlphaBitmap, BlendsByPerPixelAlphaWithOptionalSilhouette) {
  TBitmap src(2, 1, pf32bit);
  SetPx(src, 0, 0, 0xFFFFFFFFu);
  SetPx(src, 1, 0, 0x40FFFFFFu);
  TBitmap dst(2, 1, pf24bit);
  PaintAlphaBitmap({0, 0, 2, 1}, {0, 0, 2, 1}, &dst, false, 0, clNone, false, EmptyBgCacheInfo,
                   &src);
  EXPECT_EQ(Px(dst, 0, 0), 0xFEFEFEu);  // 255 * 255 shr 8: per-pixel alpha 255 gives 254
  EXPECT_EQ(Px(dst, 1, 0), 0x3F3F3Fu);
  TBitmap tinted(2, 1, pf24bit);
  PaintAlphaBitmap({0, 0, 2, 1}, {0, 0, 2, 1}, &tinted, false, 0, clRed, false, EmptyBgCacheInfo,
                   &src);
  EXPECT_EQ(Px(tinted, 0, 0), 0xFE0000u);
}

// The reflection's alpha is rounded to the nearest: with Option 0 it is
// (a div 3) x fade / 255, else a x (100 - Option) / 300 x fade / 255; the
// fade falls from 255 by 255 div 2 a row here.
TEST(PaintAlphaBitmap, MirrorsAFadingReflectionBelowThePicture) {
  struct Row {
    std::uint8_t option;
    unsigned first, second;  // alpha of the two reflected rows
  };
  for (const Row& row : {Row{0, 85, 43},      // 85; 85 x 128 / 255 = 42.67
                         Row{40, 51, 26}}) {  // 51; 51 x 128 / 255 = 25.6
    TBitmap src = Filled(1, 4, pf32bit, 0xFFFFFFFFu);
    TBitmap dst(1, 8, pf24bit);
    PaintAlphaBitmap({0, 0, 1, 4}, {0, 0, 1, 4}, &dst, true, row.option, clNone, false,
                     EmptyBgCacheInfo, &src);
    EXPECT_EQ(Px(dst, 0, 4) & 0xFF, (255u * row.first) >> 8) << int(row.option);
    EXPECT_EQ(Px(dst, 0, 5) & 0xFF, (255u * row.second) >> 8) << int(row.option);
    EXPECT_EQ(Px(dst, 0, 6), 0u);
  }
  TBitmap dst(1, 8, pf24bit);
  TBitmap one = Filled(1, 1, pf32bit, 0xFFFFFFFFu);  // too short for a reflection
  PaintAlphaBitmap({0, 0, 1, 1}, {0, 0, 1, 1}, &dst, true, 0, clNone, false, EmptyBgCacheInfo,
                   &one);
  EXPECT_EQ(Px(dst, 0, 1), 0u);
}

TEST(PaintAlphaBitmap, ClipsRectanglesOutsideEitherBitmap) {
  TBitmap src = Filled(3, 3, pf32bit, 0xFFFFFFFFu);
  TBitmap dst(3, 3, pf24bit);
  PaintAlphaBitmap({-1, -1, 5, 5}, {0, 0, 6, 6}, &dst, true, 0, clNone, false, EmptyBgCacheInfo,
                   &src);
  EXPECT_EQ(Px(dst, 0, 0), 0xFEFEFEu);
  PaintAlphaBitmap({5, 5, 9, 9}, {0, 0, 4, 4}, &dst, true, 0, clNone, false, EmptyBgCacheInfo,
                   &src);
}

TEST(MixBitmapsByMask, MixesByMaskOrWeightIntoTheColourBytes) {
  TBitmap first = Filled(2, 1, pf24bit, 0xFFFFFF);
  TBitmap second = Filled(2, 1, pf24bit, 0x000000);
  TBitmap dst = Filled(2, 1, pf32bit, 0x77000000u);
  TBitmap mask(2, 1, pf24bit);
  SetPx(mask, 1, 0, 0x80FF00);
  MixBitmapsByMask(&dst, &first, &second, &mask, 0);
  EXPECT_EQ(Px(dst, 0, 0), 0x77000000u);
  EXPECT_EQ(Px(dst, 1, 0), 0x777FFE00u);
  MixBitmapsByMask(&dst, &first, &second, nullptr, 128);
  EXPECT_EQ(Px(dst, 0, 0), 0x777F7F7Fu);
  TBitmap small(1, 1, pf24bit);
  MixBitmapsByMask(&dst, &first, &small, nullptr, 0);  // sizes differ: nothing
  EXPECT_EQ(Px(dst, 0, 0), 0x777F7F7Fu);
}

TEST(BlendAlphaBitmapMasked, SkipsPixelsWhereTheMaskIsRed) {
  TBitmap src = Filled(2, 2, pf32bit, 0xFF0000FFu);
  TBitmap dst(2, 2, pf24bit);
  TBitmap mask(2, 2, pf24bit);
  SetPx(mask, 1, 1, 0xFF0000);
  BlendAlphaBitmapMasked(&dst, &src, &mask, {-5, -5, 50, 50});
  EXPECT_EQ(Px(dst, 0, 0), 0x0000FEu);
  EXPECT_EQ(Px(dst, 1, 1), 0u);
}

TEST(RotateBitmap90, TurnsBothWaysAndRefusesOtherFormats) {
  TBitmap b = Numbered(3, 2, pf32bit);
  auto cw = RotateBitmap90(b, true);
  ASSERT_TRUE(cw);
  EXPECT_EQ(cw->Width(), 2);
  EXPECT_EQ(cw->Height(), 3);
  EXPECT_EQ(Px(*cw, 2 - 1 - 0, 0), Px(b, 0, 0));  // (x, y) -> (h - 1 - y, x)
  EXPECT_EQ(Px(*cw, 0, 2), Px(b, 2, 1));
  auto ccw = RotateBitmap90(b, false);
  EXPECT_EQ(Px(*ccw, 0, 2), Px(b, 0, 0));  // (x, y) -> (y, w - 1 - x)
  EXPECT_EQ(Px(*ccw, 1, 0), Px(b, 2, 1));
  TBitmap line = Numbered(1, 5, pf24bit);
  EXPECT_EQ(Px(*RotateBitmap90(line, true), 4, 0), Px(line, 0, 0) & 0xFFFFFF);
  EXPECT_EQ(RotateBitmap90(TBitmap(2, 2, pf8bit), true), nullptr);
}

TEST(CopyMaskPartWithBackground, MixesTheImageIntoTheDestinationThroughTheMaskPlane) {
  // A 2 x 1 image over its 2 x 1 mask plane: mask 0 shows the image, 255 keeps the destination.
  TBitmap src(2, 2, pf24bit);
  SetPx(src, 0, 0, 0xC0C0C0);
  SetPx(src, 1, 0, 0xC0C0C0);
  SetPx(src, 0, 1, 0x000000);
  SetPx(src, 1, 1, 0xFFFFFF);
  TsMaskData mask;
  mask.R = {0, 0, 2, 2};
  TBitmap dst = Filled(3, 1, pf24bit, 0x404040);
  CopyMaskPartWithBackground({0, 0, 2, 1}, {0, 0, 2, 1}, &dst, &src, EmptyBgCacheInfo, false, mask);
  EXPECT_EQ(Px(dst, 0, 0), 0xC0C0C0u);
  EXPECT_EQ(Px(dst, 1, 0), 0x404040u);  // ((0x40 - 0xC0) * 255 + 0xC0 * 256) shr 8 = 0x40
  TBitmap bg = Filled(3, 1, pf24bit, 0x00FF00);
  const TsBgCacheInfo info{&bg, 0, 0, 0xFF00FF, true};
  CopyMaskPartWithBackground({1, 0, 3, 1}, {0, 0, 2, 1}, &dst, &src, info, true, mask);
  EXPECT_EQ(Px(dst, 2, 0), 0x00FE00u);
  // Rows below the image's plane are never read (ASan).
  CopyMaskPartWithBackground({0, 0, 2, 5}, {0, 0, 2, 5}, &dst, &src, info, true, mask);
}

TEST(StretchBitmapNinePart, CopiesCornersAndTilesEdgesAndCentre) {
  const TBitmap src = Numbered(6, 6, pf24bit);  // margins 2 each, a 2 x 2 centre
  TBitmap dst(10, 10, pf24bit);
  const int tile[4] = {0, 0, 0, 0};
  StretchBitmapNinePart(&dst, const_cast<TBitmap*>(&src), {0, 0, 10, 10}, {0, 0, 6, 6},
                        {2, 2, 2, 2}, {2, 2, 2, 2}, tile, false, true);
  EXPECT_EQ(Px(dst, 0, 0), Px(src, 0, 0));
  EXPECT_EQ(Px(dst, 9, 9), Px(src, 5, 5));
  EXPECT_EQ(Px(dst, 8, 0), Px(src, 4, 0));
  EXPECT_EQ(Px(dst, 0, 9), Px(src, 0, 5));
  // Top edge tiled from the source's top margin: columns 2, 3, then 2, 3 again.
  EXPECT_EQ(Px(dst, 4, 0), Px(src, 2, 0));
  EXPECT_EQ(Px(dst, 7, 1), Px(src, 3, 1));
  EXPECT_EQ(Px(dst, 5, 5), Px(src, 3, 3));  // centre tile
}

TEST(StretchBitmapNinePart, PaintsTheCentreOnlyWhenAskedAndStretchesEdgesByMode) {
  TBitmap src = Numbered(6, 6, pf24bit);
  TBitmap dst(10, 10, pf24bit);
  const int stretch[4] = {1, 1, 1, 1};
  StretchBitmapNinePart(&dst, &src, {0, 0, 10, 10}, {0, 0, 6, 6}, {2, 2, 2, 2}, {2, 2, 2, 2},
                        stretch, false, false);
  EXPECT_EQ(Px(dst, 5, 5), 0u);
  // A 2-pixel edge stretched over 6: pixels 2..4 from column 2, 5..7 from column 3.
  EXPECT_EQ(Px(dst, 4, 0), Px(src, 2, 0));
  EXPECT_EQ(Px(dst, 5, 0), Px(src, 3, 0));
}

TEST(StretchBitmapNinePart, DrawsTheExtraCornerPieceOnlyBeyondTheLimit) {
  TBitmap src = Numbered(8, 8, pf24bit);
  const int tile[4] = {0, 0, 0, 0};
  TBitmap limited(12, 12, pf24bit);
  StretchBitmapNinePart(&limited, &src, {0, 0, 12, 12}, {0, 0, 8, 8}, {3, 3, 3, 3}, {3, 3, 1, 1},
                        tile, false, false);
  // MB 3 > LB' 1: the piece above the bottom-right corner is LR' = 1 wide at the right edge.
  EXPECT_EQ(Px(limited, 11, 9), Px(src, 7, 5));
  EXPECT_EQ(Px(limited, 10, 9), 0u);
  TBitmap plain(12, 12, pf24bit);
  StretchBitmapNinePart(&plain, &src, {0, 0, 12, 12}, {0, 0, 8, 8}, {3, 3, 3, 3}, {3, 3, 3, 3},
                        tile, false, false);
  EXPECT_EQ(Px(plain, 10, 9), Px(src, 6, 5));
}

TEST(StretchBitmapNinePart, SkipsPiecesOfNoSizeWhenMarginsExceedTheDestination) {
  TBitmap src = Numbered(6, 6, pf32bit);
  TBitmap dst(3, 3, pf32bit);
  const int modes[4] = {1, 0, 1, 0};
  StretchBitmapNinePart(&dst, &src, {-2, -2, 3, 3}, {0, 0, 6, 6}, {4, 4, 4, 4}, {9, 9, 9, 9}, modes,
                        true, true);
  StretchBitmapNinePart(&dst, &src, {0, 0, 3, 3}, {4, 4, 20, 20}, {1, 1, 1, 1}, {1, 1, 1, 1}, modes,
                        true, true);
}

// Painters whose background record is their destination itself (as the
// corner images paint over their own bitmap): a transparent source pixel
// takes the destination's pixel from under itself, which leaves it as it was.
TEST(PaintersOverTheirOwnBackground, LeaveThePixelsUnderTransparentOnes) {
  TBitmap key32 = Filled(2, 2, pf32bit, 0xFFFF00FFu);
  TBitmap key24 = Filled(2, 2, pf24bit, 0xFF00FFu);
  TsMaskData mask;
  mask.R = {0, 0, 2, 4};
  mask.ImageCount = 1;
  mask.MaskType = 1;  // the image, and a mask plane below it
  TBitmap planed = Filled(2, 4, pf24bit, 0xFF00FFu);
  const std::pair<const char*, std::function<void(TBitmap&, const TsBgCacheInfo&)>> painters[] = {
      {"CopyRectWithTransparency",
       [&](TBitmap& d, const TsBgCacheInfo& i) {
         CopyRectWithTransparency({0, 0, 2, 2}, {0, 0, 2, 2}, &d, &key24, i, true);
       }},
      {"CopyRectWithBackground",
       [&](TBitmap& d, const TsBgCacheInfo& i) {
         CopyRectWithBackground(&d, &key24, 0, true, i, 0xFF00FF, {0, 0, 1, 1}, 0);
       }},
      {"PaintAlphaBitmap",
       [&](TBitmap& d, const TsBgCacheInfo& i) {
         PaintAlphaBitmap({0, 0, 2, 2}, {0, 0, 2, 2}, &d, false, 0, clNone, true, i, &key32);
       }},
      {"CopyMaskPartWithBackground",
       [&](TBitmap& d, const TsBgCacheInfo& i) {
         CopyMaskPartWithBackground({0, 0, 2, 2}, {0, 0, 2, 2}, &d, &planed, i, true, mask);
       }},
  };
  for (const auto& [name, paint] : painters)
    for (TPixelFormat f : {pf24bit, pf32bit}) {
      TBitmap dst = Numbered(2, 2, f);
      const TBitmap before = dst;
      paint(dst, TsBgCacheInfo{&dst, 0, 0, 0xFF00FF, true});
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
          EXPECT_EQ(Px(dst, x, y) & 0xFFFFFF, Px(before, x, y) & 0xFFFFFF)
              << name << " " << x << "," << y;
    }
}

TEST(DrawMultiStateGlyph, PicksTheFrameOfTheStateAndSkipsItsBottomLeftColour) {
  // Three 2 x 2 frames; each frame's bottom-left pixel is its own key colour.
  TBitmap strip = Filled(6, 2, pf24bit, 0x111111);
  for (int f = 0; f < 3; ++f) SetPx(strip, 2 * f + 1, 0, 0x100000u * (f + 1));
  SetPx(strip, 2, 1, 0x222222);
  for (int state = 0; state < 3; ++state) {
    TBitmap dst = Filled(2, 2, pf24bit, 0xABCDEF);
    DrawMultiStateGlyph(&strip, &dst, {0, 0}, 3, true, 0, state, 0, 0);
    EXPECT_EQ(Px(dst, 1, 0), 0x100000u * (state + 1)) << "state " << state;
    EXPECT_EQ(Px(dst, 0, 1), 0xABCDEFu) << "state " << state;  // the frame's key colour
  }
  TBitmap dst = Filled(2, 2, pf24bit, 0xABCDEF);
  DrawMultiStateGlyph(&strip, &dst, {0, 0}, 3, false, 0, 1, 0, 0);  // disabled: frame 0
  EXPECT_EQ(Px(dst, 1, 0), 0x100000u);
}

TEST(DrawMultiStateGlyph, GreysOrBlendsSingleFramesWhenDisabled) {
  TBitmap glyph = Filled(2, 2, pf24bit, 0x0000FFu);
  SetPx(glyph, 0, 1, 0xFF00FFu);  // bottom-left: the key
  TBitmap grey = Filled(2, 2, pf24bit, 0);
  DrawMultiStateGlyph(&glyph, &grey, {0, 0}, 1, false, dkGrayedBit, 0, 0, 0);
  EXPECT_EQ(Px(grey, 1, 1), 0x555555u);
  EXPECT_EQ(Px(grey, 0, 1), 0u);
  TBitmap blended = Filled(2, 2, pf24bit, 0);
  DrawMultiStateGlyph(&glyph, &blended, {0, 0}, 0, false, dkBlendedBit, 0, 0, 0);
  EXPECT_EQ(Px(blended, 1, 1), 0x000080u);  // 255 - 255 * 0.5 = 127.5 -> 128
}

// 16-colour strips show their first frame when hot or pressed, unless the
// pressed frame lies beyond the offset; other strips show frames 1 and 2.
TEST(DrawMultiStateGlyph, SixteenColourStripsKeepTheFirstFrameWhenHotOrPressed) {
  const struct {
    TPixelFormat format;
    int frames, state, frame;
  } cases[] = {
      {pf4bit, 4, 1, 0}, {pf4bit, 2, 2, 0}, {pf4bit, 3, 2, 2}, {pf4bit, 4, 0, 0},
      {pf24bit, 4, 1, 1}, {pf24bit, 2, 2, 1}, {pf24bit, 3, 2, 2},
  };
  const std::uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  for (const auto& c : cases) {
    // Frames of 2 x 2, each a colour of its own over a white bottom-left key.
    TBitmap strip = Filled(2 * c.frames, 2, pf24bit, 0xFFFFFF);
    for (int f = 0; f < c.frames; ++f) SetPx(strip, 2 * f + 1, 0, colours[f]);
    if (c.format == pf4bit) {
      // Palette index 0 white, f + 1 frame f's colour; two pixels a byte.
      strip = TBitmap(2 * c.frames, 2, pf4bit);
      strip.SetPalette({clWhite, static_cast<TColor>(0x0000FF), static_cast<TColor>(0x00FF00),
                        static_cast<TColor>(0xFF0000), static_cast<TColor>(0x00FFFF)});
      for (int f = 0; f < c.frames; ++f) strip.ScanLine(0)[f] = static_cast<std::uint8_t>(f + 1);
    }
    TBitmap dst = Filled(2, 2, pf24bit, 0xABCDEF);
    DrawMultiStateGlyph(&strip, &dst, {0, 0}, c.frames, true, 0, c.state, 0, 0);
    EXPECT_EQ(Px(dst, 1, 0), colours[c.frame])
        << (c.format == pf4bit ? "16 colours, " : "24 bit, ") << c.frames << " frames, state "
        << c.state;
    EXPECT_EQ(Px(dst, 0, 1), 0xABCDEFu) << "the key is left out";
  }
}

// A 32-bit strip is keyed as any other, its alpha bytes unread: a glyph
// whose alpha is all 0 is drawn, one whose alpha is 255 loses its key box.
TEST(DrawMultiStateGlyph, KeysAThirtyTwoBitGlyphByItsBottomLeftPixel) {
  for (const std::uint32_t alpha : {0x00000000u, 0xFF000000u}) {
    TBitmap glyph = Filled(3, 3, pf32bit, alpha | 0xFF00FFu);
    SetPx(glyph, 1, 1, alpha | 0x0000FFu);
    TBitmap dst = Filled(3, 3, pf24bit, 0x3366CC);
    DrawMultiStateGlyph(&glyph, &dst, {0, 0}, 1, true, 0, 0, 0, 0);
    EXPECT_EQ(Px(dst, 1, 1), 0x0000FFu) << "alpha " << std::hex << alpha;
    EXPECT_EQ(Px(dst, 0, 0), 0x3366CCu) << "alpha " << std::hex << alpha;
  }
}

// A button adapter's single 32-bit glyph goes on by its alpha: a soft edge
// mixes with what is under it, an opaque pixel covers it exactly, a clear
// pixel leaves it, whatever its colour bytes.
TEST(DrawButtonGlyph, LaysASingleThirtyTwoBitGlyphOnByItsAlpha) {
  constexpr std::uint32_t kUnder = 0x3366CC;
  // 3 x 3: an opaque red centre, a half-transparent red ring, clear black corners.
  TBitmap glyph = Filled(3, 3, pf32bit, 0x80FF0000u);
  SetPx(glyph, 1, 1, 0xFFFF0000u);
  for (const auto& [x, y] : {std::pair{0, 0}, {2, 0}, {0, 2}, {2, 2}}) SetPx(glyph, x, y, 0u);
  const auto mix = [](std::uint32_t s, std::uint32_t d, int a) {
    std::uint32_t v = 0;
    for (int sh = 0; sh < 24; sh += 8) {
      const int sc = s >> sh & 0xFF, dc = d >> sh & 0xFF;
      v |= static_cast<std::uint32_t>((sc * a + dc * (255 - a) + 127) / 255) << sh;
    }
    return v;
  };
  struct Case {
    bool enabled;
    int kind, blend, keep;  // keep: percent of the glyph's alpha
    bool grey;
  } cases[] = {{true, 0, 0, 100, false},
               {true, 0, 40, 60, false},
               {false, dkBlendedBit, 0, 50, false},
               {false, dkGrayedBit, 0, 100, true}};
  for (const Case& c : cases) {
    TBitmap dst = Filled(5, 5, pf24bit, kUnder);
    DrawButtonGlyph(&glyph, &dst, {1, 1}, 1, c.enabled, c.kind, 0, c.blend, 0);
    const std::uint32_t red = c.grey ? 0x555555 : 0xFF0000;
    EXPECT_EQ(Px(dst, 2, 2), mix(red, kUnder, 255 * c.keep / 100)) << "centre, blend " << c.blend;
    EXPECT_EQ(Px(dst, 2, 1), mix(red, kUnder, 128 * c.keep / 100)) << "edge, blend " << c.blend;
    EXPECT_EQ(Px(dst, 1, 1), kUnder) << "a clear corner";
    EXPECT_EQ(Px(dst, 3, 3), kUnder) << "a clear corner";
    EXPECT_EQ(Px(dst, 0, 0), kUnder) << "outside";
  }
}

// A 100 x 30 client rectangle. Along the layout's axis, positions from the
// table; across it, glyph and text are each centred.
TEST(LayoutGlyphAndCaption, PlacesGlyphAndTextByLayoutAlignmentMarginAndSpacing) {
  const struct {
    const char* what;
    std::uint8_t layout, alignment;
    int margin, spacing, biDi;
    TPoint glyphSize;
    int glyphAt, textAt;  // X for layouts 0 and 1, Y for 2 and 3
  } cases[] = {
      {"glyph before text from the margin", 0, 0, 4, 3, 0, {16, 16}, 4, 4 + 16 + 3},
      {"glyph right, right aligned: from the far edge",
       1,
       1,
       4,
       3,
       0,
       {16, 16},
       100 - 4 - 16,
       100 - 4 - 16 - 3 - 40},
      {"centred: margin (100 - 16 - 4 - 40 + 1) div 2", 0, 2, -1, 4, 0, {16, 16}, 20, 40},
      {"automatic margin and spacing: (100 - 56) div 3 each",
       0,
       0,
       -1,
       -1,
       0,
       {16, 16},
       14,
       14 + 16 + 14},
      {"automatic spacing: (100 - 10 - 56) div 2", 0, 0, 10, -1, 0, {16, 16}, 10, 10 + 16 + 17},
      {"right-to-left reading swaps the sides", 0, 0, 4, 3, 2, {16, 16}, 4 + 40 + 3, 4},
      {"no glyph, no spacing", 0, 0, 4, 9, 0, {0, 0}, 4, 4},
      {"glyph above", 2, 0, 1, 2, 0, {16, 8}, 1, 1 + 8 + 2},
      {"glyph below", 3, 0, 1, 2, 0, {16, 8}, 1 + 12 + 2, 1},
  };
  const TPoint textSize{40, 12};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPoint glyph;
    TRect text;
    LayoutGlyphAndCaption({10, 10, 110, 40}, c.glyphSize, textSize, c.layout, c.alignment, c.margin,
                          c.spacing, glyph, text, c.biDi);
    EXPECT_EQ(text.Width(), textSize.X);
    EXPECT_EQ(text.Height(), textSize.Y);
    if (c.layout < 2) {
      EXPECT_EQ(glyph.X, c.glyphAt);
      EXPECT_EQ(text.Left, c.textAt);
      EXPECT_EQ(glyph.Y, (30 - c.glyphSize.Y + 1) / 2);
      EXPECT_EQ(text.Top, (30 - textSize.Y + 1) / 2);
    } else {
      EXPECT_EQ(glyph.Y, c.glyphAt);
      EXPECT_EQ(text.Top, c.textAt);
      EXPECT_EQ(glyph.X, (100 - c.glyphSize.X + 1) / 2);
      EXPECT_EQ(text.Left, (100 - textSize.X + 1) / 2);
    }
  }
}

}  // namespace
}  // namespace kv
