// Canvas drawing on bitmaps, fonts, the BMP reader and the picture registry.
#include "classlib/Graphics.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

using namespace kv;

namespace {

// A BMP file: 14-byte file header, 40-byte info header, palette, rows.
std::vector<uint8_t> MakeBmp(int width, int height, int bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& rows) {
  std::vector<uint8_t> f(54 + palette.size() * 4);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(f.data() + at, &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(f.data() + at, &v, 2); };
  f[0] = 'B';
  f[1] = 'M';
  put32(10, static_cast<uint32_t>(f.size()));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, static_cast<uint16_t>(bits));
  put32(46, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) put32(54 + i * 4, palette[i]);
  f.insert(f.end(), rows.begin(), rows.end());
  put32(2, static_cast<uint32_t>(f.size()));
  return f;
}

struct BmpCase {
  const char* what;
  std::vector<uint8_t> file;
  uint8_t topLeft[3];      // B, G, R of pixel (0, 0)
  uint8_t bottomRight[3];  // of the last pixel
};

TEST(ReadBmp, DecodesUncompressedFormats) {
  const BmpCase cases[] = {
      // 2 x 2, 24 bits, bottom-up: the first row in the file is the bottom row.
      {"24-bit bottom-up",
       MakeBmp(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
       {7, 8, 9},
       {4, 5, 6}},
      // Negative height: top-down rows.
      {"24-bit top-down",
       MakeBmp(2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
       {1, 2, 3},
       {10, 11, 12}},
      // 8 bits through a palette.
      {"8-bit palette",
       MakeBmp(2, 1, 8, {0x00102030, 0x00405060}, {1, 0, 0, 0}),
       {0x60, 0x50, 0x40},
       {0x30, 0x20, 0x10}},
      // 1 bit: the most significant bit is the leftmost pixel.
      {"1-bit palette",
       MakeBmp(3, 1, 1, {0x00000000, 0x00FFFFFF}, {0xA0, 0, 0, 0}),
       {255, 255, 255},
       {255, 255, 255}},
  };
  for (const BmpCase& c : cases) {
    TBitmap bmp;
    ReadBmp(c.file.data(), c.file.size(), bmp);
    ASSERT_FALSE(bmp.Empty()) << c.what;
    const uint8_t* first = bmp.ScanLine(0);
    const uint8_t* last = bmp.ScanLine(bmp.Height() - 1) + (bmp.Width() - 1) * bmp.BytesPerPixel();
    EXPECT_EQ(std::vector<uint8_t>(first, first + 3),
              std::vector<uint8_t>(c.topLeft, c.topLeft + 3))
        << c.what;
    EXPECT_EQ(std::vector<uint8_t>(last, last + 3),
              std::vector<uint8_t>(c.bottomRight, c.bottomRight + 3))
        << c.what;
  }
}

TEST(ReadBmp, RejectsDamagedFilesAndLeavesTheBitmapAlone) {
  const auto good = MakeBmp(2, 2, 24, {}, std::vector<uint8_t>(16, 9));
  std::vector<std::vector<uint8_t>> bad = {
      {},
      std::vector<uint8_t>(good.begin(), good.begin() + 60),    // rows cut off
      MakeBmp(0, 2, 24, {}, {}),                                // no width
      MakeBmp(70000, 70000, 24, {}, std::vector<uint8_t>(64)),  // more pixels than allowed
      MakeBmp(2, 2, 16, {}, std::vector<uint8_t>(16)),          // unsupported depth
  };
  auto notBmp = good;
  notBmp[0] = 'X';
  bad.push_back(notBmp);
  for (size_t i = 0; i < bad.size(); ++i) {
    TBitmap bmp(3, 3, pf24bit);
    EXPECT_THROW(ReadBmp(bad[i].data(), bad[i].size(), bmp), EInvalidGraphic) << "case " << i;
    EXPECT_EQ(bmp.Width(), 3) << "case " << i;
  }
}

TEST(Picture, FormatComesFromTheExtensionAndUnknownOnesRaise) {
  EXPECT_NE(TPicture::CreateForExtension(".BMP"), nullptr);
  EXPECT_EQ(TPicture::CreateForExtension(".xyz"), nullptr);
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile("C:\\nowhere\\a.xyz"), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic(), nullptr);
  int made = 0;
  TPicture::RegisterFileFormat(".xyz", "Test", [&] {
    ++made;
    return std::make_unique<TBitmapImage>();
  });
  EXPECT_NE(TPicture::CreateForExtension(".XyZ"), nullptr);
  EXPECT_EQ(made, 1);
  TPicture::UnregisterFileFormat(".xyz");
  EXPECT_EQ(TPicture::CreateForExtension(".xyz"), nullptr);
}

TEST(Canvas, DrawsShapesAndTextOnABitmap) {
  TBitmap bmp(40, 30, pf24bit);
  TBitmapCanvas canvas(bmp);
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect(Rect(0, 0, 40, 30));
  canvas.Pen()->SetColor(clRed);
  canvas.Brush()->SetColor(clBlue);
  canvas.Rectangle(5, 5, 15, 15);
  EXPECT_EQ(canvas.Pixel(5, 5), clRed) << "outline with the pen";
  EXPECT_EQ(canvas.Pixel(10, 10), clBlue) << "filled with the brush";
  canvas.Brush()->SetColor(clLime);
  canvas.FrameRect(Rect(20, 20, 30, 28));
  EXPECT_EQ(canvas.Pixel(20, 25), clLime);
  EXPECT_EQ(canvas.Pixel(25, 24), clWhite);
  canvas.Polyline({Point(0, 29), Point(39, 29)});
  EXPECT_EQ(canvas.Pixel(20, 29), clRed);
  EXPECT_GT(canvas.TextWidth("WWW"), canvas.TextWidth("W"));
  EXPECT_GT(canvas.TextHeight("W"), 0);
  // The pixels are the bitmap's own memory.
  const uint8_t* px = bmp.ScanLine(10) + 10 * 3;
  GdiFlush();
  EXPECT_EQ(px[0], 255);
  EXPECT_EQ(px[2], 0);
}

TEST(Canvas, SurvivesTheBitmapBeingResized) {
  TBitmap bmp(10, 10, pf24bit);
  TBitmapCanvas canvas(bmp);
  canvas.Brush()->SetColor(clRed);
  canvas.FillRect(Rect(0, 0, 10, 10));
  bmp.SetSize(20, 20);
  canvas.Brush()->SetColor(clBlue);
  canvas.FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(canvas.Pixel(15, 15), clBlue);
}

TEST(Canvas, DrawAndStretchDrawCopyABitmap) {
  TBitmap src(4, 4, pf24bit);
  {
    TBitmapCanvas c(src);
    c.Brush()->SetColor(clYellow);
    c.FillRect(Rect(0, 0, 4, 4));
  }
  TBitmap dst(20, 20, pf24bit);
  TBitmapCanvas canvas(dst);
  canvas.Draw(1, 1, src);
  canvas.StretchDraw(Rect(10, 10, 20, 20), src);
  EXPECT_EQ(canvas.Pixel(2, 2), clYellow);
  EXPECT_EQ(canvas.Pixel(6, 6), clBlack);
  EXPECT_EQ(canvas.Pixel(19, 19), clYellow);
  TBitmapImage image;
  image.Bitmap().Assign(src);
  canvas.Draw(6, 1, image);
  EXPECT_EQ(canvas.Pixel(7, 2), clYellow);
}

TEST(Font, SizeAndHeightAreTwoViewsOfOneValue) {
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -MulDiv(9, TFont::PixelsPerInch(), 72));
  EXPECT_EQ(font.Size(), 9);
  font.SetSize(9);
  EXPECT_EQ(changes, 1);
  font.SetStyle(fsBold);
  EXPECT_NE(font.Handle(), nullptr);
  LOGFONTW lf{};
  GetObjectW(font.Handle(), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  TFont copy;
  copy.Assign(font);
  EXPECT_EQ(copy.Style(), fsBold);
  EXPECT_EQ(copy.Height(), font.Height());
  const int before = changes;
  const HFONT kept = font.Handle();
  font.Assign(copy);
  EXPECT_EQ(changes, before) << "assigning an equal font changes nothing";
  EXPECT_EQ(font.Handle(), kept);
}

TEST(Colors, SystemColoursResolveThroughTheSystem) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
}

}  // namespace
