#include "skin/graphics/sMaskPaint.h"

#include <gtest/gtest.h>

#include <functional>

#include "Pixels.h"
#include "skin/model/sSkinModel.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kKey = 0xFF00FF, kBg = 0x102030, kOld = 0x445566;

struct MaskOnMaster {
  std::shared_ptr<TBitmap> master;
  TsMaskData mask;
};
// `frames` frames of fw x sh (a mask plane below with `plane`) at (2, 1) of a
// master bitmap; colour(k, x, y) paints frame k.
template <typename Colour>
MaskOnMaster MakeMask(int frames, int fw, int sh, bool plane, Colour colour,
                      TRowOrder order = TRowOrder::BottomUp) {
  const int rows = plane ? 2 * sh : sh;
  MaskOnMaster m{std::make_shared<TBitmap>(frames * fw + 5, rows + 3, pf24bit, order), {}};
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < frames * fw; ++x) SetPx(*m.master, 2 + x, 1 + y, colour(x / fw, x % fw, y));
  m.mask.R = {2, 1, 2 + frames * fw, 1 + rows};
  m.mask.ImageCount = static_cast<std::int16_t>(frames);
  m.mask.MaskType = plane;
  return m;
}

// Destinations of both formats and both row orders.
class NinePart : public ::testing::TestWithParam<std::tuple<TPixelFormat, TRowOrder>> {
 protected:
  static TBitmap Dst(int w, int h, std::uint32_t v) {
    return Filled(w, h, std::get<0>(GetParam()), v, std::get<1>(GetParam()));
  }
};
INSTANTIATE_TEST_SUITE_P(Formats, NinePart,
                         ::testing::Combine(::testing::Values(pf24bit, pf32bit),
                                            ::testing::Values(TRowOrder::BottomUp,
                                                              TRowOrder::TopDown)));

// Margins 8/8 of a 20-pixel frame on 10, 9 and 11 pixels give 5/5, 5/4, 6/5;
// the state is clamped to the frames.
TEST_P(NinePart, ShrinksMarginsAndClampsTheState) {
  auto m = MakeMask(3, 20, 4, false, [](int k, int x, int) {
    return (x < 8 ? 0x100000u : x >= 12 ? 0x300000u : 0x200000u) + k;
  });
  m.mask.WL = m.mask.WR = 8;
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

// Two margins that do not fit each give up half the excess, the second one
// more pixel for an odd size; what is left may overlap by a pixel, but
// neither reaches past the size.
TEST(FitNineMargins, ShareTheExcessOfUnequalMargins) {
  const struct {
    int size, first, second, wantFirst, wantSecond;
  } cases[] = {
      {5, 4, 3, 3, 1},  {6, 4, 3, 4, 3},  {20, 4, 3, 4, 3},  {7, 7, 0, 7, 0},
      {10, 2, 12, 0, 10}, {3, 0, 6, 0, 3}, {0, 3, 1, 0, 0},   {8, -2, 9, 0, 8},
      {10, 6, 5, 6, 5}, {10, 5, 6, 5, 6}, {11, 6, 5, 6, 5},  {3, 9, 0, 3, 0},
  };
  for (const auto& c : cases) {
    const TsNineMargins m = FitNineMargins(c.size, c.first, c.second);
    EXPECT_EQ(m.First, c.wantFirst) << c.size << ": " << c.first << ", " << c.second;
    EXPECT_EQ(m.Second, c.wantSecond) << c.size << ": " << c.first << ", " << c.second;
  }
}

// Unequal margins: each corner and edge is cut with its own side's margin
// (columns of the frame numbered by colour), in both directions.
TEST_P(NinePart, CutsEachSideWithItsOwnMargin) {
  // One 12 x 8 frame, pixel colour = 0x10000 x column + row.
  auto m = MakeMask(1, 12, 8, false, [](int, int x, int y) { return 0x10000u * (x + 1) + y + 1; });
  m.mask.WL = 2, m.mask.WR = 4, m.mask.WT = 1, m.mask.WB = 3;
  TBitmap dst = Dst(20, 14, kOld);
  PaintMaskNinePart(&dst, {0, 0, 20, 14}, true, EmptyBgCacheInfo, m.mask, m.master.get(), 0, false);
  // Source column of destination x: left margin, tiled middle (6 wide), right margin.
  const auto column = [](int x) { return x < 2 ? x : x >= 16 ? 12 - 4 + (x - 16) : 2 + (x - 2) % 6; };
  const auto row = [](int y) { return y < 1 ? y : y >= 11 ? 8 - 3 + (y - 11) : 1 + (y - 1) % 4; };
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool centre = x >= 2 && x < 16 && y >= 1 && y < 11;
      if (centre) continue;  // the centre is another test's
      ASSERT_EQ(Px(dst, x, y) & 0xFFFFFF, 0x10000u * (column(x) + 1) + row(y) + 1)
          << "at " << x << "," << y;
    }
}

