#include "classlib/Grids.h"

#include <windowsx.h>

#include <algorithm>

namespace kv {

namespace {

const std::string kEmpty;

}  // namespace

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetColor(clWindow);
  SetTabStop(true);
  rows_.resize(5);
  colWidths_.assign(static_cast<size_t>(colCount_), defaultColWidth_);
  rowHeights_.assign(rows_.size(), defaultRowHeight_);
  SetBounds(0, 0, 320, 120);
}

TStringGrid::~TStringGrid() = default;

// --- size and cells --------------------------------------------------------------------

void TStringGrid::SetColCount(int count) {
  count = std::max(count, 1);
  if (count == colCount_) return;
  colCount_ = count;
  colWidths_.resize(static_cast<size_t>(count), defaultColWidth_);
  // Texts of columns that went away go with them.
  for (auto& row : rows_)
    if (row && static_cast<int>(row->size()) > count) row->resize(static_cast<size_t>(count));
  fixedCols_ = std::min(fixedCols_, count - 1);
  col_ = std::clamp(col_, fixedCols_, count - 1);
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetRowCount(int count) {
  count = std::max(count, 1);
  if (count == RowCount()) return;
  rows_.resize(static_cast<size_t>(count));
  rowHeights_.resize(static_cast<size_t>(count), defaultRowHeight_);
  fixedRows_ = std::min(fixedRows_, count - 1);
  row_ = std::clamp(row_, fixedRows_, count - 1);
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedCols(int count) {
  if (count < 0 || count >= colCount_)
    throw EInvalidGridOperation("Fixed column count must be less than column count");
  fixedCols_ = count;
  leftCol_ = std::max(leftCol_, count);
  col_ = std::max(col_, count);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedRows(int count) {
  if (count < 0 || count >= RowCount())
    throw EInvalidGridOperation("Fixed row count must be less than row count");
  fixedRows_ = count;
  topRow_ = std::max(topRow_, count);
  row_ = std::max(row_, count);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::CheckCell(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount())
    throw EInvalidGridOperation("Grid index out of range");
}

const std::string& TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount()) return kEmpty;
  const TRow* r = rows_[static_cast<size_t>(row)].get();
  if (r == nullptr || col >= static_cast<int>(r->size())) return kEmpty;
  return (*r)[static_cast<size_t>(col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
  CheckCell(col, row);
  auto& slot = rows_[static_cast<size_t>(row)];
  const auto c = static_cast<size_t>(col);
  if (text.empty()) {
    // Emptying an empty cell allocates nothing; emptying the last texts of a
    // row gives the row's memory back.
    if (!slot || c >= slot->size()) return;
    (*slot)[c].clear();
    if (c + 1 == slot->size()) {
      while (!slot->empty() && slot->back().empty()) slot->pop_back();
      if (slot->empty()) slot.reset();
    }
  } else {
    if (!slot) slot = std::make_unique<TRow>();
    if (c >= slot->size()) slot->resize(c + 1);
    (*slot)[c] = text;
  }
  if (HandleAllocated()) {
    const TRect r = CellRect(col, row);
    if (!IsRectEmpty(r)) {
      const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
      InvalidateRect(Handle(), &rc, FALSE);
    }
  }
}

void TStringGrid::ClearCells() {
  for (auto& row : rows_) row.reset();
  Invalidate();
}

// --- geometry --------------------------------------------------------------------------

void TStringGrid::SetDefaultColWidth(int width) {
  defaultColWidth_ = std::max(width, 0);
  colWidths_.assign(static_cast<size_t>(colCount_), defaultColWidth_);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = std::max(height, 0);
  rowHeights_.assign(rows_.size(), defaultRowHeight_);
  UpdateScrollBars();
  Invalidate();
}

int TStringGrid::ColWidths(int col) const {
  if (col < 0 || col >= colCount_) return defaultColWidth_;
  return colWidths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidths(int col, int width) {
  CheckCell(col, 0);
  colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
  UpdateScrollBars();
  Invalidate();
}

int TStringGrid::RowHeights(int row) const {
  if (row < 0 || row >= RowCount()) return defaultRowHeight_;
  return rowHeights_[static_cast<size_t>(row)];
}

void TStringGrid::SetRowHeights(int row, int height) {
  CheckCell(0, row);
  rowHeights_[static_cast<size_t>(row)] = std::max(height, 0);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetGridLineWidth(int width) {
  gridLineWidth_ = std::max(width, 0);
  Invalidate();
}

void TStringGrid::SetOptions(TGridOptions options) {
  options_ = options;
  Invalidate();
}

void TStringGrid::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TStringGrid::SetFixedColor(TColor color) {
  fixedColor_ = color;
  Invalidate();
}

int TStringGrid::FixedWidth() const {
  int w = 0;
  for (int c = 0; c < fixedCols_; ++c) w += ColWidths(c) + gridLineWidth_;
  return w;
}

int TStringGrid::FixedHeight() const {
  int h = 0;
  for (int r = 0; r < fixedRows_; ++r) h += RowHeights(r) + gridLineWidth_;
  return h;
}

int TStringGrid::VisibleColCount() {
  int space = ClientWidth() - FixedWidth(), n = 0;
  for (int c = leftCol_; c < colCount_; ++c) {
    space -= ColWidths(c) + gridLineWidth_;
    if (space < 0) break;
    ++n;
  }
  return std::max(n, 1);
}

int TStringGrid::VisibleRowCount() {
  int space = ClientHeight() - FixedHeight(), n = 0;
  for (int r = topRow_; r < RowCount(); ++r) {
    space -= RowHeights(r) + gridLineWidth_;
    if (space < 0) break;
    ++n;
  }
  return std::max(n, 1);
}

// The last top row that still fills the client area, counted from the end
// so that only the rows at the bottom are visited.
int TStringGrid::MaxTopRow() {
  int space = ClientHeight() - FixedHeight();
  int r = RowCount() - 1;
  while (r > fixedRows_ && space - (RowHeights(r) + gridLineWidth_) >= 0) {
    space -= RowHeights(r) + gridLineWidth_;
    --r;
  }
  if (space - (RowHeights(r) + gridLineWidth_) < 0 && r < RowCount() - 1) ++r;
  return std::max(r, fixedRows_);
}

int TStringGrid::MaxLeftCol() {
  int space = ClientWidth() - FixedWidth();
  int c = colCount_ - 1;
  while (c > fixedCols_ && space - (ColWidths(c) + gridLineWidth_) >= 0) {
    space -= ColWidths(c) + gridLineWidth_;
    --c;
  }
  if (space - (ColWidths(c) + gridLineWidth_) < 0 && c < colCount_ - 1) ++c;
  return std::max(c, fixedCols_);
}

TRect TStringGrid::CellRect(int col, int row) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount()) return {};
  if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_)) return {};
  const int cw = ClientWidth(), ch = ClientHeight();
  int x = 0;
  if (col < fixedCols_) {
    for (int c = 0; c < col; ++c) x += ColWidths(c) + gridLineWidth_;
  } else {
    x = FixedWidth();
    for (int c = leftCol_; c < col && x < cw; ++c) x += ColWidths(c) + gridLineWidth_;
  }
  int y = 0;
  if (row < fixedRows_) {
    for (int r = 0; r < row; ++r) y += RowHeights(r) + gridLineWidth_;
  } else {
    y = FixedHeight();
    for (int r = topRow_; r < row && y < ch; ++r) y += RowHeights(r) + gridLineWidth_;
  }
  if (x >= cw || y >= ch) return {};
  return Rect(x, y, std::min(x + ColWidths(col), cw), std::min(y + RowHeights(row), ch));
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) {
  col = row = -1;
  if (x < 0 || y < 0) return false;
  int edge = 0;
  for (int c = 0; c < colCount_; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= colCount_) break;
    edge += ColWidths(c) + gridLineWidth_;
    if (x < edge) {
      col = c;
      break;
    }
    if (edge > ClientWidth()) break;
  }
  edge = 0;
  for (int r = 0; r < RowCount(); ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= RowCount()) break;
    edge += RowHeights(r) + gridLineWidth_;
    if (y < edge) {
      row = r;
      break;
    }
    if (edge > ClientHeight()) break;
  }
  return col >= 0 && row >= 0;
}

