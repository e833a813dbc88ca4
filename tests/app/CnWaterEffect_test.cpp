#include "app/CnWaterEffect.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace kv {
namespace {

using Bgr = std::array<int, 3>;

// The heights of the whole area, row after row, for comparing with a table.
std::vector<std::int32_t> Heights(const TCnWaterEffect& w) {
  std::vector<std::int32_t> h;
  for (int y = 0; y < w.Height(); ++y)
    for (int x = 0; x < w.Width(); ++x) h.push_back(w.HeightAt(x, y));
  return h;
}

std::int64_t Sum(const TCnWaterEffect& w) {
  std::int64_t s = 0;
  for (std::int32_t h : Heights(w)) s += h;
  return s;
}

Bgr Pixel(TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * 3;
  return {p[0], p[1], p[2]};
}

void SetPixel(TBitmap& b, int x, int y, Bgr c) {
  std::uint8_t* p = b.ScanLine(y) + x * 3;
  for (int i = 0; i < 3; ++i) p[i] = static_cast<std::uint8_t>(c[i]);
}

// Every pixel different: B and G follow the column and row, R is fixed.
TBitmap Picture(int width, int height) {
  TBitmap b(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(b, x, y, {20 * x + 10, 20 * y + 10, 200});
  return b;
}

TEST(CnWaterEffect, SizeBelowOneGivesAnEmptyAreaThatTakesNoDropsAndDrawsNothing) {
  for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-1, 3}, {3, -7}, {0, 0}}) {
    TCnWaterEffect w;
    w.WaterSetSize(4, 3);
    w.WaterSetSize(width, height);
    EXPECT_EQ(w.Width(), 0) << width << " x " << height;
    EXPECT_EQ(w.Height(), 0) << width << " x " << height;
    w.WaterBlob(0, 0, 100, 1);
    w.WaterBlob(-1, -1, 100, 1);
    TBitmap source = Picture(3, 3);
    TBitmap output(3, 3, pf24bit);
    SetPixel(output, 1, 1, {0x55, 0x55, 0x55});
    w.WaterCalcAndRender(source, output);
    EXPECT_EQ(Pixel(output, 1, 1), (Bgr{0x55, 0x55, 0x55}));
  }
}

TEST(CnWaterEffect, BlobAddsADiscClippedToTheArea) {
  TCnWaterEffect w;
  w.WaterSetSize(7, 7);
  w.WaterBlob(3, 3, 10, 2);
  w.WaterBlob(3, 3, 5, 0);
  w.WaterBlob(3, 3, 50, -1);  // a negative radius adds nothing
  // clang-format off
  EXPECT_EQ(Heights(w), std::vector<std::int32_t>({
      0, 0,  0,  0,  0,  0, 0,
      0, 0,  0, 10,  0,  0, 0,
      0, 0, 10, 10, 10,  0, 0,
      0, 10, 10, 15, 10, 10, 0,
      0, 0, 10, 10, 10,  0, 0,
      0, 0,  0, 10,  0,  0, 0,
      0, 0,  0,  0,  0,  0, 0}));
  // clang-format on
  // Radius 3 from a corner leaves a quarter disc of 4 + 3 + 3 + 1 pixels.
  for (const auto& [x, y] : {std::pair{0, 0}, {4, 0}, {0, 4}, {4, 4}}) {
    TCnWaterEffect corner;
    corner.WaterSetSize(5, 5);
    corner.WaterBlob(x, y, 1, 3);
    EXPECT_EQ(Sum(corner), 11) << "corner " << x << "," << y;
  }
  TCnWaterEffect huge;
  huge.WaterSetSize(3, 2);
  huge.WaterBlob(1, 1, 1, 1000000);
  EXPECT_EQ(Sum(huge), 6);
}

