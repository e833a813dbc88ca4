#pragma once
// System calls whose answer differs between Windows versions, Wine and a
// test: the toolkit calls them through this table, whose defaults are the real
// functions, so that a test can give another answer or record the call.

#include <windows.h>

namespace kv {

struct TPlatformCalls {
  // DWM composition on (false where dwmapi is missing).
  bool (*IsCompositionEnabled)();
  // Major version of the system as the program is told it.
  DWORD (*SystemMajorVersion)();
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
