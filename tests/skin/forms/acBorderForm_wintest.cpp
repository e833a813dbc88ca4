// The extended-border window under Wine with the synthetic skin and the
// built-in shadow pictures: its place around the form, the picture it is
// given (frame opaque, shadow translucent, premultiplied only on the way
// out), its hit codes, the owner's alpha, its life with the owner and the
// shadow click that belongs to the window below.
#include <gtest/gtest.h>
#include <windows.h>
#include <windowsx.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "KeyScript.h"
#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/sSkinProviderHitTest.h"
#include "skin/forms/sTitleButtons_win.h"
#include "skin/model/acSkinPack.h"
#include "support/Counters.h"
#include "support/FreedMemory.h"
#include "support/HostWindow.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"

namespace kv {
namespace {

// One UpdateLayeredWindow call with the source picture's BGRA bytes.
struct TPush {
  HWND Wnd;
  POINT Pos;
  SIZE Size;
  BYTE Alpha;
  std::vector<std::uint8_t> Bgra;  // top row first
  std::uint8_t At(int x, int y, int channel) const {
    return Bgra[4 * (static_cast<size_t>(y) * Size.cx + x) + channel];
  }
};
std::vector<TPush>* g_pushes = nullptr;

BOOL WINAPI RecordPush(HWND wnd, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* srcPos,
                       COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  if (g_pushes != nullptr && size != nullptr && src != nullptr) {
    TPush p{wnd, pos ? *pos : POINT{}, *size, blend ? blend->SourceConstantAlpha : BYTE{255}, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size->cx;
    info.bmiHeader.biHeight = -size->cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    p.Bgra.resize(4 * static_cast<size_t>(size->cx) * size->cy);
    HBITMAP bmp = static_cast<HBITMAP>(GetCurrentObject(src, OBJ_BITMAP));
    GetDIBits(src, bmp, 0, size->cy, p.Bgra.data(), &info, DIB_RGB_COLORS);
    g_pushes->push_back(std::move(p));
  }
  return RealPlatformCalls().UpdateLayeredWindow(wnd, dst, pos, size, src, srcPos, key, blend,
                                                 flags);
}

class BorderForm : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  void SetUp() override {
    g_pushes = &pushes;
    platform_.Calls().UpdateLayeredWindow = RecordPush;
    Provide();
    Show();
    Extended(true);
  }
  void TearDown() override { g_pushes = nullptr; }
  void Extended(bool on) {
    manager->SetExtendedBorders(on);
    kvtest::PumpUntilIdle();
    LookActive();
  }
  TacBorderForm* Border() { return provider->BorderForm(); }
  HWND Companion() { return Border() != nullptr ? Border()->Handle() : nullptr; }
  RECT WindowRect(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
  }
  const TPush* LastPush() {
    for (auto it = pushes.rbegin(); it != pushes.rend(); ++it)
      if (it->Wnd == Companion()) return &*it;
    return nullptr;
  }
  // A screen point at x, y of the companion's picture.
  TPoint OnPicture(int x, int y) {
    const RECT r = WindowRect(Companion());
    return {r.left + x, r.top + y};
  }
  std::vector<TPush> pushes;
};

TEST_F(BorderForm, LiesAroundTheFormByItsMarginsAndShowsFrameAndShadow) {
  ASSERT_TRUE(provider->HasBorderForm());
  ASSERT_TRUE(IsWindowVisible(Companion()));
  const TsFrameGeometry g = provider->Geometry();
  // The built-in shadow, one pixel wider under composition.
  EXPECT_EQ(g.State.ShadowMargins, (TRect{12, 8, 12, 12}));
  const RECT owner = WindowRect(Wnd()), companion = WindowRect(Companion());
  const TPoint o = g.CacheOffset();
  EXPECT_EQ(companion.left, owner.left - o.X);
  EXPECT_EQ(companion.top, owner.top - o.Y);
  EXPECT_EQ(companion.right - companion.left,
            owner.right - owner.left + 12 + 12 + 2 * g.ExtraBorderWidth());
  EXPECT_EQ(companion.bottom - companion.top, g.FrameCacheHeight());
  // The client area in the picture lies where the window's client is.
  POINT client{0, 0};
  ClientToScreen(Wnd(), &client);
  EXPECT_EQ(companion.left + g.ClientLeftOffset(), client.x);
  EXPECT_EQ(companion.top + g.ClientTopOffset(), client.y);

  EXPECT_EQ(provider->SkinData()->CacheBmp->PixelFormat(), pf32bit);
  const TPush* push = LastPush();
  ASSERT_NE(push, nullptr);
  EXPECT_EQ(push->Size.cx, companion.right - companion.left);
  EXPECT_EQ(push->Pos.x, companion.left);
  const int mid = push->Size.cy / 2;
  EXPECT_EQ(push->At(0, mid, 3), 0) << "the shadow's outer edge is clear";
  const int inner = push->At(11, mid, 3);
  EXPECT_GT(inner, 0);
  EXPECT_LT(inner, 255) << "the shadow next to the frame is translucent";
  EXPECT_EQ(push->At(12, mid, 3), 255) << "the frame is opaque";
  const std::uint8_t* frame = &push->Bgra[4 * (static_cast<size_t>(mid) * push->Size.cx + 13)];
  EXPECT_EQ(SectionAt(Cache(), 13, mid), "FORM") << "the frame shows the form's border";
  EXPECT_EQ(RGB(frame[2], frame[1], frame[0]), Cache().At(13, mid));
  // The window itself shows its client only: its frame is the picture's.
  HRGN shown = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Wnd(), shown), ERROR);
  EXPECT_FALSE(PtInRegion(shown, 1, 40));
  EXPECT_FALSE(PtInRegion(shown, 40, 1));
  EXPECT_TRUE(PtInRegion(shown, client.x - owner.left, client.y - owner.top));
  DeleteObject(shown);
}

