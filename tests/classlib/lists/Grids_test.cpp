// TStringGrid: sparse cells, geometry, scrolling by the bars and the keys,
// clicks on cells, and painting that visits the shown cells only.
#include "classlib/Grids.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "ListsTest.h"

using namespace kv;

namespace {

// Records the cells it is asked to draw.
class TCountingGrid : public TStringGrid {
 public:
  using TStringGrid::TStringGrid;
  std::set<std::pair<int, int>> drawn;

 protected:
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override {
    drawn.insert({col, row});
    TStringGrid::DrawCell(col, row, rect, state);
  }
};

class StringGridTest : public kvtest::ListsFormTest {
 protected:
  void SetUp() override {
    ListsFormTest::SetUp();
    grid = Create<TCountingGrid>(form);
    grid->SetParent(form);
    grid->SetBounds(10, 10, 400, 300);
  }
  void PaintNow() {
    grid->drawn.clear();
    grid->Invalidate();
    UpdateWindow(grid->Handle());
  }
  TCountingGrid* grid = nullptr;
};

TEST(StringGrid, CellsReadBackAndEmptyOutsideTheGrid) {
  Owned<TStringGrid> grid = CreateOwned<TStringGrid>();
  grid->SetColCount(24);
  grid->SetRowCount(20001);
  grid->SetCells(3, 20000, "12.5");
  grid->SetCells(0, 0, "No.");
  EXPECT_EQ(grid->Cells(3, 20000), "12.5");
  EXPECT_EQ(grid->Cells(0, 0), "No.");
  EXPECT_EQ(grid->Cells(4, 20000), "");
  EXPECT_EQ(grid->Cells(3, 19999), "");
  EXPECT_EQ(grid->Cells(24, 0), "");
  EXPECT_EQ(grid->Cells(-1, 5), "");
  EXPECT_EQ(grid->Cells(0, 20001), "");
  EXPECT_THROW(grid->SetCells(24, 1, "x"), EInvalidGridOperation);
  EXPECT_THROW(grid->SetCells(0, -1, "x"), EInvalidGridOperation);
  // Empty texts into empty cells anywhere are accepted and change nothing.
  for (int r = 1; r < 20001; ++r)
    for (int c = 1; c < 24; ++c) grid->SetCells(c, r, "");
  EXPECT_EQ(grid->Cells(3, 20000), "");
  EXPECT_EQ(grid->Cells(0, 0), "No.");
}

TEST(StringGrid, EmptyingCellsKeepsTheOthersOfTheRow) {
  Owned<TStringGrid> grid = CreateOwned<TStringGrid>();
  grid->SetColCount(6);
  for (int c = 0; c < 6; ++c) grid->SetCells(c, 2, std::to_string(c));
  grid->SetCells(5, 2, "");
  grid->SetCells(2, 2, "");
  EXPECT_EQ(grid->Cells(1, 2), "1");
  EXPECT_EQ(grid->Cells(2, 2), "");
  EXPECT_EQ(grid->Cells(4, 2), "4");
  grid->SetCells(6 - 1, 2, "back");
  EXPECT_EQ(grid->Cells(5, 2), "back");
}

TEST(StringGrid, FewerColumnsOrRowsDropTheTextsBeyondThem) {
  Owned<TStringGrid> grid = CreateOwned<TStringGrid>();
  grid->SetColCount(320);
  grid->SetRowCount(10);
  grid->SetCells(200, 3, "far");
  grid->SetCells(8, 9, "low");
  grid->SetColCount(16);
  grid->SetRowCount(5);
  grid->SetColCount(320);
  grid->SetRowCount(10);
  EXPECT_EQ(grid->Cells(200, 3), "");
  EXPECT_EQ(grid->Cells(8, 9), "");
}

TEST(StringGrid, ColumnWidthsAndRowHeightsAreKeptPerIndex) {
  Owned<TStringGrid> grid = CreateOwned<TStringGrid>();
  grid->SetColCount(24);
  grid->SetColWidths(0, 45);
  grid->SetColWidths(7, 100);
  grid->SetRowHeights(0, 20);
  EXPECT_EQ(grid->ColWidths(0), 45);
  EXPECT_EQ(grid->ColWidths(7), 100);
  EXPECT_EQ(grid->ColWidths(1), grid->DefaultColWidth());
  EXPECT_EQ(grid->RowHeights(0), 20);
  EXPECT_EQ(grid->RowHeights(1), grid->DefaultRowHeight());
  grid->SetColCount(30);  // new columns take the default
  EXPECT_EQ(grid->ColWidths(29), grid->DefaultColWidth());
  EXPECT_EQ(grid->ColWidths(7), 100);
}

TEST_F(StringGridTest, PaintingVisitsOnlyTheShownCellsOfAHugeGrid) {
  grid->SetColCount(320);
  grid->SetRowCount(20001);
  PaintNow();
  ASSERT_FALSE(grid->drawn.empty());
  // 400 x 300 pixels hold at most 7 columns of 64 and 13 rows of 24.
  EXPECT_LE(grid->drawn.size(), 8u * 14u);
  EXPECT_TRUE(grid->drawn.count({0, 0}));
  EXPECT_TRUE(grid->drawn.count({1, 1}));
  EXPECT_FALSE(grid->drawn.count({1, 20}));

  grid->SetTopRow(15000);
  grid->SetLeftCol(300);
  PaintNow();
  EXPECT_LE(grid->drawn.size(), 8u * 14u);
  EXPECT_TRUE(grid->drawn.count({0, 0}));      // the fixed corner stays
  EXPECT_TRUE(grid->drawn.count({0, 15000}));  // the fixed column follows the rows
  EXPECT_TRUE(grid->drawn.count({300, 0}));    // the fixed row follows the columns
  EXPECT_TRUE(grid->drawn.count({300, 15000}));
  EXPECT_FALSE(grid->drawn.count({1, 1}));
}

TEST_F(StringGridTest, ScrollBarsSpanTheScrollableRowsAndMoveTheTopRow) {
  grid->SetColCount(24);
  grid->SetRowCount(20001);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 19999);
  EXPECT_EQ(si.nPos, 0);
  const int page = grid->VisibleRowCount();
  EXPECT_EQ(static_cast<int>(si.nPage), page);

