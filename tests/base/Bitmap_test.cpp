#include "base/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/SysUtils.h"

namespace kv {
namespace {

TEST(Bitmap, PadsRowsToFourBytesLikeADib) {
  struct Case {
    int width;
    TPixelFormat format;
    int bytesPerRow;
  } cases[] = {{1, pf24bit, 4}, {2, pf24bit, 8},  {3, pf24bit, 12}, {5, pf24bit, 16},
               {1, pf32bit, 4}, {3, pf32bit, 12}, {1, pf8bit, 4},   {5, pf8bit, 8},
               {33, pf1bit, 8}, {9, pf4bit, 8}};
  for (const auto& c : cases) {
    TBitmap b(c.width, 2, c.format);
    EXPECT_EQ(b.BytesPerRow(), c.bytesPerRow) << "width " << c.width;
    EXPECT_EQ(b.RowStep(), -c.bytesPerRow);
  }
}

TEST(Bitmap, KeepsRowZeroAtTheHighestAddress) {
  TBitmap b(3, 4, pf24bit);
  EXPECT_EQ(b.ScanLine(3), b.Bits());
  EXPECT_EQ(b.ScanLine(0), b.Bits() + 3 * b.BytesPerRow());
  EXPECT_EQ(b.ScanLine(1), b.ScanLine(0) + b.RowStep());
}

TEST(Bitmap, TopDownKeepsRowZeroFirstThroughResizeFormatAndCopy) {
  TBitmap b(3, 4, pf24bit, TRowOrder::TopDown);
  b.ScanLine(1)[3] = 20;
  b.SetSize(5, 6);
  b.SetPixelFormat(pf32bit);
  TBitmap copy(2, 2, pf24bit);
  copy = b;
  for (const TBitmap* p : {&b, &copy}) {
    EXPECT_EQ(p->ScanLine(0), p->Bits());
    EXPECT_EQ(p->ScanLine(1), p->ScanLine(0) + p->RowStep());
    EXPECT_EQ(p->ScanLine(1)[4], 20);
  }
  copy = TBitmap(2, 2, pf24bit);
  EXPECT_EQ(copy.ScanLine(1), copy.Bits());
}

TEST(Bitmap, StartsZeroFilled) {
  TBitmap b(7, 3, pf32bit);
  for (std::size_t i = 0; i < b.ImageSize(); ++i) ASSERT_EQ(b.Bits()[i], 0);
}

TEST(Bitmap, RejectsRowsOutsideTheImage) {
  TBitmap b(2, 2, pf24bit);
  EXPECT_THROW(b.ScanLine(-1), ERangeError);
  EXPECT_THROW(b.ScanLine(2), ERangeError);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), ERangeError);
}

TEST(Bitmap, ResizingKeepsTheTopLeftPixelsAndZeroesTheRest) {
  TBitmap b(2, 2, pf24bit);
  b.ScanLine(0)[0] = 10;
  b.ScanLine(1)[3] = 20;
  b.SetSize(3, 3);
  EXPECT_EQ(b.ScanLine(0)[0], 10);
  EXPECT_EQ(b.ScanLine(1)[3], 20);
  EXPECT_EQ(b.ScanLine(2)[0], 0);
  EXPECT_EQ(b.ScanLine(0)[6], 0);
  b.SetWidth(1);
  EXPECT_EQ(b.Width(), 1);
  EXPECT_EQ(b.ScanLine(0)[0], 10);
}

TEST(Bitmap, ConvertsPixelFormatsLikeGdi) {
  TBitmap b(1, 1, pf24bit);
  std::memcpy(b.ScanLine(0), "\x10\x20\x30", 3);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(std::memcmp(b.ScanLine(0), "\x10\x20\x30\x00", 4), 0);
  b.ScanLine(0)[3] = 0x77;
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(std::memcmp(b.ScanLine(0), "\x10\x20\x30", 3), 0);
  b.SetPixelFormat(pf8bit);
  EXPECT_EQ(b.ScanLine(0)[0], 0x20);
}

