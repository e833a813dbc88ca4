// The skinned combo box's drop-down with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_combo_bench.exe [rounds]
// The timer dialog's minute box (60 items, 16 shown): from the request to
// open until its list is painted, the first time (the list's skin attached)
// and again; then closing it.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

double Us(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  form->SetBounds(0, 0, 320, 240);
  auto* box = Create<TsComboBox>(form);
  box->SetParent(form);
  box->SetStyle(csDropDownList);
  box->SetBounds(90, 50, 120, 24);
  for (int minute = 0; minute < 60; ++minute)
    box->Items()->Add((minute < 10 ? "0" : "") + std::to_string(minute));
  box->SetItemIndex(0);
  form->Show();
  box->Repaint();
  // Open, and paint the list now rather than when the queue gets to it.
  const auto open = [&] {
    box->SetDroppedDown(true);
    UpdateWindow(box->ListHandle());
  };
  const auto close = [&] {
    box->SetDroppedDown(false);
    UpdateWindow(box->Handle());
  };
  const double first = Us(open);
  const bool skinned = box->ListAdapter() != nullptr;
  close();
  std::vector<double> opened, closed;
  for (int i = 0; i < rounds; ++i) {
    opened.push_back(Us(open));
    closed.push_back(Us(close));
  }
  std::printf("60-item minute box, first drop-down until painted: %8.1f us (list %s)\n", first,
              skinned ? "skinned" : "NOT skinned");
  std::printf("60-item minute box, drop-down until painted:       %8.1f us median of %d\n",
              Median(opened), rounds);
  std::printf("60-item minute box, close-up until painted:        %8.1f us median of %d\n",
              Median(closed), rounds);
  form->Free();
  return 0;
}
