#include "app/CnWaterEffect.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
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

TBitmap Filled(int width, int height, int value) {
  TBitmap b(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(b, x, y, {value, value, value});
  return b;
}

TEST(CnWaterEffect, StartsEmptyWithDampingTwenty) {
  TCnWaterEffect w;
  EXPECT_EQ(w.Width(), 0);
  EXPECT_EQ(w.Height(), 0);
  EXPECT_EQ(w.Damping(), 20);
}

TEST(CnWaterEffect, SizeBelowOneInEitherDirectionGivesAnEmptyArea) {
  const int sizes[][2] = {{0, 5}, {5, 0}, {-1, 3}, {3, -7}, {0, 0}};
  for (const auto& s : sizes) {
    TCnWaterEffect w;
    w.WaterSetSize(4, 3);
    w.WaterSetSize(s[0], s[1]);
    EXPECT_EQ(w.Width(), 0) << s[0] << " x " << s[1];
    EXPECT_EQ(w.Height(), 0) << s[0] << " x " << s[1];
    w.WaterBlob(0, 0, 100, 1);
    w.WaterBlob(-1, -1, 100, 1);
    w.WaterCalc();
    EXPECT_EQ(w.HeightAt(0, 0), 0);
  }
}

TEST(CnWaterEffect, SettingTheSizeClearsBothBuffers) {
  TCnWaterEffect w;
  w.WaterSetSize(3, 3);
  w.WaterBlob(1, 1, 100, 0);
  w.WaterCalc();  // the blob now sits in the buffer of the step before
  w.WaterSetSize(3, 3);
  w.WaterCalc();
  EXPECT_EQ(Heights(w), std::vector<std::int32_t>(9, 0));
}

TEST(CnWaterEffect, BlobAddsADiscOfTheGivenHeight) {
  TCnWaterEffect w;
  w.WaterSetSize(7, 7);
  w.WaterBlob(3, 3, 10, 2);
  w.WaterBlob(3, 3, 5, 0);
  // clang-format off
  const std::vector<std::int32_t> expected = {
      0, 0,  0,  0,  0,  0, 0,
      0, 0,  0, 10,  0,  0, 0,
      0, 0, 10, 10, 10,  0, 0,
      0, 10, 10, 15, 10, 10, 0,
      0, 0, 10, 10, 10,  0, 0,
      0, 0,  0, 10,  0,  0, 0,
      0, 0,  0,  0,  0,  0, 0};
  // clang-format on
  EXPECT_EQ(Heights(w), expected);
}

TEST(CnWaterEffect, BlobAtTheBorderTouchesOnlyPixelsInside) {
  // Radius 3 from a corner leaves a quarter disc of 4 + 3 + 3 + 1 pixels.
  const int corners[][2] = {{0, 0}, {4, 0}, {0, 4}, {4, 4}};
  for (const auto& c : corners) {
    TCnWaterEffect w;
    w.WaterSetSize(5, 5);
    w.WaterBlob(c[0], c[1], 1, 3);
    EXPECT_EQ(Sum(w), 11) << "corner " << c[0] << "," << c[1];
    EXPECT_EQ(w.HeightAt(c[0], c[1]), 1);
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
  TCnWaterEffect w;
  w.WaterSetSize(8, 6);
  w.WaterBlob(8, 3, 1, 0);  // only x is outside: the row is kept
  EXPECT_EQ(Sum(w), 1);
  int inRow = 0;
  for (int x = 0; x < 8; ++x) inRow += w.HeightAt(x, 3);
  EXPECT_EQ(inRow, 1);
}

TEST(CnWaterEffect, RandomDropNeedsRoomForTheDiscAndTheBorder) {
  TCnWaterEffect small;
  small.WaterSetSize(3, 9);
  small.WaterBlob(-1, 4, 7, 1);
  EXPECT_EQ(Sum(small), 0);

  // 4 x 4 with radius 1 leaves exactly one place: (2, 2).
  TCnWaterEffect tight;
  tight.WaterSetSize(4, 4);
  tight.WaterBlob(-1, 99, 7, 1);
  // clang-format off
  const std::vector<std::int32_t> expected = {
      0, 0, 0, 0,
      0, 0, 7, 0,
      0, 7, 7, 7,
      0, 0, 7, 0};
  // clang-format on
  EXPECT_EQ(Heights(tight), expected);
}

TEST(CnWaterEffect, NegativeRadiusAddsNothing) {
  TCnWaterEffect w;
  w.WaterSetSize(9, 9);
  w.WaterBlob(4, 4, 50, -1);
  w.WaterBlob(-1, -1, 50, -3);
  EXPECT_EQ(Sum(w), 0);
}

TEST(CnWaterEffect, OneStepSpreadsADropToItsEightNeighbours) {
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
}

TEST(CnWaterEffect, BorderReflectsThroughTheClampedNeighbours) {
  TCnWaterEffect w;
  w.WaterSetSize(4, 4);
  w.WaterBlob(0, 0, 100, 0);
  w.WaterCalc();
  // The corner sees itself three times (300 div 4 = 75 -> 59), its edge
  // neighbours see it twice (50 -> 39) and the diagonal once (25 -> 19).
  // clang-format off
  const std::vector<std::int32_t> expected = {
      59, 39, 0, 0,
      39, 19, 0, 0,
       0,  0, 0, 0,
       0,  0, 0, 0};
  // clang-format on
  EXPECT_EQ(Heights(w), expected);
}

TEST(CnWaterEffect, DampingScalesEachStep) {
  // f = (100 - damping) * 256 div 100; a ring height is 25 * f div 256.
  const struct {
    int damping;
    int ring;
  } cases[] = {{1, 24}, {20, 19}, {50, 12}, {99, 0}};
  for (const auto& c : cases) {
    TCnWaterEffect w;
    w.WaterSetDamping(c.damping);
    w.WaterSetSize(3, 3);
    w.WaterBlob(1, 1, 100, 0);
    w.WaterCalc();
    EXPECT_EQ(w.HeightAt(0, 0), c.ring) << "damping " << c.damping;
    EXPECT_EQ(w.HeightAt(2, 1), c.ring) << "damping " << c.damping;
  }
}

TEST(CnWaterEffect, DampingOutsideOneToNinetyNineKeepsTheOldValue) {
  TCnWaterEffect w;
  w.WaterSetDamping(50);
  for (int v : {0, 100, -3, 255}) {
    w.WaterSetDamping(v);
    EXPECT_EQ(w.Damping(), 50) << v;
  }
  w.WaterSetDamping(99);
  EXPECT_EQ(w.Damping(), 99);
  w.WaterSetDamping(1);
  EXPECT_EQ(w.Damping(), 1);
}

TEST(CnWaterEffect, RenderShiftsPixelsBySlopeAndShadesByHorizontalSlope) {
  TCnWaterEffect w;
  w.WaterSetSize(5, 5);
  w.WaterBlob(2, 2, 1, 0);
  TBitmap source = Picture(5, 5);
  TBitmap output(5, 5, pf24bit);
  w.WaterRender(source, output);
  const struct {
    int x, y;
    Bgr expected;
  } changed[] = {
      {1, 2, {10 + 1, 50 + 1, 200 + 1}},  // dx -1: from (0, 2), one brighter
      {3, 2, {90 - 1, 50 - 1, 200 - 1}},  // dx +1: from (4, 2), one darker
      {2, 1, {50, 10, 200}},              // dy -1: from (2, 0), same shade
      {2, 3, {50, 90, 200}},              // dy +1: from (2, 4)
  };
  TBitmap expected = Picture(5, 5);
  for (const auto& c : changed) SetPixel(expected, c.x, c.y, c.expected);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(output, x, y), Pixel(expected, x, y)) << x << "," << y;
}

TEST(CnWaterEffect, RenderClampsShadedBytesInOneRowArea) {
  // A single row: the vertical neighbours are the row itself.
  TCnWaterEffect w;
  w.WaterSetSize(4, 1);
  w.WaterBlob(0, 0, 1, 0);
  w.WaterBlob(3, 0, 1, 0);
  TBitmap source(4, 1, pf24bit);
  SetPixel(source, 0, 0, {1, 2, 3});
  SetPixel(source, 1, 0, {0, 128, 255});
  SetPixel(source, 2, 0, {255, 0, 1});
  SetPixel(source, 3, 0, {7, 8, 9});
  TBitmap output(4, 1, pf24bit);
  w.WaterRender(source, output);
  // Heights 1 0 0 1: dx is +1, +1, -1, -1.
  EXPECT_EQ(Pixel(output, 0, 0), (Bgr{0, 127, 254}));  // from x 1, darker
  EXPECT_EQ(Pixel(output, 1, 0), (Bgr{254, 0, 0}));    // from x 2, darker
  EXPECT_EQ(Pixel(output, 2, 0), (Bgr{1, 129, 255}));  // from x 1, brighter
  EXPECT_EQ(Pixel(output, 3, 0), (Bgr{255, 1, 2}));    // from x 2, brighter
}

TEST(CnWaterEffect, RenderKeepsTheSourceWhereTheShiftLeavesTheArea) {
  TCnWaterEffect w;
  w.WaterSetSize(5, 5);
  w.WaterBlob(2, 2, 300, 0);
  TBitmap source = Picture(5, 5);
  TBitmap output = Filled(5, 5, 0);
  w.WaterRender(source, output);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(output, x, y), Pixel(source, x, y)) << x << "," << y;
}