  SendMessageW(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(grid->TopRow(), 1 + page);
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(grid->TopRow(), page);
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(grid->TopRow() + grid->VisibleRowCount() - 1, 20000) << "last row at the bottom";
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(grid->TopRow(), 1);
  SendMessageW(grid->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid->LeftCol(), 2);
  si.fMask = SIF_POS;
  GetScrollInfo(grid->Handle(), SB_HORZ, &si);
  EXPECT_EQ(si.nPos, 1);
}

TEST_F(StringGridTest, ClickingACellMakesItCurrentAndArrowsMoveOn) {
  grid->SetColCount(10);
  grid->SetRowCount(100);
  std::vector<std::pair<int, int>> asked;
  grid->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
    asked.push_back({c, r});
    can = r != 5;  // row 5 may not be entered
  };
  const TRect cell = grid->CellRect(3, 2);
  Click(grid->Handle(), cell.Left + 5, cell.Top + 5);
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_TRUE(grid->Focused());
  Key(grid->Handle(), VK_DOWN);
  EXPECT_EQ(grid->Row(), 3);
  Key(grid->Handle(), VK_RIGHT);
  EXPECT_EQ(grid->Col(), 4);
  grid->SetRow(4);
  Key(grid->Handle(), VK_DOWN);
  EXPECT_EQ(grid->Row(), 4) << "the handler refused row 5";
  Key(grid->Handle(), VK_END);
  EXPECT_EQ(grid->Col(), 9);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front(), std::make_pair(3, 2));

  // Going far down scrolls so that the current row shows.
  grid->SetRow(80);
  EXPECT_LE(grid->TopRow(), 80);
  EXPECT_GE(grid->TopRow() + grid->VisibleRowCount(), 81);
}

TEST_F(StringGridTest, FixedCellsTakeTheFixedColourAndOthersTheGridColour) {
  grid->SetFixedColor(clYellow);
  grid->SetColor(clWhite);
  grid->SetOptions(0);  // no lines in the way
  PaintNow();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 400, 300);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  grid->PaintTo(dc, 0, 0);  // the client area at the origin
  const TRect fixedCell = grid->CellRect(0, 0);
  const TRect plainCell = grid->CellRect(2, 2);
  EXPECT_EQ(GetPixel(dc, fixedCell.Left + 3, fixedCell.Bottom - 3), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(dc, plainCell.Left + 3, plainCell.Bottom - 3), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace
