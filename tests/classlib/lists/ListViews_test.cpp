// TListView in report view: columns and items mirrored into the window,
// sub-item writes that update the shown cell, selection by program and by
// clicks, recreation that keeps everything, and the custom-draw hooks.
#include "classlib/ListViews.h"

#include <gtest/gtest.h>

#include "ListsTest.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"

using namespace kv;

namespace {

std::string CellText(HWND wnd, int row, int column) {
  wchar_t buf[128] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = 128;
  SendMessageW(wnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Narrow(buf);
}

class ListViewTest : public kvtest::ListsFormTest {
 protected:
  void SetUp() override {
    ListsFormTest::SetUp();
    view = Create<TListView>(form);
    view->SetViewStyle(vsReport);
    for (const char* caption : {"Channel", "Name", "Value"}) {
      TListColumn* c = view->Columns()->Add();
      c->SetCaption(caption);
      c->SetWidth(90);
    }
    view->Columns()->Items(1)->SetAlignment(taCenter);
    for (int i = 1; i <= 3; ++i) {
      TListItem* item = view->Items()->Add();
      item->SetCaption("DOUT" + std::to_string(i));
      item->SubItems().Add("name " + std::to_string(i));
      item->SubItems().Add("0");
    }
    view->SetParent(form);
    view->SetBounds(10, 10, 400, 200);
    kvtest::Pump(30);
  }
  TListView* view = nullptr;
};

TEST_F(ListViewTest, ColumnsAndItemsMadeBeforeTheWindowShowInIt) {
  HWND wnd = view->Handle();
  HWND header = reinterpret_cast<HWND>(SendMessageW(wnd, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(CellText(wnd, 0, 0), "DOUT1");
  EXPECT_EQ(CellText(wnd, 2, 1), "name 3");
  LVCOLUMNW col{};
  col.mask = LVCF_FMT | LVCF_WIDTH;
  SendMessageW(wnd, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
  EXPECT_EQ(col.cx, 90);
  EXPECT_EQ(view->Columns()->Count(), 3);
}

TEST_F(ListViewTest, WritingASubItemUpdatesTheShownCell) {
  HWND wnd = view->Handle();
  TListItem* item = view->Items()->Item(1);
  item->SubItems().Put(1, "23.5");
  EXPECT_EQ(CellText(wnd, 1, 2), "23.5");
  EXPECT_EQ(item->SubItems()[1], "23.5");
  item->SetCaption("DOUT2*");
  EXPECT_EQ(CellText(wnd, 1, 0), "DOUT2*");
  item->SubItems().Delete(0);  // the later texts move one column left
  EXPECT_EQ(CellText(wnd, 1, 1), "23.5");
  EXPECT_EQ(CellText(wnd, 1, 2), "");
  item->SubItems().Clear();
  EXPECT_EQ(CellText(wnd, 1, 1), "");
  EXPECT_THROW(item->SubItems().Put(5, "x"), EStringListError);
  EXPECT_THROW(view->Items()->Item(3), EInvalidOperation);
  EXPECT_THROW(view->Columns()->Items(-1), EInvalidOperation);
}

TEST_F(ListViewTest, SelectedAndItemIndexFollowTheProgramAndIgnoreBadIndexes) {
  EXPECT_EQ(view->Selected(), nullptr);
  EXPECT_EQ(view->ItemIndex(), -1);
  view->SetItemIndex(2);
  EXPECT_EQ(view->Selected(), view->Items()->Item(2));
  EXPECT_EQ(view->ItemIndex(), 2);
  view->SetSelected(view->Items()->Item(0));
  EXPECT_EQ(view->ItemIndex(), 0);
  EXPECT_EQ(view->SelCount(), 1);
  view->SetItemIndex(7);
  EXPECT_EQ(view->Selected(), nullptr);
  view->SetItemIndex(-1);
  EXPECT_EQ(view->ItemIndex(), -1);
}

TEST_F(ListViewTest, ClicksSelectTheRowAndADoubleClickIsReportedOnce) {
  view->SetRowSelect(true);
  int dbl = 0;
  std::vector<std::string> selected;
  view->OnDblClick = [&](TObject*) { ++dbl; };
  view->OnSelectItem = [&](TObject*, TListItem* item, bool on) {
    if (on) selected.push_back(item->Caption());
  };
  const TRect r = view->ItemRect(1);
  ASSERT_GT(r.Height(), 0);
  Click(view->Handle(), 150, (r.Top + r.Bottom) / 2);  // on a sub-item: the whole row counts
  EXPECT_EQ(view->ItemIndex(), 1);
  EXPECT_EQ(selected, std::vector<std::string>{"DOUT2"});
  EXPECT_EQ(dbl, 0);
  Click(view->Handle(), 20, (r.Top + r.Bottom) / 2, true);
  EXPECT_EQ(dbl, 1);
  EXPECT_EQ(view->GetItemAt(150, (r.Top + r.Bottom) / 2), view->Items()->Item(1));
}

TEST_F(ListViewTest, ANewWindowKeepsColumnsItemsWidthsAndSelection) {
  HWND old = view->Handle();
  SendMessageW(old, LVM_SETCOLUMNWIDTH, 2, 120);  // as if the user dragged it
  view->SetItemIndex(1);
  view->SetMultiSelect(true);  // a window style: a new window
  HWND wnd = view->Handle();
  EXPECT_NE(wnd, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(GetWindowLongW(wnd, GWL_STYLE) & LVS_REPORT);
  EXPECT_FALSE(GetWindowLongW(wnd, GWL_STYLE) & LVS_SINGLESEL);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(CellText(wnd, 2, 2), "0");
  EXPECT_EQ(view->Columns()->Items(2)->Width(), 120);
  EXPECT_EQ(view->ItemIndex(), 1);
}

TEST_F(ListViewTest, StyleFlagsAndColumnLimits) {
  view->SetGridLines(true);
  view->SetRowSelect(true);
  const auto ex = SendMessageW(view->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  view->SetReadOnly(true);
  EXPECT_FALSE(GetWindowLongW(view->Handle(), GWL_STYLE) & LVS_EDITLABELS);

  TListColumn* c = view->Columns()->Items(0);
  c->SetMinWidth(40);
  c->SetMaxWidth(100);
  c->SetWidth(300);
  EXPECT_EQ(c->Width(), 100);
  c->SetWidth(10);
  EXPECT_EQ(c->Width(), 40);

  // An auto-sized column takes what the others leave.
  view->Columns()->Items(2)->SetAutoSize(true);
  RECT rc;
  GetClientRect(view->Handle(), &rc);
  EXPECT_EQ(view->Columns()->Items(0)->Width() + view->Columns()->Items(1)->Width() +
                view->Columns()->Items(2)->Width(),
            rc.right);
}

TEST_F(ListViewTest, BulkAddingBetweenBeginAndEndUpdateShowsEveryRow) {
  view->BeginUpdate();
  for (int i = 0; i < 200; ++i) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(std::to_string(i));
    item->SubItems().Add("a");
  }
  view->EndUpdate();
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 203);
  EXPECT_EQ(CellText(view->Handle(), 202, 0), "199");
  EXPECT_EQ(CellText(view->Handle(), 202, 1), "a");
  view->Items()->Delete(0);
  EXPECT_EQ(CellText(view->Handle(), 0, 0), "DOUT2");
  view->Items()->Clear();
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, CustomDrawHooksSeeEveryStageAndCanPaintOnTheCanvas) {
  std::vector<std::string> stages;
  view->OnAdvancedCustomDraw = [&](TListView* sender, const TRect&, TCustomDrawStage stage, bool&) {
    stages.push_back(stage == cdPrePaint ? "pre" : stage == cdPostPaint ? "post" : "erase");
    if (stage == cdPostPaint) {
      sender->Canvas()->Brush()->SetColor(clRed);
      // Below the rows, away from the header window.
      sender->Canvas()->FillRect(Rect(0, 150, 4, 154));
    }
  };
  std::vector<std::string> items;
  view->OnAdvancedCustomDrawItem = [&](TListView*, TListItem* item, TCustomDrawState,
                                       TCustomDrawStage stage, bool&) {
    if (stage == cdPrePaint) items.push_back(item->Caption());
  };
  InvalidateRect(view->Handle(), nullptr, TRUE);
  UpdateWindow(view->Handle());
  ASSERT_GE(stages.size(), 2u);
  EXPECT_EQ(stages.front(), "pre");
  EXPECT_EQ(stages.back(), "post");
  EXPECT_EQ(items, (std::vector<std::string>{"DOUT1", "DOUT2", "DOUT3"}));
  HDC dc = GetDC(view->Handle());
  EXPECT_EQ(GetPixel(dc, 1, 151), RGB(255, 0, 0));
  ReleaseDC(view->Handle(), dc);
}

}  // namespace

namespace {

TEST_F(ListViewTest, SmallImagesReachTheWindowAndAreForgottenWhenFreed) {
  TImageList* images = Create<TImageList>(nullptr);
  images->SetSize(16, 16);
  view->SetSmallImages(images);
  EXPECT_EQ(
      reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
      images->Handle());
  view->SetMultiSelect(true);  // a new window gets the list too
  EXPECT_EQ(
      reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
      images->Handle());
  images->Free();
  EXPECT_EQ(view->SmallImages(), nullptr);
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
}

}  // namespace
