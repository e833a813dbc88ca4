#include "skin/graphics/sMaskPaintControl.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/model/sSkinModel.h"

namespace kv {
namespace {

TColor PixelOf(const TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return ColorFromRGB(p[2], p[1], p[0]);
}

void Fill(TBitmap& bmp, TColor c) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      std::uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
      p[0] = static_cast<std::uint8_t>(c >> 16), p[1] = static_cast<std::uint8_t>(c >> 8),
      p[2] = static_cast<std::uint8_t>(c);
    }
}

void SetPixel(TBitmap& bmp, int x, int y, TColor c) {
  std::uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  p[0] = static_cast<std::uint8_t>(c >> 16), p[1] = static_cast<std::uint8_t>(c >> 8),
  p[2] = static_cast<std::uint8_t>(c);
}

// A border mask of three 10 x 10 frames over their mask plane, margins 3;
// only frame 2 has transparent pixels, one in each corner and one inside.
TsSkinModel CornerSkin() {
  auto image = std::make_shared<TBitmap>(30, 20, pf24bit);
  Fill(*image, 0xFFFFFF);
  for (auto [x, y] : {std::pair{20, 0}, {20, 9}, {29, 9}, {29, 0}, {25, 5}})
    SetPixel(*image, x, y, TransparentColor);
  TsSkinModel skin;
  TsMaskData mask;
  mask.Bmp = image;
  mask.R = {0, 0, 30, 20};
  mask.ImageCount = 3;
  mask.MaskType = 1;
  mask.WL = mask.WT = mask.WR = mask.WB = 3;
  skin.MaskData.push_back(mask);
  return skin;
}

struct CornerCase {
  const char* name;
  int cacheWidth, state, corners;
  int bgWidth, bgX, bgY;  // bgWidth 0: a colour background
  TColor fill;
  // Top-left, bottom-left, bottom-right, top-right, an inner pixel (x 4, y 3).
  std::vector<TColor> expected;
};

constexpr TColor kRed = 0x0000FF, kBlack = 0;
// A background pixel (x, y) holds RGB(x, y, 9).
constexpr TColor Bg(int x, int y) { return ColorFromRGB(x, y, 9); }

TEST(FillCacheCornersFromMask, TakesTheBackgroundUnderTransparentCornerPixels) {
  const TsSkinModel skin = CornerSkin();
  const CornerCase cases[] = {
      {"state past the frames",
       8,
       5,
       ccAllCorners,
       0,
       0,
       0,
       kRed,
       {kRed, kRed, kRed, kRed, kBlack}},
      {"frame without holes", 8, 0, ccAllCorners, 0, 0, 0, kRed, {0, 0, 0, 0, 0}},
      {"two corners", 8, 2, 1 | 8, 0, 0, 0, kRed, {kRed, kBlack, kRed, kBlack, kBlack}},
      {"no colour", 8, 2, ccAllCorners, 0, 0, 0, TransparentColor, {0, 0, 0, 0, 0}},
      {"too narrow", 1, 2, ccAllCorners, 0, 0, 0, kRed, {0, 0, 0, 0, 0}},
      {"bitmap",
       8,
       2,
       ccAllCorners,
       20,
       3,
       2,
       0,
       {Bg(3, 2), Bg(3, 7), Bg(10, 7), Bg(10, 2), kBlack}},
      // Below the background's rows the pixel stays; right of it the row ends.
      {"small bitmap", 8, 2, ccAllCorners, 9, 3, 2, 0, {Bg(3, 2), kBlack, kBlack, kBlack, kBlack}},
  };
  for (const CornerCase& c : cases) {
    TBitmap cache(c.cacheWidth, 6, pf24bit);
    Fill(cache, kBlack);
    TBitmap bg(c.bgWidth > 0 ? c.bgWidth : 1, c.bgWidth == 9 ? 6 : 20, pf32bit);
    for (int y = 0; y < bg.Height(); ++y)
      for (int x = 0; x < bg.Width(); ++x) SetPixel(bg, x, y, Bg(x, y));
    const TsBgCacheInfo info{c.bgWidth > 0 ? &bg : nullptr, c.bgX, c.bgY, c.fill, c.bgWidth > 0};
    FillCacheCornersFromMask(&cache, &skin, 0, c.state, c.corners, info);
    if (c.cacheWidth < 2) {
      EXPECT_EQ(PixelOf(cache, 0, 0), kBlack) << c.name;
      continue;
    }
    const TPoint at[] = {{0, 0}, {0, 5}, {7, 5}, {7, 0}, {4, 3}};
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(PixelOf(cache, at[i].X, at[i].Y), c.expected[static_cast<size_t>(i)])
          << c.name << " point " << i;
  }
}

TEST(ApplyDisabledKind, GreysAndBlendsKeepingAlpha) {
  struct Case {
    TsDisabledKind kinds;
    TColor fill, controlColor;
    TColor expected;
  } cases[] = {
      {dkGrayed, TransparentColor, 0, ColorFromRGB(60, 60, 60)},
      {dkBlended, 0xFFFFFF, 0, ColorFromRGB(172, 158, 142)},
      {dkBlended, TransparentColor, 0, ColorFromRGB(45, 30, 15)},  // the control's colour
      {dkGrayed | dkBlended, TransparentColor, 0, ColorFromRGB(30, 30, 30)},
  };
  for (const Case& c : cases) {
    TBitmap bmp(2, 1, pf32bit);
    for (int x = 0; x < 2; ++x) {
      std::uint8_t* p = bmp.ScanLine(0) + 4 * x;
      p[0] = 30, p[1] = 60, p[2] = 90, p[3] = 77;
    }
    ApplyDisabledKind(&bmp, c.kinds, {0, 0}, {nullptr, 0, 0, c.fill, false}, c.controlColor);
    EXPECT_EQ(PixelOf(bmp, 1, 0), c.expected) << int(c.kinds);
    EXPECT_EQ(bmp.ScanLine(0)[7], 77) << "alpha kept";
  }
}

// Over a ready background the picture keeps 0.4 of itself and takes 0.6 of
// the background at its place (the record's offset plus the point), of a
// 24-bit or a 32-bit background alike, magenta background pixels included.
TEST(ApplyDisabledKind, BlendsWithTheBackgroundAtItsPlace) {
  for (const TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap back(8, 8, format);
    Fill(back, 0);
    SetPixel(back, 4, 3, ColorFromRGB(200, 100, 0));
    SetPixel(back, 4, 4, TransparentColor);
    for (const bool grey : {false, true}) {
      TBitmap bmp(2, 2, pf24bit);
      Fill(bmp, ColorFromRGB(90, 60, 30));
      ApplyDisabledKind(&bmp, grey ? dkGrayed | dkBlended : dkBlended, {1, 1},
                        {&back, 3, 2, 0x123456, true}, 0);
      const std::vector<TColor> want =
          grey ? std::vector{ColorFromRGB(144, 84, 24), ColorFromRGB(24, 24, 24),
                             ColorFromRGB(177, 24, 177)}
               : std::vector{ColorFromRGB(156, 84, 12), ColorFromRGB(36, 24, 12),
                             ColorFromRGB(189, 24, 165)};
      EXPECT_EQ((std::vector{PixelOf(bmp, 0, 0), PixelOf(bmp, 1, 0), PixelOf(bmp, 0, 1)}), want)
          << "background of " << (format == pf24bit ? 24 : 32) << " bits, grey " << grey;
    }
  }
}

}  // namespace
}  // namespace kv