// Palette formats hold indexes: converting shows the palette's colours, and
// resizing, a new palette and copies keep the indexes.
TEST(Bitmap, PaletteFormatsKeepIndexesAndShowTheirPalette) {
  TBitmap b(3, 1, pf4bit);
  EXPECT_EQ(b.Palette().size(), 16u) << "a grey ramp until set";
  SetPixelIndex(b.ScanLine(0), 0, 4, 2);
  SetPixelIndex(b.ScanLine(0), 1, 4, 1);
  SetPixelIndex(b.ScanLine(0), 2, 4, 7);
  b.SetPalette({ColorFromRGB(1, 2, 3), ColorFromRGB(4, 5, 6), ColorFromRGB(7, 8, 9)});
  b.SetSize(4, 2);
  TBitmap copy;
  copy.Assign(b);
  for (const TBitmap* p : {&b, &copy}) {
    EXPECT_EQ(p->Palette().size(), 3u);
    EXPECT_EQ(PixelIndex(p->ScanLine(0), 0, 4), 2u);
    EXPECT_EQ(PixelIndex(p->ScanLine(0), 2, 4), 7u);
    EXPECT_EQ(PixelIndex(p->ScanLine(0), 3, 4), 0u) << "new pixels are zero";
  }
  copy.SetPixelFormat(pf24bit);
  EXPECT_TRUE(copy.Palette().empty());
  EXPECT_EQ(std::memcmp(copy.ScanLine(0), "\x09\x08\x07\x06\x05\x04\x00\x00\x00", 9), 0)
      << "indexes past the palette show black";
  copy.SetPixelFormat(pf1bit);
  EXPECT_EQ(PixelIndex(copy.ScanLine(0), 0, 1), 0u) << "dark grey";
  EXPECT_EQ(copy.Palette(), (std::vector<TColor>{0, ColorFromRGB(255, 255, 255)}));
}

TEST(Bitmap, DeviceFormatBecomesTwentyFourBitOnceSized) {
  TBitmap b;
  EXPECT_EQ(b.PixelFormat(), pfDevice);
  b.SetSize(2, 2);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
}

TEST(Bitmap, CopiesAreIndependent) {
  TBitmap a(2, 2, pf32bit);
  a.ScanLine(1)[4] = 9;
  a.Transparent = true;
  a.TransparentColor = clFuchsia;
  TBitmap b(a);
  b.ScanLine(1)[4] = 1;
  EXPECT_EQ(a.ScanLine(1)[4], 9);
  TBitmap c;
  c.Assign(a);
  EXPECT_EQ(c.ScanLine(1)[4], 9);
  EXPECT_TRUE(c.Transparent);
  EXPECT_EQ(c.TransparentColor, clFuchsia);
  TBitmap d(std::move(c));
  EXPECT_EQ(d.ScanLine(1)[4], 9);
  EXPECT_TRUE(c.Empty());
}

TEST(Bitmap, RefusesSizesBeyondTheLimitBeforeAllocating) {
  TBitmap b;
  EXPECT_THROW(b.SetSize(1 << 20, 1 << 20), EInvalidOperation);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, KeepsItsPixelsInADibSectionOnWindowsOnly) {
  TBitmap b(3, 3, pf32bit);
#ifdef _WIN32
  EXPECT_NE(b.Handle(), nullptr);
#else
  EXPECT_EQ(b.Handle(), nullptr);
#endif
  b.SetSize(0, 0);
  EXPECT_EQ(b.Handle(), nullptr);
}

TEST(Bitmap, TellsObserversBeforeItsPixelsGo) {
  TBitmap b(2, 2, pf24bit);
  int calls = 0;
  b.OnHandleChanging = [&](TBitmap& self) {
    EXPECT_NE(self.Bits(), nullptr);
    ++calls;
  };
  b.SetSize(4, 4);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(calls, 2);
}

// --- BMP files ---

// A BMP file: 14-byte file header, 40-byte info header, palette, rows.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits,
                                  const std::vector<std::uint32_t>& palette,
                                  const std::vector<std::uint8_t>& rows,
                                  std::uint32_t compression = 0) {
  std::vector<std::uint8_t> f(54 + palette.size() * 4);
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(f.data() + at, &v, 4); };
  auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(f.data() + at, &v, 2); };
  f[0] = 'B';
  f[1] = 'M';
  put32(10, static_cast<std::uint32_t>(f.size()));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  put16(26, 1);
  put16(28, static_cast<std::uint16_t>(bits));
  put32(30, compression);
  put32(46, static_cast<std::uint32_t>(palette.size()));
  for (std::size_t i = 0; i < palette.size(); ++i) put32(54 + i * 4, palette[i]);
  f.insert(f.end(), rows.begin(), rows.end());
  put32(2, static_cast<std::uint32_t>(f.size()));
  return f;
}

