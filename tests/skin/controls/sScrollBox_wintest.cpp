// The skinned scroll box under the synthetic skin: scrolled by its skinned
// bars (bracketed by the before- and after-scroll events), by the wheel, and
// never left frozen by a scroll that fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "classlib/ExtCtrls.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sScrollBox_win.h"

namespace kv {
namespace {

// A box whose scroll handling fails.
class TFailingBox : public TsScrollBox {
 public:
  using TsScrollBox::TsScrollBox;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_VSCROLL) throw std::runtime_error("scroll failed");
    TsScrollBox::Dispatch(m);
  }
};

class ScrollBoxTest : public kvtest::TSkinnedFormTest {
 protected:
  template <class Box = TsScrollBox>
  Box* MakeBox() {
    auto* box = Create<Box>(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 200, 120);
    tall = Create<TPanel>(form);
    tall->SetParent(box);
    tall->SetBounds(0, 0, 150, 600);
    box->OnBeforeScroll = [this](TObject*) { ++before; };
    box->OnAfterScroll = [this](TObject*) { ++after; };
    Show();
    return box;
  }
  static POINT BottomArrow(TsScrollBox* box) {
    const TRect bar = VertScrollBarRect(box->ScrollAdapter(), box->Handle());
    return {(bar.Left + bar.Right) / 2, bar.Bottom - 4};
  }
  int before = 0;
  int after = 0;
  TPanel* tall = nullptr;
};

TEST_F(ScrollBoxTest, ItsSkinnedArrowScrollsByTheIncrementBetweenTheScrollEvents) {
  Load();
  TsScrollBox* box = MakeBox();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  const POINT arrow = BottomArrow(box);
  SetCursorPos(arrow.x, arrow.y);
  SendMessageW(box->Handle(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SendMessageW(box->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(box->VertScrollBar()->Position(), box->VertScrollBar()->Increment());
  EXPECT_GE(before, 1);
  EXPECT_EQ(before, after);
  EXPECT_FALSE(box->ScrollFrozen());
}

TEST_F(ScrollBoxTest, AThumbPositionArrivesWhole) {
  Load();
  TsScrollBox* box = MakeBox();
  SendScrollMessage(box->Handle(), WM_VSCROLL, SB_THUMBPOSITION, 300);
  EXPECT_EQ(box->VertScrollBar()->Position(), 300);
}

struct TWheelCase {
  bool Auto;
  int Delta;
  int Expected;  // in increments
  bool ToChild;  // the wheel comes to a control in the box and is passed up
};

class ScrollBoxWheel : public ScrollBoxTest, public ::testing::WithParamInterface<TWheelCase> {};

TEST_P(ScrollBoxWheel, AutoWheelMovesByIncrementsPerNotch) {
  Load();
  TsScrollBox* box = MakeBox();
  box->SetAutoMouseWheel(GetParam().Auto);
  box->VertScrollBar()->SetPosition(80);
  SendMessageW(GetParam().ToChild ? tall->Handle() : box->Handle(), WM_MOUSEWHEEL,
               MAKEWPARAM(0, static_cast<WORD>(GetParam().Delta)), MAKELPARAM(50, 50));
  EXPECT_EQ(box->VertScrollBar()->Position(),
            80 + GetParam().Expected * box->VertScrollBar()->Increment());
}

INSTANTIATE_TEST_SUITE_P(Notches, ScrollBoxWheel,
                         ::testing::Values(TWheelCase{true, -WHEEL_DELTA, 1, false},
                                           TWheelCase{true, -3 * WHEEL_DELTA, 3, false},
                                           TWheelCase{true, 2 * WHEEL_DELTA, -2, false},
                                           TWheelCase{true, -WHEEL_DELTA, 1, true}));

TEST_F(ScrollBoxTest, AFailingScrollNeverLeavesTheBoxFrozen) {
  kvtest::TTestSkinOptions options;
  options.Transparency = 100;  // over the parent's picture: redrawing is held
  Load(options);
  TFailingBox* box = MakeBox<TFailingBox>();
  box->VertScrollBar()->SetTracking(true);
  SendMessageW(box->Handle(), SM_ALPHACMD, MAKEWPARAM(0, cmdBeforeScroll),
               MAKELPARAM(SB_THUMBTRACK, WM_VSCROLL));
  ASSERT_TRUE(box->ScrollFrozen());
  // The scroll fails and its after-scroll command never comes.
  int failures = 0;
  Application->OnException = [&](TObject*, const std::exception&) { ++failures; };
  SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  Application->OnException = nullptr;
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(box->ScrollFrozen());
  EXPECT_NE(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
}

}  // namespace
}  // namespace kv
