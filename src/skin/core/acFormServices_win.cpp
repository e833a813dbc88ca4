#include "skin/core/acFormServices_win.h"

namespace kv {

namespace {

LRESULT CALLBACK NullCBTHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TacFormServices& FormServices() {
  static TacFormServices services{
      NullCBTHookProc,
      [] {},
      [] {},
      [](TsSkinManager*) {},
      [](TsSkinManager*) {},
      [](TsSkinManager*, TMenuItem*, HWND) -> TBitmap* { return nullptr; },
      [](TsSkinManager*, HWND, TBitmap*) {},
      [](TCustomForm*, int) {},
      [](TsSkinManager*, HMENU, bool) {},
      [](HWND, bool, bool) { return 0; },
      [](bool) { return 0; },
      [](bool) { return 0; },
  };
  return services;
}

TacHookedWindowList* HookedWindows = nullptr;

}  // namespace kv
