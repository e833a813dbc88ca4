// The skinned up-down under Wine with the synthetic skin and the real
// cursor, in both orientations: each half shows its scroll-button section's
// state (its border colour at the half's top edge names it), and a half at
// the limit it moves toward shows the disabled look and never turns hot.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "sButtonTestForm.h"
#include "skin/controls/sUpDown_win.h"
#include "skin/geometry/sUpDownGeometry.h"
#include "support/Counters.h"
#include "support/Mouse.h"

namespace kv {
namespace {

using kvtest::ClientPixel;
using pump::PumpUntilIdle;

class UpDownSkinned : public kvtest::TSkinnedFormTest,
                      public ::testing::WithParamInterface<TUDOrientation> {
 protected:
  void Place() {
    Load();
    upDown = Create<TsUpDown>(form);
    upDown->SetParent(form);
    upDown->SetOrientation(GetParam());
    if (Vertical())
      upDown->SetBounds(40, 20, 20, 40);
    else
      upDown->SetBounds(40, 20, 40, 20);
    upDown->SetPosition(50);
    Show();
    kvtest::HoverOut();
  }
  bool Vertical() const { return GetParam() == udVertical; }
  TRect Half(bool first) {
    return UpDownHalfRect(upDown->Width(), upDown->Height(), Vertical(), first);
  }
  POINT Middle(bool first) {
    const TRect r = Half(first);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // What the half shows at its top edge: "SECTION.BORDERSMASK#state", or
  // "none" for the disabled look.
  std::string Shown(bool first) {
    const TRect r = Half(first);
    return Item(ClientPixel(upDown->Handle(), (r.Left + r.Right) / 2, r.Top + 1));
  }
  std::string Look(bool first, int state) const {
    const char* section = Vertical() ? (first ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM")
                                     : (first ? "SCROLLBTNLEFT" : "SCROLLBTNRIGHT");
    return Name(section, "BORDERSMASK", state);
  }

  TsUpDown* upDown = nullptr;
};

TEST_P(UpDownSkinned, HalvesTurnHotAndPressedUnderTheCursor) {
  Place();
  EXPECT_EQ(Shown(true), Look(true, 0));
  EXPECT_EQ(Shown(false), Look(false, 0));
  for (const bool first : {true, false}) {
    kvtest::MouseMove(upDown->Handle(), Middle(first));
    EXPECT_EQ(Shown(first), Look(first, 1)) << "hot, first " << first;
    EXPECT_EQ(Shown(!first), Look(!first, 0));
    kvtest::MouseDown(upDown->Handle(), Middle(first));
    EXPECT_EQ(Shown(first), Look(first, 2)) << "pressed, first " << first;
    kvtest::MouseUp(upDown->Handle(), Middle(first));
    EXPECT_EQ(Shown(first), Look(first, 1)) << "released, first " << first;
  }
  kvtest::MouseMove(form->Handle(), {150, 150});
  EXPECT_EQ(upDown->ButtonState(), 0) << "left";
  kvtest::HoverOut();
}

TEST_P(UpDownSkinned, AHalfAtItsLimitLooksInaccessibleAndNeverHot) {
  Place();
  for (const bool first : {true, false}) {
    // Vertical: the top half moves toward Max; horizontal: the left toward Min.
    const bool towardMax = Vertical() == first;
    upDown->SetPosition(towardMax ? upDown->Max() : upDown->Min());
    PumpUntilIdle();
    EXPECT_EQ(Shown(first), "none") << "first " << first;
    EXPECT_EQ(Shown(!first), Look(!first, 0)) << "first " << first;
    kvtest::MouseMove(upDown->Handle(), Middle(first));
    EXPECT_EQ(upDown->ButtonState(), 0) << "hot at its limit, first " << first;
    kvtest::MouseDown(upDown->Handle(), Middle(first));
    EXPECT_EQ(upDown->ButtonState(), 0) << "pressed at its limit, first " << first;
    kvtest::MouseUp(upDown->Handle(), Middle(first));
    kvtest::HoverOut();
  }
  upDown->SetShowInaccessibility(false);
  upDown->SetPosition(Vertical() ? upDown->Max() : upDown->Min());
  PumpUntilIdle();
  EXPECT_EQ(Shown(true), Look(true, 0)) << "inaccessibility not shown";
}

INSTANTIATE_TEST_SUITE_P(BothOrientations, UpDownSkinned,
                         ::testing::Values(udVertical, udHorizontal), [](const auto& info) {
                           return std::string(info.param == udVertical ? "Vertical" : "Horizontal");
                         });

TEST(UpDownUnskinned, WithoutAnActiveManagerTheSystemPaints) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 200, 120);
  auto* upDown = Create<TsUpDown>(form.get());
  upDown->SetParent(form.get());
  upDown->SetBounds(20, 20, 20, 40);
  form->Show();
  PumpUntilIdle();
  const kvtest::TPixels shown = kvtest::TPixels::FromClient(upDown->Handle());
  EXPECT_GT(shown.CountDiffering(GetSysColor(COLOR_BTNFACE), shown.Whole()), 0)
      << "no arrows drawn";
}

class UpDownSkinSwitches : public kvtest::TSkinnedFormTest {};

TEST_F(UpDownSkinSwitches, FiftyLeaveTheCountersAtTheirBaseline) {
  Load();
  auto* upDown = Create<TsUpDown>(form);
  upDown->SetParent(form);
  upDown->SetBounds(20, 20, 20, 40);
  Show();
  EXPECT_TRUE(SkinSwitchesLeaveNoObjects([&] { upDown->Repaint(); }));
}

}  // namespace
}  // namespace kv
