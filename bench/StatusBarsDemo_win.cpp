// Not a benchmark: the skinned status bars (panels, and the main window's
// simple text with two check boxes), progress bars in their states and the
// bevel's shapes, with the default skin, for a person to look at under Xvfb:
//   scripts/wine run <build>/bench/skin_bars_demo.exe [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/controls/acProgressBar_win.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sStatusBar_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

TsProgressBar* Progress(TForm* form, int top, int position, int max = 100) {
  auto* bar = Create<TsProgressBar>(form);
  bar->SetParent(form);
  bar->SetBounds(12, top, 300, 18);
  bar->SetMax(max);
  bar->SetPosition(position);
  return bar;
}

void Build(TForm* form) {
  form->SetBounds(40, 40, 620, 330);
  form->SetCaption("Skinned status bars, progress bars and bevels");
  Progress(form, 12, 0);
  Progress(form, 38, 50);
  Progress(form, 64, 100);
  Progress(form, 90, 60)->SetSmooth(true);
  Progress(form, 116, 0, 0);  // the configurator's own: Max = Min = 0
  Progress(form, 142, 0)->SetStyle(pbstMarquee);
  auto* upright = Progress(form, 0, 70);
  upright->SetOrientation(pbVertical);
  upright->SetBounds(330, 12, 18, 148);

  const TBevelShape shapes[] = {bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine};
  for (int i = 0; i < 6; ++i) {
    auto* bevel = Create<TsBevel>(form);
    bevel->SetParent(form);
    bevel->SetShape(shapes[i]);
    bevel->SetStyle(i % 2 == 0 ? bsLowered : bsRaised);
    bevel->SetBounds(370 + (i % 3) * 76, 12 + (i / 3) * 76, 66, 66);
  }

  auto* main = Create<TsStatusBar>(form);
  main->SetParent(form);
  main->SetAlign(alBottom);
  main->SetHeight(22);
  main->SetSimplePanel(true);
  main->SetSimpleText("COM1  Disconnected");
  for (int i = 0; i < 2; ++i) {
    auto* box = Create<TsCheckBox>(form);
    box->SetParent(main);
    box->SetCaption(i == 0 ? "Auto read" : "Auto save");
    box->SetBounds(300 + 130 * i, 3, 120, 16);
    box->SetChecked(i == 0);
  }
  auto* panels = Create<TsStatusBar>(form);
  panels->SetParent(form);
  panels->SetAlign(alBottom);
  panels->SetHeight(22);
  panels->SetSizeGrip(false);
  const char* texts[] = {"KV42", "A text far too long for its panel", "Ready"};
  const int widths[] = {80, 150, 100};
  for (int i = 0; i < 3; ++i) {
    TStatusPanel* panel = panels->Panels()->Add();
    panel->SetWidth(widths[i]);
    panel->SetText(texts[i]);
  }
  panels->Panels()->Items(2)->SetAlignment(taCenter);
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  TForm* form = Create<TForm>(Application);
  Build(form);
  form->Show();
  // The skin arrives while the form is up: the marquee starts with it.
  manager->SetSkinName(BenchSkinName);
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->Free();
  return 0;
}
