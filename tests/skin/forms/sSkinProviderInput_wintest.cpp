// The skinned form's non-client mouse and sizing under Wine, with the
// synthetic skin: hit codes at the laid-out parts, title-button press and
// release, caption and icon double-clicks, the border-mode outline drag,
// the maximised place, the system menu's Size entry and the mouse wheel over
// a skinned scroll box. A spy below the provider records what the form's
// own procedure would get and keeps the system's modal loops away.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "KeyScript.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Tabs.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProviderHitTest.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/menus/sSkinMenus_win.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

Owned<TsSkinManager> SkinnedManager(const kvtest::TTestSkinOptions& options = {}) {
  Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
  m->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& skin = m->InternalSkins.Add();
  skin.Name = "T";
  skin.Data = kvtest::TTestSkin(options).Packed();
  m->SetSkinName("T");
  return m;
}

// Sits below the provider: what reaches it is what the form's own
// procedure would get. Button-downs, double-clicks and system commands stop
// here, so no move loop, maximising or closing really happens.
class TBelow : public TComponent {
 public:
  TBelow(TComponent* owner, TControl* target) : TComponent(owner) {
    hook_ = target->InstallWindowProcHook(TWndMethod(this, &TBelow::Proc));
  }
  std::vector<WPARAM> commands;  // WM_SYSCOMMAND
  std::vector<UINT> mouse;       // non-client button messages

 private:
  void Proc(TMessage& m) {
    switch (m.Msg) {
      case WM_SYSCOMMAND:
        commands.push_back(m.WParam & 0xFFF0);
        return;
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
        mouse.push_back(m.Msg);
        return;
      case WM_NCLBUTTONUP:
        mouse.push_back(m.Msg);
        break;
      default:
        break;
    }
    hook_.CallPrevious(m);
  }
  TWindowProcHook hook_;
};

// Notes where the system menu would drop.
class TInputProvider : public TsSkinProvider {
 public:
  using TsSkinProvider::TsSkinProvider;
  std::vector<POINT> drops;
  void DropSysMenu(int x, int y) override { drops.push_back({x, y}); }
};