// A 6 x 6 frame with margins 2 whose centre rows differ (AA, BB): bit 4 and
// FillCentre paint the centre, tiled or (bit 1) stretched; bit 2 skips state 0.
TEST_P(NinePart, StretchModeBitsAndFillCentre) {
  auto m = MakeMask(1, 6, 6, false, [](int, int x, int y) {
    return x >= 2 && x < 4 && y >= 2 && y < 4 ? (y == 2 ? 0xAAu : 0xBBu) : 0x11u;
  });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  using V = std::vector<std::uint32_t>;
  const V tiled{0xAA, 0xBB, 0xAA, 0xBB}, untouched(4, kOld);
  const struct {
    int mode;
    bool fill;
    int state;
    V want;
  } cases[] = {{4, true, 0, tiled},      {5, true, 0, {0xAA, 0xAA, 0xBB, 0xBB}},
               {4, false, 0, untouched}, {0, true, 0, untouched},
               {6, true, 0, untouched},  {6, true, 1, tiled}};
  for (const auto& c : cases) {
    m.mask.StretchMode = static_cast<std::int16_t>(c.mode);
    TBitmap dst = Dst(8, 8, kOld);
    PaintMaskNinePart(&dst, {0, 0, 8, 8}, c.fill, EmptyBgCacheInfo, m.mask, m.master.get(), c.state,
                      false);
    V column;
    for (int y = 2; y < 6; ++y) column.push_back(Px(dst, 3, y) & 0xFFFFFF);
    EXPECT_EQ(column, c.want) << "mode " << c.mode << ", fill " << c.fill << ", state " << c.state;
  }
}

// Transparent corner pixels take the background bitmap only when asked, else
// the fill colour; the empty record and a fill of 0xFF00FF leave the pixel.
TEST_P(NinePart, TransparentCornerPixelsTakeTheBackgroundRecord) {
  auto m = MakeMask(1, 4, 4, false, [](int, int x, int y) { return x + y == 0 ? kKey : 0x77u; });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  TBitmap back = Filled(8, 8, pf24bit, kBg);
  const struct {
    TsBgCacheInfo info;
    bool onBackground;
    std::uint32_t want;
  } cases[] = {{{&back, 1, 1, TransparentColor, true}, true, kBg},
               {{&back, 1, 1, TransparentColor, true}, false, kOld},
               {{nullptr, 0, 0, 0x0000FF, false}, true, 0xFF0000},
               {{&back, -50, 0, TransparentColor, true}, true, kOld},
               {EmptyBgCacheInfo, true, kOld}};
  for (const auto& c : cases) {
    TBitmap dst = Dst(6, 6, kOld);
    PaintMaskNinePart(&dst, {1, 1, 5, 5}, true, c.info, m.mask, m.master.get(), 0, c.onBackground);
    EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, c.want);
    EXPECT_EQ(Px(dst, 2, 1) & 0xFFFFFF, 0x77u);
  }
}

// The record may be the destination itself (the corner images paint over
// their own bitmap): a transparent corner pixel keeps what is there.
TEST_P(NinePart, ACornerOverItsOwnBitmapKeepsItsPixel) {
  auto m = MakeMask(1, 4, 4, false, [](int, int x, int y) { return x + y == 0 ? kKey : 0x77u; });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  TBitmap dst = Dst(6, 6, kOld);
  PaintMaskNinePart(&dst, {1, 1, 5, 5}, true, {&dst, 0, 0, TransparentColor, true}, m.mask,
                    m.master.get(), 0, true);
  EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, kOld);
  EXPECT_EQ(Px(dst, 2, 1) & 0xFFFFFF, 0x77u);
}