TEST(CnWaterEffect, RenderStaysInsideBitmapsOfOtherSizes) {
  TCnWaterEffect w;
  w.WaterSetSize(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) w.WaterBlob(x, y, (x * 7 + y * 3) % 5 - 2, 0);

  // Source smaller than the area: the rest of the output keeps what it had.
  TBitmap small = Picture(3, 3);
  TBitmap output = Filled(6, 6, 0xAA);
  w.WaterRender(small, output);
  EXPECT_EQ(Pixel(output, 5, 5), (Bgr{0xAA, 0xAA, 0xAA}));
  EXPECT_EQ(Pixel(output, 3, 0), (Bgr{0xAA, 0xAA, 0xAA}));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      const Bgr p = Pixel(output, x, y);
      EXPECT_NE(p, (Bgr{0xAA, 0xAA, 0xAA})) << x << "," << y;
      EXPECT_LE(std::abs(p[2] - 200), 4) << "sampled from the picture, " << x << "," << y;
    }

  // Output smaller than the area, and an empty output.
  TBitmap source = Picture(6, 6);
  TBitmap tiny(2, 2, pf24bit);
  w.WaterRender(source, tiny);
  EXPECT_EQ(tiny.Width(), 2);
  TBitmap empty;
  w.WaterRender(source, empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(CnWaterEffect, RenderMakesBothBitmaps24Bit) {
  TCnWaterEffect w;
  w.WaterSetSize(4, 4);
  TBitmap source(4, 4, pf32bit);
  source.ScanLine(1)[4 * 2] = 77;  // blue of (2, 1)
  TBitmap output(4, 4, pf8bit);
  w.WaterRender(source, output);
  EXPECT_EQ(source.PixelFormat(), pf24bit);
  EXPECT_EQ(output.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(output, 2, 1), (Bgr{77, 0, 0}));
}

TEST(CnWaterEffect, RenderIntoItsOwnSourceReadsTheUndisturbedPicture) {
  // Heights 1 0 0 1 0: x 1 takes x 2, and x 2 takes x 1 as it was.
  TCnWaterEffect w;
  w.WaterSetSize(5, 1);
  w.WaterBlob(0, 0, 1, 0);
  w.WaterBlob(3, 0, 1, 0);
  TBitmap source = Picture(5, 1);
  TBitmap separate(5, 1, pf24bit);
  w.WaterRender(source, separate);
  TBitmap same = Picture(5, 1);
  w.WaterRender(same, same);
  EXPECT_EQ(Pixel(same, 2, 0), (Bgr{30 + 1, 10 + 1, 200 + 1}));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(same, x, 0), Pixel(separate, x, 0)) << x;
}

