// The skinned push button in every state and the gauge in every kind, with
// the default skin, for a person to look at under Xvfb. Usage:
//   scripts/wine run <build>/bench/skin_controls_demo.exe [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sGauge_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

TsBitBtn* Button(TForm* form, const std::string& caption, int left) {
  auto* b = Create<TsBitBtn>(form);
  b->SetParent(form);
  b->SetBounds(left, 16, 100, 32);
  b->SetCaption(caption);
  return b;
}

void Build(TForm* form) {
  form->SetBounds(40, 40, 600, 270);
  form->SetCaption("Skinned buttons and gauges");
  Button(form, "Normal", 12);
  // Hot as the mouse would make it.
  Button(form, "Hot", 124)->SkinData()->MouseAbove = true;
  Button(form, "Pressed", 236)->SetDown(true);
  Button(form, "Default", 348)->SetDefault(true);
  Button(form, "Disabled", 460)->SetEnabled(false);
  const TsGaugeKind kinds[] = {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle};
  const int progress[] = {30, 65, 40, 70, 55};
  for (int i = 0; i < 5; ++i) {
    auto* g = Create<TsGauge>(form);
    g->SetParent(form);
    g->SetKind(kinds[i]);
    g->SetProgress(progress[i]);
    if (kinds[i] == gkHorizontalBar || kinds[i] == gkText)
      g->SetBounds(12, 70 + i * 44, 250, 30);
    else
      g->SetBounds(280 + (i - 2) * 104, 70, 96, 120);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  TForm* form = Create<TForm>(Application);
  Build(form);
  form->Show();
  // The skin arrives while the form is up: the gauges' glow starts with it.
  manager->SetSkinName(BenchSkinName);
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->Free();
  return 0;
}
