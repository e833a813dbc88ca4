// Fades on a window: steps counted and ending on the new picture, a timer
// stopped from inside its own tick, and a control destroyed mid-fade.
#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/Forms.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sMessages.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Pump.h"

namespace kv {
namespace {

using pump::PumpUntil;

constexpr COLORREF OldColor = RGB(200, 0, 0);
constexpr COLORREF NewColor = RGB(0, 0, 200);

void FillBitmap(TBitmap& bitmap, COLORREF c) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* p = bitmap.ScanLine(y) + x * bitmap.BytesPerPixel();
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
}

COLORREF CentreOf(const TBitmap& bitmap) {
  const std::uint8_t* p =
      bitmap.ScanLine(bitmap.Height() / 2) + bitmap.Width() / 2 * bitmap.BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}

// A skinned control in miniature: its cache is its look; the fade commands
// paint the new state and end the fade as the real controls do.
class TFadedControl : public TCustomControl, public TacFadeTarget {
 public:
  explicit TFadedControl(TComponent* owner) : TCustomControl(owner) {}

  TsFadeTimer* fade = nullptr;
  TBitmap cache{200, 50, pf32bit};
  int offered = 0;
  COLORREF lastOffered = 0;
  bool bgChanged = false;

  TControl* FadeControl() override { return this; }
  TBitmap* FadeCache() override { return &cache; }
  bool FadeSkinAvailable() override { return true; }
  bool FadingEnabled() override { return true; }
  int FadingIterations() override { return 4; }
  bool FadeBGChanged() override { return bgChanged; }
  void SetFadeBGChanged(bool value) override { bgChanged = value; }

 protected:
  void Dispatch(TMessage& message) override {
    if (message.Msg != SM_ALPHACMD) return TCustomControl::Dispatch(message);
    switch (message.WParamHi()) {
      case cmdFadeStep:
        FillBitmap(cache, NewColor);
        bgChanged = false;
        break;
      case cmdOfferFadeImage:
        ++offered;
        lastOffered = CentreOf(*reinterpret_cast<TBitmap*>(message.LParam));
        break;
      case cmdFadeFinished:
        StopFade(fade);  // from inside the timer's tick
        break;
    }
  }
};

struct Fade : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    control = Create<TFadedControl>(form);
    control->SetParent(form);
    control->SetBounds(0, 0, 200, 50);
    FillBitmap(control->cache, OldColor);
    form->Show();
  }
  void TearDown() override {
    if (form) form->Free();
  }
  COLORREF ShownCentre() {
    HDC dc = GetDC(control->Handle());
    const COLORREF c = GetPixel(dc, 100, 25);
    ReleaseDC(control->Handle(), dc);
    return c;
  }

  TForm* form = nullptr;
  TFadedControl* control = nullptr;
};

TEST_F(Fade, RunsItsStepsAndEndsOnTheNewPicture) {
  const int timers = TTimer::ActiveCount();
  RepaintWithFade(control->fade, control, false, 1, true);
  ASSERT_NE(nullptr, control->fade);
  ASSERT_TRUE(PumpUntil([&] { return control->fade == nullptr; })) << "the fade never ended";
  EXPECT_EQ(4, control->offered);
  EXPECT_EQ(NewColor, control->lastOffered);
  EXPECT_EQ(NewColor, ShownCentre());
  EXPECT_EQ(timers, TTimer::ActiveCount()) << "the timer outlived its fade";
}

TEST_F(Fade, FastFadesHalveTheStepsAndAnimationsOffRepaintsAtOnce) {
  RepaintWithFade(control->fade, control, true, 1, true);
  ASSERT_TRUE(PumpUntil([&] { return control->fade == nullptr; }));
  EXPECT_EQ(2, control->offered);
  control->bgChanged = false;
  {
    const TacFlagGuard off(AnimationsOff);
    RepaintWithFade(control->fade, control, false, 1, true);
  }
  EXPECT_FALSE(AnimationsOff);
  EXPECT_EQ(nullptr, control->fade);
}

TEST_F(Fade, ControlDestroyedMidFadeEndsItSafely) {
  const int timers = TTimer::ActiveCount();
  RepaintWithFade(control->fade, control, false, 1, true);
  ASSERT_TRUE(PumpUntil([&] { return control->offered >= 1; }));
  control->Free();
  EXPECT_EQ(timers, TTimer::ActiveCount());
}

TEST_F(Fade, ResizedControlStopsFadingAndRepaints) {
  RepaintWithFade(control->fade, control, false, 1, true);
  control->cache.SetSize(100, 50);
  FadeStep(control->fade);
  EXPECT_FALSE(control->fade->Enabled());
  EXPECT_EQ(0, control->offered);
}

TEST_F(Fade, AnimationStepsRunFromTheStartPictureToTheCache) {
  auto* anim = Create<TsAnimTimer>(control);
  anim->Setup(control);
  anim->Source.Assign(control->cache);
  FillBitmap(control->cache, NewColor);
  const COLORREF expected[] = {OldColor, 0, RGB(99, 0, 100), 0, NewColor};
  for (COLORREF colour : expected) {
    anim->DoStep();
    if (colour) {
      EXPECT_EQ(colour, CentreOf(anim->Work)) << "step " << anim->Step - 1;
    }
  }
  anim->Free();
}

}  // namespace
}  // namespace kv