// The mask plane mixes each channel by its own byte of the plane:
// d := ((d - s) * m + s * 256) shr 8, with m raised by 100 (at most 255) for
// modes other than 1; the result is opaque.
TEST_P(NinePart, MaskPlaneMixesExactly) {
  auto m = MakeMask(1, 3, 1, true, [](int, int x, int y) {
    return y == 0 ? (x == 2 ? kKey : 0x204060u) : (x == 0 ? 0u : 0x4080C0u);
  });
  const std::uint32_t opaque = std::get<0>(GetParam()) == pf32bit ? 0xFF000000u : 0;
  const struct {
    int mode;
    std::uint32_t noPlane, plane;
  } cases[] = {{1, 0x204060, 0x4880A8}, {2, 0x5E7285, 0x86B2BF}};
  for (const auto& c : cases) {
    TBitmap dst = Dst(3, 1, 0xC0C0C0);
    DrawMaskState(&dst, {0, 0}, 0, EmptyBgCacheInfo, m.mask, m.master.get(), c.mode);
    EXPECT_EQ(Px(dst, 0, 0), c.noPlane | opaque) << "mode " << c.mode;
    EXPECT_EQ(Px(dst, 1, 0), c.plane | opaque) << "mode " << c.mode;
    EXPECT_EQ(Px(dst, 2, 0), 0xC0C0C0u) << "a transparent source pixel stays out";
  }
}

// A 32-bit own-image mask goes by its straight alpha, to the exact level:
// over a 24-bit picture d + (s - d) * a / 256; over a 32-bit one the two
// alphas combine, so onto transparent black (a glow picture) it is copied as
// it is and a fully transparent pixel changes nothing.
TEST(MaskPaint, ThirtyTwoBitMasksComposeExactly) {
  const struct {
    std::uint32_t src;
    TPixelFormat format;
    std::uint32_t dst, want;
  } cases[] = {
      {0x80FF0000, pf24bit, 0x000000, 0x7F0000},     {0x80FF0000, pf24bit, 0x00FF00, 0x7F7F00},
      {0x402080C0, pf24bit, 0x102030, 0x143854},     {0x80FF0000, pf32bit, 0xFF000000, 0xFF800000},
      {0x80FF0000, pf32bit, 0x00000000, 0x80FF0000}, {0x80FF0000, pf32bit, 0x8000FF00, 0xC0AA5500},
      {0x402080C0, pf32bit, 0xFF102030, 0xFF143854}, {0x402080C0, pf32bit, 0x60102030, 0x88184D74},
      {0x00FFFFFF, pf32bit, 0x60102030, 0x60102030}};
  for (const auto& c : cases) {
    TsMaskData mask;
    mask.Bmp = std::make_shared<TBitmap>(Filled(2, 1, pf32bit, c.src));
    mask.R = {0, 0, 2, 1};
    mask.ImageCount = 1;
    TBitmap dst = Filled(3, 1, c.format, c.dst);
    DrawMaskState(&dst, {1, 0}, 0, EmptyBgCacheInfo, mask, nullptr, 1);
    EXPECT_EQ(Px(dst, 1, 0), c.want) << std::hex << c.src << " over " << c.dst;
    EXPECT_EQ(Px(dst, 0, 0), c.dst) << std::hex << c.src << " over " << c.dst;
  }
}

struct OpaqueCase {
  const char* what;
  std::function<void(TBitmap&, const MaskOnMaster&, const TsBgCacheInfo&)> paint;
  TRect painted;
  bool planeToo;  // the nine-part corners mix a plane into what is there, alpha included
};

