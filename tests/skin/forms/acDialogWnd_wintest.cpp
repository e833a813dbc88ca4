// The dialog adapter under Wine with the synthetic skin: the frame it paints,
// its hit codes and title-button states, what it leaves to the system, its
// system menu and brush, a real message box, and its clean-up.
#include <gtest/gtest.h>
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "KeyScript.h"
#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "classlib/ExtCtrls.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/graphics/acGlow.h"
#include "support/Counters.h"
#include "support/HostWindow.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TDialogItem;
using kvtest::TPixels;
using kvtest::TTestDialog;

constexpr DWORD kMessageBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr DWORD kSizeableStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;

class DialogAdapter : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  explicit DialogAdapter(const kvtest::TTestSkinOptions& options = {})
      : TSkinnedFormFixture(options) {
    // These tests attach the adapter themselves; the dialog hook only wraps the children.
    DialogAdapterFactory = nullptr;
  }
  void TearDown() override {
    hooked_.reset();
    dialog_.reset();
  }
  TacDialogWnd* Open(DWORD style, DWORD exStyle = 0, std::vector<TDialogItem> items = {}) {
    dialog_ = std::make_unique<TTestDialog>(style, exStyle, L"Dialog", items);
    EXPECT_NE(dialog_->Handle(), nullptr);
    hooked_ = NewDialogWnd(dialog_->Handle(), manager.get());
    kvtest::PumpUntilIdle();
    // Test programs share the desktop: the dialog is told it is active.
    SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
    return DialogWndOf(hooked_.get());
  }
  HWND Wnd() const { return dialog_->Handle(); }
  TacDialogWnd* Adapter() const { return DialogWndOf(hooked_.get()); }
  kvtest::TDialogLog& Log() { return dialog_->Log; }
  // A window point as the screen point the mouse messages carry.
  LPARAM ScreenAt(TPoint p) const {
    RECT r{};
    GetWindowRect(Wnd(), &r);
    return MAKELPARAM(r.left + p.X, r.top + p.Y);
  }
  TPoint Centre(const TRect& r) const { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  const TsPlacedTitleButton* Button(int hitCode) {
    for (const TsPlacedTitleButton& b : Adapter()->PlacedButtons())
      if (b.HitCode == hitCode) return &b;
    return nullptr;
  }
  int HitAt(TPoint p) {
    return static_cast<int>(SendMessageW(Wnd(), WM_NCHITTEST, 0, ScreenAt(p)));
  }
  TPixels Cache() { return TPixels::FromBitmap(*Adapter()->SkinData->CacheBmp); }
  COLORREF Legend(const std::string& section, const std::string& key, int state = 0) const {
    return static_cast<COLORREF>(skin.Colour(section, key, state));
  }

  std::unique_ptr<TTestDialog> dialog_;
  std::unique_ptr<TacHookedWindow> hooked_;
};

TEST_F(DialogAdapter, IsMarkedAndAnswersAsSkinned) {
  TacDialogWnd* adapter = Open(kMessageBoxStyle);
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(GetPropW(Wnd(), acAdapterProperty), static_cast<TacMainWnd*>(adapter));
  EXPECT_EQ(SendCommandToWindow(Wnd(), cmdIsSkinned, 0), 1);
  EXPECT_EQ(adapter->SkinData->SkinSection(), "DIALOG");
  // The frame shows its own button and menu instead of the system's.
  EXPECT_EQ(GetWindowLongW(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Wnd(), region), ERROR) << "the skin's corners are cut";
  hooked_.reset();
  EXPECT_EQ(GetPropW(Wnd(), acAdapterProperty), nullptr);
  EXPECT_NE(GetWindowLongW(Wnd(), GWL_STYLE) & WS_SYSMENU, 0) << "the style comes back";
  EXPECT_EQ(GetWindowRgn(Wnd(), region), ERROR) << "and the system's shape";
  DeleteObject(region);
}

