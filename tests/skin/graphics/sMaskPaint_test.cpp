#include "skin/graphics/sMaskPaint.h"

#include <gtest/gtest.h>

#include <functional>

#include "Pixels.h"
#include "skin/core/sSkinModel.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kKey = 0xFF00FF, kBg = 0x102030, kOld = 0x445566;

// A mask of `frames` frames of fw x sh (a mask plane below when planeRows)
// cut from a master bitmap at (2, 1); colour(k, x, y) paints frame k.
struct MaskOnMaster {
  std::shared_ptr<TBitmap> master;
  TsMaskData mask;
};
MaskOnMaster MakeMask(int frames, int fw, int sh, bool plane,
                      const std::function<std::uint32_t(int, int, int)>& colour,
                      TRowOrder order = TRowOrder::BottomUp) {
  MaskOnMaster m;
  const int rows = plane ? 2 * sh : sh;
  m.master = std::make_shared<TBitmap>(2 + frames * fw + 3, 1 + rows + 2, pf24bit, order);
  for (int k = 0; k < frames; ++k)
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < fw; ++x) SetPx(*m.master, 2 + k * fw + x, 1 + y, colour(k, x, y));
  m.mask.R = {2, 1, 2 + frames * fw, 1 + rows};
  m.mask.ImageCount = static_cast<std::int16_t>(frames);
  m.mask.MaskType = plane ? 1 : 0;
  return m;
}

TEST(FitNineMargins, MarginsGiveUpHalfTheExcess) {
  struct Case {
    int size, first, second, wantFirst, wantSecond;
  } cases[] = {{10, 8, 8, 5, 5}, {9, 8, 8, 5, 4},  {11, 8, 8, 6, 5},   {20, 8, 8, 8, 8},
               {2, 0, 8, 0, 2},  {5, -3, 2, 0, 2}, {0, 4, 4, 0, 0},    {3, 9, 1, 3, 0}};
  for (const Case& c : cases) {
    const TsNineMargins m = FitNineMargins(c.size, c.first, c.second);
    EXPECT_EQ(m.First, c.wantFirst) << c.size << " " << c.first << "/" << c.second;
    EXPECT_EQ(m.Second, c.wantSecond) << c.size << " " << c.first << "/" << c.second;
  }
}

// Destinations of both formats and both row orders.
class NinePart : public ::testing::TestWithParam<std::tuple<TPixelFormat, TRowOrder>> {
 protected:
  static TBitmap Dst(int w, int h, std::uint32_t v) {
    return Filled(w, h, std::get<0>(GetParam()), v, std::get<1>(GetParam()));
  }
  static bool Is32() { return std::get<0>(GetParam()) == pf32bit; }
};
INSTANTIATE_TEST_SUITE_P(Formats, NinePart,
                         ::testing::Combine(::testing::Values(pf24bit, pf32bit),
                                            ::testing::Values(TRowOrder::BottomUp,
                                                              TRowOrder::TopDown)));

// Margins 8/8 of a 20-pixel frame on narrow rectangles: left columns from the
// left margin, right columns from the right one; state clamped to the frames.
TEST_P(NinePart, ShrinksMarginsAndClampsTheState) {
  auto m = MakeMask(3, 20, 4, false, [](int k, int x, int) {
    return (x < 8 ? 0x100000u : x >= 12 ? 0x300000u : 0x200000u) + k;
  });
  m.mask.WL = m.mask.WR = 8;
  m.mask.StretchMode = 4;
  for (const auto& [width, left] : {std::pair{10, 5}, {9, 5}, {11, 6}})
    for (const auto& [state, frame] : {std::pair{0, 0}, {1, 1}, {5, 2}, {-1, 0}}) {
      TBitmap dst = Dst(12, 4, kOld);
      PaintMaskNinePart(&dst, {0, 0, width, 4}, true, EmptyBgCacheInfo, m.mask, m.master.get(),
                        state, false);
      for (int x = 0; x < 12; ++x) {
        const std::uint32_t want = x >= width ? kOld : (x < left ? 0x100000u : 0x300000u) + frame;
        EXPECT_EQ(Px(dst, x, 2) & 0xFFFFFF, want) << width << " px, state " << state << ", x " << x;
      }
    }
}

