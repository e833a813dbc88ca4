// The rest of the harness on real windows: object counters catch leaks, the
// cursor helpers make a control see the mouse come and go, the modal probe
// closes a message box and a pop-up menu, the platform table can be
// overridden and recorded, and paths that end the process run in a child.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/PlatformCalls.h"
#include "support/Counters.h"
#include "support/HostWindow.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"

using namespace kv;

namespace kvtest {
namespace {

TEST(ObjectCounters, CatchALeakedBrushAndRegionByKind) {
  const TObjectBaseline baseline;
  auto brush = std::make_unique<TBrush>();
  brush->SetColor(clRed);
  ASSERT_NE(brush->Handle(), nullptr);
  HRGN region = Counted(CreateRectRgn(0, 0, 4, 4));
  const ::testing::AssertionResult leaked = baseline.Unchanged();
  ASSERT_FALSE(leaked);
  const std::string text = leaked.message();
  EXPECT_NE(text.find("brushes expected"), std::string::npos) << text;
  EXPECT_NE(text.find("regions expected"), std::string::npos) << text;
  EXPECT_EQ(text.find("fonts"), std::string::npos) << text;

  brush.reset();
  DeleteObject(Uncounted(region));
  EXPECT_TRUE(baseline.Unchanged());
}

TEST(ObjectCounters, TimersAndWindowPropertiesOfTheClassLibraryAreCounted) {
  const TObjectBaseline baseline;
  {
    Owned<TForm> form = CreateOwned<TForm>();
    form->HandleNeeded();
    TTimer* timer = Create<TTimer>(form.get());
    timer->SetOnTimer([](TObject*) {});
    timer->SetInterval(1000);
    timer->SetEnabled(true);
    EXPECT_FALSE(baseline.Unchanged());
  }
  EXPECT_TRUE(baseline.Unchanged());
}

// A control that counts the mouse coming and going.
class TWatched : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int enters = 0, leaves = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER && m.LParam == 0) ++enters;
    if (m.Msg == CM_MOUSELEAVE && m.LParam == 0) ++leaves;
    TCustomControl::Dispatch(m);
  }
};

struct Cursor : ::testing::Test {
  void SetUp() override {
    HoverOut();
    form = CreateOwned<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetBounds(kHostX, kHostY, 200, 100);
    control = Create<TWatched>(form.get());
    control->SetParent(form.get());
    control->SetBounds(20, 20, 60, 40);
    form->Show();
    ASSERT_TRUE(PumpUntilIdle());
  }
  void TearDown() override { HoverOut(); }
  Owned<TForm> form;
  TWatched* control = nullptr;
};

TEST_F(Cursor, HoverInAndOutMakeAControlSeeTheMouseEnterAndLeave) {
  HoverIn(control->Handle());
  ASSERT_TRUE(PumpUntil([&] { return control->enters == 1; }));
  HoverOut();
  ASSERT_TRUE(PumpUntil([&] { return control->leaves == 1; }));
  EXPECT_EQ(control->enters, 1);
}

TEST_F(Cursor, ClickIsSeenWhereTheCursorIs) {
  TMessageRecorder rec;
  rec.AttachWindow(control->Handle());
  DWORD downPos = 0;
  rec.Filter = [&](UINT m) {
    if (m == WM_LBUTTONDOWN) downPos = GetMessagePos();
    return m == WM_LBUTTONDOWN || m == WM_LBUTTONUP;
  };
  int clicks = 0;
  control->OnClick = [&](TObject*) { ++clicks; };
  Click(control->Handle(), {5, 7});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(SequenceIs(rec, {{WM_LBUTTONDOWN, lparam, 0, MAKELPARAM(5, 7)},
                               {WM_LBUTTONUP, lparam, 0, MAKELPARAM(5, 7)}}));
  const POINT screen = ClientToScreenPoint(control->Handle(), {5, 7});
  EXPECT_EQ(downPos, static_cast<DWORD>(MAKELONG(screen.x, screen.y)))
      << "GetMessagePos reports the cursor of the posted click";
}

TEST(ModalProbe, ClosesAMessageBoxAfterCheckingIt) {
  std::wstring seenText;
  TModalProbe probe(kDialogClass, [&](HWND box) {
    wchar_t title[64] = {};
    GetWindowTextW(box, title, 64);
    seenText = title;
  });
  MessageBoxW(nullptr, L"Probe text", L"Probe title", MB_OK);
  EXPECT_TRUE(probe.Found());
  EXPECT_EQ(seenText, L"Probe title");
}

TEST(ModalProbe, ClosesAPopupMenu) {
  THostWindow host;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"One");
  int items = -1;
  TModalProbe probe(kMenuClass, [&](HWND popup) {
    items =
        static_cast<int>(SendMessageW(popup, MN_GETHMENU, 0, 0) == reinterpret_cast<LRESULT>(menu));
  });
  const BOOL chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD, kHostX + 10, kHostY + 10, 0, host.Handle(), nullptr);
  DestroyMenu(menu);
  EXPECT_TRUE(probe.Found());
  EXPECT_EQ(items, 1) << "the probe saw our menu";
  EXPECT_EQ(chosen, 0);
}

TEST(ModalProbe, WatchdogFailsTheTestAndEndsTheLoopWhenNothingMatches) {
  EXPECT_NONFATAL_FAILURE(
      {
        TModalProbe probe(kMenuClass, nullptr, 300);
        MessageBoxW(nullptr, L"No menu here", L"Watchdog", MB_OK);
        EXPECT_TRUE(probe.TimedOut());
      },
      "no window of the class appeared");
}

TEST(PlatformSeams, OverridesEndWithTheScopeAndLayeredUpdatesAreRecorded) {
  const auto realMajor = PlatformCalls().SystemMajorVersion;
  {
    TPlatformScope scope;
    scope.Calls().IsCompositionEnabled = [] { return true; };
    scope.Calls().SystemMajorVersion = []() -> DWORD { return 5; };
    EXPECT_TRUE(PlatformCalls().IsCompositionEnabled());
    EXPECT_EQ(PlatformCalls().SystemMajorVersion(), 5u);
  }
  EXPECT_EQ(PlatformCalls().SystemMajorVersion, realMajor);

  HWND wnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, kHostX,
                             kHostY, 8, 6, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  TLayeredRecorder rec;
  HDC dc = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 6);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  const RECT all{0, 0, 8, 6};
  HBRUSH fill = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &all, fill);
  DeleteObject(fill);
  POINT src{0, 0}, pos{kHostX, kHostY};
  SIZE size{8, 6};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 128, 0};
  PlatformCalls().UpdateLayeredWindow(wnd, nullptr, &pos, &size, dc, &src, 0, &blend, ULW_ALPHA);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  DestroyWindow(wnd);
  ASSERT_EQ(rec.Updates.size(), 1u);
  const TLayeredUpdate& u = rec.Updates[0];
  EXPECT_EQ(u.wnd, wnd);
  EXPECT_EQ(u.size.cx, 8);
  EXPECT_EQ(u.alpha, 128);
  EXPECT_EQ(u.image.At(7, 5), RGB(1, 2, 3));
}

// Paths that end the process (a form's close that calls ExitProcess) run
// in a child process: GoogleTest's death tests start one.
TEST(ChildProcess, APathThatEndsTheProcessIsJudgedByItsExitCode) {
  EXPECT_EXIT(ExitProcess(7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace kvtest