class FormInput : public ::testing::Test {
 protected:
  void SetUp() override { Build(Options()); }
  virtual kvtest::TTestSkinOptions Options() { return {}; }
  void Build(const kvtest::TTestSkinOptions& options) {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    savedServices_ = FormServices();
    InstallFormServices();
    // Border-mode dragging is for frames without composition.
    platform_.Calls().IsCompositionEnabled = +[] { return false; };
    manager = SkinnedManager(options);
    manager->AnimEffects.FormShow.Active = false;
    manager->AnimEffects.DialogShow.Active = false;
    form = Create<TForm>(nullptr);
    form->SetBounds(40, 40, 300, 200);
    below = Create<TBelow>(form, form);
    provider = Create<TInputProvider>(form);
    form->Show();
    kvtest::PumpUntilIdle();
  }
  void TearDown() override {
    if (GetCapture() != nullptr) ReleaseCapture();
    if (form != nullptr) form->Free();
    manager.reset();
    FormServices() = savedServices_;
  }
  HWND Wnd() { return form->Handle(); }
  RECT WindowRect() {
    RECT r{};
    GetWindowRect(Wnd(), &r);
    return r;
  }
  // A point of the window (window coordinates) on the screen.
  LPARAM At(int x, int y) {
    const RECT r = WindowRect();
    return MAKELPARAM(r.left + x, r.top + y);
  }
  TRect ButtonRect(int hitCode) {
    for (const TsPlacedTitleButton& b : provider->PlacedButtons())
      if (b.HitCode == hitCode) return b.Rect;
    ADD_FAILURE() << "no button " << hitCode;
    return {};
  }
  LPARAM AtButton(int hitCode) {
    const TRect b = ButtonRect(hitCode);
    return At((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  }
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) { return SendMessageW(Wnd(), msg, wp, lp); }

  kvtest::TPlatformScope platform_;
  Owned<TsSkinManager> manager;
  TForm* form = nullptr;
  TBelow* below = nullptr;
  TInputProvider* provider = nullptr;

 private:
  TacFormServices savedServices_{};
};

// --- hit codes ----------------------------------------------------------------------------

TEST_F(FormInput, EdgesCornersGripIconAndButtonsGiveTheirCodes) {
  provider->GripMode = gmRightBottom;
  const RECT r = WindowRect();
  const int w = r.right - r.left, h = r.bottom - r.top;
  const TRect icon = provider->Geometry().TitleIconRect();
  const TRect client = provider->Geometry().ClientRect();
  struct Case {
    const char* where;
    LPARAM point;
    LRESULT code;
    int hot;
  } cases[] = {
      {"left edge", At(1, h / 2), HTLEFT, -1},
      {"right edge", At(w - 2, h / 2), HTRIGHT, -1},
      {"top edge", At(w / 2, 0), HTTOP, -1},
      {"bottom edge", At(w / 2, h - 1), HTBOTTOM, -1},
      {"top-left", At(0, 0), HTTOPLEFT, -1},
      {"top-right", At(w - 1, 0), HTTOPRIGHT, -1},
      {"bottom-left", At(0, h - 1), HTBOTTOMLEFT, -1},
      {"bottom-right", At(w - 1, h - 1), HTBOTTOMRIGHT, -1},
      {"grip", At(client.Right - 2, client.Bottom - 2), HTBOTTOMRIGHT, 0},
      {"icon", At((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2), HTSYSMENU, 0},
      {"close", AtButton(HTCLOSE), HTCLOSE, HTCLOSE},
      {"maximise", AtButton(HTMAXBUTTON), HTMAXBUTTON, HTMAXBUTTON},
      {"minimise", AtButton(HTMINBUTTON), HTMINBUTTON, HTMINBUTTON},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, c.point), c.code);
    if (c.hot != 0)
      EXPECT_EQ(provider->HotButton(), c.hot);
    else
      EXPECT_LE(provider->HotButton(), 0) << "no button is hot";
  }
}

TEST_F(FormInput, WithoutACloseButtonItsPlaceIsCaptionAndNothingTurnsHot) {
  const TRect close = ButtonRect(HTCLOSE);
  auto* plain = Create<TForm>(form);
  plain->SetBorderIcons(biMinimize | biMaximize);
  plain->SetBounds(40, 260, 300, 200);
  auto* p = Create<TInputProvider>(plain);
  plain->Show();
  kvtest::PumpUntilIdle();
  RECT r{};
  GetWindowRect(plain->Handle(), &r);
  const LPARAM at =
      MAKELPARAM(r.left + (close.Left + close.Right) / 2, r.top + (close.Top + close.Bottom) / 2);
  EXPECT_NE(SendMessageW(plain->Handle(), WM_NCHITTEST, 0, at), HTCLOSE);
  EXPECT_EQ(p->HotButton(), 0);
}

// --- title buttons ------------------------------------------------------------------------

struct TPressCase {
  const char* name;
  int button;
  bool dragOut;     // the mouse leaves the button before the release
  bool releaseOff;  // released with the button's code but away from it
  std::vector<WPARAM> commands;
};

class TitleButtonPress : public FormInput, public ::testing::WithParamInterface<TPressCase> {};

