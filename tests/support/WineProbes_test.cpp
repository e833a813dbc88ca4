// Probes of the Wine behaviours the window tests and the toolkit build on.
// They run first; each prints what it saw ("probe: ..."), and a failure
// means the environment differs from what the other tests assume, not that
// our code is wrong.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "classlib/PlatformCalls.h"
#include "support/HostWindow.h"
#include "support/ModalProbe.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kvtest {
namespace {

void Observed(const std::string& what) {
  std::printf("probe: %s\n", what.c_str());
  ::testing::Test::RecordProperty("observed", what);
}

int g_count[1024];
LRESULT CALLBACK Counting(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg < 1024) ++g_count[msg];
  return DefWindowProcW(wnd, msg, wp, lp);
}

HWND CountingWindow(DWORD style, DWORD exStyle = 0) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Counting;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KvProbeWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  std::fill(std::begin(g_count), std::end(g_count), 0);
  return CreateWindowExW(exStyle, L"KvProbeWindow", L"probe", style, kHostX, kHostY, 120, 90,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// W1: the composition answer and the version decide a dozen toolkit branches.
TEST(WineProbe, CompositionAndVersionAnswers) {
  const auto& real = kv::RealPlatformCalls();
  Observed(std::string("composition ") + (real.IsCompositionEnabled() ? "on" : "off") +
           ", system major version " + std::to_string(real.SystemMajorVersion()));
  HWND wnd = CountingWindow(WS_POPUP);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%lx",
                static_cast<unsigned long>(real.SetWindowTheme(wnd, L" ", L" ")));
  Observed(std::string("SetWindowTheme answers 0x") + buf);
  DestroyWindow(wnd);
}

// W3: WS_VISIBLE cleared with SetWindowLong is only a style bit, and
// WM_SETREDRAW(TRUE) puts it back.
TEST(WineProbe, VisibleBitTogglesWithoutHidingAndRedrawRestoresIt) {
  HWND wnd = CountingWindow(WS_POPUP | WS_VISIBLE);
  g_count[WM_SHOWWINDOW] = 0;
  SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_EQ(g_count[WM_SHOWWINDOW], 0) << "no hide took place";
  SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(wnd));
  DestroyWindow(wnd);
}

// W4: the system menu exists after WS_SYSMENU is removed only if it was
// made before.
TEST(WineProbe, SystemMenuSurvivesStyleRemovalOnlyWhenMadeBefore) {
  HWND late = CountingWindow(WS_OVERLAPPEDWINDOW);
  SetWindowLongW(late, GWL_STYLE, GetWindowLongW(late, GWL_STYLE) & ~WS_SYSMENU);
  const bool lateMenu = GetSystemMenu(late, FALSE) != nullptr;
  HWND early = CountingWindow(WS_OVERLAPPEDWINDOW);
  ASSERT_NE(GetSystemMenu(early, FALSE), nullptr);
  SetWindowLongW(early, GWL_STYLE, GetWindowLongW(early, GWL_STYLE) & ~WS_SYSMENU);
  EXPECT_NE(GetSystemMenu(early, FALSE), nullptr);
  Observed(std::string("system menu first asked after removing WS_SYSMENU: ") +
           (lateMenu ? "made" : "none"));
  DestroyWindow(late);
  DestroyWindow(early);
}

// W6 and the button-region risk: a region is kept by the server, and setting
// one sends the position messages (a repaint loop if painting sets it again).
TEST(WineProbe, WindowRegionIsKeptAndSendsPositionMessages) {
  HWND wnd = CountingWindow(WS_POPUP | WS_VISIBLE);
  SetWindowRgn(wnd, CreateRectRgn(0, 0, 50, 40), TRUE);
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(wnd, got), SIMPLEREGION);
  RECT box{};
  GetRgnBox(got, &box);
  EXPECT_EQ(box.right, 50);
  DeleteObject(got);
  Observed("SetWindowRgn sent WM_WINDOWPOSCHANGING " +
           std::to_string(g_count[WM_WINDOWPOSCHANGING]) + " and WM_NCPAINT " +
           std::to_string(g_count[WM_NCPAINT]) + " times");
  DestroyWindow(wnd);
}

// W7: layered windows exist under the null driver.
TEST(WineProbe, UpdateLayeredWindowSucceeds) {
  HWND wnd = CountingWindow(WS_POPUP, WS_EX_LAYERED);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  POINT src{0, 0};
  SIZE size{8, 8};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 200, 0};
  const BOOL ok = UpdateLayeredWindow(wnd, nullptr, nullptr, &size, dc, &src, 0, &blend, ULW_ALPHA);
  Observed(std::string("UpdateLayeredWindow ") + (ok ? "succeeds" : "fails"));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  DestroyWindow(wnd);
}

// W8: the CBT hook sees the pop-up menu and the message box being made.
HHOOK g_cbt;
std::wstring g_created;
LRESULT CALLBACK Cbt(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[32] = {};
    auto* cs = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
    if (!IS_INTRESOURCE(cs->lpszClass))
      lstrcpynW(name, cs->lpszClass, 32);
    else
      GetClassNameW(reinterpret_cast<HWND>(wp), name, 32);
    g_created += std::wstring(name) + L" ";
  }
  return CallNextHookEx(g_cbt, code, wp, lp);
}

