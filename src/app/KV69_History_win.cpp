// The main window's history page: reading records into the grid, the time
// filter and the CSV files; and the Skins menu.
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/HistoryCsv_Unt.h"
#include "app/HistoryFilter_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftHistory_Unt.h"
#include "app/Variable_Unt.h"
#include "base/SysUtils.h"
#include "classlib/Dialogs.h"

namespace kv {

namespace {

// The grid before the device's model is known.
constexpr int DesignColumnCount = 320;
constexpr int HeaderRowHeight = 20;
// Emptying the grid moves the gauge after this many cells. Every cell is
// cheap: the gauge repaints only when its percentage changes.
constexpr int ClearGaugeStep = 1;
const char* const CsvFilter = "CSV File (*.csv)|*.csv";

// Layout of the page's three groups (pixels).
constexpr int GroupTop = 4;
constexpr int GroupHeight = 112;
constexpr int GroupGap = 6;
constexpr int ButtonHeight = 25;
constexpr int EditHeight = 21;

std::string ProgramFolder() { return ExtractFilePath(Application->ExeName()); }

// The caption a control starts with (Chinese, as the captions are applied
// again for the language at show).
std::string InitialCaption(const char* name) {
  for (auto table : {ButtonCaptions(), GroupAndLabelCaptions(), EditLabelCaptions()})
    if (const TCaptionText* caption = FindCaption(table, name)) return caption->Chinese;
  return {};
}

template <class T>
T* MakeControl(TFormKV69* form, TWinControl* parent, const char* name, int left, int top, int width,
               int height) {
  T* control = Create<T>(form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// Closes the progress window however a command ends.
class TProgressGuard {
 public:
  explicit TProgressGuard(TFormKV69& form) : form_(form) {}
  ~TProgressGuard() { form_.CloseProgressWindow(); }
  TProgressGuard(const TProgressGuard&) = delete;
  TProgressGuard& operator=(const TProgressGuard&) = delete;

 private:
  TFormKV69& form_;
};

// The data cells of the grid, each row up to its last text (an empty grid
// of many columns costs nothing).
THistoryGridRows GridRows(const TStringGrid& grid) {
  THistoryGridRows rows;
  rows.reserve(static_cast<std::size_t>(grid.RowCount()));
  for (int r = 1; r < grid.RowCount(); ++r) {
    int last = 0;
    for (int c = grid.ColCount() - 1; c > 0; --c)
      if (!grid.Cells(c, r).empty()) {
        last = c;
        break;
      }
    std::vector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(last) + 1);
    for (int c = 0; c <= last; ++c) cells.push_back(grid.Cells(c, r));
    rows.push_back(std::move(cells));
  }
  return rows;
}

// Field n (from 1) of the i-th line to column n of data row i, where the
// grid has that cell.
void PutFields(TStringGrid& grid, const THistoryCsvFields& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    if (row >= grid.RowCount()) break;
    for (std::size_t n = 0; n < fields[i].size(); ++n) {
      const int col = static_cast<int>(n) + 1;
      if (col >= grid.ColCount()) break;
      grid.SetCells(col, row, fields[i][n]);
    }
  }
}

void EmptyDataCells(TStringGrid& grid) {
  for (int r = 1; r < grid.RowCount(); ++r)
    for (int c = 1; c < grid.ColCount(); ++c) grid.SetCells(c, r, "");
}

void PutRow(TStringGrid& grid, int row, const std::vector<std::string>& cells) {
  if (row < 1 || row >= grid.RowCount()) return;
  for (std::size_t c = 0; c < cells.size() && static_cast<int>(c) < grid.ColCount(); ++c)
    grid.SetCells(static_cast<int>(c), row, cells[c]);
}

TDateTime PickedTime(const TDateTimePicker& date, const TDateTimePicker& time) {
  return DateOf(date.DateTime()) + TimeOf(time.DateTime());
}

TDateTime WithoutMilliseconds(TDateTime t) {
  int year, month, day, hour, minute, second, msec;
  DecodeDateTime(t, year, month, day, hour, minute, second, msec);
  return EncodeDateTime(year, month, day, hour, minute, second, 0);
}

void ShowError(const std::string& text) { ShowMessageForm(text, ""); }

}  // namespace

// ---- The page ----

void TFormKV69::CreateHistoryPage() {
  auto* top = Create<TsPanel>(this);
  top->SetParent(Sheet_History);
  top->SetAlign(alTop);
  top->SetHeight(GroupTop + GroupHeight + GroupGap);
  top->SetCaption("");
  top->SetBevelOuter(bvNone);

  const auto group = [this, top](const char* name, int left, int width) {
    TsGroupBox* box = MakeControl<TsGroupBox>(this, top, name, left, GroupTop, width, GroupHeight);
    box->SetCaption(InitialCaption(name));
    return box;
  };
  const auto button = [this](TWinControl* parent, const char* name, int left, int top, int width) {
    auto* b =
        MakeControl<ComponentEx::TsBitBtn>(this, parent, name, left, top, width, ButtonHeight);
    b->SetCaption(InitialCaption(name));
    return b;
  };
  const auto edit = [this](TWinControl* parent, const char* name, int left, int top, int width) {
    auto* e =
        MakeControl<ComponentEx::TLabeledEdit>(this, parent, name, left, top, width, EditHeight);
    e->EditLabel()->SetCaption(InitialCaption(name));
    return e;
  };
  const auto picker = [this](TWinControl* parent, const char* name, int left, int top, int width,
                             TDateTimeKind kind) {
    auto* p = MakeControl<TDateTimePicker>(this, parent, name, left, top, width, EditHeight + 2);
    p->SetKind(kind);
    p->SetDateTime(Now());
    return p;
  };

  // Reading and emptying: the count and the record number with their buttons.
  int left = GroupGap;
  grp_History = group("grp_History", left, 292);
  lbledt_ReadQty = edit(grp_History, "lbledt_ReadQty", 12, 38, 70);
  lbledt_ReadQty->SetText("100");
  btn_ReadHistroyFull = button(grp_History, "btn_ReadHistroyFull", 92, 36, 86);
  btn_History_Clear = button(grp_History, "btn_History_Clear", 188, 36, 92);
  lbledt_ReadLine = edit(grp_History, "lbledt_ReadLine", 12, 82, 70);
  lbledt_ReadLine->SetText("1");
  btn_ReadHistroy = button(grp_History, "btn_ReadHistroy", 92, 80, 86);
  btn_Clean_History_Dev = button(grp_History, "btn_Clean_History_Dev", 188, 80, 92);

  // The time range of the filter.
  left += 292 + GroupGap;
  grp_HisTime = group("grp_HisTime", left, 312);
  lbl_HisStartTime = MakeControl<TsLabel>(this, grp_HisTime, "lbl_HisStartTime", 12, 26, 76, 16);
  lbl_HisStartTime->SetCaption(InitialCaption("lbl_HisStartTime"));
  dtp_Hist_Begin_Date = picker(grp_HisTime, "dtp_Hist_Begin_Date", 92, 22, 112, dtkDate);
  dtp_Hist_Begin_Time = picker(grp_HisTime, "dtp_Hist_Begin_Time", 210, 22, 90, dtkTime);
  lbl_HisStopTime = MakeControl<TsLabel>(this, grp_HisTime, "lbl_HisStopTime", 12, 56, 76, 16);
  lbl_HisStopTime->SetCaption(InitialCaption("lbl_HisStopTime"));
  dtp_Hist_End_Date = picker(grp_HisTime, "dtp_Hist_End_Date", 92, 52, 112, dtkDate);
  dtp_Hist_End_Time = picker(grp_HisTime, "dtp_Hist_End_Time", 210, 52, 90, dtkTime);
  btn_History_Filter = button(grp_HisTime, "btn_History_Filter", 210, 80, 90);

  // The CSV files.
  left += 312 + GroupGap;
  grp_HistoryFiles = group("grp_HistoryFiles", left, 134);
  btn_Hist_Save_CSV = button(grp_HistoryFiles, "btn_Hist_Save_CSV", 12, 36, 110);
  btn_Hist_Open_CSV = button(grp_HistoryFiles, "btn_Hist_Open_CSV", 12, 80, 110);

  SgHist = Create<TStringGrid>(this);
  SgHist->SetName("SgHist");
  SgHist->SetParent(Sheet_History);
  SgHist->SetAlign(alClient);
  SgHist->SetColCount(DesignColumnCount);
  SgHist->SetRowCount(HistoryDataRows + 1);
  SgHist->SetFixedCols(1);
  SgHist->SetFixedRows(1);
  const std::vector<std::string> header = HistoryInitialHeader();
  for (std::size_t c = 0; c < header.size(); ++c)
    SgHist->SetCells(static_cast<int>(c), 0, header[c]);
  SgHist->SetRowHeights(0, HeaderRowHeight);
  SgHist->SetColWidths(HistColNumber, 45);
  SgHist->SetColWidths(HistColDate, 80);
  SgHist->SetColWidths(HistColTime, 80);
  SgHist->SetColWidths(HistColType, 100);
  for (int r = 1; r <= HistoryDataRows; ++r) SgHist->SetCells(HistColNumber, r, std::to_string(r));

  dlgSaveCSV = Create<TSaveDialog>(this);
  dlgSaveCSV->SetName("dlgSaveCSV");
  dlgSaveCSV->SetFilter(CsvFilter);
  dlgOpenCSV = Create<TOpenDialog>(this);
  dlgOpenCSV->SetName("dlgOpenCSV");
  dlgOpenCSV->SetFilter(CsvFilter);
  dlgOpenCSV->SetOptions(dlgOpenCSV->Options() | ofFileMustExist);
}

void TFormKV69::SetHistoryChannelHeader(int modelIndex, int language) {
  const int columns = HistoryColumnCount(modelIndex);
  const std::vector<std::string> headers = HistoryChannelHeaders(modelIndex, language);
  if (columns < 0 || headers.empty() || SgHist == nullptr) return;
  SgHist->SetColCount(columns);
  for (std::size_t i = 0; i < headers.size(); ++i)
    SgHist->SetCells(HistColFirstChannel + static_cast<int>(i), 0, headers[i]);
}

// ---- Reading ----

void TFormKV69::btn_ReadHistroyFullClick(TObject*) {
  if (!Connected()) return;
  const std::string text = lbledt_ReadQty->Text();
  const int count = HistoryNumberFromText(text);
  if (!IsHistoryRecordNumber(count)) {
    ShowError(InputErrorText(LanguageFlag));
    return;
  }
  Engine().ReadHistory(count, StrToDecimalDef(text, 0));
}

void TFormKV69::ShowHistoryRows(const std::vector<THistoryGridRow>& rows) {
  for (const THistoryGridRow& row : rows) PutRow(*SgHist, row.Row, row.Cells);
}

void TFormKV69::btn_ReadHistroyClick(TObject*) {
  if (!Connected()) return;
  const int number = HistoryNumberFromText(lbledt_ReadLine->Text());
  if (!IsHistoryRecordNumber(number)) {
    ShowError(InputErrorText(LanguageFlag));
    return;
  }
  HistoryGridClear();
  Engine().ReadHistoryRecord(number);
}

// ---- Emptying and the filter ----

void TFormKV69::HistoryGridClear() {
  const int columns = SgHist->ColCount();
  const int rows = SgHist->RowCount();
  ShowProgressWindow(columns * rows);
  TProgressGuard guard(*this);
  SgHist->SetCells(HistColNumber, 1, "1");
  int emptied = 0;
  for (int r = 1; r < rows; ++r) {
    for (int c = 1; c < columns; ++c) {
      SgHist->SetCells(c, r, "");
      if (++emptied % ClearGaugeStep == 0) SetProgress(emptied);
    }
  }
}

void TFormKV69::btn_History_ClearClick(TObject*) { HistoryGridClear(); }

void TFormKV69::btn_History_FilterClick(TObject*) {
  const TDateTime begin =
      WithoutMilliseconds(PickedTime(*dtp_Hist_Begin_Date, *dtp_Hist_Begin_Time));
  const TDateTime end = PickedTime(*dtp_Hist_End_Date, *dtp_Hist_End_Time);
  // Rows without a valid time are not in the range: they are left out.
  const THistoryCsvFields kept =
      FilterHistoryRows(GridRows(*SgHist), SgHist->ColCount(), begin, end);
  HistoryGridClear();
  PutFields(*SgHist, kept);
}

// ---- CSV files ----

std::string TFormKV69::SaveHistoryCsv(const std::string& chosenName) {
  return ExportHistoryCsv(chosenName, GridRows(*SgHist), SgHist->ColCount());
}

void TFormKV69::LoadHistoryCsv(const std::string& fileName) {
  // The whole file is read and checked first: a file that cannot be read
  // leaves the grid as it was.
  const THistoryCsvFields fields =
      ImportHistoryCsv(fileName, SgHist->ColCount(), SgHist->RowCount() - 1);
  EmptyDataCells(*SgHist);
  PutFields(*SgHist, fields);
}

void TFormKV69::btn_Hist_Save_CSVClick(TObject*) {
  dlgSaveCSV->SetInitialDir(ProgramFolder());
  dlgSaveCSV->SetFileName(HistoryCsvDefaultName(ModelIndex, Now()));
  if (!dlgSaveCSV->Execute()) return;
  // A file that could not be written is said, not passed over in silence.
  try {
    SaveHistoryCsv(dlgSaveCSV->FileName());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

void TFormKV69::btn_Hist_Open_CSVClick(TObject*) {
  dlgOpenCSV->SetInitialDir(ProgramFolder());
  if (!dlgOpenCSV->Execute()) return;
  try {
    LoadHistoryCsv(dlgOpenCSV->FileName());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

}  // namespace kv
