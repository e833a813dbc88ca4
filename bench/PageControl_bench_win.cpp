// The skinned page control with the default skin, run by hand under Wine:
//   scripts/wine run <build>/bench/skin_pages_bench.exe [rounds]
// times switching the active page (without and with the page-change
// animation) and repainting a tab sheet that holds 30 controls;
//   scripts/wine run <build>/bench/skin_pages_bench.exe demo [milliseconds]
// shows three page controls nested as the main window nests them, for a
// person to look at (a screenshot under Xvfb).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

TsPageControl* Pages(TForm* form, TWinControl* parent, const std::vector<const char*>& captions,
                     TTabStyle style = tsTabs) {
  auto* pc = Create<TsPageControl>(form);
  pc->SetParent(parent);
  pc->SetAlign(alClient);
  pc->SetStyle(style);
  for (const char* caption : captions) {
    auto* sheet = Create<TsTabSheet>(form);
    sheet->SetPageControl(pc);
    sheet->SetCaption(caption);
  }
  return pc;
}

// Ten group boxes, each with a panel and a button: 30 controls.
void FillSheet(TForm* form, TWinControl* sheet) {
  for (int i = 0; i < 10; ++i) {
    auto* box = Create<TsGroupBox>(form);
    box->SetParent(sheet);
    box->SetBounds(8 + (i % 2) * 250, 8 + (i / 2) * 70, 240, 64);
    box->SetCaption("Group " + std::to_string(i + 1));
    auto* panel = Create<TsPanel>(form);
    panel->SetParent(box);
    panel->SetBounds(8, 22, 110, 32);
    panel->SetCaption("Panel");
    auto* button = Create<TsBitBtn>(form);
    button->SetParent(box);
    button->SetBounds(126, 22, 100, 32);
    button->SetCaption("Button");
  }
}

struct TNested {
  TsPageControl* Outer;
  TsPageControl* Buttons;
  TsPageControl* Inner;
};

// As the main window: an outer control, a button-style one on its second
// sheet, and a third on the button-style one's second sheet.
TNested Build(TForm* form) {
  form->SetBounds(40, 40, 560, 480);
  form->SetCaption("Nested page controls");
  auto* side = Create<TsPanel>(form);
  side->SetParent(form);
  side->SetAlign(alLeft);
  side->SetWidth(40);
  side->SetCaption("");
  TNested n{};
  n.Outer = Pages(form, form, {"Version", "Basic Setting", "History"});
  n.Buttons = Pages(form, n.Outer->Pages(1), {"Common", "DI/DO/TH", "Telephone", "Timer", "Info"},
                    tsButtons);
  n.Inner = Pages(form, n.Buttons->Pages(1), {"Relays", "Channels"});
  FillSheet(form, n.Buttons->Pages(0));
  FillSheet(form, n.Inner->Pages(0));
  n.Outer->SetActivePageIndex(1);
  n.Buttons->SetActivePageIndex(1);
  return n;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// A page change as a click makes it: the tab control's notifications.
void SwitchTo(TsPageControl* pc, int page) {
  NMHDR changing{pc->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
  if (pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing)) != 0) return;
  SendMessageW(pc->Handle(), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  NMHDR change{pc->Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
  pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  UpdateWindow(pc->Handle());
}

}  // namespace

int main(int argc, char** argv) {
  const bool demo = argc > 1 && std::strcmp(argv[1], "demo") == 0;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  const TNested n = Build(form);
  form->Show();
  Pump(200);
  if (demo) {
    Pump(argc > 2 ? std::atoi(argv[2]) : 5000);
    form->Free();
    return 0;
  }
  const int rounds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
  manager->AnimEffects.PageChange.Active = false;
  int page = 0;
  const double plain = MedianUs(rounds, [&] { SwitchTo(n.Buttons, page = (page + 1) % 5); });
  manager->AnimEffects.PageChange.Active = true;
  manager->AnimEffects.PageChange.Time = 0;  // the cover and the show, no frames waited
  const double animated = MedianUs(rounds, [&] { SwitchTo(n.Buttons, page = (page + 1) % 5); });
  SwitchTo(n.Buttons, 0);
  TWinControl* sheet = n.Buttons->Pages(0);
  const double repaint = MedianUs(rounds, [&] {
    RedrawWindow(sheet->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
  std::printf("switching the active page:                 %9.1f us median of %d\n", plain, rounds);
  std::printf("switching with the page-change animation:  %9.1f us median of %d\n", animated,
              rounds);
  std::printf("repainting a sheet holding 30 controls:    %9.1f us median of %d\n", repaint,
              rounds);
  form->Free();
  return 0;
}
