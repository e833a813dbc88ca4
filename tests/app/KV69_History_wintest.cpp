// The main window's history page: the grid, emptying it, the time filter and
// the CSV files without a device; reading records from the device simulator
// (run through scripts/serial-test with a full history).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "ProgramState.h"
#include "SimHistoryRecords.h"
#include "ViewOnlyWindow.h"
#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/HistoryCsv_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftHistory_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/Dialogs.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/SendHandle_Unt.h"

namespace kv {
namespace {

using pump::PumpUntil;
using Rows = std::vector<std::vector<std::string>>;

// Every text shown by the program's other visible windows (the message
// window among them).
std::vector<std::string> ShownTexts(const TCustomForm* except) {
  std::vector<std::string> texts;
  std::function<void(const TComponent*)> collect = [&](const TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* component = owner->Components(i);
      if (auto* control = dynamic_cast<TControl*>(component)) texts.push_back(control->Text());
      collect(component);
    }
  };
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form == except || !form->HandleAllocated() || !IsWindowVisible(form->Handle())) continue;
    texts.push_back(form->Text());
    collect(form);
  }
  return texts;
}

bool Shows(const TCustomForm* except, const std::string& text) {
  for (const std::string& shown : ShownTexts(except))
    if (shown == text) return true;
  return false;
}

std::string TempName(const std::string& name) { return GetTempFolder() + "kv_hist_" + name; }

// The grid's data rows as texts, column 0 included.
Rows GridTexts(const TStringGrid& grid) {
  Rows rows;
  for (int r = 1; r < grid.RowCount(); ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.ColCount(); ++c) cells.push_back(grid.Cells(c, r));
    rows.push_back(std::move(cells));
  }
  return rows;
}

// The rows of the grid that hold a date.
int FilledRows(const TStringGrid& grid) {
  int n = 0;
  for (int r = 1; r < grid.RowCount(); ++r)
    if (!grid.Cells(HistColDate, r).empty()) ++n;
  return n;
}

void SetRow(TStringGrid& grid, int row, const std::vector<std::string>& cells) {
  for (std::size_t c = 0; c < cells.size(); ++c)
    grid.SetCells(static_cast<int>(c) + 1, row, cells[c]);
}

void SetPickers(TFormKV69& form, TDateTime begin, TDateTime end) {
  form.dtp_Hist_Begin_Date->SetDateTime(DateOf(begin));
  form.dtp_Hist_Begin_Time->SetDateTime(TimeOf(begin));
  form.dtp_Hist_End_Date->SetDateTime(DateOf(end));
  form.dtp_Hist_End_Time->SetDateTime(TimeOf(end));
}

// ---- Without a device ----

class HistoryPage : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(test::OpenViewOnlyMainWindow());
    grid_ = form_->SgHist;
  }
  void TearDown() override {
    form_.reset();
    LoginPassword.clear();
  }

  Owned<TFormKV69> form_;
  TStringGrid* grid_ = nullptr;
};

TEST_F(HistoryPage, GridStartsWithChineseHeaderAndNumberedRows) {
  ASSERT_NE(nullptr, grid_);
  EXPECT_EQ(HistoryDataRows + 1, grid_->RowCount());
  EXPECT_EQ(320, grid_->ColCount());
  EXPECT_EQ(1, grid_->FixedRows());
  EXPECT_EQ(1, grid_->FixedCols());
  // As laid out, before the language of the PC is applied at show.
  Owned<TFormKV69> fresh(Create<TFormKV69>(nullptr));
  const std::vector<std::string> header = HistoryInitialHeader();
  for (int c = 0; c < 16; ++c)
    EXPECT_EQ(header[static_cast<size_t>(c)], fresh->SgHist->Cells(c, 0));
  EXPECT_EQ("序号", fresh->SgHist->Cells(0, 0));
  EXPECT_EQ("湿度4", fresh->SgHist->Cells(15, 0));
  EXPECT_EQ(20, grid_->RowHeights(0));
  EXPECT_EQ(45, grid_->ColWidths(0));
  EXPECT_EQ(80, grid_->ColWidths(1));
  EXPECT_EQ(80, grid_->ColWidths(2));
  EXPECT_EQ(100, grid_->ColWidths(7));
  EXPECT_EQ("1", grid_->Cells(0, 1));
  EXPECT_EQ("20000", grid_->Cells(0, 20000));
  EXPECT_EQ("", grid_->Cells(1, 1));
}

