// The ripple picture control: picture, mouse drops and the animation step.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "app/CnWaterImage_win.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

bool SameRows(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<std::size_t>(a.Width()) * 3) != 0)
      return false;
  return true;
}

class WaterImage : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 200, 200);
    image_ = Create<TCnWaterImage>(form_.get());
    image_->SetParent(form_.get());
    image_->SetBounds(0, 0, 60, 40);
    image_->SetRandomDelay(0);  // no drops of its own: the test places them
  }
  // A horizontal colour ramp, so that a shifted pixel shows as another colour.
  const TBitmap& ShowRamp() {
    auto picture = std::make_unique<TBitmapImage>();
    picture->Bitmap() = TBitmap(60, 40, pf24bit);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) {
        std::uint8_t* p = picture->Bitmap().ScanLine(y) + 3 * x;
        p[0] = static_cast<std::uint8_t>(x * 4);
        p[1] = static_cast<std::uint8_t>(y * 4);
        p[2] = 128;
      }
    image_->Picture().SetGraphic(std::move(picture));
    image_->PictureChanged();
    return static_cast<TBitmapImage*>(image_->Picture().Graphic())->Bitmap();
  }
  void Click(int x, int y) {
    image_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    image_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  Owned<TForm> form_;
  TCnWaterImage* image_ = nullptr;
};

TEST_F(WaterImage, StillWaterShowsThePictureAndFollowsTheControlSize) {
  const TBitmap& picture = ShowRamp();
  EXPECT_EQ(60, image_->Effect().Width());
  EXPECT_EQ(40, image_->Effect().Height());
  image_->Tick();
  EXPECT_TRUE(SameRows(picture, image_->Output()));
  image_->SetBounds(0, 0, 90, 30);
  EXPECT_EQ(90, image_->Effect().Width());
  EXPECT_EQ(30, image_->Effect().Height());
  EXPECT_EQ(90, image_->Output().Width());
}

TEST_F(WaterImage, MouseMoveDropsTrackBlobAndLeftButtonDropsClickBlob) {
  ShowRamp();
  image_->SetRadius(0);
  image_->SetTrackBlob(70);
  image_->SetClickBlob(300);
  image_->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(70, image_->Effect().HeightAt(10, 10));
  image_->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(300, image_->Effect().HeightAt(20, 20));
  Click(30, 5);
  EXPECT_EQ(300, image_->Effect().HeightAt(30, 5));
}

TEST_F(WaterImage, RipplesPassThroughTheHooksAndFadeBackToThePicture) {
  const TBitmap& picture = ShowRamp();
  int before = 0, after = 0;
  bool blank = false;
  image_->OnBeforeRender = [&](TObject*, TBitmap& frame) {
    ++before;
    // Whatever the hook draws is what the water refracts.
    if (blank) std::memset(frame.ScanLine(0), 0, static_cast<std::size_t>(frame.Width()) * 3);
  };
  image_->OnAfterRender = [&](TObject*, TBitmap&) { ++after; };
  image_->SetRadius(3);
  // Small waves: big ones shift every pixel out of so small a picture.
  image_->SetClickBlob(8);
  Click(30, 20);
  image_->Tick();
  EXPECT_FALSE(SameRows(picture, image_->Output()));
  for (int i = 0; i < 400; ++i) image_->Tick();
  EXPECT_TRUE(SameRows(picture, image_->Output()));
  EXPECT_EQ(401, before);
  EXPECT_EQ(401, after);
  blank = true;
  image_->Tick();
  EXPECT_EQ(0, image_->Output().ScanLine(0)[3 * 30]);
}

TEST_F(WaterImage, WithoutAPictureTheTimerDoesNothing) {
  Click(30, 20);
  const std::int32_t before = image_->Effect().HeightAt(30, 20);
  image_->Tick();
  EXPECT_EQ(before, image_->Effect().HeightAt(30, 20)) << "no simulation step ran";
}

}  // namespace
}  // namespace kv
