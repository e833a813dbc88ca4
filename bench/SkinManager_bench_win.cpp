// The skin manager's speed, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_manager_bench.exe [rounds]
// Loading the stored default skin (the packed skin carried in the program's
// resources), and a new-skin broadcast to 10 skinned forms of 50 skinned
// controls each, with and without the lock and repaint around it.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"

using namespace kv;

namespace {

struct TBenchProvider : TacFormProvider {
  TsSkinManager* SkinManager() const override { return DefaultManager; }
  void SetPaintingLocked(bool) override {}
};

// A skinned form: answers the provider and skinned queries.
class TBenchForm : public TForm {
 public:
  explicit TBenchForm(TComponent* owner) : TForm(owner) { AddHookedForm(this); }
  ~TBenchForm() override { RemoveHookedForm(this); }
  TBenchProvider provider;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD) {
      const unsigned code = HIWORD(m.WParam);
      if (code == cmdIsSkinned) m.Result = 1;
      if (code == cmdGetProvider) m.Result = reinterpret_cast<LRESULT>(&provider);
      return;
    }
    TForm::WndProc(m);
  }
};

// A skinned control: says it is skinned and counts the new skins it hears of.
class TBenchControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  static inline long loaded = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD) {
      const unsigned code = HIWORD(m.WParam);
      if (code == cmdIsSkinned) m.Result = 1;
      if (code == cmdSkinLoaded) ++loaded;
      return;
    }
    TCustomControl::WndProc(m);
  }
};

double MedianMs(int rounds, const std::function<void()>& step) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  std::printf("stored default skin: %zu bytes packed\n",
              manager->InternalSkins.Items(0).Data.size());

  const double load = MedianMs(rounds, [&] { manager->SetSkinName(BenchSkinName); });
  std::printf("load the stored default skin (no forms):        %8.2f ms median of %d\n", load, rounds);

  std::vector<Owned<TBenchForm>> forms;
  for (int f = 0; f < 10; ++f) {
    forms.push_back(CreateOwned<TBenchForm>());
    forms.back()->SetBounds(20 + f * 10, 20 + f * 10, 400, 300);
    for (int c = 0; c < 50; ++c) {
      auto* control = Create<TBenchControl>(forms.back().get());
      control->SetBounds((c % 10) * 38, (c / 10) * 50, 36, 48);
      control->SetParent(forms.back().get());
    }
    forms.back()->Show();
  }
  TBenchControl::loaded = 0;
  const double quiet = MedianMs(rounds, [&] { manager->SendNewSkin(false); });
  std::printf("new skin to 10 forms x 50 controls, no repaint: %8.2f ms median (%ld control answers)\n",
              quiet, TBenchControl::loaded / rounds);
  const double full = MedianMs(rounds, [&] { manager->SendNewSkin(true); });
  std::printf("the same with lock, refresh and repaint:        %8.2f ms median\n", full);
  forms.clear();
  manager.reset();
  return 0;
}
