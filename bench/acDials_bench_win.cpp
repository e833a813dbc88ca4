// The dialog hook's cost to a message box, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_dials_bench.exe [rounds]
// With the stored default skin: from the MessageBox call until the first
// paint of one of its adapted children has been dispatched (the box
// activated, its provider made, every child adapted, one child painted from
// the skin), against the same box without a skin until its first child's
// paint; and until its first frame painted while shown, by the dialog
// adapter when skinned, by the system when not.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "classlib/Resources.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acFormServicesInstall_win.h"

using namespace kv;

namespace {

// Watches the messages the box's loop takes: at the first paint of a child
// of the box (an adapted one when skinned) it asks the box to close; the
// close request is taken right after that paint was dispatched.
struct TWatch {
  bool skinned = false;
  bool frame = false;  // waits for the frame, not a child
  HWND box = nullptr;
  bool closing = false;
  HHOOK hook = nullptr, frameHook = nullptr;
} watch;

bool IsBox(HWND wnd) {
  wchar_t name[16] = {};
  return GetClassNameW(wnd, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

void CloseBox(HWND box) {
  watch.closing = true;
  watch.box = box;
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

bool IsBoxChild(HWND wnd) {
  HWND top = GetAncestor(wnd, GA_ROOT);
  wchar_t name[16] = {};
  return top != wnd && GetClassNameW(top, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && !watch.closing && !watch.frame &&
      msg->message == WM_PAINT && IsBoxChild(msg->hwnd) &&
      (!watch.skinned || AdapterOfWindow(msg->hwnd) != nullptr))
    CloseBox(GetAncestor(msg->hwnd, GA_ROOT));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The frame is painted when WM_NCPAINT to the shown box returns.
LRESULT CALLBACK OnFramePainted(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && !watch.closing && watch.frame && msg->message == WM_NCPAINT &&
      IsBox(msg->hwnd) && IsWindowVisible(msg->hwnd) &&
      (!watch.skinned || dynamic_cast<TacDialogWnd*>(AdapterOfWindow(msg->hwnd)) != nullptr))
    CloseBox(msg->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

double BoxUntilPainted(int rounds, bool skinned, bool frame) {
  watch.skinned = skinned;
  watch.frame = frame;
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
  watch.frameHook =
      SetWindowsHookExW(WH_CALLWNDPROCRET, OnFramePainted, nullptr, GetCurrentThreadId());
  const double plain = BoxUntilPainted(rounds, false, false);
  const double plainFrame = BoxUntilPainted(rounds, false, true);
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  manager->AnimEffects.DialogShow.Active = false;
  manager->SetSkinName(BenchSkinName);
  if (!manager->CBTHookInstalled()) {
    std::printf("the dialog hook is not installed\n");
    return 1;
  }
  const double skinned = BoxUntilPainted(rounds, true, false);
  const double skinnedFrame = BoxUntilPainted(rounds, true, true);
  UnhookWindowsHookEx(watch.hook);
  UnhookWindowsHookEx(watch.frameHook);
  std::printf("message box until its first child's paint, no skin:       %8.3f ms median of %d\n",
              plain / 1000, rounds);
  std::printf("message box until its first skinned paint, default skin: %8.3f ms median of %d\n",
              skinned / 1000, rounds);
  std::printf("message box until its frame is painted, no skin:          %8.3f ms median of %d\n",
              plainFrame / 1000, rounds);
  std::printf("message box until its skinned frame, dialog adapter:      %8.3f ms median of %d\n",
              skinnedFrame / 1000, rounds);
  return 0;
}
