// PNG files through the class library's pictures: found by extension, drawn on
// a canvas with their alpha blended over what is already there.
#include <gtest/gtest.h>

#include "Pixels.h"
#include "PngFiles.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/Graphics.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/acPNG.h"

namespace kv {
namespace {

using testing::Px;
using testing::PxColour;

// 2 x 1 RGBA: an opaque red pixel and a half-transparent blue one.
std::string TwoPixelPng() {
  const testing::Bytes rows = {0, 255, 0, 0, 255, 0, 0, 255, 128};
  const testing::Bytes file = testing::MakePng(2, 1, 8, 6, rows).Join();
  return std::string(file.begin(), file.end());
}

// The toolkit registers the format as it starts, as the program does.
TEST(PNGPicture, IsAPictureFormatOnceTheToolkitHasStarted) {
  ShadowActive();  // links the toolkit's start into this program
  EXPECT_NE(TPicture::CreateForExtension(".png"), nullptr);
  EXPECT_NE(TPicture::CreateForExtension(".PNG"), nullptr);
}

TEST(PNGPicture, LoadsByExtensionAndBlendsOverTheCanvas) {
  const std::string name = GetTempFolder() + "kv_png_picture_test.PNG";
  WriteFileBytes(name, TwoPixelPng());

  TPicture picture;
  picture.LoadFromFile(name);
  DeleteFileUtf8(name);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.Height(), 1);

  TBitmap target(4, 2, pf24bit);
  {
    TBitmapCanvas canvas(target);
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(Rect(0, 0, 4, 2));
    canvas.Draw(1, 1, *picture.Graphic());
  }
  EXPECT_EQ(Px(target, 0, 1), 0xFFFFFFu) << "outside the picture stays white";
  EXPECT_EQ(Px(target, 1, 1), 0xFF0000u) << "the opaque pixel replaces the background";
  const std::uint32_t half = Px(target, 2, 1);
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 255, 1) << "blue stays full";
  EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 127, 2) << "green half way to white";
  EXPECT_EQ(Px(target, 1, 0), 0xFFFFFFu);
}

TEST(PNGPicture, RefusesABrokenFileAndLeavesNoPicture) {
  std::string bytes = TwoPixelPng();
  bytes[bytes.size() / 2] ^= 0x55;  // breaks a chunk's CRC
  const std::string name = GetTempFolder() + "kv_png_broken_test.png";
  WriteFileBytes(name, bytes);
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(name), EInvalidGraphic);
  DeleteFileUtf8(name);
  EXPECT_EQ(picture.Width(), 0);
}

// GDI reads palette formats through the DIB's colour table, which must be the palette.
TEST(PNGPicture, GreyAndIndexedImagesBlitInTheirPaletteColours) {
  const testing::Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  const testing::Bytes files[] = {
      testing::MakePng(3, 1, 4, 3, {0, 0x21, 0x00}, {testing::MakeChunk("PLTE", plte)}).Join(),
      testing::MakePng(3, 1, 8, 0, {0, 0, 90, 255}).Join(),
      testing::MakePng(3, 1, 1, 0, {0, 0x40}).Join(),
  };
  for (const auto& file : files) {
    TPNGGraphic png;
    png.LoadFromMemory(file.data(), file.size());
    ASSERT_NE(png.PixelFormat(), pf24bit);
    TBitmap target(3, 1, pf24bit);
    HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
    {
      const TSelectedObject in(src, reinterpret_cast<HBITMAP>(png.Handle()));
      const TSelectedObject out(dst, reinterpret_cast<HBITMAP>(target.Handle()));
      BitBlt(dst, 0, 0, 3, 1, src, 0, 0, SRCCOPY);
      GdiFlush();
    }
    DeleteDC(src);
    DeleteDC(dst);
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(Px(target, x, 0), PxColour(png, x, 0))
          << "format " << png.PixelFormat() << " x " << x;
  }
}

}  // namespace
}  // namespace kv
