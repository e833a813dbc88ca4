#include "skin/graphics/sSectionPaint.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Pixels.h"
#include "skin/model/sSkinModel.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

// Colours as 0xRRGGBB (what Px reads) and as TColor (red low).
constexpr TColor Col(std::uint32_t rgb) {
  return static_cast<TColor>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}
constexpr std::uint32_t kColor = 0x20C040, kHotColor = 0x60A010, kTex = 0xE01080,
                        kHotTex = 0x10E0F0, kGrad = 0x4080FF, kHotGrad = 0xF04020, kBg = 0x806040,
                        kFill = 0x3070B0, kOld = 0x445566, kKey = 0xFF00FF;

// A skin of one section "BTN" with solid textures and one-colour gradients.
TsSkinModel SolidSkin(int t, int ip, int gp) {
  TsSkinModel skin;
  skin.MasterBitmap = std::make_shared<TBitmap>(Filled(8, 4, pf24bit, kTex));
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) SetPx(*skin.MasterBitmap, x, y, kHotTex);
  TsGeneralData g;
  g.ClassName = "BTN";
  g.Color = Col(kColor), g.HotColor = Col(kHotColor);
  g.Transparency = g.HotTransparency = t;
  g.ImagePercent = g.HotImagePercent = ip;
  g.GradientPercent = g.HotGradientPercent = gp;
  g.GradientArray = {{Col(kGrad), Col(kGrad), 100, 0, 0}};
  g.HotGradientArray = {{Col(kHotGrad), Col(kHotGrad), 100, 0, 0}};
  skin.GeneralData.push_back(g);
  for (const auto& [key, left] : {std::pair{"PATTERN", 0}, {"HOTPATTERN", 4}}) {
    TsMaskData m;
    m.SectionName = "BTN", m.PropertyName = key;
    m.R = {left, 0, left + 4, 4};
    m.ImageCount = 1;
    skin.MaskData.push_back(m);
  }
  return skin;
}

// Per colour byte of two 0xRRGGBB values.
template <typename F>
std::uint32_t Bytewise(std::uint32_t p, std::uint32_t q, F f) {
  std::uint32_t v = 0;
  for (int s = 0; s < 24; s += 8)
    v |= static_cast<std::uint32_t>(f(p >> s & 0xFF, q >> s & 0xFF)) << s;
  return v;
}
// The one-alpha blend, `a` weighing what was there.
std::uint32_t Blend(std::uint32_t top, std::uint32_t under, int a) {
  return Bytewise(top, under, [a](int t, int u) { return (t * (255 - a) + u * a + 127) >> 8; });
}
// The colour wash: the picture keeps `keep` percent, halves to even.
std::uint32_t Wash(std::uint32_t picture, std::uint32_t color, int keep) {
  return Bytewise(picture, color, [keep](int p, int c) {
    return static_cast<int>(std::nearbyint((p * keep + c * (100 - keep)) / 100.0));
  });
}

struct Case {
  int t, ip, gp;
  bool ready, fill, custom;
  int state;
};
constexpr std::uint32_t kCustom = 0x123456;

// The expected colour of every pixel of R, from the layering rules.
std::uint32_t Expected(Case k) {
  if (k.custom) return kCustom;     // opaque and plain in every state
  if (k.t == 100) k.ip = k.gp = 0;  // a see-through section has no texture or gradient
  const bool hot = k.state > 0;
  const std::uint32_t color = hot ? kHotColor : kColor, tex = hot ? kHotTex : kTex,
                      grad = hot ? kHotGrad : kGrad, fill = k.fill ? kFill : kKey;
  const std::uint32_t under = k.ready ? kBg : fill;
  const bool opaque = k.t == 0 || (!k.ready && !k.fill);  // nothing known behind it
  if (k.t == 100 && !opaque) return under;
  // A see-through plain section over a background of only a colour takes it.
  const bool overColourOnly = !k.ready && k.fill && k.t != 0;
  std::uint32_t pic = color;
  if (k.ip + k.gp == 0 && overColourOnly)
    pic = fill;
  else if (k.ip > 0)
    pic = k.gp > 0 ? Blend(grad, tex, k.ip * 255 / 100) : tex;
  else if (k.gp > 0)
    pic = grad;
  const int shares = k.ip + k.gp;
  if (shares > 0 && shares < 100) pic = Wash(pic, color, shares);
  if (opaque) return pic;
  return Blend(pic, under, k.t * 255 / 100);
}

