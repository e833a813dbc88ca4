// The control adapter's walk with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_ctladapter_bench.exe [rounds]
// A form of 200 standard controls (edits, buttons, check boxes, panels,
// group boxes): the first walk, which makes every adapter, and a walk
// again over controls already adapted (what each new child window costs).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchSkin_win.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

constexpr int ControlCount = 200;

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double Ms(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

TForm* MakeForm() {
  auto* form = Create<TForm>(nullptr);
  form->SetBounds(0, 0, 1000, 800);
  for (int i = 0; i < ControlCount; ++i) {
    TWinControl* c = nullptr;
    switch (i % 5) {
      case 0:
        c = Create<TEdit>(form);
        break;
      case 1:
        c = Create<TButton>(form);
        break;
      case 2:
        c = Create<TCheckBox>(form);
        break;
      case 3:
        c = Create<TPanel>(form);
        break;
      default:
        c = Create<TGroupBox>(form);
        break;
    }
    c->SetParent(form);
    c->SetBounds((i % 10) * 98, (i / 10) * 38, 90, 30);
  }
  form->HandleNeeded();
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(form->Controls(i))) w->HandleNeeded();
  return form;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();

  TForm* form = MakeForm();
  std::vector<double> first, again;
  for (int r = 0; r < rounds; ++r) {
    TacCtrlAdapter adapter(nullptr, nullptr);
    auto start = std::chrono::steady_clock::now();
    adapter.AdaptAllControls(form);
    first.push_back(Ms(start));
    start = std::chrono::steady_clock::now();
    adapter.AdaptAllControls(form);
    again.push_back(Ms(start));
    if (adapter.Count() != ControlCount) {
      std::printf("adapted %d of %d controls\n", adapter.Count(), ControlCount);
      return 1;
    }
  }
  std::printf("AdaptAllControls, %d standard controls, median of %d rounds:\n", ControlCount,
              rounds);
  std::printf("  first walk (adapters made): %.2f ms\n", Median(first));
  std::printf("  walk again (all adapted):   %.2f ms\n", Median(again));
  form->Free();
  return 0;
}