// --- scrolling and the current cell ----------------------------------------------------

void TStringGrid::SetTopRow(int row) {
  row = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxTopRow()));
  if (row == topRow_) return;
  topRow_ = row;
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetLeftCol(int col) {
  col = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
  if (col == leftCol_) return;
  leftCol_ = col;
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  // Positions count scrollable rows and columns; a page is what fits. A bar
  // is set only when it changed: drawing both bars on every step made
  // scrolling slower than painting the cells.
  auto set = [&](int bar, int max, int page, int pos, TBarState& last) {
    const TBarState now{max, page, pos};
    if (now == last) return;
    last = now;
    SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, max, static_cast<UINT>(page), pos,
                  0};
    SetScrollInfo(Handle(), bar, &si, TRUE);
  };
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
    set(SB_VERT, std::max(0, RowCount() - fixedRows_ - 1), VisibleRowCount(), topRow_ - fixedRows_,
        vertBar_);
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
    set(SB_HORZ, std::max(0, colCount_ - fixedCols_ - 1), VisibleColCount(), leftCol_ - fixedCols_,
        horzBar_);
}

void TStringGrid::Scroll(int bar, int code) {
  const bool vert = bar == SB_VERT;
  const int first = vert ? topRow_ : leftCol_;
  const int page = vert ? VisibleRowCount() : VisibleColCount();
  const int fixed = vert ? fixedRows_ : fixedCols_;
  int target = first;
  switch (code) {
    case SB_LINEUP:
      target = first - 1;
      break;
    case SB_LINEDOWN:
      target = first + 1;
      break;
    case SB_PAGEUP:
      target = first - page;
      break;
    case SB_PAGEDOWN:
      target = first + page;
      break;
    case SB_TOP:
      target = fixed;
      break;
    case SB_BOTTOM:
      target = vert ? RowCount() : colCount_;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit position, not the 16-bit one in the message.
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(Handle(), bar, &si);
      target = fixed + si.nTrackPos;
      break;
    }
    default:
      return;
  }
  if (vert)
    SetTopRow(target);
  else
    SetLeftCol(target);
}

