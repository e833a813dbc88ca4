// A skinned dialog's extended-border window under Wine with the synthetic
// skin and the built-in shadow pictures: its place around the dialog, the
// picture it is given (the dialog's frame and the shadow), the hit codes it
// answers and passes on, its life with the dialog and with the manager's
// setting, a real message box, and the clean-up.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "DialogTemplate.h"
#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "support/Counters.h"
#include "support/ModalProbe.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;
using kvtest::TTestDialog;

constexpr DWORD kSizeableStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
constexpr DWORD kMessageBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

std::uint8_t AlphaAt(TBitmap& bitmap, int x, int y) { return bitmap.ScanLine(y)[4 * x + 3]; }

class DialogBorder : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  explicit DialogBorder(const kvtest::TTestSkinOptions& options = {})
      : TSkinnedFormFixture(options) {
    // These tests attach the adapter themselves.
    DialogAdapterFactory = nullptr;
    manager->SetExtendedBorders(true);
  }
  void TearDown() override {
    hooked_.reset();
    dialog_.reset();
  }
  TacDialogWnd* Open(DWORD style) {
    dialog_ = std::make_unique<TTestDialog>(style, 0, L"Dialog");
    hooked_ = NewDialogWnd(dialog_->Handle(), manager.get());
    kvtest::PumpUntilIdle();
    SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
    return DialogWndOf(hooked_.get());
  }
  void SwitchOff() {
    manager->SetExtendedBorders(false);
    SendMessageW(Wnd(), SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
                 reinterpret_cast<LPARAM>(manager.get()));
  }
  HWND Wnd() const { return dialog_->Handle(); }
  TacDialogWnd* Adapter() const { return DialogWndOf(hooked_.get()); }
  HWND Companion() const {
    TacDialogBorder* border = Adapter() != nullptr ? Adapter()->BorderForm() : nullptr;
    return border != nullptr ? border->Handle() : nullptr;
  }
  TBitmap& CacheBitmap() const { return *Adapter()->SkinData->CacheBmp; }
  // A screen point at x, y of the companion's picture.
  LPARAM OnPicture(int x, int y) const {
    const RECT r = WindowRect(Companion());
    return MAKELPARAM(r.left + x, r.top + y);
  }
  const kvtest::TLayeredUpdate* LastPush() const {
    for (auto it = recorder_.Updates.rbegin(); it != recorder_.Updates.rend(); ++it)
      if (it->wnd == Companion()) return &*it;
    return nullptr;
  }
  // The window's region is its client area: the border window shows the
  // skinned borders and title round it.
  void ExpectClientRegionOnly() {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Wnd(), rgn), ERROR) << "the window has a region";
    RECT box{}, w = WindowRect(Wnd()), c{};
    GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    GetClientRect(Wnd(), &c);
    MapWindowPoints(Wnd(), nullptr, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(box.left, c.left - w.left);
    EXPECT_EQ(box.top, c.top - w.top) << "the title band lies outside it";
    EXPECT_EQ(box.right, c.right - w.left);
    EXPECT_EQ(box.bottom, c.bottom - w.top);
  }
  const TsPlacedTitleButton* Button(int hitCode) {
    for (const TsPlacedTitleButton& b : Adapter()->PlacedButtons())
      if (b.HitCode == hitCode) return &b;
    return nullptr;
  }

  kvtest::TLayeredRecorder recorder_;
  std::unique_ptr<TTestDialog> dialog_;
  std::unique_ptr<TacHookedWindow> hooked_;
};

