// Fades on a window: steps counted and ending on the new picture, a timer
// stopped from inside its own tick, a control destroyed mid-fade, and a
// form's layered show.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Counters.h"
#include "support/PlatformSeams.h"
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
  int offered = 0, iterations = 4;
  LRESULT offerAnswer = 0;  // non-zero: the control shows the blend itself
  COLORREF lastOffered = 0;
  bool bgChanged = false;

  TControl* FadeControl() override { return this; }
  TBitmap* FadeCache() override { return &cache; }
  bool FadeSkinAvailable() override { return true; }
  bool FadingEnabled() override { return true; }
  int FadingIterations() override { return iterations; }
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
        message.Result = offerAnswer;
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

// A section without fading iterations ends its fade at once unpainted; a
// control that shows the blended picture itself gets nothing in its window.
TEST_F(Fade, NoIterationsEndAtOnceAndAControlShowingTheBlendItselfGetsNothing) {
  control->iterations = 0;
  RepaintWithFade(control->fade, control, false, 1, true);
  ASSERT_TRUE(PumpUntil([&] { return control->fade == nullptr; })) << "the fade never ended";
  EXPECT_EQ(0, control->offered);

  control->iterations = 4;
  control->offerAnswer = 1;
  control->bgChanged = false;
  FillBitmap(control->cache, OldColor);
  const COLORREF before = ShownCentre();
  RepaintWithFade(control->fade, control, false, 1, true);
  ASSERT_TRUE(PumpUntil([&] { return control->fade == nullptr; })) << "the fade never ended";
  EXPECT_EQ(4, control->offered);
  EXPECT_EQ(NewColor, control->lastOffered);
  EXPECT_EQ(before, ShownCentre());
  EXPECT_NE(NewColor, ShownCentre());
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

namespace kv {
namespace {

// A provider that keeps a border window around its form: shadow 5, title
// 20 and the frame sizes of the seam (border 0) put the client at (5, 25).
struct TBorderProvider : TacFormProvider {
  HWND border = nullptr;
  int framePaints = 0;
  TsSkinManager* SkinManager() const override { return nullptr; }
  void SetPaintingLocked(bool) override {}
  bool HasBorderForm() const override { return border != nullptr; }
  HWND BorderFormWindow() const override { return border; }
  RECT ShadowMargins() const override { return {5, 5, 5, 5}; }
  int TitleBarHeight(bool) const override { return 20; }
  void PaintFrameCache() override { ++framePaints; }
};

class TBorderedForm : public TForm {
 public:
  using TForm::TForm;
  TBorderProvider provider;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdGetProvider) {
      m.Result = reinterpret_cast<LRESULT>(&provider);
      return;
    }
    TForm::WndProc(m);
  }
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM list) {
  reinterpret_cast<std::set<HWND>*>(list)->insert(wnd);
  return TRUE;
}

std::set<HWND> ThreadWindows() {
  std::set<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

class LayeredShow : public ::testing::Test {
 protected:
  void SetUp() override {
    form = CreateOwned<TBorderedForm>();
    form->SetBorderStyle(bsNone);
    form->SetColor(clRed);
    form->SetBounds(40, 40, 120, 80);
    form->Show();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    border = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, r.left - 5,
                             r.top - 25, r.right - r.left + 10, r.bottom - r.top + 30, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(border, nullptr);
    form->provider.border = border;
  }
  void TearDown() override {
    form.reset();
    DestroyWindow(border);
  }

  Owned<TBorderedForm> form;
  HWND border = nullptr;
};

TEST_F(LayeredShow, FadesInOnATemporaryWindowAndLeavesTheImageToTheBorderWindow) {
  // 20 steps of 255 / 20 would end at 252: the last frame is the whole image.
  for (int steps : {0, 20}) {
    const std::set<HWND> before = ThreadWindows();
    const kvtest::TObjectBaseline objects;
    kvtest::TLayeredRecorder layered;
    SendMessageW(form->Handle(), WM_SETREDRAW, 0, 0);
    ASSERT_TRUE(AnimateShowLayered(form.get(), steps));

    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(border));
    EXPECT_FALSE(GlobalRedrawLock);
    EXPECT_EQ(ThreadWindows(), before) << "the temporary layered window is gone";
    EXPECT_TRUE(objects.Unchanged());
    EXPECT_EQ(form->provider.framePaints, steps == 0 ? 1 : 2);

    // Steps + 1 frames after the first, rising to full; then the border window.
    const std::size_t frames = steps > 0 ? steps + 2 : 1;
    ASSERT_EQ(layered.Updates.size(), frames + 1) << steps << " steps";
    const HWND fader = layered.Updates[0].wnd;
    EXPECT_NE(fader, border);
    int last = -1;
    for (std::size_t i = 0; i < frames; ++i) {
      EXPECT_EQ(layered.Updates[i].wnd, fader);
      EXPECT_GT(layered.Updates[i].alpha, last) << "frame " << i;
      last = layered.Updates[i].alpha;
    }
    EXPECT_EQ(layered.Updates[0].alpha, steps > 0 ? 0 : 255);
    EXPECT_EQ(last, 255);
    const kvtest::TLayeredUpdate& final = layered.Updates.back();
    EXPECT_EQ(final.wnd, border);
    EXPECT_EQ(final.alpha, 255);
    EXPECT_EQ(final.image.At(5 + 60, 25 + 40), RGB(255, 0, 0)) << "the client, opaque";
    EXPECT_EQ(final.image.At(2, 2), RGB(0, 0, 0)) << "the shadow is the provider's";
  }
}

TEST_F(LayeredShow, TheSkinsBorderWidthMovesTheClientInTheImage) {
  TacFormServices& services = FormServices();
  const auto saved = services.FrameBorderWidth;
  services.FrameBorderWidth = [](HWND, bool borderForm, bool) { return borderForm ? 3 : 0; };
  kvtest::TLayeredRecorder layered;
  const bool shown = AnimateShowLayered(form.get(), 0);
  services.FrameBorderWidth = saved;
  ASSERT_TRUE(shown);
  ASSERT_FALSE(layered.Updates.empty());
  const kvtest::TPixels& image = layered.Updates.back().image;
  EXPECT_EQ(image.At(7, 30), RGB(0, 0, 0));
  EXPECT_EQ(image.At(8, 30), RGB(255, 0, 0));
  EXPECT_EQ(image.At(8, 24), RGB(0, 0, 0)) << "below the title only";
}

TEST_F(LayeredShow, WithoutABorderWindowTheCoverPathIsTaken) {
  form->provider.border = nullptr;
  kvtest::TLayeredRecorder layered;
  EXPECT_FALSE(AnimateShowLayered(form.get(), 4));
  AnimateShowControl(form.get(), 32);
  EXPECT_TRUE(layered.Updates.empty());
  EXPECT_EQ(SnapshotCover, nullptr);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

}  // namespace
}  // namespace kv