bool TStringGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

void TStringGrid::MoveCurrent(int col, int row) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, RowCount() - 1);
  if (col == col_ && row == row_) return;
  // OnSelectCell may free the grid.
  const TLifeToken life = LifeToken();
  if (!SelectCell(col, row) || !life.Alive()) return;
  const TRect oldRect = CellRect(col_, row_);
  col_ = col;
  row_ = row;
  MakeVisible(col, row);
  if (HandleAllocated()) {
    for (const TRect& r : {oldRect, CellRect(col_, row_)}) {
      const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
      if (!IsRectEmpty(r)) InvalidateRect(Handle(), &rc, FALSE);
    }
  }
}

void TStringGrid::MakeVisible(int col, int row) {
  if (row < topRow_)
    SetTopRow(row);
  else if (row >= topRow_ + VisibleRowCount())
    SetTopRow(row - VisibleRowCount() + 1);
  if (col < leftCol_)
    SetLeftCol(col);
  else if (col >= leftCol_ + VisibleColCount())
    SetLeftCol(col - VisibleColCount() + 1);
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // OnEnter (on the focus the click gives) or OnSelectCell may free the grid.
  const TLifeToken life = LifeToken();
  if (CanFocus() && !Focused()) SetFocus();
  if (!life.Alive()) return;
  int c, r;
  if (button == mbLeft && MouseToCell(x, y, c, r) && c >= fixedCols_ && r >= fixedRows_)
    MoveCurrent(c, r);
  if (life.Alive()) TCustomControl::MouseDown(button, shift, x, y);
}

void TStringGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  switch (key) {
    case VK_UP:
      MoveCurrent(col_, row_ - 1);
      break;
    case VK_DOWN:
      MoveCurrent(col_, row_ + 1);
      break;
    case VK_LEFT:
      MoveCurrent(col_ - 1, row_);
      break;
    case VK_RIGHT:
      MoveCurrent(col_ + 1, row_);
      break;
    case VK_PRIOR:
      MoveCurrent(col_, row_ - VisibleRowCount());
      break;
    case VK_NEXT:
      MoveCurrent(col_, row_ + VisibleRowCount());
      break;
    case VK_HOME:
      MoveCurrent(shift & ssCtrl ? col_ : fixedCols_, shift & ssCtrl ? fixedRows_ : row_);
      break;
    case VK_END:
      MoveCurrent(shift & ssCtrl ? col_ : colCount_ - 1, shift & ssCtrl ? RowCount() - 1 : row_);
      break;
    default:
      break;
  }
}

bool TStringGrid::DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) {
  if (TCustomControl::DoMouseWheel(shift, delta, mousePos)) return true;
  SetTopRow(topRow_ - delta / WHEEL_DELTA * 3);
  return true;
}

// --- window ----------------------------------------------------------------------------

void TStringGrid::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ExStyle |= WS_EX_CLIENTEDGE;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TStringGrid::CreateHandleDone() {
  TCustomControl::CreateHandleDone();
  vertBar_ = horzBar_ = TBarState{};
  UpdateScrollBars();
}