TEST_F(HistoryPage, PickersStartAtNow) {
  const TDateTime now = Now();
  for (TDateTimePicker* picker : {form_->dtp_Hist_Begin_Date, form_->dtp_Hist_End_Date})
    EXPECT_NEAR(DateOf(now), DateOf(picker->DateTime()), 1.0) << picker->Name();
  EXPECT_EQ(dtkDate, form_->dtp_Hist_Begin_Date->Kind());
  EXPECT_EQ(dtkTime, form_->dtp_Hist_End_Time->Kind());
  EXPECT_NEAR(TimeOf(now), TimeOf(form_->dtp_Hist_End_Time->DateTime()), 60.0 / 86400);
}

TEST_F(HistoryPage, ChannelHeaderFollowsModelAndLanguage) {
  form_->SetHistoryChannelHeader(1, LanguageEnglish);
  EXPECT_EQ(24, grid_->ColCount());
  EXPECT_EQ("Temp1", grid_->Cells(8, 0));
  EXPECT_EQ("Hum1", grid_->Cells(9, 0));
  EXPECT_EQ("Hum8", grid_->Cells(23, 0));
  form_->SetHistoryChannelHeader(2, LanguageChinese);
  EXPECT_EQ(16, grid_->ColCount());
  EXPECT_EQ("温度2", grid_->Cells(9, 0));
  EXPECT_EQ("温度8", grid_->Cells(15, 0));
  form_->SetHistoryChannelHeader(0, LanguageEnglish);
  EXPECT_EQ("Hum4", grid_->Cells(15, 0));
  // Unknown models and languages change nothing.
  form_->SetHistoryChannelHeader(-1, LanguageEnglish);
  form_->SetHistoryChannelHeader(3, LanguageEnglish);
  form_->SetHistoryChannelHeader(1, 2);
  EXPECT_EQ(16, grid_->ColCount());
  EXPECT_EQ("Hum4", grid_->Cells(15, 0));
}

TEST_F(HistoryPage, ControlsAreInsideTheirGroupsAndApart) {
  const std::vector<TWinControl*> groups = {form_->grp_History, form_->grp_HisTime,
                                            form_->grp_HistoryFiles};
  for (int language : {LanguageChinese, LanguageEnglish}) {
    form_->SetLanguageCaptions(language);
    for (TWinControl* group : groups) {
      ASSERT_NE(nullptr, group);
      EXPECT_TRUE(group->Visible());
      EXPECT_FALSE(group->Text().empty()) << group->Name() << " has no caption";
      // The controls and the edits' labels, as rectangles in the group.
      std::vector<std::pair<std::string, TRect>> boxes;
      for (int i = 0; i < group->ControlCount(); ++i) {
        TControl* control = group->Controls(i);
        boxes.emplace_back(control->Name(), control->BoundsRect());
        EXPECT_FALSE(control->Text().empty() && dynamic_cast<TsBitBtn*>(control) != nullptr)
            << control->Name() << " has no caption in language " << language;
      }
      const TRect inside = group->ClientRect();
      for (const auto& [name, box] : boxes) {
        EXPECT_TRUE(box.Left >= inside.Left && box.Top >= inside.Top && box.Right <= inside.Right &&
                    box.Bottom <= inside.Bottom)
            << name << " leaves " << group->Name();
        for (const auto& [other, second] : boxes) {
          if (other == name) continue;
          const bool apart = box.Right <= second.Left || second.Right <= box.Left ||
                             box.Bottom <= second.Top || second.Bottom <= box.Top;
          EXPECT_TRUE(apart) << name << " overlaps " << other << " in language " << language;
        }
      }
    }
  }
  EXPECT_EQ("Read", form_->btn_ReadHistroyFull->Text());
  EXPECT_EQ("Quantity", form_->lbledt_ReadQty->EditLabel()->Text());
  EXPECT_EQ("Start Time", form_->lbl_HisStartTime->Text());
  EXPECT_EQ("File", form_->grp_HistoryFiles->Text());
}