TEST_P(NinePart, StretchModeBitsAndFillCentre) {
  // 6 x 6 frame, margins 2: the centre column pair differs by row (A, B).
  auto m = MakeMask(1, 6, 6, false, [](int, int x, int y) {
    return x >= 2 && x < 4 && y >= 2 && y < 4 ? (y == 2 ? 0xAAu : 0xBBu) : 0x11u;
  });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  const auto centreColumn = [&](int mode, bool fill, int state) {
    m.mask.StretchMode = static_cast<std::int16_t>(mode);
    TBitmap dst = Dst(8, 8, kOld);
    PaintMaskNinePart(&dst, {0, 0, 8, 8}, fill, EmptyBgCacheInfo, m.mask, m.master.get(), state,
                      false);
    std::vector<std::uint32_t> col;
    for (int y = 2; y < 6; ++y) col.push_back(Px(dst, 3, y) & 0xFFFFFF);
    return col;
  };
  using V = std::vector<std::uint32_t>;
  EXPECT_EQ(centreColumn(4, true, 0), (V{0xAA, 0xBB, 0xAA, 0xBB}));  // tiled
  EXPECT_EQ(centreColumn(5, true, 0), (V{0xAA, 0xAA, 0xBB, 0xBB}));  // stretched
  EXPECT_EQ(centreColumn(4, false, 0), (V{kOld, kOld, kOld, kOld}));
  EXPECT_EQ(centreColumn(0, true, 0), (V{kOld, kOld, kOld, kOld}));
  EXPECT_EQ(centreColumn(6, true, 0), (V{kOld, kOld, kOld, kOld}));  // bit 2: no state 0
  EXPECT_EQ(centreColumn(6, true, 1), (V{0xAA, 0xBB, 0xAA, 0xBB}));
}

// Transparent corner pixels: the background bitmap only when asked, else the
// fill colour; the empty record (and FillColor 0xFF00FF) leaves the pixel.
TEST_P(NinePart, TransparentCornerPixelsTakeTheBackgroundRecord) {
  auto m = MakeMask(1, 4, 4, false, [](int, int x, int y) { return x + y == 0 ? kKey : 0x77u; });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  TBitmap back = Filled(8, 8, pf24bit, kBg);
  struct Case {
    TsBgCacheInfo info;
    bool onBackground;
    std::uint32_t want;
  } cases[] = {{{&back, 1, 1, TransparentColor, true}, true, kBg},
               {{&back, 1, 1, TransparentColor, true}, false, kOld},
               {{nullptr, 0, 0, 0x0000FF, false}, true, 0xFF0000},
               {{&back, -50, 0, TransparentColor, true}, true, kOld},
               {EmptyBgCacheInfo, true, kOld}};
  for (const Case& c : cases) {
    TBitmap dst = Dst(6, 6, kOld);
    PaintMaskNinePart(&dst, {1, 1, 5, 5}, true, c.info, m.mask, m.master.get(), 0, c.onBackground);
    EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, c.want);
    EXPECT_EQ(Px(dst, 2, 1) & 0xFFFFFF, 0x77u);
  }
}