// Whatever a 24-bit mask paints into a 32-bit cache is opaque: copies,
// tiles, stretches, mask-plane mixes and background taken for transparent
// pixels alike; every other pixel keeps its alpha of 0.
TEST(MaskPaint, TwentyFourBitMasksPaintOpaquePixels) {
  auto m =
      MakeMask(1, 6, 6, false, [](int, int x, int y) { return x + y == 0 ? kKey : 0x10u * x + y; });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  auto planed =
      MakeMask(1, 6, 6, true, [](int, int x, int y) { return y < 6 ? 0x204060u + x : 0x808080u; });
  planed.mask.WL = planed.mask.WT = planed.mask.WR = planed.mask.WB = 2;
  TBitmap back = Filled(10, 10, pf24bit, kBg);
  const TsBgCacheInfo onBack{&back, 0, 0, TransparentColor, true};
  // The whole 8 x 7 rectangle in nine parts, in a stretch mode.
  const auto ninePart = [](int mode) {
    return [mode](TBitmap& d, const MaskOnMaster& k, const TsBgCacheInfo& i) {
      TsMaskData mask = k.mask;
      mask.StretchMode = static_cast<std::int16_t>(mode);
      PaintMaskNinePart(&d, {1, 1, 9, 8}, true, i, mask, k.master.get(), 0, true);
    };
  };
  const OpaqueCase cases[] = {
      {"nine parts tiled", ninePart(4), {1, 1, 9, 8}, false},
      {"nine parts stretched", ninePart(5), {1, 1, 9, 8}, false},
      {"one frame",
       [](TBitmap& d, const MaskOnMaster& k, const TsBgCacheInfo& i) {
         DrawMaskState(&d, {2, 3}, 0, i, k.mask, k.master.get(), 1);
       },
       {2, 3, 8, 9},
       true},
      {"on the background",
       [](TBitmap& d, const MaskOnMaster& k, const TsBgCacheInfo& i) {
         PaintMaskedPieceOnBackground({2, 2, 5, 5}, {2, 1, 5, 4}, &d, k.mask, k.master.get(), i);
       },
       {2, 2, 6, 6},
       true}};
  for (const OpaqueCase& c : cases)
    for (const MaskOnMaster* k : {&m, &planed}) {
      if (k == &planed && !c.planeToo) continue;
      TBitmap dst = Filled(10, 10, pf32bit, kOld);
      c.paint(dst, *k, onBack);
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
          const bool inside = x >= c.painted.Left && x < c.painted.Right && y >= c.painted.Top &&
                              y < c.painted.Bottom;
          ASSERT_EQ(Px(dst, x, y) >> 24, inside ? 0xFFu : 0u)
              << c.what << (k == &planed ? " with a mask plane" : "") << " at " << x << "," << y;
        }
    }
}

// A stretched part that shrinks averages its source pixels, rounding halves
// up: the 2 x 2 centre 10, 21, 30, 41 gives 26 on one pixel.
TEST(MaskPaint, AShrunkStretchAveragesToTheNearestLevel) {
  auto m = MakeMask(1, 6, 6, false, [](int, int x, int y) {
    static const std::uint32_t centre[2][2] = {{10, 21}, {30, 41}};
    return x >= 2 && x < 4 && y >= 2 && y < 4 ? centre[y - 2][x - 2] : 0x11u;
  });
  m.mask.WL = m.mask.WT = m.mask.WR = m.mask.WB = 2;
  m.mask.StretchMode = 5;
  TBitmap dst = Filled(5, 5, pf24bit, kOld);
  PaintMaskNinePart(&dst, {0, 0, 5, 5}, true, EmptyBgCacheInfo, m.mask, m.master.get(), 0, false);
  EXPECT_EQ(Px(dst, 2, 2), 26u);
}

// Rectangles and masks partly or wholly outside their bitmaps paint what lies
// inside and touch nothing else (ASan and UBSan watch); a mask wholly outside
// its image paints nothing at all.
TEST_P(NinePart, HostileGeometryStaysInsideTheBitmaps) {
  const TRowOrder order = std::get<1>(GetParam());
  auto m = MakeMask(
      2, 6, 6, true, [](int, int x, int y) { return x * y % 3 ? kKey : 0x55u; }, order);
  TsSkinModel skin;
  skin.MasterBitmap = m.master;
  TBitmap back = Filled(2, 2, pf32bit, kBg, order);
  const TsBgCacheInfo info{&back, -3, 9, TransparentColor, true};
  for (const TRect& mr : {TRect{2, 1, 14, 13}, {10, 8, 90, 60}, {-4, -4, 8, 8}, {8, 8, 2, 2}})
    for (const TRect& r : {TRect{-5, -5, 3, 3}, {4, 4, 40, 40}, {-100, -1, 200, 300}, {5, 5, 1, 1}})
      for (int kind = 0; kind < 4; ++kind) {
        m.mask.R = mr;
        m.mask.MaskType = static_cast<std::int16_t>(kind % 2);
        m.mask.WL = m.mask.WT = kind < 2 ? 30 : 2, m.mask.WR = m.mask.WB = kind < 2 ? -7 : 2;
        m.mask.StretchMode = 5;
        skin.MaskData = {m.mask};
        TBitmap dst = Dst(7, 5, kOld);
        PaintMaskNinePart(&dst, r, true, info, m.mask, m.master.get(), 1, true);
        for (int mode : {1, 2})
          DrawMaskState(&dst, r.TopLeft(), 9, info, m.mask, m.master.get(), mode);
        PaintMaskedPiece(r, mr, &dst, m.mask, 1, 0, m.master.get());
        PaintMaskedPieceOnBackground(r, mr, &dst, m.mask, m.master.get(), info);
        CopyWhereMaskTransparent(&dst, &back, r, mpBottomRight, &skin, 0, {-2, 1});
        CopyWhereMaskTransparent(&dst, &back, r, mpTopLeft, &skin, -1, {0, 0});
        BlendRectWithColor(&dst, r, 40, 0x123456);
      }
  m.mask.R = {40, 40, 52, 52};
  m.mask.MaskType = 0;
  TBitmap dst = Dst(7, 5, kOld);
  PaintMaskNinePart(&dst, {0, 0, 7, 5}, true, EmptyBgCacheInfo, m.mask, m.master.get(), 1, true);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(Px(dst, x, y) & 0xFFFFFF, kOld) << x << "," << y;
}

