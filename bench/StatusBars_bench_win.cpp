// The skinned bars' speed with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_bars_bench.exe [rounds]
// The main window's status bar (a simple text and two check boxes on a bar
// 700 pixels wide) repainted after a text change, which rebuilds its cache,
// and repainted as it is; and one marquee step of a 200 x 16 progress bar.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "skin/controls/acProgressBar_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sStatusBar_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

void RedrawWithChildren(TWinControl* control) {
  RedrawWindow(control->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  form->SetBounds(0, 0, 700, 200);
  auto* bar = Create<TsStatusBar>(form);
  bar->SetParent(form);
  bar->SetAlign(alBottom);
  bar->SetHeight(22);
  bar->SetSimplePanel(true);
  bar->SetSimpleText("COM1");
  for (int i = 0; i < 2; ++i) {
    auto* box = Create<TsCheckBox>(form);
    box->SetParent(bar);
    box->SetCaption(i == 0 ? "Auto read" : "Auto save");
    box->SetBounds(400 + 140 * i, 3, 130, 16);
  }
  auto* progress = Create<TsProgressBar>(form);
  progress->SetParent(form);
  progress->SetBounds(20, 20, 200, 16);
  form->Show();
  progress->SetStyle(pbstMarquee);
  RedrawWithChildren(form);

  int n = 0;
  const double changed = MedianUs(rounds, [&] {
    bar->SetSimpleText(++n % 2 != 0 ? "COM1  Disconnected" : "COM1");
    RedrawWithChildren(bar);
  });
  const double same = MedianUs(rounds, [&] { RedrawWithChildren(bar); });
  const double step = MedianUs(rounds, [&] {
    SendMessageW(progress->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId, 0);
  });
  std::printf("status bar repaint after a text change: %8.1f us median of %d\n", changed, rounds);
  std::printf("status bar repaint, cache kept:        %8.1f us median of %d\n", same, rounds);
  std::printf("200x16 marquee step:                   %8.1f us median of %d\n", step, rounds);
  form->Free();
  return 0;
}