class SectionLayering : public ::testing::TestWithParam<TPixelFormat> {};
INSTANTIATE_TEST_SUITE_P(Formats, SectionLayering, ::testing::Values(pf24bit, pf32bit));

TEST_P(SectionLayering, MixesTextureGradientColourAndBackground) {
  TBitmap bg = Filled(20, 20, pf24bit, kBg);
  const std::pair<int, int> shares[] = {{0, 0}, {40, 0}, {60, 40}, {0, 50}, {30, 30}};
  for (int t : {0, 30, 50, 100})
    for (bool ready : {true, false})
      for (bool fill : {true, false})
        for (const auto& [ip, gp] : shares)
          for (int state : {0, 1})
            for (bool custom : {false, true}) {
              const Case k{t, ip, gp, ready, fill, custom, state};
              const TsSkinModel skin = SolidSkin(t, ip, gp);
              TBitmap dst = Filled(9, 7, GetParam(), kOld);
              const TsBgCacheInfo info{&bg, 2, 3, Col(fill ? kFill : kKey), ready};
              PaintSectionBackground(0, "BTN", info, state, {1, 2, 8, 6}, {4, 1}, &dst, &skin, -1,
                                     -1, custom ? Col(kCustom) : TransparentColor);
              const std::uint32_t want = Expected(k);
              for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 9; ++x) {
                  const bool inside = x >= 1 && x < 8 && y >= 2 && y < 6;
                  const std::uint32_t opaque = GetParam() == pf32bit ? 0xFF000000 : 0;
                  ASSERT_EQ(Px(dst, x, y), inside ? want | opaque : kOld)
                      << "T " << t << " ready " << ready << " fill " << fill << " IP " << ip
                      << " GP " << gp << " state " << state << " custom " << custom << " at " << x
                      << "," << y;
                }
            }
}

// Over a background known only by its colour, a partly transparent plain
// section shows that colour (through the usual blend); with a texture or a
// gradient it is blended over the colour; without any colour it is opaque.
TEST(SectionBackground, APlainSeeThroughSectionOverAColourOnlyBackgroundTakesThatColour) {
  struct Row {
    int t, ip;
    TColor fill;
    std::uint32_t want;
  } rows[] = {
      {1, 0, Col(kFill), Blend(kFill, kFill, 2)},
      {50, 0, Col(kFill), Blend(kFill, kFill, 127)},
      {99, 0, Col(kFill), Blend(kFill, kFill, 252)},
      {50, 40, Col(kFill), Blend(Wash(kTex, kColor, 40), kFill, 127)},
      {50, 0, TransparentColor, kColor},
  };
  for (const Row& row : rows) {
    const TsSkinModel skin = SolidSkin(row.t, row.ip, 0);
    TBitmap dst = Filled(4, 4, pf24bit, kOld);
    PaintSectionBackground(0, "BTN", {nullptr, 0, 0, row.fill, false}, 0, {0, 0, 4, 4}, {}, &dst,
                           &skin, -1, -1);
    EXPECT_EQ(Px(dst, 2, 2), row.want) << "T " << row.t << " IP " << row.ip;
  }
}

// A see-through section copies the background pixel for pixel from where
// Offset puts R, and leaves its own background bitmap alone.
TEST(SectionBackground, FullTransparencyCopiesTheBackgroundAtTheOffset) {
  const TsSkinModel skin = SolidSkin(100, 0, 0);
  TBitmap bg = testing::Numbered(12, 12, pf24bit);
  TBitmap dst = Filled(6, 6, pf24bit, kOld);
  PaintSectionBackground(0, "BTN", {&bg, 1, 2, 0, true}, 0, {2, 1, 5, 4}, {3, 4}, &dst, &skin, -1,
                         -1);
  for (int y = 1; y < 4; ++y)
    for (int x = 2; x < 5; ++x) EXPECT_EQ(Px(dst, x, y), Px(bg, 1 + 3 + x - 2, 2 + 4 + y - 1));
  TBitmap before = bg;
  PaintSectionBackground(0, "BTN", {&bg, 0, 0, 0, true}, 0, {0, 0, 12, 12}, {}, &bg, &skin, -1, -1);
  EXPECT_EQ(std::memcmp(bg.Bits(), before.Bits(), bg.ImageSize()), 0);
}

// A 3 x 2 texture of distinct pixels at (1, 1) of a master bitmap.
struct TextureSkin {
  std::shared_ptr<TBitmap> master = std::make_shared<TBitmap>(Filled(6, 4, pf24bit, kKey));
  TsMaskData mask;
  TextureSkin() {
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) SetPx(*master, 1 + x, 1 + y, Texel(x, y));
    mask.R = {1, 1, 4, 3};
    mask.ImageCount = 1;
  }
  static std::uint32_t Texel(int x, int y) { return 0x100000u * (x + 1) + 0x10u * (y + 1); }
};

// Where a mode lays its texture (relative to R's top-left), the tile origin
// (-1: stretched that way) and the part it hands back.
struct ModeCase {
  int mode;
  TRect area;
  TPoint origin;
  TRect left;
};

TEST(FillRectWithTexture, LaysEachModeAndHandsBackTheRemainder) {
  const TextureSkin t;
  for (int h : {4, 5}) {
    const int W = 8;
    const ModeCase cases[] = {
        {0, {0, 0, W, h}, {0, 0}, NoRect},
        {1, {0, 0, W, h}, {-1, -1}, NoRect},
        {2, {0, 0, W, 2}, {0, 0}, {0, 2, W, h}},
        {3, {0, 0, 3, h}, {0, 0}, {3, 0, W, h}},
        {4, {0, 0, W, 2}, {-1, 0}, {0, 2, W, h}},
        {5, {0, 0, 3, h}, {0, -1}, {3, 0, W, h}},
        {6, {0, h - 2, W, h}, {0, h - 2}, {0, 0, W, h - 2}},
        {7, {W - 3, 0, W, h}, {W - 3, 0}, {0, 0, W - 3, h}},
        {10, {0, 0, W, (h - 1) / 2 * 2}, {0, 0}, NoRect},
    };
    for (const ModeCase& c : cases) {
      TBitmap dst = Filled(10, 8, pf24bit, kOld);
      TRect r{1, 1, 1 + W, 1 + h};
      FillRectWithTexture(&dst, r, nullptr, c.mode, t.mask, t.master.get());
      TRect want = c.left;
      if (want != NoRect) OffsetRect(want, 1, 1);
      EXPECT_EQ(r, want) << "mode " << c.mode << " height " << h;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
          const int rx = x - 1, ry = y - 1;
          std::uint32_t expect = kOld;
          if (PtInRect(c.area, {rx, ry})) {
            const int tx = c.origin.X < 0 ? rx * 3 / W : (rx - c.origin.X) % 3;
            const int ty = c.origin.Y < 0 ? ry * 2 / h : (ry - c.origin.Y) % 2;
            expect = TextureSkin::Texel(tx, ty);
          }
          ASSERT_EQ(Px(dst, x, y), expect)
              << "mode " << c.mode << " height " << h << " at " << x << "," << y;
        }
    }
  }
}

