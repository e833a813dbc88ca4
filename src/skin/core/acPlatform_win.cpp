#include "skin/core/acPlatform.h"

#include <windows.h>

namespace kv {

namespace {

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);

// dwmapi stays loaded once found: the answer is asked during painting.
DwmIsCompositionEnabledFn CompositionEntry() {
  static const DwmIsCompositionEnabledFn entry = [] {
    HMODULE lib = LoadLibraryW(L"dwmapi.dll");
    return lib == nullptr ? nullptr
                          : reinterpret_cast<DwmIsCompositionEnabledFn>(
                                reinterpret_cast<void*>(GetProcAddress(lib, "DwmIsCompositionEnabled")));
  }();
  return entry;
}

DWORD MajorVersion() {
  // GetVersion is subject to manifest lies like GetVersionEx; the desktop
  // window manager exists from major version 6 either way.
  return LOBYTE(LOWORD(GetVersion()));
}

}  // namespace

bool SystemDwmCompositionOn() {
  if (MajorVersion() < 6) return false;
  const DwmIsCompositionEnabledFn entry = CompositionEntry();
  BOOL on = FALSE;
  return entry != nullptr && SUCCEEDED(entry(&on)) && on;
}

TacPlatformQuery DwmCompositionQuery = SystemDwmCompositionOn;

}  // namespace kv