TEST_F(DialogBorder, LiesAroundTheDialogAndShowsItsFrameAndTheShadow) {
  ASSERT_NE(MakeDialogBorder, nullptr) << "the dialog services give dialogs their border window";
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(adapter, nullptr);
  ASSERT_NE(Companion(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Companion()));
  const TsFrameGeometry g = adapter->Geometry();
  const TRect& s = g.State.ShadowMargins;
  EXPECT_EQ(s, (TRect{12, 8, 12, 12})) << "the built-in shadow under composition";
  const RECT owner = WindowRect(Wnd()), around = WindowRect(Companion());
  const TPoint o = g.CacheOffset();
  EXPECT_EQ(around.left, owner.left - o.X);
  EXPECT_EQ(around.top, owner.top - o.Y);
  EXPECT_EQ(around.right - around.left,
            owner.right - owner.left + s.Left + s.Right + 2 * g.ExtraBorderWidth());
  EXPECT_EQ(around.bottom - around.top, g.FrameCacheHeight());
  // The picture's client part lies on the dialog's client area.
  POINT client{0, 0};
  ClientToScreen(Wnd(), &client);
  EXPECT_EQ(around.left + g.ClientLeftOffset(), client.x);
  EXPECT_EQ(around.top + g.ClientTopOffset(), client.y);

  TBitmap& cache = CacheBitmap();
  EXPECT_EQ(cache.PixelFormat(), pf32bit);
  const int mid = cache.Height() / 2;
  EXPECT_EQ(AlphaAt(cache, 0, mid), 0) << "the shadow's outer edge is clear";
  EXPECT_GT(AlphaAt(cache, s.Left - 1, mid), 0);
  EXPECT_LT(AlphaAt(cache, s.Left - 1, mid), 255) << "the shadow next to the frame is translucent";
  EXPECT_EQ(AlphaAt(cache, s.Left, mid), 255) << "the frame is opaque";
  const TPixels picture = TPixels::FromBitmap(cache);
  EXPECT_EQ(SectionAt(picture, s.Left + 1, mid), "DIALOG") << "the dialog's border";
  EXPECT_EQ(SectionAt(picture, cache.Width() / 2, s.Top + 2), "FORMTITLE");
  const TsPlacedTitleButton* close = Button(TitleHit::Close);
  ASSERT_NE(close, nullptr);
  EXPECT_LE(close->Rect.Right, cache.Width() - s.Right) << "buttons lie inside the frame";
  EXPECT_EQ(ItemAt(picture, (close->Rect.Left + close->Rect.Right) / 2,
                   (close->Rect.Top + close->Rect.Bottom) / 2),
            "GLOBALINFO.BICONCLOSE#0");

  const kvtest::TLayeredUpdate* push = LastPush();
  ASSERT_NE(push, nullptr);
  EXPECT_EQ(push->pos.x, around.left);
  EXPECT_EQ(push->size.cx, cache.Width());
  EXPECT_EQ(push->image.At(s.Left + 1, mid), picture.At(s.Left + 1, mid));
  // The window keeps only its client area: its own frame, where the system
  // draws its caption, is the picture's part there.
  ExpectClientRegionOnly();
}

// Deactivated, activated and retitled, the dialog keeps only its client
// area, so the caption the system draws each time stays unseen; the border
// window is given the new title.
TEST_F(DialogBorder, ActivatedAndRetitledItShowsOnlyTheBorderWindowsTitle) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(Companion(), nullptr);
  const TsFrameGeometry g = adapter->Geometry();
  const int band = g.TitleBandBottom();
  const auto titleOf = [&](const TPixels& p) {
    std::vector<COLORREF> row;
    for (int x = 0; x < p.Width(); ++x) row.push_back(p.At(x, band / 2));
    return row;
  };
  SendMessageW(Wnd(), WM_NCACTIVATE, FALSE, 0);
  ExpectClientRegionOnly();
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  ExpectClientRegionOnly();
  ASSERT_NE(LastPush(), nullptr);
  const std::vector<COLORREF> before = titleOf(LastPush()->image);
  SetWindowTextW(Wnd(), L"A new title, longer than the old one");
  ExpectClientRegionOnly();
  ASSERT_NE(LastPush(), nullptr);
  EXPECT_NE(titleOf(LastPush()->image), before) << "the border window shows the new title";
}

// The title and borders the border window shows are the dialog's: a press
// there with the pointer reaches the dialog as a press on its caption or
// sizing border, which the system makes its move or size loop of.
TEST_F(DialogBorder, PressesOnTheTitleAndBordersItShowsReachTheDialogAsCaptionAndBorder) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(Companion(), nullptr);
  SetWindowPos(Wnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const TsFrameGeometry g = adapter->Geometry();
  const TRect& s = g.State.ShadowMargins;
  const RECT around = WindowRect(Companion());
  const struct {
    POINT at;
    WPARAM code;
  } presses[] = {
      {{around.left + g.FrameWidth() / 3, around.top + s.Top + 6}, HTCAPTION},
      {{around.left + s.Left + 1, (around.top + around.bottom) / 2}, HTLEFT},
  };
  for (const auto& p : presses) {
    SCOPED_TRACE(p.code);
    dialog_->Log.NcLButtonDowns.clear();
    kvtest::SystemMoveTo(p.at);
    ASSERT_EQ(WindowFromPoint(p.at), Companion()) << "outside the dialog's region";
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof click[0]), 2u);
    EXPECT_TRUE(kvtest::PumpUntil([&] { return !dialog_->Log.NcLButtonDowns.empty(); }));
    EXPECT_EQ(dialog_->Log.NcLButtonDowns, (std::vector<WPARAM>{p.code}));
  }
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

