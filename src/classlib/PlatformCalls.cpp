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

HRESULT RealSetWindowTheme(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList) {
  using TFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const TFn fn = LookUp<TFn>(L"uxtheme.dll", "SetWindowTheme");
  return fn ? fn(wnd, subAppName, subIdList) : E_NOTIMPL;
}

DWORD RealTickCount() { return GetTickCount(); }

}  // namespace

const TPlatformCalls& RealPlatformCalls() {
  using TUpdateLayered = decltype(TPlatformCalls::UpdateLayeredWindow);
  static const TPlatformCalls calls{
      .IsCompositionEnabled = RealIsCompositionEnabled,
      .SystemMajorVersion = RealSystemMajorVersion,
      .IsNTPlatform = RealIsNTPlatform,
      .UpdateLayeredWindow = LookUp<TUpdateLayered>(L"user32.dll", "UpdateLayeredWindow"),
      .SetWindowTheme = RealSetWindowTheme,
      .TickCount = RealTickCount,
  };
  return calls;
}

TPlatformCalls& PlatformCalls() {
  static TPlatformCalls calls = RealPlatformCalls();
  return calls;
}

}  // namespace kv
