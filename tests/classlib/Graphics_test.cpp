// Canvas drawing on bitmaps, fonts and the picture registry.
#include "classlib/Graphics.h"

#include <gtest/gtest.h>
#include <windows.h>


using namespace kv;

namespace {

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