// A dialog with a menu bar keeps the bar in its region.
TEST_F(DialogBorder, AMenuBarStaysInTheRegion) {
  ASSERT_NE(Open(kSizeableStyle), nullptr);
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_STRING, 1, L"File");
  SetMenu(Wnd(), bar);
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  MENUBARINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMenuBarInfo(Wnd(), OBJID_MENU, 0, &info));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Wnd(), rgn), ERROR);
  RECT box{};
  GetRgnBox(rgn, &box);
  DeleteObject(rgn);
  EXPECT_EQ(box.top, info.rcBar.top - WindowRect(Wnd()).top);
}

// The dialog border's see-through corners show the manager's shadow picture.
TEST_F(DialogBorder, SeeThroughCornersTakeTheShadowPicture) {
  ASSERT_NE(Open(kSizeableStyle), nullptr);
  ASSERT_NE(Companion(), nullptr);
  TBitmap& cache = CacheBitmap();
  const TBitmap* shadow = manager->ExtBorderImage(true);
  ASSERT_NE(shadow, nullptr);
  const TRect s = manager->ExtBorderMargins();
  const int cw = cache.Width(), ch = cache.Height(), sw = shadow->Width(), sh = shadow->Height();
  struct Corner {
    TPoint at, from;
  };
  const Corner corners[] = {
      {{s.Left, s.Top}, {s.Left, s.Top}},
      {{cw - s.Right - 1, s.Top}, {sw - s.Right - 1, s.Top}},
      {{s.Left, ch - s.Bottom - 1}, {s.Left, sh - s.Bottom - 1}},
      {{cw - s.Right - 1, ch - s.Bottom - 1}, {sw - s.Right - 1, sh - s.Bottom - 1}},
  };
  for (const Corner& c : corners) {
    const std::uint8_t* got = cache.ScanLine(c.at.Y) + 4 * c.at.X;
    const std::uint8_t* want = shadow->ScanLine(c.from.Y) + 4 * c.from.X;
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 4), std::vector<std::uint8_t>(want, want + 4))
        << c.at.X << "," << c.at.Y;
  }
  EXPECT_EQ(AlphaAt(cache, cw / 2, s.Top), 255) << "the top border between them";
}

kvtest::TTestSkinOptions BorderPictureDrawsFrame() {
  kvtest::TTestSkinOptions o;
  o.Keys.push_back({"GLOBALINFO", "BORDERMODE", "1"});
  return o;
}

// A skin whose border picture draws border and title (BORDERMODE 1).
class DialogBorderPicture : public DialogBorder {
 protected:
  DialogBorderPicture() : DialogBorder(BorderPictureDrawsFrame()) {}
};

// The picture is the dialog's frame; only the title's items on it are opaque.
TEST_F(DialogBorderPicture, PictureIsTheFrameAndTheTitleOnItIsOpaque) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(adapter, nullptr);
  ASSERT_NE(Companion(), nullptr);
  const TsFrameGeometry g = adapter->Geometry();
  const TRect& s = g.State.ShadowMargins;
  TBitmap& cache = CacheBitmap();
  EXPECT_LT(AlphaAt(cache, s.Left + 1, cache.Height() / 2), 255) << "no opaque skinned border";
  int opaque = 0, picture = 0;
  for (int y = s.Top; y < g.TitleBandBottom(); ++y)
    for (int x = s.Left; x < cache.Width() - s.Right; ++x)
      (AlphaAt(cache, x, y) == 255 ? opaque : picture)++;
  EXPECT_GT(opaque, 0) << "the title's items";
  EXPECT_GT(picture, 0) << "the title band between them is the picture";
}