// A transparent pixel of the piece shows the record's bitmap while its fill
// colour is none, the fill colour otherwise, or keeps what was there.
TEST(MaskPaint, APieceOnTheBackgroundTakesTheRecordsColourBeforeItsBitmap) {
  auto m = MakeMask(1, 4, 4, false, [](int, int x, int y) { return x + y == 0 ? kKey : 0x77u; });
  TBitmap back = Filled(8, 8, pf24bit, kBg);
  const struct {
    TsBgCacheInfo info;
    std::uint32_t want;
  } cases[] = {{{&back, 0, 0, TransparentColor, true}, kBg},
               {{&back, 0, 0, 0x00FF00, true}, 0x00FF00},
               {{nullptr, 0, 0, 0x00FF00, false}, 0x00FF00},
               {{nullptr, 0, 0, TransparentColor, false}, kOld}};
  for (const auto& c : cases) {
    TBitmap dst = Filled(6, 6, pf24bit, kOld);
    PaintMaskedPieceOnBackground({1, 1, 4, 4}, {2, 1, 5, 4}, &dst, m.mask, m.master.get(), c.info);
    EXPECT_EQ(Px(dst, 1, 1), c.want) << std::hex << c.info.FillColor << " ready " << c.info.Ready;
    EXPECT_EQ(Px(dst, 2, 2), 0x77u);
  }
}

TEST(CopyWhereMaskTransparent, CopiesUnderTheTransparentPixelsOfTheCornerAsked) {
  auto m = MakeMask(1, 6, 4, false, [](int, int x, int y) { return x == 5 && y == 0 ? kKey : 1u; });
  m.mask.WR = 2;
  TsSkinModel skin;
  skin.MaskData = {m.mask};
  skin.MasterBitmap = m.master;
  TBitmap dst = Filled(2, 2, pf32bit, 0xFF000001), src = Filled(2, 2, pf32bit, 0x80ABCDEF);
  CopyWhereMaskTransparent(&dst, &src, {0, 0, 2, 2}, mpTopRight, &skin, 0, {0, 0});
  EXPECT_EQ(Px(dst, 1, 0), 0x80ABCDEFu);
  EXPECT_EQ(Px(dst, 0, 0), 0xFF000001u);
}

TEST(BlendRectWithColor, KeepsPercentOfThePixelRoundingHalvesToEven) {
  const struct {
    int percent;
    std::uint8_t pixel, colour, want;
  } cases[] = {{100, 7, 200, 7}, {0, 7, 200, 200}, {50, 1, 0, 0},      {50, 3, 0, 2},
               {30, 5, 0, 2},    {150, 7, 200, 7}, {-20, 7, 200, 200}, {50, 255, 254, 254}};
  for (const auto& c : cases) {
    TBitmap b = Filled(3, 3, pf32bit, 0x40000000u | c.pixel);
    BlendRectWithColor(&b, {0, 0, 2, 2}, c.percent, c.colour << 16);
    EXPECT_EQ(Px(b, 1, 1), 0x40000000u | c.want) << c.percent << "% of " << int(c.pixel);
    EXPECT_EQ(Px(b, 2, 2), 0x40000000u | c.pixel) << "right and bottom are outside";
  }
}

}  // namespace
}  // namespace kv
