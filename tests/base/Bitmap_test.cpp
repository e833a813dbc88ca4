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
               {1, pf32bit, 4}, {3, pf32bit, 12}, {1, pf8bit, 4},   {5, pf8bit, 8}};
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

}  // namespace
}  // namespace kv
