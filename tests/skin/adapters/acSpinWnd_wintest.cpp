// The up-down adapter on a real up-down control: two skinned halves with
// the skin's arrows, the half under the pointer hot or pressed, and both
// normal again once the pointer leaves.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acSpinWnd_win.h"
#include "skin/core/sMessages.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kWidth = 30, kHeight = 60;
constexpr RECT kFirst{0, 0, kWidth, kHeight / 2}, kSecond{0, kHeight / 2, kWidth, kHeight};

class SpinWnd : public kvtest::AdapterFixture {
 protected:
  void SetUp() override {
    AdapterFixture::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override {
    kvtest::HoverOut();
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    AdapterFixture::TearDown();
  }
  void Make(DWORD style) {
    wnd = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 40, 40, kWidth,
                          kHeight, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(wnd, UDM_SETRANGE32, 0, 100);
    SendMessageW(wnd, UDM_SETPOS32, 0, 50);
    adapter = CreateSpinAdapter(wnd, nullptr, manager.get(), "UPDOWNBTN", true);
  }
  TPixels Shown() {
    pump::PumpUntilIdle();
    return TPixels::FromClient(wnd);
  }
  COLORREF Look(int state) const { return Legend("UPDOWNBTN", "BORDERSMASK", state); }

  HWND wnd = nullptr;
  TacMainWnd* adapter = nullptr;
};

TEST_F(SpinWnd, BothHalvesAreSkinnedButtonsWithTheirArrows) {
  Make(0);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels shown = Shown();
  EXPECT_GT(shown.CountOf(Look(0), kFirst), 0);
  EXPECT_GT(shown.CountOf(Look(0), kSecond), 0);
  EXPECT_GT(shown.CountOf(Legend("SCROLLBTNTOP", "GLYPHMASK"), {0, 0, kWidth, kHeight / 2}), 0);
  EXPECT_GT(
      shown.CountOf(Legend("SCROLLBTNBOTTOM", "GLYPHMASK"), {0, kHeight / 2, kWidth, kHeight}), 0);
}

TEST_F(SpinWnd, AHorizontalOneHasLeftAndRightArrows) {
  Make(UDS_HORZ);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels shown = Shown();
  EXPECT_GT(shown.CountOf(Legend("SCROLLBTNLEFT", "GLYPHMASK"), {0, 0, kWidth / 2, kHeight}), 0);
  EXPECT_GT(shown.CountOf(Legend("SCROLLBTNRIGHT", "GLYPHMASK"), {kWidth / 2, 0, kWidth, kHeight}),
            0);
}

TEST_F(SpinWnd, TheHalfUnderThePointerIsHotOrPressedAndNormalOnceItLeaves) {
  Make(0);
  const POINT second{kWidth / 2, 3 * kHeight / 4};
  kvtest::MouseMove(wnd, second);
  EXPECT_TRUE(
      pump::PumpUntil([&] { return TPixels::FromClient(wnd).CountOf(Look(1), kSecond) > 0; }));
  EXPECT_EQ(0, Shown().CountOf(Look(1), kFirst));
  kvtest::MouseDown(wnd, second);
  TPixels shown = Shown();
  EXPECT_GT(shown.CountOf(Look(2), kSecond), 0);
  EXPECT_GT(shown.CountOf(Look(0), kFirst), 0);
  EXPECT_EQ(0, shown.CountOf(Look(2), kFirst));
  kvtest::MouseUp(wnd, second);
  // Leaving is only known through the mouse-leave notice.
  kvtest::HoverOut();
  EXPECT_TRUE(
      pump::PumpUntil([&] { return TPixels::FromClient(wnd).CountOf(Look(0), kSecond) > 0; }));
}

// A press whose capture is taken away (a message box, Alt+Tab) gets no
// release: it ends there, and the half is only hot when the pointer is back.
TEST_F(SpinWnd, APressLosingTheCaptureEndsThere) {
  Make(0);
  const POINT first{kWidth / 2, kHeight / 4}, second{kWidth / 2, 3 * kHeight / 4};
  kvtest::MouseDown(wnd, second);
  ASSERT_GT(Shown().CountOf(Look(2), kSecond), 0);
  SetCapture(host->Handle());
  ReleaseCapture();
  kvtest::MouseMove(wnd, first);
  kvtest::MouseMove(wnd, second);
  const TPixels shown = Shown();
  EXPECT_EQ(0, shown.CountOf(Look(2), kSecond));
  EXPECT_GT(shown.CountOf(Look(1), kSecond), 0);
}

TEST_F(SpinWnd, TheSkinGoneTheUpDownPaintsItself) {
  Make(0);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_GT(Shown().CountOf(Look(0), {0, 0, kWidth, kHeight}), 0);
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved),
               reinterpret_cast<LPARAM>(manager.get()));
  manager->SetActive(false);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(0, Shown().CountOf(Look(0), {0, 0, kWidth, kHeight}));
}

// The system up-down may track the pointer itself; a window that does not
// shows that the adapter asks for the notice on its own.
TEST_F(SpinWnd, AsksForTheMouseLeaveNoticeItDependsOn) {
  wnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 40, 40, kWidth,
                        kHeight, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  adapter = CreateSpinAdapter(wnd, nullptr, manager.get(), "UPDOWNBTN", true);
  kvtest::MouseMove(wnd, {kWidth / 2, kHeight / 4});
  TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
  ASSERT_TRUE(TrackMouseEvent(&query));
  EXPECT_EQ(wnd, query.hwndTrack);
  EXPECT_NE(0u, query.dwFlags & TME_LEAVE);
}

}  // namespace
}  // namespace kv
