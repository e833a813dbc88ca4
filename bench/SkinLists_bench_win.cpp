// The side bar and the list views with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_lists_bench.exe [rounds]
// one animated arrangement of the main window's six-item side bar (an item
// opened, the open one closed), a full repaint of a 16 x 13 report list view
// with its header, and one thumb-drag step on a 1000-row list view;
//   scripts/wine run <build>/bench/skin_lists_bench.exe shot <file.bmp>
// writes a picture of a form with the side bar and a list view for a person
// to look at.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Pixels.h"
#include "support/Timing.h"

using namespace kv;

namespace {

void PumpAll() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TsListView* AddList(TWinControl* parent, int rows, int columns) {
  auto* list = Create<TsListView>(parent);
  list->SetParent(parent);
  list->SetViewStyle(vsReport);
  list->SetGridLines(true);
  list->SetRowSelect(true);
  list->SetReadOnly(true);
  list->SetHideSelection(false);
  list->BeginUpdate();
  for (int c = 0; c < columns; ++c) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption("Column " + std::to_string(c + 1));
    column->SetWidth(70);
  }
  for (int r = 0; r < rows; ++r) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(std::to_string(r + 1));
    for (int c = 1; c < columns; ++c) item->SubItems().Add(std::to_string((r + 1) * c));
  }
  list->EndUpdate();
  return list;
}

TsFrameBar* AddBar(TForm* form) {
  auto* bar = Create<TsFrameBar>(form);
  bar->SetParent(form);
  bar->SetAlign(alLeft);
  bar->SetWidth(200);
  bar->SkinData()->SetSkinSection("BARPANEL");
  bar->SetSpacing(0);
  const char* captions[] = {"Basic settings", "Inputs and outputs", "Telephone numbers",
                            "Timers",         "SMS mode",           "History"};
  for (int i = 0; i < 6; ++i) {
    TsTitleItem* item = bar->Items()->Add();
    item->SetCaption(captions[i]);
    item->OnCreateFrame = [form, i](TObject*, TCustomFrame*& frame) {
      auto* made = Create<TFrame>(form);
      made->SetHeight(120 + 20 * i);
      auto* panel = Create<TsPanel>(made);
      panel->SetParent(made);
      panel->SetAlign(alClient);
      panel->SetCaption(std::string("Frame ") + std::to_string(i + 1));
      frame = made;
    };
  }
  return bar;
}

}  // namespace

int main(int argc, char** argv) {
  const bool shot = argc > 2 && std::string(argv[1]) == "shot";
  const int rounds = !shot && argc > 1 ? std::atoi(argv[1]) : 20;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();

  TForm* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 900, 520);
  form->SetCaption("Side bar and list view");
  TsFrameBar* bar = AddBar(form);
  TsListView* list = AddList(form, 16, 13);
  list->SetAlign(alClient);
  form->Show();
  bar->TitleClick(bar->Items()->GetItem(0));
  PumpAll();

  if (shot) {
    // The pointer over the third column's title: its hot look shows.
    RECT r{};
    SendMessageW(list->HeaderHandle(), HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list->HeaderHandle(), &p);
    SetCursorPos(p.x, p.y);
    PumpAll();
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpAll();
    const bool written = kvtest::TPixels::FromWindow(form->Handle()).WriteBmp(argv[2]);
    std::printf("%s %s\n", written ? "wrote" : "could not write", argv[2]);
    form->Free();
    return written ? 0 : 1;
  }

  int next = 1;
  kvtest::TimeRuns(rounds, [&] {
    bar->TitleClick(bar->Items()->GetItem(next));
    next = next % 5 + 1;
  }).Print("side bar, one animated arrangement (4 passes, 10 ms sleep each)");

  kvtest::TimeRuns(rounds, [&] {
    RedrawWindow(list->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }).Print("list view 16 x 13, full repaint with header");

  list->Free();
  TsListView* big = AddList(form, 1000, 4);
  big->SetAlign(alClient);
  PumpAll();
  int position = 0;
  kvtest::TimeRuns(rounds * 10, [&] {
    position = (position + 7) % 900;
    SendScrollMessage(big->Handle(), WM_VSCROLL, SB_THUMBTRACK, position);
    UpdateWindow(big->Handle());
  }).Print("list view 1000 rows, one thumb-drag step with repaint");
  form->Free();
  return 0;
}