TEST(CnWaterEffect, CalcAndRenderDoesNothingOnAnEmptyArea) {
  TCnWaterEffect w;
  TBitmap source = Picture(3, 3);
  TBitmap output = Filled(3, 3, 0x55);
  w.WaterCalcAndRender(source, output);
  EXPECT_EQ(Pixel(output, 1, 1), (Bgr{0x55, 0x55, 0x55}));
}

TEST(CnWaterEffect, DropSpreadsAsARingAndFadesAway) {
  TCnWaterEffect w;
  w.WaterSetSize(41, 41);
  w.WaterBlob(20, 20, 300, 3);
  TBitmap source = Picture(41, 41);
  TBitmap output(41, 41, pf24bit);
  for (int i = 0; i < 6; ++i) w.WaterCalcAndRender(source, output);
  // After six steps the wave front has moved out from the drop.
  EXPECT_NE(w.HeightAt(20 + 8, 20), 0);
  EXPECT_NE(w.HeightAt(20, 20 - 8), 0);
  EXPECT_EQ(w.HeightAt(0, 0), 0);
  EXPECT_EQ(Pixel(output, 0, 0), Pixel(source, 0, 0));
  for (int i = 0; i < 300; ++i) w.WaterCalcAndRender(source, output);
  EXPECT_EQ(Heights(w), std::vector<std::int32_t>(41 * 41, 0));
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x) ASSERT_EQ(Pixel(output, x, y), Pixel(source, x, y));
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
