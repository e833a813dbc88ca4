#pragma once
// System calls whose answer differs between Windows versions, Wine and a
// test: the program and the toolkit call them only through this one table,
// whose defaults are the real functions, so that a test can give another
// answer or record the call and every branch that depends on it follows.

#include <windows.h>
// After windows.h, which it needs.
#include <uxtheme.h>

namespace kv {

struct TPlatformCalls {
  // DWM composition on (false where dwmapi is missing).
  bool (*IsCompositionEnabled)();
  // Major version of the system as the program is told it.
  DWORD (*SystemMajorVersion)();
  // The system is of the NT family.
  bool (*IsNTPlatform)();
  // The system reads right to left (Arabic, Hebrew): the condition of every
  // right-to-left layout (SM_MIDEASTENABLED).
  bool (*IsMiddleEastLocale)();
  // user32's UpdateLayeredWindow, looked up once; null where the system has
  // none (no layered windows: no glows, no extended borders).
  BOOL(WINAPI* UpdateLayeredWindow)
  (HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
   BLENDFUNCTION* blend, DWORD flags);
  // uxtheme's SetWindowTheme, looked up on first use; E_NOTIMPL without it.
  HRESULT (*SetWindowTheme)(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList);
  // Milliseconds for animations and fades.
  DWORD (*TickCount)();
  // Visual styles on for this program (uxtheme's IsThemeActive and
  // IsAppThemed); false without uxtheme.
  bool (*IsThemeActive)();
  // uxtheme's theme data calls, looked up on first use: null data, or
  // E_NOTIMPL, without it.
  HTHEME (*OpenThemeData)(HWND wnd, LPCWSTR classList);
  HRESULT (*CloseThemeData)(HTHEME theme);
  HRESULT(*DrawThemeBackground)
  (HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
  HRESULT (*DrawThemeParentBackground)(HWND wnd, HDC dc, const RECT* rect);
  // shell32's ShellExecuteW, looked up on first use; 0 (failure) without it.
  HINSTANCE(*ShellExecute)
  (HWND wnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show);
  // user32's AnimateWindow (Wine only shows or hides the window).
  BOOL(WINAPI* AnimateWindow)(HWND wnd, DWORD time, DWORD flags);
};

// The process-wide table (GUI thread only).
TPlatformCalls& PlatformCalls();
// The real functions, to restore or to pass calls on to.
const TPlatformCalls& RealPlatformCalls();

}  // namespace kv