void TStringGrid::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
      // Our own bars (a bar control would name itself in LParam).
      if (m.LParam == 0) {
        Scroll(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(m.WParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;  // Paint covers every pixel
      return;
    case WM_SIZE:
      TCustomControl::Dispatch(m);
      topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
      leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
      UpdateScrollBars();
      Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(m);
}

// --- painting --------------------------------------------------------------------------

void TStringGrid::Paint() {
  TCanvas* canvas = Canvas();
  const TRect clip = canvas->ClipRect();
  const int cw = ClientWidth(), ch = ClientHeight();
  const int line = gridLineWidth_;
  canvas->Font()->Assign(*Font());  // once: a font per cell costs more than its text
  // Only the rows and columns that meet the clip rectangle: the fixed ones,
  // then the scrolled ones from TopRow and LeftCol until the client ends.
  std::vector<std::pair<int, int>> cols;  // index, x
  for (int c = 0, x = 0; c < colCount_ && x < cw; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= colCount_) break;
    const int w = ColWidths(c);
    if (x + w + line > clip.Left && x < clip.Right) cols.emplace_back(c, x);
    x += w + line;
  }
  int right = 0;
  for (int c = 0, x = 0; c < colCount_ && x < cw; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= colCount_) break;
    x += ColWidths(c) + line;
    right = x;
  }
  int bottom = 0;
  for (int r = 0, y = 0; r < RowCount() && y < ch; ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= RowCount()) break;
    const int h = RowHeights(r);
    if (y + h + line > clip.Top && y < clip.Bottom) {
      for (auto [c, x] : cols) {
        TGridDrawState state = 0;
        if (c < fixedCols_ || r < fixedRows_) state |= gdFixed;
        if (c == col_ && r == row_) state |= gdSelected | (Focused() ? gdFocused : 0);
        if ((options_ & goRowSelect) && r == row_ && !(state & gdFixed)) state |= gdSelected;
        DrawCell(c, r, Bounds(x, y, ColWidths(c), h), state);
      }
    }
    y += h + line;
    bottom = y;
  }
  PaintLines(right, bottom);
  // What lies beyond the last column and row.
  canvas->Brush()->SetColor(Color());
  if (right < cw) canvas->FillRect(Rect(right, 0, cw, ch));
  if (bottom < ch) canvas->FillRect(Rect(0, bottom, std::min(right, cw), ch));
}

void TStringGrid::PaintLines(int right, int bottom) {
  if (gridLineWidth_ <= 0) return;
  TCanvas* canvas = Canvas();
  const int line = gridLineWidth_;
  const int fw = FixedWidth(), fh = FixedHeight();
  const int cw = ClientWidth(), ch = ClientHeight();
  auto fill = [&](const TRect& r, TColor color) {
    canvas->Brush()->SetColor(color);
    canvas->FillRect(r);
  };
  const TColor fixedLine = clBlack;
  const TColor cellLine = clSilver;
  // Vertical lines after each shown column, horizontal ones after each row.
  for (int c = 0, x = 0; c < colCount_ && x < cw; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= colCount_) break;
    x += ColWidths(c);
    const bool fixedCol = c < fixedCols_;
    if (fixedCol ? (options_ & goFixedVertLine) : (options_ & goVertLine))
      fill(Rect(x, fixedCol ? 0 : fh, x + line, bottom), fixedCol ? fixedLine : cellLine);
    if (!fixedCol && (options_ & goFixedVertLine) && fh > 0)
      fill(Rect(x, 0, x + line, fh), fixedLine);
    x += line;
  }
  for (int r = 0, y = 0; r < RowCount() && y < ch; ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= RowCount()) break;
    y += RowHeights(r);
    const bool fixedRow = r < fixedRows_;
    if (fixedRow ? (options_ & goFixedHorzLine) : (options_ & goHorzLine))
      fill(Rect(fixedRow ? 0 : fw, y, right, y + line), fixedRow ? fixedLine : cellLine);
    if (!fixedRow && (options_ & goFixedHorzLine) && fw > 0)
      fill(Rect(0, y, fw, y + line), fixedLine);
    y += line;
  }
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  TCanvas* canvas = Canvas();
  if (defaultDrawing_) {
    TColor back = Color(), fore = Font()->Color();
    if (state & gdFixed) {
      back = fixedColor_;
    } else if ((state & gdSelected) &&
               (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)))) {
      back = clHighlight;
      fore = clHighlightText;
    }
    canvas->Brush()->SetColor(back);
    canvas->FillRect(rect);
    if (canvas->Font()->Color() != fore) canvas->Font()->SetColor(fore);
    const std::string& text = Cells(col, row);
    if (!text.empty()) {
      SetBkMode(canvas->Handle(), TRANSPARENT);
      canvas->TextRect(rect, rect.Left + 2, rect.Top + 2, text);
    }
    if ((state & gdFocused) && !(options_ & goRowSelect)) canvas->DrawFocusRect(rect);
  }
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

}  // namespace kv