TEST_P(TitleButtonPress, OnlyAReleaseOnThePressedButtonSendsItsCommand) {
  const TPressCase& c = GetParam();
  const LPARAM on = AtButton(c.button);
  Send(WM_NCHITTEST, 0, on);
  Send(WM_NCLBUTTONDOWN, c.button, on);
  EXPECT_TRUE(PressedButtonActive);
  if (c.dragOut) {
    Send(WM_NCHITTEST, 0, At(60, 10));
    Send(WM_NCHITTEST, 0, on);
  }
  Send(WM_NCLBUTTONUP, c.button, c.releaseOff ? At(60, 10) : on);
  EXPECT_EQ(below->commands, c.commands);
  for (UINT msg : below->mouse) EXPECT_NE(msg, UINT{WM_NCLBUTTONDOWN}) << "a system tracking loop";
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, TitleButtonPress,
    ::testing::Values(TPressCase{"Close", HTCLOSE, false, false, {SC_CLOSE}},
                      TPressCase{"CloseDraggedOut", HTCLOSE, true, false, {}},
                      TPressCase{"Maximise", HTMAXBUTTON, false, false, {SC_MAXIMIZE}},
                      TPressCase{"Minimise", HTMINBUTTON, false, false, {SC_MINIMIZE}},
                      TPressCase{"MinimiseReleasedAway", HTMINBUTTON, false, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A minimised form without the maximise icon shows its maximise button
// disabled: a press on it leaves no button pressed and does nothing.
TEST_F(FormInput, APressOnADisabledMaximiseButtonLeavesNoButtonPressed) {
  form->SetBorderIcons(biSystemMenu | biMinimize);
  ShowWindow(Wnd(), SW_MINIMIZE);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsIconic(Wnd()));
  below->commands.clear();
  Send(WM_NCLBUTTONDOWN, HTMAXBUTTON, At(5, 5));
  EXPECT_EQ(provider->HotButton(), 0);
  EXPECT_NE(provider->ButtonMax().State, 2);
  EXPECT_FALSE(PressedButtonActive);
  Send(WM_NCLBUTTONUP, HTMAXBUTTON, At(5, 5));
  EXPECT_TRUE(below->commands.empty());
  ShowWindow(Wnd(), SW_RESTORE);
  kvtest::PumpUntilIdle();
}

TEST_F(FormInput, ACaptionDoubleClickMaximisesOnlyAFormThatMayMaximise) {
  Send(WM_NCLBUTTONDBLCLK, HTCAPTION, At(60, 10));
  form->SetBorderIcons(biSystemMenu | biMinimize);
  Send(WM_NCLBUTTONDBLCLK, HTCAPTION, At(60, 10));
  EXPECT_EQ(below->commands, std::vector<WPARAM>{SC_MAXIMIZE});
  EXPECT_TRUE(below->mouse.empty()) << "the system would maximise on its own";
}

// --- the title icon -----------------------------------------------------------------------

TEST_F(FormInput, WithSkinnedPopupsTheIconDropsTheMenuAtOnceUnderIt) {
  manager->SetSkinnedPopups(true);
  const TRect icon = provider->Geometry().TitleIconRect();
  const RECT r = WindowRect();
  Send(WM_NCLBUTTONDOWN, HTSYSMENU, At(icon.Left + 1, icon.Top + 1));
  ASSERT_EQ(provider->drops.size(), 1u);
  EXPECT_EQ(provider->drops[0].x, r.left + icon.Left);
  EXPECT_EQ(provider->drops[0].y, r.top + icon.Bottom);
  Send(WM_NCRBUTTONUP, HTCAPTION, At(80, 12));
  ASSERT_EQ(provider->drops.size(), 2u) << "a right click on the caption drops it at the mouse";
  EXPECT_EQ(provider->drops[1].x, r.left + 80);
}

// With a border window the icon is the one in its picture: a press on it
// there drops the menu right under it.
TEST_F(FormInput, WithABorderWindowTheIconDropsTheMenuUnderTheIconShown) {
  manager->SetSkinnedPopups(true);
  manager->SetExtendedBorders(true);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(provider->HasBorderForm());
  HWND border = provider->BorderFormWindow();
  RECT b{};
  GetWindowRect(border, &b);
  const TRect icon = provider->Geometry().TitleIconRect();
  const LPARAM at = MAKELPARAM(b.left + icon.Left + 2, b.top + icon.Top + 2);
  ASSERT_EQ(SendMessageW(border, WM_NCHITTEST, 0, at), HTOBJECT);
  SendMessageW(border, WM_NCLBUTTONDOWN, HTOBJECT, at);
  ASSERT_EQ(provider->drops.size(), 1u);
  EXPECT_EQ(provider->drops[0].x, b.left + icon.Left);
  EXPECT_EQ(provider->drops[0].y, b.top + icon.Bottom);
  manager->SetExtendedBorders(false);
}

// The wait for a double-click pumps messages; a clock that runs ahead ends
// it after one round, in which the second click is already queued.
DWORD FastTicks() {
  static DWORD ticks = 0;
  return ticks += 1000;
}

TEST_F(FormInput, WithTheSystemsPopupsADoubleClickOnTheIconClosesInsteadOfDropping) {
  manager->SetSkinnedPopups(false);
  platform_.Calls().TickCount = FastTicks;
  const TRect icon = provider->Geometry().TitleIconRect();
  const LPARAM at = At(icon.Left + 1, icon.Top + 1);
  Send(WM_NCLBUTTONDOWN, HTSYSMENU, at);
  EXPECT_EQ(provider->drops.size(), 1u) << "alone, the click drops the menu after the wait";

  PostMessageW(Wnd(), WM_NCLBUTTONDBLCLK, HTSYSMENU, at);
  Send(WM_NCLBUTTONDOWN, HTSYSMENU, at);
  EXPECT_EQ(provider->drops.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(Wnd())) << "closed";
}

// --- border-mode drag ---------------------------------------------------------------------

struct TDragCase {
  const char* name;
  int code;
  POINT press;               // window coordinates; negative: from the right or bottom
  std::vector<POINT> moves;  // offsets from the press point
  int dx, dy, dw, dh;        // expected change of the window
};

class BorderDrag : public FormInput, public ::testing::WithParamInterface<TDragCase> {};

TEST_P(BorderDrag, TheOutlineEndsWhereTheMouseLetGo) {
  const TDragCase& c = GetParam();
  provider->ResizeMode = rmBorder;
  const RECT before = WindowRect();
  const int w = before.right - before.left, h = before.bottom - before.top;
  const POINT press{c.press.x < 0 ? w + c.press.x : c.press.x,
                    c.press.y < 0 ? h + c.press.y : c.press.y};
  EXPECT_EQ(Send(WM_NCHITTEST, 0, At(press.x, press.y)), c.code);
  Send(WM_NCLBUTTONDOWN, c.code, At(press.x, press.y));
  ASSERT_TRUE(BorderDragActive);
  EXPECT_EQ(GetCapture(), Wnd());
  for (const POINT& d : c.moves) {
    POINT p{before.left + press.x + d.x, before.top + press.y + d.y};
    ScreenToClient(Wnd(), &p);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  }
  Send(WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(BorderDragActive);
  EXPECT_EQ(GetCapture(), nullptr);
  const RECT after = WindowRect();
  EXPECT_EQ(after.left - before.left, c.dx);
  EXPECT_EQ(after.top - before.top, c.dy);
  EXPECT_EQ((after.right - after.left) - w, c.dw);
  EXPECT_EQ((after.bottom - after.top) - h, c.dh);
  EXPECT_TRUE(below->mouse.empty()) << "the system's own loop would run first";
}

INSTANTIATE_TEST_SUITE_P(
    Drags, BorderDrag,
    ::testing::Values(TDragCase{"Move", HTCAPTION, {60, 10}, {{5, 5}, {25, 15}}, 25, 15, 0, 0},
                      TDragCase{"SizeRight", HTRIGHT, {-2, 100}, {{0, 0}, {30, 0}}, 0, 0, 30, 0},
                      TDragCase{
                          "SizeTopLeft", HTTOPLEFT, {0, 0}, {{0, 0}, {-10, -20}}, -10, -20, 10, 20},
                      TDragCase{"SizeWithoutAMove", HTBOTTOM, {150, -1}, {}, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Move and Size from a menu in border mode drag the outline, not the
// system's loop; Size without an edge takes the bottom-right corner.
TEST_F(FormInput, MoveAndSizeCommandsInBorderModeDragTheOutline) {
  provider->ResizeMode = rmBorder;
  for (const WPARAM command : {WPARAM{SC_MOVE}, WPARAM{SC_SIZE}}) {
    SCOPED_TRACE(command);
    const RECT before = WindowRect();
    SetCursorPos(before.left + 100, before.top + 60);
    Send(WM_SYSCOMMAND, command, 0);
    ASSERT_TRUE(BorderDragActive);
    EXPECT_EQ(GetCapture(), Wnd());
    for (const POINT d : {POINT{0, 0}, POINT{20, 10}}) {
      POINT p{before.left + 100 + d.x, before.top + 60 + d.y};
      ScreenToClient(Wnd(), &p);
      Send(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    Send(WM_LBUTTONUP, 0, 0);
    const RECT after = WindowRect();
    const bool moving = command == SC_MOVE;
    EXPECT_EQ(after.left - before.left, moving ? 20 : 0);
    EXPECT_EQ(after.right - before.right, 20);
    EXPECT_EQ(after.bottom - before.bottom, 10);
  }
  EXPECT_TRUE(below->commands.empty()) << "the system's own loop would run";
  kvtest::HoverOut();  // the cursor away from later tests' windows
}

// A title button pressed and then held by a modal loop (a menu its
// mouse-down opened) is released when the loop goes idle: its mouse-up
// comes and it does not stay pressed.
TEST_F(FormInput, AModalLoopOpenedByATitleButtonReleasesIt) {
  manager->SetAllowGlowing(false);
  TsTitleButtons buttons;
  buttons.Items.resize(1);
  bool upWhileMenuOpen = false;
  buttons.Items[0].OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    // The menu goes once the release came (a timer ticks only when the
    // loop has gone idle), or, failing, after a while.
    const ULONGLONG deadline = GetTickCount64() + 3000;
    kvtest::TKeyScript closer(Wnd(), [&](auto&) {
      if (!upWhileMenuOpen && GetTickCount64() < deadline) return false;
      EndMenu();
      return true;
    });
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Item");
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, Wnd(), nullptr);
    DestroyMenu(menu);
  };
  buttons.Items[0].OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
    upWhileMenuOpen = kvtest::FindThreadWindow(kvtest::kMenuClass) != nullptr;
  };
  provider->SetTitleButtons(buttons);
  provider->LoadTitleButtonMasks();
  provider->RepaintFrameNow();
  Send(WM_NCLBUTTONDOWN, TitleHit::FirstUser, AtButton(TitleHit::FirstUser));
  EXPECT_TRUE(upWhileMenuOpen);
  EXPECT_FALSE(PressedButtonActive);
  EXPECT_NE(provider->ButtonRecord(TitleHit::FirstUser)->State, 2);
}

// Maximised or restored by a command, the maximise button (now with the
// other picture) is no longer hot.
TEST_F(FormInput, MaximiseAndRestoreLeaveTheMaximiseButtonAtRest) {
  manager->SetAllowGlowing(false);
  for (const WPARAM command : {WPARAM{SC_MAXIMIZE}, WPARAM{SC_RESTORE}}) {
    provider->SetHotButton(HTMAXBUTTON, true);
    ASSERT_EQ(provider->ButtonMax().State, 1);
    Send(WM_SYSCOMMAND, command, 0);
    EXPECT_EQ(provider->HotButton(), 0) << command;
    EXPECT_EQ(provider->ButtonMax().State, 0) << command;
  }
}

// A form dragged by its client (a press that starts a move by the
// caption): the release that follows is no click.
TEST_F(FormInput, APressThatStartsADragByTheCaptionIsNoClick) {
  int clicks = 0;
  form->OnClick = [&](TObject*) { ++clicks; };
  bool drag = false;
  form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    if (drag) form->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  };
  for (const bool dragging : {false, true}) {
    drag = dragging;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  }
  EXPECT_EQ(clicks, 1) << "only the press that dragged nothing clicks";
  ASSERT_EQ(below->commands.size(), 1u);
  EXPECT_EQ(below->commands[0], WPARAM{SC_MOVE}) << "the drag itself goes on";
}

TEST_F(FormInput, LosingTheMouseEndsTheOutlineAndLeavesTheForm) {
  provider->ResizeMode = rmBorder;
  const RECT before = WindowRect();
  Send(WM_NCLBUTTONDOWN, HTCAPTION, At(60, 10));
  POINT p{before.left + 90, before.top + 40};
  ScreenToClient(Wnd(), &p);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  ReleaseCapture();
  EXPECT_FALSE(BorderDragActive);
  const RECT after = WindowRect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

// --- maximised place, system menu, wheel --------------------------------------------------

// TITLEHEIGHT is 24: the maximised title as high, and 8 pixels lower.
class MaximisedForm : public FormInput, public ::testing::WithParamInterface<const char*> {
  kvtest::TTestSkinOptions Options() override {
    return {.Keys = {{"GLOBALINFO", "MAXHEIGHT", GetParam()}}};
  }
};

// Exactly the work area shows, and in it the whole title icon and buttons.
TEST_P(MaximisedForm, ShowsExactlyTheWorkAreaAndTheWholeTitle) {
  MINMAXINFO info{};
  Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  ShowWindow(Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  const RECT r = WindowRect();
  EXPECT_EQ(r.right - r.left, info.ptMaxSize.x);
  EXPECT_EQ(r.bottom - r.top, info.ptMaxSize.y);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Wnd(), region), ERROR);
  RECT box{};
  GetRgnBox(region, &box);
  DeleteObject(region);
  const TRect work = TScreen::MonitorWorkArea(Wnd());
  EXPECT_EQ(r.top + box.top, work.Top) << "the window's first row shown";
  const TRect shown = Rect(box.left, box.top, box.right, box.bottom);
  const auto inside = [&](const TRect& part) {
    TRect common{};
    return IntersectRect(common, part, shown) && common == part;
  };
  EXPECT_TRUE(inside(provider->TitleIconRect()));
  ASSERT_FALSE(provider->PlacedButtons().empty());
  for (const TsPlacedTitleButton& b : provider->PlacedButtons())
    EXPECT_TRUE(inside(b.Rect)) << b.HitCode;
  OffsetRect(&box, r.left, r.top);
  EXPECT_EQ(box.left, work.Left);
  EXPECT_EQ(box.top, work.Top);
  EXPECT_EQ(box.right, work.Right);
  EXPECT_EQ(box.bottom, work.Bottom);
}

INSTANTIATE_TEST_SUITE_P(MaxHeights, MaximisedForm, ::testing::Values("24", "16"),
                         [](const auto& info) { return "MaxHeight" + std::string(info.param); });

TEST_F(FormInput, TheWindowsOwnSystemMenuCannotSizeTheFrame) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, SC_SIZE, L"Size");
  Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
  EXPECT_NE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  DestroyMenu(menu);
}

// A scroll box as the skinned one will say it is.
class TWheelBox : public TScrollBox {
 public:
  TWheelBox(TComponent* owner, std::uint16_t capabilities) : TScrollBox(owner), data_(this, false) {
    data_.Capabilities = capabilities;
  }
  std::vector<int> deltas;
  bool DoMouseWheel(TShiftState, int delta, TPoint) override {
    deltas.push_back(delta);
    return true;
  }

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdGetSkinData) {
      m.Result = reinterpret_cast<LRESULT>(&data_);
      return;
    }
    TScrollBox::WndProc(m);
  }

 private:
  TsCommonData data_;
};