TEST_F(DialogAdapter, PaintsTheDialogFrameTitleAndCloseButton) {
  TacDialogWnd* adapter = Open(kMessageBoxStyle);
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->BorderStyle, bsNone);  // a modal frame: small masks
  const TsPlacedTitleButton* close = Button(TitleHit::Close);
  ASSERT_NE(close, nullptr);
  ASSERT_EQ(adapter->PlacedButtons().size(), 1u) << "a message box shows only its close button";
  const TPixels window = TPixels::FromWindow(Wnd());
  const TPoint c = Centre(close->Rect);
  EXPECT_EQ(ItemAt(window, c.X, c.Y), "GLOBALINFO.SICONCLOSE#0");
  EXPECT_EQ(SectionAt(window, window.Width() - 40, 2), "FORMTITLE");
  // The caption's plate sits in the title band, left of the buttons.
  const RECT plate = window.BoundsOf(Legend("CAPTION", "BORDERSMASK", 1));
  EXPECT_LT(plate.left, plate.right) << "no caption plate";
  EXPECT_GE(plate.top, 0);
  EXPECT_LE(plate.bottom, adapter->Geometry().TitleBandBottom());
  EXPECT_LT(plate.right, close->Rect.Left);
  EXPECT_EQ(SectionAt(window, 1, window.Height() / 2), "DIALOG") << "left border";
  EXPECT_EQ(SectionAt(window, window.Width() / 2, window.Height() - 1), "DIALOG") << "bottom";
  const TPixels client = TPixels::FromClient(Wnd());
  EXPECT_EQ(ItemAt(client, client.Width() / 2, client.Height() / 2), "DIALOG.COLOR#0");
}

TEST_F(DialogAdapter, TellsChildrenItsBackgroundAndFrame) {
  TacDialogWnd* adapter = Open(kMessageBoxStyle);
  TsBgRequest request;
  ASSERT_TRUE(GetWindowBackgroundInfo(request, Wnd(), false));
  EXPECT_EQ(request.BgType, btColor);
  EXPECT_EQ(ColorToRGB(request.Color), Legend("DIALOG", "COLOR"));
  const TsFrameGeometry g = adapter->Geometry();
  POINT origin{0, 0};
  ClientToScreen(Wnd(), &origin);
  RECT w{};
  GetWindowRect(Wnd(), &w);
  EXPECT_EQ(g.ClientLeftOffset(), origin.x - w.left);
  EXPECT_EQ(g.ClientTopOffset(), origin.y - w.top);
  EXPECT_EQ(SendCommandToWindow(Wnd(), cmdGetFrameSizes, 0),
            MAKELONG(origin.x - w.left, origin.y - w.top));
}

TEST_F(DialogAdapter, ChildrenKeepTheirOwnBackgroundButGroupBoxesDoNot) {
  Open(
      kMessageBoxStyle, 0,
      {{L"Button", BS_PUSHBUTTON, 10, 10, 50, 14, 1}, {L"Button", BS_GROUPBOX, 90, 10, 60, 40, 2}});
  HDC dc = GetDC(Wnd());
  // A colour the client background would cover.
  RECT client{};
  GetClientRect(Wnd(), &client);
  HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &client, marker);
  DeleteObject(marker);
  SendMessageW(Wnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  auto inside = [&](int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(Wnd(), id), &r);
    MapWindowPoints(nullptr, Wnd(), reinterpret_cast<POINT*>(&r), 2);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const POINT button = inside(1), group = inside(2);
  EXPECT_EQ(GetPixel(dc, button.x, button.y), RGB(1, 2, 3)) << "left to the push button";
  EXPECT_EQ(GetPixel(dc, group.x, group.y), Legend("DIALOG", "COLOR"));
  ReleaseDC(Wnd(), dc);
}