std::vector<std::uint8_t> Pixel(const TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  return {p, p + b.BytesPerPixel()};
}

TEST(ReadBmp, DecodesEveryUncompressedDepth) {
  const std::vector<std::uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> topLeft, bottomRight;  // B, G, R (, A)
  } cases[] = {
      // The first row in the file is the bottom row, unless the height is negative.
      {"24-bit bottom-up", MakeBmp(2, 2, 24, {}, rows24), {7, 8, 9}, {4, 5, 6}},
      {"24-bit top-down", MakeBmp(2, -2, 24, {}, rows24), {1, 2, 3}, {10, 11, 12}},
      {"32-bit", MakeBmp(1, 1, 32, {}, {1, 2, 3, 4}), {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"32-bit bit fields", MakeBmp(1, 1, 32, {}, {1, 2, 3, 4}, 3), {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"8-bit palette",
       MakeBmp(2, 1, 8, {0x00102030, 0x00405060}, {1, 0, 0, 0}),
       {0x60, 0x50, 0x40},
       {0x30, 0x20, 0x10}},
      // The leftmost pixel is in the most significant bits.
      {"4-bit palette",
       MakeBmp(2, 1, 4, {0, 0x00FFFFFF}, {0x01, 0, 0, 0}),
       {0, 0, 0},
       {255, 255, 255}},
      {"1-bit palette",
       MakeBmp(3, 1, 1, {0x00000000, 0x00FFFFFF}, {0xA0, 0, 0, 0}),
       {255, 255, 255},
       {255, 255, 255}},
  };
  for (const Case& c : cases) {
    TBitmap bmp;
    ReadBmp(c.file.data(), c.file.size(), bmp);
    ASSERT_FALSE(bmp.Empty()) << c.what;
    EXPECT_EQ(Pixel(bmp, 0, 0), c.topLeft) << c.what;
    EXPECT_EQ(Pixel(bmp, bmp.Width() - 1, bmp.Height() - 1), c.bottomRight) << c.what;
  }
}

TEST(ReadBmp, ReadsBackWhatWriteBmpWrote) {
  TBitmap picture(3, 2, pf32bit);
  picture.ScanLine(1)[10] = 77;  // red of the last pixel; the alpha is dropped
  const std::vector<std::uint8_t> file = WriteBmp(picture);
  TBitmap back;
  ReadBmp(file.data(), file.size(), back);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixel(back, 2, 1), (std::vector<std::uint8_t>{0, 0, 77}));
}

TEST(ReadBmp, RejectsDamagedFilesAndLeavesTheBitmapAlone) {
  const auto good = MakeBmp(2, 2, 24, {}, std::vector<std::uint8_t>(16, 9));
  std::vector<std::vector<std::uint8_t>> bad = {
      {},
      std::vector<std::uint8_t>(good.begin(), good.begin() + 60),    // rows cut off
      MakeBmp(0, 2, 24, {}, {}),                                     // no width
      MakeBmp(70000, 70000, 24, {}, std::vector<std::uint8_t>(64)),  // more pixels than allowed
      MakeBmp(2, 2, 16, {}, std::vector<std::uint8_t>(16)),          // unsupported depth
      MakeBmp(2, 2, 8, {}, std::vector<std::uint8_t>(8), 1),         // run-length compressed
      MakeBmp(2, 1, 8, {}, std::vector<std::uint8_t>(4)),  // the palette would run into the rows
  };
  auto notBmp = good;
  notBmp[0] = 'X';
  bad.push_back(notBmp);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    TBitmap bmp(3, 3, pf24bit);
    EXPECT_THROW(ReadBmp(bad[i].data(), bad[i].size(), bmp), EInvalidGraphic) << "case " << i;
    EXPECT_EQ(bmp.Width(), 3) << "case " << i;
  }
}

}  // namespace
}  // namespace kv