TEST_F(DialogBorder, AnswersTheShadowTitleAndButtonsAndPassesClicksOn) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(Companion(), nullptr);
  const TsFrameGeometry g = adapter->Geometry();
  const TRect& s = g.State.ShadowMargins;
  const int w = g.FrameWidth(), h = g.FrameCacheHeight();
  const TRect close = Button(TitleHit::Close)->Rect;
  const TRect max = Button(TitleHit::MaxButton)->Rect;
  TacDialogBorder* border = adapter->BorderForm();
  struct Case {
    TPoint at;
    int code;
  };
  const Case cases[] = {
      {{2, h / 2}, BorderHitNone},
      {{s.Left + 1, h / 2}, HTLEFT},
      {{w - s.Right - 1, h - s.Bottom - 1}, HTBOTTOMRIGHT},
      {{w / 3, s.Top + g.TitleBarHeight(true) / 2}, HTCAPTION},
      {{(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2}, HTCLOSE},
      // A dialog's companion knows only its close and help buttons.
      {{(max.Left + max.Right) / 2, (max.Top + max.Bottom) / 2}, HTCAPTION},
  };
  for (const Case& c : cases) {
    TMessage m{WM_NCHITTEST, 0, OnPicture(c.at.X, c.at.Y), 0};
    EXPECT_EQ(border->HitTest(m), c.code) << c.at.X << "," << c.at.Y;
  }
  // The close button hot: it fades in over the picture, which keeps it at
  // rest under the glow.
  const TPoint c{(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2};
  TMessage overClose{WM_NCHITTEST, 0, OnPicture(c.X, c.Y), 0};
  border->HitTest(overClose);
  EXPECT_EQ(adapter->ButtonState(HTCLOSE), 1);
  const TPixels picture = TPixels::FromBitmap(CacheBitmap());
  EXPECT_EQ(ItemAt(picture, c.X, c.Y), "GLOBALINFO.BICONCLOSE#0");
  EXPECT_EQ(LastPush()->image.At(c.X, c.Y), picture.At(c.X, c.Y));
  // The dialog finds its own maximise button under a press passed on.
  const LPARAM onMax = OnPicture((max.Left + max.Right) / 2, (max.Top + max.Bottom) / 2);
  SendMessageW(Companion(), WM_NCLBUTTONDOWN, HTOBJECT, onMax);
  EXPECT_EQ(adapter->ButtonState(HTMAXBUTTON), 2);
  SendMessageW(Companion(), WM_NCLBUTTONUP, HTOBJECT, OnPicture(2, h / 2));
  EXPECT_TRUE(dialog_->Log.SysCommands.empty()) << "released away from it";
  // A press and release on the companion's close button close the dialog.
  const LPARAM at = OnPicture((close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2);
  SendMessageW(Companion(), WM_NCLBUTTONDOWN, HTOBJECT, at);
  EXPECT_EQ(adapter->ButtonState(HTCLOSE), 2);
  SendMessageW(Companion(), WM_NCLBUTTONUP, HTOBJECT, at);
  EXPECT_EQ(dialog_->Log.SysCommands, (std::vector<WPARAM>{SC_CLOSE}));
  // A press on the shadow is none of the dialog's.
  SendMessageW(Companion(), WM_NCLBUTTONDOWN, HTOBJECT, OnPicture(2, h / 2));
  EXPECT_TRUE(dialog_->Log.NcLButtonDowns.empty());
}

// The pointer on the border window's close button: the button fades in
// where the border window shows it, as on a dialog without one, and the
// picture the border window is given shows it at rest under the fade.
TEST_F(DialogBorder, AHotButtonFadesInWhereTheBorderWindowShowsIt) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(Companion(), nullptr);
  SetWindowPos(Wnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const TRect close = Button(TitleHit::Close)->Rect;
  const TPoint c{(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2};
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const RECT around = WindowRect(Companion());
  kvtest::SystemMoveTo({around.left + c.X, around.top + c.Y});
  TacSBAnimation* fade = nullptr;
  EXPECT_TRUE(kvtest::PumpUntil([&] {
    fade = adapter->ButtonAnimation(TitleHit::Close);
    return fade != nullptr && fade->GlowWindow() != nullptr;
  })) << "the hot button fades in";
  if (fade != nullptr && fade->GlowWindow() != nullptr) {
    RECT glow{};
    GetWindowRect(fade->GlowWindow(), &glow);
    EXPECT_EQ(glow.left, around.left + close.Left);
    EXPECT_EQ(glow.top, around.top + close.Top);
  }
  ASSERT_NE(LastPush(), nullptr);
  EXPECT_EQ(ItemAt(LastPush()->image, c.X, c.Y), "GLOBALINFO.BICONCLOSE#0");
  // Risen in full, it finds the pointer still on the button.
  EXPECT_TRUE(kvtest::PumpUntil([&] { return fade != nullptr && !fade->Running(); }));
  kvtest::PumpUntilIdle();
  EXPECT_EQ(adapter->ButtonState(HTCLOSE), 1) << "hot while the pointer stays";
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

// A press on the icon the border window shows opens the menu under that
// icon, at the frame's left edge.
TEST_F(DialogBorder, TheIconOpensTheMenuUnderItself) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  ASSERT_NE(Companion(), nullptr);
  const TRect icon = adapter->TitleIconRect();
  const TsFrameGeometry g = adapter->Geometry();
  RECT menu{};
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND m) { GetWindowRect(m, &menu); });
    SendMessageW(Companion(), WM_NCLBUTTONDOWN, HTOBJECT,
                 OnPicture((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2));
    ASSERT_TRUE(probe.Found());
  }
  const RECT around = WindowRect(Companion());
  EXPECT_EQ(menu.left, around.left + g.State.ShadowMargins.Left + g.FrameBorderWidth(true));
  EXPECT_EQ(menu.top, around.top + icon.Bottom);
}

TEST_F(DialogBorder, FollowsTheDialogAndGoesWithIt) {
  Open(kSizeableStyle);
  HWND companion = Companion();
  ASSERT_NE(companion, nullptr);
  const RECT owner = WindowRect(Wnd()), around = WindowRect(companion);
  SetWindowPos(Wnd(), nullptr, owner.left + 30, owner.top + 20, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRect(companion).left, around.left + 30);
  EXPECT_EQ(WindowRect(companion).top, around.top + 20);
  ShowWindow(Wnd(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(companion));
  ShowWindow(Wnd(), SW_SHOWNOACTIVATE);
  kvtest::PumpUntil([&] { return IsWindowVisible(companion) != FALSE; });
  EXPECT_TRUE(IsWindowVisible(companion));
  DestroyWindow(Wnd());
  EXPECT_FALSE(IsWindow(companion));
}

TEST_F(DialogBorder, SwitchedOffItGoesAndTheCacheIs24BitAgain) {
  TacDialogWnd* adapter = Open(kSizeableStyle);
  HWND companion = Companion();
  ASSERT_NE(companion, nullptr);
  SwitchOff();
  EXPECT_EQ(adapter->BorderForm(), nullptr);
  EXPECT_FALSE(IsWindow(companion));
  adapter->PaintAll();
  EXPECT_EQ(CacheBitmap().PixelFormat(), pf24bit);
  EXPECT_EQ(adapter->Geometry().State.ShadowMargins, TRect{});
  EXPECT_EQ(CacheBitmap().Width(), adapter->Geometry().State.Width);
  // The window's frame is the whole picture again.
  const TPixels window = TPixels::FromWindow(Wnd());
  EXPECT_EQ(SectionAt(window, 1, window.Height() / 2), "DIALOG");
}

// A real message box, caught inside its modal loop.
TEST_F(DialogBorder, MessageBoxGetsOneToo) {
  bool hadBorder = false, shown = false, gone = false;
  HWND companion = nullptr;
  std::unique_ptr<TacHookedWindow> hooked;
  kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
    hooked = NewDialogWnd(box, manager.get());
    TacDialogWnd* adapter = DialogWndOf(hooked.get());
    if (adapter == nullptr || adapter->BorderForm() == nullptr) return;
    hadBorder = true;
    companion = adapter->BorderForm()->Handle();
    shown = IsWindowVisible(companion) != FALSE;
  });
  MessageBoxW(nullptr, L"Text", L"Box", MB_OK);
  ASSERT_TRUE(probe.Found());
  gone = !IsWindow(companion);
  hooked.reset();
  EXPECT_TRUE(hadBorder);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(gone) << "closed with its box";
}

TEST_F(DialogBorder, FiftyDialogsLeaveTheCountersAtBaseline) {
  // The first one makes what lives as long as the program.
  Open(kMessageBoxStyle);
  TearDown();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    Open(i % 2 == 0 ? kMessageBoxStyle : kSizeableStyle);
    ASSERT_NE(Companion(), nullptr);
    // Half go with their window, half lose their border first.
    if (i % 2 == 0) {
      DestroyWindow(Wnd());
    } else {
      SwitchOff();
      manager->SetExtendedBorders(true);
    }
    TearDown();
  }
  EXPECT_TRUE(baseline.Unchanged());
}

}  // namespace
}  // namespace kv