TEST_F(DialogAdapter, AnswersItsButtonsAndIconAndLeavesTheRestToTheSystem) {
  TacDialogWnd* adapter = Open(kSizeableStyle, WS_EX_CONTEXTHELP);
  ASSERT_NE(adapter, nullptr);
  for (const int code :
       {TitleHit::Close, TitleHit::MaxButton, TitleHit::MinButton, TitleHit::Help}) {
    const TsPlacedTitleButton* b = Button(code);
    ASSERT_NE(b, nullptr) << "button " << code;
    EXPECT_EQ(HitAt({b->Rect.Left, b->Rect.Top}), code);
    EXPECT_EQ(HitAt({b->Rect.Right - 1, b->Rect.Bottom - 1}), code);
  }
  const TRect icon = adapter->TitleIconRect();
  EXPECT_EQ(HitAt(Centre(icon)), HTSYSMENU);
  RECT r{};
  GetWindowRect(Wnd(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(HitAt({w / 2, 10}), HTCAPTION);
  EXPECT_EQ(HitAt({1, h / 2}), HTLEFT);
  EXPECT_EQ(HitAt({w - 1, h - 1}), HTBOTTOMRIGHT);
  EXPECT_EQ(HitAt({w / 2, h / 2}), HTCLIENT);
}

// A press on the caption or a border reaches the dialog with its own code,
// so that the system drags and sizes it.
TEST_F(DialogAdapter, CaptionAndBorderPressesStayTheSystems) {
  Open(kSizeableStyle);
  RECT r{};
  GetWindowRect(Wnd(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt({w / 2, 10}));
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTLEFT, ScreenAt({1, h / 2}));
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, ScreenAt({w - 1, h - 1}));
  EXPECT_EQ(Log().NcLButtonDowns, (std::vector<WPARAM>{HTCAPTION, HTLEFT, HTBOTTOMRIGHT}));
}

// A maximised dialog is not dragged: a press on its title reaches neither
// the system nor the dialog, and focuses the dialog only when inactive.
TEST_F(DialogAdapter, APressOnAZoomedDialogsTitleOnlyFocusesIt) {
  Open(kSizeableStyle, 0, {{L"Button", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 50, 14, 1}});
  ShowWindow(Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  ASSERT_TRUE(IsZoomed(Wnd()));
  RECT r{};
  GetWindowRect(Wnd(), &r);
  for (const bool active : {true, false}) {
    SendMessageW(Wnd(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    SetFocus(nullptr);
    Log() = {};
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTCAPTION, ScreenAt({(r.right - r.left) / 2, 10}));
    EXPECT_TRUE(Log().NcLButtonDowns.empty()) << "active " << active;
    EXPECT_TRUE(Log().SysCommands.empty()) << "active " << active;
    const HWND focus = GetFocus();
    EXPECT_EQ(focus == Wnd() || IsChild(Wnd(), focus), !active) << "active " << active;
  }
}

TEST_F(DialogAdapter, TitleButtonGoesHotPressedAndSendsItsCommandOnRelease) {
  // Without glowing each state is painted straight into the cache.
  manager->SetAllowGlowing(false);
  TacDialogWnd* adapter = Open(kSizeableStyle);
  const TsPlacedTitleButton* max = Button(TitleHit::MaxButton);
  ASSERT_NE(max, nullptr);
  const TRect rect = max->Rect;
  const TPoint c = Centre(rect);
  HitAt(c);
  EXPECT_EQ(adapter->ButtonState(TitleHit::MaxButton), 1);
  EXPECT_EQ(ItemAt(Cache(), c.X, c.Y), "GLOBALINFO.BICONMAX#1");
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTMAXBUTTON, ScreenAt(c));
  EXPECT_EQ(adapter->ButtonState(TitleHit::MaxButton), 2);
  EXPECT_EQ(ItemAt(TPixels::FromWindow(Wnd()), c.X, c.Y), "GLOBALINFO.BICONMAX#2");
  EXPECT_TRUE(Log().NcLButtonDowns.empty()) << "a button press is the adapter's own";
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTMAXBUTTON, ScreenAt(c));
  EXPECT_EQ(Log().SysCommands, std::vector<WPARAM>{SC_MAXIMIZE});
  // Moving away clears the hot state and repaints the button at rest over
  // the title, not over its last state.
  HitAt({rect.Left - 40, c.Y});
  EXPECT_EQ(adapter->ButtonState(TitleHit::MaxButton), 0);
  const TPixels cache = Cache();
  EXPECT_EQ(ItemAt(cache, c.X, c.Y), "GLOBALINFO.BICONMAX#0");
  EXPECT_EQ(SectionAt(cache, rect.Left, rect.Top), "FORMTITLE") << "the mask's corner";
}

kvtest::TTestSkinOptions Glowing() {
  kvtest::TTestSkinOptions options;
  options.Glow = true;
  return options;
}
class GlowingDialog : public DialogAdapter {
 protected:
  GlowingDialog() : DialogAdapter(Glowing()) {}
  int VisibleGlows() const {
    int n = 0;
    for (const auto& glow : TacGlowEffects)
      if (glow != nullptr && IsWindowVisible(glow->Window())) ++n;
    return n;
  }
};

TEST_F(GlowingDialog, WithoutFadesAHotButtonGlowsUntilTheMouseLeaves) {
  manager->SetAllowGlowing(false);
  Open(kSizeableStyle);
  const TsPlacedTitleButton* close = Button(TitleHit::Close);
  ASSERT_NE(close, nullptr);
  const int before = VisibleGlows();
  HitAt(Centre(close->Rect));
  EXPECT_EQ(VisibleGlows(), before + 1);
  SendMessageW(Wnd(), WM_NCMOUSELEAVE, 0, 0);
  EXPECT_EQ(VisibleGlows(), before);
  HitAt(Centre(close->Rect));
  DestroyWindow(Wnd());
  EXPECT_EQ(VisibleGlows(), before) << "the glow goes with the dialog";
}

// The pointer, moved by the system, makes the close button hot: an active
// dialog shows the hot mask, one that is not active (another window took
// the activation) shows it faded, blended half-way over the title, both in
// the frame (glowing off) and in the glow that fades it in.
struct THotLook {
  const char* Name;
  bool Glowing;
  bool Active;
};
void PrintTo(const THotLook& c, std::ostream* os) { *os << c.Name; }

class HotCloseButton : public DialogAdapter, public ::testing::WithParamInterface<THotLook> {};

TEST_P(HotCloseButton, IsFadedUnlessTheDialogIsActive) {
  const THotLook& c = GetParam();
  manager->SetAllowGlowing(c.Glowing);
  kvtest::TLayeredRecorder rec;
  TacDialogWnd* adapter = Open(kSizeableStyle);
  kvtest::THostWindow other;
  if (!c.Active) {
    SetActiveWindow(Wnd());
    SetActiveWindow(other.Handle());
    ASSERT_TRUE(pump::PumpUntil([&] { return !adapter->Active; }));
  }
  const TRect r = Button(TitleHit::Close)->Rect;
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const LPARAM centre = ScreenAt(Centre(r));
  kvtest::SystemMoveTo({GET_X_LPARAM(centre), GET_Y_LPARAM(centre)});
  ASSERT_TRUE(pump::PumpUntil([&] { return adapter->ButtonState(TitleHit::Close) == 1; }));
  TPixels look = Cache();
  TPoint at = Centre(r), title = r.TopLeft();
  if (c.Glowing) {
    const TacSBAnimation* fade = adapter->ButtonAnimation(TitleHit::Close);
    ASSERT_TRUE(fade != nullptr && !rec.Updates.empty());
    ASSERT_EQ(rec.Updates.back().wnd, fade->GlowWindow());
    look = rec.Updates.back().image;
    at = {r.Width() / 2, r.Height() / 2}, title = {0, 0};
  }
  const COLORREF hot = Legend("GLOBALINFO", "BICONCLOSE", 1), under = look.At(title.X, title.Y);
  const COLORREF shown = look.At(at.X, at.Y);
  EXPECT_EQ(SectionAt(look, title.X, title.Y), "FORMTITLE");
  if (c.Active) {
    EXPECT_EQ(shown, hot);
  } else {
    for (const int shift : {0, 8, 16})
      EXPECT_NEAR((shown >> shift) & 0xFF,
                  (((hot >> shift) & 0xFF) + ((under >> shift) & 0xFF)) / 2, 1)
          << shift;
  }
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

const THotLook kHotLooks[] = {{"ActiveGlowing", true, true},
                              {"InactiveGlowing", true, false},
                              {"ActivePlain", false, true},
                              {"InactivePlain", false, false}};
INSTANTIATE_TEST_SUITE_P(DialogAdapter, HotCloseButton, ::testing::ValuesIn(kHotLooks),
                         [](const auto& info) { return std::string(info.param.Name); });

// A click, by the system's mouse, on the close button of a dialog that
// refuses to close (its procedure takes SC_CLOSE and stays): the button is
// hot again while the pointer is on it, and once the pointer has left no
// glow is left over the title.
TEST_F(DialogAdapter, ARefusedCloseLeavesNoGlowOnceThePointerLeft) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  const LPARAM on = ScreenAt(Centre(Button(TitleHit::Close)->Rect));
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  kvtest::SystemMoveTo({GET_X_LPARAM(on), GET_Y_LPARAM(on)});
  const auto glow = [&] {
    const TacSBAnimation* fade = adapter->ButtonAnimation(TitleHit::Close);
    return fade != nullptr ? fade->GlowWindow() : nullptr;
  };
  ASSERT_TRUE(pump::PumpUntil([&] { return glow() != nullptr; }));
  kvtest::SystemClick();
  EXPECT_EQ(Log().SysCommands, std::vector<WPARAM>{SC_CLOSE});
  EXPECT_EQ(adapter->ButtonState(TitleHit::Close), 1);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  EXPECT_TRUE(pump::PumpUntil([&] { return glow() == nullptr; }, 3000));
  EXPECT_EQ(adapter->ButtonState(TitleHit::Close), 0);
}

// Lets a window be sized below the system's smallest tracking size.
WNDPROC g_beforeNarrow = nullptr;
LRESULT CALLBACK AllowNarrow(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETMINMAXINFO) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
    return 0;
  }
  return CallWindowProcW(g_beforeNarrow, wnd, msg, wParam, lParam);
}

