// The see-through border pixels of an edit adapter's cache taking the
// parent's background, and never reading outside either picture.
#include "skin/adapters/acEditWndBorder.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kv {
namespace {

constexpr int kFrame = 6, kBorder = 2;

void Put(TBitmap& b, int x, int y, std::uint32_t rgb) {
  std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  p[0] = static_cast<std::uint8_t>(rgb), p[1] = static_cast<std::uint8_t>(rgb >> 8);
  p[2] = static_cast<std::uint8_t>(rgb >> 16);
}

std::uint32_t Get(const TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  return p[0] | (p[1] << 8) | (p[2] << 16);
}

TBitmap Filled(int w, int h, std::uint32_t rgb) {
  TBitmap b(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(b, x, y, rgb);
  return b;
}

// Three frames; frame n has see-through pixels at its top-left corner and,
// from frame 1 on, at its bottom-right one.
struct Mask {
  TBitmap image = Filled(3 * kFrame, kFrame, 0x404040);
  TsMaskData data;
  Mask() {
    data.R = {0, 0, 3 * kFrame, kFrame};
    data.ImageCount = 3;
    data.WL = data.WT = data.WR = data.WB = kBorder;
    for (int f = 0; f < 3; ++f) {
      Put(image, f * kFrame, 0, 0xFF00FF);
      if (f > 0) Put(image, f * kFrame + kFrame - 1, kFrame - 1, 0xFF00FF);
    }
  }
};

TEST(EditWndBorder, SeeThroughPixelsTakeTheParentsColourOnlyThere) {
  Mask m;
  TBitmap cache = Filled(10, 8, 0x111111);
  FillBorderPixels(cache, m.image, m.data, 2, {nullptr, {}, 0x0000AA});
  EXPECT_EQ(0xAA0000u, Get(cache, 0, 0));  // TColor is 0xBBGGRR
  EXPECT_EQ(0xAA0000u, Get(cache, 9, 7));
  int changed = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) changed += Get(cache, x, y) != 0x111111;
  EXPECT_EQ(2, changed);
}

TEST(EditWndBorder, AStateBeyondTheMasksFramesUsesItsLast) {
  Mask m;
  TBitmap cache = Filled(10, 8, 0x111111);
  FillBorderPixels(cache, m.image, m.data, 0, {nullptr, {}, 0x0000AA});
  EXPECT_EQ(0x111111u, Get(cache, 9, 7));
  FillBorderPixels(cache, m.image, m.data, 7, {nullptr, {}, 0x0000AA});
  EXPECT_EQ(0xAA0000u, Get(cache, 9, 7));
}

struct BgCase {
  const char* name;
  TPoint offset;
  bool topLeftFilled, bottomRightFilled;
};

class EditWndBorderBitmap : public ::testing::TestWithParam<BgCase> {};

// The parent's picture is 12 x 10; the control lies at the offset in it.
TEST_P(EditWndBorderBitmap, ReadsTheParentsPictureOnlyInsideIt) {
  const BgCase& c = GetParam();
  Mask m;
  TBitmap parent = Filled(12, 10, 0x00CC00);
  TBitmap cache = Filled(10, 8, 0x111111);
  FillBorderPixels(cache, m.image, m.data, 1, {&parent, c.offset, 0});
  EXPECT_EQ(c.topLeftFilled ? 0x00CC00u : 0x111111u, Get(cache, 0, 0)) << c.name;
  EXPECT_EQ(c.bottomRightFilled ? 0x00CC00u : 0x111111u, Get(cache, 9, 7)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Offsets, EditWndBorderBitmap,
                         ::testing::Values(BgCase{"inside", {1, 1}, true, true},
                                           BgCase{"out at the top left", {-1, -1}, false, true},
                                           BgCase{"out at the bottom right", {3, 3}, true, false},
                                           BgCase{"wholly outside", {40, -40}, false, false}));

TEST(EditWndBorder, TinyCachesAndFramesOutsideTheirImageAreLeftAlone) {
  Mask m;
  TBitmap thin = Filled(1, 8, 0x111111);
  FillBorderPixels(thin, m.image, m.data, 0, {nullptr, {}, 0x0000AA});
  EXPECT_EQ(0x111111u, Get(thin, 0, 0));
  m.data.R = {10, 0, 10 + 3 * kFrame, kFrame};  // runs off the image
  TBitmap cache = Filled(10, 8, 0x111111);
  FillBorderPixels(cache, m.image, m.data, 0, {nullptr, {}, 0x0000AA});
  EXPECT_EQ(0x111111u, Get(cache, 0, 0));
}

}  // namespace
}  // namespace kv
