// A system dialog's time to its first skinned frame, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_dialog_bench.exe [rounds]
// A message-box-like dialog with three buttons and a text is created and
// shown; the time until its frame is painted from the stored default skin
// (adapter attached, set up, frame cache painted and copied), against the
// same dialog left to the system in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "BenchPump_win.h"
#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/DialogTemplate.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acFormServicesInstall_win.h"

using namespace kv;

namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

// Shown and painted, frame included.
void ShowDialog(bool skinned, TsSkinManager* manager) {
  kvtest::TTestDialog dialog(kBoxStyle, 0, L"Dialog",
                             {{L"Static", SS_LEFT, 40, 10, 120, 20, 100},
                              {L"Button", BS_DEFPUSHBUTTON, 10, 70, 50, 14, IDOK},
                              {L"Button", BS_PUSHBUTTON, 65, 70, 50, 14, IDCANCEL},
                              {L"Button", BS_PUSHBUTTON, 120, 70, 50, 14, IDRETRY}});
  std::unique_ptr<TacHookedWindow> hooked;
  if (skinned) hooked = NewDialogWnd(dialog.Handle(), manager);
  RedrawWindow(dialog.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpUntilIdle();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  // Warm up: fonts, icons, the skin's bitmaps.
  ShowDialog(true, manager.get());
  ShowDialog(false, manager.get());
  const double plain = MedianUs(rounds, [&] { ShowDialog(false, manager.get()); });
  const double skinned = MedianUs(rounds, [&] { ShowDialog(true, manager.get()); });
  std::printf("dialog to first frame, median of %d: system %.0f us, skinned %.0f us (+%.0f us)\n",
              rounds, plain, skinned, skinned - plain);
  manager.reset();
  return 0;
}
