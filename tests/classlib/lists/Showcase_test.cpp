// One form with every control of this group, kept up for a person to look
// at (a screenshot under Xvfb). Disabled: run it with
// --gtest_also_run_disabled_tests; KV_SHOWCASE_MS sets how long it stays.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ListsTest.h"
#include "classlib/DateTimePickers.h"
#include "classlib/Grids.h"
#include "classlib/ListViews.h"
#include "classlib/Tabs.h"
#include "classlib/TreeViews.h"

using namespace kv;

namespace {

TTabSheet* AddSheet(TPageControl* pages, const char* caption) {
  TTabSheet* sheet = Create<TTabSheet>(pages);
  sheet->SetCaption(caption);
  sheet->SetPageControl(pages);
  return sheet;
}

TEST(ListsShowcase, DISABLED_FormWithEveryControlOfTheGroupStaysUp) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetCaption("Pages, lists, grid, pickers, tree");
  form->SetBounds(20, 20, 900, 620);

  TPageControl* outer = Create<TPageControl>(form.get());
  outer->SetParent(form.get());
  outer->SetBounds(8, 8, 620, 570);
  AddSheet(outer, "Welcome");
  TTabSheet* basic = AddSheet(outer, "Basic Setting");
  TTabSheet* history = AddSheet(outer, "Historical Record");

  TPageControl* inner = Create<TPageControl>(form.get());
  inner->SetParent(basic);
  inner->SetAlign(alClient);
  inner->SetStyle(tsButtons);
  AddSheet(inner, "Basic Setting");
  TTabSheet* doth = AddSheet(inner, "DO/TH Setting");
  TPageControl* third = Create<TPageControl>(form.get());
  third->SetParent(doth);
  third->SetAlign(alClient);
  TTabSheet* doSheet = AddSheet(third, "DO Setting");
  AddSheet(third, "TH Setting");

  TListView* view = Create<TListView>(form.get());
  view->SetViewStyle(vsReport);
  view->SetGridLines(true);
  view->SetRowSelect(true);
  for (const char* caption : {"Channel", "Channel Name(Max.40)", "Close Time", "Current Status"}) {
    TListColumn* c = view->Columns()->Add();
    c->SetCaption(caption);
    c->SetWidth(130);
    c->SetAlignment(taCenter);
  }
  for (int i = 1; i <= 2; ++i) {
    TListItem* item = view->Items()->Add();
    item->SetCaption("DOUT" + std::to_string(i));
    item->SubItems().Add("Relay " + std::to_string(i));
    item->SubItems().Add("0");
    item->SubItems().Add("Open");
  }
  view->SetParent(doSheet);
  view->SetAlign(alClient);
  view->Items()->Item(1)->SubItems().Put(2, "Close");
  view->SetItemIndex(0);

  TStringGrid* grid = Create<TStringGrid>(form.get());
  grid->SetParent(history);
  grid->SetAlign(alClient);
  grid->SetColCount(24);
  grid->SetRowCount(20001);
  grid->SetColWidths(0, 45);
  grid->SetColWidths(1, 80);
  grid->SetColWidths(2, 80);
  grid->SetRowHeights(0, 20);
  for (int r = 1; r <= 20000; ++r) {
    grid->SetCells(0, r, std::to_string(r));
    grid->SetCells(1, r, "2024/12/31");
    grid->SetCells(2, r, "23:59:59");
    grid->SetCells(3, r, std::to_string(r % 32));
  }
  for (int c = 1; c < 24; ++c) grid->SetCells(c, 0, "Col" + std::to_string(c));

  TDateTimePicker* date = Create<TDateTimePicker>(form.get());
  date->SetParent(form.get());
  date->SetBounds(640, 16, 240, 24);
  date->SetDateTime(EncodeDateTime(2026, 12, 6, 23, 59, 0, 0));
  TDateTimePicker* time = Create<TDateTimePicker>(form.get());
  time->SetParent(form.get());
  time->SetKind(dtkTime);
  time->SetBounds(640, 48, 240, 24);
  time->SetDateTime(EncodeDateTime(2026, 12, 6, 23, 59, 0, 0));

  TTreeView* tree = Create<TTreeView>(form.get());
  tree->SetParent(form.get());
  tree->SetBounds(640, 88, 240, 200);
  TTreeNode* skins = tree->Items()->AddChild(nullptr, "Skins");
  tree->Items()->AddChild(skins, "Default");
  tree->Items()->AddChild(skins, "Dark");
  skins->Expand();

  const char* env = std::getenv("KV_SHOWCASE_MS");
  const int ms = env != nullptr ? std::atoi(env) : 2000;
  const char* page = std::getenv("KV_SHOWCASE_PAGE");
  outer->SetActivePageIndex(page != nullptr ? std::atoi(page) : 1);
  inner->SetActivePageIndex(1);
  form->Show();
  kvtest::Pump(ms);
  EXPECT_TRUE(IsWindowVisible(view->Handle()) || IsWindowVisible(grid->Handle()));
}

}  // namespace