// The shadow goes round the frame: the form's border and the title's
// corners (their see-through runs) lie inside the margins.
TEST_F(BorderForm, TheFramesBorderAndTitleLieInsideTheShadow) {
  const TsFrameGeometry g = provider->Geometry();
  const TRect s = g.State.ShadowMargins;
  const kvtest::TPixels cache = Cache();
  const int mid = cache.Height() / 2;
  EXPECT_EQ(ItemAt(cache, s.Left, mid), "FORM.BORDERSMASK#1");
  EXPECT_EQ(ItemAt(cache, cache.Width() - s.Right - 1, mid), "FORM.BORDERSMASK#1");
  EXPECT_EQ(ItemAt(cache, cache.Width() / 2, s.Top), "FORMTITLE.BORDERSMASK#1");
  EXPECT_NE(ItemAt(cache, s.Left + 1, g.TitleBandBottom() - 1), "FORMTITLE.BORDERSMASK#1");
}

TEST_F(BorderForm, PicturePremultipliedOnlyOnTheWayOut) {
  TBitmap& cache = *provider->SkinData()->CacheBmp;
  std::uint8_t* p = cache.ScanLine(3) + 4 * 40;
  p[0] = 200, p[1] = 100, p[2] = 50, p[3] = 128;
  provider->SyncBorderForm(true, 255);
  const TPush* push = LastPush();
  ASSERT_NE(push, nullptr);
  EXPECT_EQ(push->At(40, 3, 0), 100);
  EXPECT_EQ(push->At(40, 3, 1), 50);
  EXPECT_EQ(push->At(40, 3, 2), 25);
  EXPECT_EQ(push->At(40, 3, 3), 128);
  // The cache keeps its straight colours; a second push is the same.
  EXPECT_EQ(p[0], 200);
  provider->SyncBorderForm(true, 255);
  EXPECT_EQ(LastPush()->At(40, 3, 0), 100);
}

