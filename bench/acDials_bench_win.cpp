// The dialog hook's cost to a message box, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_dials_bench.exe [rounds]
// With the stored default skin: from the MessageBox call until the first
// paint of one of its adapted children has been dispatched (the box
// activated, its provider made, every child adapted, one child painted from
// the skin), against the same box without a skin until its first child's
// paint.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "classlib/Resources.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

// Watches the messages the box's loop takes: at the first paint of a child
// of the box (an adapted one when skinned) it asks the box to close; the
// close request is taken right after that paint was dispatched.
struct TWatch {
  bool skinned = false;
  HWND box = nullptr;
  bool closing = false;
  HHOOK hook = nullptr;
} watch;

bool IsBoxChild(HWND wnd) {
  HWND top = GetAncestor(wnd, GA_ROOT);
  wchar_t name[16] = {};
  return top != wnd && GetClassNameW(top, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && !watch.closing && msg->message == WM_PAINT &&
      IsBoxChild(msg->hwnd) && (!watch.skinned || AdapterOfWindow(msg->hwnd) != nullptr)) {
    watch.closing = true;
    watch.box = GetAncestor(msg->hwnd, GA_ROOT);
    PostMessageW(watch.box, WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

double BoxUntilPainted(int rounds, bool skinned) {
  watch.skinned = skinned;
  return MedianUs(rounds, [] {
    watch.closing = false;
    MessageBoxW(nullptr, L"The setting was written to the logger.", L"KV42",
                MB_OKCANCEL | MB_ICONINFORMATION);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  InstallFormServices();
  watch.hook = SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
  const double plain = BoxUntilPainted(rounds, false);
  Owned<TsSkinManager> manager = CreateOwned<TsSkinManager>();
  manager->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "Vista (internal)";
  stored.Data = ResourceBytes(DefaultSkinResource);
  manager->AnimEffects.DialogShow.Active = false;
  manager->SetSkinName("Vista (internal)");
  if (!manager->CBTHookInstalled()) {
    std::printf("the dialog hook is not installed\n");
    return 1;
  }
  const double skinned = BoxUntilPainted(rounds, true);
  UnhookWindowsHookEx(watch.hook);
  std::printf("message box until its first child's paint, no skin:       %8.3f ms median of %d\n",
              plain / 1000, rounds);
  std::printf("message box until its first skinned paint, default skin: %8.3f ms median of %d\n",
              skinned / 1000, rounds);
  return 0;
}