TEST_F(HistoryPage, ClearEmptiesEveryDataCellAndKeepsTheNumbers) {
  form_->SetHistoryChannelHeader(0, LanguageEnglish);
  SetRow(*grid_, 1, {"24/5/7", "8:0:0", "20", "Arm"});
  SetRow(*grid_, 20000, {"24/5/8", "8:0:0", "", "", "", "", "", "", "", "", "", "", "", "", "1.5"});
  form_->HistoryGridClear();
  EXPECT_EQ(0, FilledRows(*grid_));
  EXPECT_EQ("", grid_->Cells(15, 20000));
  EXPECT_EQ("1", grid_->Cells(0, 1));
  EXPECT_EQ("20000", grid_->Cells(0, 20000));
  EXPECT_EQ("Temp1", grid_->Cells(8, 0)) << "the header stays";
  EXPECT_EQ(nullptr, form_->FormBasicAnimate) << "the progress window is gone";
}

class HistoryFilter : public HistoryPage {
 protected:
  void SetUp() override {
    HistoryPage::SetUp();
    form_->SetHistoryChannelHeader(0, LanguageEnglish);
    SetRow(*grid_, 1, {"24/5/7", "8:0:0", "20", "Arm", "Open", "Open", "Relay Switch", "1.0"});
    SetRow(*grid_, 2, {"24/5/7", "9:30:0", "21", "Arm", "Close", "Open", "Interval", "2.0"});
    SetRow(*grid_, 3, {"24/13/7", "10:0:0", "22"});  // no such month
    SetRow(*grid_, 4, {"24/5/7", "10:0:0", "23", "Disarm", "Open", "Close", "Alarm", "-3.5"});
    SetRow(*grid_, 5, {"24/5/8", "0:0:0", "24"});
  }
};

TEST_F(HistoryFilter, KeepsRowsInRangeSkippingRowsWithoutValidTime) {
  SetPickers(*form_, EncodeDateTime(2024, 5, 7, 9, 0, 0, 0),
             EncodeDateTime(2024, 5, 8, 0, 0, 0, 0));
  form_->btn_History_Filter->Click();
  EXPECT_EQ(3, FilledRows(*grid_));
  EXPECT_EQ("9:30:0", grid_->Cells(2, 1));
  EXPECT_EQ("Interval", grid_->Cells(7, 1));
  EXPECT_EQ("10:0:0", grid_->Cells(2, 2));
  EXPECT_EQ("-3.5", grid_->Cells(8, 2));
  EXPECT_EQ("24/5/8", grid_->Cells(1, 3)) << "the end is included";
  EXPECT_EQ("", grid_->Cells(1, 4));
  EXPECT_EQ("4", grid_->Cells(0, 4)) << "row numbers stay";
}

TEST_F(HistoryFilter, BeginIsIncludedAndBeginAfterEndEmptiesTheGrid) {
  SetPickers(*form_, EncodeDateTime(2024, 5, 7, 8, 0, 0, 0),
             EncodeDateTime(2024, 5, 7, 8, 0, 0, 0));
  form_->btn_History_Filter->Click();
  EXPECT_EQ(1, FilledRows(*grid_));
  EXPECT_EQ("Relay Switch", grid_->Cells(7, 1));
  SetPickers(*form_, EncodeDateTime(2024, 5, 9, 0, 0, 0, 0),
             EncodeDateTime(2024, 5, 7, 0, 0, 0, 0));
  form_->btn_History_Filter->Click();
  EXPECT_EQ(0, FilledRows(*grid_));
}

class HistoryCsvFiles : public HistoryPage {
 protected:
  void SetUp() override {
    HistoryPage::SetUp();
    form_->SetHistoryChannelHeader(0, LanguageChinese);
    SetRow(*grid_, 1,
           {"24/5/7", "8:0:0", "20", "布防", "闭合", "断开", "继电器变化", "-1.5", "", "", "", "",
            "", "", "99.9"});
    SetRow(*grid_, 2, {"24/5/7", "8:10:0", "21", "Arm", "Open", "Open", "Relay Switch"});
    SetRow(*grid_, 20000, {"24/6/1", "0:0:0"});
    before_ = GridTexts(*grid_);
  }
  void TearDown() override {
    for (const std::string& name : files_) DeleteFileUtf8(name);
    HistoryPage::TearDown();
  }
  std::string Track(const std::string& name) {
    files_.push_back(name);
    return name;
  }