TEST_F(FormInput, TheWheelGoesToANestedScrollBoxUnderTheCursorThatTakesIt) {
  for (const std::uint16_t caps :
       {std::uint16_t{ccScrollBox | ccAutoMouseWheel}, std::uint16_t{ccScrollBox}}) {
    SCOPED_TRACE(caps);
    auto* panel = Create<TPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 200, 120);
    auto* box = Create<TWheelBox>(form, caps);
    box->SetParent(panel);
    box->SetBounds(20, 20, 120, 80);
    kvtest::PumpUntilIdle();
    POINT centre{60, 40};
    ClientToScreen(box->Handle(), &centre);
    SetCursorPos(centre.x, centre.y);
    const LRESULT taken =
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
    if (caps & ccAutoMouseWheel) {
      EXPECT_EQ(box->deltas, std::vector<int>{-WHEEL_DELTA});
      EXPECT_EQ(taken, 1);
    } else {
      EXPECT_TRUE(box->deltas.empty());
    }
    box->Free();
    panel->Free();
  }
  kvtest::HoverOut();  // the cursor away from later tests' windows
}

// With the skin gone the form is plain, and its scroll box still takes
// the wheel under the cursor.
TEST_F(FormInput, WithoutASkinTheWheelStillReachesTheScrollBox) {
  auto* box = Create<TWheelBox>(form, std::uint16_t{ccScrollBox | ccAutoMouseWheel});
  box->SetParent(form);
  box->SetBounds(20, 20, 120, 80);
  manager->SetActive(false);
  kvtest::PumpUntilIdle();
  POINT centre{60, 40};
  ClientToScreen(box->Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
  EXPECT_EQ(box->deltas, std::vector<int>{-WHEEL_DELTA});
  kvtest::HoverOut();
}

// A flat button as the skinned speed button says it is: its hover can be
// taken by its container.
class THoverButton : public TPanel {
 public:
  explicit THoverButton(TComponent* owner) : TPanel(owner), data_(this, false) {
    data_.Capabilities = ccHoverResettable;
    data_.MouseAbove = true;
  }
  int leaves = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdGetSkinData) {
      m.Result = reinterpret_cast<LRESULT>(&data_);
      return;
    }
    if (m.Msg == CM_MOUSELEAVE) {
      ++leaves;
      data_.MouseAbove = false;
    }
    TPanel::WndProc(m);
  }

 private:
  TsCommonData data_;
};