// A dialog too narrow for its title: a button that reaches over the icon is
// not repainted there when it goes hot, so the icon stays as it was.
TEST_F(GlowingDialog, AButtonOverTheIconLeavesItWhenItGoesHot) {
  manager->SetAllowGlowing(false);
  TacDialogWnd* adapter = Open(kSizeableStyle, WS_EX_CONTEXTHELP);
  g_beforeNarrow = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(Wnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AllowNarrow)));
  SetWindowPos(Wnd(), nullptr, 0, 0, 90, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  kvtest::PumpUntilIdle();
  adapter->PaintAll();
  const TRect icon = adapter->TitleIconRect();
  const TsPlacedTitleButton* over = nullptr;
  for (const TsPlacedTitleButton& b : adapter->PlacedButtons())
    if (b.Rect.Left < icon.Right && b.Rect.Right > icon.Right && b.HitCode != TitleHit::Close)
      over = &b;
  ASSERT_NE(over, nullptr) << "a button reaches over the icon";
  const TRect r = over->Rect;
  const TPixels before = Cache();
  // The pointer on the button's part right of the icon.
  const TPoint at{(icon.Right + r.Right) / 2, (r.Top + r.Bottom) / 2};
  const int hit = HitAt(at);
  ASSERT_EQ(hit, over->HitCode);
  EXPECT_EQ(adapter->ButtonState(hit), 1);
  const TPixels after = Cache();
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      ASSERT_EQ(after.At(x, y), before.At(x, y)) << x << "," << y;
}

