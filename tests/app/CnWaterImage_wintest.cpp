// The ripple picture control: picture, mouse drops and the animation step.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "app/CnWaterImage_win.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

// A 24-bit picture with a horizontal colour ramp, so that a shifted pixel
// shows as a different colour.
std::unique_ptr<TBitmapImage> RampPicture(int w, int h) {
  auto picture = std::make_unique<TBitmapImage>();
  picture->Bitmap() = TBitmap(w, h, pf24bit);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = picture->Bitmap().ScanLine(y);
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x * 4);
      row[3 * x + 1] = static_cast<std::uint8_t>(y * 4);
      row[3 * x + 2] = 128;
    }
  }
  return picture;
}

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
  Owned<TForm> form_;
  TCnWaterImage* image_ = nullptr;
};

TEST_F(WaterImage, StartsWithItsDefaults) {
  auto fresh = CreateOwned<TCnWaterImage>();
  EXPECT_EQ(105, fresh->Width());
  EXPECT_EQ(105, fresh->Height());
  EXPECT_EQ(50, fresh->Interval());
  EXPECT_EQ(20, fresh->Damping());
  EXPECT_EQ(1, fresh->Radius());
  EXPECT_EQ(100, fresh->TrackBlob());
  EXPECT_EQ(250, fresh->ClickBlob());
  EXPECT_EQ(500, fresh->RandomBlob());
  EXPECT_EQ(800, fresh->RandomDelay());
}

TEST_F(WaterImage, StillWaterShowsThePictureStretchedToTheControl) {
  image_->Picture().SetGraphic(RampPicture(60, 40));
  image_->PictureChanged();
  EXPECT_EQ(60, image_->Effect().Width());
  EXPECT_EQ(40, image_->Effect().Height());
  image_->Tick();
  const auto* picture = static_cast<TBitmapImage*>(image_->Picture().Graphic());
  EXPECT_TRUE(SameRows(picture->Bitmap(), image_->Output()));
}

TEST_F(WaterImage, MouseMoveDropsTrackBlobAndLeftButtonDropsClickBlob) {
  image_->Picture().SetGraphic(RampPicture(60, 40));
  image_->PictureChanged();
  image_->SetRadius(0);
  image_->SetTrackBlob(70);
  image_->SetClickBlob(300);
  image_->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(70, image_->Effect().HeightAt(10, 10));
  image_->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(300, image_->Effect().HeightAt(20, 20));
  image_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 5));
  EXPECT_EQ(300, image_->Effect().HeightAt(30, 5));
  image_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 5));
}

TEST_F(WaterImage, RipplesChangeTheFrameAndThenFadeBackToThePicture) {
  image_->Picture().SetGraphic(RampPicture(60, 40));
  image_->PictureChanged();
  image_->SetRadius(3);
  // Small waves: big ones shift every pixel out of so small a picture.
  image_->SetClickBlob(8);
  image_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 20));
  image_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
  const auto* picture = static_cast<TBitmapImage*>(image_->Picture().Graphic());
  image_->Tick();
  EXPECT_FALSE(SameRows(picture->Bitmap(), image_->Output()));
  for (int i = 0; i < 400; ++i) image_->Tick();
  EXPECT_TRUE(SameRows(picture->Bitmap(), image_->Output()));
}

TEST_F(WaterImage, WithoutAPictureTheTimerDoesNothing) {
  image_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 20));
  image_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
  const std::int32_t before = image_->Effect().HeightAt(30, 20);
  image_->Tick();
  EXPECT_EQ(before, image_->Effect().HeightAt(30, 20)) << "no simulation step ran";
}

TEST_F(WaterImage, ResizeRebuildsTheWaterAtTheNewSize) {
  image_->Picture().SetGraphic(RampPicture(60, 40));
  image_->PictureChanged();
  image_->SetBounds(0, 0, 90, 30);
  EXPECT_EQ(90, image_->Effect().Width());
  EXPECT_EQ(30, image_->Effect().Height());
  EXPECT_EQ(90, image_->Output().Width());
}

TEST_F(WaterImage, HooksSeeEachFrame) {
  image_->Picture().SetGraphic(RampPicture(60, 40));
  image_->PictureChanged();
  int before = 0, after = 0;
  image_->OnBeforeRender = [&](TObject*, TBitmap& frame) {
    ++before;
    // Whatever the hook draws is what the water refracts.
    std::memset(frame.ScanLine(0), 0, static_cast<std::size_t>(frame.Width()) * 3);
  };
  image_->OnAfterRender = [&](TObject*, TBitmap&) { ++after; };
  image_->Tick();
  EXPECT_EQ(1, before);
  EXPECT_EQ(1, after);
  EXPECT_EQ(0, image_->Output().ScanLine(0)[3 * 30]);
}

}  // namespace
}  // namespace kv