  Rows before_;
  std::vector<std::string> files_;
};

TEST_F(HistoryCsvFiles, ExportWritesEveryRowAndImportRestoresTheGrid) {
  const std::string written = Track(form_->SaveHistoryCsv(TempName("roundtrip")));
  EXPECT_EQ(TempName("roundtrip") + ".csv", written);
  const std::string bytes = ReadFileBytes(written);
  // One line per data row: columns 1 to 15, GBK, CR LF, no header.
  EXPECT_EQ(HistoryCsvBytes(before_, 16), bytes);
  EXPECT_EQ(0u, bytes.find("24/5/7,8:0:0,20,\xB2\xBC\xB7\xC0,"));
  form_->HistoryGridClear();
  ASSERT_EQ(0, FilledRows(*grid_));
  form_->LoadHistoryCsv(written);
  EXPECT_TRUE(before_ == GridTexts(*grid_)) << "the imported grid differs";
  EXPECT_EQ("99.9", grid_->Cells(15, 1)) << "the last column arrives";
  EXPECT_EQ("Relay Switch", grid_->Cells(7, 2));
}

TEST_F(HistoryCsvFiles, ExportKeepsANameEndingInCsvInAnyCase) {
  EXPECT_EQ(TempName("upper.CSV"), Track(form_->SaveHistoryCsv(TempName("upper.CSV"))));
  EXPECT_TRUE(FileExists(TempName("upper.CSV")));
  EXPECT_EQ(TempName("plain.txt.csv"), Track(form_->SaveHistoryCsv(TempName("plain.txt"))));
}

TEST_F(HistoryCsvFiles, ImportReplacesEveryDataCell) {
  const std::string name = Track(TempName("short.csv"));
  WriteFileBytes(name, "23/1/2,3:4:5,6\r\n");
  form_->LoadHistoryCsv(name);
  EXPECT_EQ("23/1/2", grid_->Cells(1, 1));
  EXPECT_EQ("6", grid_->Cells(3, 1));
  EXPECT_EQ("", grid_->Cells(4, 1));
  EXPECT_EQ("", grid_->Cells(15, 1));
  EXPECT_EQ(1, FilledRows(*grid_));
}

TEST_F(HistoryCsvFiles, FileErrorsLeaveTheGridAsItWas) {
  EXPECT_THROW(form_->LoadHistoryCsv(TempName("missing.csv")), Exception);
  EXPECT_THROW(form_->SaveHistoryCsv(TempName("no_such_folder\\h")), Exception);
  EXPECT_TRUE(before_ == GridTexts(*grid_));
}

