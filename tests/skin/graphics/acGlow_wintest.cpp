// Glow windows under Wine: style, place in the z-order and the list's indexes.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Pixels.h"
#include "skin/graphics/acGlow.h"
#include "skin/model/sSkinModel.h"

namespace kv {
namespace {

constexpr TRect kControl{120, 90, 200, 115}, kWhole{0, 0, 80, 25};

class GlowWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    TsMaskData mask;
    mask.SectionName = "BUTTON";
    mask.PropertyName = "GLOW0";
    mask.Bmp = std::make_shared<TBitmap>(testing::Filled(12, 12, pf32bit, 0x80FF8000));
    mask.R = {0, 0, 12, 12};
    mask.ImageCount = 1;
    mask.WL = mask.WT = mask.WR = mask.WB = 4;
    skin_.MaskData = {mask};
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 40, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent_);
  }
  void TearDown() override {
    ClearGlows();
    DestroyWindow(parent_);
  }
  int Show(const TRect& r, const TRect& clip, const char* section = "BUTTON") {
    return ShowGlow(r, clip, section, &skin_, parent_, 255, 1, "GLOW");
  }
  static bool AnyGlowWindow() { return FindWindowW(L"TacGlowEffect", nullptr) != nullptr; }
  // The next window of this program below wnd: test programs running side by side share
  // one desktop, and another program's window may come between.
  static HWND NextOwnWindowBelow(HWND wnd) {
    for (HWND next = GetWindow(wnd, GW_HWNDNEXT); next != nullptr;
         next = GetWindow(next, GW_HWNDNEXT)) {
      DWORD process = 0;
      GetWindowThreadProcessId(next, &process);
      if (process == GetCurrentProcessId()) return next;
    }
    return nullptr;
  }

  TsSkinModel skin_;
  HWND parent_ = nullptr;
};

TEST_F(GlowWindows, AreLayeredClickThroughAndPlacedJustAboveTheParent) {
  for (const TRect& clip : {kWhole, TRect{10, 0, 80, 25}}) {
    const int index = Show(kControl, clip);
    ASSERT_GE(index, 0);
    HWND wnd = TacGlowEffects[index]->Window();
    const LONG_PTR clickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & clickThrough, clickThrough);
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(130, 100)), HTTRANSPARENT);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(NextOwnWindowBelow(wnd), parent_) << "the glow goes right above its parent";
    const TacGlowPlacement p = GlowPlacement(kControl, clip, {4, 4, 4, 4}, 1);
    RECT r;
    GetWindowRect(wnd, &r);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), Bounds(p.X, p.Y, p.Width, p.Height));
  }
}

TEST_F(GlowWindows, IndexesGrowUntilClearGlowsEmptiesTheList) {
  EXPECT_EQ(Show(kControl, kWhole), 0);
  EXPECT_EQ(Show(kControl, kWhole), 1);
  HWND first = TacGlowEffects[0]->Window();
  HideGlow(0);
  HideGlow(-1);
  HideGlow(7);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(Show(kControl, kWhole), 2);
  ClearGlows();
  EXPECT_FALSE(AnyGlowWindow());
  EXPECT_EQ(Show(kControl, kWhole), 0);
}

TEST_F(GlowWindows, NoWindowForAMissingMaskOrAnEmptyHalo) {
  EXPECT_EQ(Show(kControl, kWhole, "EDIT"), -1);
  // An empty control with margins 4 + 4 and a margin of 5: -2 x -2 pixels.
  EXPECT_EQ(ShowGlow({10, 10, 10, 10}, {}, "BUTTON", &skin_, parent_, 255, 5, "GLOW"), -1);
  EXPECT_FALSE(AnyGlowWindow());
  EXPECT_TRUE(TacGlowEffects.empty());
}

// A subclass's halo is the one shown: Build asks the virtual for the uncut
// halo and cuts the part of a control hidden at its left.
class TRecordingGlow : public TacGlowEffect {
 public:
  using TacGlowEffect::TacGlowEffect;
  void MakeGlowBitmap(int width, int height) override {
    sizes.push_back({width, height});
    bitmap_ = std::make_unique<TBitmap>(width, height, pf32bit);
  }
  std::vector<TSize> sizes;
};

TEST_F(GlowWindows, BuildTakesTheHaloFromTheVirtualMaker) {
  TRecordingGlow glow(skin_, 0);
  glow.Margin = 1;
  const TRect clip{10, 0, 80, 25};
  ASSERT_TRUE(glow.Build(kControl, clip, parent_, 255));
  const TacGlowPlacement p = GlowPlacement(kControl, clip, {4, 4, 4, 4}, 1);
  ASSERT_EQ(glow.sizes.size(), 1u);
  EXPECT_EQ(glow.sizes[0], (TSize{p.FullWidth, p.FullHeight}));
  RECT r;
  GetWindowRect(glow.Window(), &r);
  EXPECT_EQ(r.right - r.left, p.Width);
}

}  // namespace
}  // namespace kv