// The fade a form's title buttons have: ten steps up by 255 div 10, down
// again without a jump, the button at rest in the cache under it.
TEST_F(DialogAdapter, HotButtonFadesInAndOutAsAFormsDoes) {
  kvtest::TLayeredRecorder rec;
  TacDialogWnd* adapter = Open(kSizeableStyle);
  const TsPlacedTitleButton* close = Button(TitleHit::Close);
  ASSERT_NE(close, nullptr);
  const TPoint c = Centre(close->Rect);
  HitAt(c);
  TacSBAnimation* fade = adapter->ButtonAnimation(TitleHit::Close);
  ASSERT_NE(fade, nullptr);
  EXPECT_EQ(ItemAt(Cache(), c.X, c.Y), "GLOBALINFO.BICONCLOSE#0") << "at rest under the glow";
  for (int i = 0; i < 50 && fade->Running(); ++i) fade->StepNow();
  std::vector<int> alphas;
  for (const auto& u : rec.Updates) alphas.push_back(u.alpha);
  EXPECT_EQ(alphas, (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
  ASSERT_FALSE(rec.Updates.empty());
  EXPECT_EQ(rec.Updates.back().wnd, fade->GlowWindow());

  SendMessageW(Wnd(), WM_NCMOUSELEAVE, 0, 0);
  const size_t from = rec.Updates.size();
  for (int i = 0; i < 50 && fade->Running(); ++i) fade->StepNow();
  ASSERT_GT(rec.Updates.size(), from);
  EXPECT_EQ(rec.Updates.back().alpha, 0);
  EXPECT_EQ(fade->GlowWindow(), nullptr) << "the glow window goes when faded out";
  EXPECT_EQ(ItemAt(Cache(), c.X, c.Y), "GLOBALINFO.BICONCLOSE#0");
}

// Hidden and shown again with composition on: layered only while the
// system shows it, the frame painted after, and no fade left running on a
// hidden dialog.
TEST_F(DialogAdapter, HiddenAndShownAgainKeepsItsFrameAndDropsItsFades) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  HitAt(Centre(Button(TitleHit::Close)->Rect));
  ASSERT_NE(adapter->ButtonAnimation(TitleHit::Close), nullptr);
  ShowWindow(Wnd(), SW_HIDE);
  EXPECT_EQ(adapter->ButtonAnimation(TitleHit::Close), nullptr);
  ShowWindow(Wnd(), SW_SHOW);
  kvtest::PumpUntilIdle();
  EXPECT_EQ(GetWindowLongW(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  const TPixels window = TPixels::FromWindow(Wnd());
  EXPECT_EQ(SectionAt(window, 1, window.Height() / 2), "DIALOG");
  int left = window.Width();
  for (const TsPlacedTitleButton& b : adapter->PlacedButtons()) left = std::min(left, b.Rect.Left);
  EXPECT_EQ(SectionAt(window, left - 2, 2), "FORMTITLE");
}

// A dialog closed while its button glows takes the glow window, its timer
// and every GDI object with it.
TEST_F(DialogAdapter, ADialogClosedWhileAButtonGlowsLeavesNothingBehind) {
  kvtest::TLayeredRecorder rec;
  Open(kSizeableStyle);
  TPixels::FromWindow(Wnd());
  TearDown();
  const kvtest::TObjectBaseline baseline;
  const int timers = TTimer::ActiveCount();
  TacDialogWnd* adapter = Open(kSizeableStyle);
  HitAt(Centre(Button(TitleHit::Close)->Rect));
  TacSBAnimation* fade = adapter->ButtonAnimation(TitleHit::Close);
  ASSERT_NE(fade, nullptr);
  fade->StepNow();
  const HWND glow = fade->GlowWindow();
  ASSERT_NE(glow, nullptr);
  DestroyWindow(Wnd());
  EXPECT_FALSE(IsWindow(glow));
  EXPECT_EQ(TTimer::ActiveCount(), timers);
  TearDown();
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(DialogAdapter, ReleaseAwayFromThePressedButtonDoesNothing) {
  Open(kSizeableStyle);
  const TsPlacedTitleButton* close = Button(TitleHit::Close);
  ASSERT_NE(close, nullptr);
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTCLOSE, ScreenAt(Centre(close->Rect)));
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTCAPTION, ScreenAt({close->Rect.Left - 60, 10}));
  EXPECT_TRUE(Log().SysCommands.empty());
  EXPECT_EQ(Adapter()->ButtonState(TitleHit::Close), 0);
}

TEST_F(DialogAdapter, MaximiseThatCannotActStaysUnpressed) {
  // A modal frame cannot maximise even with the box.
  TacDialogWnd* adapter = Open(kMessageBoxStyle | WS_MAXIMIZEBOX);
  const TsPlacedTitleButton* max = Button(TitleHit::MaxButton);
  ASSERT_NE(max, nullptr);
  EXPECT_FALSE(max->Enabled);
  EXPECT_EQ(HitAt(Centre(max->Rect)), HTCAPTION);
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTMAXBUTTON, ScreenAt(Centre(max->Rect)));
  EXPECT_NE(adapter->ButtonState(TitleHit::MaxButton), 2);
}

TEST_F(DialogAdapter, HelpReleaseSendsContextHelp) {
  Open(kMessageBoxStyle, WS_EX_CONTEXTHELP);
  const TsPlacedTitleButton* help = Button(TitleHit::Help);
  ASSERT_NE(help, nullptr);
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTHELP, ScreenAt(Centre(help->Rect)));
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTHELP, ScreenAt(Centre(help->Rect)));
  EXPECT_EQ(Log().SysCommands, std::vector<WPARAM>{SC_CONTEXTHELP});
}

