// Image lists: strips split into images, drawing by index with a mask, alpha
// kept from 32-bit images, disabled drawing, and reading an image back.
#include "classlib/ImgList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

using namespace kv;

namespace {

struct Bgra {
  int b, g, r, a;
};

// A strip of 16 x 16 images, one solid colour each.
TBitmap Strip(std::initializer_list<Bgra> colours, TPixelFormat format = pf24bit) {
  TBitmap bmp(16 * static_cast<int>(colours.size()), 16, format);
  const int bpp = bmp.BytesPerPixel();
  for (int y = 0; y < 16; ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (const Bgra& c : colours)
      for (int x = 0; x < 16; ++x, p += bpp) {
        p[0] = static_cast<uint8_t>(c.b);
        p[1] = static_cast<uint8_t>(c.g);
        p[2] = static_cast<uint8_t>(c.r);
        if (bpp == 4) p[3] = static_cast<uint8_t>(c.a);
      }
  }
  return bmp;
}

// A white 32 x 32 target to draw on.
struct Target {
  TBitmap bmp{32, 32, pf24bit};
  TBitmapCanvas canvas{bmp};
  Target() {
    for (int y = 0; y < 32; ++y) std::fill_n(bmp.ScanLine(y), 32 * 3, uint8_t{255});
  }
  Bgra At(int x, int y) {
    GdiFlush();
    const uint8_t* p = bmp.ScanLine(y) + x * 3;
    return {p[0], p[1], p[2], 255};
  }
};

::testing::AssertionResult Near(Bgra got, Bgra want, int tolerance = 3) {
  if (std::abs(got.b - want.b) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.r - want.r) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected BGR " << want.b << "," << want.g << "," << want.r << ", got " << got.b << ","
         << got.g << "," << got.r;
}

TEST(ImageList, StripIsSplitIntoImagesOfTheListsWidth) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  int changes = 0;
  list->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Add(Strip({{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}})), 0);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Add(Strip({{9, 9, 9, 0}})), 3);
  EXPECT_EQ(list->Count(), 4);
  EXPECT_EQ(changes, 2);
  // Too small for one image: nothing added.
  EXPECT_EQ(list->Add(TBitmap(8, 8, pf24bit)), -1);
  list->Delete(0);
  EXPECT_EQ(list->Count(), 3);
  list->Delete(7);
  EXPECT_EQ(list->Count(), 3);
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
}

TEST(ImageList, ChangingTheSizeEmptiesTheList) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->Add(Strip({{1, 2, 3, 0}}));
  list->SetSize(32, 32);
  EXPECT_EQ(list->Width(), 32);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(ImageList_GetImageCount(list->Handle()), 0);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list->Handle(), &cx, &cy);
  EXPECT_EQ(cx, 32);
  EXPECT_EQ(cy, 32);
}

TEST(ImageList, DrawPaintsTheImageOfThatIndexOnly) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->Add(Strip({{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}}));
  Target t;
  list->Draw(&t.canvas, 8, 8, 1);
  EXPECT_TRUE(Near(t.At(8, 8), {0, 255, 0, 255}));
  EXPECT_TRUE(Near(t.At(23, 23), {0, 255, 0, 255}));
  EXPECT_TRUE(Near(t.At(7, 7), {255, 255, 255, 255})) << "outside the image";
  EXPECT_TRUE(Near(t.At(24, 24), {255, 255, 255, 255})) << "outside the image";
  list->Draw(&t.canvas, 0, 0, 3);  // out of range: nothing
  list->Draw(&t.canvas, 0, 0, -1);
  EXPECT_TRUE(Near(t.At(0, 0), {255, 255, 255, 255}));
}

TEST(ImageList, AddMaskedLeavesTheMaskColourTransparent) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  TBitmap bmp = Strip({{255, 0, 255, 0}});  // fuchsia
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) {
      uint8_t* p = bmp.ScanLine(y) + x * 3;
      p[0] = 0, p[1] = 0, p[2] = 200;
    }
  EXPECT_EQ(list->AddMasked(bmp, clFuchsia), 0);
  // The caller's bitmap is not touched.
  EXPECT_EQ(bmp.ScanLine(0)[0], 255);
  Target t;
  list->Draw(&t.canvas, 0, 0, 0);
  EXPECT_TRUE(Near(t.At(1, 1), {255, 255, 255, 255})) << "masked pixel must show the background";
  EXPECT_TRUE(Near(t.At(6, 6), {0, 0, 200, 255}));
}

TEST(ImageList, ExplicitMaskLeavesSetBitsOut) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  TBitmap mask(16, 16, pf24bit);
  for (int y = 0; y < 8; ++y) std::fill_n(mask.ScanLine(y), 16 * 3, uint8_t{255});
  list->Add(Strip({{0, 0, 255, 0}}), &mask);
  Target t;
  list->Draw(&t.canvas, 0, 0, 0);
  EXPECT_TRUE(Near(t.At(3, 3), {255, 255, 255, 255})) << "top half is masked out";
  EXPECT_TRUE(Near(t.At(3, 12), {0, 0, 255, 255}));
}

TEST(ImageList, ThirtyTwoBitImagesKeepTheirAlpha) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->Add(Strip({{0, 0, 255, 128}, {0, 255, 0, 255}}, pf32bit));
  Target t;
  list->Draw(&t.canvas, 0, 0, 0);
  EXPECT_TRUE(Near(t.At(5, 5), {127, 127, 255, 255}, 6)) << "half-transparent red over white";
  list->Draw(&t.canvas, 16, 16, 1);
  EXPECT_TRUE(Near(t.At(20, 20), {0, 255, 0, 255}));

  TBitmap back;
  ASSERT_TRUE(list->GetBitmap(0, back));
  ASSERT_EQ(back.PixelFormat(), pf32bit);
  ASSERT_EQ(back.Width(), 16);
  const uint8_t* p = back.ScanLine(3) + 3 * 4;
  EXPECT_NEAR(p[3], 128, 3);
  EXPECT_NEAR(p[2], 255, 4);
  EXPECT_NEAR(p[1], 0, 4);
  EXPECT_FALSE(list->GetBitmap(2, back));
}

TEST(ImageList, DisabledImagesDrawGreyAndFaded) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->Add(Strip({{0, 0, 255, 0}}));
  Target t;
  list->Draw(&t.canvas, 0, 0, 0, false);
  const Bgra c = t.At(8, 8);
  EXPECT_EQ(c.r, c.g);
  EXPECT_EQ(c.g, c.b);
  EXPECT_GT(c.r, 100) << "faded towards the white background";
  EXPECT_LT(c.r, 255);
}

TEST(ImageList, BackgroundColourFillsBehindMaskedPixels) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->AddMasked(Strip({{255, 0, 255, 0}}), clFuchsia);
  list->SetBkColor(clBlue);
  Target t;
  list->Draw(&t.canvas, 0, 0, 0);
  EXPECT_TRUE(Near(t.At(2, 2), {255, 0, 0, 255}));
}

}  // namespace