TEST_F(BorderForm, HitCodesOfShadowBandsTitleAndButtons) {
  const TsFrameGeometry g = provider->Geometry();
  const TRect& s = g.State.ShadowMargins;
  const int w = g.FrameWidth(), h = g.FrameCacheHeight();
  const int b = g.FrameBorderWidth(true);
  const int titleY = s.Top + g.TitleBarHeight(true) / 2;
  struct Case {
    TPoint at;
    int code;
  };
  const Case cases[] = {
      {{2, h / 2}, BorderHitNone},
      {{s.Left + 1, h / 2}, HTLEFT},
      {{w - s.Right - 1, h / 2}, HTRIGHT},
      {{w / 2, s.Top}, HTTOP},
      {{w / 2, h - s.Bottom - 1}, HTBOTTOM},
      {{s.Left, s.Top}, HTTOPLEFT},
      {{w - s.Right - 1, h - s.Bottom - 1}, HTBOTTOMRIGHT},
      {{w / 3, titleY}, HTCAPTION},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Border()->HitTest(OnPicture(c.at.X, c.at.Y)), c.code) << c.at.X << "," << c.at.Y;
  for (const TsPlacedTitleButton& button : provider->PlacedButtons()) {
    if (button.HitCode != TitleHit::Close) continue;
    const TRect& r = button.Rect;
    EXPECT_EQ(Border()->HitTest(OnPicture((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2)),
              HTCLOSE);
  }
  EXPECT_GT(b, 0);
  // The window answers: the frame is its own object, the shadow its client.
  const TPoint frame = OnPicture(s.Left + 1, h / 2), shadow = OnPicture(2, h / 2);
  EXPECT_EQ(SendMessageW(Companion(), WM_NCHITTEST, 0, MAKELPARAM(frame.X, frame.Y)), HTOBJECT);
  EXPECT_EQ(SendMessageW(Companion(), WM_NCHITTEST, 0, MAKELPARAM(shadow.X, shadow.Y)), HTCLIENT);
  EXPECT_EQ(SendMessageW(Companion(), WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  EXPECT_NE(GetWindowLongW(Companion(), GWL_EXSTYLE) & WS_EX_NOACTIVATE, 0);
}

TEST_F(BorderForm, TakesTheOwnersAlpha) {
  SetWindowLongW(Wnd(), GWL_EXSTYLE, GetWindowLongW(Wnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Wnd(), 0, 128, LWA_ALPHA);
  provider->SyncBorderForm(true, 255);
  ASSERT_NE(LastPush(), nullptr);
  EXPECT_EQ(LastPush()->Alpha, 128);
}

TEST_F(BorderForm, SwitchedOffItGoesAndTheCacheIs24BitAgain) {
  HWND companion = Companion();
  ASSERT_NE(companion, nullptr);
  Extended(false);
  EXPECT_FALSE(provider->HasBorderForm());
  EXPECT_FALSE(IsWindow(companion));
  provider->PaintFrameCache();
  EXPECT_EQ(provider->SkinData()->CacheBmp->PixelFormat(), pf24bit);
  EXPECT_EQ(provider->Geometry().State.ShadowMargins, TRect{});
  EXPECT_EQ(Cache().Width(), provider->Geometry().State.Width);
}

TEST_F(BorderForm, FormThatDisallowsItLosesItAndGetsItBack) {
  provider->SetAllowExtBorders(false);
  EXPECT_FALSE(provider->HasBorderForm());
  provider->SetAllowExtBorders(true);
  kvtest::PumpUntil([&] { return provider->HasBorderForm(); });
  EXPECT_TRUE(provider->HasBorderForm());
}

TEST_F(BorderForm, FiftySwitchesLeaveTheObjectCountersAtBaseline) {
  Extended(false);
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    Extended(true);
    ASSERT_TRUE(provider->HasBorderForm());
    Extended(false);
  }
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(BorderForm, FollowsTheOwnerThroughMinimiseRestoreAndClose) {
  HWND companion = Companion();
  ShowWindow(Wnd(), SW_MINIMIZE);
  kvtest::PumpUntil([&] { return !IsWindowVisible(companion); });
  EXPECT_FALSE(IsWindowVisible(companion));
  ShowWindow(Wnd(), SW_RESTORE);
  kvtest::PumpUntil([&] { return IsWindowVisible(companion) != FALSE; });
  EXPECT_TRUE(IsWindowVisible(companion));
  const RECT owner = WindowRect(Wnd()), around = WindowRect(companion);
  EXPECT_EQ(around.left, owner.left - provider->Geometry().CacheOffset().X);
  // Moved, it follows.
  SetWindowPos(Wnd(), nullptr, owner.left + 30, owner.top + 20, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRect(companion).left, around.left + 30);
  EXPECT_EQ(WindowRect(companion).top, around.top + 20);
  form->Hide();
  EXPECT_FALSE(IsWindowVisible(companion));
  form->Free();
  form = nullptr;
  EXPECT_FALSE(IsWindow(companion));
}

// With screen snapping, a form moved near an edge of the work area puts
// the frame its border window draws (inside the shadow) on that edge.
TEST_F(BorderForm, SnappingPutsTheDrawnFrameOnTheWorkAreasEdge) {
  provider->ScreenSnap = true;
  const TRect work = TScreen::MonitorWorkArea(Wnd());
  const TRect shadow = provider->Geometry().State.ShadowMargins;
  const auto frame = [&] {
    const RECT r = WindowRect(Companion());
    return TRect{r.left + shadow.Left, r.top + shadow.Top, r.right - shadow.Right,
                 r.bottom - shadow.Bottom};
  };
  const auto moveBy = [&](int dx, int dy) {
    const RECT w = WindowRect(Wnd());
    SetWindowPos(Wnd(), nullptr, w.left + dx, w.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  struct Edge {
    const char* name;
    int TRect::*side;
    int toward;  // -1: the frame moves left or up to reach the edge
    bool horizontal;
  };
  const Edge edges[] = {{"left", &TRect::Left, -1, true},
                        {"top", &TRect::Top, -1, false},
                        {"right", &TRect::Right, 1, true},
                        {"bottom", &TRect::Bottom, 1, false}};
  for (const Edge& e : edges) {
    SCOPED_TRACE(e.name);
    // From the middle of the work area to 4 pixels short of the edge.
    const TRect f = frame();
    moveBy((work.Left + work.Right) / 2 - (f.Left + f.Right) / 2,
           (work.Top + work.Bottom) / 2 - (f.Top + f.Bottom) / 2);
    const int gap = work.*e.side - frame().*e.side - e.toward * 4;
    moveBy(e.horizontal ? gap : 0, e.horizontal ? 0 : gap);
    EXPECT_EQ(frame().*e.side, work.*e.side);
  }
}

// A modal form's border window, once another window came between them,
// goes back right under the form when a move or a size ends, and when the
// toolkit asks for it.
TEST_F(BorderForm, AModalFormsBorderWindowGoesBackUnderIt) {
  form->Hide();
  kvtest::PumpUntilIdle();
  struct Step {
    const char* what;
    UINT msg;
    WPARAM wp;
  };
  const Step steps[] = {{"move or size ended", WM_EXITSIZEMOVE, 0},
                        {"asked for", SM_ALPHACMD, CommandWParam(cmdRepaintNow)}};
  struct Seen {
    bool before, after;
  };
  std::vector<Seen> seen;
  const auto rightUnder = [&] { return GetWindow(Wnd(), GW_HWNDNEXT) == Companion(); };
  kvtest::TKeyScript script(Wnd(), [&](auto&) {
    if (!IsWindowVisible(Wnd()) || Companion() == nullptr || !IsWindowVisible(Companion()))
      return false;
    for (const Step& step : steps) {
      // Another window comes between the form and its border window.
      HWND other = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                   10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      SetWindowPos(other, Wnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      const bool before = rightUnder();
      SendMessageW(Wnd(), step.msg, step.wp, 0);
      seen.push_back({before, rightUnder()});
      DestroyWindow(other);
    }
    form->SetModalResult(mrCancel);
    return true;
  });
  // Only a failing test gets here: the loop is ended for it.
  const ULONGLONG deadline = GetTickCount64() + 5000;
  kvtest::TKeyScript watchdog(Wnd(), [&](auto&) {
    if (GetTickCount64() < deadline) return false;
    form->SetModalResult(mrAbort);
    return true;
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  ASSERT_EQ(seen.size(), std::size(steps));
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(steps[i].what);
    EXPECT_FALSE(seen[i].before);
    EXPECT_TRUE(seen[i].after);
  }
}

TEST_F(BorderForm, AWindowMadeAgainGetsItsOwn) {
  HWND companion = Companion();
  form->SetBorderStyle(bsSingle);  // the window is made again
  kvtest::PumpUntil([&] { return Companion() != nullptr && IsWindowVisible(Companion()); });
  EXPECT_FALSE(IsWindow(companion));
  ASSERT_NE(Companion(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Companion()));
  RECT owner{}, around{};
  GetWindowRect(Wnd(), &owner);
  GetWindowRect(Companion(), &around);
  EXPECT_EQ(around.left, owner.left - provider->Geometry().CacheOffset().X);
}

TEST_F(BorderForm, DoubleClickOnTheTitleMaximisesAndRestores) {
  const TsFrameGeometry g = provider->Geometry();
  const TPoint title = OnPicture(g.FrameWidth() / 3, g.State.ShadowMargins.Top + 6);
  const LPARAM at = MAKELPARAM(title.X, title.Y);
  SendMessageW(Companion(), WM_NCLBUTTONDBLCLK, HTOBJECT, at);
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(IsZoomed(Wnd()));
  // Maximised, only the frame strip on screen stays in its region.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Companion(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 1, 1));
  DeleteObject(region);
  const TPoint again = OnPicture(provider->Geometry().FrameWidth() / 3,
                                 provider->Geometry().State.ShadowMargins.Top + 6);
  SendMessageW(Companion(), WM_NCLBUTTONDBLCLK, HTOBJECT, MAKELPARAM(again.X, again.Y));
  kvtest::PumpUntilIdle();
  EXPECT_FALSE(IsZoomed(Wnd()));
}

// The wide border works as the form's frame: a click on the close button
// there closes the form.
TEST_F(BorderForm, ClickOnTheCloseButtonOfTheWideBorderClosesTheForm) {
  TRect close{};
  for (const TsPlacedTitleButton& button : provider->PlacedButtons())
    if (button.HitCode == TitleHit::Close) close = button.Rect;
  ASSERT_GT(close.Width(), 0);
  const TPoint at = OnPicture((close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2);
  const LPARAM lParam = MAKELPARAM(at.X, at.Y);
  ASSERT_EQ(SendMessageW(Companion(), WM_NCHITTEST, 0, lParam), HTOBJECT);
  SendMessageW(Companion(), WM_NCLBUTTONDOWN, HTOBJECT, lParam);
  EXPECT_EQ(provider->HotButton(), TitleHit::Close);
  SendMessageW(Companion(), WM_NCLBUTTONUP, HTOBJECT, lParam);
  kvtest::PumpUntil([&] { return !IsWindowVisible(Wnd()); });
  EXPECT_FALSE(IsWindowVisible(Wnd()));
}

// A form whose closing destroys its window at once, closed by a double
// click on the icon the wide border shows: the border window goes while
// its own procedure is still on the stack, and nothing freed is touched.
TEST_F(BorderForm, ClosedFromTheWideBorderByAFormThatDestroysItsWindowTouchesNothingFreed) {
  form->OnClose = [this](TObject*, TCloseAction& action) {
    action = caNone;
    DestroyWindow(Wnd());
  };
  const TRect icon = provider->Geometry().TitleIconRect();
  ASSERT_GT(icon.Width(), 0);
  HWND wnd = Wnd(), companion = Companion();
  {
    const kvtest::TFreedMemoryCheck check;
    const TPoint at = OnPicture((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2);
    SendMessageW(companion, WM_NCLBUTTONDBLCLK, HTOBJECT, MAKELPARAM(at.X, at.Y));
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(provider->HasBorderForm());
    EXPECT_TRUE(kvtest::PumpUntil([&] { return !IsWindow(companion); }))
        << "its window goes once its procedure returned";
    EXPECT_GT(check.Kept(), 0u);
    EXPECT_TRUE(check.Intact());
  }
}

// The shadow is the window below's: a click there reaches it in its own
// client coordinates.
TEST_F(BorderForm, ShadowClickReachesTheWindowBelowInItsCoordinates) {
  const RECT around = WindowRect(Companion());
  kvtest::THostWindow below(200, 150);
  SetWindowPos(below.Handle(), HWND_NOTOPMOST, around.left - 100, around.top + 10, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(below.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  provider->SyncBorderForm(true, 255);
  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(below.Handle());
  const int y = (around.bottom - around.top) / 2;
  SendMessageW(Companion(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, y));
  ASSERT_EQ(recorder.Count(WM_LBUTTONDOWN), 1);
  POINT expected{around.left + 3, around.top + y};
  ScreenToClient(below.Handle(), &expected);
  for (const kvtest::TRecordedMsg& m : recorder.Messages) {
    if (m.message != WM_LBUTTONDOWN) continue;
    EXPECT_EQ(GET_X_LPARAM(m.lParam), expected.x);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), expected.y);
  }
  // A click on the frame is not the window below's.
  recorder.Clear();
  SendMessageW(Companion(), WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(provider->Geometry().State.ShadowMargins.Left + 1, y));
  EXPECT_EQ(recorder.Count(WM_LBUTTONDOWN), 0);
}

// A picture of the form (as a screenshot takes it) has the client where the
// window has it, also below a menu bar, whose last row the skinned menu line
// leaves to the client background: the form's own painting shows in both
// pictures on the same row.
TEST_F(BorderForm, APictureOfAFormWithAMenuHasTheClientWhereTheWindowHasIt) {
  GiveMenu();
  constexpr COLORREF kMark = RGB(1, 2, 3);
  form->OnPaint = [&](TObject*) {
    const RECT top{0, 0, form->ClientWidth(), 1};
    HBRUSH brush = CreateSolidBrush(kMark);
    FillRect(form->Canvas()->Handle(), &top, brush);
    DeleteObject(brush);
  };
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  kvtest::PumpUntilIdle();
  const RECT owner = WindowRect(Wnd());
  POINT client{0, 0};
  ClientToScreen(Wnd(), &client);
  const int row = client.y - owner.top, x = (owner.right - owner.left) / 2;
  const kvtest::TPixels window = kvtest::TPixels::FromWindow(Wnd());
  const kvtest::TPixels picture = kvtest::TPixels::FromPrintWindow(Wnd());
  ASSERT_EQ(window.At(x, row), kMark);
  EXPECT_EQ(picture.At(x, row), kMark);
  EXPECT_EQ(picture.At(x, row - 1), window.At(x, row - 1)) << "the menu bar's last row";
}

// The frame sizes the toolkit asks of a window come from its provider's frame.
TEST_F(BorderForm, FrameSizeServicesAnswerFromTheFrame) {
  const TacFormServices saved = FormServices();
  InstallFrameSizeServices(FormServices());
  const TacFormServices s = FormServices();
  FormServices() = saved;
  // The synthetic skin: BORDERWIDTH 4, TITLEHEIGHT 24.
  EXPECT_EQ(s.FrameBorderWidth(Wnd(), true, true), 4);
  EXPECT_EQ(s.FrameBorderWidth(Wnd(), false, true), GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(s.FrameBorderWidth(Wnd(), true, false), GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(s.SkinTitleHeight(true), 24);
  EXPECT_EQ(s.SkinTitleHeight(false), 0);
  EXPECT_EQ(s.SkinFrameWidth(true), 4);
  EXPECT_EQ(s.SkinFrameWidth(false), 0);
}

// The fade's picture puts the form where its client shows through the
// companion, past the shadow and the skin's wide border, in its skinned
// frame; the shadow round it stays clear.
TEST_F(BorderForm, FadedInPictureLiesOverTheClientInsideItsFrame) {
  const TacFormServices saved = FormServices();
  InstallFrameSizeServices(FormServices());
  pushes.clear();
  // As the provider shows a form: its window does not draw meanwhile.
  SendMessageW(Wnd(), WM_SETREDRAW, 0, 0);
  const bool shown = AnimateShowLayered(form, 0);
  FormServices() = saved;
  ASSERT_TRUE(shown);
  // The fade's last picture; the provider repaints its frame afterwards.
  const TPush* push = nullptr;
  for (const TPush& p : pushes)
    if (p.Wnd == Companion() && push == nullptr) push = &p;
  ASSERT_NE(push, nullptr);
  const RECT around = WindowRect(Companion());
  POINT client{0, 0};
  ClientToScreen(Wnd(), &client);
  const int x = client.x - around.left, y = client.y - around.top + 2;
  EXPECT_EQ(push->At(x, y, 3), 255) << "the client, opaque";
  const std::uint8_t* inside = &push->Bgra[4 * (static_cast<size_t>(y) * push->Size.cx + x + 2)];
  EXPECT_EQ(RGB(inside[2], inside[1], inside[0]), skin.Colour("FORM", "COLOR")) << "the client";
  const kvtest::TPixels cache = Cache();
  const RECT owner = WindowRect(Wnd());
  const int title = (client.y - owner.top) / 2;
  for (const POINT p : {POINT{x - 1, y}, POINT{x + 40, static_cast<int>(owner.top - around.top) +
                                                          title}}) {
    const std::uint8_t* px = &push->Bgra[4 * (static_cast<size_t>(p.y) * push->Size.cx + p.x)];
    EXPECT_EQ(RGB(px[2], px[1], px[0]), cache.At(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(px[3], 255) << "the frame, opaque at " << p.x << "," << p.y;
  }
  EXPECT_EQ(push->At(0, push->Size.cy / 2, 3), 0) << "the shadow's outer edge is clear";
}

// A PNG of two frames side by side, each one colour at one alpha: the
// inactive frame blue at 100, the active one red at 200.
TacBytes TwoFramePng(int frame) {
  auto be = [](TacBytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      out.push_back(static_cast<std::uint8_t>(v >> shift));
  };
  auto chunk = [&](TacBytes& out, const char* kind, const TacBytes& data) {
    be(out, static_cast<std::uint32_t>(data.size()));
    TacBytes body(kind, kind + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    be(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
  };
  const int w = 2 * frame, h = frame;
  TacBytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      const bool active = x >= frame;
      const std::uint8_t px[4] = {static_cast<std::uint8_t>(active ? 255 : 0), 0,
                                  static_cast<std::uint8_t>(active ? 0 : 255),
                                  static_cast<std::uint8_t>(active ? 200 : 100)};
      raw.insert(raw.end(), px, px + 4);
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  TacBytes packed(size);
  compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(size);
  TacBytes header;
  be(header, static_cast<std::uint32_t>(w));
  be(header, static_cast<std::uint32_t>(h));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  TacBytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", packed);
  chunk(png, "IEND", {});
  return png;
}

// A picture without alpha of the same two frames: blue, then red.
TacBytes TwoFrameBmp(int frame) {
  TBitmap bmp(2 * frame, frame, pf24bit);
  for (int y = 0; y < frame; ++y) {
    std::uint8_t* row = bmp.ScanLine(y);
    for (int x = 0; x < 2 * frame; ++x) {
      const bool active = x >= frame;
      row[3 * x] = active ? 0 : 255;
      row[3 * x + 1] = 0;
      row[3 * x + 2] = active ? 255 : 0;
    }
  }
  return WriteBmp(bmp);
}

kvtest::TTestSkinOptions WithOwnExBorder(const char* file, int borderMode = 0) {
  kvtest::TTestSkinOptions o;
  if (borderMode != 0) o.Keys.push_back({"GLOBALINFO", "BORDERMODE", std::to_string(borderMode)});
  // Margins 18, 14, 18, 20 less FORMOFFSET 8.
  o.Keys.push_back({"GLOBALINFO", "EXBORDER", std::string("!") + file + "!2!0!0!18!14!18!20"});
  return o;
}

// A skin with its own extended-border picture, packed with it.
class OwnPictureFixture : public kvtest::TSkinnedFormFixture {
 protected:
  OwnPictureFixture(const char* file, TacBytes picture, int borderMode = 0)
      : TSkinnedFormFixture(WithOwnExBorder(file, borderMode)) {
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "X";
    stored.Data = BuildPackedSkin(
        {{"Options.dat", TacBytes(skin.OptionsText().begin(), skin.OptionsText().end())},
         {kvtest::TTestSkin::kMasterName, WriteBmp(skin.Master())},
         {file, std::move(picture)}});
    manager->SetSkinName("X");
    g_pushes = &pushes;
    platform_.Calls().UpdateLayeredWindow = RecordPush;
    Provide();
    Show();
    manager->SetExtendedBorders(true);
    kvtest::PumpUntilIdle();
  }
  ~OwnPictureFixture() { g_pushes = nullptr; }
  std::vector<TPush> pushes;
};

class OwnBorderPicture : public ::testing::Test, public OwnPictureFixture {
 protected:
  OwnBorderPicture() : OwnPictureFixture("EXB.PNG", TwoFramePng(48)) {}
};

class OwnBorderBitmap : public ::testing::Test, public OwnPictureFixture {
 protected:
  OwnBorderBitmap() : OwnPictureFixture("EXB.BMP", TwoFrameBmp(48)) {}
};

// A skin whose border picture draws border and title (BORDERMODE 1).
class BorderPictureDrawsFrame : public ::testing::Test, public OwnPictureFixture {
 protected:
  BorderPictureDrawsFrame() : OwnPictureFixture("EXB.PNG", TwoFramePng(48), 1) {}
};

// BGRA pixel of a 32-bit picture.
std::uint8_t At(const TBitmap& b, int x, int y, int channel) {
  return b.ScanLine(y)[4 * x + channel];
}

// The manager sets up margins and both pictures once per load; the second
// frame is the active window's.
TEST_F(OwnBorderPicture, ManagerPreparesMarginsAndBothPictures) {
  EXPECT_EQ(manager->ExtBorderMargins(), (TRect{10, 6, 10, 12}));
  const TBitmap* active = manager->ExtBorderImage(true);
  const TBitmap* inactive = manager->ExtBorderImage(false);
  ASSERT_NE(active, nullptr);
  ASSERT_NE(inactive, nullptr);
  for (const TBitmap* b : {active, inactive}) {
    EXPECT_EQ(b->PixelFormat(), pf32bit);
    EXPECT_EQ(b->Width(), 48);
  }
  EXPECT_EQ(At(*active, 5, 5, 2), 255);
  EXPECT_EQ(At(*active, 5, 5, 3), 200);
  EXPECT_EQ(At(*inactive, 5, 5, 0), 255);
  EXPECT_EQ(At(*inactive, 5, 5, 3), 100);
  // Off: no margins, no pictures, and the frame back to 24 bits.
  manager->SetExtendedBorders(false);
  kvtest::PumpUntilIdle();
  EXPECT_EQ(manager->ExtBorderMargins(), TRect{});
  EXPECT_EQ(manager->ExtBorderImage(true), nullptr);
  EXPECT_EQ(provider->Geometry().State.ShadowMargins, TRect{});
}

// The border's see-through corners show the shadow picture, the rest of
// the frame stays opaque.
TEST_F(OwnBorderPicture, SeeThroughCornersOfTheBorderTakeTheShadow) {
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  const TPush* push = nullptr;
  for (const TPush& p : pushes)
    if (p.Wnd == provider->BorderForm()->Handle()) push = &p;
  ASSERT_NE(push, nullptr);
  const TRect s = manager->ExtBorderMargins();
  const int right = push->Size.cx - s.Right - 1, bottom = push->Size.cy - s.Bottom - 1;
  for (TPoint corner : {TPoint{s.Left, s.Top}, TPoint{right, s.Top}, TPoint{s.Left, bottom},
                        TPoint{right, bottom}}) {
    EXPECT_EQ(push->At(corner.X, corner.Y, 3), 200) << corner.X << "," << corner.Y;
    EXPECT_EQ(push->At(corner.X, corner.Y, 2), 200) << "red, premultiplied";
  }
  EXPECT_EQ(push->At(push->Size.cx / 2, s.Top, 3), 255) << "the top border between them";
}

// The picture is stretched over the whole frame; only what the title puts
// on it (icon, caption, buttons) is opaque.
TEST_F(BorderPictureDrawsFrame, PictureIsTheFrameAndTheTitleOnItIsOpaque) {
  const int formOffset = manager->CommonSkinData().FormOffset;
  EXPECT_EQ(manager->ExtBorderMargins(), (TRect{formOffset, formOffset, formOffset, formOffset}));
  SendMessageW(Wnd(), WM_NCACTIVATE, TRUE, 0);
  const TPush* push = nullptr;
  for (const TPush& p : pushes)
    if (p.Wnd == provider->BorderForm()->Handle()) push = &p;
  ASSERT_NE(push, nullptr);
  const TsFrameGeometry g = provider->Geometry();
  const TRect s = g.State.ShadowMargins;
  const int mid = push->Size.cy / 2;
  for (int x : {0, s.Left + 1, static_cast<int>(push->Size.cx) - s.Right - 2}) {
    EXPECT_EQ(push->At(x, mid, 3), 200) << x << ": the picture, not the skin's border";
    EXPECT_EQ(push->At(x, mid, 2), 200) << "red, premultiplied";
  }
  int opaque = 0, picture = 0;
  for (int y = s.Top; y < g.TitleBandBottom(); ++y)
    for (int x = s.Left; x < push->Size.cx - s.Right; ++x) {
      const int a = push->At(x, y, 3);
      opaque += a == 255;
      picture += a == 200;
    }
  EXPECT_GT(opaque, 0) << "the title's items";
  EXPECT_GT(picture, opaque) << "the title band between them is the picture";
}

// A picture without alpha is shown as it is, opaque, rather than dropped
// for the built-in shadow.
TEST_F(OwnBorderBitmap, PictureWithoutAlphaIsShownOpaque) {
  EXPECT_EQ(manager->ExtBorderMargins(), (TRect{10, 6, 10, 12}));
  const TBitmap* active = manager->ExtBorderImage(true);
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(active->PixelFormat(), pf32bit);
  EXPECT_EQ(At(*active, 5, 5, 2), 255);
  EXPECT_EQ(At(*active, 5, 5, 3), 255);
  EXPECT_EQ(At(*manager->ExtBorderImage(false), 5, 5, 0), 255);
  EXPECT_EQ(provider->Geometry().State.ShadowMargins, (TRect{10, 6, 10, 12}));
}

TEST_F(OwnBorderPicture, MarginsAndShadowComeFromTheSkinsPicture) {
  ASSERT_TRUE(provider->HasBorderForm());
  EXPECT_EQ(provider->Geometry().State.ShadowMargins, (TRect{10, 6, 10, 12}));
  HWND companion = provider->BorderForm()->Handle();
  RECT owner{}, around{};
  GetWindowRect(Wnd(), &owner);
  GetWindowRect(companion, &around);
  const TsFrameGeometry g = provider->Geometry();
  EXPECT_EQ(around.right - around.left,
            owner.right - owner.left + 10 + 10 + 2 * g.ExtraBorderWidth());
  // The shadow in the active frame's colour, premultiplied on the way out.
  for (bool active : {true, false}) {
    SendMessageW(Wnd(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    const TPush* push = nullptr;
    for (const TPush& p : pushes)
      if (p.Wnd == companion) push = &p;
    ASSERT_NE(push, nullptr);
    const int mid = push->Size.cy / 2;
    EXPECT_EQ(push->At(2, mid, 3), active ? 200 : 100);
    // BGRA: red is channel 2, blue channel 0.
    EXPECT_EQ(push->At(2, mid, active ? 2 : 0), active ? 200 : 100);
    EXPECT_EQ(push->At(2, mid, active ? 0 : 2), 0);
  }
}

// A modal box over the form (its owner disabled) while the pointer, moved
// by the system, goes from the hot close button of the wide border to
// another part of it: the close button goes cold and its glow with it.
struct TDisabledOwnerMove {
  const char* Name;
  TPoint (*To)(const TsFrameGeometry& g);  // a point of the picture
};
void PrintTo(const TDisabledOwnerMove& m, std::ostream* os) { *os << m.Name; }

class UnderAModalBox : public BorderForm,
                       public ::testing::WithParamInterface<TDisabledOwnerMove> {};

TEST_P(UnderAModalBox, TheHotCloseButtonGoesColdWhenThePointerMovesOn) {
  TsTitleButtonRecord& close = provider->ButtonClose();
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const TPoint on =
      OnPicture((close.Rect.Left + close.Rect.Right) / 2, (close.Rect.Top + close.Rect.Bottom) / 2);
  kvtest::SystemMoveTo({on.X, on.Y});
  ASSERT_TRUE(kvtest::PumpUntil([&] { return provider->HotButton() == TitleHit::Close; }));
  // It rests there until its glow has risen and the form's own leave
  // request has been answered (the pointer is over the border window).
  ASSERT_TRUE(kvtest::PumpUntil([&] {
    TRACKMOUSEEVENT now{sizeof(now), TME_QUERY, nullptr, 0};
    TrackMouseEvent(&now);
    return close.Timer != nullptr && !close.Timer->Running() && close.Timer->Alpha() == 255 &&
           (now.hwndTrack != Wnd() || (now.dwFlags & TME_LEAVE) == 0);
  }));
  ASSERT_EQ(provider->HotButton(), TitleHit::Close);
  const TPoint to = GetParam().To(provider->Geometry());
  const TPoint at = OnPicture(to.X, to.Y);
  bool disabled = false, cold = false;
  {
    kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
      // Out of the way of the frame.
      const RECT r = WindowRect(Companion());
      SetWindowPos(box, nullptr, r.right + 20, r.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      disabled = !IsWindowEnabled(Wnd());
      kvtest::SystemMoveTo({at.X, at.Y});
      cold = kvtest::PumpUntil([&] {
        return close.State == 0 && provider->HotButton() != TitleHit::Close &&
               (close.Timer == nullptr || close.Timer->GlowWindow() == nullptr);
      });
    });
    MessageBoxW(Wnd(), L"Text", L"Box", MB_OK);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_TRUE(disabled);
  EXPECT_TRUE(cold);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

const TDisabledOwnerMove kDisabledOwnerMoves[] = {
    {"OntoTheCaption",
     [](const TsFrameGeometry& g) {
       return TPoint{g.FrameWidth() / 3, g.State.ShadowMargins.Top + g.TitleBarHeight(true) / 2};
     }},
    {"OntoTheLeftBorder",
     [](const TsFrameGeometry& g) {
       return TPoint{g.State.ShadowMargins.Left + 1, g.FrameCacheHeight() / 2};
     }},
};
INSTANTIATE_TEST_SUITE_P(BorderForm, UnderAModalBox, ::testing::ValuesIn(kDisabledOwnerMoves),
                         [](const auto& info) { return std::string(info.param.Name); });

// The border window going takes the glow of the button it showed with it.
TEST_F(BorderForm, AGlowGoesWithTheBorderWindow) {
  const TRect close = provider->ButtonClose().Rect;
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const TPoint on = OnPicture((close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2);
  kvtest::SystemMoveTo({on.X, on.Y});
  TsTitleButtonRecord& record = provider->ButtonClose();
  ASSERT_TRUE(kvtest::PumpUntil([&] {
    return record.Timer != nullptr && record.Timer->GlowWindow() != nullptr;
  }));
  const HWND glow = record.Timer->GlowWindow();
  provider->SetAllowExtBorders(false);
  EXPECT_FALSE(provider->HasBorderForm());
  EXPECT_TRUE(kvtest::PumpUntil([&] { return !IsWindow(glow) || !IsWindowVisible(glow); }));
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

}  // namespace
}  // namespace kv
