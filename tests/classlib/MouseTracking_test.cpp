// Mouse enter and leave for windowed and windowless controls, driven by real
// cursor moves (SetCursorPos) through the system's own mouse messages.
// Under Wine's null display driver SetCursorPos queues WM_MOUSEMOVE for the
// window under the new position, WindowFromPoint knows the windows, and
// TrackMouseEvent's WM_MOUSELEAVE arrives once the cursor is elsewhere, so
// no message needs to be faked.
#include <gtest/gtest.h>
#include <windows.h>

#include "MessageLog.h"
#include "classlib/Forms.h"

using namespace kv;
using kvtest::SequenceIs;

namespace {

kvtest::TMessageLog g_log;

std::string Who(LPARAM lp) {
  if (lp == 0) return "self";
  return reinterpret_cast<TControl*>(lp)->Name();
}

template <class Base>
class TTracked : public Base {
 public:
  using Base::Base;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) g_log.Add(this->Name() + " enter " + Who(m.LParam));
    if (m.Msg == CM_MOUSELEAVE) g_log.Add(this->Name() + " leave " + Who(m.LParam));
    Base::Dispatch(m);
  }
};

struct MouseTracking : ::testing::Test {
  void SetUp() override {
    form = Create<TTracked<TForm>>(nullptr);
    form->SetName("form");
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetBounds(kX, kY, 200, 100);
    windowed = Create<TTracked<TCustomControl>>(form);
    windowed->SetName("windowed");
    windowed->SetParent(form);
    windowed->SetBounds(10, 10, 50, 50);
    windowless = Create<TTracked<TGraphicControl>>(form);
    windowless->SetName("windowless");
    windowless->SetParent(form);
    windowless->SetBounds(100, 10, 50, 50);
    // Far from the form. Moves still queued are taken first: they are routed
    // by position when read, and would enter the new form.
    MoveTo(20, 20);
    kvtest::PumpUntilIdle();
    form->Show();
    kvtest::PumpUntilIdle();
    g_log.Clear();
  }
  void TearDown() override {
    form->Free();
    MoveTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    kvtest::PumpUntilIdle();
  }

  // Positions relative to the form.
  static constexpr int kX = 400, kY = 300;
  static void MoveTo(int x, int y) { SetCursorPos(x, y); }
  static void MoveIn(int x, int y) { SetCursorPos(kX + x, kY + y); }
  bool WaitFor(const std::string& entry) {
    return kvtest::PumpUntil([&] {
      return std::find(g_log.entries.begin(), g_log.entries.end(), entry) != g_log.entries.end();
    });
  }

  TForm* form = nullptr;
  TCustomControl* windowed = nullptr;
  TGraphicControl* windowless = nullptr;
};

TEST_F(MouseTracking, EnteringAWindowedChildTellsItAndItsParent) {
  MoveIn(30, 30);
  ASSERT_TRUE(WaitFor("form enter windowed"));
  EXPECT_TRUE(SequenceIs(g_log, {"windowed enter self", "form enter windowed"}));
  EXPECT_EQ(MouseControl(), windowed);
}

TEST_F(MouseTracking, MovingFromWindowedToWindowlessLeavesOneAndEntersTheOther) {
  MoveIn(30, 30);
  ASSERT_TRUE(WaitFor("form enter windowed"));
  g_log.Clear();
  MoveIn(120, 30);
  ASSERT_TRUE(WaitFor("form enter windowless"));
  EXPECT_TRUE(SequenceIs(g_log, {"windowed leave self", "form leave windowed",
                                 "windowless enter self", "form enter windowless"}));
}

TEST_F(MouseTracking, LeavingTheFormAltogetherLeavesTheWindowlessChild) {
  MoveIn(120, 30);
  ASSERT_TRUE(WaitFor("form enter windowless"));
  g_log.Clear();
  MoveTo(kX + 300, kY + 200);
  ASSERT_TRUE(WaitFor("form leave windowless"));
  EXPECT_TRUE(SequenceIs(g_log, {"windowless leave self", "form leave windowless"}));
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(MouseTracking, FormItselfIsEnteredOnItsBareClientArea) {
  MoveIn(80, 80);
  ASSERT_TRUE(WaitFor("form enter self"));
  EXPECT_TRUE(SequenceIs(g_log, {"form enter self"}));
}

TEST_F(MouseTracking, FreeingTheControlUnderTheMouseForgetsIt) {
  MoveIn(120, 30);
  ASSERT_TRUE(WaitFor("form enter windowless"));
  windowless->Free();
  windowless = nullptr;
  EXPECT_EQ(MouseControl(), nullptr);
  g_log.Clear();
  MoveIn(30, 30);
  ASSERT_TRUE(WaitFor("form enter windowed"));
  EXPECT_TRUE(SequenceIs(g_log, {"windowed enter self", "form enter windowed"}));
}

}  // namespace

namespace {

TEST_F(MouseTracking, AClickedChildLeftStraightAfterTheReleaseIsLeft) {
  MoveIn(30, 30);
  ASSERT_TRUE(WaitFor("form enter windowed"));
  // The press takes the mouse and the release gives it back: the leave
  // tracking armed before does not outlive the capture.
  SendMessageW(windowed->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  ASSERT_EQ(GetCapture(), windowed->Handle());
  // Windows ends the leave tracking when a window takes the capture; Wine
  // keeps it, so the test ends it as Windows does.
  TRACKMOUSEEVENT cancel{sizeof cancel, TME_CANCEL | TME_LEAVE, windowed->Handle(), 0};
  TrackMouseEvent(&cancel);
  SendMessageW(windowed->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  g_log.Clear();
  MoveTo(kX + 300, kY + 200);
  ASSERT_TRUE(WaitFor("windowed leave self"));
  EXPECT_EQ(MouseControl(), nullptr);
}

}  // namespace
