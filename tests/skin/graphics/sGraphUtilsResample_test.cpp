#include <gtest/gtest.h>

#include "Pixels.h"
#include "base/SysUtils.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Numbered;
using testing::Px;
using testing::PxColour;
using testing::SetPx;

TEST(ResampleFilter, HasTheShapesAndSupportsOfItsSevenFilters) {
  EXPECT_DOUBLE_EQ(ResampleFilter(0, 0.5), 1.0);
  EXPECT_DOUBLE_EQ(ResampleFilter(0, 0.51), 0.0);
  EXPECT_DOUBLE_EQ(ResampleFilter(1, 0.25), 0.75);
  EXPECT_DOUBLE_EQ(ResampleFilter(2, 0.5), 0.5);
  EXPECT_DOUBLE_EQ(ResampleFilter(3, 0.5), 0.5);
  EXPECT_DOUBLE_EQ(ResampleFilter(4, 0.0), 2.0 / 3);
  EXPECT_DOUBLE_EQ(ResampleFilter(4, 1.5), 0.125 / 6);
  EXPECT_DOUBLE_EQ(ResampleFilter(5, 0.0), 1.0);
  EXPECT_NEAR(ResampleFilter(5, 1.0), 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(ResampleFilter(6, 0.0), 8.0 / 9);
  EXPECT_DOUBLE_EQ(ResampleFilter(7, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(ResampleFilterSupport(5), 3.0);
}

TEST(BuildContributors, WeighsEveryDestinationIndexByExactlyOne) {
  for (int filter = 0; filter < 7; ++filter)
    for (auto [dest, src] : {std::pair{10, 3}, {3, 10}, {7, 7}, {1, 50}, {50, 2}, {2, 20}}) {
      const TContributorTable t =
          BuildContributors(dest, src, 3, static_cast<std::uint8_t>(filter));
      ASSERT_EQ(t.Entries.size(), static_cast<std::size_t>(dest));
      for (const auto& entry : t.Entries) {
        std::int32_t sum = 0;
        for (const TContributor& c : entry) {
          sum += c.Weight;
          EXPECT_GE(c.Offset, 0);
          EXPECT_LT(c.Offset, 3 * src) << "filter " << filter;
        }
        EXPECT_EQ(sum, 65536) << "filter " << filter << " " << dest << " from " << src;
      }
    }
}

// Sources as small as two pixels under the widest filters must stay inside
// their rows (ASan) and keep a flat colour flat.
TEST(ResampleBitmap, KeepsAFlatImageFlatWithEveryFilter) {
  for (TPixelFormat f : {pf24bit, pf32bit})
    for (int filter = 0; filter < 7; ++filter)
      for (auto [sw, sh] : {std::pair{6, 4}, {2, 2}, {40, 30}})
        for (auto [w, h] : {std::pair{5, 9}, {1, 1}, {20, 3}, {2, 2}}) {
          const TBitmap src = Filled(sw, sh, f, 0xC8643219u);
          TBitmap dst;
          ResampleBitmap(src, dst, w, h, static_cast<std::uint8_t>(filter));
          ASSERT_EQ(dst.Width(), w);
          ASSERT_EQ(dst.Height(), h);
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
              ASSERT_EQ(Px(dst, x, y), f == pf32bit ? 0xC8643219u : 0x643219u)
                  << "filter " << filter << " from " << sw << "x" << sh << " to " << w << "x" << h;
        }
}

TEST(ResampleBitmap, MirrorsSamplesBeyondTheEdges) {
  // B-spline at the left edge: 2/3 of s[0] + 1/6 of s[1] + 1/6 of s[-1] = s[1].
  TBitmap src = Filled(4, 2, pf24bit, 0x5A5A5A);
  SetPx(src, 0, 0, 0);
  SetPx(src, 0, 1, 0);
  TBitmap dst;
  ResampleBitmap(src, dst, 8, 2, 4);
  EXPECT_EQ(Px(dst, 0, 0), 0x1E1E1Eu);  // 30; clamping would give 15
}

// Beyond the right and bottom edges a sample is mirrored however far out it
// lies: doubling a 4 x 4 picture gives what doubling the same picture with
// its mirror image written out to 8 x 8 gives there, under every filter that
// reaches two or more samples past the edge (the alpha image list's too).
TEST(ResampleBitmap, MirrorsSamplesFarBeyondTheRightAndBottomEdges) {
  for (TPixelFormat f : {pf24bit, pf32bit})
    for (std::uint8_t filter : {4, 5, 6}) {
      const TBitmap src = Numbered(4, 4, f);
      TBitmap written(8, 8, f);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          SetPx(written, x, y, Px(src, x < 4 ? x : 7 - x, y < 4 ? y : 7 - y));
      TBitmap dst, reference;
      ResampleBitmap(src, dst, 8, 8, filter);
      ResampleBitmap(written, reference, 16, 16, filter);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(Px(dst, x, y), Px(reference, x, y))
              << "filter " << int(filter) << " at " << x << "," << y
              << (f == pf32bit ? " (32)" : "");
    }
}

// In every pixel format, into another bitmap or into the source itself.
TEST(ResampleBitmap, CopiesWhenTheSizeIsTheSame) {
  for (TPixelFormat f : {pf8bit, pf24bit, pf32bit})
    for (bool intoItself : {false, true}) {
      TBitmap src = Numbered(3, 3, f);
      if (f == pf8bit)
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < 3; ++x) SetPx(src, x, y, static_cast<std::uint32_t>(x + 3 * y));
      const TBitmap before = src;
      TBitmap other;
      TBitmap& dst = intoItself ? src : other;
      ResampleBitmap(src, dst, 3, 3, 1);
      EXPECT_EQ(dst.PixelFormat(), f) << f << (intoItself ? " into itself" : "");
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PxColour(dst, x, y), PxColour(before, x, y));
    }
}

TEST(ResampleBitmap, RefusesSourcesBelowTwoByTwoAndLeavesTheDestination) {
  const TBitmap src(1, 10, pf24bit);
  TBitmap dst(5, 5, pf24bit);
  try {
    ResampleBitmap(src, dst, 3, 3, 1);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Source bitmap is too small");
  }
  EXPECT_EQ(dst.Width(), 5);
}

TEST(ResampleBitmap, GivesAnEmptyBitmapForAnEmptySize) {
  TBitmap dst(5, 5, pf24bit);
  ResampleBitmap(Numbered(3, 3, pf24bit), dst, 0, 4, 1);
  EXPECT_TRUE(dst.Empty());
}

TEST(ResampleBitmap, TreatsColourChannelsAlikeIn24And32Bits) {
  const TBitmap a = Numbered(7, 5, pf24bit);
  const TBitmap b = Numbered(7, 5, pf32bit);
  TBitmap ra, rb;
  ResampleBitmap(a, ra, 11, 3, 6);
  ResampleBitmap(b, rb, 11, 3, 6);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 11; ++x) EXPECT_EQ(Px(ra, x, y), Px(rb, x, y) & 0xFFFFFF);
}

}  // namespace
}  // namespace kv