// The mask plane mixes per channel: m = 0 shows the source, m = 255 keeps
// ((d - s) * 255 + s * 256) shr 8, and the ghost mode raises m by 100.
TEST_P(NinePart, MaskPlaneMixesExactly) {
  const std::uint32_t s = 0x204060;
  auto m = MakeMask(1, 3, 1, true, [&](int, int x, int y) {
    return y == 0 ? (x == 2 ? kKey : s) : (x == 0 ? 0u : 0xFFFFFFu);
  });
  const auto mix = [](int d, int src, int w) { return ((d - src) * w + src * 256) >> 8; };
  for (int mode : {1, 2}) {
    TBitmap dst = Dst(3, 1, 0xC0C0C0);
    DrawMaskState(&dst, {0, 0}, 0, EmptyBgCacheInfo, m.mask, m.master.get(), mode);
    const int w0 = mode == 1 ? 0 : 100, w1 = 255;
    EXPECT_EQ(Px(dst, 0, 0) & 0xFF, static_cast<std::uint32_t>(mix(0xC0, 0x60, w0))) << mode;
    EXPECT_EQ(Px(dst, 1, 0) & 0xFF, static_cast<std::uint32_t>(mix(0xC0, 0x60, w1))) << mode;
    EXPECT_EQ(Px(dst, 2, 0) & 0xFFFFFF, 0xC0C0C0u) << mode;  // transparent source pixel
    if (Is32()) {
      EXPECT_EQ(Px(dst, 0, 0) >> 24, 255u);
    }
  }
}

// A 32-bit own-image mask is laid by its alpha: over an opaque picture it
// blends, over transparent black (a glow bitmap) it is copied as it is.
TEST_P(NinePart, ThirtyTwoBitMasksGoByAlpha) {
  TsMaskData mask;
  mask.Bmp = std::make_shared<TBitmap>(Filled(3, 1, pf32bit, 0x80FF0000));
  SetPx(*mask.Bmp, 1, 0, 0x00FFFFFF);
  SetPx(*mask.Bmp, 2, 0, 0xFF0000FF);
  mask.R = {0, 0, 3, 1};
  mask.ImageCount = 1;
  TBitmap glow = Filled(3, 1, pf32bit, 0);
  DrawMaskState(&glow, {0, 0}, 0, EmptyBgCacheInfo, mask, nullptr, 1);
  EXPECT_EQ(Px(glow, 0, 0), 0x80FF0000u);
  EXPECT_EQ(Px(glow, 1, 0), 0x00000000u);
  TBitmap dst = Dst(3, 1, 0xFF000000);
  DrawMaskState(&dst, {0, 0}, 0, EmptyBgCacheInfo, mask, nullptr, 1);
  EXPECT_NEAR(static_cast<int>(Px(dst, 0, 0) >> 16 & 0xFF), 128, 1);
  EXPECT_EQ(Px(dst, 1, 0) & 0xFFFFFF, 0u);
  EXPECT_NEAR(static_cast<int>(Px(dst, 2, 0) & 0xFF), 255, 1);
}

TEST_P(NinePart, DrawMaskStateAtANegativePointIsCutAtTheEdge) {
  auto m = MakeMask(2, 5, 2, false, [](int k, int x, int) { return 0x10u * k + x + 1; });
  TBitmap dst = Dst(4, 2, kOld);
  DrawMaskState(&dst, {-3, 0}, 1, EmptyBgCacheInfo, m.mask, m.master.get(), 1);
  EXPECT_EQ(Px(dst, 0, 1) & 0xFFFFFF, 0x14u);
  EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, 0x15u);
  EXPECT_EQ(Px(dst, 2, 1) & 0xFFFFFF, kOld);
}

