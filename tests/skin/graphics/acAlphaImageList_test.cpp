#include "skin/graphics/acAlphaImageList.h"

#include <gtest/gtest.h>

#include "Pixels.h"
#include "PngFiles.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

// An 8-bit RGBA PNG of w x h: pixel (x, y) = (x, y, 7) with alpha 40 x (x + 1).
testing::Bytes RgbaPng(int w, int h) {
  testing::Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x)
      for (int v : {x, y, 7, 40 * (x + 1)}) raw.push_back(static_cast<std::uint8_t>(v));
  }
  return testing::MakePng(w, h, 8, 6, raw).Join();
}

// An RGB PNG whose bottom-left pixel (0, 1, 1) is the colour key.
testing::Bytes RgbPng(int w, int h) {
  return testing::MakePng(w, h, 8, 2, testing::RgbRamp(w, h)).Join();
}

// One row of 2^26 16-bit RGBA pixels, with image data enough for its size to
// be possible: the reader must refuse it before allocating, for every caller.
testing::Bytes WideRowPng() {
  testing::PngFile f = testing::MakePng(1u << 26, 1, 16, 6, {});
  f.chunks[f.Find("IDAT")] = testing::MakeChunk("IDAT", testing::Bytes(600000));
  return f.Join();
}

bool FullyTransparent(const TBitmap& b) {
  if (b.PixelFormat() != pf32bit) return false;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (Px(b, x, y) >> 24 != 0) return false;
  return true;
}

// Every item gives one picture, a broken one a transparent placeholder of the
// list's size, so that later indexes stay those of the items.
TEST(ListItemPicture, KeepsIndexesWithPlaceholders) {
  const TsIconDecoder icons = [](const std::vector<std::uint8_t>& bytes) {
    return bytes.size() == 1 ? std::make_unique<TBitmap>(Filled(5, 5, pf32bit, 0xFF123456))
                             : nullptr;
  };
  testing::Bytes broken = RgbaPng(4, 4);
  broken.resize(broken.size() - 20);
  const TsImgListItems items = {
      {ifPNG, pf32bit, RgbaPng(4, 3)}, {ifPNG, pf32bit, broken}, {ifICO, pf32bit, {1}},
      {ifICO, pf32bit, {1, 2}},        {ifPNG, pf32bit, {}},
  };
  const std::pair<int, bool> want[] = {{4, false}, {16, true}, {5, false}, {16, true}, {16, true}};
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TBitmap p = ListItemPicture(items[i], 16, 16, icons);
    EXPECT_EQ(p.Width(), want[i].first) << i;
    EXPECT_EQ(FullyTransparent(p), want[i].second) << i;
  }
}

TEST(GetItemBitmap32, GivesTheListSizeWithAlpha) {
  TBitmap bmp;
  ASSERT_TRUE(GetItemBitmap32({ifPNG, pf32bit, RgbaPng(4, 3)}, 4, 3, bmp));
  EXPECT_EQ(Px(bmp, 2, 1), 0x78020107u);  // straight alpha, unscaled
  ASSERT_TRUE(GetItemBitmap32({ifPNG, pf32bit, RgbaPng(4, 3)}, 16, 12, bmp));
  EXPECT_EQ(bmp.Width(), 16);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
  ASSERT_TRUE(GetItemBitmap32({ifPNG, pf32bit, RgbaPng(1, 1)}, 3, 3, bmp));
  EXPECT_EQ(Px(bmp, 2, 2), 0x28000007u);
  ASSERT_TRUE(GetItemBitmap32({ifPNG, pf32bit, RgbPng(3, 2)}, 3, 2, bmp));
  EXPECT_EQ(Px(bmp, 0, 1) >> 24, 0u);  // the key
  EXPECT_EQ(Px(bmp, 2, 0) >> 24, 255u);

  TBitmap kept = Filled(2, 2, pf32bit, 0x11223344);
  testing::Bytes broken = RgbaPng(4, 4);
  broken[20] ^= 1;
  for (const TsImgListItem& item :
       {TsImgListItem{ifPNG, pf32bit, broken}, TsImgListItem{ifICO, pf32bit, RgbaPng(2, 2)},
        TsImgListItem{ifPNG, pf32bit, {}}, TsImgListItem{ifPNG, pf32bit, WideRowPng()}})
    EXPECT_FALSE(GetItemBitmap32(item, 2, 2, kept));
  EXPECT_EQ(Px(kept, 1, 1), 0x11223344u);
}

TEST(AlphaFromColorKey, OpensOnlyPicturesWithoutAlpha) {
  TBitmap none = Filled(3, 2, pf32bit, 0x00102030);
  SetPx(none, 2, 0, 0x00405060);
  AlphaFromColorKey(none);
  EXPECT_EQ(Px(none, 0, 0), 0x00102030u);
  EXPECT_EQ(Px(none, 2, 0), 0xFF405060u);
  TBitmap some = none;
  SetPx(some, 0, 0, 0x01102030);
  SetPx(some, 2, 0, 0x00405060);
  AlphaFromColorKey(some);
  EXPECT_EQ(Px(some, 2, 0), 0x00405060u);
}

TEST(ListImageFrame, CountsBelowOneCountAsOne) {
  for (const auto& [count, state, want] : {std::tuple{3, 1, TRect{10, 0, 20, 8}},
                                           {3, 5, {20, 0, 30, 8}},
                                           {3, -2, {0, 0, 10, 8}},
                                           {0, 2, {0, 0, 30, 8}},
                                           {-4, 0, {0, 0, 30, 8}}})
    EXPECT_EQ(ListImageFrame(30, 8, count, state), want) << count << " " << state;
}

}  // namespace
}  // namespace kv
