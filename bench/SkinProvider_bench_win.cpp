// The form provider's share of showing a skinned form, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_provider_bench.exe [rounds]
// An 800 x 600 form with 50 skinned buttons, shown from its first Show: the
// time until the provider reaches the frame painting (its region cut before
// that), and until every window has painted (the queue idle); once with the
// windows made by Show, once with them made before.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchPump_win.h"
#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;
using Clock = std::chrono::steady_clock;

namespace {

// Notes when the frame is first painted.
class TTimedProvider : public TsSkinProvider {
 public:
  using TsSkinProvider::TsSkinProvider;
  Clock::time_point firstFrame{};

 protected:
  void PaintNonClientArea() override {
    if (firstFrame == Clock::time_point{}) firstFrame = Clock::now();
    TsSkinProvider::PaintNonClientArea();
  }
};

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;

  for (bool windowsFirst : {false, true}) {
    std::vector<double> toFrame, toIdle;
    for (int r = 0; r < rounds; ++r) {
      Owned<TForm> form = CreateOwned<TForm>();
      form->SetBounds(10, 10, 800, 600);
      auto* provider = Create<TTimedProvider>(form.get());
      for (int c = 0; c < 50; ++c) {
        auto* button = Create<TsBitBtn>(form.get());
        button->SetBounds(10 + (c % 10) * 78, 10 + (c / 10) * 110, 70, 30);
        button->SetCaption("Button");
        button->SetParent(form.get());
      }
      if (windowsFirst) form->HandleNeeded();
      const auto start = Clock::now();
      form->Show();
      PumpUntilIdle();
      const auto idle = Clock::now();
      if (provider->firstFrame == Clock::time_point{}) {
        std::printf("round %d: the frame was never painted\n", r);
        return 1;
      }
      toFrame.push_back(Ms(start, provider->firstFrame));
      toIdle.push_back(Ms(start, idle));
    }
    std::printf("%s\n", windowsFirst ? "windows made before Show:" : "windows made by Show:");
    std::printf(
        "  Show to the first skinned frame painting (800x600, 50 buttons): %8.2f ms median of %d\n",
        Median(toFrame), rounds);
    std::printf("  Show to every window painted:                                 %8.2f ms median\n",
                Median(toIdle));
  }
  manager.reset();
  return 0;
}