// Rectangles and masks that lie partly or wholly outside their bitmaps paint
// what lies inside and touch nothing else (ASan and UBSan watch).
TEST_P(NinePart, HostileGeometryStaysInsideTheBitmaps) {
  const TRowOrder order = std::get<1>(GetParam());
  auto m = MakeMask(
      2, 6, 6, true, [](int, int x, int y) { return x * y % 3 ? kKey : 0x55u; }, order);
  TsSkinModel skin;
  skin.MasterBitmap = m.master;
  const TRect rects[] = {{-5, -5, 3, 3}, {4, 4, 40, 40}, {-100, -1, 200, 300}, {5, 5, 1, 1}};
  const TRect maskRs[] = {{2, 1, 14, 13}, {10, 8, 90, 60}, {-4, -4, 8, 8}, {8, 8, 2, 2}, {40, 40, 52, 52}};
  for (const TRect& mr : maskRs)
    for (const TRect& r : rects)
      for (std::int16_t type : {0, 1, 2, 3}) {
        m.mask.R = mr;
        m.mask.MaskType = type % 2;
        m.mask.WL = m.mask.WT = type < 2 ? 30 : 2, m.mask.WR = m.mask.WB = type < 2 ? -7 : 2;
        m.mask.StretchMode = 5;
        skin.MaskData = {m.mask};
        TBitmap dst = Dst(7, 5, kOld), back = Filled(2, 2, pf32bit, kBg, order);
        const TsBgCacheInfo info{&back, -3, 9, TransparentColor, true};
        PaintMaskNinePart(&dst, r, true, info, m.mask, m.master.get(), 1, true);
        for (int mode : {1, 2}) DrawMaskState(&dst, r.TopLeft(), 9, info, m.mask, m.master.get(), mode);
        PaintMaskedPiece(r, mr, &dst, m.mask, 1, 0, m.master.get());
        PaintMaskedPieceOnBackground(r, mr, &dst, m.mask, m.master.get(), info);
        CopyWhereMaskTransparent(&dst, &back, r, mpBottomRight, &skin, 0, {-2, 1});
        CopyWhereMaskTransparent(&dst, &back, r, mpTopLeft, &skin, -1, {0, 0});
        BlendRectWithColor(&dst, r, 40, 0x123456);
      }
  // A mask wholly outside its image paints nothing, stretched or tiled.
  m.mask.R = {40, 40, 52, 52};
  m.mask.MaskType = 0;
  for (std::int16_t mode : {4, 5}) {
    m.mask.StretchMode = mode;
    TBitmap dst = Dst(7, 5, kOld);
    PaintMaskNinePart(&dst, {0, 0, 7, 5}, true, EmptyBgCacheInfo, m.mask, m.master.get(), 1, true);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) ASSERT_EQ(Px(dst, x, y) & 0xFFFFFF, kOld) << mode << ": " << x << "," << y;
  }
}

TEST(CopyWhereMaskTransparent, CopiesUnderTransparentCornerPixels) {
  auto m = MakeMask(1, 6, 4, false, [](int, int x, int y) { return x == 5 && y == 0 ? kKey : 1u; });
  m.mask.WR = 2;
  TsSkinModel skin;
  skin.MasterBitmap = m.master;
  skin.MaskData = {m.mask};
  TBitmap dst = Filled(2, 2, pf32bit, 0xFF000001), src = Filled(2, 2, pf32bit, 0x80ABCDEF);
  CopyWhereMaskTransparent(&dst, &src, {0, 0, 2, 2}, mpTopRight, &skin, 0, {0, 0});
  EXPECT_EQ(Px(dst, 1, 0), 0x80ABCDEFu);
  EXPECT_EQ(Px(dst, 0, 0), 0xFF000001u);
  SetPx(dst, 0, 1, kKey);
  CopyWhereMaskTransparent(&dst, &src, {0, 0, 2, 2}, mpTopLeft, &skin, -1, {0, 0});
  EXPECT_EQ(Px(dst, 0, 1), 0x80ABCDEFu);
  EXPECT_EQ(Px(dst, 1, 1), 0xFF000001u);
}

TEST(BlendRectWithColor, KeepsPercentOfThePixelRoundingHalvesToEven) {
  struct Case {
    int percent;
    std::uint8_t pixel, colour, want;
  } cases[] = {{100, 7, 200, 7}, {0, 7, 200, 200}, {50, 1, 0, 0},    {50, 3, 0, 2},
               {30, 5, 0, 2},    {150, 7, 200, 7}, {-20, 7, 200, 200}, {50, 255, 254, 254}};
  for (const Case& c : cases) {
    TBitmap b = Filled(3, 3, pf32bit, 0x40000000u | c.pixel);
    BlendRectWithColor(&b, {0, 0, 2, 2}, c.percent, c.colour << 16);
    EXPECT_EQ(Px(b, 1, 1), 0x40000000u | c.want) << c.percent << "% of " << int(c.pixel);
    EXPECT_EQ(Px(b, 2, 2), 0x40000000u | c.pixel) << "right and bottom are outside";
  }
}

}  // namespace
}  // namespace kv