TEST(CnWaterEffect, BlobOutsideTheAreaFallsAtARandomPlaceClearOfTheBorder) {
  for (int i = 0; i < 200; ++i) {
    TCnWaterEffect w;
    w.WaterSetSize(8, 6);
    w.WaterBlob(-1, -1, 1, 1);
    ASSERT_EQ(Sum(w), 5) << "the whole disc lies inside";
    for (int x = 0; x < 8; ++x) ASSERT_EQ(w.HeightAt(x, 0), 0);
    for (int y = 0; y < 6; ++y) ASSERT_EQ(w.HeightAt(0, y), 0);
  }
  TCnWaterEffect small;  // no room for the disc and the border
  small.WaterSetSize(3, 9);
  small.WaterBlob(-1, 4, 7, 1);
  EXPECT_EQ(Sum(small), 0);
  // 4 x 4 with radius 1 leaves exactly one place: (2, 2).
  TCnWaterEffect tight;
  tight.WaterSetSize(4, 4);
  tight.WaterBlob(-1, 99, 7, 1);
  EXPECT_EQ(Heights(tight), std::vector<std::int32_t>({0, 0, 0, 0, 0, 0, 7, 0,  //
                                                        0, 7, 7, 7, 0, 0, 7, 0}));
}

TEST(CnWaterEffect, StepsSpreadADropToItsNeighboursAndTheBorderReflects) {
  TCnWaterEffect w;
  w.WaterSetSize(3, 3);
  w.WaterBlob(1, 1, 100, 0);
  w.WaterCalc();
  // (100 div 4) * 204 div 256 = 19 around, 0 in the middle.
  EXPECT_EQ(Heights(w), std::vector<std::int32_t>({19, 19, 19, 19, 0, 19, 19, 19, 19}));
  w.WaterCalc();
  // Middle: (8 * 19 div 4 - 100) * 204 div 256 = -12648 div 256, truncated to -49.
  // Around: seven neighbours of 19 (the border repeats itself) give 133 div 4 = 33 -> 26.
  EXPECT_EQ(Heights(w), std::vector<std::int32_t>({26, 26, 26, 26, -49, 26, 26, 26, 26}));
  w.WaterSetSize(3, 3);  // clears both steps
  w.WaterCalc();
  EXPECT_EQ(Sum(w), 0);

  // The corner sees itself three times (300 div 4 = 75 -> 59), its edge
  // neighbours see it twice (50 -> 39) and the diagonal once (25 -> 19).
  TCnWaterEffect corner;
  corner.WaterSetSize(3, 3);
  corner.WaterBlob(0, 0, 100, 0);
  corner.WaterCalc();
  EXPECT_EQ(Heights(corner), std::vector<std::int32_t>({59, 39, 0, 39, 19, 0, 0, 0, 0}));
}

// f = (100 - damping) * 256 div 100; a ring height is 25 * f div 256.
// Damping 0 stands for a fresh effect, whose damping is 20.
class WaterDamping : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(WaterDamping, ScalesEachStep) {
  const auto [damping, ring] = GetParam();
  TCnWaterEffect w;
  if (damping != 0) w.WaterSetDamping(damping);
  for (int refused : {0, 100, -3, 255}) w.WaterSetDamping(refused);
  w.WaterSetSize(3, 3);
  w.WaterBlob(1, 1, 100, 0);
  w.WaterCalc();
  EXPECT_EQ(w.HeightAt(0, 0), ring);
  EXPECT_EQ(w.HeightAt(2, 1), ring);
}

INSTANTIATE_TEST_SUITE_P(CnWaterEffect, WaterDamping,
                         testing::Values(std::pair{0, 19}, std::pair{1, 24}, std::pair{50, 12},
                                         std::pair{99, 0}));

TEST(CnWaterEffect, RenderShiftsPixelsBySlopeAndShadesByHorizontalSlope) {
  TCnWaterEffect w;
  w.WaterSetSize(5, 5);
  w.WaterBlob(2, 2, 1, 0);
  TBitmap source = Picture(5, 5);
  TBitmap output(5, 5, pf8bit);
  w.WaterRender(source, output);
  ASSERT_EQ(output.PixelFormat(), pf24bit);
  TBitmap expected = Picture(5, 5);
  SetPixel(expected, 1, 2, {10 + 1, 50 + 1, 200 + 1});  // dx -1: from (0, 2), one brighter
  SetPixel(expected, 3, 2, {90 - 1, 50 - 1, 200 - 1});  // dx +1: from (4, 2), one darker
  SetPixel(expected, 2, 1, {50, 10, 200});              // dy -1: from (2, 0), same shade
  SetPixel(expected, 2, 3, {50, 90, 200});              // dy +1: from (2, 4)
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(output, x, y), Pixel(expected, x, y)) << x << "," << y;

  // A slope that leaves the area keeps the source pixel.
  w.WaterBlob(2, 2, 300, 0);
  w.WaterRender(source, output);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(output, x, y), Pixel(source, x, y)) << x << "," << y;
}

TEST(CnWaterEffect, RenderClampsShadedBytesAndReadsItsOwnSourceUndisturbed) {
  // A single row: the vertical neighbours are the row itself.
  TCnWaterEffect w;
  w.WaterSetSize(4, 1);
  w.WaterBlob(0, 0, 1, 0);
  w.WaterBlob(3, 0, 1, 0);
  const Bgr row[] = {{1, 2, 3}, {0, 128, 255}, {255, 0, 1}, {7, 8, 9}};
  TBitmap source(4, 1, pf24bit);
  for (int x = 0; x < 4; ++x) SetPixel(source, x, 0, row[x]);
  TBitmap output(4, 1, pf24bit);
  w.WaterRender(source, output);
  // Heights 1 0 0 1: dx is +1, +1, -1, -1.
  EXPECT_EQ(Pixel(output, 0, 0), (Bgr{0, 127, 254}));  // from x 1, darker
  EXPECT_EQ(Pixel(output, 1, 0), (Bgr{254, 0, 0}));    // from x 2, darker
  EXPECT_EQ(Pixel(output, 2, 0), (Bgr{1, 129, 255}));  // from x 1, brighter
  EXPECT_EQ(Pixel(output, 3, 0), (Bgr{255, 1, 2}));    // from x 2, brighter
  // x 1 takes x 2, and x 2 takes x 1 as it was.
  w.WaterRender(source, source);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(source, x, 0), Pixel(output, x, 0)) << x;
}

TEST(CnWaterEffect, RenderStaysInsideBitmapsOfOtherSizes) {
  TCnWaterEffect w;
  w.WaterSetSize(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) w.WaterBlob(x, y, (x * 7 + y * 3) % 5 - 2, 0);
  // Source smaller than the area: the rest of the output keeps what it had.
  TBitmap small = Picture(3, 3);
  TBitmap output(6, 6, pf24bit);
  SetPixel(output, 5, 5, {0xAA, 0xAA, 0xAA});
  w.WaterRender(small, output);
  EXPECT_EQ(Pixel(output, 5, 5), (Bgr{0xAA, 0xAA, 0xAA}));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_LE(std::abs(Pixel(output, x, y)[2] - 200), 4) << "sampled from the picture";
  // Output smaller than the area, and an empty output.
  TBitmap source = Picture(6, 6);
  TBitmap tiny(2, 2, pf24bit);
  w.WaterRender(source, tiny);
  EXPECT_EQ(tiny.Width(), 2);
  TBitmap empty;
  w.WaterRender(source, empty);
  EXPECT_TRUE(empty.Empty());
  // A 32-bit source is read as 24-bit.
  TCnWaterEffect flat;
  flat.WaterSetSize(4, 4);
  TBitmap wide(4, 4, pf32bit);
  wide.ScanLine(1)[4 * 2] = 77;  // blue of (2, 1)
  TBitmap out(4, 4, pf24bit);
  flat.WaterRender(wide, out);
  EXPECT_EQ(wide.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(out, 2, 1), (Bgr{77, 0, 0}));
}

TEST(CnWaterEffect, HeightsPiledBeyondTheIntegerRangeStayAtItsEnds) {
  constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t bottom = std::numeric_limits<std::int32_t>::min();
  TCnWaterEffect w;
  w.WaterSetSize(3, 3);
  w.WaterBlob(1, 1, top, 1);
  w.WaterBlob(1, 1, top, 0);
  EXPECT_EQ(w.HeightAt(1, 1), top);
  w.WaterBlob(0, 0, bottom, 0);
  w.WaterBlob(0, 0, bottom, 0);
  EXPECT_EQ(w.HeightAt(0, 0), bottom);
  TBitmap source = Picture(3, 3);
  TBitmap output(3, 3, pf24bit);
  w.WaterCalcAndRender(source, output);
  w.WaterCalcAndRender(source, output);
  EXPECT_EQ(w.Width(), 3);
}

}  // namespace
}  // namespace kv