// The own image first; without an image of some size nothing is laid.
TEST(FillRectWithTexture, ReadsTheOwnImageFirstAndNothingWithoutAnImage) {
  TextureSkin t;
  TsMaskData own = t.mask, none = t.mask, empty;
  own.Bmp = std::make_shared<TBitmap>(Filled(4, 3, pf24bit, 0x0A0B0C));
  for (const auto& [mask, master, want] :
       {std::tuple{own, t.master, 0x0A0B0Cu}, {none, nullptr, kOld}, {empty, t.master, kOld}}) {
    TBitmap dst = Filled(4, 4, pf24bit, kOld);
    TRect r{0, 0, 4, 4};
    FillRectWithTexture(&dst, r, nullptr, 0, mask, master.get());
    EXPECT_EQ(r, (want == kOld ? TRect{0, 0, 4, 4} : NoRect));
    EXPECT_EQ(Px(dst, 3, 3), want);
  }
}

// Modes without a picture of their own leave nothing stale once the section
// colour has filled what they hand back.
TEST(SectionBackground, UndefinedTextureModesLeaveNothingStale) {
  for (int mode : {8, 9, 11, 12, 13, 14}) {
    TsSkinModel skin = SolidSkin(0, 100, 0);
    skin.MaskData[0].StretchMode = static_cast<std::int16_t>(mode);
    TBitmap dst = Filled(10, 3, pf24bit, kOld);
    PaintSectionBackground(0, "BTN", EmptyBgCacheInfo, 0, {0, 0, 10, 3}, {}, &dst, &skin, -1, -1);
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(Px(dst, x, 1), x >= 6 ? kTex : kColor) << "mode " << mode << " x " << x;
  }
}

// A 2 x 4 two-state texture: first image 2 x 2 with a transparent pixel at (1, 0).
TsMaskData TwoStateMask() {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(Filled(2, 4, pf24bit, 0x000099));
  SetPx(*m.Bmp, 0, 0, 0x111111);
  SetPx(*m.Bmp, 1, 0, kKey);
  SetPx(*m.Bmp, 0, 1, 0x222222);
  SetPx(*m.Bmp, 1, 1, 0x333333);
  m.R = {0, 0, 2, 4};
  m.ImageCount = 1;
  m.MaskType = 1;
  return m;
}

TEST(FillRectWithTwoStateTexture, TilesTheFirstImageOverTheBackground) {
  const TsMaskData m = TwoStateMask();
  const std::uint32_t texel[2][2] = {{0x111111, kBg}, {0x222222, 0x333333}};
  TBitmap bg = Filled(10, 10, pf24bit, kBg);
  // R = (0, 0, 5, 5): mode 0 cuts the last column and leaves the bottom row;
  // mode 10 lays 2 x 2 whole tiles and puts the background into the strips.
  for (int mode : {0, 10, 2}) {
    TBitmap dst = Filled(6, 6, pf24bit, kOld);
    TRect r{0, 0, 5, 5};
    FillRectWithTwoStateTexture(&dst, r, {&bg, 0, 0, 0, true}, mode, m, nullptr);
    EXPECT_EQ(r, mode == 2 ? (TRect{0, 0, 5, 5}) : NoRect);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        std::uint32_t want = kOld;
        if (mode == 0 && x < 5 && y < 4) want = texel[y % 2][x % 2];
        if (mode == 10 && x < 5 && y < 5) want = x < 4 && y < 4 ? texel[y % 2][x % 2] : kBg;
        ASSERT_EQ(Px(dst, x, y), want) << "mode " << mode << " at " << x << "," << y;
      }
  }
}

TEST(PaintSkinItem, LaysCornersAtTheirPlacesAndNothingOutsideTheBitmap) {
  TsSkinModel skin = SolidSkin(0, 0, 0);
  TsMaskData corner;  // two frames of 2 x 3
  corner.Bmp = std::make_shared<TBitmap>(Filled(4, 3, pf24bit, 0x0000AA));
  corner.R = {0, 0, 4, 3};
  corner.ImageCount = 2;
  skin.MaskData.push_back(corner);
  skin.GeneralData[0].ImgBottomLeft = 2;
  skin.GeneralData[0].ImgTopRight = 99;  // invalid: no corner
  TBitmap dst = Filled(8, 8, pf24bit, kOld);
  PaintSkinItem(0, "BTN", EmptyBgCacheInfo, true, 0, {1, 1, 7, 7}, {}, &dst, &skin);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 7 && y >= 1 && y < 7;
      const bool bottomLeft = x >= 1 && x < 3 && y >= 4 && y < 7;
      EXPECT_EQ(Px(dst, x, y), !inside ? kOld : bottomLeft ? 0x0000AAu : kColor) << x << "," << y;
    }
  TBitmap small = Filled(5, 5, pf24bit, kOld);
  PaintSkinItem(0, "BTN", EmptyBgCacheInfo, true, 0, {0, 0, 6, 5}, {}, &small, &skin);
  EXPECT_EQ(Px(small, 0, 0), kOld);
}

