// Regions cut from masks and skinned borders, through GDI.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <vector>

#include "Pixels.h"
#include "classlib/Graphics.h"
#include "skin/graphics/sBorders_win.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kKey = 0xFF00FF, kBorder = 0x0000C0, kGround = 0x00A000;

// 12 x 10, margins 4; `holes` are the transparent pixels.
TsMaskData Mask(const std::vector<std::pair<int, int>>& holes, int margin = 4) {
  TsMaskData m;
  m.Bmp = std::make_shared<TBitmap>(Filled(12, 10, pf24bit, kBorder));
  for (auto [x, y] : holes) SetPx(*m.Bmp, x, y, kKey);
  m.R = {0, 0, 12, 10};
  m.ImageCount = 1;
  m.WL = m.WT = m.WR = m.WB = margin;
  return m;
}

// Rounded corners with a few holes, or corners with none.
class RegionFromMask : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Corners, RegionFromMask, ::testing::Bool());

// The window region loses exactly the transparent runs, and a fully opaque
// corner removes nothing.
TEST_P(RegionFromMask, RemovesExactlyTheTransparentRuns) {
  const std::vector<std::pair<int, int>> rounded = {
      {0, 0}, {1, 0}, {2, 0}, {0, 1}, {11, 0}, {10, 0}, {0, 9}, {11, 9}, {11, 8}, {3, 3}, {1, 2}};
  const TsMaskData mask = Mask(GetParam() ? rounded : std::vector<std::pair<int, int>>{});
  TBitmap b = Filled(20, 14, pf24bit, kGround);
  TRectList runs;
  BuildRegionFromMask(&b, &runs, false, 0, mask, nullptr);
  std::set<std::pair<int, int>> cut;
  for (const TRect& r : runs)
    for (int x = r.Left; x < r.Right; ++x) cut.insert({x, r.Top});

  HRGN region = CreateRectRgn(0, 0, 20, 14);
  BuildRegionFromMask(&b, region, false, 0, mask, nullptr);
  HRGN fromRuns = RegionFromRuns(runs);
  EXPECT_EQ(fromRuns == nullptr, runs.empty());
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool isCut = cut.count({x, y}) > 0;
      EXPECT_EQ(PtInRegion(region, x, y) != 0, !isCut) << "at " << x << ", " << y;
      if (fromRuns) {
        EXPECT_EQ(PtInRegion(fromRuns, x, y) != 0, isCut) << "at " << x << ", " << y;
      }
    }
  HRGN whole = CreateRectRgn(0, 0, 20, 14);
  EXPECT_EQ(EqualRgn(region, whole) != 0, cut.empty());
  for (HRGN r : {region, whole, fromRuns})
    if (r) DeleteObject(r);
}

struct BorderCase {
  int borderWidth;
  bool hasMask;
  TRect client;        // expected
  std::uint32_t at2x;  // cache pixel (2, 10) after painting
};

class SkinnedBorder : public ::testing::TestWithParam<BorderCase> {};
INSTANTIATE_TEST_SUITE_P(Widths, SkinnedBorder,
                         ::testing::Values(BorderCase{0, true, {2, 2, 18, 18}, 0x123456},
                                           BorderCase{4, true, {4, 4, 16, 16}, 0xFFFF00},
                                           BorderCase{30, true, {30, 30, 30, 30}, 0xFFFF00},
                                           BorderCase{3, false, {7, 7, 7, 7}, 0xFFFF00}));

// A 2-pixel mask leaves the inside to the client; a wider border width fills
// the band beyond the mask with the background colour.
TEST_P(SkinnedBorder, FillsTheBandBeyondTheMaskAndReturnsTheClient) {
  const BorderCase& c = GetParam();
  const TsMaskData mask = Mask({}, 2);
  TBitmap cache = Filled(20, 20, pf24bit, 0x123456);
  TsBorderSource source;
  source.CacheBmp = &cache;
  source.BgColor = 0x00FFFF;  // TColor is 0xBBGGRR: yellow, read back as 0xFFFF00
  source.Mask = c.hasMask ? &mask : nullptr;
  TRect client{7, 7, 7, 7};
  {
    TBitmapCanvas canvas(cache);
    source.CacheDC = canvas.Handle();
    PaintSkinnedBorder(canvas.Handle(), {0, 0, 20, 20}, c.borderWidth, source, 0, client);
    GdiFlush();
  }
  EXPECT_EQ(client, c.client);
  EXPECT_EQ(Px(cache, 2, 10), c.at2x);
  if (c.hasMask) {
    EXPECT_EQ(Px(cache, 0, 10), kBorder);
  }
}

}  // namespace
}  // namespace kv