TEST_F(DialogAdapter, RightPressOnTheBorderReachesTheDialogOnce) {
  Open(kSizeableStyle);
  SendMessageW(Wnd(), WM_NCRBUTTONDOWN, HTLEFT, ScreenAt({1, 60}));
  EXPECT_EQ(Log().NcRButtonDowns, 1);
  SendMessageW(Wnd(), WM_NCRBUTTONDOWN, HTCAPTION, ScreenAt({60, 10}));
  EXPECT_EQ(Log().NcRButtonDowns, 1) << "the caption's press waits for the menu on release";
}

struct TFakeBorder : TacDialogBorder {
  HWND Handle() const override { return nullptr; }
  void Sync(bool) override { ++Syncs; }
  ~TFakeBorder() override { ++Freed; }
  static inline int Syncs = 0, Freed = 0;
};

TEST_F(DialogAdapter, ExtendedBordersComeAndGoThroughTheBorderSeam) {
  struct TSeamScope {
    TSeamScope() {
      MakeDialogBorder = [](TacDialogWnd&) -> std::unique_ptr<TacDialogBorder> {
        return std::make_unique<TFakeBorder>();
      };
    }
    ~TSeamScope() { MakeDialogBorder = nullptr; }
  } seam;
  TFakeBorder::Syncs = TFakeBorder::Freed = 0;
  manager->SetExtendedBorders(true);
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(adapter->BorderForm(), nullptr);
  const int before = TFakeBorder::Syncs;
  SetWindowPos(Wnd(), nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_GT(TFakeBorder::Syncs, before) << "the companion follows a move";
  manager->SetExtendedBorders(false);
  SendMessageW(Wnd(), SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
               reinterpret_cast<LPARAM>(manager.get()));
  EXPECT_EQ(adapter->BorderForm(), nullptr);
  EXPECT_EQ(TFakeBorder::Freed, 1);
}

TEST_F(DialogAdapter, OneBrushPerColour) {
  TacDialogWnd* adapter = Open(kMessageBoxStyle);
  const auto first = SendMessageW(Wnd(), WM_CTLCOLORDLG, 0, 0);
  ASSERT_NE(first, 0);
  EXPECT_EQ(SendMessageW(Wnd(), WM_CTLCOLORDLG, 0, 0), first);
  LOGBRUSH lb{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HBRUSH>(first), sizeof(lb), &lb), 0);
  EXPECT_EQ(lb.lbColor, Legend("GLOBALINFO", "COLOR"));
  EXPECT_EQ(adapter->DialogBrush(), reinterpret_cast<HBRUSH>(first));
}

