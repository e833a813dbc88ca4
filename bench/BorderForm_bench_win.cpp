// The extended-border window while its form is dragged, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_border_bench.exe [rounds]
// An 800 x 600 skinned form with extended borders, moved one pixel a round:
// the border window following it with its picture pushed again (repaint),
// and following it by place only.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "BenchPump_win.h"
#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;

namespace {

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;
  manager->SetExtendedBorders(true);

  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(10, 10, 800, 600);
  auto* provider = Create<TsSkinProvider>(form.get());
  form->Show();
  PumpUntilIdle();
  if (!provider->HasBorderForm()) {
    std::printf("no border window: layered windows missing?\n");
    return 1;
  }
  HWND wnd = form->Handle();
  int x = 10;
  auto drag = [&](bool repaint) {
    x = x == 10 ? 11 : 10;
    SetWindowPos(wnd, nullptr, x, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    provider->SyncBorderForm(repaint, 255);
  };
  const double withRepaint = MedianUs(rounds, [&] { drag(true); });
  const double placeOnly = MedianUs(rounds, [&] { drag(false); });
  const TBitmap* cache = provider->SkinData()->CacheBmp.get();
  std::printf("border window %d x %d around an 800 x 600 form, median of %d moves\n",
              cache->Width(), cache->Height(), rounds);
  std::printf("  move + sync with repaint: %8.1f us\n", withRepaint);
  std::printf("  move + sync, place only:  %8.1f us\n", placeOnly);
  form.reset();
  manager.reset();
  return 0;
}