TEST(WineProbe, CbtHookSeesMenusAndMessageBoxesMade) {
  g_created.clear();
  g_cbt = SetWindowsHookExW(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
  THostWindow host;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"One");
  {
    TModalProbe probe(kMenuClass, nullptr);
    TrackPopupMenu(menu, TPM_RETURNCMD, kHostX + 5, kHostY + 5, 0, host.Handle(), nullptr);
  }
  DestroyMenu(menu);
  {
    TModalProbe probe(kDialogClass, nullptr);
    MessageBoxW(host.Handle(), L"probe", L"probe", MB_OK);
  }
  UnhookWindowsHookEx(g_cbt);
  EXPECT_NE(g_created.find(L"#32768"), std::wstring::npos);
  EXPECT_NE(g_created.find(L"#32770"), std::wstring::npos);
}

// W12 and sub-notes on read-back: a shown window reads back through its DC;
// a hidden one does not.
TEST(WineProbe, ShownWindowsReadBackAndHiddenOnesDoNot) {
  THostWindow shown(40, 30, RGB(9, 99, 199));
  EXPECT_EQ(TPixels::FromClient(shown.Handle()).At(5, 5), RGB(9, 99, 199));
  HWND hidden = CountingWindow(WS_POPUP);
  HDC dc = GetDC(hidden);
  const COLORREF c = GetPixel(dc, 1, 1);
  ReleaseDC(hidden, dc);
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%08lx", static_cast<unsigned long>(c));
  Observed(std::string("a hidden window's DC reads ") + buf);
  HDC screen = GetDC(nullptr);
  std::snprintf(buf, sizeof buf, "0x%08lx", static_cast<unsigned long>(GetPixel(screen, 0, 0)));
  ReleaseDC(nullptr, screen);
  Observed(std::string("the screen DC reads ") + buf);
  DestroyWindow(hidden);
}

// sub-notes on non-client painting: a client-edge window gets WM_NCPAINT
// after a frame change, and WM_PRINT draws the frame without it.
TEST(WineProbe, FrameChangePaintsNonClientAndPrintDoesNot) {
  HWND wnd = CountingWindow(WS_POPUP | WS_VISIBLE, WS_EX_CLIENTEDGE);
  kv::pump::PumpUntilIdle();
  g_count[WM_NCPAINT] = 0;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_GE(g_count[WM_NCPAINT], 1);
  g_count[WM_NCPAINT] = 0;
  TPixels::FromPrint(wnd);
  Observed("WM_PRINT with PRF_NONCLIENT sent WM_NCPAINT " + std::to_string(g_count[WM_NCPAINT]) +
           " times");
  DestroyWindow(wnd);
}

// W14: no GDI counts from the system.
TEST(WineProbe, GuiResourceCounts) {
  Observed("GetGuiResources(GDI) answers " +
           std::to_string(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)));
}

// Pointer position: a posted message carries the cursor of its posting
// time in GetMessagePos, not its lParam.
TEST(WineProbe, MessagePosIsTheCursorWhenPosted) {
  THostWindow host;
  SetCursorPos(kHostX + 7, kHostY + 9);
  PostMessageW(host.Handle(), WM_USER, 0, MAKELPARAM(1, 1));
  MSG msg{};
  bool got = false;
  for (int i = 0; i < 200 && !got; ++i)
    got = PeekMessageW(&msg, host.Handle(), WM_USER, WM_USER, PM_REMOVE);
  ASSERT_TRUE(got);
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(kHostX + 7, kHostY + 9)));
  POINT p{};
  EXPECT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, kHostX + 7);
  // Left where other programs' windows open, it would hover over them.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// Plain caption buttons, scroll arrows and check marks are glyphs of the
// Marlett font; without it they draw as letters ("0 1 r"). scripts/wine puts
// it into the prefix.
int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

TEST(WineProbe, MarlettIsInstalled) {
  LOGFONTW want{};
  want.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(want.lfFaceName, L"Marlett", LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &want, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  Observed(std::string("Marlett is ") + (found ? "installed" : "missing"));
  EXPECT_TRUE(found) << "the prefix has no Marlett (scripts/wine init copies it from fonts-wine)";
}

// Combo box: its list's colour message and GetComboBoxInfo.
TEST(WineProbe, ComboBoxInfoAndListColourMessage) {
  THostWindow host;
  HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 5, 5,
                               100, 120, host.Handle(), nullptr, nullptr, nullptr);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  EXPECT_NE(info.hwndList, nullptr);
  wchar_t cls[32] = {};
  GetClassNameW(info.hwndList, cls, 32);
  Observed("drop-down list class " + std::string(cls, cls + lstrlenW(cls)) + ", parent " +
           (GetParent(info.hwndList) == GetDesktopWindow() || GetParent(info.hwndList) == nullptr
                ? "desktop"
                : "other"));
  DestroyWindow(combo);
}

}  // namespace
}  // namespace kvtest
