#pragma once
// System calls whose answer differs between Windows versions, Wine and a
// test: the program and the toolkit call them only through this one table,
// whose defaults are the real functions, so that a test can give another
// answer or record the call and every branch that depends on it follows.

#include <windows.h>

namespace kv {

struct TPlatformCalls {
  // DWM composition on (false where dwmapi is missing).
  bool (*IsCompositionEnabled)();
  // Major version of the system as the program is told it.
  DWORD (*SystemMajorVersion)();
  // The system is of the NT family.
  bool (*IsNTPlatform)();
  // user32's UpdateLayeredWindow, looked up once; null where the system has
  // none (no layered windows: no glows, no extended borders).
  BOOL(WINAPI* UpdateLayeredWindow)
  (HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
   BLENDFUNCTION* blend, DWORD flags);
  // uxtheme's SetWindowTheme, looked up on first use; E_NOTIMPL without it.
  HRESULT (*SetWindowTheme)(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList);
  // Milliseconds for animations and fades.
  DWORD (*TickCount)();
};

// The process-wide table (GUI thread only).
TPlatformCalls& PlatformCalls();
// The real functions, to restore or to pass calls on to.
const TPlatformCalls& RealPlatformCalls();

}  // namespace kv
