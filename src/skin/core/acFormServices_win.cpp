#include "skin/core/acFormServices_win.h"

#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acGlow.h"

namespace kv {

namespace {

LRESULT CALLBACK NullCBTHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TacFormServices NullFormServices() {
  return {
      .CBTHookProc = NullCBTHookProc,
      .ClearMenuAdapters = [] {},
      .RemoveAllGlows = [] {},
      .CreateMenuPainter = [](TsSkinManager*) {},
      .FreeMenuPainter = [](TsSkinManager*) {},
      .ForgetMenuSection = [](TsSkinManager*) {},
      .ApplySkinActive = [](TsSkinManager*) {},
      .FindPopupCache = [](TsSkinManager*, TMenuItem*, HWND) -> TBitmap* { return nullptr; },
      .HookPopupWindow = [](TsSkinManager*, HWND, TBitmap*) {},
      .AnimateShowControl = [](TWinControl*, unsigned) {},
      .SetMenuSkinned = [](TsSkinManager*, HMENU, bool) {},
      .FrameBorderWidth = [](HWND, bool, bool) { return 0; },
      .SkinTitleHeight = [](bool) { return 0; },
      .SkinFrameWidth = [](bool) { return 0; },
      .AdaptFrame = [](TWinControl*, TsSkinManager*, const char*) {},
  };
}

TacFormServices& FormServices() {
  static TacFormServices services = NullFormServices();
  return services;
}

TacHookedWindowList* HookedWindows = nullptr;

}  // namespace kv
