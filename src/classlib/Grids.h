#pragma once
// TStringGrid: a grid of texts painted by the control itself.
//
// Cells are stored sparsely, one row record per row that holds text, so an
// empty grid of many thousands of rows costs one pointer per row, and
// writing an empty text into an empty cell allocates nothing. The grid
// scrolls by whole rows and columns and paints only the cells it shows.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"

namespace kv {

using TGridDrawState = uint8_t;
constexpr TGridDrawState gdSelected = 1, gdFocused = 2, gdFixed = 4;

using TGridOptions = uint16_t;
constexpr TGridOptions goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2,
                       goHorzLine = 1u << 3, goRangeSelect = 1u << 4, goDrawFocusSelected = 1u << 5,
                       goRowSelect = 1u << 6, goThumbTracking = 1u << 7;

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TStringGrid : public TCustomControl {
 public:
  explicit TStringGrid(TComponent* owner);
  ~TStringGrid() override;

  // Called for every cell painted, after the default drawing when
  // DefaultDrawing is on.
  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

  int ColCount() const { return colCount_; }
  void SetColCount(int count);
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetRowCount(int count);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int count);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int count);

  // Reading outside the grid gives the empty text; writing outside raises
  // EInvalidGridOperation.
  const std::string& Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string& text);
  // Empties every cell, giving their memory back.
  void ClearCells();

  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int height);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int width);

  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions options);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor color);
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool value) { defaultDrawing_ = value; }

  // The first scrollable column and row shown.
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int col);
  int TopRow() const { return topRow_; }
  void SetTopRow(int row);
  // How many scrollable rows and columns fit wholly in the client area.
  int VisibleColCount();
  int VisibleRowCount();
  // The current cell.
  int Col() const { return col_; }
  void SetCol(int col) { MoveCurrent(col, row_); }
  int Row() const { return row_; }
  void SetRow(int row) { MoveCurrent(col_, row); }

  // The cell's rectangle in client coordinates; empty when not shown.
  TRect CellRect(int col, int row);
  // The cell at a client point; false outside every shown cell.
  bool MouseToCell(int x, int y, int& col, int& row);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Dispatch(TMessage& message) override;
  void Paint() override;
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  virtual bool SelectCell(int col, int row);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) override;

 private:
  using TRow = std::vector<std::string>;
  void CheckCell(int col, int row) const;
  void UpdateScrollBars();
  void Scroll(int bar, int code);
  void MoveCurrent(int col, int row);
  void MakeVisible(int col, int row);
  int MaxTopRow();
  int MaxLeftCol();
  int FixedWidth() const;
  int FixedHeight() const;
  void PaintLines(int right, int bottom);

  int colCount_ = 5;
  std::vector<std::unique_ptr<TRow>> rows_;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
  TScrollStyle scrollBars_ = ssBoth;
  TColor fixedColor_ = clBtnFace;
  bool defaultDrawing_ = true;
  int leftCol_ = 1;
  int topRow_ = 1;
  int col_ = 1;
  int row_ = 1;
  struct TBarState {
    int max = -1, page = -1, pos = -1;
    friend bool operator==(const TBarState&, const TBarState&) = default;
  };
  TBarState vertBar_, horzBar_;  // as last given to the window
};

class EInvalidGridOperation : public Exception {
  using Exception::Exception;
};

}  // namespace kv
