// The skinned push button's speed with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_button_bench.exe [rounds] [nocaption]
// A full cache rebuild of a 200 x 50 button (background, border mask and
// region, caption), which every paint and every fade step runs, and a whole
// paint through the window.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  form->SetBounds(0, 0, 300, 120);
  auto* button = Create<TsBitBtn>(form);
  button->SetParent(form);
  button->SetBounds(20, 20, 200, 50);
  button->SetCaption(argc > 2 ? "" : "Read Setting");
  form->Show();
  button->Repaint();
  // The fade's request for the new picture is the cache rebuild alone.
  const double rebuild =
      MedianUs(rounds, [&] { button->Perform(SM_ALPHACMD, CommandWParam(cmdFadeStep), 0); });
  const double paint = MedianUs(rounds, [&] { button->Repaint(); });
  std::printf("200x50 button cache rebuild:           %8.1f us median of %d\n", rebuild, rounds);
  std::printf("200x50 button paint through its window: %8.1f us median of %d\n", paint, rounds);
  form->Free();
  return 0;
}
