// Controls freed by their own handlers while the adapter in front of their
// window hands the message on: nothing of the freed control or its adapter
// may be touched afterwards. A scroll box or frame bar freed on the
// pointer's entering or leaving; a standard button or check box freed by
// its click; a standard speed button freed while its form lives.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "classlib/Buttons.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/SkinnedFormFixture.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/forms/SystemPointer.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"

namespace kv {
namespace {

enum class TScroller { ScrollBox, FrameBar };

class ScrollOwnerFreed : public SkinnedFormFixture,
                         public ::testing::WithParamInterface<std::tuple<TScroller, bool>> {
 protected:
  void TearDown() override {
    kvtest::SystemMoveTo(kvtest::AwayFromWindows());
    SkinnedFormFixture::TearDown();
  }
  TsScrollBox* Make() {
    TsScrollBox* box = std::get<0>(GetParam()) == TScroller::FrameBar
                           ? static_cast<TsScrollBox*>(Create<TsFrameBar>(form))
                           : Create<TsScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 200, 150);
    return box;
  }
};

TEST_P(ScrollOwnerFreed, ItsOwnMouseHandlerFreesItAndThePointerMovesOn) {
  const bool onLeave = std::get<1>(GetParam());
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  TsScrollBox* box = Make();
  ShowSkinned();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  const HWND wnd = box->Handle();
  RECT r{};
  GetWindowRect(wnd, &r);
  // Below a frame bar's titles.
  const POINT inside{r.left + 8, r.bottom - 8};
  if (onLeave) kvtest::SystemMoveTo(inside);
  int entered = 0;
  (onLeave ? box->OnMouseLeave : box->OnMouseEnter) = [&](TObject*) {
    // The handler goes with the box: nothing of it is read after the free.
    ++entered;
    TsScrollBox* doomed = std::exchange(box, nullptr);
    doomed->Free();
  };
  // Onto the box, or off it onto the form.
  kvtest::SystemMoveTo(onLeave ? POINT{r.right + 40, r.top + 20} : inside);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(box, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  // The form goes on taking the pointer.
  kvtest::SystemMoveTo({r.left + 5, r.top + 5});
  kvtest::SystemMoveTo({r.left - 4, r.top - 4});
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Scrollers, ScrollOwnerFreed,
                         ::testing::Combine(::testing::Values(TScroller::ScrollBox,
                                                              TScroller::FrameBar),
                                            ::testing::Bool()));

// A standard control on a skinned form, freed by its OnClick.
enum class TClicked { Button, CheckBox };

class ClickedControlFreed : public SkinnedFormFixture,
                            public ::testing::WithParamInterface<TClicked> {};

TEST_P(ClickedControlFreed, ItsOwnClickFreesItUnderItsAdapter) {
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  TButtonControl* control = GetParam() == TClicked::Button
                                ? static_cast<TButtonControl*>(Add<TButton>(20, 20, 90, 28))
                                : static_cast<TButtonControl*>(Add<TCheckBox>(20, 20, 120, 24));
  control->SetCaption("Logout");
  ShowSkinned();
  ASSERT_NE(AdapterOf(control), nullptr);
  const HWND wnd = control->Handle();
  int clicked = 0;
  control->OnClick = [&](TObject*) {
    ++clicked;
    TButtonControl* doomed = std::exchange(control, nullptr);
    doomed->Free();
  };
  kvtest::Click(wnd, {10, 10});
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(control, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  kvtest::HoverOut();
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Controls, ClickedControlFreed,
                         ::testing::Values(TClicked::Button, TClicked::CheckBox));

// A speed button has no window to say it is going: its handler learns it
// from its hook. The next walk forgets the button, and the form's end
// leaves it alone.
using SpeedButtonFreed = SkinnedFormFixture;

TEST_F(SpeedButtonFreed, TheNextWalkDropsItAndTheFormsEndLeavesItAlone) {
  const kvtest::TFreedMemoryCheck freed;
  auto* button = Create<TSpeedButton>(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 23, 22);
  ShowSkinned();
  const auto items = [&] {
    const auto& all = Adapter()->GraphItems;
    return std::count_if(all.begin(), all.end(), [&](const auto& i) { return i->Ctrl == button; });
  };
  ASSERT_EQ(items(), 1);
  button->Free();
  Command(form->Handle(), cmdAdaptControl, 0);
  pump::PumpUntilIdle();
  EXPECT_EQ(items(), 0);
  std::exchange(form, nullptr)->Free();
  EXPECT_EQ(freed.Faults(), 0u);
  EXPECT_TRUE(freed.Intact());
}

}  // namespace
}  // namespace kv
