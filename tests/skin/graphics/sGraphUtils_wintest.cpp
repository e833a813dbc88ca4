// The GDI half of the graphics unit, drawn into DIB-section bitmaps.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Pixels.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

// A memory DC with the bitmap's DIB section selected, for the test's lifetime.
class BitmapDC {
 public:
  explicit BitmapDC(TBitmap& b) : dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_, b.Handle());
  }
  ~BitmapDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Paints into the bitmap through a DC and waits for GDI to finish.
template <class Paint>
void PaintInto(TBitmap& b, Paint paint) {
  BitmapDC dc(b);
  paint(dc.get());
  GdiFlush();
}

TEST(GraphUtilsDC, FillsRectanglesWithPlainAndSystemColours) {
  TBitmap b(6, 4, pf24bit);
  PaintInto(b, [&](HDC dc) {
    FillRectWithColor(dc, {1, 1, 3, 3}, clRed);
    FillRectWithColor(dc, {4, 0, 6, 1}, clBtnFace);
  });
  EXPECT_EQ(Px(b, 1, 1), 0xFF0000u);
  EXPECT_EQ(Px(b, 2, 2), 0xFF0000u);
  EXPECT_EQ(Px(b, 3, 3), 0u);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(Px(b, 5, 0), static_cast<std::uint32_t>(GetRValue(face) << 16 | GetGValue(face) << 8 |
                                                    GetBValue(face)));
}

TEST(GraphUtilsDC, FillsTheFourBorderStripsOnly) {
  TBitmap b(8, 8, pf24bit);
  PaintInto(b, [&](HDC dc) { FillBorderStrips(dc, {0, 0, 8, 8}, 1, 2, 3, 1, clWhite); });
  EXPECT_EQ(Px(b, 7, 1), 0xFFFFFFu);  // top, 2 high
  EXPECT_EQ(Px(b, 0, 5), 0xFFFFFFu);  // left, 1 wide
  EXPECT_EQ(Px(b, 5, 5), 0xFFFFFFu);  // right, 3 wide
  EXPECT_EQ(Px(b, 3, 7), 0xFFFFFFu);  // bottom, 1 high
  EXPECT_EQ(Px(b, 1, 2), 0u);
  EXPECT_EQ(Px(b, 4, 6), 0u);
}

TEST(GraphUtilsDC, DrawFrame3DLeavesTheInnerRectangle) {
  TBitmap b(10, 10, pf24bit);
  TRect r{0, 0, 10, 10};
  int width = 2;
  PaintInto(b, [&](HDC dc) { DrawFrame3D(dc, r, clRed, clBlue, width); });
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(Px(b, 0, 0), 0xFF0000u);
  EXPECT_EQ(Px(b, 1, 5), 0xFF0000u);
  EXPECT_EQ(Px(b, 9, 9), 0x0000FFu);
  EXPECT_EQ(Px(b, 8, 4), 0x0000FFu);
  EXPECT_EQ(Px(b, 5, 5), 0u);
}

TEST(GraphUtilsDC, CopiesBorderStripsAtAnOffset) {
  TBitmap src = Filled(20, 20, pf24bit, 0x123456);
  TBitmap dst(20, 20, pf24bit);
  {
    BitmapDC s(src), d(dst);
    CopyBorderStrips(d.get(), 5, 4, 10, 8, s.get(), 5, 4, 2);
    GdiFlush();
  }
  EXPECT_EQ(Px(dst, 5 + 10 - 2, 4 + 3), 0x123456u);  // right strip
  EXPECT_EQ(Px(dst, 5 + 4, 4 + 8 - 2), 0x123456u);   // bottom strip
  EXPECT_EQ(Px(dst, 5, 4), 0x123456u);
  EXPECT_EQ(Px(dst, 5 + 5, 4 + 4), 0u);  // inside
  EXPECT_EQ(Px(dst, 4, 4), 0u);          // outside
}

TEST(GraphUtilsDC, DrawsDotsWithAWhitePixelUpLeft) {
  TBitmap b = Filled(12, 12, pf24bit, 0x808080);
  PaintInto(b, [&](HDC dc) { DrawDottedFocusRect(dc, {2, 2, 8, 8}); });
  EXPECT_EQ(Px(b, 2, 2), 0u);
  EXPECT_EQ(Px(b, 5, 8), 0u);
  EXPECT_EQ(Px(b, 8, 5), 0u);
  EXPECT_EQ(Px(b, 4, 7), 0xFFFFFFu);
  EXPECT_EQ(Px(b, 3, 3), 0x808080u);
}

TEST(PaintRoundRectShade, LeavesThePictureAtPercent100AndShadesTheInsideOtherwise) {
  TBitmap b = Filled(20, 20, pf32bit, 0x80FFFFFFu);
  // Percent 100 keeps 255/256 of the picture everywhere: 255 becomes 254.
  PaintRoundRectShade(&b, {0, 0, 20, 20}, 100, clBlack, 4, 6);
  EXPECT_EQ(Px(b, 10, 10), 0x80FEFEFEu);
  EXPECT_EQ(Px(b, 1, 1), 0x80FEFEFEu);
  b = Filled(20, 20, pf32bit, 0x80FFFFFFu);
  PaintRoundRectShade(&b, {-5, -5, 25, 25}, 0, clBlack, 4, 6);
  EXPECT_EQ(Px(b, 10, 10), 0x80000000u);  // inside: all colour, alpha kept
  EXPECT_EQ(Px(b, 0, 0), 0x80FEFEFEu);    // the outer edge keeps the picture
  const std::uint32_t mid = Px(b, 2, 10) & 0xFF;
  EXPECT_GT(mid, 0u);
  EXPECT_LT(mid, 255u);
}

TEST(MakeIconFromBitmap, MasksTheTopLeftColourAndBlacksItOut) {
  TBitmap b = Filled(16, 16, pf24bit, 0xFF00FF);
  SetPx(b, 5, 5, 0x0000FF);
  HICON icon = MakeIconFromBitmap(b, true);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  // Read both bitmaps back as 32-bit top-down rows.
  const auto read = [](HBITMAP h) {
    std::vector<std::uint32_t> px(16 * 16);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, h, 0, 16, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return px;
  };
  const auto mask = read(info.hbmMask);
  const auto color = read(info.hbmColor);
  EXPECT_EQ(mask[0] & 0xFFFFFF, 0xFFFFFFu);  // transparent
  EXPECT_EQ(color[0] & 0xFFFFFF, 0u);        // no magenta left to XOR onto the screen
  EXPECT_EQ(mask[5 * 16 + 5] & 0xFFFFFF, 0u);
  EXPECT_EQ(color[5 * 16 + 5] & 0xFFFFFF, 0x0000FFu);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyIcon(icon);
}

}  // namespace
}  // namespace kv