TEST_F(DialogAdapter, SystemMenuIsUpToDateAfterSetUpAndBeforeEachPopup) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  TacSystemMenu* menu = adapter->SystemMenu.get();
  EXPECT_TRUE(menu->ItemClose->Visible());
  EXPECT_TRUE(menu->ItemMove->Enabled());
  // The dialog is maximised behind the adapter's back.
  ShowWindow(Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  bool moveEnabled = true, restoreEnabled = false;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) {
      moveEnabled = menu->ItemMove->Enabled();
      restoreEnabled = menu->ItemRestore->Enabled();
    });
    SendMessageW(Wnd(), WM_NCRBUTTONUP, HTCAPTION, ScreenAt({60, 10}));
    EXPECT_TRUE(probe.Found());
  }
  EXPECT_FALSE(moveEnabled);
  EXPECT_TRUE(restoreEnabled);
}

TEST_F(DialogAdapter, IconOpensTheMenuAndDoubleClicksActAsTheSystemsWould) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  const TPoint icon = Centre(adapter->TitleIconRect());
  bool menuShown = false;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) { menuShown = true; });
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTSYSMENU, ScreenAt(icon));
  }
  EXPECT_TRUE(menuShown);
  EXPECT_TRUE(Log().NcLButtonDowns.empty());
  SendMessageW(Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt({80, 10}));
  SendMessageW(Wnd(), WM_NCLBUTTONDBLCLK, HTSYSMENU, ScreenAt(icon));
  EXPECT_EQ(Log().SysCommands, (std::vector<WPARAM>{SC_MAXIMIZE, SC_CLOSE}));
}

TEST_F(DialogAdapter, SystemMenuItemsSendTheirCommands) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  TacSystemMenu* menu = adapter->SystemMenu.get();
  EXPECT_EQ(menu->ItemClose->ShortCut(), 0x8073) << "Alt+F4";
  EXPECT_EQ(menu->ItemClose->Name(), "miClose");
  menu->ItemMove->Click();
  menu->ItemClose->Click();
  EXPECT_EQ(Log().SysCommands, (std::vector<WPARAM>{SC_MOVE, SC_CLOSE}));
}

// A real message box, caught inside its modal loop.
TEST_F(DialogAdapter, MessageBoxGetsTheFrameAndAMoveAndCloseMenu) {
  int borderStyle = -1;
  bool restoreShown = true, sizeShown = true, moveShown = false, closeShown = false;
  std::string closeLook, client;
  bool menuFound = false;
  std::unique_ptr<TacHookedWindow> hooked;
  kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
    hooked = NewDialogWnd(box, manager.get());
    TacDialogWnd* adapter = DialogWndOf(hooked.get());
    if (adapter == nullptr) return;
    borderStyle = adapter->BorderStyle;
    const TacSystemMenu* menu = adapter->SystemMenu.get();
    SendMessageW(box, WM_NCACTIVATE, TRUE, 0);
    const TPixels window = TPixels::FromWindow(box);
    const auto& placed = adapter->PlacedButtons();
    if (!placed.empty()) {
      const TRect& r = placed.front().Rect;
      closeLook = ItemAt(window, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    client = SectionAt(window, 6, window.Height() - 6);
    RECT wr{};
    GetWindowRect(box, &wr);
    kvtest::TModalProbe menuProbe(kvtest::kMenuClass, [&](HWND) {
      restoreShown = menu->ItemRestore->Visible();
      sizeShown = menu->ItemSize->Visible();
      moveShown = menu->ItemMove->Visible();
      closeShown = menu->ItemClose->Visible();
    });
    SendMessageW(box, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 40, wr.top + 10));
    menuFound = menuProbe.Found();
  });
  MessageBoxW(nullptr, L"Text", L"Box", MB_OK | MB_ICONINFORMATION);
  ASSERT_TRUE(probe.Found());
  EXPECT_EQ(borderStyle, bsNone);
  EXPECT_EQ(closeLook, "GLOBALINFO.SICONCLOSE#0");
  EXPECT_EQ(client, "DIALOG");
  EXPECT_TRUE(menuFound);
  EXPECT_FALSE(restoreShown);
  EXPECT_FALSE(sizeShown);
  EXPECT_TRUE(moveShown);
  EXPECT_TRUE(closeShown);
  hooked.reset();
}

// Where a pop-up menu of this thread opens and which menu it shows, while
// the keys or clicks that open it are handled.
struct TMenuSeen {
  RECT Rect{};
  HMENU Menu = nullptr;
  bool Found = false;
};
template <class TOpen>
TMenuSeen SeeMenu(TOpen open) {
  TMenuSeen seen;
  kvtest::TModalProbe probe(
      kvtest::kMenuClass,
      [&](HWND menu) {
        GetWindowRect(menu, &seen.Rect);
        seen.Menu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
      },
      2000);
  open();
  pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); }, 3000);
  seen.Found = probe.Found();
  // Nothing of the menu's mouse handling is left for the next window here.
  kvtest::HoverOut();
  return seen;
}