// The system's file dialogs: what they are given, and the chosen name used.
class DialogDriver {
 public:
  explicit DialogDriver(std::string typed) {
    typed_ = std::move(typed);
    seenName_.clear();
    shown_ = false;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogDriver() { UnhookWindowsHookEx(hook_); }
  static bool Shown() { return shown_; }
  static const std::string& SeenName() { return seenName_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !shown_) {
      HWND wnd = reinterpret_cast<HWND>(wParam);
      wchar_t cls[32] = {};
      GetClassNameW(wnd, cls, 32);
      if (lstrcmpW(cls, L"#32770") == 0) {
        shown_ = true;
        // The file-name box of the dialog.
        HWND box = GetDlgItem(wnd, 0x47c);
        if (box == nullptr) box = GetDlgItem(wnd, 0x480);
        wchar_t text[MAX_PATH] = {};
        if (box != nullptr) GetWindowTextW(box, text, MAX_PATH);
        seenName_ = Narrow(text);
        if (typed_.empty()) {
          PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
        } else {
          SetWindowTextW(box, Wide(typed_).c_str());
          PostMessageW(wnd, WM_COMMAND, IDOK, 0);
        }
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_ = nullptr;
  static inline std::string typed_, seenName_;
  static inline bool shown_ = false;
};

TEST_F(HistoryCsvFiles, SaveDialogProposesModelAndTimeAndCancelWritesNothing) {
  ModelIndex = 1;
  {
    DialogDriver driver("");
    form_->btn_Hist_Save_CSV->Click();
    ASSERT_TRUE(DialogDriver::Shown());
  }
  const std::string name = DialogDriver::SeenName();
  ASSERT_EQ(17u, name.size()) << name;
  EXPECT_EQ("KV42_", name.substr(0, 5));
  EXPECT_EQ(FormatDateTime("yymmdd", Now()), name.substr(5, 6));
  EXPECT_EQ("CSV File (*.csv)|*.csv", form_->dlgSaveCSV->Filter());
  EXPECT_EQ(ExtractFilePath(Application->ExeName()), form_->dlgSaveCSV->InitialDir());
  EXPECT_FALSE(FileExists(ExtractFilePath(Application->ExeName()) + name + ".csv"));
}

TEST_F(HistoryCsvFiles, SaveAndOpenDialogsWriteAndReadTheChosenFile) {
  const std::string chosen = TempName("dialog");
  Track(chosen + ".csv");
  {
    DialogDriver driver(chosen);
    form_->btn_Hist_Save_CSV->Click();
  }
  ASSERT_TRUE(FileExists(chosen + ".csv"));
  EXPECT_EQ(HistoryCsvBytes(before_, 16), ReadFileBytes(chosen + ".csv"));
  form_->HistoryGridClear();
  {
    DialogDriver driver(chosen + ".csv");
    form_->btn_Hist_Open_CSV->Click();
  }
  EXPECT_TRUE(before_ == GridTexts(*grid_));
}

// A file a spreadsheet saved as UTF-8, with its byte-order mark: every line
// is imported, and bytes that are no code page 936 text (here 0xFF and half
// a character) are written back as they came.
TEST_F(HistoryCsvFiles, ASpreadsheetsUtf8FileIsImportedAndWrittenBackAsItCame) {
  const std::string sheet = Track(TempName("sheet.csv"));
  WriteFileBytes(sheet,
                 "\xEF\xBB\xBF"
                 "24/5/7,8:0:0,20,\xFF\xB2\r\n24/5/8,9:0:0\r\n");
  {
    DialogDriver driver(sheet);
    form_->btn_Hist_Open_CSV->Click();
  }
  EXPECT_EQ("24/5/7", grid_->Cells(1, 1));
  EXPECT_EQ("20", grid_->Cells(3, 1));
  EXPECT_EQ("9:0:0", grid_->Cells(2, 2));
  EXPECT_EQ(2, FilledRows(*grid_));
  const std::string bytes = ReadFileBytes(Track(form_->SaveHistoryCsv(TempName("again"))));
  EXPECT_EQ(0u, bytes.find("24/5/7,8:0:0,20,\xFF\xB2,,")) << bytes.substr(0, 40);
}

TEST_F(HistoryCsvFiles, AFileThatCannotBeReadIsSaidToTheUser) {
  const std::string locked = Track(TempName("locked.csv"));
  WriteFileBytes(locked, "24/5/7,8:0:0\r\n");
  // Another program holds the file open for itself.
  HANDLE held = CreateFileW(Wide(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  {
    DialogDriver driver(locked);
    form_->btn_Hist_Open_CSV->Click();
  }
  const std::string said = "Cannot open file \"" + locked + "\".";
  EXPECT_TRUE(PumpUntil([&] {
    for (const std::string& shown : ShownTexts(form_.get()))
      if (shown.starts_with(said)) return true;
    return false;
  })) << "no message about the file";
  CloseHandle(held);
  EXPECT_TRUE(before_ == GridTexts(*grid_));
}

// ---- Reading from the device ----

using samples::SimRecordStart;

void ExpectSimRecord(const TStringGrid& grid, int row, int n) {
  const std::vector<std::string> start = SimRecordStart(n);
  for (int c = 0; c < 4; ++c)
    EXPECT_EQ(start[static_cast<size_t>(c)], grid.Cells(c, row)) << "row " << row << " col " << c;
}

// The read interval of the port in these tests: the simulator answers at
// once, so a reply ends well within it.
constexpr DWORD FastReadInterval = 10;

class HistoryRead : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    sim_.Command("reset");
    sim_.Command("history 20000");
    LoginPassword = "9173";
    LoginComPort = sim_.Port();
    ModelIndex = -1;
    form_.reset(Create<TFormKV69>(nullptr));
    form_->Show();
    ASSERT_TRUE(PumpUntil([] { return ModelIndex >= 0; }, 15000)) << "no version reply";
    ASSERT_NE(nullptr, form_->ComPort);
    form_->ComPort->SetReadIntervalTimeout(FastReadInterval);
    grid_ = form_->SgHist;
    rxBefore_ = sim_.Log("rx").size();
  }
  void TearDown() override {
    form_.reset();
    ResetProgramState();
  }
  std::size_t NewRequests() const { return sim_.Log("rx").size() - rxBefore_; }
  void ReadMany(const std::string& count) {
    form_->lbledt_ReadQty->SetText(count);
    form_->btn_ReadHistroyFull->Click();
  }
  // Whether "Input Error" came up; it is closed again, so that the next
  // refusal has to show its own.
  bool Refused() {
    const bool shown = PumpUntil(
        [&] { return Shows(form_.get(), "Input Error") || Shows(form_.get(), "输入错误"); });
    if (FormMessage != nullptr) FormMessage->sbtbtn_Ok->Click();
    return shown;
  }

  test::Simulator sim_;
  Owned<TFormKV69> form_;
  TStringGrid* grid_ = nullptr;
  std::size_t rxBefore_ = 0;
};

TEST_F(HistoryRead, ReadsTheCountAskedForInBlocksOfFour) {
  EXPECT_EQ(1, ModelIndex) << "the simulator plays a KV42";
  EXPECT_EQ(24, grid_->ColCount());
  ReadMany("5");
  EXPECT_EQ(2u, NewRequests());
  EXPECT_EQ(5, FilledRows(*grid_));
  ExpectSimRecord(*grid_, 1, 1);
  ExpectSimRecord(*grid_, 5, 5);
  EXPECT_EQ("", grid_->Cells(1, 6)) << "the sixth record of the block is not shown";
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
}

TEST_F(HistoryRead, RowsOfRecordsTheDeviceNoLongerHoldsShowNothing) {
  ReadMany("12");
  ASSERT_EQ(12, FilledRows(*grid_));
  sim_.Command("history 5");
  ReadMany("12");
  EXPECT_EQ(5, FilledRows(*grid_));
  ExpectSimRecord(*grid_, 5, 5);
  EXPECT_EQ("", grid_->Cells(HistColDate, 6));
  EXPECT_EQ("12", grid_->Cells(HistColNumber, 12));
}

TEST_F(HistoryRead, CountsOutsideTheHistoryAreRefused) {
  for (const char* count : {"0", "20001", "-4", "99999999999"}) {
    ReadMany(count);
    EXPECT_TRUE(Refused()) << count;
  }
  EXPECT_EQ(0u, NewRequests());
  EXPECT_EQ(0, FilledRows(*grid_));
}

TEST_F(HistoryRead, ACountThatIsNoDecimalNumberReadsOneRecord) {
  ReadMany("0x10");
  EXPECT_EQ(1u, NewRequests());
  EXPECT_EQ(1, FilledRows(*grid_));
}

TEST_F(HistoryRead, SingleRecordEmptiesTheGridAndShowsItInTheFirstRow) {
  ReadMany("8");
  ASSERT_EQ(8, FilledRows(*grid_));
  form_->lbledt_ReadLine->SetText("3");
  form_->btn_ReadHistroy->Click();
  ASSERT_TRUE(PumpUntil([&] { return !grid_->Cells(HistColDate, 1).empty(); }, 5000));
  ExpectSimRecord(*grid_, 1, 3);
  EXPECT_EQ("3", grid_->Cells(0, 1));
  EXPECT_EQ(1, FilledRows(*grid_));
  EXPECT_EQ("2", grid_->Cells(0, 2));
  // Record 3 of the history: address 0x4000 + 2 * 64, 64 bytes.
  const std::vector<std::string> rx = sim_.Log("rx");
  ASSERT_FALSE(rx.empty());
  EXPECT_EQ("00004080", rx.back().substr(4, 8));
}

TEST_F(HistoryRead, RecordNumbersOutsideTheHistoryAreRefused) {
  for (const char* number : {"0", "20001", "99999999999"}) {
    form_->lbledt_ReadLine->SetText(number);
    form_->btn_ReadHistroy->Click();
    EXPECT_TRUE(Refused()) << number;
  }
  EXPECT_EQ(0u, NewRequests());
}

TEST_F(HistoryRead, DamagedBlockIsReadAgain) {
  sim_.Command("badsum");
  ReadMany("8");
  EXPECT_EQ(3u, NewRequests()) << "block 0 twice, then block 1";
  EXPECT_EQ(8, FilledRows(*grid_));
  ExpectSimRecord(*grid_, 1, 1);
  ExpectSimRecord(*grid_, 8, 8);
}

// Presses the progress window's Stop once forty records are in.
TFormKV69* StopTarget = nullptr;
void CALLBACK StopRead(HWND, UINT, UINT_PTR id, DWORD) {
  if (StopTarget == nullptr || StopTarget->SgHist->Cells(HistColDate, 40).empty()) return;
  KillTimer(nullptr, id);
  if (StopTarget->FormBasicAnimate != nullptr) StopTarget->FormBasicAnimate->btn_Close->Click();
}

TEST_F(HistoryRead, StopKeepsTheRowsReadAndTheWindowUsable) {
  StopTarget = form_.get();
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, StopRead);
  ReadMany("20000");
  KillTimer(nullptr, timer);
  StopTarget = nullptr;
  // The reply to the block asked for last may still be on its way.
  ASSERT_TRUE(PumpUntil([&] { return form_->PendingTag() == 0; }, 5000));
  const int read = FilledRows(*grid_);
  EXPECT_GE(read, 40);
  EXPECT_LT(read, 20000);
  ExpectSimRecord(*grid_, read, read);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
  // The window goes on working.
  form_->lbledt_ReadLine->SetText("7");
  form_->btn_ReadHistroy->Click();
  ASSERT_TRUE(PumpUntil([&] { return !grid_->Cells(HistColDate, 1).empty(); }, 5000));
  ExpectSimRecord(*grid_, 1, 7);
}

TEST_F(HistoryRead, FilterKeepsTheRecordsOfATimeRange) {
  ReadMany("100");
  ASSERT_EQ(100, FilledRows(*grid_));
  // Records 11 to 20: 09:40 to 11:10.
  SetPickers(*form_, EncodeDateTime(2024, 5, 7, 9, 40, 0, 0),
             EncodeDateTime(2024, 5, 7, 11, 10, 0, 0));
  form_->btn_History_Filter->Click();
  EXPECT_EQ(10, FilledRows(*grid_));
  const std::vector<std::string> first = SimRecordStart(11);
  EXPECT_EQ(first[1], grid_->Cells(1, 1));
  EXPECT_EQ(first[2], grid_->Cells(2, 1));
  EXPECT_EQ(SimRecordStart(20)[2], grid_->Cells(2, 10));
  EXPECT_EQ("1", grid_->Cells(0, 1));
}

TEST_F(HistoryRead, TwentyThousandRecordsGoToCsvAndBack) {
  ReadMany("20000");
  EXPECT_EQ(5000u, NewRequests());
  ASSERT_EQ(20000, FilledRows(*grid_));
  ExpectSimRecord(*grid_, 1, 1);
  ExpectSimRecord(*grid_, 12345, 12345);
  ExpectSimRecord(*grid_, 20000, 20000);
  const Rows read = GridTexts(*grid_);

  const std::string file = form_->SaveHistoryCsv(TempName("full"));
  // The file is what the portable export makes of the grid's rows.
  const std::string bytes = ReadFileBytes(file);
  EXPECT_TRUE(HistoryCsvBytes(read, grid_->ColCount()) == bytes);
  EXPECT_EQ(20000, std::count(bytes.begin(), bytes.end(), '\n'));

  form_->HistoryGridClear();
  ASSERT_EQ(0, FilledRows(*grid_));
  form_->LoadHistoryCsv(file);
  EXPECT_TRUE(read == GridTexts(*grid_)) << "the imported grid differs";
  DeleteFileUtf8(file);
}

TEST_F(HistoryRead, ReadEndsWhereTheHistoryEnds) {
  sim_.Command("history 0");
  ReadMany("20000");
  EXPECT_EQ(2u, NewRequests()) << "two blocks that end at an empty record end the read";
  EXPECT_EQ(0, FilledRows(*grid_));
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  // A new read counts its own empty blocks.
  ReadMany("20000");
  EXPECT_EQ(4u, NewRequests());
}

}  // namespace
}  // namespace kv