// Rectangles, offsets and masks that lie anywhere must stay inside the buffers.
TEST(SectionBackground, HostileGeometryStaysInsideTheBitmaps) {
  TsSkinModel skin = SolidSkin(30, 40, 20);
  skin.MaskData[0].R = {-3, 2, 50, 90};  // beyond the master bitmap
  skin.MaskData.push_back(TwoStateMask());
  skin.MaskData.back().StretchMode = 10;
  skin.MaskData.back().R = {1, -1, 9, 40};
  TBitmap bg = Filled(3, 3, pf32bit, kBg);
  const TRect rects[] = {{-5, -5, 40, 40}, {3, 3, 2, 2}, {-100, 2, -90, 4}, {0, 0, 1, 1}};
  const TPoint offsets[] = {{-50, 7}, {1000, 1000}, {0, 0}};
  for (TPixelFormat f : {pf24bit, pf32bit})
    for (const TRect& r : rects)
      for (const TPoint& o : offsets)
        for (int pattern : {-1, 0, 2, 77}) {
          TBitmap dst = Filled(7, 5, f, kOld);
          PaintSectionBackground(0, "BTN", {&bg, -2, 9, Col(kFill), true}, 0, r, o, &dst, &skin,
                                 pattern, 2);
          PaintSkinItem(0, "BTN", {&bg, 4, 4, 0, true}, true, 1, r, o, &dst, &skin, pattern, 2);
          TRect left = r;
          FillRectWithTwoStateTexture(&dst, left, {&bg, -9, 3, 0, true}, 10, skin.MaskData[2],
                                      nullptr);
          left = r;
          for (int mode = 0; mode < 16; ++mode)
            FillRectWithTexture(&dst, left, nullptr, mode, skin.MaskData[0],
                                skin.MasterBitmap.get());
        }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The fast painter's texture is the index given; a full image share keeps the
// texture whole under a gradient, shares past 100 add no colour, and without
// a background picture a see-through section is painted opaque.
TEST(PaintSkinItemFast, LayersTheGivenTextureByItsShares) {
  struct FastCase {
    int t, ip, gp, pattern;
    std::uint32_t want;
  };
  const TsBgCacheInfo fillOnly{nullptr, 0, 0, Col(kFill), false};
  // Under a gradient the texture weighs IP x 256 / 100, 255 at most: IP 50 is
  // 128 here where the section painter takes 127.
  for (const FastCase& c : {FastCase{0, 100, 50, 0, Blend(kGrad, kTex, 255)},
                            FastCase{0, 60, 60, 0, Blend(kGrad, kTex, 153)},
                            FastCase{0, 50, 50, 0, Blend(kGrad, kTex, 128)},
                            FastCase{0, 99, 1, 0, Blend(kGrad, kTex, 253)},
                            FastCase{0, 0, 100, 0, kGrad}, FastCase{0, 100, 0, -1, kColor},
                            FastCase{40, 0, 0, 0, kColor}, FastCase{100, 0, 0, 0, kFill}}) {
    const TsSkinModel skin = SolidSkin(c.t, c.ip, c.gp);
    TBitmap b = Filled(6, 6, pf24bit, kOld);
    PaintSkinItemFast(0, -1, c.pattern, 1, 0, fillOnly, false, 0, {1, 1, 5, 5}, {0, 0}, &b, &skin);
    EXPECT_EQ(Px(b, 2, 2), c.want) << "T " << c.t << " IP " << c.ip << " GP " << c.gp;
    EXPECT_EQ(Px(b, 0, 0), kOld);
  }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// A control's item: its own border mask (two solid frames of 6 x 6, margins
// 2), then the section's corner images over it; StretchMode bit 2 leaves the
// border off in state 0, and a custom colour replaces the section's look.
TEST(PaintSkinDataItem, PaintsTheOwnBorderThenTheCornersOver) {
  constexpr std::uint32_t kFrame[2] = {0x00AA00, 0x00BB00}, kCorner = 0x0000AA;
  TsSkinModel skin = SolidSkin(0, 0, 0);
  TsMaskData border;
  border.Bmp = std::make_shared<TBitmap>(Filled(12, 6, pf24bit, kFrame[0]));
  for (int y = 0; y < 6; ++y)
    for (int x = 6; x < 12; ++x) SetPx(*border.Bmp, x, y, kFrame[1]);
  border.R = {0, 0, 12, 6};
  border.ImageCount = 2;
  border.WL = border.WT = border.WR = border.WB = 2;
  TsMaskData corner;
  corner.Bmp = std::make_shared<TBitmap>(Filled(4, 3, pf24bit, kCorner));
  corner.R = {0, 0, 4, 3};
  corner.ImageCount = 2;
  skin.MaskData.push_back(border);  // 2
  skin.MaskData.push_back(corner);  // 3
  skin.GeneralData[0].ImgBottomLeft = 3;
  skin.GeneralData[0].ImgTopRight = 4;  // past the masks: no corner, no read
  for (int stretch : {0, 2})
    for (int state : {0, 1})
      for (bool custom : {false, true}) {
        skin.MaskData[2].StretchMode = static_cast<std::int16_t>(stretch);
        TsControlLook look;
        look.SkinIndex = 0, look.Section = "BTN", look.BorderIndex = 2;
        if (custom) look.CustomColor = Col(kCustom);
        TBitmap dst = Filled(10, 8, pf24bit, kOld);
        PaintSkinDataItem(look, EmptyBgCacheInfo, false, state, {1, 1, 9, 7}, {}, &dst, &skin);
        const std::uint32_t body = custom ? kCustom : state ? kHotColor : kColor;
        const std::uint32_t edge = stretch == 2 && state == 0 ? body : kFrame[state];
        const auto where = [&](int x, int y) {
          return "stretch " + std::to_string(stretch) + " state " + std::to_string(state) +
                 (custom ? " custom" : "") + " at " + std::to_string(x) + "," + std::to_string(y);
        };
        EXPECT_EQ(Px(dst, 0, 0), kOld) << where(0, 0);
        EXPECT_EQ(Px(dst, 8, 1), edge) << where(8, 1);
        EXPECT_EQ(Px(dst, 7, 2), edge) << where(7, 2);
        EXPECT_EQ(Px(dst, 5, 4), body) << where(5, 4);
        EXPECT_EQ(Px(dst, 1, 6), kCorner) << where(1, 6);
        EXPECT_EQ(Px(dst, 3, 6), edge) << where(3, 6);
      }
  // The section's own border mask is not the control's.
  skin.GeneralData[0].BorderIndex = 2;
  TsControlLook plain;
  plain.SkinIndex = 0, plain.Section = "BTN";
  TBitmap dst = Filled(10, 8, pf24bit, kOld);
  PaintSkinDataItem(plain, EmptyBgCacheInfo, false, 1, {1, 1, 9, 7}, {}, &dst, &skin);
  EXPECT_EQ(Px(dst, 8, 1), kHotColor);
  // Outside the bitmap nothing at all.
  PaintSkinDataItem(plain, EmptyBgCacheInfo, false, 1, {-1, 0, 4, 4}, {}, &dst, &skin);
  EXPECT_EQ(Px(dst, 0, 0), kOld);
}

}  // namespace
}  // namespace kv
