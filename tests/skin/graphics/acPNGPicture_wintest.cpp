// PNG files through the class library's pictures: found by extension, drawn on
// a canvas with their alpha blended over what is already there.
#include <gtest/gtest.h>

#include "Pixels.h"
#include "PngFiles.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/Graphics.h"
#include "skin/graphics/acPNG.h"

namespace kv {
namespace {

using testing::Px;

// 2 x 1 RGBA: an opaque red pixel and a half-transparent blue one.
std::string TwoPixelPng() {
  const testing::Bytes rows = {0, 255, 0, 0, 255, 0, 0, 255, 128};
  const testing::Bytes file = testing::MakePng(2, 1, 8, 6, rows).Join();
  return std::string(file.begin(), file.end());
}

TEST(PNGPicture, LoadsByExtensionAndBlendsOverTheCanvas) {
  RegisterPNGPictureFormat();
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
  RegisterPNGPictureFormat();
  std::string bytes = TwoPixelPng();
  bytes[bytes.size() / 2] ^= 0x55;  // breaks a chunk's CRC
  const std::string name = GetTempFolder() + "kv_png_broken_test.png";
  WriteFileBytes(name, bytes);
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(name), EInvalidGraphic);
  DeleteFileUtf8(name);
  EXPECT_EQ(picture.Width(), 0);
}

}  // namespace
}  // namespace kv