// Alt+Space and the task bar's request open the skinned menu: from the
// keyboard where a click on the icon opens it, from the task bar at its point.
TEST_F(DialogAdapter, AltSpaceAndTheTaskbarOpenTheSkinnedMenu) {
  TacDialogWnd* adapter = Open(kMessageBoxStyle);
  HMENU skinned = adapter->SystemMenu->Handle();
  const TMenuSeen click = SeeMenu([&] {
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTSYSMENU, ScreenAt(Centre(adapter->TitleIconRect())));
  });
  const TMenuSeen keys = SeeMenu([&] { kvtest::PostAltSpace(Wnd()); });
  ASSERT_TRUE(click.Found);
  ASSERT_TRUE(keys.Found);
  EXPECT_EQ(keys.Menu, skinned);
  EXPECT_EQ(keys.Rect.left, click.Rect.left);
  EXPECT_EQ(keys.Rect.top, click.Rect.top);
  const TMenuSeen taskbar =
      SeeMenu([&] { SendMessageW(Wnd(), 0x313, 0, MAKELPARAM(150, 160)); });
  ASSERT_TRUE(taskbar.Found);
  EXPECT_EQ(taskbar.Menu, skinned);
  EXPECT_EQ(taskbar.Rect.left, 150);
  EXPECT_EQ(taskbar.Rect.top, 160);
}

// Alt+F4 pressed while the skinned menu is open closes the dialog.
TEST_F(DialogAdapter, AltF4OnTheOpenMenuClosesTheDialog) {
  Open(kMessageBoxStyle);
  kvtest::TKeyScript keys(Wnd(), [&](auto& k) {
    if (kvtest::FindThreadWindow(kvtest::kMenuClass) == nullptr) return false;
    k = {{VK_F4, true}};
    return true;
  });
  // Only a failing test gets here: the menu is closed for it.
  const ULONGLONG deadline = GetTickCount64() + 3000;
  kvtest::TKeyScript watchdog(Wnd(), [&](auto&) {
    if (GetTickCount64() < deadline) return false;
    EndMenu();
    return true;
  });
  kvtest::PostAltSpace(Wnd());
  const auto& commands = Log().SysCommands;
  pump::PumpUntil(
      [&] {
        return std::count(commands.begin(), commands.end(), SC_CLOSE) > 0 || watchdog.Sent();
      },
      4000);
  kvtest::HoverOut();
  EXPECT_TRUE(keys.Sent());
  // Alt+Space came as the key menu's command first.
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU, SC_CLOSE}));
}

// A real message box: Alt+Space goes to its focused button, which hands it
// to the box; the skinned menu opens.
TEST_F(DialogAdapter, AltSpaceOnAMessageBoxOpensTheSkinnedMenu) {
  std::unique_ptr<TacHookedWindow> hooked;
  HMENU skinned = nullptr;
  TMenuSeen seen;
  kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
    hooked = NewDialogWnd(box, manager.get());
    TacDialogWnd* adapter = DialogWndOf(hooked.get());
    if (adapter == nullptr) return;
    skinned = adapter->SystemMenu->Handle();
    seen = SeeMenu([&] { kvtest::PostAltSpace(GetFocus() != nullptr ? GetFocus() : box); });
  });
  MessageBoxW(nullptr, L"Text", L"Box", MB_OK | MB_ICONINFORMATION);
  ASSERT_TRUE(probe.Found());
  EXPECT_TRUE(seen.Found);
  EXPECT_EQ(seen.Menu, skinned);
  hooked.reset();
}

TEST_F(DialogAdapter, FiftyDialogsLeaveTheCountersAtBaseline) {
  // The first one makes what lives as long as the program (fonts, icons).
  Open(kMessageBoxStyle);
  TPixels::FromWindow(Wnd());
  TearDown();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    Open(i % 2 == 0 ? kMessageBoxStyle : kSizeableStyle, 0,
         {{L"Button", BS_PUSHBUTTON, 10, 10, 50, 14, 1}});
    TPixels::FromWindow(Wnd());
    SendMessageW(Wnd(), WM_CTLCOLORDLG, 0, 0);
    HitAt({20, 10});
    // Half go with their window, half are taken off first.
    if (i % 2 == 0) DestroyWindow(Wnd());
    TearDown();
  }
  EXPECT_TRUE(baseline.Unchanged());
}

}  // namespace
}  // namespace kv