// The mouse entering the form (or a control on it) takes the hover from a
// flat button that missed its own leave, but not from the one entered.
TEST_F(FormInput, TheMouseEnteringTakesTheHoverFromFlatButtons) {
  auto* missed = Create<THoverButton>(form);
  missed->SetParent(form);
  auto* entered = Create<THoverButton>(form);
  entered->SetParent(form);
  form->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(entered)));
  EXPECT_EQ(missed->leaves, 1);
  EXPECT_EQ(entered->leaves, 0);
}

// What lies at the client's right edge is painted again when the form
// shrinks, where the system keeps what is left of the client as it was:
// the size grip, the pictures tied to the right corners, and a gradient,
// which covers the whole client.
struct TAnchoredCase {
  const char* name;
  kvtest::TTestSkinOptions options;
  bool grip;
  bool topRight;  // a picture in the top-right corner
  bool whole;     // the whole client
};

void PrintTo(const TAnchoredCase& c, std::ostream* os) { *os << c.name; }

class AnchoredResize : public FormInput, public ::testing::WithParamInterface<TAnchoredCase> {
  kvtest::TTestSkinOptions Options() override { return GetParam().options; }
};

TEST_P(AnchoredResize, ShrinkingRepaintsWhatFollowsTheRightEdge) {
  const TAnchoredCase& c = GetParam();
  if (c.grip) provider->GripMode = gmRightBottom;
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ValidateRect(Wnd(), nullptr);
  const RECT w = WindowRect();
  SetWindowPos(Wnd(), nullptr, 0, 0, w.right - w.left - 30, w.bottom - w.top - 20,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Wnd(), update, FALSE);
  RECT now{};
  GetClientRect(Wnd(), &now);
  EXPECT_TRUE(PtInRegion(update, now.right - 2, now.bottom - 2)) << "bottom right";
  EXPECT_EQ(PtInRegion(update, now.right - 2, 2) != FALSE, c.topRight || c.whole) << "top right";
  EXPECT_EQ(PtInRegion(update, 2, now.bottom / 2) != FALSE, c.whole) << "left side";
  DeleteObject(update);
}

