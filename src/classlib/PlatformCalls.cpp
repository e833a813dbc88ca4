#include "classlib/PlatformCalls.h"

namespace kv {
namespace {

template <class F>
F LookUp(const wchar_t* library, const char* name) {
  HMODULE module = LoadLibraryW(library);  // kept loaded for the process
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

bool RealIsCompositionEnabled() {
  using TFn = HRESULT(WINAPI*)(BOOL*);
  static const TFn fn = LookUp<TFn>(L"dwmapi.dll", "DwmIsCompositionEnabled");
  BOOL on = FALSE;
  return fn != nullptr && SUCCEEDED(fn(&on)) && on;
}

OSVERSIONINFOW SystemVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) info = OSVERSIONINFOW{};
#pragma GCC diagnostic pop
  return info;
}

DWORD RealSystemMajorVersion() { return SystemVersion().dwMajorVersion; }

bool RealIsNTPlatform() { return SystemVersion().dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool RealIsMiddleEastLocale() { return GetSystemMetrics(SM_MIDEASTENABLED) != 0; }

HRESULT RealSetWindowTheme(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList) {
  using TFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "SetWindowTheme");
  return fn ? fn(wnd, subAppName, subIdList) : E_NOTIMPL;
}

DWORD RealTickCount() { return GetTickCount(); }

bool RealIsThemeActive() {
  using TFn = BOOL(WINAPI*)();
  static const TFn active = LookUp<TFn>(L"uxtheme.dll", "IsThemeActive");
  static const TFn themed = LookUp<TFn>(L"uxtheme.dll", "IsAppThemed");
  return active != nullptr && themed != nullptr && active() && themed();
}

HTHEME RealOpenThemeData(HWND wnd, LPCWSTR classList) {
  using TFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "OpenThemeData");
  return fn ? fn(wnd, classList) : nullptr;
}

HRESULT RealCloseThemeData(HTHEME theme) {
  using TFn = HRESULT(WINAPI*)(HTHEME);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "CloseThemeData");
  return fn ? fn(theme) : E_NOTIMPL;
}

HRESULT RealDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                const RECT* clip) {
  using TFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "DrawThemeBackground");
  return fn ? fn(theme, dc, part, state, rect, clip) : E_NOTIMPL;
}

HRESULT RealDrawThemeParentBackground(HWND wnd, HDC dc, const RECT* rect) {
  using TFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "DrawThemeParentBackground");
  return fn ? fn(wnd, dc, rect) : E_NOTIMPL;
}

HINSTANCE RealShellExecute(HWND wnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                           LPCWSTR directory, INT show) {
  using TFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const TFn fn = LookUp<TFn>(L"shell32.dll", "ShellExecuteW");
  return fn ? fn(wnd, verb, file, parameters, directory, show) : nullptr;
}

}  // namespace

const TPlatformCalls& RealPlatformCalls() {
  using TUpdateLayered = decltype(TPlatformCalls::UpdateLayeredWindow);
  static const TPlatformCalls calls{
      .IsCompositionEnabled = RealIsCompositionEnabled,
      .SystemMajorVersion = RealSystemMajorVersion,
      .IsNTPlatform = RealIsNTPlatform,
      .IsMiddleEastLocale = RealIsMiddleEastLocale,
      .UpdateLayeredWindow = LookUp<TUpdateLayered>(L"user32.dll", "UpdateLayeredWindow"),
      .SetWindowTheme = RealSetWindowTheme,
      .TickCount = RealTickCount,
      .IsThemeActive = RealIsThemeActive,
      .OpenThemeData = RealOpenThemeData,
      .CloseThemeData = RealCloseThemeData,
      .DrawThemeBackground = RealDrawThemeBackground,
      .DrawThemeParentBackground = RealDrawThemeParentBackground,
      .ShellExecute = RealShellExecute,
      .AnimateWindow = ::AnimateWindow,
  };
  return calls;
}

TPlatformCalls& PlatformCalls() {
  static TPlatformCalls calls = RealPlatformCalls();
  return calls;
}

}  // namespace kv