INSTANTIATE_TEST_SUITE_P(
    Provider, AnchoredResize,
    ::testing::Values(TAnchoredCase{"Grip", {}, true, false, false},
                      TAnchoredCase{"CornerImages", {.CornerImages = {"FORM"}}, false, true, false},
                      TAnchoredCase{"Gradient", {.Gradient = {"FORM"}}, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A pop-up menu the form got from elsewhere (not one of its own
// components, which the skin switched with the form's menus) drops
// skinned at a right-click on the form.
TEST_F(FormInput, ARightClickDropsTheFormsBorrowedPopupMenuSkinned) {
  manager->SetSkinnedPopups(true);
  auto* popup = Create<TPopupMenu>(nullptr);
  auto* item = Create<TMenuItem>(popup);
  item->SetCaption("Item");
  popup->Items()->Add(item);
  form->SetPopupMenu(popup);
  ASSERT_FALSE(MenuInUse());
  bool skinnedWhileOpen = false;
  const ULONGLONG deadline = GetTickCount64() + 3000;
  kvtest::TKeyScript closer(Wnd(), [&](auto&) {
    if (kvtest::FindThreadWindow(kvtest::kMenuClass) == nullptr) return false;
    skinnedWhileOpen = MenuInUse();
    if (!skinnedWhileOpen && GetTickCount64() < deadline) return false;
    EndMenu();
    return true;
  });
  const POINT at{60, 60};
  const POINT screen = kvtest::ClientToScreenPoint(Wnd(), at);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(Wnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageW(Wnd(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(pump::PumpUntil([&] { return closer.Sent(); }));
  EXPECT_TRUE(skinnedWhileOpen);
  EXPECT_TRUE(popup->OwnerDraw());
  form->SetPopupMenu(nullptr);
  popup->Free();
  kvtest::PumpUntilIdle();
  kvtest::HoverOut();
}

// A page control the program keeps plain passes on no word of the
// controls it makes for a page when that page is first shown: they are
// skinned when the tab's click has shown the page.
TEST_F(FormInput, ControlsMadeForAPageShownByItsTabAreSkinned) {
  auto* pages = Create<TPageControl>(form);
  pages->SetTag(-98);  // kept out of the skin
  pages->SetParent(form);
  pages->SetBounds(10, 10, 260, 140);
  auto* first = Create<TTabSheet>(form);
  first->SetPageControl(pages);
  auto* second = Create<TTabSheet>(form);
  second->SetPageControl(pages);
  pages->SetActivePage(first);
  TMemo* memo = nullptr;
  pages->OnChange = [&](TObject*) {
    if (pages->ActivePage() != second || memo != nullptr) return;
    memo = Create<TMemo>(form);
    memo->SetBounds(5, 5, 120, 60);
    memo->SetParent(second);
  };
  kvtest::PumpUntilIdle();
  const TRect tab = pages->TabRect(1);
  kvtest::Click(pages->Handle(), {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
  ASSERT_TRUE(pump::PumpUntil([&] { return memo != nullptr; }));
  ASSERT_TRUE(memo->HandleAllocated());
  ASSERT_NE(provider->Adapter(), nullptr);
  EXPECT_NE(provider->Adapter()->ItemOf(memo), nullptr);
  EXPECT_EQ(SendMessageW(memo->Handle(), SM_ALPHACMD, CommandWParam(cmdIsSkinned), 0), 1);
  kvtest::HoverOut();
}

// Controls put on a page of such a page control while the form was hidden
// are skinned when the form shows again with its frame to be repainted
// (here after a change of the system's settings).
TEST_F(FormInput, ControlsAddedWhileTheFormWasHiddenAreSkinnedWhenItShows) {
  form->Hide();
  kvtest::PumpUntilIdle();
  auto* pages = Create<TPageControl>(form);
  pages->SetTag(-98);  // kept out of the skin
  pages->SetParent(form);
  pages->SetBounds(10, 10, 260, 140);
  auto* sheet = Create<TTabSheet>(form);
  sheet->SetPageControl(pages);
  auto* memo = Create<TMemo>(form);
  memo->SetBounds(5, 5, 120, 60);
  memo->SetParent(sheet);
  SendMessageW(Wnd(), WM_SETTINGCHANGE, 0, 0);
  form->Show();
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(memo->HandleAllocated());
  ASSERT_NE(provider->Adapter(), nullptr);
  EXPECT_NE(provider->Adapter()->ItemOf(memo), nullptr);
}

}  // namespace
}  // namespace kv
